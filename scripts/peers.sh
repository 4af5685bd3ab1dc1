#!/usr/bin/env bash
# Installs the peer programs that the interoperability tests and the benchmarks compare us with,
# idempotently, and reports what is present:
#   SheetJS (npm "xlsx") and HyperFormula (npm "hyperformula"), pinned in tests/interop;
#   xlrd and xlwt (Debian python3-xlrd, python3-xlwt);
#   LibreOffice headless (Debian libreoffice-calc-nogui), only with --with-office or
#   PEERS_WITH_OFFICE=1, since it is the largest of them.
# Options:
#   --with-office     also install LibreOffice headless
#   --print-python    print the Python interpreter that can import xlrd and xlwt, and stop
#   --print-env       print shell assignments (PEER_NODE_DIR, PEER_PYTHON, SOFFICE) and stop
#   --test            after installing, run the tests of the peer tooling (tests/interop)
# Nothing here is needed by the default build and test path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
interop="$root/tests/interop"
with_office="${PEERS_WITH_OFFICE:-0}"
mode=install
run_tests=0
for arg in "$@"; do
  case "$arg" in
    --with-office) with_office=1 ;;
    --print-python) mode=python ;;
    --print-env) mode=env ;;
    --test) run_tests=1 ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "peers: unknown option $arg" >&2; exit 2 ;;
  esac
done

# The first python3 on PATH that can import both Debian modules (a private interpreter earlier
# on PATH does not see Debian's packages).
find_python() {
  local p
  for p in ${PEER_PYTHON:-} $(type -ap python3 2>/dev/null); do
    if "$p" -c 'import xlrd, xlwt' >/dev/null 2>&1; then echo "$p"; return 0; fi
  done
  return 1
}

if [ "$mode" = python ]; then find_python; exit $?; fi
if [ "$mode" = env ]; then
  echo "PEER_NODE_DIR=$interop"
  echo "PEER_PYTHON=$(find_python || true)"
  echo "SOFFICE=$(command -v soffice || true)"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
apt_install() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  # A mirror in the middle of a sync can fail one index; retry, then go on with what arrived.
  local attempt
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq -o DPkg::Lock::Timeout=600; then break; fi
    echo "peers: apt-get update failed (attempt $attempt), retrying" >&2; sleep 5
  done
  $SUDO apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}"
}

status=0

t=$(now)
apt_install python3-xlrd python3-xlwt
if py="$(find_python)"; then
  echo "peers: xlrd $("$py" -c 'import xlrd; print(xlrd.__VERSION__)'), xlwt $("$py" -c 'import xlwt; print(xlwt.__VERSION__)') ($(took "$t"))"
else
  echo "peers: xlrd/xlwt installed but no python3 on PATH imports them" >&2; status=1
fi

t=$(now)
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then apt_install nodejs npm; fi
stamp="$interop/node_modules/.package-lock.json"
if [ ! -f "$stamp" ] || [ "$interop/package-lock.json" -nt "$stamp" ]; then
  (cd "$interop" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
if (cd "$interop" && node -e 'require("xlsx"); require("hyperformula")') 2>/dev/null; then
  echo "peers: $(cd "$interop" && node -p '"xlsx " + require("xlsx").version + ", hyperformula " + require("hyperformula").HyperFormula.version') on node $(node --version) ($(took "$t"))"
else
  echo "peers: npm packages did not install" >&2; status=1
fi

if [ "$with_office" = 1 ]; then
  t=$(now)
  apt_install libreoffice-calc-nogui
  if command -v soffice >/dev/null; then
    echo "peers: $(soffice --version 2>/dev/null | head -n1) ($(took "$t"))"
  else
    echo "peers: LibreOffice did not install" >&2; status=1
  fi
elif command -v soffice >/dev/null; then
  echo "peers: LibreOffice present (not requested)"
fi

if [ "$run_tests" = 1 ] && [ $status -eq 0 ]; then
  (cd "$root" && "$(find_python)" -m unittest discover -s tests/interop -p 'test_*.py') || status=1
fi
exit $status
