#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The translations are complete and reach the programs.

Each message file holds every text the sources look up, each translated,
with the same placeholders as the English text; and ostrivane-cli, run on the
demo machine with LANG=de_DE.UTF-8, prints German texts (and English ones
with LANG=C), in its results as in its help and its error messages, with
the columns of its tables still aligned and its JSON answers unchanged.

usage: check_translations.py SOURCE_DIR CLI
"""
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from history_db import DAY, START, write_history  # noqa: E402

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


def run_in(home, cli, language, args, system_config=""):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG"))}
    env.update(HOME=home, XDG_CONFIG_HOME=f"{home}/config", XDG_DATA_HOME=f"{home}/data",
               XDG_STATE_HOME=f"{home}/state", XDG_CACHE_HOME=f"{home}/cache",
               OSTRIVANE_SYSTEM_CONFIG=system_config, LANG=language, TZ="UTC")
    return subprocess.run([cli] + args, capture_output=True, text=True, env=env, timeout=120)


def run_cli(cli, language, args):
    with tempfile.TemporaryDirectory() as home:
        return run_in(home, cli, language, args)


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


def write_history_with_low_drive(home):
    """The shared history plus a month of a drive below the warning threshold."""
    write_history(home, [(START + day * DAY, "Low", "M4", "LOW", "/dev/sdb", 40, 2)
                         for day in range(30)])


def spans(line):
    return [(m.start(), m.end()) for m in re.finditer(r"\S+", line)]


def table_from(text, heading_start):
    lines = text.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(heading_start):
            return lines[i], lines[i + 1:]
    return None, []


def ata_table_problem(text):
    """Every number ends where its column's heading ends."""
    heading, rows = table_from(text, " ID ")
    if heading is None or not rows:
        return "no attribute table"
    edges = [end for _, end in spans(heading)]
    for row in rows:
        if [end for _, end in spans(row)] != edges:
            return f"'{row}' is not aligned with '{heading}'"
    return None


def nvme_table_problem(text):
    """Each field name starts below the field heading, each number ends
    where the heading of its column ends."""
    heading, rows = table_from(text, " ID  ")
    if heading is None or not rows:
        return "no attribute table"
    columns = spans(heading)
    for row in rows:
        cells = spans(row)
        if len(cells) != 4 or cells[1][0] != columns[1][0] or \
                [end for _, end in cells[2:]] != [end for _, end in columns[2:]]:
            return f"'{row}' is not aligned with '{heading}'"
    return None


def labels_problem(text):
    """The values of a disk's indented label lines start in one column."""
    starts = {spans(line)[1][0] for line in text.splitlines()
              if line.startswith("    ") and len(spans(line)) > 1}
    return None if len(starts) == 1 else f"the values start in columns {sorted(starts)}"


def check_commands(source_dir, cli, failures):
    """The words of the commands' text output follow the language, their
    columns stay aligned, and their JSON answers stay the same."""
    demo = os.path.join(source_dir, "resources", "machines", "demo")
    report = os.path.join(source_dir, "tests", "fixtures", "smartctl",
                          "003-samsung-ssd-860-evo-1tb.txt")
    with tempfile.TemporaryDirectory() as home:
        write_history_with_low_drive(home)
        system = os.path.join(home, "ostrivane.conf")
        with open(system, "w") as f:
            f.write("[settings]\nSSDCheckInterval = 30\n")
        run_in(home, cli, "C", ["defaults", "write", "TestKey", "-int", "3"], system)
        cases = [
            (["smart", "--machine", demo, "sda"], "stdout", 0,
             ["Energiemodus: aktiv", "Schlechtester", "Grenzwert", "Rohwert", "Vorausfall"],
             ["Power mode:  active",
              " ID Current Worst Threshold              Raw Pre-fail Online"],
             ata_table_problem),
            (["smart", "--machine", demo, "nvme0n1"], "stdout", 0,
             ["Protokoll:    NVMe", " Feld ", " Wert ", " Grenzwert"],
             ["Protocol:    NVMe", " ID  Field ", " Value Threshold"],
             nvme_table_problem),
            (["disks", "--machine", demo], "stdout", 0,
             ["Datenträger 0  /dev/sda", "Seriennummer: S3Z1NB0K123456X", "SSD:          ja",
              "NVMe:         nein"],
             ["disk 0  /dev/sda", "    serial:   S3Z1NB0K123456X", "    SSD:      yes",
              "    NVMe:     no"],
             labels_problem),
            (["history"], "stdout", 0,
             ["Zustand 95%  S.M.A.R.T. 2", "Zustand unbekannt",
              "Low (LOW): auf oder unter der Warnschwelle (50%)"],
             ["health 95%  S.M.A.R.T. 2", "health unknown",
              "Low (LOW): at or below the warning threshold (50%)"], None),
            (["evaluate", "--status", "1", report], "stdout", 2,
             ["S.M.A.R.T.:  FEHLERHAFT", "Solid-State: ja"],
             ["S.M.A.R.T.:  FAILING", "Solid-state: yes"], None),
            (["defaults", "read", "--all"], "stdout", 0,
             ["ThresholdError = 30; /* eingebaut */", "TestKey = 3; /* Benutzerspeicher */",
              f"SSDCheckInterval = 30; /* Systemdatei {system} */"],
             ["ThresholdError = 30; /* built-in */", "TestKey = 3; /* user store */",
              f"SSDCheckInterval = 30; /* system file {system} */"], None),
            (["defaults", "read", "NoSuchKey"], "stderr", 1,
             ["ostrivane-cli defaults: kein Wert für Schlüssel 'NoSuchKey'"],
             ["ostrivane-cli defaults: no value for key 'NoSuchKey'"], None),
            (["test-email", "--to", "nobody"], "stdout", 1,
             ["Kein gültiger Empfänger"], ["No Valid Recipient"], None),
        ]
        for args, stream, status, german, english, layout in cases:
            for language, wanted, unwanted in (("de_DE.UTF-8", german, english),
                                               ("C", english, german)):
                done = run_in(home, cli, language, args, system)
                text = getattr(done, stream)
                what = f"LANG={language} {' '.join(args)}"
                if done.returncode != status:
                    failures.append(f"{what}: exit {done.returncode}, not {status}: {done.stderr}")
                failures += [f"{what}: '{t}' is not in the {stream}:\n{text}"
                             for t in wanted if t not in text]
                failures += [f"{what}: '{t}' should not be in the {stream}"
                             for t in unwanted if t in text]
                if layout and layout(text):
                    failures.append(f"{what}: {layout(text)}:\n{text}")
        # The administrator's file with lines that cannot be used: each is named
        # in the reader's language (the log keeps English).
        broken = os.path.join(home, "broken.conf")
        with open(broken, "w") as f:
            f.write("[other]\nFoo = 1\n[settings]\nBogusKey = 2\nSSDCheckInterval = abc\n")
        for language, wanted, unwanted in (
                ("de_DE.UTF-8", [":1: '[other]' nennt einen unbekannten Abschnitt",
                                 ":4: 'BogusKey = 2' setzt den unbekannten Schlüssel 'BogusKey'; "
                                 "die Zeile wird nicht beachtet",
                                 ":5: 'SSDCheckInterval = abc' gibt keine ganze Zahl an"],
                 ["the line is ignored"]),
                ("C", [":2: 'Foo = 1' is outside the [settings] section; the line is ignored",
                       ":5: 'SSDCheckInterval = abc' does not give a whole number"],
                 ["nicht beachtet"])):
            done = run_in(home, cli, language, ["defaults", "read", "ThresholdError"], broken)
            failures += [f"LANG={language} broken system file: '{t}' is not in:\n{done.stderr}"
                         for t in wanted if t not in done.stderr]
            failures += [f"LANG={language} broken system file: '{t}' should not be there"
                         for t in unwanted if t in done.stderr]
        # Programs read the JSON answers: the same words in every language.
        for args in (["disks", "--json", "--machine", demo], ["history", "--json"],
                     ["defaults", "read", "--all", "--json"],
                     ["evaluate", "--json", "--status", "1", report],
                     ["check", "--json", "--verbose", "--machine", demo]):
            german, english = (run_in(home, cli, language, args, system).stdout
                               for language in ("de_DE.UTF-8", "C"))
            # A check's answer names the moment it ran.
            german, english = (re.sub(r'"time": *"[^"]*"', '"time"', answer)
                               for answer in (german, english))
            if german != english or not english.startswith("{"):
                failures.append(f"{' '.join(args)}: the JSON differs with LANG=de_DE.UTF-8:\n"
                                f"{german}\nLANG=C:\n{english}")


def check_desktop_messages(desktop, failures):
    """The desktop program's help and start-up errors, printed before its
    windows load, follow the language too; Qt's own option-parser message
    comes from the distribution's Qt translations (qt6-translations-l10n)."""
    cases = [
        (["--help"], "stdout", 0, "Aufruf: ostrivane [OPTIONEN]", "Usage: ostrivane [OPTIONS]"),
        (["--bogus"], "stderr", 64, "ostrivane: Unbekannte Option 'bogus'.\nSiehe 'ostrivane --help'.",
         "ostrivane: Unknown option 'bogus'.\nTry 'ostrivane --help'."),
        (["--machine", "/nonexistent"], "stderr", 64, "kein Maschinenordner '/nonexistent'",
         "no machine folder '/nonexistent'"),
    ]
    if os.geteuid() == 0:
        cases.append(([], "stderr", 77, "läuft nicht als root", "does not run as root"))
    for args, stream, status, german, english in cases:
        for language, wanted, unwanted in (("de_DE.UTF-8", german, english),
                                           ("C", english, german)):
            with tempfile.TemporaryDirectory() as home:
                env = {k: v for k, v in os.environ.items()
                       if not k.startswith(("LC_", "LANG", "OSTRIVANE_TEST"))}
                env.update(HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                           XDG_DATA_HOME=f"{home}/data", XDG_STATE_HOME=f"{home}/state",
                           XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="offscreen", LANG=language)
                done = subprocess.run([desktop] + args, capture_output=True, text=True, env=env,
                                      timeout=60)
            text = getattr(done, stream)
            if done.returncode != status or wanted not in text or unwanted in text:
                failures.append(f"LANG={language} ostrivane {' '.join(args)}: exit "
                                f"{done.returncode}, wanted '{wanted}' in {stream}:\n{text}")


def main():
    source_dir, cli, desktop = sys.argv[1:4]
    failures = []
    check_files(source_dir, failures)
    # The per-drive lines come from the evaluation, which keeps an English copy
    # for records and JSON; the terminal gets the translated one.
    german = ["Modell:", "Seriennummer:", "Zustand:", "bestätigt", "Grund:", "Attribute:",
              "Der Zustand Ihrer SSD(s) ist gut!", "(Wear_Levelling_Count: 93 [Schwelle: 0])",
              "Reallocated_Sector_Count (5):\t100 [Schwelle: 10]",
              "eigene Verschleißanzeige: 7 % verbraucht · 11,0 TB geschrieben · 8.123 h"]
    english = ["Model:", "Serial:", "Health:", "verified", "Reason:", "Attributes:",
               "SSD Health of your SSD(s) is fine!", "(Wear_Levelling_Count: 93 [threshold: 0])",
               "Reallocated_Sector_Count (5):\t100 [threshold: 10]",
               "own wear indicator: 7 % used · 11.0 TB written · 8,123 h"]
    check_output(source_dir, cli, "de_DE.UTF-8", german,
                 ["  Health:", "Serial:", "threshold", "own wear"], failures)
    check_output(source_dir, cli, "C", english, german, failures)
    check_messages(source_dir, cli, failures)
    check_commands(source_dir, cli, failures)
    check_desktop_messages(desktop, failures)
    if failures:
        sys.exit("\n".join(failures))
    print("translations: complete, and the German one reaches the program")


if __name__ == "__main__":
    main()
