"""Tests of the peer tooling: formula translation and result reading, the data-file checks,
the dump comparison, and, where the peers are installed, the sample writers against the
readers and the benchmark scripts against known answers.

Run with the interpreter that `scripts/peers.sh --print-python` names:
    python3 -m unittest discover -s tests/interop -p 'test_*.py'
Cases that need a peer which is not installed are skipped, and say so.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BENCH = os.path.join(ROOT, "bench", "peers")
sys.path.insert(0, HERE)
sys.path.insert(0, BENCH)

import bench_layout  # noqa: E402
import formula_cases  # noqa: E402
import formula_peer as fp  # noqa: E402
import peer_dump  # noqa: E402


def HaveModule(name):
    try:
        __import__(name)
        return True
    except ImportError:
        return False


HAVE_XL = HaveModule("xlrd") and HaveModule("xlwt")
HAVE_NODE = (shutil.which("node") is not None and
             os.path.isdir(os.path.join(HERE, "node_modules", "xlsx")) and
             os.path.isdir(os.path.join(HERE, "node_modules", "hyperformula")))
HAVE_OFFICE = shutil.which("soffice") is not None


def Run(*cmd, ok=True):
    p = subprocess.run(list(cmd), capture_output=True, text=True, timeout=600)
    if ok and p.returncode != 0:
        raise AssertionError("%s failed (%d): %s" % (" ".join(cmd), p.returncode, p.stderr))
    return p


def Cell(xml):
    ns = " ".join('xmlns:%s="%s"' % kv for kv in fp.NS.items())
    return ET.fromstring(xml.replace("<table:table-cell ", "<table:table-cell %s " % ns, 1))


class FormulaTranslation(unittest.TestCase):
    def test_argument_separators_change_outside_literals_only(self):
        self.assertEqual(fp.ToPeerFormula('=IF(A1,"a,b",2)'), 'of:=IF(A1;"a,b";2)')
        self.assertEqual(fp.ToPeerFormula('="say ""x,y"""&SUM(1,2)'),
                         'of:="say ""x,y"""&SUM(1;2)')

    def test_boolean_words_become_calls_but_names_and_calls_stay(self):
        self.assertEqual(fp.ToPeerFormula("=AND(TRUE,false)"), "of:=AND(TRUE();false())")
        self.assertEqual(fp.ToPeerFormula("=TRUE()"), "of:=TRUE()")
        self.assertEqual(fp.ToPeerFormula('=TRUEX+"TRUE"'), 'of:=TRUEX+"TRUE"')

    def test_typed_cells_take_the_peers_types(self):
        self.assertIn('office:value-type="float" office:value="1.5"', fp.PeerCell("1.5"))
        self.assertIn('office:boolean-value="false"', fp.PeerCell("false"))
        self.assertIn("table:formula=\"of:=1/0\"", fp.PeerCell("=1/0"))
        text = fp.PeerCell("a<b")
        self.assertIn('office:value-type="string"', text)
        self.assertIn("a&lt;b", text)
        self.assertIn('office:value-type="string"', fp.PeerCell("1,000"))

    def test_cells_split_at_the_first_equals_sign(self):
        self.assertEqual(fp.ParseCells("A1==1/0;B2=x;AA10="),
                         {(0, 0): "=1/0", (1, 1): "x", (26, 9): ""})
        with self.assertRaises(ValueError):
            fp.ParseCells("1A=3")


class PeerResults(unittest.TestCase):
    def test_dates_and_times_become_serial_numbers(self):
        c = Cell('<table:table-cell office:value-type="date" office:date-value="2024-01-01" '
                 'calcext:value-type="date"/>')
        self.assertEqual(fp.CellResult(c), ("number", "45292"))
        c = Cell('<table:table-cell office:value-type="date" '
                 'office:date-value="1900-01-01T12:00:00" calcext:value-type="date"/>')
        self.assertEqual(fp.CellResult(c), ("number", "2.5"))
        c = Cell('<table:table-cell office:value-type="time" office:time-value="PT18H00M00S" '
                 'calcext:value-type="time"/>')
        self.assertEqual(fp.CellResult(c), ("number", "0.75"))

    def test_errors_booleans_and_texts(self):
        c = Cell('<table:table-cell table:formula="of:=1/0" office:value-type="string" '
                 'office:string-value="" calcext:value-type="error"><text:p>#DIV/0!</text:p>'
                 '</table:table-cell>')
        self.assertEqual(fp.CellResult(c), ("error", "#DIV/0!"))
        c = Cell('<table:table-cell office:value-type="boolean" office:boolean-value="true" '
                 'calcext:value-type="boolean"/>')
        self.assertEqual(fp.CellResult(c), ("boolean", "TRUE"))
        c = Cell('<table:table-cell office:value-type="string" calcext:value-type="string">'
                 '<text:p>a<text:s text:c="3"/>b<text:tab/>c</text:p></table:table-cell>')
        self.assertEqual(fp.CellResult(c), ("text", "a   b\tc"))

    def test_an_empty_text_result_has_no_value_type(self):
        c = Cell('<table:table-cell table:formula="of:=&quot;&quot;"/>')
        self.assertEqual(fp.CellResult(c), ("text", ""))
        self.assertEqual(fp.CellResult(Cell("<table:table-cell />")), ("empty", ""))

    def test_numbers_agree_within_fifteen_digits_only(self):
        self.assertTrue(fp.SameValue("number", "0.333333333333333", "number", repr(1 / 3)))
        self.assertFalse(fp.SameValue("number", "1", "number", "1.0001"))
        self.assertFalse(fp.SameValue("number", "1", "text", "1"))
        self.assertTrue(fp.SameValue("number", "0", "number", "1e-15"))

    def test_classification_of_a_case(self):
        same = formula_cases.Case("t-1", "t", "=1", 1, "", "", False)
        self.assertEqual(fp.Classify(same, "number", "1"), ("same", ""))
        self.assertEqual(fp.Classify(same, "number", "2")[0], "UNEXPLAINED")
        named = formula_cases.Case("t-2", "t", "=x", formula_cases.NAME, "", "", False)
        self.assertEqual(fp.Classify(named, "error", "#NAME?"), ("same", ""))
        mend = formula_cases.Case("t-3", "t", "=x", 2, "", "because", True)
        self.assertEqual(fp.Classify(mend, "number", "3"), ("mendable", "because"))
        differs = formula_cases.Case("t-4", "t", "=x", "5", "", "because", False)
        self.assertEqual(fp.Classify(differs, "number", "5"), ("differs", "because"))


class FormulaData(unittest.TestCase):
    def setUp(self):
        with open(fp.DEFAULT_DATA, encoding="utf-8") as f:
            self.lines = f.read().splitlines()
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def CheckLines(self, lines):
        path = os.path.join(self.dir, "data.tsv")
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        out = subprocess.run([sys.executable, os.path.join(HERE, "formula_peer.py"), "check",
                              "--data", path], capture_output=True, text=True)
        return out.returncode, out.stderr

    def test_the_committed_data_passes(self):
        self.assertEqual(self.CheckLines(self.lines), (0, ""))

    def test_the_committed_data_matches_the_cases(self):
        rows = [line.split("\t") for line in self.lines[1:]]
        cases = formula_cases.Cases()
        self.assertEqual([r[0] for r in rows], [c.id for c in cases])
        for row, case in zip(rows, cases):
            self.assertEqual((row[2], row[3]), (case.cells, case.formula), case.id)
            self.assertEqual((row[6], row[7]), case.expect, case.id)

    def test_each_kind_of_damage_is_reported(self):
        header, rows = self.lines[0], self.lines[1:]
        first = rows[0].split("\t")
        damaged = {
            "used twice": rows + [rows[0]],
            "needs a reason": [header] + rows[1:] + ["\t".join(first[:8] + ["differs", ""])],
            "values differ": [header] + rows[1:] + ["\t".join(first[:7] + ["99", "same", ""])],
            "status": [header] + rows[1:] + ["\t".join(first[:8] + ["maybe", "x"])],
            "columns": [header] + rows + ["a\tb"],
            "no error literal": [header] + rows[1:] + [
                "\t".join(first[:6] + ["error", "#N/A", "differs", "x"])],
            "at least 300": [header] + rows[:100],
            "no result of ours": [header] + rows[1:] + [
                "\t".join(first[:4] + ["error", "Err:511"] + first[6:8] + ["mendable", "x"])],
                        "stays a text": [header] + rows[1:] + ["\t".join(first[:3] + ['=ISNA("#N/A!")']
                                                             + first[4:])],
        }
        for needle, lines in damaged.items():
            code, err = self.CheckLines([header] + lines if lines[0] != header else lines)
            self.assertEqual(code, 1, needle)
            self.assertIn(needle, err)
        without_mid = [header] + [r for r in rows if "MID(" not in r]
        code, err = self.CheckLines(without_mid)
        self.assertIn("functions without a case: MID", err)


class CaseSet(unittest.TestCase):
    def test_cases_are_well_formed(self):
        cases = formula_cases.Cases()
        self.assertGreaterEqual(len(cases), 300)
        self.assertEqual(len({c.id for c in cases}), len(cases))
        formula_cell = fp.CellIndex(fp.FORMULA_CELL)
        for c in cases:
            self.assertTrue(c.formula.lstrip().startswith("="), c.id)
            self.assertNotIn(formula_cell, fp.ParseCells(c.cells), c.id + " overwrites H1")
            if c.mendable:
                self.assertTrue(c.reason, c.id + " is mendable without a reason")
            self.assertNotIn("\t", c.formula + c.cells + c.reason)
            for typed in [c.formula] + list(fp.ParseCells(c.cells).values()):
                if typed.startswith("="):
                    self.assertNotIn("#", typed, c.id + ": typed, it would stay a text")

    def test_every_function_of_the_table_is_used(self):
        used = " ".join(c.formula + " " + c.cells for c in formula_cases.Cases()).upper()
        missing = [f for f in fp.FUNCTIONS if f + "(" not in used]
        self.assertEqual(missing, [])
        self.assertEqual(len(fp.FUNCTIONS), 81)


class DumpComparison(unittest.TestCase):
    def Sheet(self, **kw):
        s = {"name": "S", "visible": True, "cells": [], "merged": [], "colWidths": {},
             "rowHeights": {}, "hiddenCols": [], "hiddenRows": []}
        s.update(kw)
        return s

    def test_column_letters(self):
        for c, letters in [(0, "A"), (25, "Z"), (26, "AA"), (255, "IV"), (701, "ZZ"),
                           (702, "AAA")]:
            self.assertEqual(peer_dump.ColumnLetters(c), letters)
        self.assertEqual(peer_dump.Ref(2, 1), "B3")

    def test_equal_content_gives_no_problem(self):
        cell = {"ref": "A1", "col": 0, "row": 0, "type": "number", "value": 1.0,
                "font": {"bold": True}}
        have = dict(cell, font={"bold": True, "name": "Arial"})
        want = [self.Sheet(cells=[cell], merged=["A1:B2"], colWidths={"0": 5120})]
        dump = {"sheets": [self.Sheet(cells=[have], merged=["A1:B2"], colWidths={"0": 5120},
                                      rowHeights={"3": 300})]}
        self.assertEqual(peer_dump.Compare(want, dump), [])

    def test_every_difference_is_named(self):
        want = [self.Sheet(cells=[
            {"ref": "A1", "col": 0, "row": 0, "type": "number", "value": 1.0},
            {"ref": "B1", "col": 1, "row": 0, "type": "text", "value": "x",
             "font": {"italic": True}},
            {"ref": "C1", "col": 2, "row": 0, "type": "text", "value": "gone"}],
            merged=["A2:B3"], colWidths={"1": 256}, hiddenRows=[4], visible=False)]
        dump = {"sheets": [self.Sheet(cells=[
            {"ref": "A1", "col": 0, "row": 0, "type": "number", "value": 2.0},
            {"ref": "B1", "col": 1, "row": 0, "type": "text", "value": "x",
             "font": {"italic": False}}])]}
        problems = "\n".join(peer_dump.Compare(want, dump))
        for needle in ["visible True", "A1: number 2.0", "font italic", "C1: missing",
                       "merged", "colWidths[1]", "hiddenRows"]:
            self.assertIn(needle, problems)

    def test_sheet_order_and_formula_results(self):
        dump = {"sheets": [self.Sheet(name="B"), self.Sheet(name="A")]}
        self.assertIn("sheets", peer_dump.Compare([self.Sheet(name="A"),
                                                   self.Sheet(name="B")], dump)[0])
        want = [self.Sheet(cells=[{"ref": "A1", "col": 0, "row": 0, "formula": "=1<2",
                                   "type": "boolean", "value": True}])]
        dump = {"sheets": [self.Sheet(cells=[{"ref": "A1", "col": 0, "row": 0,
                                              "type": "number", "value": 1.0}])]}
        self.assertEqual(peer_dump.Compare(want, dump), [])
        self.assertEqual(len(peer_dump.Compare(want, dump, check_formula_results=True)), 1)
        self.assertEqual(peer_dump.Compare(want, dump, True, booleans_as_numbers=True), [])

    def test_the_command_tools_cell_form_is_understood(self):
        dump = peer_dump.Normalised({"sheets": [self.Sheet(cells=[
            {"ref": "A1", "col": 0, "row": 0, "kind": "formula", "edit": "=SUM(B1:B2)",
             "display": "3", "result": {"type": "number", "value": 3}}])]})
        cell = dump["sheets"][0]["cells"][0]
        self.assertEqual((cell["type"], cell["value"], cell["formula"]),
                         ("number", 3, "=SUM(B1:B2)"))
        want = [self.Sheet(cells=[{"ref": "A1", "col": 0, "row": 0, "formula": "=SUM(B1:B3)"}])]
        self.assertIn("formula", peer_dump.Compare(want, dump)[0])


class BenchLayout(unittest.TestCase):
    def test_shares_of_cell_kinds(self):
        counts = {}
        for _, _, (kind, _) in bench_layout.Cells(10000):
            counts[kind] = counts.get(kind, 0) + 1
        self.assertEqual(counts, {"number": 6000, "string": 2500, "formula": 1500})

    def test_strings_repeat_so_the_table_is_shared(self):
        strings = [v for _, _, (k, v) in bench_layout.Cells(10000) if k == "string"]
        self.assertLess(len(set(strings)), len(strings) / 3)

    @unittest.skipUnless(HAVE_NODE, "node packages not installed (scripts/peers.sh)")
    def test_javascript_twin_gives_the_same_cells(self):
        js = ("const l=require(%r);const out=[];l.ForEachCell(997,(r,c,x)=>out.push([r,c,x.kind,"
              "x.kind==='formula'?x.formula:x.value]));console.log(JSON.stringify(out))"
              % os.path.join(BENCH, "bench_layout.js"))
        got = json.loads(Run("node", "-e", js).stdout)
        want = [[r, c, k, v] for r, c, (k, v) in bench_layout.Cells(997)]
        self.assertEqual(got, want)


@unittest.skipUnless(HAVE_XL, "xlrd/xlwt not importable by this interpreter (scripts/peers.sh)")
class PeerFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()
        Run(sys.executable, os.path.join(HERE, "xlwt_samples.py"), cls.dir)
        if HAVE_NODE:
            Run("node", os.path.join(HERE, "sheetjs_peer.js"), "samples", cls.dir)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def Manifest(self, writer):
        with open(os.path.join(self.dir, writer + "-manifest.json"), encoding="utf-8") as f:
            return json.load(f)

    def test_xlrd_reads_what_xlwt_wrote(self):
        manifest = self.Manifest("xlwt")
        self.assertEqual(len(manifest), 4)
        for name, entry in manifest.items():
            dump = peer_dump.Dump(os.path.join(self.dir, name))
            self.assertEqual(peer_dump.Compare(entry["sheets"], dump), [], name)

    def test_a_changed_file_is_noticed(self):
        entry = self.Manifest("xlwt")["xlwt-layout.xls"]
        entry["sheets"][0]["merged"].append("D1:E1")
        entry["sheets"][0]["cells"][-1]["value"] = "other"
        dump = peer_dump.Dump(os.path.join(self.dir, "xlwt-layout.xls"))
        self.assertEqual(len(peer_dump.Compare(entry["sheets"], dump)), 2)

    def test_a_corrupt_file_gives_a_clear_error(self):
        path = os.path.join(self.dir, "corrupt.xls")
        with open(os.path.join(self.dir, "xlwt-values.xls"), "rb") as f:
            data = f.read()
        with open(path, "wb") as f:
            f.write(data[:700])
        p = Run(sys.executable, os.path.join(HERE, "peer_dump.py"), path, ok=False)
        self.assertEqual(p.returncode, 1)
        self.assertIn("xlrd cannot read", p.stderr)

    @unittest.skipUnless(HAVE_NODE, "node packages not installed (scripts/peers.sh)")
    def test_sheetjs_files_read_the_same_in_both_readers(self):
        for name, entry in self.Manifest("sheetjs").items():
            path = os.path.join(self.dir, name)
            self.assertEqual(peer_dump.Compare(entry["sheets"], peer_dump.Dump(path)), [], name)
            dump = json.loads(Run("node", os.path.join(HERE, "sheetjs_peer.js"), "dump",
                                  path).stdout)
            self.assertEqual(peer_dump.Compare(entry["sheets"], dump), [], name)

    @unittest.skipUnless(HAVE_NODE, "node packages not installed (scripts/peers.sh)")
    def test_sheetjs_decodes_xlwt_formulas(self):
        entry = self.Manifest("xlwt")["xlwt-formulas.xls"]
        dump = json.loads(Run("node", os.path.join(HERE, "sheetjs_peer.js"), "dump",
                              os.path.join(self.dir, "xlwt-formulas.xls")).stdout)
        formulas = {c["ref"]: c["formula"] for c in dump["sheets"][0]["cells"] if "formula" in c}
        self.assertEqual(formulas["D2"], "=SUM(A1:A3)")
        self.assertEqual(formulas["D9"], "=Other!A1+Other!A2")
        self.assertEqual(peer_dump.Compare(entry["sheets"], dump), [])

    @unittest.skipUnless(HAVE_OFFICE, "LibreOffice not installed (scripts/peers.sh --with-office)")
    def test_libreoffice_recalculates_xlwt_formulas(self):
        entry = self.Manifest("xlwt")["xlwt-formulas.xls"]
        out = Run(sys.executable, os.path.join(HERE, "office_recalc.py"),
                  os.path.join(self.dir, "xlwt-formulas.xls")).stdout
        problems = peer_dump.Compare(entry["sheets"], json.loads(out),
                                     check_formula_results=True, booleans_as_numbers=True)
        self.assertEqual(problems, [])


@unittest.skipUnless(HAVE_OFFICE, "LibreOffice not installed (scripts/peers.sh --with-office)")
class OfficePeer(unittest.TestCase):
    def test_the_peer_calculates_translated_formulas(self):
        cases = [formula_cases.Case(*args) for args in [
            ("p-1", "p", "=2*3^2", 36, "", "x", False),
            ("p-2", "p", "=SUM(A1:A2,TRUE)", 4, "A1=1;A2=2", "", False),
            ("p-3", "p", '=IF(A1>0,"a""b",0)', 'a"b', "A1=1", "", False),
            ("p-4", "p", "=DATE(2024,1,1)+TIME(6,0,0)", 45292.25, "", "", False),
            ("p-5", "p", "=A1", 0, "A1==1/0", "", False),
            ("p-6", "p", '=""', "", "", "", False),
            ("p-7", "p", "=A1<A2", True, "A1=a;A2=b", "", False)]]
        got = fp.RunPeer(cases, "soffice")
        self.assertEqual([got["c" + c.id] for c in cases], [
            ("number", "18"), ("number", "4"), ("text", 'a"b'), ("number", "45292.25"),
            ("error", "#DIV/0!"), ("text", ""), ("boolean", "TRUE")])

    @unittest.skipUnless(HAVE_XL, "xlwt not importable by this interpreter")
    def test_texts_merges_and_hidden_sheets_as_the_peer_reads_them(self):
        work = tempfile.mkdtemp()
        try:
            Run(sys.executable, os.path.join(HERE, "xlwt_samples.py"), work)
            dump = json.loads(Run(sys.executable, os.path.join(HERE, "office_recalc.py"),
                                  os.path.join(work, "xlwt-layout.xls")).stdout)
            self.assertEqual([(s["name"], s["visible"]) for s in dump["sheets"]],
                             [("Layout", True), ("Hidden", False), ("My Sheet", True)])
            self.assertEqual(sorted(dump["sheets"][0]["merged"]), ["A1:C2", "B4:B6"])
            dump = json.loads(Run(sys.executable, os.path.join(HERE, "office_recalc.py"),
                                  os.path.join(work, "xlwt-values.xls")).stdout)
            texts = {c["ref"]: c["value"] for c in dump["sheets"][0]["cells"]}
            self.assertEqual((texts["B4"], texts["B9"]), ("tab\tinside", "  padded  "))
        finally:
            shutil.rmtree(work)


class BenchScripts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    @unittest.skipUnless(HAVE_NODE, "node packages not installed (scripts/peers.sh)")
    def test_hyperformula_workloads_compute_the_known_answers(self):
        out = json.loads(Run("node", os.path.join(BENCH, "hyperformula_recalc.js"),
                             "--n", "50").stdout)
        chain, sums = out["results"]
        self.assertEqual((chain["formulas"], chain["probe_before"], chain["probe_after"]),
                         (50, 51, 1050))
        self.assertEqual((sums["formulas"], sums["probe_before"], sums["probe_after"]),
                         (50, 55, 1054))
        self.assertGreater(chain["build_and_calc_ms"], 0)

    @unittest.skipUnless(HAVE_NODE and HAVE_XL, "node packages or xlrd missing")
    def test_file_benchmarks_time_the_same_workbook(self):
        xls = os.path.join(self.dir, "bench.xls")
        Run(sys.executable, os.path.join(BENCH, "xlwt_workbook.py"), "--cells", "210",
            "--out", xls)
        xlrd_out = json.loads(Run(sys.executable, os.path.join(BENCH, "xlrd_open.py"),
                                  xls).stdout)
        self.assertEqual(xlrd_out["runs"][0]["cell_grid"], 220)  # 11 rows of 20 columns
        sj = json.loads(Run("node", os.path.join(BENCH, "sheetjs_io.js"), "bench", "--file",
                            xls, "--cells", "200", "--dir", self.dir).stdout)
        ops = [(r["op"], "error" in r) for r in sj["runs"]]
        self.assertEqual(ops, [("generate", False), ("read", False), ("write", False),
                               ("read", False), ("write", False)])
        self.assertEqual(sj["runs"][1]["ref"], "A1:T11")
        self.assertTrue(all(r["peak_rss_bytes"] >= r["baseline_rss_bytes"] for r in sj["runs"]))

    @unittest.skipUnless(HAVE_NODE, "node packages not installed (scripts/peers.sh)")
    def test_hyperformula_lines_for_callers_without_json(self):
        lines = Run("node", os.path.join(BENCH, "hyperformula_recalc.js"), "--n", "30",
                    "--tsv").stdout.splitlines()
        rows = [line.split("\t") for line in lines]
        self.assertEqual([(r[1], r[2], r[3], r[5]) for r in rows],
                         [("chain", "build", "30", "31"), ("chain", "change", "30", "1030"),
                          ("chain", "rebuild", "30", "1030"),
                          ("sum", "build", "30", "55"), ("sum", "change", "30", "1054"),
                          ("sum", "rebuild", "30", "1054")])
        self.assertTrue(all(float(r[4]) > 0 for r in rows))

    @unittest.skipUnless(HAVE_NODE and HAVE_XL, "node packages or xlrd missing")
    def test_one_call_times_every_file_peer(self):
        out = Run(sys.executable, os.path.join(BENCH, "file_peers.py"), "--cells", "400,600",
                  "--dir", self.dir, "--tsv").stdout
        rows = [line.split("\t") for line in out.splitlines()]
        self.assertEqual([(r[0], r[1], r[2]) for r in rows],
                         [("xlrd", "open", "400"), ("xlrd", "open", "600"),
                          ("sheetjs", "read", "400"), ("sheetjs", "write", "400"),
                          ("sheetjs", "read", "600"), ("sheetjs", "write", "600")])
        again = json.loads(Run(sys.executable, os.path.join(BENCH, "file_peers.py"), "--cells",
                               "400", "--dir", self.dir).stdout)
        self.assertEqual(again["files"][0]["cells"], 400)
        self.assertEqual(again["xlrd"]["runs"][0]["cell_grid"], 400)

    @unittest.skipUnless(HAVE_XL, "xlrd not importable by this interpreter")
    def test_a_missing_file_is_reported_not_timed(self):
        p = Run(sys.executable, os.path.join(BENCH, "xlrd_open.py"),
                os.path.join(self.dir, "absent.xls"), ok=False)
        self.assertEqual(p.returncode, 1)
        self.assertIn("error", json.loads(p.stdout)["runs"][0])


if __name__ == "__main__":
    unittest.main()
