"""Writes a workbook of formulas with xlwt for the interop tests: python3 xlwt_formulas.py OUT.xls

Sheet "Calc" holds one formula per row in column B; the formula texts are the expectations of
tests/xls/PeerInteropTest.cpp."""
import sys

import xlwt

FORMULAS = [
    "A1+B1*2",
    "(A1+B1)*2",
    "SUM(A1:A3)",
    "IF(A1>0,1,0)",
    "-A1%",
    "$A$1&\"x\"\"y\"",
    "Other!C3+'My Sheet'!$B$2",
    "SUM(Other!A1:B4)",
    "AVERAGE(1.5,A1,TRUE)",
    "A1<>B1",
]


def main(out):
    book = xlwt.Workbook()
    calc = book.add_sheet("Calc")
    book.add_sheet("Other")
    book.add_sheet("My Sheet")
    for row, text in enumerate(FORMULAS):
        calc.write(row, 1, xlwt.Formula(text))
    book.save(out)


if __name__ == "__main__":
    main(sys.argv[1])
