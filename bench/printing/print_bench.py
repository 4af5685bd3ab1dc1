#!/usr/bin/env python3
"""PDF output of a formatted 10,000-row by 20-column workbook: `sstool print` against
LibreOffice headless converting the same file, in the same run.

Usage: print_bench.py SSTOOL [--rows N] [--keep DIR]
(with the interpreter that `scripts/peers.sh --print-python` names: it needs python3-xlwt)

The workbook is written with xlwt (fonts, fills, borders, number formats, a merged area every
500 rows). Each converter runs as a child process; wall time and the child's peak resident set
come from os.wait4. Prints pages, seconds, pages per second, peak memory and the ratio.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def make_workbook(path, rows, cols):
    import xlwt
    book = xlwt.Workbook()
    sheet = book.add_sheet("Data")
    styles = []
    for k in range(8):
        st = xlwt.XFStyle()
        st.font.name = ["Arial", "Tahoma"][k % 2]
        st.font.bold = k % 3 == 0
        st.font.colour_index = [8, 10, 12, 17][k % 4]
        if k % 2:
            st.pattern.pattern = xlwt.Pattern.SOLID_PATTERN
            st.pattern.pattern_fore_colour = [22, 26, 42, 43][k % 4]
        st.borders.left = st.borders.right = st.borders.top = st.borders.bottom = k % 3
        st.num_format_str = ["General", "0.00", "#,##0", "0%"][k % 4]
        styles.append(st)
    for r in range(rows):
        for c in range(cols):
            st = styles[(r + c) % len(styles)]
            if c == 0:
                sheet.write(r, c, "Row %d" % (r + 1), st)
            else:
                sheet.write(r, c, (r * cols + c) * 1.25, st)
    for r in range(0, rows - 1, 500):
        sheet.merge(r, r + 1, cols, cols + 2)
    book.save(path)


def run(argv):
    start = time.monotonic()
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = time.monotonic() - start
    out = proc.stdout.read().decode(errors="replace")
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        raise RuntimeError("%s failed (%d): %s" % (argv[0], code, out.strip()))
    return elapsed, usage.ru_maxrss / 1024.0, out


def pdf_pages(path):
    try:
        out = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
        for line in out.splitlines():
            if line.startswith("Pages:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("sstool")
    parser.add_argument("--rows", type=int, default=10000)
    parser.add_argument("--keep")
    args = parser.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="ss_print_bench_")
    os.makedirs(work, exist_ok=True)
    book = os.path.join(work, "formatted.xls")
    make_workbook(book, args.rows, 20)
    results = []
    ours = os.path.join(work, "sstool.pdf")
    t, mem, _ = run([args.sstool, "print", book, ours, "--gridlines"])
    results.append(("sstool print", t, mem, pdf_pages(ours)))
    # What opening the preview costs: load, build the report once, paginate, draw page 1.
    first = os.path.join(work, "first.png")
    t_first, mem_first, _ = run([args.sstool, "print", book, first, "--gridlines"])
    office = shutil.which("soffice") or shutil.which("libreoffice")
    if office:
        outdir = os.path.join(work, "office")
        os.makedirs(outdir, exist_ok=True)
        profile = "file://" + os.path.join(work, "office-profile")
        t, mem, _ = run([office, "-env:UserInstallation=" + profile, "--headless",
                         "--convert-to", "pdf", "--outdir", outdir, book])
        results.append(("LibreOffice headless", t, mem,
                        pdf_pages(os.path.join(outdir, "formatted.pdf"))))
    print("%-22s %8s %9s %10s %12s" % ("converter", "pages", "seconds", "pages/s", "peak MiB"))
    for name, t, mem, pages in results:
        print("%-22s %8d %9.2f %10.1f %12.1f" % (name, pages, t, pages / t if t else 0, mem))
    print("first preview page (load, report, pagination, page 1): %.2f s, peak %.1f MiB"
          % (t_first, mem_first))
    if len(results) == 2:
        print("sstool print is %.1fx faster" % (results[1][1] / results[0][1]))
    else:
        print("LibreOffice is not installed: no ratio (scripts/peers.sh --with-office)")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
