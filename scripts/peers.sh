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
#   --check           change nothing: exit 0 when every requested peer is present, else name
#                     what is missing and exit 1 (scripts/test.sh installs only then)
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
    --check) mode=check ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
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

# The npm packages are present when node_modules was installed from the lockfile as it is
# now: after npm ci this script leaves the lockfile's SHA-256 beside the packages. A
# node_modules from before that stamp counts when npm's own record of the install is not
# older than the lockfile.
lock="$interop/package-lock.json"
lock_stamp="$interop/node_modules/.ss-lock-sha256"
npm_record="$interop/node_modules/.package-lock.json"
lock_hash() { sha256sum "$lock" | cut -d' ' -f1; }
npm_ready() {
  if [ -f "$lock_stamp" ]; then
    [ "$(cat "$lock_stamp")" = "$(lock_hash)" ] || return 1
  else
    [ -f "$npm_record" ] && ! [ "$lock" -nt "$npm_record" ] || return 1
  fi
  (cd "$interop" && node -e 'require("xlsx"); require("hyperformula")') 2>/dev/null
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

if [ "$mode" = python ]; then find_python; exit $?; fi
if [ "$mode" = check ]; then
  what=()
  find_python >/dev/null || what+=("xlrd/xlwt for python3")
  if command -v node >/dev/null && command -v npm >/dev/null; then
    npm_ready || what+=("npm packages of tests/interop at the lockfile's versions")
  else
    what+=("node and npm")
  fi
  [ "$with_office" = 0 ] || command -v soffice >/dev/null || what+=("LibreOffice headless")
  if [ ${#what[@]} -eq 0 ]; then echo "peers: all requested peers present"; exit 0; fi
  echo "peers: missing $(IFS=';'; echo "${what[*]}")"
  exit 1
fi
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
if ! npm_ready; then
  (cd "$interop" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
  lock_hash >"$lock_stamp"
elif [ ! -f "$lock_stamp" ]; then
  lock_hash >"$lock_stamp"
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
