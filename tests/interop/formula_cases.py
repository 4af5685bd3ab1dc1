"""The formula cross-check cases.

Each case states the result this system's rules give (`ours`), worked out by hand from the
engine's rules, independently of the peer. formula_peer.py compares it with the peer's answer:
where they agree the case is "same"; where they differ, `why` must say which rule of ours makes
the difference, and `mend` marks the cases where that rule gives what a user would call a fault.

Cells are typed into an empty sheet ("A1=1;A2=x"; a typed text beginning with "=" is a formula);
the formula goes into H1. A formula text never contains "#": typed, such a text stays a text. Values: int/float = number, str = text, bool = Boolean, Err(...) = error.
"""

import datetime
import math


class Err(str):
    pass


class Case:
    def __init__(self, id, group, formula, ours, cells, why, mend):
        self.id, self.group, self.formula, self.cells = id, group, formula, cells
        self.why, self.mend = why, mend
        if isinstance(ours, Err):
            self.expect = ("error", str(ours))
        elif isinstance(ours, bool):
            self.expect = ("boolean", "TRUE" if ours else "FALSE")
        elif isinstance(ours, (int, float)):
            v = float(ours)
            self.expect = ("number", str(int(v)) if v == int(v) and abs(v) < 1e15 else repr(v))
        else:
            self.expect = ("text", ours)
        self.reason = why
        self.mendable = mend


def Serial(y, m, d):
    return (datetime.date(y, m, d) - datetime.date(1899, 12, 30)).days


DIV0, VALUE, NUM, NAME = Err("#DIV/0!"), Err("#VALUE!"), Err("#NUM!"), Err("#NAME!")

# Reasons shared by many cases.
TEXT_CELL_ZERO = "a text cell read as a number counts as 0"
ERR_CELL_TEXT = "a cell whose formula ends in an error is read as the text #VALUE!"
NUMTEXT_TYPED = "a number text left as the final result is typed as a number"
NUMTEXT_COMPARE = "two number texts are compared as numbers"
POW_LEVEL = "^ binds as tightly as * and /, and binary operators associate to the left"
CMP_LEVEL = "& and the comparisons share one level and associate to the left"
ERR_AS_TEXT = ("an error result travels as its literal text; an operator or function that needs "
               "a number from it raises #VALUE! instead of keeping the first error")
NO_RESULT = ("the function raises its error and pushes nothing, which ends the whole formula "
             "with that error, so an enclosing IF or IS function never sees it")
EMPTY_IS_ZERO = "empty cells of a range count as the number 0 in the number-mode aggregates"
TEXT_ORDER = "criteria compare as texts, so numbers are ordered as texts"
ROUND_EVEN = "counts of digits and characters are rounded half to even"
FLOAT_ROUND = ("the value is scaled by a power of ten in binary floating point and then rounded, "
               "so 1.005 scaled is 100.49999999999999")
IF_AS_TEXT = "IF passes a reference's value on as a text"
FIXED_NUMBER = "FIXED returns the rounded number, not a formatted text"
STRICT_DATE = "DATE and TIME accept only valid calendar dates and clock times; others give #VALUE!"
ISTEXT_RULE = "the IS functions judge the value's text: a number or Boolean text is not text"
BOOL_TEXT = "the Boolean words are recognised in texts"
DOMAIN = "the domain check of this function"
DATE_TEXT = "texts in the system's short date form convert to date numbers"
BOOL_WORD = "a Boolean turns into its word TRUE or FALSE where a text is needed"
NUMTEXT_ARG = "a number text written as an argument counts as its number"
CASE_FREE = "texts compare without regard to case"
PEER_ERR502 = ("the peer reports an argument outside the function's domain (its Err:502, "
               "written #NUM! here); ours raises #VALUE!")

_cases = []
_counters = {}


def C(group, formula, ours, cells="", why="", mend=False):
    n = _counters.get(group, 0) + 1
    _counters[group] = n
    _cases.append(Case("%s-%02d" % (group, n), group, formula, ours, cells, why, mend))


def Cases():
    if not _cases:
        _Build()
    return list(_cases)


def _Build():
    pi = math.pi
    # ---- operators, precedence, associativity ------------------------------------------------
    g = "prec"
    C(g, "=1+2*3", 7)
    C(g, "=(1+2)*3", 9)
    C(g, "=2*3^2", 36, why=POW_LEVEL)
    C(g, "=2^3*2", 16)
    C(g, "=12/2^2", 36, why=POW_LEVEL)
    C(g, "=2+3*4^2", 146, why=POW_LEVEL)
    C(g, "=-2^2", 4)
    C(g, "=-3^2", 9)
    C(g, "=0-3^2", -9)
    C(g, "=2^-1", 0.5)
    C(g, "=2^3^2", 64)
    C(g, "=1-2-3", -4)
    C(g, "=10/2/5", 1)
    C(g, "=10/2*5", 25)
    C(g, "=10-2*3", 4)
    C(g, "=2*-3", -6)
    C(g, "=5--3", 8)
    C(g, "=--3", 3)
    C(g, "=1-(-1)", 2)
    C(g, "=-(2)^2", 4)
    C(g, "=(1+2)*(3+4)", 21)
    C(g, "=((2))", 2)
    C(g, "= 1 + 2 ", 3)
    C(g, "=4^0.5*2", 4)
    C(g, "=1+2&3", "33")
    C(g, "=1&2+3", "15")
    C(g, "=1&2=12", True, why="a number text equals the number it reads as")
    C(g, "=3=3&\"\"", "TRUE", why=CMP_LEVEL)
    C(g, "=1+2=3", True)
    C(g, "=2>1+1", False)
    C(g, "=1<2=TRUE", True)
    C(g, "=1<2<3", False, why="a Boolean compared with a number is compared as text: "
      "TRUE<3 is \"TRUE\"<\"3\"")
    C(g, "=50%", 0.5)
    C(g, "=1+2%", 1.02)
    C(g, "=-50%", -0.5)
    C(g, "=(1+1)%", 0.02)
    C(g, "=10%*50", 5)
    C(g, "=A1%", 0.25, "A1=25")
    C(g, "=1E+5", 100000)
    C(g, "=2.5e-3*2", 0.005)
    C(g, "=.5+1", 1.5)
    C(g, "=0^0", 1)
    C(g, "=2^0.5", math.sqrt(2))

    # ---- comparisons ---------------------------------------------------------------------------
    g = "cmp"
    C(g, "=2<10", True)
    C(g, "=\"2\"<\"10\"", True, why=NUMTEXT_COMPARE)
    C(g, "=\"10\">\"9\"", True, why=NUMTEXT_COMPARE)
    C(g, "=\"a\"<\"B\"", True)
    C(g, "=\"abc\"=\"ABC\"", True, why=CASE_FREE)
    C(g, "=\"TRUE\"=TRUE", True, why="a Boolean compares as its word, so the text TRUE equals it")
    C(g, "=TRUE>FALSE", True)
    C(g, "=1=1", True)
    C(g, "=1<>2", True)
    C(g, "=1<>1", False)
    C(g, "=3>=3", True)
    C(g, "=3<=2", False)
    C(g, "=1<\"a\"", True)
    C(g, "=\"a\"<1", False)
    C(g, "=\"\"<1", True, why="an empty text compared with a number counts as 0")
    C(g, "=A1=0", True, "")
    C(g, "=A1=\"\"", True, "")
    C(g, "=A1>A2", True, "A1=b;A2=a")
    C(g, "=A1<A2", True, "A1=5;A2=10")
    C(g, "=A1=A2", True, "A1=1;A2=1.0")
    C(g, "=\"apple\"<\"banana\"", True)
    C(g, "=\"1\"=1", True, why="a number text equals the number it reads as")

    # ---- type conversion ---------------------------------------------------------------------
    g = "conv"
    C(g, "=\"3\"+1", 4)
    C(g, "=\"abc\"+1", VALUE)
    C(g, "=A1+1", 1, "A1=abc", why=TEXT_CELL_ZERO)
    C(g, "=A1", "abc", "A1=abc")
    C(g, "=A1", 0, "")
    C(g, "=A1&\"x\"", "x", "")
    C(g, "=A1", 5, "A1=5")
    C(g, "=A1+A2", 5, "A1=5;A2=abc", why=TEXT_CELL_ZERO)
    C(g, "=A1*2", 2, "A1=TRUE")
    C(g, "=TRUE+1", 2)
    C(g, "=TRUE*2", 2)
    C(g, "=\"TRUE\"+0", VALUE, why="arithmetic takes number and date texts only; the Boolean words are neither")
    C(g, "=\"5\"*2", 10)
    C(g, "=\" 5 \"+1", 6)
    C(g, "=\"1e5\"+0", 100000)
    C(g, "=\"1E\"+0", VALUE)
    C(g, "=\"1,000\"+1", VALUE, why="number texts have no thousands separators")
    C(g, "=\"$5\"+1", VALUE, why="number texts have no currency sign")
    C(g, "=\"1/15/2024\"+0", Serial(2024, 1, 15))
    C(g, "=\"5\"", 5, why=NUMTEXT_TYPED)
    C(g, "=\"TRUE\"", True, why="a Boolean word left as the final result is typed as a Boolean")
    C(g, "=\"abc\"", "abc")
    C(g, "=\"\"", 0, why="an empty text left as the final result is typed as the number 0")
    C(g, "=\"a\"\"b\"", "a\"b")
    C(g, "=\"a\"&1", "a1")
    C(g, "=1&TRUE", "1TRUE", why=BOOL_WORD)
    C(g, "=0.1+0.2&\"\"", "0.3")
    C(g, "=1/3&\"\"", "0.333333333333333")
    C(g, "=A1&\"\"", "0.1", "A1=0.1")
    C(g, "=A1*3=1", False, "A1==1/3", why="a formula cell's number is read through its shortest "
      "15-digit text, so 1/3 comes back as 0.333333333333333")
    C(g, "=A1*3", 1, "A1==1/3")
    C(g, "=A1", 6, "A1==2*3")
    C(g, "=A1:B2", 0, "A1=1;B1=2;A2=3;B2=4", why="a range standing alone as the whole "
      "formula gives 0")
    C(g, "=$A$1+A$1+$A1", 15, "A1=5")
    C(g, "=A1+B1", 3, "A1=1;B1=2")
    C(g, "=A1*B1", 0, "A1=1")
    C(g, "=a1+b1", 3, "A1=1;B1=2")
    C(g, "=\"\"\"\"", "\"")
    C(g, "=\"\"\"a\"\"\"", "\"a\"")
    C(g, "=LEN(\"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\")", 255)
    C(g, "=sum(1,2)", 3)
    C(g, "=Pi()*0+1", 1)
    C(g, "=123456789012345&\"\"", "123456789012345")
    C(g, "=0.00001&\"\"", "0.00001")
    C(g, "=-0.5&\"\"", "-0.5")
    C(g, "=1/4&\"\"", "0.25")
    C(g, "=100000&\"\"", "100000")

    # ---- nested calls ----------------------------------------------------------------------------
    g = "nest"
    C(g, "=ROUND(SQRT(ABS(-16))+LN(EXP(1)),0)", 5)
    C(g, "=MAX(MIN(3,4),2)", 3)
    C(g, "=IF(AND(A1>0,A2>0),\"both\",\"not\")", "not", "A1=1;A2=-1")
    C(g, "=CONCATENATE(UPPER(\"a\"),LOWER(\"B\"),LEN(\"xyz\"))", "Ab3")
    C(g, "=SUM(A1:A3)/COUNT(A1:A3)", 4, "A1=2;A2=4;A3=6")
    C(g, "=IF(OR(ISBLANK(A1),A1=0),\"none\",1/A1)", "none", "")
    C(g, "=LEFT(UPPER(TRIM(\"  hello  \")),3)", "HEL")
    C(g, "=YEAR(DATE(2024,1,1)+366)", 2025)

    # ---- error values and their travel -------------------------------------------------------
    g = "err"
    C(g, "=1/0", DIV0)
    C(g, "=0/0", DIV0)
    C(g, "=1/0+1", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=1+1/0", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=-(1/0)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=\"a\"&1/0", DIV0)
    C(g, "=LEN(1/0)", DIV0)
    C(g, "=NOT(1/0)", DIV0)
    C(g, "=SUM(1,1/0)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=IF(1/0=0,1,2)", 2, why="IF clears an error raised in its condition", mend=True)
    C(g, "=A1", "#VALUE!", "A1==1/0", why=ERR_CELL_TEXT)
    C(g, "=A1+1", 1, "A1==1/0", why=ERR_CELL_TEXT + ", which counts as 0", mend=True)
    C(g, "=A1&\"x\"", "#VALUE!x", "A1==1/0", why=ERR_CELL_TEXT, mend=True)
    C(g, "=SUM(A1:A2)", 1, "A1==1/0;A2=1", why=ERR_CELL_TEXT + ", which sums as nothing",
      mend=True)
    C(g, "=ISERROR(A1)", True, "A1==1/0")
    C(g, "=IF(ISERROR(A1),0,A1)", 0, "A1==1/0")
    C(g, "=COUNT(A1:A2)", 1, "A1==1/0;A2=1")
    C(g, "=COUNTA(A1:A2)", 2, "A1==1/0;A2=1")
    C(g, "=ABS(\"abc\")", VALUE)
    C(g, "=ISNUMBER(1/0)", False)
    C(g, "=ISNONTEXT(1/0)", DIV0, why="ISNONTEXT does not clear a pending error", mend=True)
    C(g, "=ISTEXT(1/0)", True, why="an error travels as its literal text, which ISTEXT "
      "counts as text", mend=True)
    C(g, "=ISERROR(\"abc\"+1)", True)
    C(g, "=A1/A2", DIV0, "A1=1;A2=0")
    C(g, "=A1/A2", DIV0, "A1=1")
    C(g, "=IF(ISERROR(SQRT(-1)),1,2)", NUM, why=NO_RESULT, mend=True)
    C(g, "=SQRT(-1)+1", NUM)

    # ---- the first error of a formula is its result ------------------------------------------
    g = "firsterr"
    C(g, "=SUM(1/0)+1", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=1/0*2", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=2^(1/0)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=(1/0)%", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=ABS(1/0)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=ROUND(1/0,1)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=MAX(1/0,2)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=SQRT(-1)*2", NUM)
    C(g, "=1/0+SQRT(-1)", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=SQRT(-1)+1/0", VALUE, why=ERR_AS_TEXT, mend=True)
    C(g, "=SUM(1/0,A1:A2)", VALUE, "A1=1;A2==SQRT(-1)", why=ERR_AS_TEXT, mend=True)
    C(g, "=A1+A2", 0, "A1==1/0;A2==SQRT(-1)", why=ERR_CELL_TEXT + ", which counts as 0",
      mend=True)
    C(g, "=A1*1/0", VALUE, "A1==SQRT(-1)", why=ERR_AS_TEXT, mend=True)
    C(g, "=A1+1", VALUE, "A1==1/0+1", why=ERR_CELL_TEXT + ", after the formula itself raised "
      "#VALUE!", mend=True)

    # ---- errors inside range arguments -------------------------------------------------------
    g = "rangeerr"
    skip = ERR_CELL_TEXT + ", which the number-mode aggregates skip"
    three = "A1=1;A2==1/0;A3==SQRT(-1)"
    C(g, "=SUM(A1:A3)", 1, three, why=skip, mend=True)
    C(g, "=SUM(A1:A3)", 1, "A1=1;A2==SQRT(-1);A3==1/0", why=skip, mend=True)
    C(g, "=SUMSQ(A1:A3)", 1, three, why=skip, mend=True)
    C(g, "=MAX(A1:A3)", 1, three, why=skip, mend=True)
    C(g, "=MIN(A1:A3)", 1, three, why=skip, mend=True)
    C(g, "=AVERAGE(A1:A3)", 1, three, why=skip, mend=True)
    C(g, "=AVERAGEA(A1:A3)", 1 / 3, three, why=ERR_CELL_TEXT + ", which AVERAGEA counts as a "
      "text (0) and SUM skips", mend=True)
    C(g, "=AND(A1:A3)", False, three, why=ERR_CELL_TEXT + ", which makes AND false", mend=True)
    C(g, "=OR(A1:A3)", True, three, why=ERR_CELL_TEXT + ", which OR passes over", mend=True)
    C(g, "=SUM(A1:B2)", 1, "A1=1;B1==SQRT(-1);A2==1/0", why=skip, mend=True)
    C(g, "=SUM(A1:B2)", 1, "A1=1;B1==1/0;A2==SQRT(-1)", why=skip, mend=True)
    C(g, "=SUM(A1:A3,B1:B2)", 1, "A1=1;A2==1/0;B2==SQRT(-1)", why=skip, mend=True)
    C(g, "=SUM(B1:B2,A1:A3)", 1, "A1=1;A2==1/0;B2==SQRT(-1)", why=skip, mend=True)
    C(g, "=SUM(A1:A50)*0", 0, "A1=1;A40==1/0", why=skip, mend=True)
    C(g, "=SUM(A1:A3)+1", 2, three, why=skip, mend=True)
    C(g, "=COUNT(A1:A3)", 1, three)
    C(g, "=COUNTA(A1:A3)", 3, three)
    C(g, "=COUNTBLANK(A1:A4)", 1, three)
    C(g, "=COUNTIF(A1:A3,\">0\")", 1, three)
    C(g, "=COUNTIF(A1:A3,\"<5\")", 3, three, why=ERR_CELL_TEXT + ", a text that sorts before 5",
      mend=True)
    C(g, "=ISERROR(A2)", True, three)
    C(g, "=ISBLANK(A2)", False, three)
    C(g, "=ISNONTEXT(A2)", False, three, why=ERR_CELL_TEXT + ", which ISNONTEXT takes for a "
      "text", mend=True)
    C(g, "=IF(ISERROR(SUM(A1:A3)),0,1)", 1, three, why=skip, mend=True)

    # ---- aggregates ----------------------------------------------------------------------------
    g = "sum"
    C(g, "=SUM(1,2,3)", 6)
    C(g, "=SUM(A1:A3)", 1, "A1=1;A3=x")
    C(g, "=SUM(A1:A3)", 6, "A1=1;A2=2;A3=3")
    C(g, "=SUM(A1:B2)", 10, "A1=1;B1=2;A2=3;B2=4")
    C(g, "=SUM(\"3\",4)", 7, why=NUMTEXT_ARG)
    C(g, "=SUM(\"x\",1)", VALUE)
    C(g, "=SUM(TRUE,1)", 2)
    C(g, "=SUM(A1:A2)", 4, "A1=TRUE;A2=3")
    C(g, "=SUM()", 0)
    C(g, "=SUM(B2:A1)", 0, "A1=1;B1=2;A2=3;B2=4", why="a range whose corners are written "
      "backwards visits no cell", mend=True)
    C(g, "=SUM(A1,A2,5)", 8, "A1=1;A2=2")
    C(g, "=SUM(A1:A3,10)", 16, "A1=1;A2=2;A3=3")
    C(g, "=SUM(0.1,0.2)", 0.30000000000000004)
    C(g, "=SUM(-1,-2)", -3)
    g = "sumsq"
    C(g, "=SUMSQ(1,2,3)", 14)
    C(g, "=SUMSQ(A1:A3)", 25, "A1=3;A2=4")
    C(g, "=SUMSQ(-2)", 4)
    g = "max"
    C(g, "=MAX(1,5,3)", 5)
    C(g, "=MAX(-1,-2)", -1)
    C(g, "=MAX(A1:A3)", 0, "A1=-1;A2=-2", why=EMPTY_IS_ZERO, mend=True)
    C(g, "=MAX(A1:A3)", 7, "A1=7;A2=x;A3=2")
    C(g, "=MAX()", 0, why="a function called with no arguments gives 0")
    g = "min"
    C(g, "=MIN(4,2,8)", 2)
    C(g, "=MIN(A1:A3)", 0, "A1=5;A3=3", why=EMPTY_IS_ZERO, mend=True)
    C(g, "=MIN(A1:A2)", 3, "A1=5;A2=3")
    C(g, "=MIN(-1,\"-5\")", -5, why=NUMTEXT_ARG)
    g = "count"
    C(g, "=COUNT(A1:A3)", 1, "A1=1;A3=x")
    C(g, "=COUNT(1,2,3)", 3)
    C(g, "=COUNT(1,\"2\",\"x\")", 2)
    C(g, "=COUNT(A1:B2)", 4, "A1=1;B1=2;A2=3;B2=4")
    C(g, "=COUNT(A1:A2)", 0, "A1=TRUE;A2=x", why="COUNT counts number texts only, and a "
      "Boolean is not one")
    g = "counta"
    C(g, "=COUNTA(A1:A3)", 2, "A1=1;A3=x")
    C(g, "=COUNTA(1,\"\",TRUE)", 2, why="an empty text argument is not counted")
    C(g, "=COUNTA(A1:A4)", 3, "A1=a;A2=1;A4=FALSE")
    C(g, "=COUNTA(A1:A2)", 0, "")
    g = "countblank"
    C(g, "=COUNTBLANK(A1:A3)", 1, "A1=1;A3=x")
    C(g, "=COUNTBLANK(A1:B2)", 3, "A1=1")
    C(g, "=COUNTBLANK(A1:A2)", 1, "A1==\"\";A2=1")
    C(g, "=COUNTBLANK(A1:A2)", 0, "A1=0;A2=x")
    g = "average"
    C(g, "=AVERAGE(A1:A3)", 1, "A1=1;A3=x")
    C(g, "=AVERAGE(2,4)", 3)
    C(g, "=AVERAGE(A1:A4)", 3, "A1=2;A3=4;A4=x")
    C(g, "=AVERAGE()", DIV0)
    C(g, "=AVERAGE(A1:A3)", DIV0, "")
    C(g, "=AVERAGE(A1:A3)", 2.5, "A1=1;A2=TRUE;A3=3", why="Booleans add to the sum but only "
      "number texts are counted", mend=True)
    C(g, "=AVERAGE(1,2,3,4)", 2.5)
    C(g, "=AVERAGE(A1:A2,10)", 6, "A1=2;A2=6")
    g = "averagea"
    C(g, "=AVERAGEA(A1:A3)", 0.5, "A1=1;A3=x")
    C(g, "=AVERAGEA(2,4,6)", 4)
    C(g, "=AVERAGEA(A1:A2)", 1, "A1=2;A2=FALSE")
    C(g, "=AVERAGEA(A1:A3)", DIV0, "")

    # ---- COUNTIF -------------------------------------------------------------------------------
    g = "countif"
    C(g, "=COUNTIF(A1:A3,\">=b\")", 2, "A1=a;A2=b;A3=C")
    C(g, "=COUNTIF(A1:A3,\">5\")", 0, "A1=5;A2=10;A3=3", why=TEXT_ORDER, mend=True)
    C(g, "=COUNTIF(A1:A3,\"<=2\")", 3, "A1=1;A2=2;A3=10", why=TEXT_ORDER, mend=True)
    C(g, "=COUNTIF(A1:A3,\"a\")", 2, "A1=a;A2=A;A3=b")
    C(g, "=COUNTIF(A1:A3,5)", 2, "A1=5;A2=10;A3=5")
    C(g, "=COUNTIF(A1:A3,\"<c\")", 2, "A1=a;A2=b;A3=c")
    C(g, "=COUNTIF(A1:A3,\"<>a\")", 0, "A1=a;A2=b;A3=c", why="a criterion beginning with <> "
      "is a < test against a text beginning with >", mend=True)
    C(g, "=COUNTIF(A1:A4,\"x\")", 2, "A1=x;A2=y;A3=X")
    C(g, "=COUNTIF(A1:A3,\">a\")", 2, "A1=a;A2=b;A3=c")
    C(g, "=COUNTIF(A1:B2,\"1\")", 2, "A1=1;B1=2;A2=1")
    C(g, "=COUNTIF(A1:A3,\"=b\")", 0, "A1=a;A2=b;A3=c", why="only <, <=, > and >= are "
      "operators in a criterion; =b is compared as the text itself", mend=True)

    # ---- logic ---------------------------------------------------------------------------------
    g = "and"
    C(g, "=AND(1,1)", True)
    C(g, "=AND(1,0)", False)
    C(g, "=AND(2,3)", True)
    C(g, "=AND(TRUE,FALSE)", False)
    C(g, "=AND(A1:A2)", False, "A1=1", why="AND counts an empty cell as false")
    C(g, "=AND(A1:A2)", True, "A1=1;A2=TRUE")
    C(g, "=AND(TRUE,\"x\")", False, why="AND counts a text as false")
    g = "or"
    C(g, "=OR(0,0)", False)
    C(g, "=OR(1,0)", True)
    C(g, "=OR(0,\"TRUE\")", True, why=BOOL_TEXT)
    C(g, "=OR(A1:A3)", True, "A1=0;A3=2")
    C(g, "=OR(A1:A2)", False, "A1=0;A2=FALSE")
    C(g, "=OR(FALSE,TRUE)", True)
    g = "not"
    C(g, "=NOT(TRUE)", False)
    C(g, "=NOT(0)", True)
    C(g, "=NOT(5)", False)
    C(g, "=NOT(\"x\")", True, why="a text that is not a Boolean word reads as false")
    C(g, "=NOT(A1)", True, "")
    g = "truefalse"
    C(g, "=TRUE()", True)
    C(g, "=FALSE()", False)
    C(g, "=TRUE()+TRUE()", 2)
    C(g, "=IF(FALSE(),1,2)", 2)
    g = "if"
    C(g, "=IF(1,2,1/0)", 2)
    C(g, "=IF(0,2,1/0)", "#DIV/0!", why="IF clears the pending error and hands the error "
      "literal on as a text")
    C(g, "=IF(1,\"yes\",\"no\")", "yes")
    C(g, "=IF(0,\"yes\",\"no\")", "no")
    C(g, "=IF(A1>0,-1,1)", -1, "A1=5")
    C(g, "=IF(A1>0, -1, 1)", 1, "A1=-5")
    C(g, "=IF(TRUE,A1,0)", "5", "A1=5", why=IF_AS_TEXT)
    C(g, "=IF(TRUE,A1,0)+1", 6, "A1=5")
    C(g, "=IF(0,2)", 2, why="IF always takes three values, so with two arguments it returns "
      "the second one whatever the condition", mend=True)
    C(g, "=IF(\"x\",1,2)", 2, why="a text that is not a Boolean word reads as false")
    C(g, "=IF(A1,\"a\",\"b\")", "b", "")
    C(g, "=IF(1,TRUE,FALSE)", True)
    C(g, "=IF(A1=\"\",\"empty\",\"full\")", "empty", "")
    C(g, "=IF(1,IF(0,\"a\",\"b\"),\"c\")", "b")
    C(g, "=IF(\"TRUE\",1,2)", 1)
    C(g, "=IF(2,\"a\",\"b\")", "a")

    # ---- information ---------------------------------------------------------------------------
    g = "isblank"
    C(g, "=ISBLANK(A1)", True, "")
    C(g, "=ISBLANK(A1)", False, "A1=x")
    C(g, "=ISBLANK(A1)", False, "A1=0")
    C(g, "=ISBLANK(\"\")", True, why="ISBLANK asks whether the value is empty, and an empty "
      "text is")
    C(g, "=ISBLANK(A1)", True, "A1==\"\"", why="ISBLANK asks whether the value is empty, "
      "and a formula giving an empty text is")
    g = "isnumber"
    C(g, "=ISNUMBER(5)", True)
    C(g, "=ISNUMBER(\"5\")", True, why=ISTEXT_RULE)
    C(g, "=ISNUMBER(A1)", False, "A1=x")
    C(g, "=ISNUMBER(A1)", False, "")
    C(g, "=ISNUMBER(A1)", True, "A1=3.5")
    C(g, "=ISNUMBER(TRUE)", False, why="a Boolean is not a number text")
    g = "islogical"
    C(g, "=ISLOGICAL(TRUE)", True)
    C(g, "=ISLOGICAL(\"true\")", True, why=ISTEXT_RULE)
    C(g, "=ISLOGICAL(1)", False)
    C(g, "=ISLOGICAL(A1)", True, "A1=FALSE", why="the cell holds the word FALSE, which ISLOGICAL recognises; the peer keeps a typed FALSE as the number 0")
    g = "istext"
    C(g, "=ISTEXT(\"a\")", True)
    C(g, "=ISTEXT(\"5\")", False, why=ISTEXT_RULE)
    C(g, "=ISTEXT(\" \")", False, why="ISTEXT trims the text first, and a blank is then empty")
    C(g, "=ISTEXT(A1)", False, "")
    C(g, "=ISTEXT(1)", False)
    C(g, "=ISTEXT(A1)", True, "A1=abc")
    g = "isnontext"
    C(g, "=ISNONTEXT(1)", True)
    C(g, "=ISNONTEXT(\"a\")", False)
    C(g, "=ISNONTEXT(A1)", True, "")
    C(g, "=ISNONTEXT(\"5\")", True, why=ISTEXT_RULE)
    C(g, "=ISNONTEXT(TRUE)", True)
    g = "isna"
    C(g, "=ISNA(1)", False)
    C(g, "=ISNA(A1)", True, "A1=#NULL!", why="ISNA tests for the literal #NULL!", mend=True)
    C(g, "=ISNA(1/0)", False)
    C(g, "=ISNA(A1)", False, "A1=x")
    g = "iserror"
    C(g, "=ISERROR(1/0)", True)
    C(g, "=ISERROR(1)", False)
    C(g, "=ISERROR(A1)", True, "A1=#VALUE!", why="the text #VALUE! is taken for the error",
      mend=True)
    C(g, "=ISERROR(A1)", False, "A1=x")
    C(g, "=ISERROR(\"abc\"*2)", True)
    g = "iserr"
    C(g, "=ISERR(1/0)", True)
    C(g, "=ISERR(A1)", False, "A1=x")
    C(g, "=ISERR(5)", False)
    C(g, "=ISERR(A1)", True, "A1==1/0")

    # ---- arithmetic ----------------------------------------------------------------------------
    g = "abs"
    C(g, "=ABS(-2.5)", 2.5)
    C(g, "=ABS(\"-3\")", 3)
    C(g, "=ABS(A1)", 0, "A1=x", why=TEXT_CELL_ZERO)
    C(g, "=ABS(TRUE)", 1)
    C(g, "=ABS(3)", 3)
    g = "sign"
    C(g, "=SIGN(-5)", -1)
    C(g, "=SIGN(0)", 0)
    C(g, "=SIGN(3.2)", 1)
    C(g, "=SIGN(A1)", 0, "")
    g = "sqrt"
    C(g, "=SQRT(16)", 4)
    C(g, "=SQRT(2)", math.sqrt(2))
    C(g, "=SQRT(-1)", NUM)
    C(g, "=SQRT(0)", 0)
    C(g, "=SQRT(A1)", 3, "A1=9")
    g = "exp"
    C(g, "=EXP(1)", math.e)
    C(g, "=EXP(0)", 1)
    C(g, "=EXP(-1)", math.exp(-1))
    C(g, "=EXP(2.5)", math.exp(2.5))
    g = "ln"
    C(g, "=LN(EXP(2))", 2)
    C(g, "=LN(1)", 0)
    C(g, "=LN(10)", math.log(10))
    C(g, "=LN(0)", "#DIV/0!", why="LN(0) gives the text #DIV/0! without raising an error",
      mend=True)
    g = "log"
    C(g, "=LOG(100)", 2)
    C(g, "=LOG(8,2)", 3)
    C(g, "=LOG(1,10)", 0)
    C(g, "=LOG(-1)", NUM)
    C(g, "=LOG(10,0)", NUM)
    C(g, "=LOG(81,3)", math.log(81) / math.log(3))
    g = "log10"
    C(g, "=LOG10(1000)", 3)
    C(g, "=LOG10(0.01)", -2)
    C(g, "=LOG10(2)", math.log10(2))
    g = "power"
    C(g, "=POWER(2,10)", 1024)
    C(g, "=POWER(4,0.5)", 2)
    C(g, "=POWER(2,-2)", 0.25)
    C(g, "=POWER(A1,2)", 9, "A1=3")
    g = "pi"
    C(g, "=PI()", pi)
    C(g, "=ROUND(PI(),4)", 3.1416)
    C(g, "=PI()*2", 2 * pi)
    g = "int"
    C(g, "=INT(-2.5)", -3)
    C(g, "=INT(2.9)", 2)
    C(g, "=INT(\"3.7\")", 3)
    C(g, "=INT(0)", 0)
    C(g, "=INT(-0.1)", -1)
    g = "trunc"
    C(g, "=TRUNC(-2.5)", -2)
    C(g, "=TRUNC(3.14159,2)", 3.14)
    C(g, "=TRUNC(1234.5,-2)", 1234, why="a negative count of digits acts as 0")
    C(g, "=TRUNC(2.999,1)", 2.9)
    C(g, "=TRUNC(7)", 7)
    g = "round"
    C(g, "=ROUND(2.5,0)", 3)
    C(g, "=ROUND(-2.5,0)", -3)
    C(g, "=ROUND(-0.7,0)", -1)
    C(g, "=ROUND(1234.5678,-2)", 1200)
    C(g, "=ROUND(1.005,2)", 1, why=FLOAT_ROUND)
    C(g, "=ROUND(3.14159,3)", 3.142)
    C(g, "=ROUND(0.5,0)", 1)
    C(g, "=ROUND(-1.5,0)", -2)
    C(g, "=ROUND(12345,-1)", 12350)
    C(g, "=ROUND(2.25,1.5)", 2.25, why=ROUND_EVEN)
    g = "rounddown"
    C(g, "=ROUNDDOWN(3.789,2)", 3.78)
    C(g, "=ROUNDDOWN(-2.5,0)", -3, why="ROUNDDOWN goes toward minus infinity")
    C(g, "=ROUNDDOWN(1234,-2)", 1234, why="a negative count of digits acts as 0")
    C(g, "=ROUNDDOWN(2.9,0)", 2)
    g = "roundup"
    C(g, "=ROUNDUP(3.001,2)", 3.01)
    C(g, "=ROUNDUP(-2.5,0)", -2, why="ROUNDUP goes toward plus infinity")
    C(g, "=ROUNDUP(2.1,0)", 3)
    C(g, "=ROUNDUP(1234,-2)", 1234, why="a negative count of digits acts as 0")
    g = "ceiling"
    C(g, "=CEILING(2.5,1)", 3)
    C(g, "=CEILING(0.25,0.1)", 0.3)
    C(g, "=CEILING(-2.5,1)", NUM)
    C(g, "=CEILING(-2.5,-1)", -3, why="CEILING moves a quotient with a fraction away from zero")
    C(g, "=CEILING(7.1,2)", 8)
    C(g, "=CEILING(5,0)", DIV0, why="a significance of 0 is a division by zero")
    C(g, "=CEILING(0,1)", NUM, why=DOMAIN + ", which rejects 0", mend=True)
    C(g, "=CEILING(7)", NAME, why="CEILING needs its significance; without it the error "
      "is #NAME!")
    C(g, "=CEILING(4,2)", 4)
    g = "floor"
    C(g, "=FLOOR(2.5,1)", 2)
    C(g, "=FLOOR(-2.5,-1)", -2, why="FLOOR cuts a quotient with a fraction toward zero")
    C(g, "=FLOOR(7.8,2)", 6)
    C(g, "=FLOOR(0.37,0.05)", 0.35)
    C(g, "=FLOOR(2.5,-1)", NUM)
    C(g, "=FLOOR(6,3)", 6)
    g = "even"
    C(g, "=EVEN(1.5)", 2)
    C(g, "=EVEN(-1)", -2)
    C(g, "=EVEN(0)", 0)
    C(g, "=EVEN(3)", 4)
    C(g, "=EVEN(-2.5)", -4)
    g = "odd"
    C(g, "=ODD(2)", 3)
    C(g, "=ODD(-2)", -3)
    C(g, "=ODD(0)", 1)
    C(g, "=ODD(1.2)", 3)
    C(g, "=ODD(5)", 5)
    g = "mod"
    C(g, "=MOD(7,3)", 1)
    C(g, "=MOD(5,0)", DIV0)
    C(g, "=MOD(7.5,2)", 1, why="MOD gives the floor of the remainder")
    C(g, "=MOD(-3,2)", -3, why="a negative dividend is only floored, not reduced", mend=True)
    C(g, "=MOD(3,-2)", -1)
    C(g, "=MOD(1E10,3)", 1)
    C(g, "=MOD(2,5)", 2)
    C(g, "=MOD(10,2.5)", 0)
    C(g, "=MOD(-7,-3)", -1)
    g = "fact"
    C(g, "=FACT(5)", 120)
    C(g, "=FACT(0)", 1)
    C(g, "=FACT(-1)", 1, why="FACT of a number at or below 0 is 1")
    C(g, "=FACT(3.7)", 6)
    C(g, "=FACT(20)", 2432902008176640000)
    g = "radians"
    C(g, "=RADIANS(180)", pi)
    C(g, "=RADIANS(90)", pi / 2)
    C(g, "=RADIANS(-45)", -pi / 4)
    g = "degrees"
    C(g, "=DEGREES(PI())", 180)
    C(g, "=DEGREES(1)", 180 / pi)
    C(g, "=DEGREES(0)", 0)

    # ---- trigonometry --------------------------------------------------------------------------
    g = "trig"
    C(g, "=SIN(PI()/2)", 1)
    C(g, "=SIN(0)", 0)
    C(g, "=SIN(1)", math.sin(1))
    C(g, "=COS(0)", 1)
    C(g, "=COS(PI())", -1)
    C(g, "=COS(1)", math.cos(1))
    C(g, "=TAN(PI()/4)", math.tan(pi / 4))
    C(g, "=TAN(1)", math.tan(1))
    C(g, "=ASIN(1)", pi / 2)
    C(g, "=ASIN(0.5)", math.asin(0.5))
    C(g, "=ACOS(0.5)", math.acos(0.5))
    C(g, "=ACOS(1)", 0)
    C(g, "=ATAN(1)", pi / 4)
    C(g, "=ATAN(-1)", -pi / 4)
    C(g, "=ATAN2(1,1)", pi / 4)
    C(g, "=ATAN2(1,2)", math.atan2(2, 1))
    C(g, "=ATAN2(-1,0)", pi)
    C(g, "=ATAN2(0,0)", 0)
    C(g, "=SINH(1)", math.sinh(1))
    C(g, "=SINH(0)", 0)
    C(g, "=COSH(1)", math.cosh(1))
    C(g, "=COSH(0)", 1)
    C(g, "=TANH(0.5)", math.tanh(0.5))
    C(g, "=TANH(0)", 0)
    C(g, "=ASINH(1)", math.asinh(1))
    C(g, "=ASINH(0)", 0)
    C(g, "=ACOSH(2)", math.acosh(2))
    C(g, "=ACOSH(1)", 0)
    C(g, "=ATANH(0.5)", math.atanh(0.5))
    C(g, "=ATANH(0)", 0)

    # ---- random and clock ----------------------------------------------------------------------
    g = "rand"
    C(g, "=AND(RAND()>=0,RAND()<1)", True)
    C(g, "=RAND()<>RAND()", True)
    C(g, "=INT(RAND())", 0)
    g = "now"
    C(g, "=NOW()>=TODAY()", True)
    C(g, "=NOW()-TODAY()<1", True)
    C(g, "=NOW()>45000", True)
    g = "today"
    C(g, "=TODAY()=INT(TODAY())", True)
    C(g, "=TODAY()>45000", True)
    C(g, "=TODAY()=INT(NOW())", True)

    # ---- text ----------------------------------------------------------------------------------
    g = "len"
    C(g, "=LEN(\"abc\")", 3)
    C(g, "=LEN(\"\")", 0)
    C(g, "=LEN(12.5)", 4)
    C(g, "=LEN(A1)", 3, "A1=0.5")
    C(g, "=LEN(A1)", 0, "")
    C(g, "=LEN(\" a \")", 3)
    g = "lower"
    C(g, "=LOWER(\"AbC\")", "abc")
    C(g, "=LOWER(\"X1\")", "x1")
    C(g, "=LOWER(A1)", "hello", "A1=HeLLo")
    g = "upper"
    C(g, "=UPPER(\"abc\")", "ABC")
    C(g, "=UPPER(\"a-b c\")", "A-B C")
    C(g, "=UPPER(TRUE)", "TRUE", why=BOOL_WORD)
    g = "trim"
    C(g, "=TRIM(\"  a   b  \")", "a b")
    C(g, "=TRIM(\"\")", "")
    C(g, "=TRIM(\" x\")", "x")
    C(g, "=LEN(TRIM(\"  ab  cd  \"))", 5)
    C(g, "=TRIM(A1)", "p q", "A1= p  q ")
    g = "left"
    C(g, "=LEFT(\"abc\")", "a")
    C(g, "=LEFT(\"abc\",2)", "ab")
    C(g, "=LEFT(\"abc\",5)", "abc")
    C(g, "=LEFT(\"abc\",-1)", VALUE, why=PEER_ERR502)
    C(g, "=LEFT(\"abc\",0)", "")
    C(g, "=LEFT(12345,2)", "12")
    C(g, "=LEFT(\"abc\",1.5)", "ab", why=ROUND_EVEN)
    C(g, "=LEFT(\"\")", "")
    g = "right"
    C(g, "=RIGHT(\"abc\")", "c")
    C(g, "=RIGHT(\"abc\",5)", "abc")
    C(g, "=RIGHT(\"abc\",2)", "bc")
    C(g, "=RIGHT(\"abc\",-2)", VALUE, why=PEER_ERR502)
    C(g, "=RIGHT(A1,3)", "345", "A1=12345")
    g = "mid"
    C(g, "=MID(\"abcdef\",2,3)", "bcd")
    C(g, "=MID(\"abc\",5,1)", VALUE, why="MID raises #VALUE! when the start lies past the end")
    C(g, "=MID(\"abc\",0,1)", VALUE, why=PEER_ERR502)
    C(g, "=MID(\"abcdef\",4,10)", "def")
    C(g, "=MID(\"abc\",2,0)", VALUE, why="MID raises #VALUE! for a count below 1")
    C(g, "=MID(\"abc\",1.9,1)", "a")
    C(g, "=MID(\"abc\",2)", VALUE, why="MID without its count gives #VALUE!")
    C(g, "=MID(A1,2,2)", "23", "A1=12345")
    g = "concatenate"
    C(g, "=CONCATENATE(\"a\",\"b\",\"c\")", "abc")
    C(g, "=CONCATENATE(A1:A3)", "cba", "A1=a;A2=b;A3=c", why="the cells of a range argument "
      "are joined last cell first")
    C(g, "=CONCATENATE(1,2)", "12")
    C(g, "=CONCATENATE(\"x\",TRUE)", "xTRUE", why=BOOL_WORD)
    C(g, "=CONCATENATE(1.5,\"\")", "1.5")
    C(g, "=CONCATENATE(A1,\"-\",A2)", "p-q", "A1=p;A2=q")
    g = "dollar"
    C(g, "=DOLLAR(1234.5,2)", "$1,234.50")
    C(g, "=DOLLAR(-1234.5,2)", "($1,234.50)", why="the negative currency format of the English (United States) locale puts the amount in parentheses")
    C(g, "=DOLLAR(1000000,0)", "$1,000,000")
    C(g, "=DOLLAR(1234.567)", VALUE, why="DOLLAR always takes both of its values; with one "
      "argument the second pop finds nothing", mend=True)
    C(g, "=DOLLAR(0.125,2)", "$0.13")
    g = "fixed"
    C(g, "=FIXED(1.005,2)", 1, why=FIXED_NUMBER + "; " + FLOAT_ROUND)
    C(g, "=FIXED(1234.567,1)", 1234.6, why=FIXED_NUMBER)
    C(g, "=FIXED(1234.567,-1)", 1234.567, why=FIXED_NUMBER + "; a negative count leaves "
      "the number as it is")
    C(g, "=FIXED(2.5,0)", 2, why=FIXED_NUMBER + "; halves round to even")
    C(g, "=FIXED(1234.567,1,TRUE)", 1234.6, why=FIXED_NUMBER)
    C(g, "=FIXED(3.14159,2)+1", 4.14)

    # ---- date and time -------------------------------------------------------------------------
    g = "date"
    C(g, "=DATE(2024,1,1)", Serial(2024, 1, 1))
    C(g, "=DATE(2024,2,29)", Serial(2024, 2, 29))
    C(g, "=DATE(1900,1,1)", 2)
    C(g, "=DATE(2024,13,1)", VALUE, why=STRICT_DATE)
    C(g, "=DATE(2024,2,30)", VALUE, why=STRICT_DATE)
    C(g, "=DATE(2023,2,29)", VALUE, why=STRICT_DATE)
    C(g, "=DATE(1999,12,31)", Serial(1999, 12, 31))
    C(g, "=DATE(2024,6,15.4)", Serial(2024, 6, 15))
    C(g, "=DATE(24,1,1)", Serial(24, 1, 1), why="the year is taken as written; 24 is "
      "the year 24")
    g = "time"
    C(g, "=TIME(12,30,0)", 0.5208333333333334)
    C(g, "=TIME(0,0,1)", 1 / 86400)
    C(g, "=TIME(23,59,59)", 86399 / 86400)
    C(g, "=TIME(24,0,0)", VALUE, why=STRICT_DATE)
    C(g, "=TIME(0,90,0)", VALUE, why=STRICT_DATE)
    C(g, "=TIME(6,0,0)*24", 6)
    g = "year"
    C(g, "=YEAR(45292)", 2024)
    C(g, "=YEAR(DATE(1999,12,31))", 1999)
    C(g, "=YEAR(\"1/15/2024\")", 2024)
    C(g, "=YEAR(0)", 1899)
    g = "month"
    C(g, "=MONTH(45292)", 1)
    C(g, "=MONTH(DATE(2024,7,4))", 7)
    C(g, "=MONTH(45657.75)", 12)
    g = "day"
    C(g, "=DAY(45306)", 15)
    C(g, "=DAY(A1)", 15, "A1=45306")
    C(g, "=DAY(DATE(2024,2,29))", 29)
    C(g, "=DAY(\"1/15/2024\")", VALUE, why="DAY accepts only a number text")
    C(g, "=DAY(\"x\")", VALUE)
    g = "hour"
    C(g, "=HOUR(0.75)", 18)
    C(g, "=HOUR(45292.25)", 6)
    C(g, "=HOUR(\"\")", 0, why="an empty text gives hour 0")
    C(g, "=HOUR(\"abc\")", VALUE)
    C(g, "=HOUR(TIME(13,5,7))", 13)
    g = "minute"
    C(g, "=MINUTE(TIME(12,30,0))", 30)
    C(g, "=MINUTE(0.5)", 0)
    C(g, "=MINUTE(TIME(1,59,0))", 59)
    C(g, "=MINUTE(A1)", 0, "")
    g = "second"
    C(g, "=SECOND(TIME(1,2,3))", 3)
    C(g, "=SECOND(0)", 0)
    C(g, "=SECOND(TIME(0,0,59))", 59)
    g = "weekday"
    C(g, "=WEEKDAY(DATE(2024,1,1))", 2)
    C(g, "=WEEKDAY(DATE(2024,1,1),2)", 1)
    C(g, "=WEEKDAY(DATE(2024,1,1),3)", 0)
    C(g, "=WEEKDAY(DATE(2024,1,6))", 7)
    C(g, "=WEEKDAY(DATE(2024,1,7),2)", 7)
    C(g, "=WEEKDAY(45292,0)", 2, why="a WEEKDAY type of 0 counts as 1")
    C(g, "=WEEKDAY(45292,5)", 2, why="a WEEKDAY type above 3 counts as 1")

    # ---- formula cells referring to formula cells ----------------------------------------------
    g = "chain"
    C(g, "=A2+1", 3, "A1=1;A2==A1+1")
    C(g, "=SUM(A1:A3)", 6, "A1=1;A2==A1*2;A3==A2+1")
    C(g, "=A1&A2", "ab", "A1==\"a\";A2==LOWER(\"B\")")
    C(g, "=IF(A1,1,2)", 1, "A1==1<2")
    C(g, "=COUNT(A1:A3)", 3, "A1==1;A2==2;A3==3")
    C(g, "=A1", True, "A1==TRUE()")
    C(g, "=A1*2", 2, "A1==TRUE()")
    C(g, "=LEN(A1)", 4, "A1==TRUE()", why=BOOL_WORD)
