// The system's ANSI code page through the Win32 conversion functions. Characters the code
// page cannot hold become '?'; bytes without a character map as the system decides.
#include <windows.h>

#include <climits>
#include <stdexcept>

#include "platform/CodePage.h"

namespace platform {

namespace {
// The conversion functions count in int; texts this long do not occur in a workbook.
int CheckedLength(size_t size) {
  if (size > static_cast<size_t>(INT_MAX / 2)) throw std::length_error("text too long to convert");
  return static_cast<int>(size);
}
}  // namespace

std::u16string AnsiToUtf16(std::string_view text) {
  if (text.empty()) return {};
  int length = CheckedLength(text.size());
  int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return std::u16string(text.size(), u'?');
  std::u16string out(static_cast<size_t>(wide), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data()), wide);
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  int length = CheckedLength(text.size());
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  // No best-fit mapping: a character the page lacks becomes "?", as on the portable build,
  // instead of a look-alike letter ("Ω" to "O") that silently turns the text into another.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  int bytes = WideCharToMultiByte(CP_ACP, kFlags, wide, length, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string(text.size(), '?');
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, kFlags, wide, length, out.data(), bytes, "?", nullptr);
  return out;
}

char UpperChar(char c) {
  char buffer[1] = {c};
  CharUpperBuffA(buffer, 1);
  return buffer[0];
}

char LowerChar(char c) {
  char buffer[1] = {c};
  CharLowerBuffA(buffer, 1);
  return buffer[0];
}

}  // namespace platform
