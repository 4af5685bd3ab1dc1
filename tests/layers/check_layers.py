#!/usr/bin/env python3
"""Checks the tree against cmake/layers.txt, the table of which unit may use which.

    python3 tests/layers/check_layers.py [--root DIR] [--update-doc]

Fails (exit 1, one line per fault, "file:line: ...") when
  - an #include "..." under src/, tools/ or tests/ reaches a file of a unit that the
    including unit's row does not allow (upward or sideways), or reaches no file at all;
  - a folder holding code (src/<layer>, tools/<tool>, tests/<folder>) has no row;
  - the table itself lets a layer use a layer listed after it, or a unit that has no row;
  - a source file of a layer or tool is not named in its folder's CMakeLists.txt (a file
    added without being built is a file nobody compiles);
  - the table in docs/architecture.md differs from the table (--update-doc rewrites it).
Runs in the ordinary test run as the CTest case layer_includes.
"""
import argparse
import os
import re
import sys

TABLE = "cmake/layers.txt"
DOC = "docs/architecture.md"
DOC_BEGIN = "<!-- layer table: made from cmake/layers.txt by tests/layers/check_layers.py --update-doc -->"
DOC_END = "<!-- end of layer table -->"
SCANNED = ("src", "tools", "tests")
CODE = (".h", ".hpp", ".cpp", ".cc", ".c", ".inc", ".S")
BUILT = (".cpp", ".cc", ".c", ".S")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


class Table:
    """The rows of cmake/layers.txt in file order. A bare name is a layer (src/<name>);
    anything else is a folder named from the root."""

    def __init__(self, root):
        self.rows = {}  # unit -> list of uses, in file order
        self.lines = {}  # unit -> line number in the table
        self.faults = []
        path = os.path.join(root, TABLE)
        with open(path, encoding="utf-8") as f:
            for number, text in enumerate(f, 1):
                fields = text.split("#", 1)[0].split()
                if not fields:
                    continue
                unit, uses = fields[0], fields[1:]
                if unit in self.rows:
                    self.faults.append(f"{TABLE}:{number}: {unit} has a second row")
                self.rows[unit] = uses
                self.lines[unit] = number
        self.layers = [u for u in self.rows if "/" not in u]
        self._check_rows()

    def _check_rows(self):
        for unit, uses in self.rows.items():
            where = f"{TABLE}:{self.lines[unit]}"
            for use in uses:
                if use == unit:
                    self.faults.append(f"{where}: {unit} names itself")
                elif use not in self.rows:
                    self.faults.append(f"{where}: {unit} may use {use}, which has no row")
                elif "/" not in unit and "/" in use:
                    self.faults.append(f"{where}: layer {unit} may use only layers, not {use}")
                elif "/" not in unit and self.layers.index(use) > self.layers.index(unit):
                    self.faults.append(
                        f"{where}: layer {unit} may use {use}, which is listed after it "
                        "(layers go from the bottom up; a layer uses only layers below it)")

    def allowed(self, unit):
        """The row of unit; a test folder named after a layer without a row of its own takes
        the layer and the layer's row. None when the unit has no row."""
        if unit in self.rows:
            return self.rows[unit]
        m = re.fullmatch(r"tests/([^/]+)", unit)
        if m and m.group(1) in self.layers:
            return [m.group(1)] + self.rows[m.group(1)]
        return None


def unit_of(rel):
    """The unit that owns a file, from its path relative to the root: src/<layer>/... is the
    layer; tools/<tool>/... and tests/<folder>/... are those folders; None for files directly
    under src/, tools/ or tests/ and for files elsewhere."""
    parts = rel.split("/")
    if len(parts) < 3 or parts[0] not in SCANNED:
        return None
    return parts[1] if parts[0] == "src" else parts[0] + "/" + parts[1]


def code_files(root):
    for top in SCANNED:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if d not in ("node_modules", "data"))
            for name in sorted(files):
                if name.endswith(CODE):
                    path = os.path.join(folder, name)
                    yield os.path.relpath(path, root).replace(os.sep, "/")


def resolve(root, rel, include):
    """The file an include reaches, relative to the root, in the compiler's order: the
    including file's folder, then src/, then tests/ (test code only), then the tool folders
    (their programs and tests put them on the include path)."""
    bases = [os.path.dirname(rel), "src"]
    if rel.startswith("tests/"):
        bases.append("tests")
    tools = os.path.join(root, "tools")
    if os.path.isdir(tools):
        bases += ["tools/" + t for t in sorted(os.listdir(tools))]
    for base in bases:
        candidate = os.path.normpath(os.path.join(root, base, include))
        if os.path.isfile(candidate):
            return os.path.relpath(candidate, root).replace(os.sep, "/")
    return None


def check_includes(root, table):
    faults = []
    missing_rows = set()
    for rel in code_files(root):
        unit = unit_of(rel)
        if unit is None:
            continue
        allowed = table.allowed(unit)
        if allowed is None:
            if unit not in missing_rows:
                missing_rows.add(unit)
                faults.append(f"{rel}: {unit} holds code but has no row in {TABLE}")
            continue
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            for number, text in enumerate(f, 1):
                m = INCLUDE.match(text)
                if not m:
                    continue
                include = m.group(1)
                target = resolve(root, rel, include)
                where = f'{rel}:{number}: #include "{include}"'
                if target is None:
                    faults.append(f"{where} reaches no file of the tree")
                    continue
                owner = unit_of(target)
                if owner == unit:
                    continue
                if owner is None or owner not in allowed:
                    faults.append(f"{where} reaches {target} of {owner or 'no unit'}: "
                                  f"{rule(table, unit, owner, allowed)}")
    return faults


def rule(table, unit, owner, allowed):
    """The rule an include breaks, in words."""
    may = " ".join(allowed) if allowed else "nothing"
    if unit in table.layers and owner in table.layers:
        direction = "upward" if table.layers.index(owner) > table.layers.index(unit) else "sideways"
        return (f"{direction} include; layer {unit} may use only: {may} "
                f"(row {unit} of {TABLE})")
    row = unit if unit in table.rows else f"tests/<layer> rule, from {unit.split('/')[1]}"
    return f"{unit} may use only: {may} (row {row} of {TABLE})"


def check_sources_listed(root, table):
    """Every source file of a layer or tool folder is named in that folder's CMakeLists.txt,
    by its path relative to the folder (platform's posix/ and win32/ files included)."""
    faults = []
    folders = ["src/" + layer for layer in table.layers]
    folders += [u for u in table.rows if u.startswith("tools/")]
    for folder in folders:
        base = os.path.join(root, folder)
        lists = os.path.join(base, "CMakeLists.txt")
        if not os.path.isfile(lists):
            continue
        with open(lists, encoding="utf-8") as f:
            text = f.read()
        if re.search(r"file\s*\(\s*GLOB", text):
            faults.append(f"{folder}/CMakeLists.txt: lists its sources with a GLOB; name each file")
        named = set(re.findall(r"[\w./-]+", text))
        for sub, dirs, files in os.walk(base):
            dirs.sort()
            for name in sorted(files):
                if not name.endswith(BUILT):
                    continue
                rel = os.path.relpath(os.path.join(sub, name), base).replace(os.sep, "/")
                if rel not in named:
                    faults.append(f"{folder}/{rel}: not named in {folder}/CMakeLists.txt, so never built")
    return faults


def doc_table(table):
    lines = [DOC_BEGIN, "", "| unit | may use |", "|---|---|"]
    for unit, uses in table.rows.items():
        name = f"`{unit}`" if "/" in unit else f"`{unit}` (src/{unit})"
        lines.append(f"| {name} | {', '.join(uses) if uses else '(nothing)'} |")
    lines += ["", DOC_END]
    return "\n".join(lines)


def check_doc(root, table, update):
    path = os.path.join(root, DOC)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    begin, end = text.find(DOC_BEGIN), text.find(DOC_END)
    if begin < 0 or end < begin:
        return [f"{DOC}: the markers of the layer table are missing"]
    current = text[begin:end + len(DOC_END)]
    wanted = doc_table(table)
    if current == wanted:
        return []
    if update:
        with open(path, "w", encoding="utf-8") as f:
            f.write(text[:begin] + wanted + text[end + len(DOC_END):])
        return []
    line = text[:begin].count("\n") + 1
    return [f"{DOC}:{line}: the layer table differs from {TABLE}; "
            "run python3 tests/layers/check_layers.py --update-doc"]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    parser.add_argument("--update-doc", action="store_true")
    args = parser.parse_args(argv)
    root = os.path.abspath(args.root)
    table = Table(root)
    faults = list(table.faults)
    faults += check_includes(root, table)
    faults += check_sources_listed(root, table)
    faults += check_doc(root, table, args.update_doc)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} fault(s) against {TABLE}")
        return 1
    print(f"layers: {len(table.rows)} rows of {TABLE} hold for src/, tools/ and tests/")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
