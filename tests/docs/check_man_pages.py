#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every command and option a program's --help lists appears in its manual
page, and groff has nothing to say about any page.

usage: check_man_pages.py MAN_DIR CLI GUI
"""
import os
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][\w-]*)")


def help_text(*argv):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run(argv, capture_output=True, text=True, env=env, timeout=60)
    if done.returncode != 0:
        sys.exit(f"{' '.join(argv)} exited {done.returncode}: {done.stderr}")
    return done.stdout


def listed_words(text):
    """The commands and options a help text lists: the options of its option
    lines, and the first word and options of each line of a Commands block."""
    words = set()
    in_commands = False
    for line in text.splitlines():
        stripped = line.strip()
        if not line.startswith(" "):
            in_commands = stripped.rstrip(":").endswith("Commands")
            continue
        if in_commands and line.startswith("  ") and not line.startswith("   "):
            first = stripped.split()[0]
            if not first.startswith("-") and first != "|":
                words.add(first)
        if in_commands or stripped.startswith("-"):
            # Only the option column: the description may quote other tools.
            column = re.split(r"\s{2,}", stripped)[0]
            words.update(OPTION.findall(column))
    return words


def page_text(path):
    with open(path, encoding="utf-8") as f:
        source = f.read()
    return re.sub(r"\\f[BIRP]", "", source).replace("\\-", "-")


def missing_from(page, words):
    return sorted(w for w in words if not re.search(r"(?<![\w-])" + re.escape(w) + r"(?![\w-])", page))


def main():
    man_dir, cli, gui = sys.argv[1:4]
    pages = {
        "ostrivane-cli": os.path.join(man_dir, "man1", "ostrivane-cli.1"),
        "ostrivane": os.path.join(man_dir, "man1", "ostrivane.1"),
        "helper": os.path.join(man_dir, "man8", "ostrivane-smart-helper.8"),
        "conf": os.path.join(man_dir, "man5", "ostrivane.conf.5"),
    }
    failures = []
    for path in pages.values():
        if not os.path.isfile(path):
            failures.append(f"{path}: missing")
            continue
        lint = subprocess.run(["groff", "-ww", "-z", "-man", path], capture_output=True, text=True)
        if lint.returncode != 0 or lint.stderr.strip():
            failures.append(f"{path}: groff says: {lint.stderr.strip()}")
    if failures:
        sys.exit("\n".join(failures))

    main_help = help_text(cli, "--help")
    words = listed_words(main_help)
    commands = [w for w in words if not w.startswith("-")]
    if len(commands) < 5:
        sys.exit(f"too few commands found in ostrivane-cli --help: {commands}")
    for command in commands:
        words |= listed_words(help_text(cli, command, "--help"))
    cli_page = page_text(pages["ostrivane-cli"])
    gui_words = listed_words(help_text(gui, "--help"))
    for name, page, wanted in (("ostrivane-cli", cli_page, words),
                               ("ostrivane", page_text(pages["ostrivane"]), gui_words)):
        if not wanted:
            failures.append(f"{name}: no option found in its --help")
        for word in missing_from(page, wanted):
            failures.append(f"{name}: '{word}' of --help is not in its manual page")
    helper_page = page_text(pages["helper"])
    if "ostrivane-smart.socket" not in helper_page:
        failures.append("ostrivane-smart-helper: the page does not name the socket that starts it")
    if failures:
        sys.exit("\n".join(failures))
    print(f"{len(words)} commands and options of ostrivane-cli, {len(gui_words)} of ostrivane: all documented")


if __name__ == "__main__":
    main()
