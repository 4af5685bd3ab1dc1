"""Writes a small workbook with xlwt for the interop tests: python3 xlwt_write.py OUT.xls

The contents must match the expectations of tests/xls/PeerInteropTest.cpp."""
import sys

import xlwt


def main(out):
    book = xlwt.Workbook(encoding="utf-8")
    numbers = book.add_sheet("Numbers")
    numbers.write(0, 0, 1)
    numbers.write(0, 1, 2.5)
    numbers.write(0, 2, -12.34)
    numbers.write(1, 0, 123456789.125)
    numbers.write(1, 1, 1e-7)
    for col in range(5):
        numbers.write(2, col, col * 10)
    numbers.write(3, 0, True)
    texts = book.add_sheet("Texte \u00e4\u00f6\u00fc")
    texts.write(0, 0, "hello")
    texts.write(1, 0, "\u00dcn\u00efc\u00f6d\u00e9 \u20ac")
    texts.write(2, 0, "\u041f\u0440\u0438\u0432\u0435\u0442")
    texts.write(3, 0, "x" * 9000 + "\u0416")
    texts.write(4, 0, "hello")
    for row in range(5, 405):
        texts.write(row, 1, "row %d %s" % (row, "\u00e9" * (row % 50)))
    book.save(out)


if __name__ == "__main__":
    main(sys.argv[1])
