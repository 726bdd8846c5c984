#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every command's --json output validates against docs/ostrivane.schema.json.

Runs each command that prints JSON on the recorded demo machine and on the
smartctl fixtures, its failures included, in a temporary home, and validates
what it prints; a drive object broken on purpose must fail validation.

Usage: json_schema_test.py CLI SOURCE_DIR
"""
import copy
import json
import os
import subprocess
import sys
import tempfile

import jsonschema

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from history_db import write_history  # noqa: E402

cli, source = sys.argv[1], sys.argv[2]
demo = os.path.join(source, "resources", "machines", "demo")
smartctl = os.path.join(source, "tests", "fixtures", "smartctl")
schema = json.load(open(os.path.join(source, "docs", "ostrivane.schema.json")))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run_cli(args, home):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state",
               XDG_CACHE_HOME=home + "/cache", OSTRIVANE_SYSTEM_CONFIG="")
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    return subprocess.run([cli] + args, env=env, capture_output=True, text=True, timeout=120)


def valid(document, what):
    errors = sorted(validator.iter_errors(document), key=lambda e: list(e.path))
    check(not errors, "%s: %s" % (what, "; ".join(
        "%s: %s" % ("/".join(map(str, e.path)), e.message) for e in errors[:3])))


def answer(args, home, statuses=(0,)):
    """Runs the command and returns its validated JSON answer."""
    result = run_cli(args, home)
    what = " ".join(args)
    check(result.returncode in statuses,
          "%s: exit status %d (%s)" % (what, result.returncode, result.stderr.strip()))
    try:
        document = json.loads(result.stdout)
    except json.JSONDecodeError:
        check(False, "%s: not JSON: %r" % (what, result.stdout[:200]))
        return {}
    valid(document, what)
    check(document.get("exitStatus", result.returncode) == result.returncode
          or "error" in document, what + ": exitStatus differs from the exit status")
    return document


def drives_of(document):
    if "drives" in document:
        return document["drives"]
    if "drive" in document:
        return [document["drive"]]
    return [row["drive"] for row in document.get("disks", []) + document.get("history", [])]


with tempfile.TemporaryDirectory() as home:
    state = os.path.join(home, "kept")
    check_answer = answer(["check", "--json", "--verbose", "--machine", demo, "--state", state],
                          home, (0, 1, 2, 3))
    check(len(check_answer.get("drives", [])) == 2, "check: the demo machine has two SSDs")
    for drive in check_answer.get("drives", []):
        check(isinstance(drive.get("attributes"), list) and drive["attributes"],
              "check --verbose: attributes as an array")
        check(drive.get("serial") and drive.get("firmware") and drive.get("isSSD") is True,
              "check: the drive's description: %r" % drive)
    answer(["check", "--json", "--machine", demo, "--no-state"], home, (0, 1, 2, 3))
    # The run kept its history below --state: the home has none.
    history = answer(["history", "--json"], home)
    check(history.get("history") == [], "history of an empty home: %r" % history)
    check(history.get("trends") == [], "trends of an empty home: %r" % history)
    # A year of a drive losing a point every ten days, then a new drive of the
    # same name (another serial) for a week: two trends, one projected.
    write_history(home)
    history = answer(["history", "--json"], home)
    trends = {t["serial"]: t for t in history.get("trends", [])}
    check(sorted(trends) == ["NEW", "OLD"], "one trend per serial, unknown health left out: %r"
          % list(trends))
    old = trends.get("OLD", {})
    check(old.get("projection") == "projected" and old.get("latestHealth") == 59
          and abs(old.get("healthPerDay", 0) + 0.1) < 0.01
          and old.get("warningDate", "").startswith("2025-02"),
          "the falling drive's projection: %r" % old)
    check(trends.get("NEW", {}).get("projection") == "notEnoughHistory",
          "a week of one value: %r" % trends.get("NEW"))
    for field, value in [("warningDate", None), ("healthPerDay", 0.5), ("latestHealth", 255)]:
        broken = copy.deepcopy(history)
        broken["trends"][0][field] = value
        check(not validator.is_valid(broken), "a trend with %s=%r passed" % (field, value))
    disks = answer(["disks", "--json", "--machine", demo], home)
    check(sum(d.get("isBootDisk") is True for d in disks.get("disks", [])) == 1,
          "disks: one boot disk")
    for disk in os.listdir(os.path.join(demo, "smart")):
        name = os.path.splitext(disk)[0]
        if not name.isalnum():
            continue
        smart = answer(["smart", "--json", "--machine", demo, name], home, (0, 1, 2, 3))
        check(smart.get("drive", {}).get("device") == "/dev/" + name, "smart %s device" % name)
    for report in sorted(os.listdir(smartctl)):
        if report.endswith(".txt") and report != "README.md":
            evaluated = answer(["evaluate", "--json", os.path.join(smartctl, report)], home,
                               (0, 1, 2, 3, 65))
            if "drive" in evaluated:
                check(isinstance(evaluated["drive"]["attributes"], list),
                      report + ": attributes as an array")
    # A drive whose health no rule determines says null, never 255.
    unknown = os.path.join(home, "unknown.txt")
    with open(unknown, "w") as out:
        out.write("Device Model: Nobody Knows SSD\n"
                  "  9 Power_On_Hours 0x0032 100 100 000 Old_age Always - 1234\n")
    evaluated = answer(["evaluate", "--json", unknown], home, (3,))
    check(evaluated.get("drive", {}).get("health", 0) is None,
          "unknown health: %r" % evaluated.get("drive"))
    run_cli(["defaults", "write", "ThresholdWarning", "-int", "40"], home)
    run_cli(["defaults", "write", "LastCheck", "-string", "x"], home)
    settings = answer(["defaults", "read", "--all", "--json"], home)
    origins = {s["key"]: s["origin"] for s in settings.get("settings", [])}
    check(origins.get("ThresholdWarning") == "userStore", "defaults origin: %r" % origins)
    check(origins.get("ThresholdError") == "builtIn", "defaults origin: %r" % origins)
    answer(["defaults", "read", "--json"], home)
    answer(["defaults", "read", "ThresholdWarning", "--json"], home)

    # Failures answer in JSON on standard output too, with the same exit status.
    for args, status in [(["evaluate", "--json", os.path.join(home, "missing.txt")], 66),
                         (["evaluate", "--json", "--status", "9", unknown], 64),
                         (["smart", "--json", "--machine", demo, "sdzz"], 66),
                         (["check", "--json", "--bogus"], 64),
                         (["disks", "--json", "--machine", os.path.join(home, "none")], 66),
                         (["defaults", "read", "NoSuchKey", "--json"], 1)]:
        failed = answer(args, home, (status,))
        error = failed.get("error", {})
        check(error.get("exitStatus") == status and error.get("message"),
              "%s: error %r" % (" ".join(args), failed))

    # The schema has teeth: a drive object broken in each way fails.
    if check_answer.get("drives"):
        good = check_answer
        for field, value in [("health", 255), ("health", "NaN"), ("smartStatus", 2),
                             ("isSSD", "yes"), ("attributes", "1: {...}"),
                             ("healthPercentage", 90)]:
            broken = copy.deepcopy(good)
            broken["drives"][0][field] = value
            check(not validator.is_valid(broken), "a drive with %s=%r passed" % (field, value))
        broken = copy.deepcopy(good)
        del broken["drives"][0]["serial"]
        check(not validator.is_valid(broken), "a drive without a serial passed")
        broken = copy.deepcopy(good)
        broken["time"] = "Tuesday, 8 December 2026 09:00"
        check(not validator.is_valid(broken), "a localized time passed")
        broken = copy.deepcopy(good)
        broken["drives"][0]["attributes"] = {"5": {"rawValue": 0}}
        check(not validator.is_valid(broken), "attributes as an object passed")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
