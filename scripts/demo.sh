#!/usr/bin/env bash
# Builds the native target and runs the substitute host on the bundled demo publication.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh --check || bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target nbhost zkSpreadSheet2
plugin="$root/build/linux/src/plugin/zkSpreadSheet2.nbp"
./build/linux/tools/nbhost/nbhost --plugin "$plugin" --catalogue
# The publication's files (the saved workbook, the snapshot) go to build/demo, not the sources.
mkdir -p build/demo
cd build/demo
"$root/build/linux/tools/nbhost/nbhost" --plugin "$plugin" --trace "$root/demo/demo.nbs"
echo "demo: the workbook and the snapshot are in build/demo (demo-book.xls, demo-window.png)"
