#!/usr/bin/env python3
"""`sstool dump --json` reports numbers exactly: every number cell equals to the last bit what
xlrd reads from the same file.

    dump_exact_check.py --sstool PROG [--python PY]

The workbooks: the .xls files of tests/data that load, the xlwt samples (written by
xlwt_samples.py with the Python that can import xlwt), and one file of awkward doubles
written by sstool itself (0.1, 2^53 + 1, 1e-300, a subnormal, -0.5, 1e15 + 0.3, and formulas
whose results the writer stores as the cached result: they must equal what the dump reports).
Formula cells of other programs' files are compared too: where LibreOffice is installed, it
writes a workbook of arithmetic, aggregates and math functions (OFFICE), and our engine's
results after loading it must be the doubles LibreOffice stored, bit for bit, except for the
named last-bit functions and LibreOffice's cancellation to 0 (both below). Exits 77 when xlrd
is missing, 1 listing every difference, 0 when all are equal.
"""
import argparse
import glob
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
ROOT = os.path.dirname(os.path.dirname(HERE))

AWKWARD = ["A1=0.1", "A2=9007199254740993", "A3=1E-300", "A4=4.9E-324", "A5=-0.5",
           "A6=1000000000000000.3", "A7=0.30000000000000004", "B1==1/3", "B2==ACOS(0.5)",
           "B3==A6/7", "B4==A1*3"]


# Typed into LibreOffice, saved by it as a workbook file: its stored results are LibreOffice's
# doubles, which our engine must compute to the last bit.
OFFICE = [
    ("A1", "0.1"), ("A2", "=1/3"), ("A3", "1.1"), ("A4", "7"), ("A5", "1000000000000000.3"),
    ("A6", "-2.5"), ("A7", "0.7"),
    ("B1", "=A1+0.2"), ("B2", "=A2*3"), ("B3", "=A3*A3"), ("B4", "=A4/3"), ("B5", "=A1*3-0.3"),
    ("B6", "=SUM(A1,A1,A1)"), ("B7", "=SUM(A1:A7)"), ("B8", "=AVERAGE(A1:A7)"),
    ("B9", "=A2*A2-A2"), ("B10", "=A5/7"), ("B11", "=-A6*A3%"), ("B12", "=A7*3/A1"),
    ("B13", "=MAX(A1:A7)-MIN(A1:A7)"), ("B14", "=SUMSQ(A1,A3,A7)"), ("B15", "=A4^2/A3"),
    ("B16", "=ABS(A6)*A2"), ("B17", "=INT(A4/A1)"), ("B18", "=ROUND(A2,7)"),
    ("B19", "=IF(A1>0,A1*A7,0)"), ("B20", "=A2"),
    ("C1", "=SQRT(2)"), ("C2", "=EXP(1)"), ("C3", "=LN(10)"), ("C4", "=LOG10(2)"),
    ("C5", "=SIN(1)"), ("C6", "=COS(1)"), ("C7", "=TAN(1)"), ("C8", "=ATAN(1)"),
    ("C9", "=ACOS(0.5)"), ("C10", "=ASIN(0.3)"), ("C11", "=SINH(1)"), ("C12", "=COSH(1)"),
    ("C13", "=TANH(0.5)"), ("C14", "=ASINH(1)"), ("C15", "=ACOSH(2)"), ("C16", "=ATANH(0.5)"),
    ("C17", "=POWER(2,0.5)"), ("C18", "=A4^0.5"), ("C19", "=PI()*2"), ("C20", "=DEGREES(1)"),
    ("C21", "=RADIANS(30)"), ("C22", "=ATAN2(1,2)"), ("C23", "=LOG(8,2)"),
]

# Functions whose results may differ in the last bit between math libraries: LibreOffice
# takes them from the C library, which does not round them correctly in every case; our
# platform layer computes them through a logarithm of double-double precision (the same on
# every build). One unit in the last place is allowed where a formula calls one of them, and
# nothing more.
LAST_BIT_FUNCTIONS = {
    "ASINH": "the C library's asinh is not correctly rounded everywhere",
    "ACOSH": "the C library's acosh is not correctly rounded everywhere",
    "ATANH": "the C library's atanh is not correctly rounded everywhere",
}

# LibreOffice snaps a sum or difference to 0 when its operands cancel to within about 2^-48
# of their size (=0.1*3-0.3 is 0 there, 5.551115123125783e-17 here and in IEEE arithmetic).
# Allowed where its stored result is exactly 0, ours is below this, and the formula adds or
# subtracts.
CANCELLED_TO_ZERO = 1e-12


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
    """Our number results by cell, and the formula text of every formula cell."""
    run = subprocess.run([sstool, "dump", path, "--json"], capture_output=True, text=True)
    if run.returncode != 0:
        return None, {}
    out, formulas = {}, {}
    for sheet in json.loads(run.stdout)["sheets"]:
        for cell in sheet["cells"]:
            key = sheet["name"] + "!" + str(cell["col"]) + "," + str(cell["row"])
            result = cell.get("result") or {}
            if cell.get("kind") == "formula":
                formulas[key] = cell.get("edit", "")
            if result.get("type") == "number":
                out[key] = result["value"]
    return out, formulas


def Ulps(a, b):
    """Units in the last place between two finite doubles of one sign."""
    ia, ib = (struct.unpack("<q", struct.pack("<d", float(x)))[0] for x in (a, b))
    return abs(ia - ib)


def LastBitFunction(formula):
    """The first function of LAST_BIT_FUNCTIONS the formula calls, else None."""
    for name in re.findall(r"([A-Z][A-Z0-9]*)\(", formula.upper()):
        if name in LAST_BIT_FUNCTIONS:
            return name
    return None


def OfficeFile(work, soffice):
    """OFFICE typed into LibreOffice and saved by it as a workbook file (sheet Peer)."""
    from formula_peer import OfficeWrittenXls
    return OfficeWrittenXls(work, soffice, "office-exact", OFFICE)


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
        soffice = os.environ.get("SOFFICE") or shutil.which("soffice")
        office = OfficeFile(work, soffice) if soffice else None
        if office:
            files.append(office)
        problems, compared, allowed, peer_formulas = [], 0, [], 0
        for path in files:
            theirs = XlrdNumbers(python, path)
            ours, formulas = OurNumbers(args.sstool, path)
            if theirs is None or ours is None:
                continue  # a file one of the readers refuses (the damaged-file corpus)
            for key, value in theirs.items():
                # A formula cell of a peer's file holds the peer's result, which our engine
                # recomputes; in the file we wrote, the stored result is the one we report.
                compared += 1
                where = f"{os.path.basename(path)} {key}"
                if key in formulas:
                    where += " " + formulas[key]
                    peer_formulas += path != awkward
                if key not in ours:
                    problems.append(f"{where}: xlrd reads {value!r}, sstool reports no number")
                    continue
                if Bits(ours[key]) == Bits(value):
                    continue
                formula = formulas.get(key, "") if path != awkward else ""
                function = LastBitFunction(formula)
                if function and Ulps(ours[key], value) <= 1:
                    allowed.append(f"{where}: {function}, one unit in the last place "
                                   f"({LAST_BIT_FUNCTIONS[function]})")
                elif (formula and value == 0 and abs(ours[key]) < CANCELLED_TO_ZERO and
                      re.search(r"[-+]", formula[1:])):
                    allowed.append(f"{where}: LibreOffice cancels {ours[key]!r} to 0")
                else:
                    problems.append(f"{where}: xlrd {value!r}, sstool {ours[key]!r}")
        if office and peer_formulas < sum(1 for _, t in OFFICE if t.startswith("=")):
            problems.append(f"only {peer_formulas} formula results of LibreOffice's file compared")
        if compared < len(AWKWARD):
            problems.append(f"only {compared} numbers were compared")
        for p in allowed:
            print("allowed: " + p)
        for p in problems:
            print(p)
        print(f"{compared} numbers compared in {len(files)} files ({peer_formulas} formula "
              f"results of peers' files{'' if office else '; LibreOffice missing'}), "
              f"{len(allowed)} allowed last-bit differences, {len(problems)} differences")
        return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
