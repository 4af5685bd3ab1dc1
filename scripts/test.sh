#!/usr/bin/env bash
# Builds both targets and runs every suite: the native GoogleTest binaries and end-to-end
# scripts, then the Windows build's suites under Wine inside one Xvfb display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh

jobs="$(nproc)"
echo "== native build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
echo "== native tests"
ctest --preset linux -j "$jobs"

echo "== windows build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
echo "== windows tests (Wine)"
bash scripts/wine-env.sh ctest --preset win32 -j 1
