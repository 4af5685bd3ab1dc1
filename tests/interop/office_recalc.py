#!/usr/bin/env python3
"""LibreOffice headless as a peer of the workbook file tests: loads a workbook, recalculates
its formulas and prints what it finds in the dump form of peer_dump.py.

    office_recalc.py FILE [--soffice PROG]

Each cell carries its type and value after LibreOffice's calculation; formula cells also carry
"peerFormula", LibreOffice's own text of the formula. Sheet names, visibility and merged areas
are reported; sizes and fonts are not (compare with peer_dump.py --ignore sizes,fonts,hidden
--formula-results). LibreOffice keeps Booleans as the numbers 1 and 0 unless the cell has a
Boolean format. Needs LibreOffice (`scripts/peers.sh --with-office`).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from formula_peer import PEER_ERRORS, CellResult, Q  # noqa: E402
from peer_dump import Ref  # noqa: E402

STYLE = "urn:oasis:names:tc:opendocument:xmlns:style:1.0"


def Convert(path, soffice):
    work = tempfile.mkdtemp(prefix="office-recalc-")
    try:
        profile = "file://" + os.path.join(work, "profile")
        env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless",
                        "--convert-to", "fods", "--outdir", work, os.path.abspath(path)],
                       check=True, env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        out = os.path.join(work, os.path.splitext(os.path.basename(path))[0] + ".fods")
        if not os.path.exists(out):
            raise RuntimeError("LibreOffice could not load " + path)
        return ET.parse(out).getroot()
    finally:
        shutil.rmtree(work, ignore_errors=True)


def HiddenTableStyles(root):
    hidden = set()
    for style in root.iter("{%s}style" % STYLE):
        props = style.find("{%s}table-properties" % STYLE)
        if props is not None and props.get(Q("table", "display")) == "false":
            hidden.add(style.get("{%s}name" % STYLE))
    return hidden


def Dump(root):
    hidden = HiddenTableStyles(root)
    out = {"reader": "libreoffice", "sheets": [], "names": []}
    for table in root.iter(Q("table", "table")):
        sheet = {"name": table.get(Q("table", "name")),
                 "visible": table.get(Q("table", "style-name")) not in hidden,
                 "cells": [], "merged": [], "colWidths": {}, "rowHeights": {},
                 "hiddenCols": [], "hiddenRows": []}
        r = 0
        for row in table.iter(Q("table", "table-row")):
            nrows = int(row.get(Q("table", "number-rows-repeated"), "1"))
            c = 0
            for cell in row:
                if cell.tag not in (Q("table", "table-cell"), Q("table", "covered-table-cell")):
                    continue
                ncols = int(cell.get(Q("table", "number-columns-repeated"), "1"))
                kind, value = CellResult(cell)
                if kind == "error":
                    value = PEER_ERRORS.get(value, value)  # "#N/A" is our "#N/A!"
                if kind != "empty" and cell.tag == Q("table", "table-cell"):
                    for rr in range(r, r + min(nrows, 1000)):
                        for cc in range(c, c + min(ncols, 1000)):
                            entry = {"ref": Ref(rr, cc), "col": cc, "row": rr, "type": kind,
                                     "value": float(value) if kind == "number" else
                                     (value == "TRUE") if kind == "boolean" else value}
                            formula = cell.get(Q("table", "formula"))
                            if formula:
                                entry["peerFormula"] = formula
                            sheet["cells"].append(entry)
                span_c = int(cell.get(Q("table", "number-columns-spanned"), "1"))
                span_r = int(cell.get(Q("table", "number-rows-spanned"), "1"))
                if span_c > 1 or span_r > 1:
                    sheet["merged"].append(Ref(r, c) + ":" + Ref(r + span_r - 1, c + span_c - 1))
                c += ncols
            r += nrows
        out["sheets"].append(sheet)
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file")
    ap.add_argument("--soffice", default=os.environ.get("SOFFICE", "soffice"))
    args = ap.parse_args()
    if shutil.which(args.soffice) is None:
        sys.stderr.write("LibreOffice is not installed; run scripts/peers.sh --with-office\n")
        return 3
    try:
        dump = Dump(Convert(args.file, args.soffice))
    except (RuntimeError, subprocess.SubprocessError, ET.ParseError) as e:
        sys.stderr.write("%s\n" % e)
        return 1
    json.dump(dump, sys.stdout, ensure_ascii=False)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
