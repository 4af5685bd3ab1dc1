#!/usr/bin/env node
// SheetJS as a peer of the workbook file tests.
//
//   sheetjs_peer.js samples OUTDIR   writes OUTDIR/sheetjs-*.xls (bookType "biff8") and
//                                    OUTDIR/sheetjs-manifest.json with the content a reader
//                                    must find (the dump form of peer_dump.py)
//   sheetjs_peer.js dump FILE        prints what SheetJS reads from FILE in the dump form;
//                                    compare it with peer_dump.py --dump
//
// SheetJS's BIFF8 writer stores formula cells as their values only, writes no row heights or
// hidden rows, and cuts texts to 255 characters, so its samples stay within that; its reader
// does decode formulas, so a dump of our files shows their formula text.
'use strict';
const fs = require('fs');
const path = require('path');
const XLSX = require('xlsx');

const kErrors = { 0x00: '#NULL!', 0x07: '#DIV/0!', 0x0f: '#VALUE!', 0x17: '#REF!', 0x1d: '#NAME!',
                  0x24: '#NUM!', 0x2a: '#N/A!' };
const kErrorCodes = Object.fromEntries(Object.entries(kErrors).map(([k, v]) => [v, Number(k)]));

function Expected(name, visible) {
  return { name, visible, cells: [], merged: [], colWidths: {}, rowHeights: {},
           hiddenCols: [], hiddenRows: [] };
}

function Cell(ws, exp, ref, type, value) {
  const { r, c } = XLSX.utils.decode_cell(ref);
  const t = { number: 'n', text: 's', boolean: 'b', error: 'e' }[type];
  ws[ref] = { t, v: type === 'error' ? kErrorCodes[value] : value };
  exp.cells.push({ ref, col: c, row: r, type, value });
}

function Finish(ws) {
  const refs = Object.keys(ws).filter((k) => k[0] !== '!').map((k) => XLSX.utils.decode_cell(k));
  const e = { r: Math.max(...refs.map((p) => p.r)), c: Math.max(...refs.map((p) => p.c)) };
  ws['!ref'] = XLSX.utils.encode_range({ s: { r: 0, c: 0 }, e });
  return ws;
}

function Values() {
  const ws = {}, exp = Expected('Values', true);
  [0, 1, -1, 3.5, -0.125, 1e300, 1e-300, 123456789.123, 2 ** 31, 0.1, 1 / 3]
    .forEach((v, i) => Cell(ws, exp, 'A' + (i + 1), 'number', v));
  ['plain', 'with "quotes"', 'Gr\u00fc\u00dfe', '\u0416\u0436 \u4e2d\u6587', 'x'.repeat(255),
   '=not a formula', '  padded  ', 'TRUE']
    .forEach((v, i) => Cell(ws, exp, 'B' + (i + 1), 'text', v));
  Cell(ws, exp, 'C1', 'boolean', true);
  Cell(ws, exp, 'C2', 'boolean', false);
  ['#NULL!', '#DIV/0!', '#VALUE!', '#REF!', '#NAME!', '#NUM!', '#N/A!']
    .forEach((v, i) => Cell(ws, exp, 'D' + (i + 1), 'error', v));
  // Texts that read as numbers, dates, times or percentages stay texts.
  ['0001', '42', '1e15', '1/3', '7/2', '23:59:59', '12.5%', '2024-01-01', 'FALSE']
    .forEach((v, i) => Cell(ws, exp, 'E' + (i + 1), 'text', v));
  return { SheetNames: ['Values'], Sheets: { Values: Finish(ws) }, expected: [exp] };
}

function Layout() {
  const ws = {}, exp = Expected('Layout', true);
  Cell(ws, exp, 'A1', 'text', 'merged A1:C2');
  Cell(ws, exp, 'B4', 'text', 'merged B4:B6');
  Cell(ws, exp, 'A9', 'number', 9);
  ws['!merges'] = [XLSX.utils.decode_range('A1:C2'), XLSX.utils.decode_range('B4:B6')];
  exp.merged.push('A1:C2', 'B4:B6');
  // Widths in SheetJS's character units; the file holds them in 1/256 of a character.
  ws['!cols'] = [{ width: 20 }, null, null, { width: 5 }, null, { width: 8, hidden: true }];
  Object.assign(exp.colWidths, { 0: 20 * 256, 3: 5 * 256 });
  exp.hiddenCols.push(5);
  const second = {}, exp2 = Expected('Second Sheet', true);
  Cell(second, exp2, 'A1', 'number', 2);
  const hidden = {}, exp3 = Expected('Hidden', false);
  Cell(hidden, exp3, 'A1', 'text', 'in a hidden sheet');
  return {
    SheetNames: ['Layout', 'Second Sheet', 'Hidden'],
    Sheets: { Layout: Finish(ws), 'Second Sheet': Finish(second), Hidden: Finish(hidden) },
    Workbook: { Sheets: [{ Hidden: 0 }, { Hidden: 0 }, { Hidden: 1 }] },
    expected: [exp, exp2, exp3],
  };
}

function Strings() {
  const ws = {}, exp = Expected('Strings', true);
  for (let r = 1; r <= 2000; r++) {
    Cell(ws, exp, 'A' + r, 'text', 'string number ' + String(r).padStart(5, '0'));
    Cell(ws, exp, 'B' + r, 'text', '\u0416\u00e9'.repeat((r % 50) + 1) + r);
  }
  Cell(ws, exp, 'A2001', 'text', 'y'.repeat(255));
  return { SheetNames: ['Strings'], Sheets: { Strings: Finish(ws) }, expected: [exp] };
}

function Samples(out) {
  fs.mkdirSync(out, { recursive: true });
  const manifest = {};
  for (const [name, make] of [['sheetjs-values.xls', Values], ['sheetjs-layout.xls', Layout],
                              ['sheetjs-strings.xls', Strings]]) {
    const wb = make();
    const expected = wb.expected;
    delete wb.expected;
    XLSX.writeFile(wb, path.join(out, name), { bookType: 'biff8' });
    manifest[name] = { writer: 'sheetjs ' + XLSX.version, sheets: expected };
  }
  fs.writeFileSync(path.join(out, 'sheetjs-manifest.json'), JSON.stringify(manifest, null, 1));
  process.stdout.write(`wrote ${Object.keys(manifest).length} files to ${out}\n`);
}

function Dump(file) {
  const wb = XLSX.readFile(file, { cellFormula: true, cellStyles: true });
  const out = { reader: 'sheetjs ' + XLSX.version, sheets: [], names: [] };
  wb.SheetNames.forEach((name, i) => {
    const ws = wb.Sheets[name];
    const meta = ((wb.Workbook || {}).Sheets || [])[i] || {};
    const s = Expected(name, !meta.Hidden);
    const refs = Object.keys(ws).filter((k) => k[0] !== '!');
    refs.map((k) => [k, XLSX.utils.decode_cell(k)])
      .sort((a, b) => a[1].r - b[1].r || a[1].c - b[1].c)
      .forEach(([ref, { r, c }]) => {
        const cell = ws[ref];
        const type = { n: 'number', s: 'text', b: 'boolean', e: 'error', z: 'blank', d: 'number' }[cell.t];
        let value = cell.v;
        if (type === 'error') value = kErrors[cell.v] || '#' + cell.v;
        if (cell.t === 'd') value = (cell.v - Date.UTC(1899, 11, 30)) / 86400000;
        const entry = { ref, col: c, row: r, type, value: value === undefined ? null : value };
        if (cell.f) entry.formula = '=' + cell.f;
        s.cells.push(entry);
      });
    (ws['!merges'] || []).forEach((m) => s.merged.push(XLSX.utils.encode_range(m)));
    (ws['!cols'] || []).forEach((col, c) => {
      if (!col) return;
      if (col.hidden) s.hiddenCols.push(c);
      if (col.width !== undefined) s.colWidths[c] = Math.round(col.width * 256);
    });
    (ws['!rows'] || []).forEach((row, r) => {
      if (!row) return;
      if (row.hidden) s.hiddenRows.push(r);
      if (row.hpt !== undefined) s.rowHeights[r] = Math.round(row.hpt * 20);
    });
    out.sheets.push(s);
  });
  for (const n of ((wb.Workbook || {}).Names || [])) out.names.push({ name: n.Name, ref: n.Ref });
  process.stdout.write(JSON.stringify(out) + '\n');
}

function main() {
  const [command, arg] = process.argv.slice(2);
  try {
    if (command === 'samples' && arg) Samples(arg);
    else if (command === 'dump' && arg) Dump(arg);
    else {
      process.stderr.write('usage: sheetjs_peer.js samples OUTDIR | dump FILE\n');
      process.exitCode = 2;
    }
  } catch (e) {
    process.stderr.write(`sheetjs cannot ${command} ${arg}: ${e.message}\n`);
    process.exitCode = 1;
  }
}

main();
