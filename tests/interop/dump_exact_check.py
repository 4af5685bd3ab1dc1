#!/usr/bin/env python3
"""`sstool dump --json` reports numbers exactly: every number cell equals to the last bit what
xlrd reads from the same file.

    dump_exact_check.py --sstool PROG [--python PY]

The workbooks: the .xls files of tests/data that load, the xlwt samples (written by
xlwt_samples.py with the Python that can import xlwt), and one file of awkward doubles
written by sstool itself (0.1, 2^53 + 1, 1e-300, a subnormal, -0.5, 1e15 + 0.3, and formulas
whose results the writer stores as the cached result: they must equal what the dump reports).
Formula cells of other programs' files are not compared (see main). Exits 77 when xlrd is missing, 1 listing every
difference, 0 when all are equal.
"""
import argparse
import glob
import json
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

AWKWARD = ["A1=0.1", "A2=9007199254740993", "A3=1E-300", "A4=4.9E-324", "A5=-0.5",
           "A6=1000000000000000.3", "A7=0.30000000000000004", "B1==1/3", "B2==ACOS(0.5)",
           "B3==A6/7", "B4==A1*3"]


def Bits(x):
    return struct.pack("<d", float(x)).hex()


def XlrdNumbers(python, path):
    code = ("import json,sys,xlrd\n"
            "b=xlrd.open_workbook(sys.argv[1])\n"
            "out={}\n"
            "for s in b.sheets():\n"
            "  for r in range(s.nrows):\n"
            "    for c in range(s.ncols):\n"
            "      cell=s.cell(r,c)\n"
            "      if cell.ctype==xlrd.XL_CELL_NUMBER:\n"
            "        out[s.name+'!'+str(c)+','+str(r)]=repr(float(cell.value))\n"
            "print(json.dumps(out))\n")
    run = subprocess.run([python, "-c", code, path], capture_output=True, text=True)
    if run.returncode != 0:
        return None
    return {k: float(v) for k, v in json.loads(run.stdout).items()}


def OurNumbers(sstool, path):
    run = subprocess.run([sstool, "dump", path, "--json"], capture_output=True, text=True)
    if run.returncode != 0:
        return None, set()
    out, formulas = {}, set()
    for sheet in json.loads(run.stdout)["sheets"]:
        for cell in sheet["cells"]:
            key = sheet["name"] + "!" + str(cell["col"]) + "," + str(cell["row"])
            result = cell.get("result") or {}
            if cell.get("kind") == "formula":
                formulas.add(key)
            if result.get("type") == "number":
                out[key] = result["value"]
    return out, formulas


def PeerPython(explicit):
    if explicit:
        return explicit
    run = subprocess.run(["bash", os.path.join(ROOT, "scripts", "peers.sh"), "--print-python"],
                         capture_output=True, text=True)
    return run.stdout.strip() if run.returncode == 0 and run.stdout.strip() else None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sstool", required=True)
    ap.add_argument("--python")
    args = ap.parse_args()
    python = PeerPython(args.python)
    if not python:
        print("skipped: no Python that can import xlrd and xlwt (scripts/peers.sh)")
        return 77
    with tempfile.TemporaryDirectory() as work:
        files = sorted(glob.glob(os.path.join(ROOT, "tests", "data", "**", "*.xls"), recursive=True))
        subprocess.run([python, os.path.join(HERE, "xlwt_samples.py"), work], check=True,
                       capture_output=True)
        files += sorted(glob.glob(os.path.join(work, "xlwt-*.xls")))
        base = os.path.join(work, "base.xls")
        awkward = os.path.join(work, "awkward.xls")
        subprocess.run([python, "-c", "import xlwt;b=xlwt.Workbook();b.add_sheet('S');"
                        "b.save(__import__('sys').argv[1])", base], check=True)
        subprocess.run([args.sstool, "set", base, awkward] + AWKWARD, check=True,
                       capture_output=True)
        files.append(awkward)
        problems, compared = [], 0
        for path in files:
            theirs = XlrdNumbers(python, path)
            ours, formulas = OurNumbers(args.sstool, path)
            if theirs is None or ours is None:
                continue  # a file one of the readers refuses (the damaged-file corpus)
            for key, value in theirs.items():
                # A peer's file holds the peer's results, which our engine recomputes (to 15
                # significant digits, a known limit); in the file we wrote, the stored result
                # must be exactly the one we report.
                if key in formulas and path != awkward:
                    continue
                compared += 1
                if key not in ours:
                    problems.append(f"{os.path.basename(path)} {key}: xlrd reads {value!r}, "
                                    "sstool reports no number")
                elif Bits(ours[key]) != Bits(value):
                    problems.append(f"{os.path.basename(path)} {key}: xlrd {value!r}, "
                                    f"sstool {ours[key]!r}")
        if compared < len(AWKWARD):
            problems.append(f"only {compared} numbers were compared")
        for p in problems:
            print(p)
        print(f"{compared} numbers compared in {len(files)} files, {len(problems)} differences")
        return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
