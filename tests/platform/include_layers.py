#!/usr/bin/env python3
"""The shape of the tree's includes: no circle between files, none between folders, and no
file of the Win32 subset (platform/) over 500 lines. Which module may include which is the
build's business (each module sees only the headers of what it links); this finds what the
compiler cannot: a circle, and a file grown too large to hold in one's head.
Usage: include_layers.py SOURCE_ROOT"""
import os
import re
import sys

MAX_LINES = 500
SOURCE_DIRS = ("game", "graphics", "platform", "testing", "tests", "tools", "bench", "fuzz", "examples", "templates")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(root):
    for top in SOURCE_DIRS:
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".cpp", ".h")):
                    yield os.path.relpath(os.path.join(folder, name), root)


def find_cycle(graph):
    """One circle of the graph as a list of nodes, or None."""
    state, stack = {}, []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def main(root):
    files = sorted(sources(root))
    by_name = {}
    for f in files:
        by_name.setdefault(os.path.basename(f), []).append(f)
    file_graph, folder_graph, problems = {}, {}, []
    for f in files:
        text = open(os.path.join(root, f), encoding="utf-8", errors="replace").read()
        if f.startswith("platform" + os.sep) and text.count("\n") > MAX_LINES:
            problems.append(f"{f}: {text.count(chr(10))} lines, more than {MAX_LINES}")
        for name in INCLUDE.findall(text):
            beside = os.path.normpath(os.path.join(os.path.dirname(f), name))
            targets = [beside] if os.path.exists(os.path.join(root, beside)) else by_name.get(os.path.basename(name), [])
            # A name found in more than one folder is resolved by the build's include path;
            # only one of them can be meant, so none is counted rather than a wrong one.
            if len(targets) != 1:
                continue
            target = targets[0]
            file_graph.setdefault(f, set()).add(target)
            a, b = os.path.dirname(f), os.path.dirname(target)
            if a != b:
                folder_graph.setdefault(a, set()).add(b)
    for graph, what in ((file_graph, "files"), (folder_graph, "folders")):
        cycle = find_cycle(graph)
        if cycle:
            problems.append(f"an include circle between {what}: " + " -> ".join(cycle))
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print(f"include layers: {len(files)} files, {len(folder_graph)} folders that include others, no circle,"
              f" no platform file over {MAX_LINES} lines")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
