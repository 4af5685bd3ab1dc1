/* Preloaded into 32-bit Wine when it runs through qemu-user (scripts/wine32.sh).
 *
 * Wine reserves its address space with mmap(MAP_FIXED_NOREPLACE). The qemu-user of the build
 * machines takes that flag as a mere hint: when the range is taken it maps somewhere near it
 * and reports success. Wine then keeps such stray mappings above the 2 GB user limit as
 * reservations, which fills the range of the shared user data page (0x7ffe0000), and the
 * process stops with "failed to map the shared user data". This wrapper gives the flag its
 * kernel meaning: a mapping that did not land at the address asked for is undone and the call
 * fails with EEXIST. Every other call goes to the kernel unchanged.
 *
 * Built freestanding (gcc -m32 -nostdlib): the machine has no 32-bit C headers, only the
 * 32-bit C library that Wine itself loads, from which errno is the one thing taken. */

typedef unsigned int size_t;
typedef long off_t;
typedef long long off64_t;

extern int* __errno_location(void);

enum {
  sys_munmap = 91,
  sys_mmap2 = 192,
  map_fixed = 0x10,
  map_fixed_noreplace = 0x100000,
  err_exists = 17,
  err_invalid = 22,
  page_shift = 12,
};

/* The six-argument i386 system call: ebp carries the sixth, and ebx may be the PIC register,
 * so both are saved by hand and the arguments are read from memory. */
static long syscall6(long number, long args[6]) {
  long result = number;
  __asm__ volatile(
      "push %%ebp\n\t"
      "push %%ebx\n\t"
      "mov 0(%%edi), %%ebx\n\t"
      "mov 4(%%edi), %%ecx\n\t"
      "mov 8(%%edi), %%edx\n\t"
      "mov 12(%%edi), %%esi\n\t"
      "mov 20(%%edi), %%ebp\n\t"
      "mov 16(%%edi), %%edi\n\t"
      "int $0x80\n\t"
      "pop %%ebx\n\t"
      "pop %%ebp"
      : "+a"(result), "+D"(args)
      :
      : "ecx", "edx", "esi", "memory");
  return result;
}

static void* failed(int error) {
  *__errno_location() = error;
  return (void*)-1;
}

static void* map_pages(void* addr, size_t length, int prot, int flags, int fd, unsigned long page) {
  long args[6] = {(long)addr, (long)length, prot, flags, fd, (long)page};
  long result = syscall6(sys_mmap2, args);
  if ((unsigned long)result > 0xfffff000ul) return failed((int)-result);
  return (void*)result;
}

static void* map(void* addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  if (offset < 0 || (offset & ((1 << page_shift) - 1)) != 0) return failed(err_invalid);
  unsigned long page = (unsigned long)(offset >> page_shift);
  if (!(flags & map_fixed_noreplace) || (flags & map_fixed))
    return map_pages(addr, length, prot, flags, fd, page);
  void* placed = map_pages(addr, length, prot, flags & ~map_fixed_noreplace, fd, page);
  if (placed == (void*)-1 || placed == addr) return placed;
  long args[6] = {(long)placed, (long)length, 0, 0, 0, 0};
  syscall6(sys_munmap, args);
  return failed(err_exists);
}

void* mmap(void* addr, size_t length, int prot, int flags, int fd, off_t offset) {
  return map(addr, length, prot, flags, fd, offset);
}

void* mmap64(void* addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  return map(addr, length, prot, flags, fd, offset);
}
