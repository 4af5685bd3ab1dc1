#!/usr/bin/env python3
"""Formula results stored in workbook files: texts, Booleans and errors as well as numbers.

    stored_results_check.py --sstool PROG [--python PY]

Our file: `sstool set` types formulas whose results are texts, Booleans, errors and numbers
into an empty xlwt book and saves it; xlrd and SheetJS (readers that do not calculate) must
find each result as stored, a text in the STRING record after its formula.

LibreOffice's file: the same kinds of formula, and formulas of functions our engine does not
know, typed into LibreOffice and saved by it as a workbook file. What xlrd reads there is
LibreOffice's stored result; `sstool dump --json` must report the same type and value for
every formula cell after loading, and xlrd must read them again from our save of that file
after an unrelated edit.

Exit 0 when all agree, 1 listing every difference, 77 when xlrd (or, for the second part,
LibreOffice) is missing; SheetJS is checked where its node package is installed.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from dump_exact_check import PeerPython  # noqa: E402

SKIP = 77

# (cell, typed text, expected stored result (type, value)); inputs have no expectation.
OURS = [
    ("A1", "ab", None), ("A2", "5", None),
    ("B1", '=A1&"c"', ("text", "abc")),
    ("B2", "=UPPER(A1)", ("text", "AB")),
    ("B3", '="12"&""', ("text", "12")),
    ("B4", '=CONCATENATE(A1," ",A2)', ("text", "ab 5")),
    ("B5", "=A2>1", ("boolean", True)),
    ("B6", "=A2<1", ("boolean", False)),
    ("B7", "=A2/0", ("error", "#DIV/0!")),
    ("B8", "=SQRT(-A2)", ("error", "#NUM!")),
    ("B9", "=A2*2", ("number", 10.0)),
    ("B10", "=IF(A2>1,\"big\",\"small\")", ("text", "big")),
]

# Typed into LibreOffice on sheet Peer. CHOOSE is not one of our functions: such cells keep
# the result LibreOffice stored.
OFFICE = [
    ("A1", "ab"), ("A2", "5"),
    ("B1", '=A1&"c"'), ("B2", "=UPPER(A1)"), ("B3", '=IF(A2>1,"big","small")'),
    ("B4", "=A2>1"), ("B5", "=A2<1"), ("B6", "=A2/0"), ("B7", "=\"ab\"+1"), ("B8", "=A2*2"),
    ("C1", '=CHOOSE(2,"x","yz")'), ("C2", "=CHOOSE(1,A2>1,0)"), ("C3", "=CHOOSE(1,A2/0)"),
    ("C4", "=CHOOSE(1,A2*3)"), ("C5", '=CHOOSE(1,A1&"d")'),
]
UNRELATED_EDIT = "Peer!Z40=1"


def Json(cmd, env=None):
    run = subprocess.run(cmd, capture_output=True, text=True, env=env)
    if run.returncode != 0:
        raise RuntimeError("%s failed: %s" % (" ".join(cmd[:2]), run.stderr.strip()))
    return json.loads(run.stdout)


def Cells(dump, sheet):
    for s in dump["sheets"]:
        if s["name"] == sheet:
            return {c["ref"]: c for c in s["cells"]}
    return {}


def Stored(cell):
    """(type, value) of a peer dump's cell; a Boolean LibreOffice stored as 1/0 stays a number."""
    if cell is None:
        return None
    value = cell["value"]
    if cell["type"] == "boolean":
        value = bool(value)
    elif cell["type"] == "number":
        value = float(value)
    return cell["type"], value


def Ours(cell):
    if cell is None:
        return None
    result = cell.get("result") or {}
    value = result.get("value")
    if result.get("type") == "number":
        value = float(value)
    return result.get("type"), value


def Sheetjs(path):
    node = shutil.which("node")
    if not node or not os.path.isdir(os.path.join(HERE, "node_modules", "xlsx")):
        return None
    return Json([node, os.path.join(HERE, "sheetjs_peer.js"), "dump", path])


def CheckOurFile(work, python, sstool):
    base, ours = os.path.join(work, "base.xls"), os.path.join(work, "ours.xls")
    subprocess.run([python, "-c", "import sys,xlwt;b=xlwt.Workbook();b.add_sheet('S');"
                    "b.save(sys.argv[1])", base], check=True)
    subprocess.run([sstool, "set", base, ours] + ["S!%s=%s" % (ref, text)
                                                  for ref, text, _ in OURS], check=True)
    readers = [("xlrd", Json([python, os.path.join(HERE, "peer_dump.py"), ours]))]
    sheetjs = Sheetjs(ours)
    if sheetjs is not None:
        readers.append(("SheetJS", sheetjs))
    problems, compared = [], 0
    for name, dump in readers:
        cells = Cells(dump, "S")
        for ref, text, want in OURS:
            if want is None:
                continue
            compared += 1
            got = Stored(cells.get(ref))
            if got != want:
                problems.append("our file, %s %s %s: stored %r, expected %r" %
                                (name, ref, text, got, want))
    return problems, compared


def OfficeFile(work, soffice):
    from formula_peer import OfficeWrittenXls
    return OfficeWrittenXls(work, soffice, "office", OFFICE)


def CheckOfficeFile(work, python, sstool, soffice):
    office = OfficeFile(work, soffice)
    theirs = Cells(Json([python, os.path.join(HERE, "peer_dump.py"), office]), "Peer")
    formulas = [ref for ref, text in OFFICE if text.startswith("=")]
    problems, compared = [], 0
    kinds = {Stored(theirs.get(ref))[0] for ref in formulas if theirs.get(ref)}
    if not {"text", "error", "number"} <= kinds:
        problems.append("LibreOffice's file lacks result kinds: it holds %s" % sorted(kinds))
    mine = Cells(Json([sstool, "dump", office, "--json"]), "Peer")
    edited = os.path.join(work, "office-edited.xls")
    subprocess.run([sstool, "set", office, edited, UNRELATED_EDIT], check=True,
                   capture_output=True)
    again = Cells(Json([python, os.path.join(HERE, "peer_dump.py"), edited]), "Peer")
    for ref in formulas:
        want = Stored(theirs.get(ref))
        compared += 1
        got = Ours(mine.get(ref))
        if want and want[0] == "number" and got and got[0] == "boolean":
            got = ("number", float(got[1]))  # LibreOffice stores an unformatted Boolean as 1/0
        if got != want:
            problems.append("LibreOffice's file %s: LibreOffice stored %r, we load %r" %
                            (ref, want, got))
        saved = Stored(again.get(ref))
        if saved and want and want[0] == "number" and saved[0] == "boolean":
            saved = ("number", float(saved[1]))
        if saved != want:
            problems.append("LibreOffice's file %s after our save: xlrd reads %r, LibreOffice "
                            "stored %r" % (ref, saved, want))
    return problems, compared


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sstool", required=True)
    ap.add_argument("--python")
    args = ap.parse_args()
    python = PeerPython(args.python)
    if not python:
        print("skipped: no Python that can import xlrd and xlwt (scripts/peers.sh)")
        return SKIP
    soffice = os.environ.get("SOFFICE") or shutil.which("soffice")
    work = tempfile.mkdtemp(prefix="stored-results-")
    try:
        problems, compared = CheckOurFile(work, python, args.sstool)
        if soffice:
            more, n = CheckOfficeFile(work, python, args.sstool, soffice)
            problems, compared = problems + more, compared + n
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for p in problems:
        print(p)
    print("%d stored results compared%s, %d differences" %
          (compared, "" if soffice else " (LibreOffice missing: its file not checked)",
           len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
