"""The benchmark workbook layout (twin of bench_layout.js; both must give the same cells).

N cells on one sheet "Data", 20 columns, filled row by row: columns A-L numbers (60%),
M-Q shared strings (25%), R-T formulas (15%).
"""

COLUMNS = 20


def Cell(n, r, c):
    k = r * COLUMNS + c
    if c < 12:
        return ("number", ((k * 7919) % 1000003) / 8)
    if c < 17:
        pool = max(1, n // 16)
        return ("string", "S%d" % (((r * 5 + (c - 12)) * 31) % pool))
    row = r + 1
    if c == 17:
        return ("formula", "A%d+B%d" % (row, row))
    if c == 18:
        return ("formula", "SUM(A%d:L%d)" % (row, row))
    return ("formula", "R%d*2" % row)


def Cells(n):
    """(row, column, (kind, value)) for each of the n cells in row order."""
    for k in range(n):
        r, c = divmod(k, COLUMNS)
        yield r, c, Cell(n, r, c)
