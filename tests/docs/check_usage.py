#!/usr/bin/env python3
"""A tool's usage page must show exactly what the tool prints for --help.

    check_usage.py TOOL PAGE

The page's usage is the first fenced block after its "## Usage" heading. Exits 1 with both
texts when they differ, 0 when they are the same.
"""
import subprocess
import sys


def usage_block(page_path):
    lines = open(page_path, encoding="utf-8").read().splitlines()
    try:
        start = lines.index("## Usage")
    except ValueError:
        sys.exit(f"{page_path}: no '## Usage' heading")
    fence = next((i for i in range(start + 1, len(lines)) if lines[i].startswith("```")), None)
    if fence is None:
        sys.exit(f"{page_path}: no fenced block after '## Usage'")
    end = next((i for i in range(fence + 1, len(lines)) if lines[i].startswith("```")), None)
    if end is None:
        sys.exit(f"{page_path}:{fence + 1}: the usage block is not closed")
    return "\n".join(lines[fence + 1:end]) + "\n"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tool, page = sys.argv[1], sys.argv[2]
    for flag in ("--help", "-h"):
        run = subprocess.run([tool, flag], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            sys.exit(f"{tool} {flag} exited with {run.returncode}")
        documented = usage_block(page)
        if run.stdout != documented:
            print(f"{page}: the usage block differs from `{tool} {flag}`")
            print("--- page ---\n" + documented + "--- tool ---\n" + run.stdout)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
