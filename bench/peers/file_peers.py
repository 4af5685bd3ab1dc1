#!/usr/bin/env python3
"""One call for the workbook file benchmark's peer side: makes the benchmark workbooks with
xlwt (kept in DIR and reused while their size matches), then times xlrd and SheetJS on them.

    file_peers.py --cells 10000,100000,1000000 --dir DIR [--repeat R] [--tsv]

JSON (default): {"files": [{"cells", "path", "bytes"}], "xlrd": {...}, "sheetjs": {...}},
where a peer that is not installed appears as {"absent": "why"}. With --tsv, one line per
measurement, for callers without a JSON reader:

    peer <TAB> operation <TAB> cells <TAB> milliseconds <TAB> peak resident bytes

(operations: xlrd open, sheetjs read, sheetjs write). Run it with the interpreter that
`scripts/peers.sh --print-python` names; the workbooks the benchmark loads with our reader are
the files listed.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def Workbook(n, directory):
    path = os.path.join(directory, "bench-%d.xls" % n)
    stamp = path + ".cells"
    if not (os.path.exists(path) and os.path.exists(stamp) and open(stamp).read() == str(n)):
        subprocess.run([sys.executable, os.path.join(HERE, "xlwt_workbook.py"), "--cells",
                        str(n), "--out", path], check=True, stdout=subprocess.DEVNULL)
        with open(stamp, "w") as f:
            f.write(str(n))
    return {"cells": n, "path": path, "bytes": os.path.getsize(path)}


def Peer(cmd, absent_codes=(3,)):
    p = subprocess.run(cmd, capture_output=True, text=True)
    if p.returncode in absent_codes:
        return {"absent": p.stderr.strip()}
    try:
        result = json.loads(p.stdout)
    except ValueError:
        return {"absent": "no result: " + (p.stderr.strip().splitlines() or ["?"])[-1]}
    if p.returncode != 0:
        result["failed"] = True
    return result


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cells", default="10000,100000,1000000")
    ap.add_argument("--dir", required=True)
    ap.add_argument("--repeat", type=int, default=1)
    ap.add_argument("--tsv", action="store_true")
    args = ap.parse_args()
    os.makedirs(args.dir, exist_ok=True)
    try:
        files = [Workbook(int(n), args.dir) for n in args.cells.split(",") if n]
    except subprocess.CalledProcessError as e:
        sys.stderr.write("could not write the benchmark workbooks with xlwt (exit %d)\n"
                         % e.returncode)
        return 3 if e.returncode == 3 else 1
    paths = [f["path"] for f in files]
    out = {"files": files,
           "xlrd": Peer([sys.executable, os.path.join(HERE, "xlrd_open.py"), "--repeat",
                         str(args.repeat)] + paths)}
    if shutil.which("node"):
        cmd = ["node", os.path.join(HERE, "sheetjs_io.js"), "bench", "--repeat", str(args.repeat)]
        for p in paths:
            cmd += ["--file", p]
        out["sheetjs"] = Peer(cmd)
    else:
        out["sheetjs"] = {"absent": "node is not installed"}
    if not args.tsv:
        print(json.dumps(out))
        return 0
    cells = {f["path"]: f["cells"] for f in files}
    for run in out["xlrd"].get("runs", []):
        if "error" not in run:
            print("xlrd\topen\t%d\t%.3f\t%d" % (cells[run["file"]], run["ms"],
                                                run["peak_rss_bytes"]))
    for run in out["sheetjs"].get("runs", []):
        if "error" not in run:
            print("sheetjs\t%s\t%d\t%.3f\t%d" % (run["op"], cells[run["file"]], run["ms"],
                                                 run["peak_rss_bytes"]))
    for peer in ("xlrd", "sheetjs"):
        if "absent" in out[peer]:
            print("%s\tabsent\t0\t0\t0" % peer)
    return 0


if __name__ == "__main__":
    sys.exit(main())
