#pragma once
// Texts of the system are 8-bit in the system code page; the file holds UTF-16 (or its
// compressed low-byte form, which the record reader widens). These are the two crossings.
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace xls {

inline std::string ToSystemText(std::u16string_view text) { return platform::Utf16ToAnsi(text); }
inline std::u16string FromSystemText(std::string_view text) { return platform::AnsiToUtf16(text); }

}  // namespace xls
