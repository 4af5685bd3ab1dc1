// Linked into every test program of the Windows build. GoogleTest copies each failure and skip
// message to the debugger with OutputDebugStringA. Wine raises an exception for that, and under
// the emulator that runs 32-bit Wine on kernels without 32-bit support (scripts/wine32.sh) the
// process then dies while GoogleTest's thread-watcher thread waits: the program stops at its
// first failing or skipped case instead of reporting them all. With
// SS_TEST_NO_DEBUG_STRINGS=1 (set only there) the program's import of OutputDebugStringA is
// pointed at a function that does nothing; the messages still go to standard output.
#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

void WINAPI IgnoreDebugString(LPCSTR) {}

bool PointImportAtNothing() {
  const char* flag = std::getenv("SS_TEST_NO_DEBUG_STRINGS");
  if (flag == nullptr || std::strcmp(flag, "1") != 0) return false;
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return false;
  FARPROC target = GetProcAddress(kernel, "OutputDebugStringA");
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (target == nullptr || imports.Size == 0) return false;
  auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
  for (; entry->Name != 0; ++entry) {
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; slot->u1.Function != 0; ++slot) {
      if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(target)) continue;
      DWORD was = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &was))
        return false;
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&IgnoreDebugString);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
      return true;
    }
  }
  return false;
}

[[maybe_unused]] const bool quiet = PointImportAtNothing();

}  // namespace
#endif
