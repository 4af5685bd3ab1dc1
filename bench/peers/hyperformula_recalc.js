#!/usr/bin/env node
// HyperFormula side of the recalculation benchmark. Two workloads on one sheet each:
//   chain: A1 = 1, A2 = =A1+1, ..., A<n+1> = =A<n>+1          (n formulas in one chain)
//   sum:   A1..A<n+9> = 1, 2, 3, ...; B<i> = =SUM(A<i>:A<i+9>)  (n formulas over 10 cells)
// For each: the time to build the sheet and compute every formula (building computes), the time
// to change A1 and recalculate, and the time of rebuildAndRecalculate (its full recalculation).
// Prints one JSON object; the check values let the caller compare results with its own.
// With --tsv, one line per measurement instead, for callers without a JSON reader:
//   hyperformula <TAB> workload <TAB> build|change|rebuild <TAB> formulas <TAB> milliseconds <TAB> probe
// --change-row R changes A(R+1) of the sum workload instead of A1 (R < 10: B1 still reads it).
// Usage: hyperformula_recalc.js [--n 100000] [--repeat 1] [--tsv] [--change-row 0]
'use strict';
const { Load } = require('./peer_modules');
const { HyperFormula } = Load('hyperformula');

function Arg(name, fallback) {
  const i = process.argv.indexOf('--' + name);
  return i > 0 && i + 1 < process.argv.length ? Number(process.argv[i + 1]) : fallback;
}

function Ms(start) {
  return Number(process.hrtime.bigint() - start) / 1e6;
}

function Chain(n) {
  const rows = new Array(n + 1);
  rows[0] = [1];
  for (let i = 1; i <= n; i++) rows[i] = [`=A${i}+1`];
  return rows;
}

function Sums(n) {
  const rows = new Array(n + 9);
  for (let i = 0; i < n + 9; i++) rows[i] = [i + 1, i < n ? `=SUM(A${i + 1}:A${i + 10})` : null];
  return rows;
}

function Run(name, rows, formulas, probe, changeRow = 0) {
  // The default sheet limit (40,000 rows) is below the workloads' size.
  const options = { licenseKey: 'gpl-v3', useStats: false, maxRows: rows.length + 1 };
  let t = process.hrtime.bigint();
  const hf = HyperFormula.buildFromArray(rows, options);
  const buildMs = Ms(t);
  const before = hf.getCellValue(probe);
  t = process.hrtime.bigint();
  hf.setCellContents({ sheet: 0, col: 0, row: changeRow }, [[1000]]);
  const changeMs = Ms(t);
  const after = hf.getCellValue(probe);
  t = process.hrtime.bigint();
  hf.rebuildAndRecalculate();
  const rebuildMs = Ms(t);
  const rebuilt = hf.getCellValue(probe);
  hf.destroy();
  return { workload: name, formulas, build_and_calc_ms: buildMs,
           change_and_recalc_ms: changeMs, rebuild_and_recalc_ms: rebuildMs, probe: probe,
           probe_before: before, probe_after: after, probe_rebuilt: rebuilt };
}

function main() {
  const n = Arg('n', 100000);
  const repeat = Math.max(1, Arg('repeat', 1));
  const results = [];
  for (let r = 0; r < repeat; r++) {
    // chain: the last cell holds n + 1 before the change and n + 1000 after A1 becomes 1000.
    results.push(Run('chain', Chain(n), n, { sheet: 0, col: 0, row: n }));
    // sum: B1 = 1+...+10 = 55 before, 55 - (R + 1) + 1000 after changing A(R+1).
    results.push(Run('sum', Sums(n), n, { sheet: 0, col: 1, row: 0 }, Arg('change-row', 0)));
  }
  if (process.argv.includes('--tsv')) {
    for (const r of results) {
      process.stdout.write(`hyperformula\t${r.workload}\tbuild\t${r.formulas}\t${r.build_and_calc_ms.toFixed(3)}\t${r.probe_before}\n`);
      process.stdout.write(`hyperformula\t${r.workload}\tchange\t${r.formulas}\t${r.change_and_recalc_ms.toFixed(3)}\t${r.probe_after}\n`);
      process.stdout.write(`hyperformula\t${r.workload}\trebuild\t${r.formulas}\t${r.rebuild_and_recalc_ms.toFixed(3)}\t${r.probe_rebuilt}\n`);
    }
    return;
  }
  const mem = process.memoryUsage();
  process.stdout.write(JSON.stringify({
    peer: 'hyperformula', version: HyperFormula.version, node: process.version, n, repeat,
    results, peak_rss_bytes: process.resourceUsage().maxRSS * 1024, heap_used_bytes: mem.heapUsed,
  }) + '\n');
}

main();
