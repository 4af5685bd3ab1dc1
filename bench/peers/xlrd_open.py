#!/usr/bin/env python3
"""xlrd side of the workbook file benchmark: times open_workbook on each file, each in a fresh
child process so that its peak memory is its own. Prints one JSON object.

    xlrd_open.py [--repeat R] [--formatting] FILE...

--formatting also reads the formatting records (formatting_info=True), as a loader that keeps
styles must. Needs Debian's python3-xlrd (`scripts/peers.sh --print-python` names the
interpreter).
"""
import argparse
import json
import resource
import subprocess
import sys
import time

try:
    import xlrd
except ImportError:
    sys.stderr.write("xlrd is not importable by this interpreter; run scripts/peers.sh\n")
    sys.exit(3)


def Rss():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


def Child(path, formatting):
    baseline = Rss()
    t = time.perf_counter()
    book = xlrd.open_workbook(path, formatting_info=formatting)
    ms = (time.perf_counter() - t) * 1000
    cells = sum(s.nrows * s.ncols for s in book.sheets())
    print(json.dumps({"file": path, "ms": ms, "baseline_rss_bytes": baseline,
                      "peak_rss_bytes": Rss(), "sheets": book.nsheets, "cell_grid": cells,
                      "formatting": formatting}))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--repeat", type=int, default=1)
    ap.add_argument("--formatting", action="store_true")
    ap.add_argument("--child", action="store_true", help=argparse.SUPPRESS)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    if args.child:
        Child(args.files[0], args.formatting)
        return 0
    runs, failed = [], False
    for path in args.files:
        for _ in range(max(1, args.repeat)):
            cmd = [sys.executable, __file__, "--child"] + (["--formatting"] if args.formatting
                                                          else []) + [path]
            p = subprocess.run(cmd, capture_output=True, text=True)
            if p.returncode != 0:
                failed = True
                lines = p.stderr.strip().splitlines() or ["exit %d" % p.returncode]
                runs.append({"file": path, "error": lines[-1]})
            else:
                runs.append(json.loads(p.stdout))
    print(json.dumps({"peer": "xlrd", "version": xlrd.__VERSION__,
                      "python": sys.version.split()[0], "runs": runs}))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
