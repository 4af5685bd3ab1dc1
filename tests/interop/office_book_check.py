#!/usr/bin/env python3
"""LibreOffice recalculates a workbook that our writer saved and finds the same formula
results as our engine.

    office_book_check.py --sstool PROG

A two-sheet base file with a merged area is made with xlwt; `sstool set` loads it with our
reader, types the formulas below (arithmetic, SUM/AVERAGE/IF, text functions, references to
the other sheet), recalculates and saves with our writer. `sstool dump --json` gives our
results, office_recalc.py LibreOffice's (headless, private profile). Every formula cell must
have the same type and value in both (numbers to 1e-9 relative), and the merged area must
survive. Exit 0 when they agree, 1 with one line per difference, 77 (skipped) when LibreOffice
or xlwt is missing.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SKIP = 77

# (cell on sheet Calc, text typed). Values first, then the formulas compared.
ENTRIES = [
    ("A1", "10"), ("A2", "2.5"), ("A3", "-4"), ("A4", "7"),
    ("B1", "apple"), ("B2", "Banana"), ("B3", "  padded  "),
    ("Other!A1", "100"), ("Other!A2", "0.25"), ("Other!B1", "north"),
    ("C1", "=A1+A2*A3-A4/2"),
    ("C2", "=(A1-A2)^2"),
    ("C3", "=-A3*3+1"),
    ("C4", "=SUM(A1:A4)"),
    ("C5", "=AVERAGE(A1:A4)"),
    ("C6", "=SUM(A1:A4,Other!A1:A2)"),
    ("C7", '=IF(A1>A4,"big","small")'),
    ("C8", "=IF(A3<0,A3*-1,A3)"),
    ("C9", "=A1>A2"),
    ("D1", '=B1&"-"&B2'),
    ("D2", "=UPPER(B1)"),
    ("D3", "=LOWER(B2)"),
    ("D4", "=LEN(B2)"),
    ("D5", "=LEFT(B2,3)"),
    ("D6", "=RIGHT(B1,2)"),
    ("D7", "=MID(B2,2,3)"),
    ("D8", "=TRIM(B3)"),
    ("D9", '=CONCATENATE(B1," ",Other!B1)'),
    ("E1", "=Other!A1*A1"),
    ("E2", "=Other!A1+Other!A2"),
    ("E3", "=SUM(Other!A1:A2)/A1"),
    ("E4", "=ROUND(A2/3,4)"),
    ("E5", "=ABS(A3)+MAX(A1:A4)-MIN(A1:A4)"),
    ("E6", "=A1/0"),
    ("Other!C1", "=Calc!C4*2"),
    ("Other!C2", "=Calc!D2&Other!B1"),
]
MERGED = "A10:C11"


def Python():
    """An interpreter that can import xlwt: this one, else the one the peer installer names."""
    try:
        import xlwt  # noqa: F401
        return sys.executable
    except ImportError:
        pass
    p = subprocess.run(["bash", os.path.join(ROOT, "scripts", "peers.sh"), "--print-python"],
                       capture_output=True, text=True)
    name = p.stdout.strip()
    if p.returncode == 0 and name:
        q = subprocess.run([name, "-c", "import xlwt"], capture_output=True)
        if q.returncode == 0:
            return name
    return None


BASE = """
import sys, xlwt
book = xlwt.Workbook()
calc = book.add_sheet("Calc")
book.add_sheet("Other")
calc.write_merge(9, 10, 0, 2, "merged")
book.save(sys.argv[1])
"""


def Same(ours, theirs):
    if ours["type"] == "boolean" and theirs["type"] == "number":
        return float(ours["value"]) == theirs["value"]  # unformatted Booleans read as 1 and 0
    if ours["type"] != theirs["type"]:
        return False
    if ours["type"] == "number":
        a, b = float(ours["value"]), float(theirs["value"])
        return abs(a - b) <= 1e-9 * max(1.0, abs(a), abs(b))
    return ours["value"] == theirs["value"]


def Compare(ours, theirs):
    problems = []
    peer_sheets = {s["name"]: s for s in theirs["sheets"]}
    compared = 0
    for sheet in ours["sheets"]:
        peer = peer_sheets.get(sheet["name"])
        if peer is None:
            problems.append("sheet %s: not found by LibreOffice" % sheet["name"])
            continue
        cells = {c["ref"]: c for c in peer["cells"]}
        for cell in sheet["cells"]:
            if cell["kind"] != "formula":
                continue
            compared += 1
            where = "%s!%s %s" % (sheet["name"], cell["ref"], cell["edit"])
            got = cells.get(cell["ref"])
            if got is None:
                problems.append("%s: no value in LibreOffice" % where)
            elif not Same(cell["result"], got):
                problems.append("%s: ours %s %r, LibreOffice %s %r" % (
                    where, cell["result"]["type"], cell["result"]["value"], got["type"],
                    got["value"]))
    expected = sum(1 for _, text in ENTRIES if text.startswith("="))
    if compared != expected:
        problems.append("%d formula cells in our dump, %d typed" % (compared, expected))
    calc = peer_sheets.get("Calc", {"merged": []})
    if MERGED not in calc["merged"]:
        problems.append("merged area %s not found by LibreOffice: %s" % (MERGED, calc["merged"]))
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sstool", required=True)
    args = ap.parse_args()
    soffice = os.environ.get("SOFFICE") or shutil.which("soffice")
    if not soffice:
        print("skipped: LibreOffice (soffice) is not installed; scripts/peers.sh --with-office")
        return SKIP
    python = Python()
    if python is None:
        print("skipped: xlwt is not importable; run scripts/peers.sh")
        return SKIP
    work = tempfile.mkdtemp(prefix="office-book-")
    try:
        base, ours = os.path.join(work, "base.xls"), os.path.join(work, "ours.xls")
        subprocess.run([python, "-c", BASE, base], check=True)
        sets = [ref if "!" in ref else "Calc!" + ref for ref, _ in ENTRIES]
        subprocess.run([args.sstool, "set", base, ours] +
                       ["%s=%s" % (ref, text) for ref, (_, text) in zip(sets, ENTRIES)],
                       check=True)
        mine = json.loads(subprocess.run([args.sstool, "dump", ours, "--json"], check=True,
                                         capture_output=True, text=True).stdout)
        env = dict(os.environ, TMPDIR=work)  # office_recalc keeps its profile in a private dir
        theirs = json.loads(subprocess.run(
            [python, os.path.join(HERE, "office_recalc.py"), ours, "--soffice", soffice],
            check=True, capture_output=True, text=True, env=env).stdout)
        problems = Compare(mine, theirs)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for p in problems:
        print(p)
    if not problems:
        print("LibreOffice agrees on %d formula results" %
              sum(1 for _, text in ENTRIES if text.startswith("=")))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
