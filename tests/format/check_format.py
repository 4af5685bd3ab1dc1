#!/usr/bin/env python3
"""Fails when a C++ file of the tree is not formatted as the repository's .clang-format says.

Runs clang-format in dry-run mode over every .cpp and .h file under src/, tools/, tests/,
bench/ and fuzz/ and prints the files it would change, with clang-format's first finding of
each. Exits 1 when there is any, 0 otherwise. Usage: check_format.py CLANG_FORMAT SOURCE_ROOT
"""
import os
import subprocess
import sys

FOLDERS = ("src", "tools", "tests", "bench", "fuzz")


def sources(root):
    for folder in FOLDERS:
        for base, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(base, name)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1])
        return 2
    clang_format, root = argv[1], argv[2]
    unformatted = []
    for path in sources(root):
        run = subprocess.run([clang_format, "--dry-run", "--Werror", "--style=file", path],
                             cwd=root, capture_output=True, text=True)
        if run.returncode != 0:
            first = next((l for l in run.stderr.splitlines() if l.strip()), "")
            unformatted.append((os.path.relpath(path, root), first))
    for path, first in unformatted:
        print("%s: not formatted (clang-format -i %s): %s" % (path, path, first))
    if unformatted:
        print("%d file(s) not formatted with .clang-format" % len(unformatted))
        return 1
    print("format: every C++ file is formatted")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
