#!/usr/bin/env bash
# Installs everything the build and the tests need, idempotently.
# Native: compilers, CMake/Ninja, zlib, bzip2, GoogleTest, Google Benchmark, Cairo/FreeType, fonts.
# Windows: the i686 MinGW cross compiler, zlib for MinGW, bzip2 and GoogleTest cross-built into
# build/deps-win32, 32-bit Wine and Xvfb to run the Windows suite, and with SS_WINE_EMULATED=1
# on a kernel without 32-bit support qemu-user to run 32-bit Wine (scripts/wine32.sh).
#   --check   change nothing: exit 0 when everything is present, else name what is missing
#             and exit 1 (scripts/test.sh runs the set-up only then)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
check_only=0
case "${1:-}" in
  --check) check_only=1 ;;
  "") ;;
  *) echo "setup: unknown option $1" >&2; exit 2 ;;
esac
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

# Peers the interoperability tests compare with: xlrd/xlwt read and write .xls files, Gnumeric's
# ssconvert evaluates the formula cross-check. (npm peers and LibreOffice: scripts/peers.sh.)
native_pkgs=(build-essential cmake ninja-build pkg-config clang
  zlib1g-dev libbz2-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang-format libcairo2-dev libfreetype-dev fonts-dejavu-core fonts-liberation tango-icon-theme python3
  python3-xlrd python3-xlwt gnumeric poppler-utils)
win_pkgs=(g++-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev wine wine32 xvfb xauth dpkg-dev)

# When a mirror is mid-sync, an i386 Packages index can fail its size check. The amd64
# libraries at security versions then have no i386 twins (multi-arch needs equal versions)
# and wine32:i386 cannot be resolved. This fallback takes the index as the archive serves it,
# puts it into a temporary local repository whose entries name local file names, asks apt
# which packages it would take from there, fetches exactly those from the same archive
# (each checked against the SHA-256 the index gives), installs, and removes the repository.
# Everything else still comes from the signed indexes.
install_with_served_i386_indexes() {
  local helper=/usr/lib/apt/apt-helper repo list n=0 rc=0
  repo="$(mktemp -d -t ss-i386.XXXXXX)"
  chmod 755 "$repo"
  chown _apt "$repo" 2>/dev/null || true  # apt fetches as _apt where it may write
  : >"$repo/Packages"
  : >"$repo/urls"
  while read -r uri file arch kind; do
    [ "$kind" = Packages ] && [ "$arch" = i386 ] || continue
    compgen -G "$file*" >/dev/null && continue  # this index arrived verified
    local base="${uri%%/dists/*}"
    n=$((n + 1))
    echo "setup: using the served copy of $uri" >&2
    $helper download-file "$uri.xz" "$repo/index$n.xz" >/dev/null 2>&1 || continue
    $helper cat-file "$repo/index$n.xz" | awk -v base="$base" -v map="$repo/urls" '
      /^Filename: / { n = split($2, a, "/"); print "Filename: ./" a[n]; print a[n], base "/" $2 > map; next }
      { print }' >>"$repo/Packages"
  done < <(apt-get indextargets --no-release-info --format '$(URI) $(FILENAME) $(ARCHITECTURE) $(CREATED_BY)')
  if [ "$n" -eq 0 ]; then rm -rf "$repo"; return 1; fi
  list=/etc/apt/sources.list.d/zz-ss-i386-served.list
  echo "deb [trusted=yes arch=i386] file:$repo ./" | $SUDO tee "$list" >/dev/null
  $SUDO apt-get update -qq 2>/dev/null || true
  local uris
  uris="$(apt-get install -y -qq --no-install-recommends --print-uris "$@" | tr -d "'")" || rc=$?
  while [ "$rc" -eq 0 ] && read -r u name size hash; do
    case "$u" in file:*) ;; *) continue ;; esac
    local deb remote
    deb="${u##*/}"; deb="$(printf '%b' "${deb//%/\\x}")"
    remote="$(awk -v f="$deb" '$1 == f { print $2; exit }' "$repo/urls")"
    if [ -z "$remote" ] || ! $helper download-file "$remote" "$repo/$deb" "$hash" >/dev/null; then
      echo "setup: cannot fetch $deb" >&2; rc=1
    fi
    chmod 644 "$repo/$deb" 2>/dev/null || true
  done <<<"$uris"
  [ "$rc" -ne 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "$@" || rc=$?
  $SUDO rm -f "$list"
  rm -rf "$repo"
  $SUDO apt-get update -qq 2>/dev/null || true
  return "$rc"
}

# What is missing, found without changing anything: one dpkg-query over the whole list
# (wine32 is the i386 package), the i386 architecture, and the cross-built archives. Source
# entries are needed only while the bzip2 archive is still to be built.
deps="$root/build/deps-win32"
missing=()
have_i386=0
dpkg --print-foreign-architectures | grep -qx i386 && have_i386=1
declare -A installed=()
while read -r name arch status; do
  [ "$status" = ii ] || continue
  installed["$name"]=1
  installed["$name:$arch"]=1
done < <(dpkg-query -W -f='${Package} ${Architecture} ${db:Status-Abbrev}\n' \
  "${native_pkgs[@]}" "${win_pkgs[@]/#wine32/wine32:i386}" 2>/dev/null || true)
for p in "${native_pkgs[@]}" "${win_pkgs[@]}"; do
  q="$p"; [ "$p" = wine32 ] && q="wine32:i386"
  [ -n "${installed[$q]:-}" ] || missing+=("$p")
done
need_deps=0
[ -f "$deps/lib/libbz2.a" ] && [ -f "$deps/lib/libgtest.a" ] || need_deps=1

need_src=0
if [ ! -f "$deps/lib/libbz2.a" ] && ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  need_src=1
fi

if [ $check_only -eq 1 ]; then
  what=()
  [ ${#missing[@]} -eq 0 ] || what+=("packages: ${missing[*]}")
  [ $have_i386 -eq 1 ] || what+=("the i386 architecture")
  [ $need_deps -eq 0 ] || what+=("the cross-built archives in build/deps-win32")
  [ $need_src -eq 0 ] || what+=("deb-src entries")
  if [ "${SS_WINE_EMULATED:-0}" = 1 ]; then
    bash "$root/scripts/wine32.sh" --check >/dev/null 2>&1 || what+=("32-bit programs through qemu-user (scripts/wine32.sh)")
  fi
  if [ ${#what[@]} -eq 0 ]; then echo "setup: all dependencies present"; exit 0; fi
  echo "setup: missing $(IFS=';'; echo "${what[*]}")"
  exit 1
fi

if [ ${#missing[@]} -gt 0 ] || [ $have_i386 -eq 0 ] || [ $need_src -eq 1 ]; then
  if [ $have_i386 -eq 0 ]; then $SUDO dpkg --add-architecture i386; fi
  if [ $need_src -eq 1 ]; then
    # Give every Debian "deb" entry a "deb-src" twin so that "apt-get source bzip2" works.
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    fi
    if [ -f /etc/apt/sources.list ]; then
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $SUDO tee -a /etc/apt/sources.list >/dev/null || true
    fi
  fi
  # A mirror in the middle of a sync can fail one index; retry, then go on with what arrived.
  for attempt in 1 2 3; do
    if $SUDO apt-get update -qq; then break; fi
    echo "setup: apt-get update failed (attempt $attempt), retrying" >&2; sleep 5
  done
  pk=()
  wine_pk=()
  for p in "${missing[@]}"; do
    case "$p" in wine32) wine_pk+=("wine32:i386") ;; wine) wine_pk+=(wine) ;; *) pk+=("$p") ;; esac
  done
  [ ${#pk[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${pk[@]}"
  if [ ${#wine_pk[@]} -gt 0 ] && ! $SUDO apt-get install -y -qq --no-install-recommends "${wine_pk[@]}"; then
    echo "setup: 32-bit Wine did not install from the signed indexes; trying the served copies" \
      "of the i386 indexes that failed verification" >&2
    if ! install_with_served_i386_indexes "${wine_pk[@]}"; then
      echo "setup: WARNING: 32-bit Wine could not be installed; the Windows suite cannot run" >&2
    fi
  fi
fi

# Cross-built dependencies for the Windows DLL and its test programs.
mkdir -p "$deps"
if [ ! -f "$deps/lib/libbz2.a" ]; then
  work="$(mktemp -d)"
  (cd "$work" && apt-get source -qq bzip2 >/dev/null 2>&1 || apt-get source bzip2)
  src="$(find "$work" -maxdepth 1 -type d -name 'bzip2-*' | head -n1)"
  mkdir -p "$deps/lib" "$deps/include"
  (cd "$src" && for f in blocksort huffman crctable randtable compress decompress bzlib; do
      i686-w64-mingw32-gcc -O2 -D_FILE_OFFSET_BITS=64 -c "$f.c" -o "$f.o"; done &&
    i686-w64-mingw32-ar rcs "$deps/lib/libbz2.a" blocksort.o huffman.o crctable.o randtable.o compress.o decompress.o bzlib.o &&
    cp bzlib.h "$deps/include/")
  rm -rf "$work"
fi
if [ ! -f "$deps/lib/libgtest.a" ]; then
  gt="$root/build/gtest-win32-build"
  cmake -S /usr/src/googletest -B "$gt" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps" -Dgtest_disable_pthreads=ON -DBUILD_GMOCK=ON >/dev/null
  cmake --build "$gt" >/dev/null
  cmake --install "$gt" >/dev/null
fi
# A kernel without 32-bit support can run Wine's 32-bit programs through qemu-user; that is
# slow (a new Wine prefix alone takes minutes), so only when asked for (SS_WINE_EMULATED=1).
if [ "${SS_WINE_EMULATED:-0}" = 1 ]; then
  bash "$root/scripts/wine32.sh" || echo "setup: WARNING: 32-bit programs cannot start; the Windows suite cannot run" >&2
fi
echo "setup: all dependencies present"
