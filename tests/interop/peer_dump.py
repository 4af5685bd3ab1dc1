#!/usr/bin/env python3
"""What xlrd reads from a BIFF8 workbook, as one JSON object, and the comparison of such a
dump with an expected content (a manifest entry of xlwt_samples.py / sheetjs_samples.js).

    peer_dump.py FILE                      print xlrd's view of FILE
    peer_dump.py FILE --expect M.json:NAME compare with entry NAME of manifest M.json;
                                           exit 1 and list every difference
    peer_dump.py --dump D.json --expect M.json:NAME
                                           compare another reader's dump (sheetjs_peer.js
                                           dump, or `sstool dump --json`, whose cell form is
                                           accepted too); --ignore sizes,fonts,hidden

The dump form (the same for every peer script):
    {"reader": "xlrd 1.2.0",
     "sheets": [{"name": S, "visible": B,
                 "cells": [{"ref": "B3", "col": 1, "row": 2,
                            "type": "number"|"text"|"boolean"|"error"|"blank", "value": V,
                            "font": {"name", "height" (twips), "bold", "italic",
                                     "underline", "colorIndex"}}],
                 "merged": ["A1:B2"], "colWidths": {"0": 5120}, "rowHeights": {"2": 600},
                 "hiddenCols": [6], "hiddenRows": [9]}],
     "names": [{"name": N, "ref": R}]}
colWidths are in 1/256 of a character width and rowHeights in twips, only where not default.
A formula cell read by xlrd shows the result stored in the file (xlrd does not decode formula
tokens); its expected "formula" text is therefore not compared here.
"""
import json
import math
import sys

ERRORS = {0x00: "#NULL!", 0x07: "#DIV/0!", 0x0F: "#VALUE!", 0x17: "#REF!", 0x1D: "#NAME!",
          0x24: "#NUM!", 0x2A: "#N/A!"}


def ColumnLetters(c):
    s = ""
    c += 1
    while c:
        c, rem = divmod(c - 1, 26)
        s = chr(65 + rem) + s
    return s


def Ref(r, c):
    return "%s%d" % (ColumnLetters(c), r + 1)


def Dump(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    out = {"reader": "xlrd " + xlrd.__VERSION__, "sheets": [], "names": []}
    for sheet in book.sheets():
        s = {"name": sheet.name, "visible": sheet.visibility == 0, "cells": [], "merged": [],
             "colWidths": {}, "rowHeights": {}, "hiddenCols": [], "hiddenRows": []}
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                kind = {xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "number",
                        xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_BOOLEAN: "boolean",
                        xlrd.XL_CELL_ERROR: "error", xlrd.XL_CELL_BLANK: "blank"}.get(cell.ctype)
                if kind is None:
                    continue
                value = cell.value
                if kind == "number":
                    value = float(value)
                elif kind == "boolean":
                    value = bool(value)
                elif kind == "error":
                    value = ERRORS.get(value, "#%d" % value)
                entry = {"ref": Ref(r, c), "col": c, "row": r, "type": kind, "value": value}
                if cell.xf_index is not None and cell.xf_index < len(book.xf_list):
                    font = book.font_list[book.xf_list[cell.xf_index].font_index]
                    entry["font"] = {"name": font.name, "height": font.height,
                                     "bold": bool(font.bold), "italic": bool(font.italic),
                                     "underline": font.underline_type != 0,
                                     "colorIndex": font.colour_index}
                s["cells"].append(entry)
        for r1, r2, c1, c2 in sheet.merged_cells:
            s["merged"].append(Ref(r1, c1) + ":" + Ref(r2 - 1, c2 - 1))
        for c, info in sorted(sheet.colinfo_map.items()):
            if info.hidden:
                s["hiddenCols"].append(c)
            s["colWidths"][str(c)] = info.width
        for r, info in sorted(sheet.rowinfo_map.items()):
            if info.hidden:
                s["hiddenRows"].append(r)
            if info.height_mismatch:
                s["rowHeights"][str(r)] = info.height
        out["sheets"].append(s)
    for name in book.name_obj_list:
        out["names"].append({"name": name.name, "ref": getattr(name, "formula_text", "")})
    return out


def SameValue(a, b):
    if isinstance(a, float) or isinstance(b, float):
        try:
            a, b = float(a), float(b)
        except (TypeError, ValueError):
            return False
        return a == b or math.isclose(a, b, rel_tol=1e-12, abs_tol=1e-300)
    return a == b


def Short(v):
    text = repr(v)
    return text if len(text) <= 60 else text[:40] + "...(%d characters)" % len(text)


def Compare(expected_sheets, dump, check_formula_results=False, booleans_as_numbers=False):
    """Every difference between the expected content and a dump, as texts (empty: equal).

    check_formula_results: compare the values of formula cells too (for a reader that
    recalculates, or a file whose writer stored the results).
    booleans_as_numbers: an expected Boolean matches the number 1 or 0 (for a reader that
    keeps Booleans as numbers)."""
    problems = []
    got = dump["sheets"]
    if [s["name"] for s in expected_sheets] != [s["name"] for s in got]:
        problems.append("sheets %r, expected %r" % ([s["name"] for s in got],
                                                    [s["name"] for s in expected_sheets]))
        return problems
    for want, have in zip(expected_sheets, got):
        where = want["name"]
        if want.get("visible", True) != have.get("visible", True):
            problems.append("%s: visible %r" % (where, have.get("visible")))
        cells = {c["ref"]: c for c in have["cells"]}
        for cell in want["cells"]:
            found = cells.get(cell["ref"])
            label = "%s!%s" % (where, cell["ref"])
            if found is None:
                problems.append(label + ": missing")
                continue
            if "formula" in cell and "formula" in found and cell["formula"] != found["formula"]:
                problems.append("%s: formula %r, expected %r" % (label, found["formula"],
                                                                 cell["formula"]))
            if "type" in cell and ("formula" not in cell or check_formula_results):
                if booleans_as_numbers and cell["type"] == "boolean":
                    cell = dict(cell, type="number", value=1.0 if cell["value"] else 0.0)
                if found["type"] != cell["type"] or not SameValue(found["value"], cell["value"]):
                    problems.append("%s: %s %s, expected %s %s" % (
                        label, found["type"], Short(found["value"]), cell["type"],
                        Short(cell["value"])))
            for key, value in cell.get("font", {}).items():
                if found.get("font", {}).get(key) != value:
                    problems.append("%s: font %s %r, expected %r" % (
                        label, key, found.get("font", {}).get(key), value))
        if sorted(want["merged"]) != sorted(have["merged"]):
            problems.append("%s: merged %r, expected %r" % (where, have["merged"], want["merged"]))
        for key in ("colWidths", "rowHeights"):
            for index, value in want.get(key, {}).items():
                if have.get(key, {}).get(index) != value:
                    problems.append("%s: %s[%s] %r, expected %r" % (
                        where, key, index, have.get(key, {}).get(index), value))
        for key in ("hiddenCols", "hiddenRows"):
            if sorted(want.get(key, [])) != sorted(have.get(key, [])):
                problems.append("%s: %s %r, expected %r" % (where, key, have.get(key), want[key]))
    return problems


def Normalised(dump):
    """Accepts the cell form of `sstool dump --json` as well: its "result" object gives the type
    and value, and the "edit" text of a formula cell its formula."""
    for sheet in dump["sheets"]:
        for cell in sheet["cells"]:
            if "result" in cell and "type" not in cell:
                cell["type"] = cell["result"]["type"]
                cell["value"] = cell["result"]["value"]
            if cell.get("kind") == "formula" and "formula" not in cell:
                cell["formula"] = cell.get("edit", "")
    return dump


def main():
    import argparse
    ap = argparse.ArgumentParser(description="xlrd's view of a workbook, and comparison with "
                                 "an expected content")
    ap.add_argument("file", nargs="?", help="workbook to read with xlrd")
    ap.add_argument("--dump", help="compare this dump (JSON file, '-' for stdin) instead")
    ap.add_argument("--expect", help="MANIFEST.json:NAME, the expected content")
    ap.add_argument("--ignore", default="", help="comma-separated: sizes, fonts, hidden, "
                    "booleans (an expected Boolean matches 1 or 0)")
    ap.add_argument("--formula-results", action="store_true",
                    help="compare the values of formula cells too")
    args = ap.parse_args()
    if bool(args.file) == bool(args.dump) or (args.dump and not args.expect):
        ap.error("give a FILE, or --dump with --expect")
    if args.dump:
        with (sys.stdin if args.dump == "-" else open(args.dump, encoding="utf-8")) as f:
            dump = Normalised(json.load(f))
    else:
        try:
            dump = Dump(args.file)
        except Exception as e:  # xlrd raises many kinds; the message is what the caller needs
            sys.stderr.write("xlrd cannot read %s: %s\n" % (args.file, e))
            return 1
    if not args.expect:
        json.dump(dump, sys.stdout, ensure_ascii=False)
        sys.stdout.write("\n")
        return 0
    manifest, _, name = args.expect.rpartition(":")
    with open(manifest, encoding="utf-8") as f:
        expected = json.load(f)[name]["sheets"]
    ignore = set(filter(None, args.ignore.split(",")))
    for sheet in expected:
        if "sizes" in ignore:
            sheet["colWidths"], sheet["rowHeights"] = {}, {}
        if "hidden" in ignore:
            sheet["hiddenCols"], sheet["hiddenRows"] = [], []
        if "fonts" in ignore:
            for cell in sheet["cells"]:
                cell.pop("font", None)
    problems = Compare(expected, dump, args.formula_results, "booleans" in ignore)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
