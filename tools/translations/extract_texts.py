#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Collects the user-visible texts of the sources into Qt message files.

The programs look texts up at run time with their English text as the key
(localized(), localized_format(), worded()), so Qt's lupdate, which knows only tr() and
translate(), does not find them. This finds the string literals passed to
those functions and those marked QT_TRANSLATE_NOOP("Localizable", ...) for a
later lookup, and brings each resources/translations/ostrivane_<lang>.ts up to
date: new texts are added unfinished, texts no longer used are dropped,
translations are kept. lrelease compiles the files as usual.

usage: extract_texts.py SOURCE_DIR            update the .ts files
       extract_texts.py --check SOURCE_DIR    exit 1 when one is not up to date
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

CONTEXT = "Localizable"
CALL = re.compile(r'\b(?:localized|localized_format|worded)\s*\(\s*(?:QStringLiteral\s*\(\s*)?(?=u?R?")')
MARK = re.compile(r'\bQT_TRANSLATE_NOOP\s*\(\s*"' + CONTEXT + r'"\s*,\s*(?=u?R?")')
LITERAL = re.compile(r'u?"((?:[^"\\\n]|\\.)*)"')
# A raw literal (long help texts) holds no escapes; its delimiter is "(".
RAW = re.compile(r'u?R"\((.*?)\)"', re.S)
SPACE = re.compile(r'(?:\s|//[^\n]*\n|/\*.*?\*/)*', re.S)
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'", "r": "\r", "0": "\0"}


def unescape(body):
    def repl(m):
        c = m.group(1)
        if c.startswith("u"):
            return chr(int(c[1:], 16))
        if c.startswith("x"):
            return bytes([int(c[1:], 16)]).decode("latin-1")
        return ESCAPES.get(c, c)
    return re.sub(r'\\(u[0-9a-fA-F]{4}|x[0-9a-fA-F]{2}|.)', repl, body)


def literals_at(text, pos):
    """The adjacent string literals starting at pos, joined as the compiler does."""
    parts = []
    while True:
        pos = SPACE.match(text, pos).end()
        m = LITERAL.match(text, pos)
        raw = None if m else RAW.match(text, pos)
        if not m and not raw:
            break
        if raw:
            m = raw
            parts.append(m.group(1))
        else:
            parts.append(unescape(m.group(1)))
        pos = m.end()
    return "".join(parts) if parts else None


def source_texts(root):
    texts = []
    seen = set()
    for folder, dirs, files in os.walk(os.path.join(root, "src")):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                code = f.read()
            for pattern in (CALL, MARK):
                for m in pattern.finditer(code):
                    text = literals_at(code, m.end())
                    if text and text not in seen:
                        seen.add(text)
                        texts.append(text)
    return texts


def read_ts(path):
    tree = ET.parse(path)
    messages = {}
    for message in tree.getroot().iter("message"):
        source = message.findtext("source") or ""
        translation = message.find("translation")
        messages[source] = translation
    return tree.getroot().get("language"), messages


def render_ts(language, texts, old):
    root = ET.Element("TS", version="2.1", language=language)
    context = ET.SubElement(root, "context")
    ET.SubElement(context, "name").text = CONTEXT
    for text in texts:
        message = ET.SubElement(context, "message")
        ET.SubElement(message, "source").text = text
        translation = ET.SubElement(message, "translation")
        previous = old.get(text)
        if previous is not None and previous.text:
            translation.text = previous.text
            if previous.get("type") == "unfinished":
                translation.set("type", "unfinished")
        else:
            translation.set("type", "unfinished")
    ET.indent(root, space="    ")
    return ('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n'
            + ET.tostring(root, encoding="unicode") + "\n")


def main():
    args = sys.argv[1:]
    check = args[:1] == ["--check"]
    if check:
        args = args[1:]
    if len(args) != 1:
        sys.exit(__doc__)
    root = args[0]
    texts = source_texts(root)
    folder = os.path.join(root, "resources", "translations")
    stale = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".ts"):
            continue
        path = os.path.join(folder, name)
        language, old = read_ts(path)
        if language.startswith("en"):
            continue  # English is the key text itself.
        rendered = render_ts(language, texts, old)
        with open(path, encoding="utf-8") as f:
            current = f.read()
        if rendered != current:
            stale.append(name)
            if not check:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(rendered)
    if check and stale:
        sys.exit("not up to date with the sources (run tools/translations/extract_texts.py): "
                 + ", ".join(stale))
    print(f"{len(texts)} texts" + (f"; updated {', '.join(stale)}" if stale and not check else ""))


if __name__ == "__main__":
    main()
