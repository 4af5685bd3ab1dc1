// The peer side of FormulaBench: builds the same workload in HyperFormula and prints the
// best of three times, in milliseconds, of building the sheet and calculating it.
// Usage: node hyperformula_bench.js chain|sums ROWS
const { HyperFormula } = require('hyperformula');

const workload = process.argv[2];
const rows = Number(process.argv[3] || 100000);

function sheet() {
  const data = [];
  if (workload === 'chain') {
    data.push([1]);
    for (let r = 1; r < rows; ++r) data.push([`=A${r}+1`]);
  } else {
    for (let r = 0; r < rows + 9; ++r) {
      data.push([r % 97, r < rows ? `=SUM(A${r + 1}:A${r + 10})` : null]);
    }
  }
  return data;
}

let best = Infinity;
for (let i = 0; i < 3; ++i) {
  const data = sheet();
  const t0 = process.hrtime.bigint();
  const hf = HyperFormula.buildFromArray(data, { licenseKey: 'gpl-v3', maxRows: rows + 16 });
  const last = hf.getCellValue({ sheet: 0, col: workload === 'chain' ? 0 : 1, row: rows - 1 });
  const t1 = process.hrtime.bigint();
  if (typeof last !== 'number') throw new Error('unexpected result ' + last);
  best = Math.min(best, Number(t1 - t0) / 1e6);
  hf.destroy();
}
console.log(best.toFixed(1));
