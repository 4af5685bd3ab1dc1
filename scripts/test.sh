#!/usr/bin/env bash
# Builds both targets and runs every suite: the native GoogleTest binaries and end-to-end
# scripts, then the Windows build's suites under Wine inside one Xvfb display and one Wine
# prefix.
#
#   SS_JOBS=N    parallel build jobs (default 2: the build machines are small)
#   SS_WINE_EMULATED=1
#                on a kernel that cannot run 32-bit programs, run the Windows suite through
#                qemu-user (scripts/wine32.sh): about half an hour more, so not by default
#   SS_ASAN=1    also build the linux-asan preset and run the native suites under the address
#                and undefined-behaviour sanitizers (a third full build, so not by default:
#                the plain run must stay well inside the CI time budget)
#
# Exit status 0 only when every suite ran and passed. When 32-bit Wine is missing the
# Windows build is still made and its checks that need no Wine are run, and the script says
# loudly that the Windows suite did not run, and fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# The set-up and the peers' installation run only when their presence checks (one dpkg-query,
# the cross-built archives, the npm lockfile's stamp) find something missing: on a prepared
# machine nothing is installed and the build starts at once.
bash scripts/setup.sh --check || bash scripts/setup.sh

jobs="${SS_JOBS:-2}"
started=$SECONDS
stamp() { echo "== $1 ($((SECONDS - started)) s)"; }
# A failing suite does not stop the run: every suite runs, the summary names the failures.
failed=()
suite() {
  local name="$1"
  shift
  stamp "$name"
  "$@" || failed+=("$name")
}

stamp "peers"
# SheetJS, HyperFormula and LibreOffice headless; their own checks run as one more suite.
bash scripts/peers.sh --with-office --check || bash scripts/peers.sh --with-office
suite "peer tools" bash scripts/peers.sh --test

stamp "native build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
suite "native tests" ctest --preset linux -j "$jobs"

if [ "${SS_ASAN:-0}" = 1 ]; then
  stamp "sanitizer build"
  cmake --preset linux-asan >/dev/null
  cmake --build --preset linux-asan -j "$jobs"
  suite "sanitizer tests" env ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
    UBSAN_OPTIONS="print_stacktrace=1" ctest --preset linux-asan -j "$jobs"
fi

stamp "windows build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

wine_missing=""
command -v wine >/dev/null 2>&1 || wine_missing="the wine command is not installed"
[ -n "$wine_missing" ] || dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null |
  grep -q "install ok installed" || wine_missing="package wine32:i386 is not installed"
command -v Xvfb >/dev/null 2>&1 || wine_missing="${wine_missing:+$wine_missing; }Xvfb is not installed"

# Some virtual machines' kernels refuse 32-bit executables, Wine's loader among them. The
# set-up then runs them through qemu-user (scripts/wine32.sh); when even that cannot be set
# up (no binfmt_misc, no root), that is the machine, not a missing install step.
no_ia32=""
wine_says=""
if [ -z "$wine_missing" ] && [ "${SS_WINE_EMULATED:-0}" != 1 ] &&
  bash scripts/wine32.sh --emulated; then
  # 32-bit programs start only through the emulator here (set up earlier by hand or by
  # SS_WINE_EMULATED=1), which is too slow for the ordinary run.
  no_ia32="this machine's kernel runs 32-bit programs only through qemu-user (SS_WINE_EMULATED=1 runs the suite so)"
elif [ -z "$wine_missing" ] && ! wine_says="$(wine --version 2>&1)"; then
  if grep -qi "exec format error" <<<"$wine_says"; then
    no_ia32="this machine's kernel refuses 32-bit executables, so Wine cannot start"
  else
    wine_missing="wine is installed but does not start"
  fi
fi

if [ -n "$wine_missing" ] || [ -n "$no_ia32" ]; then
  # Whole programs: CTest would otherwise start every test program once to list its cases,
  # which an emulator that cannot run them (or only slowly) turns into minutes of waiting.
  suite "windows checks that need no Wine" env SS_GTEST_WHOLE_PROGRAMS=1 \
    ctest --preset win32 -R '^dll_exports_and_imports$'
  echo "#####################################################################################" >&2
  echo "## THE WINDOWS SUITE WAS NOT RUN: ${wine_missing:-$no_ia32}." >&2
  echo "## The DLL was built and its export and import tables checked; nothing ran under Wine." >&2
  echo "#####################################################################################" >&2
  # A missing package is a broken set-up and fails the run; a machine that cannot execute
  # 32-bit code at all is reported above and leaves the verdict to the suites that could run.
  [ -n "$no_ia32" ] || failed+=("windows tests (Wine): not run")
else
  suite "windows tests (Wine)" bash scripts/wine-env.sh ctest --preset win32 -j "$jobs"
fi

if [ ${#failed[@]} -gt 0 ]; then
  stamp "FAILED: $(IFS=,; echo "${failed[*]}")"
  exit 1
fi
stamp "all suites passed"
