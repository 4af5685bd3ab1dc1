"""Writes tests/data/xls/book/xlwt_unknown_functions.xls for the sstool command-line test:
python3 xlwt_unknown_functions.py OUT.xls

Sheet "Data": numbers in A1:A3, texts in B1:B3, formulas in C1:C3 that use functions the
engine does not know (VLOOKUP, REPT, SUMPRODUCT; xlwt stores an empty text as their result)
and a known one in C4 (SUM)."""
import sys

import xlwt


def main(out):
    book = xlwt.Workbook()
    sheet = book.add_sheet("Data")
    for row, (number, text) in enumerate([(10, "a"), (20, "b"), (30, "c")]):
        sheet.write(row, 0, number)
        sheet.write(row, 1, text)
    sheet.write(0, 2, xlwt.Formula("VLOOKUP(20,A1:B3,2,FALSE)"))
    sheet.write(1, 2, xlwt.Formula('REPT("ab",3)'))
    sheet.write(2, 2, xlwt.Formula("SUMPRODUCT(A1:A3,A1:A3)"))
    sheet.write(3, 2, xlwt.Formula("SUM(A1:A3)"))
    book.save(out)


if __name__ == "__main__":
    main(sys.argv[1])
