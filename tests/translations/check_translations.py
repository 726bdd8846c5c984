#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The translations are complete and reach the programs.

Each message file holds every text the sources look up, each translated,
with the same placeholders as the English text; and ostrivane-cli, run on the
demo machine with LANG=de_DE.UTF-8, prints German texts (and English ones
with LANG=C), in its results as in its help and its error messages.

usage: check_translations.py SOURCE_DIR CLI
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%\d+")


def check_files(source_dir, failures):
    folder = os.path.join(source_dir, "resources", "translations")
    extract = os.path.join(source_dir, "tools", "translations", "extract_texts.py")
    done = subprocess.run([sys.executable, extract, "--check", source_dir], capture_output=True, text=True)
    if done.returncode != 0:
        failures.append(done.stderr.strip() or done.stdout.strip())
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".ts") or name.endswith("_en.ts"):
            continue
        for message in ET.parse(os.path.join(folder, name)).getroot().iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = translation.text or ""
            if not text or translation.get("type") in ("unfinished", "obsolete", "vanished"):
                failures.append(f"{name}: '{source}' is not translated")
            elif sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
                failures.append(f"{name}: '{source}' and '{text}' differ in their placeholders")


def run_cli(cli, language, args):
    with tempfile.TemporaryDirectory() as home:
        env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG"))}
        env.update(HOME=home, XDG_CONFIG_HOME=f"{home}/config", XDG_DATA_HOME=f"{home}/data",
                   XDG_STATE_HOME=f"{home}/state", XDG_CACHE_HOME=f"{home}/cache",
                   OSTRIVANE_SYSTEM_CONFIG="", LANG=language)
        return subprocess.run([cli] + args, capture_output=True, text=True, env=env, timeout=120)


def check_output(source_dir, cli, language, wanted, unwanted, failures):
    demo = os.path.join(source_dir, "resources", "machines", "demo")
    done = run_cli(cli, language, ["check", "--verbose", "--machine", demo])
    if done.returncode > 3:
        failures.append(f"LANG={language}: check exited {done.returncode}: {done.stderr}")
        return
    for text in wanted:
        if text not in done.stdout:
            failures.append(f"LANG={language}: '{text}' is not in the output:\n{done.stdout}")
    for text in unwanted:
        if text in done.stdout:
            failures.append(f"LANG={language}: '{text}' should not be in the output")


def check_messages(source_dir, cli, failures):
    """Help and error messages follow the language; the names in them do not."""
    demo = os.path.join(source_dir, "resources", "machines", "demo")
    cases = [
        (["--help"], "stdout", 0, "Aufruf: ostrivane-cli BEFEHL [OPTIONEN]",
         "Usage: ostrivane-cli COMMAND [OPTIONS]"),
        (["check", "--help"], "stdout", 0, "  --json             das Ergebnis als JSON ausgeben",
         "  --json             print the result as JSON"),
        (["smart", "--machine", demo, "nosuchdisk"], "stderr", 66,
         "ostrivane-cli smart: kein Laufwerk 'nosuchdisk'",
         "ostrivane-cli smart: no such disk 'nosuchdisk'"),
        (["nosuchcommand"], "stderr", 64,
         "ostrivane-cli: unbekannter Befehl 'nosuchcommand'\nSiehe 'ostrivane-cli --help'.",
         "ostrivane-cli: unknown command 'nosuchcommand'\nTry 'ostrivane-cli --help'."),
        # The plugin's state name and performance data are read by machines.
        (["check", "--plugin", "-v", "--machine", demo], "stdout", 0,
         "SSD OK - 2 SSDs, schlechteste 63 % (Games, /dev/nvme0n1) | 'sda'=93%;50;30;0;100",
         "SSD OK - 2 SSDs, worst 63 % (Games, /dev/nvme0n1) | 'sda'=93%;50;30;0;100"),
        (["defaults", "write", "Key", "-int"], "stderr", 64,
         "ostrivane-cli defaults: VALUE fehlt nach -int",
         "ostrivane-cli defaults: missing VALUE after -int"),
    ]
    for args, stream, status, german, english in cases:
        for language, wanted, unwanted in (("de_DE.UTF-8", german, english),
                                           ("C", english, german)):
            done = run_cli(cli, language, args)
            text = getattr(done, stream)
            if done.returncode != status or wanted not in text or unwanted in text:
                failures.append(f"LANG={language} {' '.join(args)}: exit {done.returncode}, "
                                f"wanted '{wanted}' in {stream}:\n{text}")


def main():
    source_dir, cli = sys.argv[1:3]
    failures = []
    check_files(source_dir, failures)
    german = ["Modell:", "Seriennummer:", "Zustand:", "bestätigt", "Grund:", "Attribute:",
              "Der Zustand Ihrer SSD(s) ist gut!"]
    english = ["Model:", "Serial:", "Health:", "verified", "Reason:", "Attributes:",
               "SSD Health of your SSD(s) is fine!"]
    check_output(source_dir, cli, "de_DE.UTF-8", german, ["  Health:", "Serial:"], failures)
    check_output(source_dir, cli, "C", english, german, failures)
    check_messages(source_dir, cli, failures)
    if failures:
        sys.exit("\n".join(failures))
    print("translations: complete, and the German one reaches the program")


if __name__ == "__main__":
    main()
