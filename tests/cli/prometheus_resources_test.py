#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The Prometheus and Grafana resources fit the textfile the program writes.

The textfile of a check on the recorded demo machine passes `promtool check
metrics`; the alerting rules pass `promtool check rules` and fire as meant on
made-up series (`promtool test rules`); every series the rules and the Grafana
dashboard name is one the program writes; the systemd service writes where
the node exporter reads. promtool's parts are skipped when it is missing.

Usage: prometheus_resources_test.py CLI SOURCE_DIR
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
demo = os.path.join(source, "resources", "machines", "demo")
rules_file = os.path.join(source, "resources", "prometheus", "ostrivane.rules.yml")
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


with tempfile.TemporaryDirectory() as home:
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state",
               XDG_CACHE_HOME=home + "/cache", OSTRIVANE_SYSTEM_CONFIG="")
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    prom = os.path.join(home, "out", "ostrivane.prom")
    os.mkdir(os.path.dirname(prom))
    result = subprocess.run([cli, "check", "--no-state", "--machine", demo, "--prometheus", prom],
                            env=env, capture_output=True, text=True, timeout=120)
    check(result.returncode == 0, "check --prometheus: %d %s" % (result.returncode, result.stderr))
    text = open(prom).read()
    written = set(re.findall(r"^(ostrivane_\w+)", text, re.M))
    for metric in ["ostrivane_drive_info", "ostrivane_drive_health_ratio",
                   "ostrivane_drive_smart_status", "ostrivane_drive_percentage_used_ratio",
                   "ostrivane_drive_data_written_bytes_total", "ostrivane_check_success",
                   "ostrivane_check_exit_status", "ostrivane_check_timestamp_seconds"]:
        check(metric in written, "the demo machine's textfile lacks " + metric)

    # Every series named by the rules and the dashboard exists.
    rules = yaml.safe_load(open(rules_file))
    expressions = [r["expr"] for g in rules["groups"] for r in g["rules"]]
    dashboard = json.load(open(os.path.join(source, "resources", "grafana",
                                            "ostrivane-fleet.json")))
    for panel in dashboard["panels"]:
        expressions += [t["expr"] for t in panel.get("targets", [])]
    expressions.append(dashboard["templating"]["list"][1]["definition"])
    for expr in expressions:
        for metric in re.findall(r"\bostrivane_\w+", expr):
            check(metric in written, "%s names %s, which is never written" % (expr, metric))
    titles = [p["title"] for p in dashboard["panels"]]
    check(any("worst first" in t for t in titles), "the dashboard lists the worst drives first")
    check(any(p.get("repeat") == "instance" for p in dashboard["panels"]),
          "the dashboard shows health over time per host")

    service = open(os.path.join(source, "resources", "prometheus",
                                "ostrivane-textfile.service")).read()
    check(re.search(r"^ExecStart=@OSTRIVANE_CLI_PATH@ check --no-state --prometheus "
                    r"/var/lib/prometheus/node-exporter/ostrivane\.prom$", service, re.M),
          "the service's ExecStart")
    timer = open(os.path.join(source, "resources", "prometheus", "ostrivane-textfile.timer")).read()
    check("OnUnitActiveSec=" in timer and "WantedBy=timers.target" in timer, "the timer")

    promtool = shutil.which("promtool")
    if promtool is None:
        print("promtool is not installed: its checks are skipped")
    else:
        result = subprocess.run([promtool, "check", "metrics"], input=text, capture_output=True,
                                text=True, timeout=60)
        check(result.returncode == 0 and not result.stdout.strip() and not result.stderr.strip(),
              "promtool check metrics:\n" + result.stdout + result.stderr)
        result = subprocess.run([promtool, "check", "rules", rules_file], capture_output=True,
                                text=True, timeout=60)
        check(result.returncode == 0, "promtool check rules:\n" + result.stdout + result.stderr)
        here = os.path.dirname(os.path.abspath(__file__))
        result = subprocess.run([promtool, "test", "rules"] +
                                [os.path.join(here, name) for name in
                                 ("ostrivane_rules_test.yml", "ostrivane_rules_trend_test.yml")],
                                capture_output=True, text=True, timeout=300)
        check(result.returncode == 0, "promtool test rules:\n" + result.stdout + result.stderr)

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
