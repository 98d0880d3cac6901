#!/usr/bin/env python3
"""Checks the desktop integration of an installed tree: the menu entry, the file types, the icon,
the manual, the manual pages and the examples, as a desktop and a user meet them.

Usage: check_desktop_files.py PREFIX          checks an installed prefix (such as a package's usr)
       check_desktop_files.py --build DIR     installs build tree DIR into a temporary prefix first
"""

import gzip
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
# The file kinds of tarven, which the file manager names and shows with their own comment.
FILE_TYPES = {
    "*.tsl": "text/x-tarven-script",
    "*.tvn": "application/x-tarven-capture",
    "*.tcf": "application/x-tarven-commands",
}
# The kinds the program opens from its command line, and so from the file manager: a command
# file goes into the command list.
OPENED_TYPES = {"text/x-tarven-script", "application/x-tarven-capture",
                "application/x-tarven-commands"}
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
DESKTOP_KEYS = ("Type", "Name", "Exec", "Icon", "MimeType", "Categories")

failures = []


def fail(message):
    failures.append(message)


def read_desktop_entry(path):
    """The keys of the [Desktop Entry] group, localised ones included."""
    entry, group = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line:
                key, value = line.split("=", 1)
                entry[key.strip()] = value.strip()
    return entry


def check_desktop_entry(prefix):
    path = os.path.join(prefix, "share/applications/tarven.desktop")
    if not os.path.isfile(path):
        fail(f"no desktop entry at {path}")
        return set()
    validator = shutil.which("desktop-file-validate")
    if validator:
        result = subprocess.run([validator, path], capture_output=True, text=True)
        if result.returncode != 0 or result.stdout.strip():
            fail(f"desktop-file-validate: {result.stdout}{result.stderr}")
    entry = read_desktop_entry(path)
    for key in DESKTOP_KEYS:
        if not entry.get(key):
            fail(f"desktop entry lacks {key}=")
    if entry.get("Type") != "Application":
        fail(f"desktop entry Type={entry.get('Type')}, expected Application")
    exec_words = entry.get("Exec", "").split()
    if not exec_words or exec_words[0] != "tarven" or "%F" not in exec_words:
        fail(f"desktop entry Exec={entry.get('Exec')}, expected tarven with %F")
    if not os.access(os.path.join(prefix, "bin/tarven"), os.X_OK):
        fail("the desktop entry's program bin/tarven is not installed")
    if entry.get("Icon") != "tarven":
        fail(f"desktop entry Icon={entry.get('Icon')}, expected tarven")
    return {t for t in entry.get("MimeType", "").split(";") if t}


def check_mime_types(prefix, desktop_types):
    path = os.path.join(prefix, "share/mime/packages/tarven.xml")
    if not os.path.isfile(path):
        fail(f"no MIME types at {path}")
        return
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as error:
        fail(f"{path} does not parse: {error}")
        return
    globs = {}
    for mime_type in root.iter(MIME_NS + "mime-type"):
        if mime_type.find(MIME_NS + "comment") is None:
            fail(f"MIME type {mime_type.get('type')} has no comment")
        for glob in mime_type.iter(MIME_NS + "glob"):
            globs[glob.get("pattern")] = mime_type.get("type")
    if globs != FILE_TYPES:
        fail(f"MIME globs {globs}, expected {FILE_TYPES}")
    if desktop_types != OPENED_TYPES:
        fail(f"desktop entry MimeType names {sorted(desktop_types)}, "
             f"expected {sorted(OPENED_TYPES)}")
    # Where shared-mime-info is installed, its compiler must take the file and map the globs.
    compiler = shutil.which("update-mime-database")
    if compiler:
        with tempfile.TemporaryDirectory() as data:
            database = os.path.join(data, "mime")
            os.makedirs(os.path.join(database, "packages"))
            shutil.copy(path, os.path.join(database, "packages"))
            # A folder outside XDG_DATA_DIRS gets a note on standard error; warnings go there too.
            environment = dict(os.environ, XDG_DATA_DIRS=data)
            result = subprocess.run([compiler, database], capture_output=True, text=True,
                                    env=environment)
            if result.returncode != 0 or result.stderr.strip():
                fail(f"update-mime-database: {result.stderr}")
            else:
                with open(os.path.join(database, "globs2"), encoding="utf-8") as f:
                    compiled = {tuple(line.strip().split(":")[1:3]) for line in f
                                if not line.startswith("#")}
                for pattern, mime_type in FILE_TYPES.items():
                    if (mime_type, pattern) not in compiled:
                        fail(f"update-mime-database did not map {pattern} to {mime_type}")


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", header[16:24])


def check_icons(prefix):
    hicolor = os.path.join(prefix, "share/icons/hicolor")
    for size in ICON_SIZES:
        path = os.path.join(hicolor, f"{size}x{size}/apps/tarven.png")
        if not os.path.isfile(path):
            fail(f"no {size}x{size} icon at {path}")
        elif png_size(path) != (size, size):
            fail(f"{path} is {png_size(path)}, not a {size}x{size} PNG")
    svg = os.path.join(hicolor, "scalable/apps/tarven.svg")
    try:
        if ET.parse(svg).getroot().tag != "{http://www.w3.org/2000/svg}svg":
            fail(f"{svg} is not an SVG picture")
    except (OSError, ET.ParseError) as error:
        fail(f"scalable icon: {error}")


def check_documents(prefix):
    # The help command opens share/tarven/manual; the documentation folder leads there too.
    for manual in ("share/tarven/manual", "share/doc/tarven/manual"):
        for page in ("index.html", "style.css"):
            if not os.path.isfile(os.path.join(prefix, manual, page)):
                fail(f"manual page {manual}/{page} is missing")
    for document in ("copyright", "examples/hello.tsl", "examples/modem_at.tcf"):
        if not os.path.isfile(os.path.join(prefix, "share/doc/tarven", document)):
            fail(f"share/doc/tarven/{document} is missing")


# Each program's page, and words its --help has that the page must show.
MANUAL_PAGES = {
    "tarven": ("--nosplash", "--lang", "--version", "tsltable(1)"),
    "tslrun": ("--check", "--connect HOST:PORT", "--junit FILE", "Exit status", "tarven(1)"),
    "tsltable": ("create", "remove", "--version", "/dev/shm/NAME", "tslrun(1)"),
    "tslsim": ("serve", "--pty", "--listen", "crc16", "Exit status", "tslrun(1)"),
    "tslbridge": ("tcp-listen:", "--capture FILE", "--listen-any", "Exit status", "tslsim(1)"),
}


def check_manual_pages(prefix):
    """Each page is installed gzipped, and man renders it without a warning, found by name."""
    man_dir = os.path.join(prefix, "share/man")
    man = shutil.which("man")
    for program, words in MANUAL_PAGES.items():
        path = os.path.join(man_dir, "man1", f"{program}.1.gz")
        if not os.path.isfile(path):
            fail(f"no manual page at {path}")
            continue
        with gzip.open(path, "rt", encoding="utf-8") as f:
            source = f.read()
        if f'.TH {program.upper()} "1"' not in source:
            fail(f"{path} has no .TH line of {program}")
        if not man:
            fail("man is not installed: the pages cannot be rendered (tools/install-deps.sh)")
            continue
        environment = dict(os.environ, MANPATH=man_dir, MANWIDTH="80", LC_ALL="C.UTF-8",
                           MAN_DISABLE_SECCOMP="1")
        for how in (["-l", path], [program]):
            result = subprocess.run([man, "--warnings", "-E", "UTF-8", "-P", "cat", *how],
                                    capture_output=True, text=True, env=environment)
            if result.returncode != 0 or result.stderr.strip():
                fail(f"man {' '.join(how)}: status {result.returncode}: {result.stderr}")
                continue
            # groff may draw a hyphen or a minus as a typographic one, and widens spaces.
            text = " ".join(result.stdout.translate({0x2010: "-", 0x2011: "-", 0x2212: "-"})
                            .split())
            if f"NAME {program} - " not in text:
                fail(f"man {' '.join(how)} has no NAME line of {program}")
            for word in words:
                if word not in text:
                    fail(f"man {' '.join(how)} does not show {word!r}")


def check(prefix):
    check_mime_types(prefix, check_desktop_entry(prefix))
    check_icons(prefix)
    check_documents(prefix)
    check_manual_pages(prefix)


def main(arguments):
    if len(arguments) == 2 and arguments[0] == "--build":
        with tempfile.TemporaryDirectory() as prefix:
            subprocess.run(["cmake", "--install", arguments[1], "--prefix", prefix],
                           check=True, stdout=subprocess.DEVNULL)
            check(prefix)
    elif len(arguments) == 1:
        check(arguments[0])
    else:
        sys.exit(__doc__)
    for message in failures:
        print(f"check-desktop-files: {message}", file=sys.stderr)
    if failures:
        return 1
    print("check-desktop-files: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
