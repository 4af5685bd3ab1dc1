#!/usr/bin/env bash
# Lets 32-bit Wine start on a machine whose kernel cannot execute 32-bit programs (some
# virtual machines' kernels are built without 32-bit support). 32-bit programs then run
# through qemu-user: the kernel hands every i386 executable to qemu-i386-static through a
# binfmt_misc entry, and a small preloaded library (scripts/wine32/noreplace_mmap.c) makes
# the emulator's mmap keep the promise Wine relies on when it reserves its address space.
# On a kernel that runs 32-bit programs itself, the script changes nothing.
#
#   bash scripts/wine32.sh          set up what is missing (idempotent); says what it does
#   bash scripts/wine32.sh --check  change nothing: exit 0 when 32-bit programs can start
#                                   (natively, or through the emulator fully set up)
#   bash scripts/wine32.sh --emulated
#                                   exit 0 when the kernel hands 32-bit programs to the
#                                   emulator (its binfmt_misc entry is enabled)
#   bash scripts/wine32.sh --env    print the shell lines that scripts/wine-env.sh evaluates:
#                                   nothing on a native kernel; under the emulator the preload,
#                                   and one CTest test per test program (cmake/GTestCases.cmake:
#                                   each emulated start costs seconds, one per case too many),
#                                   and no debugger copy of test messages (QuietDebugStrings.cpp)
#
# The binfmt_misc entry lasts until the machine restarts; the set-up needs root (or sudo).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mode="${1:-setup}"
case "$mode" in
  setup | --check | --env | --emulated) ;;
  *) echo "wine32: unknown option $mode" >&2; exit 2 ;;
esac
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

binfmt=/proc/sys/fs/binfmt_misc
entry="$binfmt/qemu-i386"
qemu=/usr/bin/qemu-i386-static
out="$root/build/wine32"
shim_src="$root/scripts/wine32/noreplace_mmap.c"
# The dynamic loader replaces $LIB by its own library folder (lib/i386-linux-gnu for the
# 32-bit loader, lib/x86_64-linux-gnu for the 64-bit one), so one LD_PRELOAD value reaches
# the 32-bit Wine processes and gives the native ones (wineserver, the shell) an empty twin
# instead of a "wrong ELF class" warning on every start.
shim32="$out/lib/i386-linux-gnu/libss-noreplace.so"
shim64="$out/lib/x86_64-linux-gnu/libss-noreplace.so"
preload="$out/\$LIB/libss-noreplace.so"
# Matches the ELF header of an i386 executable or position-independent executable.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

say() { [ "$mode" = --env ] || echo "wine32: $*"; }

# A static 32-bit program that only exits with status 0: it starts when the kernel (or the
# binfmt entry) can run 32-bit code, and it needs no 32-bit library at all.
probe="$out/probe32"
make_probe() {
  [ -x "$probe" ] && return 0
  mkdir -p "$out"
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' |
    gcc -m32 -nostdlib -static -x assembler -o "$probe" -
}

emulated() { [ -e "$entry" ] && grep -qx enabled "$entry"; }
if [ "$mode" = --emulated ]; then emulated; exit; fi

shim_current() {
  [ -f "$shim32" ] && [ -f "$shim64" ] && [ "$shim32" -nt "$shim_src" ]
}

if ! make_probe 2>/dev/null; then
  say "gcc cannot build the 32-bit probe (gcc -m32 -nostdlib -static); nothing done"
  [ "$mode" = --env ] && exit 0
  exit 1
fi

# A native kernel runs the probe without any binfmt entry.
if ! emulated && "$probe" 2>/dev/null; then
  say "the kernel runs 32-bit programs itself: nothing to set up"
  exit 0
fi

if [ "$mode" = --env ]; then
  if emulated && shim_current; then
    printf 'export LD_PRELOAD=%q\n' "$preload${LD_PRELOAD:+:$LD_PRELOAD}"
    echo "export SS_GTEST_WHOLE_PROGRAMS=1 SS_TEST_NO_DEBUG_STRINGS=1"
  fi
  exit 0
fi

if [ "$mode" = --check ]; then
  what=()
  [ -x "$qemu" ] || what+=("qemu-user-static")
  emulated || what+=("the binfmt_misc entry qemu-i386")
  shim_current || what+=("the mmap preload in build/wine32")
  if [ ${#what[@]} -eq 0 ] && "$probe" 2>/dev/null; then
    echo "wine32: 32-bit programs run through qemu-user"
    exit 0
  fi
  echo "wine32: missing ${what[*]:-a working emulator (the probe does not start)}"
  exit 1
fi

say "the kernel cannot run 32-bit programs: setting up qemu-user"
if [ ! -x "$qemu" ]; then
  say "installing qemu-user-static"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends qemu-user-static
fi
if [ ! -e "$binfmt/register" ]; then
  say "mounting binfmt_misc on $binfmt"
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if [ -e "$entry" ] && ! grep -qx enabled "$entry"; then
  say "enabling the binfmt_misc entry qemu-i386"
  echo 1 | $SUDO tee "$entry" >/dev/null
fi
if [ ! -e "$entry" ]; then
  # F: the kernel opens the interpreter now, so it is found from any mount namespace later.
  say "registering $qemu for i386 executables (binfmt_misc entry qemu-i386)"
  echo ":qemu-i386:M::$magic:$mask:$qemu:F" | $SUDO tee "$binfmt/register" >/dev/null
fi
if ! shim_current; then
  say "building the mmap preload into build/wine32/lib"
  mkdir -p "$(dirname "$shim32")" "$(dirname "$shim64")"
  gcc -m32 -O2 -fPIC -shared -nostdlib -ffreestanding -fno-stack-protector \
    -o "$shim32" "$shim_src"
  echo "" | gcc -x c -fPIC -shared -nostdlib -o "$shim64" -
fi
if ! "$probe"; then
  say "32-bit programs still do not start through $qemu"
  exit 1
fi
say "32-bit programs run through qemu-user"
