#pragma once
// Conversion between the system's 8-bit code page, in which all texts of the system are held,
// and UTF-16, which workbook files and formula string tokens use.
//
// Windows uses the ANSI code page of the system; the portable build uses Windows-1252.
// Characters that the code page cannot hold become '?'.
#include <string>
#include <string_view>

namespace platform {

std::u16string AnsiToUtf16(std::string_view text);
std::string Utf16ToAnsi(std::u16string_view text);
// UTF-8 for the terminal and for tools that talk to other programs (JSON output).
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Upper- and lower-case of one 8-bit character in the system code page.
char UpperChar(char c);
char LowerChar(char c);
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);
// Case-insensitive comparison in the system code page: <0, 0, >0.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

}  // namespace platform
