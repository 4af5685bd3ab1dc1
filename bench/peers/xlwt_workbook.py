#!/usr/bin/env python3
"""Writes the benchmark workbook layout (bench_layout.py) as a BIFF8 file with xlwt, formulas
included, so that every reader in the benchmark loads the same bytes.

    xlwt_workbook.py --cells N --out FILE

Prints one JSON object: cells, bytes and the writing time. Needs Debian's python3-xlwt (run it
with the interpreter that `scripts/peers.sh --print-python` names).
"""
import argparse
import json
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_layout  # noqa: E402

try:
    import xlwt
except ImportError:
    sys.stderr.write("xlwt is not importable by this interpreter; run scripts/peers.sh\n")
    sys.exit(3)


def Write(n, out):
    book = xlwt.Workbook()
    sheet = book.add_sheet("Data")
    for r, c, (kind, value) in bench_layout.Cells(n):
        if kind == "formula":
            sheet.write(r, c, xlwt.Formula(value))
        else:
            sheet.write(r, c, value)
    book.save(out)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cells", type=int, required=True)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    if args.cells > 65536 * bench_layout.COLUMNS:
        sys.stderr.write("more cells than the file format's 65,536 rows hold\n")
        return 2
    t = time.perf_counter()
    Write(args.cells, args.out)
    ms = (time.perf_counter() - t) * 1000
    print(json.dumps({"peer": "xlwt", "version": xlwt.__VERSION__, "cells": args.cells,
                      "file": args.out, "bytes": os.path.getsize(args.out), "ms": ms}))
    return 0


if __name__ == "__main__":
    sys.exit(main())
