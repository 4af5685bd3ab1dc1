// The benchmark workbook layout, shared by the SheetJS scripts (the Python twin is
// bench_layout.py; both must give the same cells). N cells on one sheet "Data", 20 columns,
// filled row by row: columns A-L numbers (60%), M-Q shared strings (25%), R-T formulas (15%).
'use strict';

const kColumns = 20;

function Cell(n, r, c) {
  const k = r * kColumns + c;
  if (c < 12) return { kind: 'number', value: ((k * 7919) % 1000003) / 8 };
  if (c < 17) {
    const pool = Math.max(1, Math.floor(n / 16));
    return { kind: 'string', value: 'S' + (((r * 5 + (c - 12)) * 31) % pool) };
  }
  const row = r + 1;
  if (c === 17) return { kind: 'formula', formula: `A${row}+B${row}` };
  if (c === 18) return { kind: 'formula', formula: `SUM(A${row}:L${row})` };
  return { kind: 'formula', formula: `R${row}*2` };
}

// Calls visit(r, c, cell) for each of the n cells in row order.
function ForEachCell(n, visit) {
  for (let k = 0; k < n; k++) {
    const r = Math.floor(k / kColumns), c = k % kColumns;
    visit(r, c, Cell(n, r, c));
  }
}

module.exports = { kColumns, Cell, ForEachCell };
