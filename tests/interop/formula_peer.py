#!/usr/bin/env python3
"""Formula cross-check data set: regeneration with a spreadsheet peer, and validation.

    formula_peer.py generate [--out FILE] [--soffice PROG]
        Builds one flat OpenDocument spreadsheet with one sheet per case (input cells and the
        formula in H1), lets LibreOffice headless load, recalculate and save it again, reads the
        calculated results back and writes the data file.
    formula_peer.py check [--data FILE]
        Validates the committed data file without any peer: columns, unique ids, at least 300
        rows, every one of the 81 functions used, every difference explained.

The data file is tab-separated, one case a line, with a header line:

    id  group  cells  formula  peer_type  peer_value  expected_type  expected_value  status  reason

cells        the input cells typed into an empty sheet before the formula, "A1=1;A2=x;B1==A1*2"
             (reference, "=", the text as typed; a typed text may itself be a formula)
formula      the text typed into H1 of the same sheet
peer_*       LibreOffice's result: number | text | boolean | error, and its value; its error
             texts in our literals where one fits (#N/A is #N/A!, #NAME? #NAME!, Err:502 #NUM!)
expected_*   the result this system gives by its own rules (equal to the peer's where they agree)
status       same     the peer agrees
             differs  our rules give another result on purpose; reason says why
             mendable our rules as written give a result a user would call a fault; expected
                      holds the rule's value, and an engine that mends it must match the peer
                      value instead (the engine test reports which of the two it met)
"""

import argparse
import html
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import formula_cases  # noqa: E402

FORMULA_CELL = "H1"
COLUMNS = ["id", "group", "cells", "formula", "peer_type", "peer_value",
           "expected_type", "expected_value", "status", "reason"]
DEFAULT_DATA = os.path.join(HERE, "..", "data", "formulas", "peer", "formulas.tsv")

# The 81 function names of the engine's function table.
FUNCTIONS = """ABS ACOS ACOSH AND ASIN ASINH ATAN ATAN2 ATANH AVERAGE AVERAGEA COS COSH COUNT
COUNTA COUNTBLANK COUNTIF DATE DAY DOLLAR EXP FACT INT IF LN LOG LOG10 MAX MIN MOD MONTH NOT
NOW ODD OR PI POWER RADIANS RAND ROUND ROUNDDOWN ROUNDUP SIGN SIN SINH SQRT SUM SUMSQ TAN TANH
TIME TODAY TRUNC YEAR WEEKDAY FALSE TRUE TRIM EVEN CEILING FLOOR CONCATENATE DEGREES FIXED
HOUR MINUTE SECOND ISLOGICAL ISERR ISERROR ISNONTEXT ISBLANK ISNA ISNUMBER ISTEXT LEN LEFT
RIGHT MID LOWER UPPER""".split()

# The peer's error texts in our literals. Err:502 is the peer's "invalid argument", shown
# where a function's argument is outside its domain, which is what #NUM! says here.
PEER_ERRORS = {"#N/A": "#N/A!", "#NAME?": "#NAME!", "Err:502": "#NUM!"}
OUR_ERRORS = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME!", "#NUM!", "#N/A!"}

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "calcext": "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0",
    "of": "urn:oasis:names:tc:opendocument:xmlns:of:1.2",
}


def Q(prefix, name):
    return "{%s}%s" % (NS[prefix], name)


# ---------------------------------------------------------------------------------------------
# Formula text of this system -> OpenFormula text of the peer

def SplitLiterals(text):
    """Yields (is_literal, piece); literals keep their quotes, doubled quotes included."""
    i, start = 0, 0
    while i < len(text):
        if text[i] == '"':
            if start < i:
                yield False, text[start:i]
            j = i + 1
            while j < len(text):
                if text[j] == '"':
                    if j + 1 < len(text) and text[j + 1] == '"':
                        j += 2
                        continue
                    break
                j += 1
            yield True, text[i:j + 1]
            i = start = j + 1
        else:
            i += 1
    if start < len(text):
        yield False, text[start:]


def ToPeerFormula(formula):
    out = []
    for literal, piece in SplitLiterals(formula.lstrip()):
        if literal:
            out.append(piece)
            continue
        piece = piece.replace(",", ";")
        # Bare Boolean words are operands here; the peer spells them as calls.
        piece = re.sub(r"(?<![A-Za-z0-9_.$])(TRUE|FALSE)(?![A-Za-z0-9_(])", r"\1()", piece,
                       flags=re.I)
        out.append(piece)
    text = "".join(out)
    if not text.startswith("="):
        text = "=" + text
    return "of:" + text


NUMBER_RE = re.compile(r"^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$")


def PeerCell(typed):
    """The peer's cell element for a text typed into a cell."""
    if typed.startswith("=") and len(typed) > 1:
        return '<table:table-cell table:formula="%s"/>' % html.escape(ToPeerFormula(typed))
    if NUMBER_RE.match(typed):
        return ('<table:table-cell office:value-type="float" office:value="%s"/>'
                % repr(float(typed)))
    if typed.upper() in ("TRUE", "FALSE"):
        v = "true" if typed.upper() == "TRUE" else "false"
        return ('<table:table-cell office:value-type="boolean" office:boolean-value="%s"/>' % v)
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>'
            % html.escape(typed))


def CellIndex(ref):
    m = re.match(r"^([A-Z]+)(\d+)$", ref)
    if not m:
        raise ValueError("bad cell reference in a case: " + ref)
    col = 0
    for ch in m.group(1):
        col = col * 26 + ord(ch) - 64
    return col - 1, int(m.group(2)) - 1


def ParseCells(text):
    cells = {}
    for item in filter(None, text.split(";")):
        ref, _, typed = item.partition("=")
        cells[CellIndex(ref.strip())] = typed
    return cells


def SheetXml(name, cells):
    rows = {}
    for (c, r), typed in cells.items():
        rows.setdefault(r, {})[c] = typed
    parts = ['<table:table table:name="%s">' % name]
    for r in range(max(rows) + 1):
        row = rows.get(r, {})
        parts.append("<table:table-row>")
        for c in range((max(row) + 1) if row else 1):
            parts.append(PeerCell(row[c]) if c in row else "<table:table-cell/>")
        parts.append("</table:table-row>")
    parts.append("</table:table>")
    return "".join(parts)


DOC_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document '
            'xmlns:office="%(office)s" xmlns:table="%(table)s" xmlns:text="%(text)s" '
            'xmlns:of="%(of)s" office:version="1.2" '
            'office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            '<office:body><office:spreadsheet>' % NS)
DOC_TAIL = "</office:spreadsheet></office:body></office:document>\n"


def OfficeWrittenXls(work, soffice, stem, entries, profile="profile"):
    """`entries` ((reference, typed text) pairs) typed into LibreOffice (the program `soffice`)
    on the sheet "Peer" and saved by it as WORK/STEM.xls; returns that path."""
    source = os.path.join(work, stem + ".fods")
    with open(source, "w", encoding="utf-8") as f:
        f.write(DOC_HEAD + SheetXml("Peer", {CellIndex(r): t for r, t in entries}) + DOC_TAIL)
    env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
    subprocess.run([soffice, "-env:UserInstallation=file://" + os.path.join(work, profile),
                    "--headless", "--convert-to", "xls:MS Excel 97", "--outdir", work, source],
                   check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300)
    out = os.path.join(work, stem + ".xls")
    if not os.path.exists(out):
        raise RuntimeError("LibreOffice wrote no workbook file for " + source)
    return out


# ---------------------------------------------------------------------------------------------
# Reading the peer's results back

def SerialOfDate(text):
    import datetime
    if "T" in text:
        d = datetime.datetime.fromisoformat(text)
    else:
        d = datetime.datetime.fromisoformat(text + "T00:00:00")
    delta = d - datetime.datetime(1899, 12, 30)
    return delta.days + delta.seconds / 86400.0 + delta.microseconds / 86400e6


def FractionOfDuration(text):
    m = re.match(r"^(-)?PT(\d+)H(\d+)M([\d.]+)S$", text)
    if not m:
        raise ValueError("unexpected duration " + text)
    v = (int(m.group(2)) * 3600 + int(m.group(3)) * 60 + float(m.group(4))) / 86400.0
    return -v if m.group(1) else v


def NumberText(v):
    if v == int(v) and abs(v) < 1e15:
        return str(int(v))
    return repr(v)


def ParaText(element):
    """The text of a paragraph: runs of blanks, tabs and line breaks are elements there."""
    parts = [element.text or ""]
    for child in element:
        if child.tag == Q("text", "s"):
            parts.append(" " * int(child.get(Q("text", "c"), "1")))
        elif child.tag == Q("text", "tab"):
            parts.append("\t")
        elif child.tag == Q("text", "line-break"):
            parts.append("\n")
        else:
            parts.append(ParaText(child))
        parts.append(child.tail or "")
    return "".join(parts)


def CellResult(cell):
    kind = cell.get(Q("calcext", "value-type")) or cell.get(Q("office", "value-type"))
    para = "\n".join(ParaText(p) for p in cell.findall(Q("text", "p")))
    if kind == "error":
        return "error", para
    if kind in ("float", "percentage", "currency"):
        return "number", cell.get(Q("office", "value"))
    if kind == "date":
        return "number", NumberText(SerialOfDate(cell.get(Q("office", "date-value"))))
    if kind == "time":
        return "number", NumberText(FractionOfDuration(cell.get(Q("office", "time-value"))))
    if kind == "boolean":
        return "boolean", "TRUE" if cell.get(Q("office", "boolean-value")) == "true" else "FALSE"
    if kind == "string":
        s = cell.get(Q("office", "string-value"))
        return "text", para if s is None else s
    if cell.get(Q("table", "formula")) is not None:
        return "text", para  # the peer writes no value type for an empty text result
    return "empty", ""


def ReadResults(path, names):
    root = ET.parse(path).getroot()
    fcol, frow = CellIndex(FORMULA_CELL)
    results = {}
    for sheet in root.iter(Q("table", "table")):
        name = sheet.get(Q("table", "name"))
        if name not in names:
            continue
        r = 0
        found = None
        for row in sheet.findall(Q("table", "table-row")):
            nrows = int(row.get(Q("table", "number-rows-repeated"), "1"))
            if r <= frow < r + nrows:
                c = 0
                for cell in row:
                    if cell.tag not in (Q("table", "table-cell"), Q("table", "covered-table-cell")):
                        continue
                    ncols = int(cell.get(Q("table", "number-columns-repeated"), "1"))
                    if c <= fcol < c + ncols:
                        found = CellResult(cell)
                        break
                    c += ncols
                break
            r += nrows
        results[name] = found or ("empty", "")
    return results


def RunPeer(cases, soffice):
    work = tempfile.mkdtemp(prefix="formula-peer-")
    try:
        names = {}
        body = []
        for case in cases:
            name = "c" + case.id
            names[name] = case
            cells = ParseCells(case.cells)
            cells[CellIndex(FORMULA_CELL)] = case.formula
            body.append(SheetXml(name, cells))
        src = os.path.join(work, "cases.fods")
        with open(src, "w", encoding="utf-8") as f:
            f.write(DOC_HEAD + "".join(body) + DOC_TAIL)
        outdir = os.path.join(work, "out")
        # A private profile keeps the run independent of any user's settings and locale.
        profile = "file://" + os.path.join(work, "profile")
        env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless",
                        "--convert-to", "fods", "--outdir", outdir, src],
                       check=True, env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, timeout=600)
        out = os.path.join(outdir, "cases.fods")
        if not os.path.exists(out):
            raise OSError("no converted file came back")
        return ReadResults(out, names)
    finally:
        shutil.rmtree(work, ignore_errors=True)


# ---------------------------------------------------------------------------------------------

def NormalisedPeer(ptype, pvalue):
    if ptype == "error":
        return "error", PEER_ERRORS.get(pvalue, pvalue)
    return ptype, pvalue


def SameValue(atype, avalue, btype, bvalue):
    if atype != btype:
        return False
    if atype == "number":
        a, b = float(avalue), float(bvalue)
        return a == b or abs(a - b) <= 1e-12 * max(abs(a), abs(b), 1e-300) or abs(a - b) < 1e-14
    return avalue == bvalue


def Classify(case, ptype, pvalue):
    """(status, reason) of a case given the peer's raw result."""
    ntype, nvalue = NormalisedPeer(ptype, pvalue)
    etype, evalue = case.expect
    if SameValue(etype, evalue, ntype, nvalue):
        return "same", ""
    if not case.reason:
        return "UNEXPLAINED", ""
    return ("mendable" if case.mendable else "differs"), case.reason


def Generate(args):
    if shutil.which(args.soffice) is None:
        print("LibreOffice (%s) is not installed; run scripts/peers.sh --with-office"
              % args.soffice, file=sys.stderr)
        return 3
    cases = formula_cases.Cases()
    try:
        results = RunPeer(cases, args.soffice)
    except (subprocess.SubprocessError, OSError, ET.ParseError) as e:
        print("LibreOffice did not calculate the cases: %s" % e, file=sys.stderr)
        return 1
    rows = []
    for case in cases:
        ptype, pvalue = results["c" + case.id]
        etype, evalue = case.expect
        status, reason = Classify(case, ptype, pvalue)
        if status == "UNEXPLAINED":
            print("case %s %s: ours %s %s, the peer %s %s, and no reason is stated"
                  % (case.id, case.formula, etype, evalue, ptype, pvalue), file=sys.stderr)
        elif status == "same" and case.reason:
            print("case %s agrees with the peer (%s %s) although a difference is stated"
                  % (case.id, etype, evalue), file=sys.stderr)
        ptype, pvalue = NormalisedPeer(ptype, pvalue)
        rows.append([case.id, case.group, case.cells, case.formula, ptype, pvalue,
                     etype, evalue, status, reason])
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\t".join(COLUMNS) + "\n")
        for row in rows:
            for v in row:
                if "\t" in v or "\n" in v:
                    raise ValueError("a tab or line break in case %s" % row[0])
            f.write("\t".join(row) + "\n")
    counts = {}
    for row in rows:
        counts[row[8]] = counts.get(row[8], 0) + 1
    print("wrote %d cases to %s: %s" % (len(rows), args.out,
                                        ", ".join("%s %d" % kv for kv in sorted(counts.items()))))
    return 0 if "UNEXPLAINED" not in counts else 1


def Check(args):
    problems = []
    with open(args.data, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if not lines or lines[0].split("\t") != COLUMNS:
        problems.append("header line is not: " + " ".join(COLUMNS))
        lines = lines[:1]
    ids = set()
    used = set()
    for n, line in enumerate(lines[1:], start=2):
        row = line.split("\t")
        if len(row) != len(COLUMNS):
            problems.append("line %d: %d columns" % (n, len(row)))
            continue
        rec = dict(zip(COLUMNS, row))
        if rec["id"] in ids:
            problems.append("line %d: id %s used twice" % (n, rec["id"]))
        ids.add(rec["id"])
        for t in ("peer_type", "expected_type"):
            if rec[t] not in ("number", "text", "boolean", "error"):
                problems.append("line %d: %s is %r" % (n, t, rec[t]))
        if rec["expected_type"] == "number":
            try:
                if not math.isfinite(float(rec["expected_value"])):
                    raise ValueError
            except ValueError:
                problems.append("line %d: expected number %r" % (n, rec["expected_value"]))
        if rec["expected_type"] == "error" and rec["expected_value"] not in OUR_ERRORS:
            problems.append("line %d: %r is no error literal" % (n, rec["expected_value"]))
        if rec["status"] not in ("same", "differs", "mendable"):
            problems.append("line %d: status %r" % (n, rec["status"]))
        elif (rec["status"] == "same") != (rec["reason"] == ""):
            problems.append("line %d: a difference needs a reason, agreement none" % n)
        elif rec["status"] == "same":
            pt, pv = NormalisedPeer(rec["peer_type"], rec["peer_value"])
            if not SameValue(pt, pv, rec["expected_type"], rec["expected_value"]):
                problems.append("line %d: marked same but the values differ" % n)
        elif (rec["status"] == "mendable" and rec["peer_type"] == "error" and
              rec["peer_value"] not in OUR_ERRORS):
            problems.append("line %d: mendable, but the peer's %s is no result of ours"
                            % (n, rec["peer_value"]))
        try:
            typed = list(ParseCells(rec["cells"]).values()) + [rec["formula"]]
        except ValueError as e:
            problems.append("line %d: %s" % (n, e))
            typed = [rec["formula"]]
        for text in typed:
            if text.startswith("=") and "#" in text:
                problems.append("line %d: %r holds \"#\", so typed it stays a text" % (n, text))
        text = "".join(p for lit, p in SplitLiterals(rec["formula"] + " " + rec["cells"])
                       if not lit)
        used.update(m.upper() for m in re.findall(r"([A-Za-z][A-Za-z0-9]*)\s*\(", text))
    if len(ids) < 300:
        problems.append("only %d cases (at least 300 wanted)" % len(ids))
    missing = [f for f in FUNCTIONS if f not in used]
    if missing:
        problems.append("functions without a case: " + " ".join(missing))
    for p in problems:
        print("formula data: " + p, file=sys.stderr)
    if not problems:
        print("formula data: %d cases, all 81 functions covered" % len(ids))
    return 1 if problems else 0


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = ap.add_subparsers(dest="command", required=True)
    g = sub.add_parser("generate")
    g.add_argument("--out", default=DEFAULT_DATA)
    g.add_argument("--soffice", default=os.environ.get("SOFFICE", "soffice"))
    c = sub.add_parser("check")
    c.add_argument("--data", default=DEFAULT_DATA)
    args = ap.parse_args()
    return Generate(args) if args.command == "generate" else Check(args)


if __name__ == "__main__":
    sys.exit(main())
