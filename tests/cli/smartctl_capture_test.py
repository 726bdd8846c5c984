#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""evaluate reads `smartctl -x` and `smartctl --json` captures as it reads the
same drive's `smartctl -a` report.

Each capture under tests/fixtures/smartctl-x and tests/fixtures/smartctl-json
is rewritten here into the -a layout (the FLAGS column as a hex flag word with
TYPE and UPDATED, the JSON fields as the report's lines), and both are
evaluated: the drive record and the exit status must be the same, and the
model and firmware must be the capture's.

Usage: smartctl_capture_test.py CLI SOURCE_DIR
"""
import json
import os
import re
import subprocess
import sys
import tempfile

cli, source = sys.argv[1], sys.argv[2]
fixtures = os.path.join(source, "tests", "fixtures")
failures = []

BRIEF_ROW = re.compile(
    r"^\s*(\d+)\s+(\S+)\s+([P-][O-][S-][R-][C-][K-])\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(.*)$")
FLAG_BITS = {"P": 0x01, "O": 0x02, "S": 0x04, "R": 0x08, "C": 0x10, "K": 0x20}
A_HEADER = ("ID# ATTRIBUTE_NAME          FLAG     VALUE WORST THRESH TYPE      UPDATED  "
            "WHEN_FAILED RAW_VALUE")


def check(condition, message):
    if not condition:
        failures.append(message)


def a_row(ident, name, flags, value, worst, thresh, when_failed, raw):
    kind = "Pre-fail" if flags & 0x01 else "Old_age"
    updated = "Always" if flags & 0x02 else "Offline"
    return (f"{ident:>3} {name:<23} 0x{flags:04x}   {value:>3}   {worst:>3}   {thresh:>3}    "
            f"{kind:<9} {updated:<8} {when_failed or '-':>11} {raw}")


def x_to_a(text):
    """A -x report in the -a layout: only the attribute table differs."""
    lines = []
    for line in text.splitlines():
        if line.startswith("ID#") and "FLAGS" in line:
            lines.append(A_HEADER)
            continue
        if re.match(r"^\s+\|+_", line):  # the flag legend below the table
            continue
        row = BRIEF_ROW.match(line)
        if row:
            ident, name, letters, value, worst, thresh, fail, raw = row.groups()
            flags = sum(FLAG_BITS[c] for c in letters if c != "-")
            lines.append(a_row(int(ident), name, flags, value, worst, thresh,
                               "" if fail == "-" else fail, raw))
            continue
        lines.append(line)
    return "\n".join(lines) + "\n"


def json_to_a(data):
    """The -a report that says what the JSON capture says."""
    nvme = data.get("nvme_smart_health_information_log")
    lines = ["=== START OF INFORMATION SECTION ==="]
    key = "Model Number:" if nvme is not None else "Device Model:"
    lines.append(f"{key:<18}{data.get('model_name', '')}")
    lines.append(f"Firmware Version: {data.get('firmware_version', '')}")
    if "rotation_rate" in data:
        rate = data["rotation_rate"]
        lines.append("Rotation Rate:    " + ("Solid State Device" if rate == 0 else f"{rate} rpm"))
    if "sata_version" in data:
        lines.append(f"SATA Version is:  {data['sata_version'].get('string', '')}")
    lines.append("=== START OF READ SMART DATA SECTION ===")
    passed = data.get("smart_status", {}).get("passed")
    if passed is not None:
        lines.append("SMART overall-health self-assessment test result: " +
                     ("PASSED" if passed else "FAILED!"))
    table = data.get("ata_smart_attributes", {}).get("table")
    if table:
        lines.append(A_HEADER)
        for row in table:
            lines.append(a_row(row["id"], row["name"], row["flags"]["value"],
                               f"{row['value']:03d}", f"{row['worst']:03d}",
                               f"{row['thresh']:03d}", row.get("when_failed", ""),
                               row["raw"]["string"]))
        lines.append("")
    if nvme is not None:
        def count(name):
            return f"{nvme.get(name, 0):,}"
        lines += [
            "SMART/Health Information (NVMe Log 0x02)",
            f"Critical Warning:                   0x{nvme.get('critical_warning', 0):02x}",
            f"Temperature:                        {nvme.get('temperature', 0)} Celsius",
            f"Available Spare:                    {nvme.get('available_spare', 0)}%",
            f"Available Spare Threshold:          {nvme.get('available_spare_threshold', 0)}%",
            f"Percentage Used:                    {nvme.get('percentage_used', 0)}%",
            f"Data Units Read:                    {count('data_units_read')}",
            f"Data Units Written:                 {count('data_units_written')}",
            f"Host Read Commands:                 {count('host_reads')}",
            f"Host Write Commands:                {count('host_writes')}",
            f"Controller Busy Time:               {count('controller_busy_time')}",
            f"Power Cycles:                       {count('power_cycles')}",
            f"Power On Hours:                     {count('power_on_hours')}",
            f"Unsafe Shutdowns:                   {count('unsafe_shutdowns')}",
            f"Media and Data Integrity Errors:    {count('media_errors')}",
            f"Error Information Log Entries:      {count('num_err_log_entries')}",
        ]
    return "\n".join(lines) + "\n"


def evaluate(path, home, extra=()):
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state",
               XDG_CACHE_HOME=home + "/cache", OSTRIVANE_SYSTEM_CONFIG="")
    result = subprocess.run([cli, "evaluate", "--json", "--name", "drive", *extra, path], env=env,
                            capture_output=True, text=True, timeout=60)
    try:
        drive = json.loads(result.stdout)["drive"]
    except (ValueError, KeyError):
        return result.returncode, None
    drive.pop("device", None)
    return result.returncode, drive


def compare(name, capture_path, a_text, model, firmware, home):
    a_path = os.path.join(home, "as-a.txt")
    with open(a_path, "w") as f:
        f.write(a_text)
    # Hard disks too: --all-disks evaluates them as the setting CheckAllDisks does.
    for extra in ((), ("--all-disks",)):
        status, drive = evaluate(capture_path, home, extra)
        a_status, a_drive = evaluate(a_path, home, extra)
        same_result(f"{name} {' '.join(extra)}".strip(), status, drive, a_status, a_drive,
                    model, firmware)


def same_result(name, status, drive, a_status, a_drive, model, firmware):
    check(drive is not None, f"{name}: no JSON answer (exit {status})")
    check(a_drive is not None, f"{name}: the -a form gives no JSON answer (exit {a_status})")
    if drive is None or a_drive is None:
        return
    check(status == a_status, f"{name}: exit {status}, the -a form {a_status}")
    check(drive == a_drive, f"{name}: the drive differs from the -a form's:\n"
          f"{json.dumps(drive, sort_keys=True)}\n{json.dumps(a_drive, sort_keys=True)}")
    check(bool(drive.get("attributes")), f"{name}: no attributes read")
    if drive.get("isNVMe"):
        # Only the health log's pseudo-attributes and the two the evaluation
        # derives from them (5, 233): no row of another table (power states,
        # error log) read as an ATA attribute.
        stray = [a["id"] for a in drive["attributes"] if a["id"] < 900 and a["id"] not in (5, 233)]
        check(not stray, f"{name}: NVMe drive with ATA attributes {stray}")
    # A capture without a model (-A, -jA) gives none, whatever the form.
    check((drive.get("model") or None) == (model or None),
          f"{name}: model {drive.get('model')!r}, not {model!r}")
    check((drive.get("firmware") or None) == (firmware or None),
          f"{name}: firmware {drive.get('firmware')!r}, not {firmware!r}")


counts = {"x": 0, "json": 0}
with tempfile.TemporaryDirectory() as home:
    x_dir = os.path.join(fixtures, "smartctl-x")
    for name in sorted(os.listdir(x_dir)):
        if not name.endswith(".txt"):
            continue
        path = os.path.join(x_dir, name)
        text = open(path, encoding="utf-8").read()
        model = re.search(r"^(?:Device Model|Model Number):\s*(.*?)\s*$", text, re.M).group(1)
        firmware = re.search(r"^Firmware Version:\s*(.*?)\s*$", text, re.M).group(1)
        check("FLAGS" in text or "NVMe Log 0x02" in text, f"{name}: not a -x capture")
        compare(name, path, x_to_a(text), model, firmware, home)
        counts["x"] += 1
    json_dir = os.path.join(fixtures, "smartctl-json")
    for name in sorted(os.listdir(json_dir)):
        if not name.endswith(".json"):
            continue
        path = os.path.join(json_dir, name)
        data = json.load(open(path, encoding="utf-8"))
        compare(name, path, json_to_a(data), data.get("model_name"),
                data.get("firmware_version"), home)
        counts["json"] += 1

check(counts["x"] > 0 and counts["json"] > 0, f"captures found: {counts}")
for failure in failures:
    print("FAIL:", failure)
print(f"{counts['x']} -x and {counts['json']} JSON captures, {len(failures)} failures")
sys.exit(1 if failures else 0)
