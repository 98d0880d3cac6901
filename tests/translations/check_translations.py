#!/usr/bin/env python3
"""Fails on a user-visible text the English translation does not cover.

Gathers the marked texts of the sources with lupdate into a copy of the translation file, then
checks that every text is translated, that the file names no text the sources no longer have,
that the placeholders of each translation are the source's, and that no Korean string literal
of the sources is left outside the translation system (a line may keep one with a comment
"kept in Korean" saying why, on the line or the line before).

usage: check_translations.py LUPDATE SOURCE_ROOT
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SOURCE_DIRS = ["app", "components", "engine", "transport", "cli"]
TS_FILE = "translations/tarven_en.ts"
HANGUL_LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*[\uac00-\ud7a3](?:[^"\\\n]|\\.)*)"')
QT_ARG = re.compile(r"%L?\d+")
PRINTF = re.compile(r"%[-+ #0]*\d*(?:\.\d+)?(?:l|ll|z)?[diouxXeEfgGcsp%]")
KEPT = "kept in Korean"


def messages(ts_path):
    tree = ET.parse(ts_path)
    for context in tree.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            yield name, message


def unescape(literal):
    return literal.encode("utf-8").decode("unicode_escape").encode("latin-1").decode("utf-8")


def main():
    lupdate, root = sys.argv[1], pathlib.Path(sys.argv[2])
    faults = []
    with tempfile.TemporaryDirectory() as work:
        fresh = pathlib.Path(work) / "fresh.ts"
        shutil.copy(root / TS_FILE, fresh)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete",
                        "-source-language", "ko", "-target-language", "en",
                        *[str(root / d) for d in SOURCE_DIRS], "-ts", str(fresh)],
                       check=True)
        committed = {(c, m.findtext("source")) for c, m in messages(root / TS_FILE)}
        sources = set()
        for context, message in messages(fresh):
            source = message.findtext("source")
            sources.add(source)
            translation = message.find("translation")
            text = translation.text or ""
            where = f"{context}: {source!r}"
            if (context, source) not in committed:
                faults.append(f"not in {TS_FILE} (build the target update_translations): {where}")
            elif translation.get("type") in ("unfinished", "vanished", "obsolete") or not text:
                faults.append(f"not translated: {where}")
                continue
            if sorted(QT_ARG.findall(source)) != sorted(QT_ARG.findall(text)):
                faults.append(f"placeholders differ: {where} -> {text!r}")
            if PRINTF.findall(source) != PRINTF.findall(text):
                faults.append(f"printf conversions differ (order counts): {where} -> {text!r}")
        stale = committed - {(c, m.findtext("source")) for c, m in messages(fresh)}
        for context, source in sorted(stale):
            faults.append(f"no longer in the sources: {context}: {source!r}")

    for directory in SOURCE_DIRS:
        for path in sorted((root / directory).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            lines = path.read_text(encoding="utf-8").splitlines()
            for number, line in enumerate(lines, 1):
                if line.lstrip().startswith(("//", "*", "/*")):
                    continue
                for literal in HANGUL_LITERAL.findall(line):
                    text = unescape(literal)
                    if any(text in source for source in sources):
                        continue
                    if KEPT in line or (number > 1 and KEPT in lines[number - 2]):
                        continue
                    faults.append(f"{path.relative_to(root)}:{number}: Korean text outside "
                                  f"the translation system: {text!r}")

    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s); {len(sources)} texts checked")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
