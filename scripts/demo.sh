#!/usr/bin/env bash
# Builds the native target and runs the substitute host on the bundled demo publication.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh --check || bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target nbhost zkSpreadSheet2
plugin="build/linux/src/plugin/zkSpreadSheet2.nbp"
./build/linux/tools/nbhost/nbhost --plugin "$plugin" --catalogue
./build/linux/tools/nbhost/nbhost --plugin "$plugin" --trace demo/demo.nbs
