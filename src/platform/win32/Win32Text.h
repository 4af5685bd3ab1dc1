#pragma once
// Small helpers shared by the Win32 implementations: the system's reason for the last
// failure as text. Only files under platform/win32 include this header.
#include <windows.h>

#include <string>

namespace platform::win32 {

// The message text of a Win32 error code (GetLastError), without the trailing line break,
// in the 8-bit system code page. Never empty: unknown codes read "error N".
inline std::string ErrorText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (length != 0 && buffer != nullptr) text.assign(buffer, length);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  if (text.empty()) text = "error " + std::to_string(code);
  return text;
}

inline std::string LastErrorText() { return ErrorText(GetLastError()); }

}  // namespace platform::win32
