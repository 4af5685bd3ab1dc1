#pragma once
// Column and row captions, rectangle helpers, value literals and the display text of numbers.
//
// Nothing here holds state. Everything that depends on separators, currency, dates or month
// names reads `platform::Locale::Current()` at the moment of the call.
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/Geometry.h"

namespace workbook {

// Palette index reported by FormatNumber for formats that show negative numbers in red.
constexpr int kRedColorIndex = 2;
// The text format: such a cell never becomes a formula and its text is never reformatted.
constexpr uint16_t kTextFormatCode = 49;

class TSSUtils {
 public:
  TSSUtils() = delete;

  // AMin if AMin >= Value; else Value if Value < AMax; else AMax.
  static int32_t Clamp(int32_t value, int32_t aMin, int32_t aMax);
  // Column letters ("A", "AB", ...) or, with r1c1, the decimal text of index + 1.
  static std::string ColumnCaption(int32_t index, bool r1c1 = false);
  // The letters of column `index` (0 or more) into `out`, which has room for kMaxColumnLetters;
  // returns how many. Bijective base 26: "A" = 1 ... "Z" = 26, most significant letter first.
  static constexpr size_t kMaxColumnLetters = 7;  // enough for any 32-bit index
  static size_t ColumnLetters(int32_t index, char* out);
  // Inverse of the letter caption. -1 for an empty text, any character outside "A".."Z", or
  // an index beyond the signed 32-bit range.
  static int32_t ColumnIndexByName(std::string_view letters);
  // The display text of a number under a format code; Precision is capped at 8. ColorIndex
  // becomes kRedColorIndex for the red negative formats and is otherwise left alone.
  static void FormatNumber(uint16_t code, int precision, std::string& text, int& colorIndex,
                           double value);
  static std::string FormatNumber(uint16_t code, int precision, double value);
  // Intersection of two inclusive rectangles; (0, 0, -1, -1) and false when they do not meet.
  static bool IntersectCellRects(TRect& result, const TRect& a, const TRect& b);
  static bool CellInRect(const TRect& rect, const TPoint& cell);
  static std::string RowCaption(int32_t index);
  static bool InRange(int32_t value, int32_t aMin, int32_t aMax);
};

// Number-format code families.
bool IsDateTimeFormatCode(uint16_t code);
bool IsCurrencyFormatCode(uint16_t code);
bool IsPlainNumberFormatCode(uint16_t code);

// "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME!", "#NUM!", "#N/A!"; empty for other codes.
std::string ErrorText(uint8_t code);
// The code of an error literal (exact, case-sensitive); false for any other text.
bool TextToErrorCode(std::string_view text, uint8_t& code);

std::string BooleanText(bool value);
// Case-insensitive "TRUE" / "FALSE".
bool TextToBoolean(std::string_view text, bool& value);
bool IsBooleanText(std::string_view text);

// A decimal literal in the system decimal separator, blanks around it allowed; no grouping,
// no currency; magnitudes above 1.7E308 and texts ending in "E" are no numbers. Value 0 on
// failure.
bool TextToNumber(std::string_view text, double& value);
bool IsNumberText(std::string_view text);
// Signed 32-bit decimal, or hexadecimal after "$", "x", "X", "0x", "0X".
bool TextToInteger(std::string_view text, int32_t& value);
// A date, a time, or a date followed by a time, in the system conventions.
bool TextToDateTime(std::string_view text, double& value);
// An amount with grouping and/or the currency string, in ten-thousandths.
bool TextToCurrency(std::string_view text, int64_t& value);
// Trimmed, longer than one character, starting with "=" and without any "#".
bool IsFormulaText(std::string_view text);

// General form with at most 15 significant digits in the system decimal separator.
std::string NumberText(double value);
// The display text of a stored cell text under a format code.
std::string FormatCellText(std::string_view text, uint16_t code, int precision);
// The built-in code closest to a number-format pattern; code holds the current code on entry.
void FormatFromPattern(std::string_view pattern, uint16_t& code);

// Blanks and control characters removed from both ends.
std::string_view TrimText(std::string_view text);
std::string UpperText(std::string_view text);

}  // namespace workbook
