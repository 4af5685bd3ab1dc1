#!/usr/bin/env python3
"""Writes peer-made BIFF8 workbooks with xlwt for the load tests, plus their expected content.

    xlwt_samples.py OUTDIR

writes OUTDIR/xlwt-*.xls and OUTDIR/xlwt-manifest.json. The manifest maps each file name to
the content a reader must find, in the dump form of peer_dump.md (docs/interop.md):
sheets in order with name and visibility, cells (reference, type, value, formula text as
written, font of chosen cells), merged areas, column widths in 1/256 of a character, row
heights in twips, hidden columns and rows. Every cell listed must be found; a reader may find
more (styled blanks, say).

Run it with the interpreter that `scripts/peers.sh --print-python` names.
"""
import json
import os
import sys

try:
    import xlwt
except ImportError:
    sys.stderr.write("xlwt is not importable by this interpreter; run scripts/peers.sh\n")
    sys.exit(3)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_dump import Ref  # noqa: E402


class Sheet:
    """Writes into an xlwt sheet and records what was written."""

    def __init__(self, book, name, visible=True):
        self.ws = book.add_sheet(name, cell_overwrite_ok=True)
        if not visible:
            self.ws.visibility = 1
        self.expect = {"name": name, "visible": visible, "cells": [], "merged": [],
                       "colWidths": {}, "rowHeights": {}, "hiddenCols": [], "hiddenRows": []}

    def Put(self, r, c, value, style=None, font=None, formula=None, result=None):
        args = (r, c, xlwt.Formula(formula) if formula else value)
        self.ws.write(*args, style) if style is not None else self.ws.write(*args)
        cell = {"ref": Ref(r, c), "col": c, "row": r}
        if formula:
            cell["formula"] = "=" + formula
            if result is not None:
                cell.update(Value(result))
        else:
            cell.update(Value(value))
        if font:
            cell["font"] = font
        self.expect["cells"].append(cell)

    def Merge(self, r1, r2, c1, c2, text):
        self.ws.write_merge(r1, r2, c1, c2, text)
        self.expect["cells"].append(dict({"ref": Ref(r1, c1), "col": c1, "row": r1},
                                         **Value(text)))
        self.expect["merged"].append(Ref(r1, c1) + ":" + Ref(r2, c2))

    def Width(self, c, units):
        self.ws.col(c).width = units
        self.expect["colWidths"][str(c)] = units

    def Height(self, r, twips):
        row = self.ws.row(r)
        row.height_mismatch = True
        row.height = twips
        self.expect["rowHeights"][str(r)] = twips

    def HideCol(self, c):
        self.ws.col(c).hidden = True
        self.expect["hiddenCols"].append(c)

    def HideRow(self, r):
        self.ws.row(r).hidden = True
        self.expect["hiddenRows"].append(r)


def Value(v):
    if isinstance(v, bool):
        return {"type": "boolean", "value": v}
    if isinstance(v, (int, float)):
        return {"type": "number", "value": float(v)}
    return {"type": "text", "value": v}


def Values(path):
    book = xlwt.Workbook(encoding="utf-8")
    s = Sheet(book, "Values")
    numbers = [0, 1, -1, 42, 3.5, -0.125, 1e300, 1e-300, 123456789.123, 2 ** 31, -2 ** 31 - 1,
               0.1, 1 / 3]
    for i, v in enumerate(numbers):
        s.Put(i, 0, v)
    texts = ["plain", "", "with \"quotes\"", "tab\tinside", "Gr\u00fc\u00dfe", "caf\u00e9",
             "x" * 300, "=not a formula", "  padded  ", "TRUE"]
    for i, v in enumerate(texts):
        if v == "":
            continue  # xlwt writes an empty string as a blank cell
        s.Put(i, 1, v)
    s.Put(0, 2, True)
    s.Put(1, 2, False)
    date = xlwt.easyxf(num_format_str="yyyy-mm-dd")
    s.Put(2, 2, 45292.0, style=date)
    pct = xlwt.easyxf(num_format_str="0.00%")
    s.Put(3, 2, 0.125, style=pct)
    # Texts that read as numbers, dates, times, percentages or amounts stay texts: identifiers,
    # postal codes and part numbers must come back exactly as stored.
    lookalikes = ["0001", "42", "1e15", "1/3", "7/2", "23:59:59", "12.5%", "$1,234.50",
                  "2024-01-01", "-0", "007.50", "FALSE"]
    for i, v in enumerate(lookalikes):
        s.Put(i, 3, v)
    s.Put(len(lookalikes), 3, "1/3", style=date)  # a date format does not make it a date
    s.Put(len(lookalikes) + 1, 3, "50%", style=pct)
    book.save(path)
    return [s.expect]


def Formulas(path):
    book = xlwt.Workbook()
    s = Sheet(book, "Calc")
    other = Sheet(book, "Other")
    other.Put(0, 0, 7)
    other.Put(1, 0, 5)
    for i, v in enumerate([1, 2, 3]):
        s.Put(i, 0, v)
    s.Put(0, 1, "b")
    rows = [
        ("A1+A2*A3", 7), ("SUM(A1:A3)", 6), ("AVERAGE(A1:A3)", 2), ("MAX(A1:A3)", 3),
        ("MIN(A1:A3)", 1), ("IF(A1>0,\"pos\",\"neg\")", "pos"), ("A1&\"x\"", "1x"),
        ("$A$1*2", 2), ("Other!A1+Other!A2", 12), ("SUM(Other!A1:A2)", 12),
        ("ROUND(PI(),2)", 3.14), ("CONCATENATE(\"a\",B1)", "ab"), ("LEN(\"abc\")", 3),
        ("UPPER(B1)", "B"), ("COUNT(A1:A3)", 3), ("ABS(-2.5)", 2.5), ("(A1+A2)*A3", 9),
        ("-A3", -3), ("A2^2", 4), ("10%", 0.1), ("A1<>A2", True), ("MOD(7,3)", 1),
        ("DATE(2024,1,1)", 45292), ("AND(A1,A2)", True), ("NOT(A1)", False),
    ]
    for i, (f, result) in enumerate(rows):
        s.Put(i, 3, None, formula=f, result=result)
    book.save(path)
    return [s.expect, other.expect]


def Layout(path):
    book = xlwt.Workbook()
    s = Sheet(book, "Layout")
    s.Merge(0, 1, 0, 2, "merged A1:C2")
    s.Merge(3, 5, 1, 1, "merged B4:B6")
    s.Width(0, 256 * 20)
    s.Width(4, 256 * 5)
    s.Height(2, 600)
    s.Height(7, 150)
    s.Put(8, 0, "hidden col")
    s.HideCol(6)
    s.HideRow(9)
    fonts = [
        ("font: bold on", {"bold": True}),
        ("font: italic on", {"italic": True}),
        ("font: underline single", {"underline": True}),
        ("font: height 360", {"height": 360}),
        ("font: name Courier New", {"name": "Courier New"}),
        ("font: colour red", {"colorIndex": 10}),
        ("font: bold on, italic on, height 280, name Times New Roman",
         {"bold": True, "italic": True, "height": 280, "name": "Times New Roman"}),
    ]
    for i, (style, font) in enumerate(fonts):
        s.Put(10 + i, 0, "font %d" % i, style=xlwt.easyxf(style), font=font)
    fill = xlwt.easyxf("pattern: pattern solid, fore_colour yellow; align: horiz center")
    s.Put(10, 1, "filled", style=fill)
    hidden = Sheet(book, "Hidden", visible=False)
    hidden.Put(0, 0, "in a hidden sheet")
    spaced = Sheet(book, "My Sheet")
    spaced.Put(0, 0, 1)
    book.save(path)
    return [s.expect, hidden.expect, spaced.expect]


def Strings(path):
    """Enough distinct strings that the shared-string table spans several CONTINUE records,
    some of them long and non-Latin-1 so that splits fall inside a string."""
    book = xlwt.Workbook(encoding="utf-8")
    s = Sheet(book, "Strings")
    for r in range(2000):
        s.Put(r, 0, "string number %05d" % r)
        s.Put(r, 1, ("\u0416\u00e9" * (r % 50 + 1)) + str(r))
        s.Put(r, 2, r * 0.5)
    s.Put(2000, 0, "y" * 9000)
    book.save(path)
    return [s.expect]


SAMPLES = {"xlwt-values.xls": Values, "xlwt-formulas.xls": Formulas,
           "xlwt-layout.xls": Layout, "xlwt-strings.xls": Strings}


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: xlwt_samples.py OUTDIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    manifest = {}
    for name, make in SAMPLES.items():
        manifest[name] = {"writer": "xlwt " + xlwt.__VERSION__, "sheets": make(os.path.join(out, name))}
    with open(os.path.join(out, "xlwt-manifest.json"), "w", encoding="utf-8") as f:
        json.dump(manifest, f, ensure_ascii=False, indent=1)
    print("wrote %d files to %s" % (len(SAMPLES), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
