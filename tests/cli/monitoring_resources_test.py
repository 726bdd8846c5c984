#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The shipped monitoring resources fit the program they call.

Zabbix: every JSONPath and discovery macro of the template finds its value in
the real output of the agent's command on a recorded machine, and every
trigger names an item of the template. Icinga 2: the CheckCommand passes
`icinga2 daemon -C` (when icinga2 is installed) and its arguments are options
the plugin mode accepts.

Usage: monitoring_resources_test.py CLI SOURCE_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import yaml

cli, source = sys.argv[1], sys.argv[2]
monitoring = os.path.join(source, "resources", "monitoring")
demo = os.path.join(source, "resources", "machines", "demo")
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


with tempfile.TemporaryDirectory() as home:
    # --- Zabbix --------------------------------------------------------------
    agent = open(os.path.join(monitoring, "zabbix", "ostrivane-agent.conf")).read()
    match = re.search(r"^UserParameter=ostrivane\.check,(\S+) (.*)$", agent, re.M)
    check(match is not None, "no UserParameter ostrivane.check")
    arguments = match.group(2).split() if match else []
    check("--no-state" in arguments and "--json" in arguments, "agent command: " + str(arguments))
    result = run_cli(arguments + ["--machine", demo], home)
    check(result.returncode in (0, 1, 2, 3), "agent command failed: " + result.stderr)
    output = json.loads(result.stdout)
    check(os.listdir(home) == [], "the agent's command left files: " + str(os.listdir(home)))

    template = yaml.safe_load(open(os.path.join(monitoring, "zabbix", "ostrivane_template.yaml")))
    [tpl] = template["zabbix_export"]["templates"]
    name = tpl["template"]
    keys = {item["key"] for item in tpl["items"]}
    for item in tpl["items"]:
        for step in item.get("preprocessing", []):
            if step["type"] == "JSONPATH":
                field = step["parameters"][0].removeprefix("$.")
                check(field in output, "item %s: no %s in the output" % (item["key"], field))
    [rule] = tpl["discovery_rules"]
    check(rule["preprocessing"][0]["parameters"] == ["$.drives"], "discovery reads $.drives")
    drives = output["drives"]
    check(len(drives) == 2, "the demo machine has two SSDs: %r" % drives)
    for macro in rule["lld_macro_paths"]:
        field = macro["path"].removeprefix("$.")
        check(all(isinstance(d.get(field), str) and d[field] for d in drives),
              "macro %s: %s missing or empty" % (macro["lld_macro"], field))
    prototype_keys = set()
    for proto in rule["item_prototypes"]:
        [step] = proto["preprocessing"]
        path = step["parameters"][0]
        parsed = re.fullmatch(r"\$\.drives\[\?\(@\.device == '\{#DEVICE\}'\)\]\.(\w+)\.first\(\)",
                              path)
        check(parsed is not None, "prototype %s: unexpected path %s" % (proto["key"], path))
        textual = proto.get("value_type") in ("CHAR", "TEXT")
        for drive in drives:
            value = drive.get(parsed.group(1)) if parsed else None
            check(isinstance(value, str if textual else int),
                  "%s of %s: %r" % (path, drive["device"], value))
        prototype_keys.add(proto["key"])
        for trigger in proto.get("trigger_prototypes", []):
            for key in re.findall(r"/%s/([^)]+)\)" % re.escape(name), trigger["expression"]):
                check(key in prototype_keys, "trigger %s names %s" % (trigger["name"], key))
    for item in tpl["items"]:
        for trigger in item.get("triggers", []):
            for key in re.findall(r"/%s/([^),]+)" % re.escape(name), trigger["expression"]):
                check(key in keys, "trigger %s names %s" % (trigger["name"], key))
    maps = {m["name"] for m in tpl["valuemaps"]}
    for item in tpl["items"] + rule["item_prototypes"]:
        if "valuemap" in item:
            check(item["valuemap"]["name"] in maps, "value map of " + item["key"])

    # --- Icinga 2 ------------------------------------------------------------
    icinga_file = os.path.join(monitoring, "icinga2", "ostrivane.conf")
    icinga = open(icinga_file).read()
    options = re.findall(r'^\s*"(-[-\w]+)" = \{', icinga, re.M)
    check(options == ["-w", "-c", "-t", "-v", "--socket"], "Icinga arguments: %r" % options)
    result = run_cli(["check", "--plugin", "-w", "40", "-c", "20", "-t", "20", "-v",
                      "--machine", demo], home)
    check(result.returncode == 0 and result.stdout.startswith("SSD OK - 2 SSDs"),
          "plugin with the CheckCommand's options: %r %r" % (result.stdout, result.stderr))
    icinga2 = shutil.which("icinga2")
    if icinga2 is None:
        print("icinga2 is not installed: its validation is skipped")
    elif os.geteuid() != 0:
        # It insists on switching to its own user (nagios) first.
        print("icinga2 validates only when run by root: its validation is skipped")
    else:
        folder = tempfile.mkdtemp()
        os.chmod(folder, 0o755)  # icinga2 run by root reads as its own user
        shutil.copy(icinga_file, os.path.join(folder, "ostrivane.conf"))
        os.chmod(os.path.join(folder, "ostrivane.conf"), 0o644)
        config = os.path.join(folder, "icinga2.conf")
        with open(config, "w") as out:
            out.write('const NodeName = "master"\ninclude <itl>\n'
                      'object Endpoint "master" { }\n'
                      'object Zone "master" { endpoints = [ "master" ] }\n'
                      'object Endpoint "agent" { }\n'
                      'object Zone "agent" { endpoints = [ "agent" ]; parent = "master" }\n'
                      'template Service "generic-service" { max_check_attempts = 3 }\n'
                      'object Host "local" { check_command = "dummy"; vars.ostrivane = true }\n'
                      'object Host "remote" { check_command = "dummy"; zone = "master"\n'
                      '  vars.ostrivane = true; vars.agent_endpoint = "agent" }\n'
                      'include "ostrivane.conf"\n')
        os.chmod(config, 0o644)
        result = subprocess.run([icinga2, "daemon", "-C", "-c", config], capture_output=True,
                                text=True, timeout=120)
        shutil.rmtree(folder)
        check(result.returncode == 0 and "Instantiated 2 Services" in result.stdout,
              "icinga2 daemon -C:\n" + result.stdout + result.stderr)

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
