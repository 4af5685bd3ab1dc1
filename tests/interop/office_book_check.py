#!/usr/bin/env python3
"""LibreOffice and our engine find the same formula results in each other's workbooks.

    office_book_check.py --sstool PROG

Our file in LibreOffice: a two-sheet base file with a merged area is made with xlwt; `sstool
set` loads it with our reader, types the formulas below (arithmetic, SUM/AVERAGE/IF, text
functions, references to the other sheet, and operator mixes where our order of ^, unary minus,
& and the comparisons differs from LibreOffice's), recalculates and saves with our writer.
`sstool dump --json` gives our results, office_recalc.py LibreOffice's (headless, private
profile). Every formula cell must have the same type and value in both (numbers to 1e-9
relative), and the merged area must survive.

LibreOffice's file in our engine: formulas typed into LibreOffice (PEER_ENTRIES) are saved by
it as a workbook file; our results after loading it, and again after an unrelated cell was
changed and the book recalculated and saved, must be LibreOffice's.

Exit 0 when they agree, 1 with one line per difference, 77 (skipped) when LibreOffice or xlwt
is missing.
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
    # Typed here, ^ binds like * and /, and & like the comparisons; the file must keep that.
    # (A comparison that our order puts before a & joins a Boolean as text, which LibreOffice
    # writes as 1 or 0 instead of TRUE or FALSE: a difference of values, not of order, so such
    # mixes are not compared here.)
    ("F1", "=A1*A2^2"),
    ("F2", "=2*3^2"),
    ("F3", "=A4-A2^2"),
    ("F4", "=-A3^2"),
    ("F5", "=2^-1*A1"),
    ("F6", "=-(A1+A2)^2"),
    ("F7", "=A1+A2*A3^2/A1"),
    ("F8", "=(A1-A2)^2*-A3"),
    ("F9", "=A1/-A2^2"),
    ("G1", '=A1&A4="107"'),
    ("G2", "=B1&A1>A4"),
    ("G3", '=IF(A1&A4="107",A1^2,0)'),
    ("G4", '=1-A3^2&"x"'),
    ("G5", "=IF(A1>A4,A2*A1^2,0)"),
    ("G6", "=SUM(A1:A4)^2/A1"),
    ("G7", "=A2%^2"),
    ("G8", "=-A1%"),
    ("G9", '=LEN(A1^2&"x")*-2^2'),
]

# Typed into LibreOffice on sheet Peer (inputs first); LibreOffice saves them as a workbook file.
# Each unbracketed ^ and unary minus below reads differently under our typed-text rules unless
# the loaded text keeps the file's order. Mixes of & and comparisons are bracketed: without
# brackets, LibreOffice's writer stores =A1&A4="107" as the tokens of =A1&(A4="107") and only
# its own reader, which groups the tokens again, gets (A1&A4)="107" back; our reader follows the
# tokens (FormulaOrderTest covers such files written in the standard order).
PEER_ENTRIES = [
    ("A1", "10"), ("A2", "2.5"), ("A3", "-4"), ("A4", "7"), ("B1", "ab"),
    ("C1", "=(A1+A2)*(A1-A2)/A1^2"),
    ("C2", "=2*3^2"),
    ("C3", "=A1*A2^2"),
    ("C4", "=-A3^2"),
    ("C5", "=-(A3^2)"),
    ("C6", "=0-A3^2"),
    ("C7", "=2^-1"),
    ("C8", "=A1+A2*A3^2/A1"),
    ("C9", "=-A1^2+A2"),
    ("D1", "=(A1-A2)^2*-A3"),
    ("D2", "=IF(A1>A4,A2*A1^2,0)"),
    ("D3", "=SUM(A1:A4)^2/A1"),
    ("D4", "=A1/-A2^2"),
    ("D5", "=A4%^2"),
    ("D6", '=(A1&A4)="107"'),
    ("D7", '=A1=(A4&"3")'),
    ("D8", '=(B1&A4^2)<>"ab49"'),
    ("D9", "=2^3^2"),
    ("E1", "=-2^-2"),
    ("E2", '=LEN(B1&A1^2)*-A2^2'),
]
UNRELATED_EDIT = "Peer!Z40=1"
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


def Compare(ours, theirs, entries=ENTRIES, merged=MERGED):
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
    expected = sum(1 for _, text in entries if text.startswith("="))
    if compared != expected:
        problems.append("%d formula cells in our dump, %d typed" % (compared, expected))
    if merged:
        calc = peer_sheets.get("Calc", {"merged": []})
        if merged not in calc["merged"]:
            problems.append("merged area %s not found by LibreOffice: %s" % (merged,
                                                                              calc["merged"]))
    return problems


def PeerWrittenFile(work, soffice):
    """PEER_ENTRIES typed into LibreOffice and saved by it as a workbook file."""
    from formula_peer import OfficeWrittenXls
    return OfficeWrittenXls(work, soffice, "peer", PEER_ENTRIES, profile="profile-convert")


def Dump(sstool, path):
    return json.loads(subprocess.run([sstool, "dump", path, "--json"], check=True,
                                     capture_output=True, text=True).stdout)


def CheckPeerWritten(work, python, soffice, sstool):
    """Our results of LibreOffice's file, after loading and after an unrelated edit."""
    peer = PeerWrittenFile(work, soffice)
    env = dict(os.environ, TMPDIR=work)
    theirs = json.loads(subprocess.run(
        [python, os.path.join(HERE, "office_recalc.py"), peer, "--soffice", soffice],
        check=True, capture_output=True, text=True, env=env).stdout)
    problems = ["loaded: " + p for p in Compare(Dump(sstool, peer), theirs, PEER_ENTRIES, None)]
    edited = os.path.join(work, "peer-edited.xls")
    subprocess.run([sstool, "set", peer, edited, UNRELATED_EDIT], check=True)
    problems += ["after an edit: " + p for p in Compare(Dump(sstool, edited), theirs,
                                                       PEER_ENTRIES, None)]
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
        problems += CheckPeerWritten(work, python, soffice, args.sstool)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for p in problems:
        print(p)
    if not problems:
        print("LibreOffice agrees on %d formula results in our file and %d in its own" %
              (sum(1 for _, text in ENTRIES if text.startswith("=")),
               sum(1 for _, text in PEER_ENTRIES if text.startswith("="))))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
