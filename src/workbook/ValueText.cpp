// Recognising numbers, integers, dates, times and currency amounts in texts.
#include <cmath>
#include <cstdint>

#include "platform/DecimalConversion.h"
#include "platform/Locale.h"
#include "workbook/DateTime.h"
#include "workbook/NumberPattern.h"
#include "workbook/SSUtils.h"

namespace workbook {
namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool TextToNumber(std::string_view text, double& value) {
  value = 0;
  if (text.empty() || text.back() == 'E' || text.back() == 'e') return false;
  const std::string_view t = TrimText(text);
  const char point = platform::Locale::Current().decimalSeparator;
  // Validate the shape first, then convert a copy written with "." so that the conversion
  // never depends on the C runtime's locale.
  std::string literal;
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    if (t[i] == '-') literal += '-';
    ++i;
  }
  size_t mantissaDigits = 0;
  while (i < t.size() && IsDigit(t[i])) {
    literal += t[i++];
    ++mantissaDigits;
  }
  if (i < t.size() && t[i] == point) {
    literal += '.';
    ++i;
    while (i < t.size() && IsDigit(t[i])) {
      literal += t[i++];
      ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    literal += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) literal += t[i++];
    size_t exponentDigits = 0;
    while (i < t.size() && IsDigit(t[i])) {
      literal += t[i++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) return false;
  }
  if (i != t.size()) return false;
  double parsed = 0;
  // Our own reader, not the runtime's: both builds must read a text to the same bits.
  if (platform::math::ReadDecimal(literal, parsed) != platform::math::DecimalRead::Ok) return false;
  if (std::fabs(parsed) > 1.7E308) return false;
  value = parsed;
  return true;
}

bool IsNumberText(std::string_view text) {
  double value;
  return TextToNumber(text, value);
}

bool TextToInteger(std::string_view text, int32_t& value) {
  value = 0;
  std::string_view t = TrimText(text);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  } else if (!t.empty() && (t[0] == '$' || t[0] == 'x' || t[0] == 'X')) {
    base = 16;
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  uint64_t magnitude = 0;
  for (char c : t) {
    int digit;
    if (IsDigit(c))
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  int64_t result;
  if (base == 16) {
    // Hexadecimal spells the 32 bits: $FFFFFFFF is -1.
    result = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    if (negative) result = -result;
  } else {
    result = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  }
  if (result < INT32_MIN || result > INT32_MAX) return false;
  value = static_cast<int32_t>(result);
  return true;
}

bool TextToDateTime(std::string_view text, double& value) {
  value = 0;
  // Dates and times begin with a digit; most texts (words, codes) are turned away here.
  const std::string_view t = TrimText(text);
  if (t.empty() || t[0] < '0' || t[0] > '9') return false;
  if (TextToDate(text, value) || TextToTime(text, value)) return true;
  const size_t blank = t.find(' ');
  const std::string_view first = blank == std::string_view::npos ? t : t.substr(0, blank + 1);
  const std::string_view rest =
      blank == std::string_view::npos ? std::string_view() : TrimText(t.substr(blank + 1));
  double firstValue = 0;
  bool firstIsDate = TextToDate(first, firstValue);
  if (!firstIsDate && !TextToTime(first, firstValue)) return false;
  if (rest.empty()) {
    value = firstValue;
    return true;
  }
  double restValue = 0;
  // A date is followed by a time; a leading time may be followed by a date (the sum is kept
  // either way).
  if (firstIsDate ? !TextToTime(rest, restValue) : !TextToDate(rest, restValue)) return false;
  value = firstValue + restValue;
  return true;
}

bool TextToCurrency(std::string_view text, int64_t& value) {
  value = 0;
  const auto& locale = platform::Locale::Current();
  const char thousands = locale.thousandSeparator != '\0' ? locale.thousandSeparator : ',';
  const char point = locale.decimalSeparator;
  const std::string& currency = locale.currencyString;
  bool sawCurrency = false, sawThousands = false;
  int digitsSinceSeparator = 0, digitCount = 0;
  uint64_t integer = 0;
  size_t i = 0;
  bool inFraction = false;
  while (i < text.size() && !inFraction) {
    const char c = text[i];
    if (IsDigit(c)) {
      integer = integer * 10 + static_cast<uint64_t>(c - '0');
      if (integer > 922337203685477ull) return false;  // beyond the 64-bit ten-thousandths
      ++digitsSinceSeparator;
      ++digitCount;
      ++i;
    } else if (c == ' ') {
      ++i;
    } else if (c == point) {
      inFraction = true;
      ++i;
    } else if (!currency.empty() && !sawCurrency && text.substr(i, currency.size()) == currency) {
      sawCurrency = true;
      i += currency.size();
    } else if (c == thousands) {
      if (sawThousands && digitsSinceSeparator != 3) return false;
      sawThousands = true;
      digitsSinceSeparator = 0;
      ++i;
    } else {
      return false;
    }
  }
  // Ten-thousandths from the first four fraction digits; the fifth rounds half up.
  int64_t fraction = 0;
  int fractionDigits = 0;
  bool roundUp = false;
  while (i < text.size()) {
    const char c = text[i];
    if (IsDigit(c)) {
      if (fractionDigits < 4)
        fraction = fraction * 10 + (c - '0');
      else if (fractionDigits == 4)
        roundUp = c >= '5';
      ++fractionDigits;
      ++digitCount;
      ++i;
    } else if (c == ' ') {
      ++i;
    } else if (!currency.empty() && !sawCurrency && text.substr(i) == currency) {
      sawCurrency = true;
      i = text.size();
    } else {
      return false;
    }
  }
  for (int k = fractionDigits; k < 4; ++k) fraction *= 10;
  if (digitCount == 0 || !(sawThousands || sawCurrency)) return false;
  value = static_cast<int64_t>(integer) * 10000 + fraction + (roundUp ? 1 : 0);
  return true;
}

std::string NumberText(double value) { return GeneralNumberText(value, 15, 0); }

std::string FormatCellText(std::string_view text, uint16_t code, int precision) {
  if (code == kTextFormatCode) return std::string(text);
  double number = 0;
  if (TextToNumber(text, number)) return TSSUtils::FormatNumber(code, precision, number);
  bool flag = false;
  if (TextToBoolean(text, flag)) return TSSUtils::FormatNumber(code, precision, flag ? 1 : 0);
  return std::string(text);
}

void FormatFromPattern(std::string_view pattern, uint16_t& code) {
  if (pattern == "dd/mm/yy") {
    code = 164;
    return;
  }
  if (pattern == "dd\\.mmmm\\.yy") {
    code = 165;
    return;
  }
  std::string lower(pattern);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  const auto has = [&lower](std::string_view part) {
    return lower.find(part) != std::string::npos;
  };
  if (IsCurrencyFormatCode(code)) return;
  if (has("$")) {
    code = 7;
    return;
  }
  if (IsPlainNumberFormatCode(code)) return;
  const std::pair<const char*, uint16_t> numberMarks[] = {
      {"%", 10}, {"e", 11}, {",", 4}, {".", 2}, {"0", 1}};
  for (const auto& [mark, result] : numberMarks) {
    if (has(mark)) {
      code = result;
      return;
    }
  }
  if (code == 164 || code == 165) {
    if (lower == "dd/mm/yy" || lower == "dd\\.mmmm\\.yy") return;
  } else if (IsDateTimeFormatCode(code)) {
    return;
  }
  const bool date = has("d") || has("y");
  const bool time = has("h") || has("s") || has("ms");
  if (date && time)
    code = 22;
  else if (date)
    code = 14;
  else if (time)
    code = 21;
  else
    code = 0;
}

}  // namespace workbook
