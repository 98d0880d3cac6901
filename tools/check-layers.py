#!/usr/bin/env python3
"""Checks that the source folders keep their layers (docs/architecture.md, "Layers").

Reads the #include lines of every source file in the folders below, maps each included
project header to the folder that holds it, and fails when
  - a folder includes a folder its layer may not use,
  - the folders include each other in a cycle,
  - a window below the shell (app/monitor, app/script, app/cmdlist, app/tools) reaches up for
    the application or the main frame: it names CTARVENApp::Instance, or includes CTARVENApp.h
    or CMainFrame.h, instead of taking what it needs in its constructor,
  - a folder holds sources but has no layer, or a source file cannot be read as one.

Usage: check-layers.py [--root DIR]   (DIR: the source tree, by default the one holding this
script). Exit status 0 when every rule holds, 1 when one is broken, 2 on bad usage.
"""

import argparse
import os
import re
import stat
import sys

# Each folder and the folders it may include, top to bottom. The composition (app's own files,
# main.cpp and CProgram) may use every part of the program; nothing may include it.
MAY_USE = {
    "app": ["app/shell", "app/monitor", "app/script", "app/cmdlist", "app/tools", "app/plot",
            "app/bridge", "components/termview", "components/uikit", "engine", "transport", "capture"],
    "app/script": ["app/shell", "app/monitor", "components/termview", "components/uikit",
                   "engine", "transport", "capture"],
    "app/bridge": ["app/shell", "app/monitor", "components/termview", "components/uikit",
                   "engine", "transport", "capture"],
    "app/cmdlist": ["app/shell", "components/termview", "components/uikit", "engine",
                    "transport", "capture"],
    "app/monitor": ["app/shell", "app/tools", "app/plot", "components/termview",
                    "components/uikit", "engine", "transport", "capture"],
    "app/plot": ["components/termview", "components/uikit", "engine", "transport", "capture"],
    "app/tools": ["components/uikit", "engine", "transport", "capture"],
    "app/shell": ["components/termview", "components/uikit", "engine", "transport", "capture"],
    "components/termview": ["components/uikit", "capture"],
    "components/uikit": [],
    "cli": ["engine", "transport", "capture"],
    "engine": ["transport", "capture"],
    "transport": [],
    "capture": [],
}

# Folders whose subfolders are folders of their own.
PARENTS = ["app", "components"]

# The windows the shell carries; they get the shell's parts, never the program or the frame.
BELOW_SHELL = ["app/monitor", "app/script", "app/cmdlist", "app/tools", "app/plot", "app/bridge"]
FORBIDDEN_BELOW_SHELL = re.compile(r"\bCTARVENApp\s*::\s*Instance\b")
FRAME_HEADERS = {"CTARVENApp.h", "CMainFrame.h"}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
# No source file of ours comes near this; a bigger one is not read.
MAX_SOURCE_BYTES = 4 * 1024 * 1024

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"\n]+)[>"]', re.MULTILINE)


def strip_comments(text):
    """The text with comments and string literals blanked, lines kept in place."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("".join("\n" if ch == "\n" else " " for ch in text[i:end]))
            i = end
        elif c == '"' and _is_include_path(text, i):
            end = text.find('"', i + 1)
            end = n if end < 0 or "\n" in text[i:end] else end + 1
            out.append(text[i:end])
            i = end
        elif c in "\"'":
            # A string or character literal, which ends at its quote or at the line's end.
            start, j = i, i + 1
            while j < n and text[j] not in c + "\n":
                j += 2 if text[j] == "\\" else 1
            i = j + 1 if j < n and text[j] == c else j
            out.append(c + c + "\n" * text.count("\n", start, i))
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _is_include_path(text, quote):
    line_start = text.rfind("\n", 0, quote) + 1
    return re.match(r"[ \t]*#[ \t]*include[ \t]*$", text[line_start:quote]) is not None


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


class Tree:
    def __init__(self, root):
        self.root = root
        self.problems = []
        self.folders = self._folders()
        self.files = {folder: self._sources(folder) for folder in self.folders}
        self.owner = self._index_headers()

    def fail(self, message):
        self.problems.append(message)

    def _folders(self):
        folders = []
        for folder in sorted(MAY_USE):
            if os.path.isdir(os.path.join(self.root, folder)):
                folders.append(folder)
        # A folder with sources that no layer names is a rule nobody wrote down.
        for parent in PARENTS:
            base = os.path.join(self.root, parent)
            if not os.path.isdir(base):
                continue
            for name in sorted(os.listdir(base)):
                folder = parent + "/" + name
                path = os.path.join(base, name)
                if folder in MAY_USE or not os.path.isdir(path):
                    continue
                if any(f.endswith(SOURCE_SUFFIXES) for f in os.listdir(path)):
                    self.fail(f"{folder}: holds sources but has no layer; give it one in "
                              f"tools/check-layers.py and docs/architecture.md")
        return folders

    def _sources(self, folder):
        sources = []
        base = os.path.join(self.root, folder)
        for name in sorted(os.listdir(base)):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            rel = folder + "/" + name
            try:
                info = os.stat(os.path.join(base, name))
            except OSError as error:
                self.fail(f"{rel}: cannot be read: {error.strerror}")
                continue
            if stat.S_ISDIR(info.st_mode):
                continue
            if not stat.S_ISREG(info.st_mode):
                self.fail(f"{rel}: not a regular file, not read")
                continue
            if info.st_size > MAX_SOURCE_BYTES:
                self.fail(f"{rel}: {info.st_size} bytes, too big for a source file, not read")
                continue
            sources.append(name)
        return sources

    def _index_headers(self):
        owner = {}
        for folder, names in self.files.items():
            for name in names:
                owner.setdefault(name, []).append(folder)
        return owner

    def read(self, folder, name):
        path = os.path.join(self.root, folder, name)
        with open(path, "rb") as source:
            return source.read(MAX_SOURCE_BYTES + 1).decode("utf-8", errors="replace")

    def resolve(self, folder, included):
        """The folder that holds the project header included, or None for any other."""
        base = os.path.basename(included)
        if "/" in included:
            for start in (os.path.join(self.root, folder), self.root):
                candidate = os.path.normpath(os.path.join(start, included))
                cand_folder = os.path.relpath(os.path.dirname(candidate), self.root)
                cand_folder = cand_folder.replace(os.sep, "/")
                if cand_folder in self.files and base in self.files[cand_folder]:
                    return cand_folder
        owners = self.owner.get(base, [])
        if folder in owners:
            return folder
        if len(owners) > 1:
            raise LookupError(", ".join(owners))
        return owners[0] if owners else None


def check(root):
    tree = Tree(root)
    edges = {}  # (from, to) -> first "file:line" that makes it
    file_count = 0
    for folder in tree.folders:
        allowed = set(MAY_USE[folder])
        below_shell = folder in BELOW_SHELL
        for name in tree.files[folder]:
            file_count += 1
            rel = folder + "/" + name
            code = strip_comments(tree.read(folder, name))
            for match in INCLUDE.finditer(code):
                included = match.group(2).strip()
                where = f"{rel}:{line_of(code, match.start())}"
                try:
                    target = tree.resolve(folder, included)
                except LookupError as owners:
                    tree.fail(f"{where}: {included} is in several folders ({owners}); name "
                              f"its folder")
                    continue
                if below_shell and os.path.basename(included) in FRAME_HEADERS:
                    tree.fail(f"{where}: {folder} includes {included}: below the shell a "
                              f"window takes what it needs in its constructor, never the "
                              f"application or the main frame")
                if target is None or target == folder:
                    continue
                edges.setdefault((folder, target), where)
                if target not in allowed:
                    tree.fail(f"{where}: {folder} may not include {target} ({included}); "
                              f"{folder} may use: {', '.join(MAY_USE[folder]) or 'nothing'}")
            if below_shell:
                for match in FORBIDDEN_BELOW_SHELL.finditer(code):
                    tree.fail(f"{rel}:{line_of(code, match.start())}: CTARVENApp::Instance "
                              f"below the shell: take what the window needs in its "
                              f"constructor")
    for cycle in find_cycles(edges):
        steps = [f"{a} -> {b} ({edges[(a, b)]})" for a, b in zip(cycle, cycle[1:] + cycle[:1])]
        tree.fail("folders include each other in a cycle: " + "; ".join(steps))
    return tree.problems, file_count, len(edges)


def find_cycles(edges):
    """One cycle for each group of folders that reach each other (Tarjan's components)."""
    graph = {}
    for a, b in sorted(edges):
        graph.setdefault(a, []).append(b)
        graph.setdefault(b, [])
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in graph[node]:
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(set(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return [cycle_in(graph, group) for group in groups]


def cycle_in(graph, group):
    """A shortest way round from the group's first folder back to itself."""
    start = min(group)
    previous = {start: None}
    queue = [start]
    while queue:
        node = queue.pop(0)
        for nxt in graph[node]:
            if nxt not in group:
                continue
            if nxt == start:
                path = [node]
                while previous[path[-1]] is not None:
                    path.append(previous[path[-1]])
                return list(reversed(path))
            if nxt not in previous:
                previous[nxt] = node
                queue.append(nxt)
    return [start]


def table_is_acyclic():
    edges = {(a, b): "" for a, uses in MAY_USE.items() for b in uses}
    return not find_cycles(edges)


def main():
    parser = argparse.ArgumentParser(description="Checks the layers of the source folders.")
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(
        os.path.abspath(__file__))), help="the source tree (default: this script's)")
    args = parser.parse_args()
    if not os.path.isdir(args.root):
        print(f"check-layers: {args.root}: no such folder", file=sys.stderr)
        return 2
    assert table_is_acyclic(), "the layers allow a cycle"
    sys.setrecursionlimit(10000)
    problems, files, edges = check(args.root)
    for problem in problems:
        print(f"check-layers: {problem}")
    if problems:
        print(f"check-layers: {len(problems)} rule(s) broken in {files} files")
        return 1
    print(f"check-layers: {files} files, {edges} folder dependencies, every layer kept, "
          f"no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
