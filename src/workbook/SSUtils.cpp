#include "workbook/SSUtils.h"

#include <algorithm>
#include <cctype>

#include "workbook/CellValueTypes.h"

namespace workbook {

int32_t TSSUtils::Clamp(int32_t value, int32_t aMin, int32_t aMax) {
  if (aMin >= value) return aMin;
  if (value < aMax) return value;
  return aMax;
}

std::string TSSUtils::ColumnCaption(int32_t index, bool r1c1) {
  if (r1c1) return std::to_string(static_cast<int64_t>(index) + 1);
  if (index < 0) return std::string();
  char letters[kMaxColumnLetters];
  return std::string(letters, ColumnLetters(index, letters));
}

size_t TSSUtils::ColumnLetters(int32_t index, char* out) {
  char reversed[kMaxColumnLetters];
  size_t count = 0;
  for (int64_t n = static_cast<int64_t>(index) + 1; n > 0; n = (n - 1) / 26)
    reversed[count++] = static_cast<char>('A' + (n - 1) % 26);
  for (size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

int32_t TSSUtils::ColumnIndexByName(std::string_view letters) {
  if (letters.empty()) return -1;
  int64_t n = 0;
  for (char c : letters) {
    if (c < 'A' || c > 'Z') return -1;
    n = n * 26 + (c - 'A' + 1);
    if (n - 1 > INT32_MAX) return -1;
  }
  return static_cast<int32_t>(n - 1);
}

bool TSSUtils::IntersectCellRects(TRect& result, const TRect& a, const TRect& b) {
  // Exclusive ends while intersecting, so that one-cell rectangles behave like any other.
  const int64_t left = std::max<int64_t>(a.Left, b.Left);
  const int64_t top = std::max<int64_t>(a.Top, b.Top);
  const int64_t right = std::min<int64_t>(int64_t{a.Right} + 1, int64_t{b.Right} + 1);
  const int64_t bottom = std::min<int64_t>(int64_t{a.Bottom} + 1, int64_t{b.Bottom} + 1);
  if (left >= right || top >= bottom) {
    result = TRect{0, 0, -1, -1};
    return false;
  }
  result = TRect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                 static_cast<int32_t>(right - 1), static_cast<int32_t>(bottom - 1)};
  return true;
}

bool TSSUtils::CellInRect(const TRect& rect, const TPoint& cell) {
  return rect.Left <= cell.X && cell.X <= rect.Right && rect.Top <= cell.Y && cell.Y <= rect.Bottom;
}

std::string TSSUtils::RowCaption(int32_t index) {
  return std::to_string(static_cast<int64_t>(index) + 1);
}

bool TSSUtils::InRange(int32_t value, int32_t aMin, int32_t aMax) {
  return aMin <= value && value <= aMax;
}

bool IsDateTimeFormatCode(uint16_t code) {
  return (code >= 14 && code <= 22) || code == 45 || code == 46 || code == 47 || code == 164 ||
         code == 165;
}

bool IsCurrencyFormatCode(uint16_t code) {
  return (code >= 5 && code <= 8) || (code >= 42 && code <= 44);
}

bool IsPlainNumberFormatCode(uint16_t code) {
  return (code >= 1 && code <= 4) || (code >= 9 && code <= 13) || (code >= 37 && code <= 41) ||
         code == 48;
}

namespace {
struct ErrorLiteral {
  uint8_t code;
  const char* text;
};
constexpr ErrorLiteral kErrorLiterals[] = {
    {kErrNull, "#NULL!"}, {kErrDiv0, "#DIV/0!"}, {kErrValue, "#VALUE!"}, {kErrRef, "#REF!"},
    {kErrName, "#NAME!"}, {kErrNum, "#NUM!"},    {kErrNA, "#N/A!"},
};
}  // namespace

std::string ErrorText(uint8_t code) {
  for (const auto& e : kErrorLiterals)
    if (e.code == code) return e.text;
  return std::string();
}

bool TextToErrorCode(std::string_view text, uint8_t& code) {
  for (const auto& e : kErrorLiterals) {
    if (text == e.text) {
      code = e.code;
      return true;
    }
  }
  code = 0;
  return false;
}

std::string BooleanText(bool value) { return value ? "TRUE" : "FALSE"; }

bool TextToBoolean(std::string_view text, bool& value) {
  const std::string upper = UpperText(text);
  value = false;
  if (upper == "TRUE") {
    value = true;
    return true;
  }
  return upper == "FALSE";
}

bool IsBooleanText(std::string_view text) {
  bool value;
  return TextToBoolean(text, value);
}

bool IsFormulaText(std::string_view text) {
  const std::string_view t = TrimText(text);
  return t.size() > 1 && t.front() == '=' && t.find('#') == std::string_view::npos;
}

std::string_view TrimText(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string UpperText(std::string_view text) {
  std::string out(text);
  // ASCII letters only: the 8-bit code page's other letters keep their case.
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace workbook
