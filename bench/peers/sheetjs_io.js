#!/usr/bin/env node
// SheetJS side of the workbook file benchmark. Prints one JSON object on stdout.
//
//   sheetjs_io.js bench --file F [--file G ...] [--repeat R]
//       For each file: the time of readFile, and of writeFile (bookType "biff8") of what was
//       read, each in a fresh child process so that its peak memory is its own.
//   sheetjs_io.js bench --cells 10000,100000,1000000 --dir D [--repeat R]
//       Builds the benchmark layout (bench_layout.js) in memory, times writeFile to
//       D/sheetjs-<N>.xls, then times readFile of that file.
//   sheetjs_io.js generate --cells N --out F
//       Writes the benchmark layout as BIFF8. SheetJS writes formula cells as their values
//       (its BIFF8 writer has no formula records), so files meant to carry formulas come from
//       xlwt_workbook.py instead.
//
// Times are wall-clock milliseconds of the library call alone; peak_rss_bytes is the child
// process's maximum resident set, baseline_rss_bytes the same just before the call.
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const { Load } = require('./peer_modules');
const layout = require('./bench_layout');

function Args() {
  const args = { command: process.argv[2], files: [], cells: [], repeat: 1 };
  for (let i = 3; i < process.argv.length; i++) {
    const a = process.argv[i], v = process.argv[i + 1];
    if (a === '--file') { args.files.push(v); i++; }
    else if (a === '--cells') { args.cells = v.split(',').map(Number); i++; }
    else if (a === '--dir') { args.dir = v; i++; }
    else if (a === '--out') { args.out = v; i++; }
    else if (a === '--repeat') { args.repeat = Math.max(1, Number(v)); i++; }
    else if (a === '--op') { args.op = v; i++; }
    else throw new Error('unknown argument ' + a);
  }
  return args;
}

function Rss() {
  return process.resourceUsage().maxRSS * 1024;
}

// The benchmark layout as a SheetJS workbook; formula cells carry formula and value.
function BuildWorkbook(XLSX, n) {
  const ws = {};
  const rowValues = [];
  let lastRow = 0;
  layout.ForEachCell(n, (r, c, cell) => {
    if (c === 0) rowValues.length = 0;
    const ref = XLSX.utils.encode_cell({ r, c });
    if (cell.kind === 'number') {
      ws[ref] = { t: 'n', v: cell.value };
      rowValues[c] = cell.value;
    } else if (cell.kind === 'string') {
      ws[ref] = { t: 's', v: cell.value };
    } else {
      let v;
      if (c === 17) v = rowValues[0] + rowValues[1];
      else if (c === 18) v = rowValues.slice(0, 12).reduce((a, b) => a + b, 0);
      else v = (rowValues[0] + rowValues[1]) * 2;
      ws[ref] = { t: 'n', v, f: cell.formula };
    }
    lastRow = r;
  });
  const lastCol = Math.min(n, layout.kColumns) - 1;
  ws['!ref'] = XLSX.utils.encode_range({ s: { r: 0, c: 0 }, e: { r: lastRow, c: lastCol } });
  return { SheetNames: ['Data'], Sheets: { Data: ws } };
}

function Timed(fn) {
  const baseline = Rss();
  const t = process.hrtime.bigint();
  const extra = fn();
  const ms = Number(process.hrtime.bigint() - t) / 1e6;
  return Object.assign({ ms, baseline_rss_bytes: baseline, peak_rss_bytes: Rss() }, extra || {});
}

// One operation in this (child) process.
function Child(args) {
  const XLSX = Load('xlsx');
  let result;
  if (args.op === 'read') {
    result = Timed(() => {
      const wb = XLSX.readFile(args.files[0], { cellFormula: true });
      const ws = wb.Sheets[wb.SheetNames[0]];
      return { sheets: wb.SheetNames.length, ref: ws['!ref'] || '' };
    });
  } else if (args.op === 'write') {
    const wb = XLSX.readFile(args.files[0], { cellFormula: true });
    result = Timed(() => { XLSX.writeFile(wb, args.out, { bookType: 'biff8' }); });
  } else if (args.op === 'generate') {
    const n = args.cells[0];
    const wb = BuildWorkbook(XLSX, n);
    result = Timed(() => { XLSX.writeFile(wb, args.out, { bookType: 'biff8' }); });
    result.cells = n;
  } else {
    throw new Error('unknown operation ' + args.op);
  }
  result.bytes = fs.existsSync(args.out || '') ? fs.statSync(args.out).size : undefined;
  process.stdout.write(JSON.stringify(result) + '\n');
}

function RunChild(op, file, out, cells) {
  const argv = [__filename, 'child', '--op', op];
  if (file) argv.push('--file', file);
  if (out) argv.push('--out', out);
  if (cells) argv.push('--cells', String(cells));
  const r = spawnSync(process.execPath, argv, { encoding: 'utf8', maxBuffer: 1 << 20 });
  if (r.status !== 0) {
    return { op, file, error: (r.stderr || '').trim().split('\n').slice(-1)[0] || `exit ${r.status}` };
  }
  return Object.assign({ op, file: file || out }, JSON.parse(r.stdout));
}

function Bench(args) {
  const XLSX = Load('xlsx');
  const runs = [];
  const scratch = fs.mkdtempSync(path.join(require('os').tmpdir(), 'sheetjs-io-'));
  try {
    const files = args.files.slice();
    for (const n of args.cells) {
      if (!args.dir) throw new Error('--cells needs --dir');
      fs.mkdirSync(args.dir, { recursive: true });
      const out = path.join(args.dir, `sheetjs-${n}.xls`);
      for (let k = 0; k < args.repeat; k++) runs.push(Object.assign({ cells: n }, RunChild('generate', null, out, n)));
      files.push(out);
    }
    for (const f of files) {
      for (let k = 0; k < args.repeat; k++) {
        runs.push(RunChild('read', f));
        runs.push(RunChild('write', f, path.join(scratch, 'rewrite.xls')));
      }
    }
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
  process.stdout.write(JSON.stringify({ peer: 'sheetjs', version: XLSX.version, node: process.version,
                                        book_type: 'biff8', runs }) + '\n');
  return runs.some((r) => r.error) ? 1 : 0;
}

function main() {
  const args = Args();
  if (args.command === 'child') return Child(args);
  if (args.command === 'bench') process.exitCode = Bench(args);
  else if (args.command === 'generate') {
    const r = RunChild('generate', null, args.out, args.cells[0]);
    process.stdout.write(JSON.stringify(r) + '\n');
    process.exitCode = r.error ? 1 : 0;
  } else {
    process.stderr.write('usage: sheetjs_io.js bench|generate ... (see the head of this file)\n');
    process.exitCode = 2;
  }
}

main();
