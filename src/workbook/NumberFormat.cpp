// The display text of a number under each built-in number-format code.
#include <algorithm>
#include <cmath>

#include "platform/Locale.h"
#include "workbook/DateTime.h"
#include "workbook/NumberPattern.h"
#include "workbook/SSUtils.h"

namespace workbook {
namespace {

std::string WithCurrency(std::string_view text) {
  const std::string& currency = platform::Locale::Current().currencyString;
  std::string out;
  for (char c : text) {
    if (c == '$')
      out += currency;
    else
      out += c;
  }
  return out;
}

// Positive pattern for values >= 0, negative pattern for the magnitude of negative values.
std::string Signed(std::string_view positive, std::string_view negative, double value) {
  return value < 0 ? FormatNumberPattern(negative, -value) : FormatNumberPattern(positive, value);
}

struct Accounting {
  const char* positive;
  const char* negative;
  const char* zero;
};
constexpr Accounting kAccounting[4] = {
    {" #,##0 ", "(#,##0)", " - "},
    {" $ #,##0 ", "$ (#,##0)", " $ - "},
    {" #,##0.00 ", "(#,##0.00)", " -   "},
    {" $ #,##0.00 ", " $ (#,##0.00)", " $ -   "},
};

std::string ElapsedText(double value, uint16_t code) {
  DateTimeParts parts;
  if (!DecodeDateTime(value, parts)) return std::string();
  const auto& locale = platform::Locale::Current();
  std::string minSec = FormatDateTime("nn:ss", value);
  if (code == 45) return minSec;
  if (code == 47) return minSec + "." + std::to_string(parts.millisecond);
  // Whole hours over all days, then minutes and seconds of the last hour.
  const double totalMs = std::round(std::fabs(value) * 86400000.0);
  const long long hours = static_cast<long long>(totalMs / 3600000.0);
  return (value < 0 ? "-" : "") + std::to_string(hours) + locale.timeSeparator + minSec;
}

}  // namespace

std::string TSSUtils::FormatNumber(uint16_t code, int precision, double value) {
  std::string text;
  int color = 0;
  FormatNumber(code, precision, text, color, value);
  return text;
}

void TSSUtils::FormatNumber(uint16_t code, int precision, std::string& text, int& colorIndex,
                            double value) {
  precision = std::clamp(precision, 0, 8);
  const auto& locale = platform::Locale::Current();
  if (!std::isfinite(value)) {
    text = "#NUM!";
    return;
  }
  if ((code == 6 || code == 8 || code == 38 || code == 40) && value < 0)
    colorIndex = kRedColorIndex;
  if (IsDateTimeFormatCode(code)) {
    // A number beyond the calendar cannot be a date: it is shown as a plain number.
    DateTimeParts parts;
    if (!DecodeDateTime(value, parts)) {
      text = GeneralNumberText(value, 8, std::min(precision, 4), true);
      return;
    }
  }
  switch (code) {
    case 0:
      text = GeneralNumberText(value, 8, std::min(precision, 4), true);
      return;
    case 1:
      text = FormatNumberPattern("0", value);
      return;
    case 2:
      text = FormatNumberPattern("0.00", value);
      return;
    case 3:
      text = FormatNumberPattern("#,##0", value);
      return;
    case 4:
      text = FormatNumberPattern("#,##0.00", value);
      return;
    case 11:
      text = FormatNumberPattern("0.00E+00", value);
      return;
    case 5:
    case 6:
      text = Signed("$#,##0", "($#,##0)", value);
      return;
    case 7:
    case 8:
      text = Signed("$#,##0.00", "($#,##0.00)", value);
      return;
    case 9:
      text = FormatNumberPattern("0%", value * 100);
      return;
    case 10:
      text = FormatNumberPattern("0.00%", value * 100);
      return;
    case 14:
      text = FormatDateTime(locale.shortDateFormat, value);
      return;
    case 15:
      text = FormatDateTime("d\"-\"mmmm\"-\"yy", value);
      return;
    case 16:
      text = FormatDateTime("d\"-\"mmmm", value);
      return;
    case 17:
      text = FormatDateTime("mmmm\"-\"yy", value);
      return;
    case 18:
    case 19:
      text = UpperText(FormatDateTime(code == 18 ? "h:nn am/pm" : "h:nn\":\"ss am/pm", value));
      return;
    case 20:
      text = FormatDateTime("h:nn", value);
      return;
    case 21:
      text = FormatDateTime(locale.longTimeFormat, value);
      return;
    case 22:
      text = FormatDateTime(locale.shortDateFormat, value) + " " +
             FormatDateTime(locale.longTimeFormat, value);
      return;
    case 37:
    case 38:
      text = Signed(" #,##0 ", "(#,##0)", value);
      return;
    case 39:
    case 40:
      text = Signed(" #,##0.00 ", "(#,##0.00)", value);
      return;
    case 41:
    case 42:
    case 43:
    case 44: {
      const Accounting& a = kAccounting[code - 41];
      text = value == 0 ? WithCurrency(a.zero) : Signed(a.positive, a.negative, value);
      return;
    }
    case 45:
    case 46:
    case 47:
      text = ElapsedText(value, code);
      return;
    case 48:
      text = FormatNumberPattern("##0.0E+0", value);
      return;
    case 164:
      text = FormatDateTime("dd/mm/yy", value);
      return;
    case 165:
      text = FormatDateTime("dd.mmmm.yy", value);
      return;
    default:
      text = value == 0 ? "0" : FixedNumberText(value, precision);
      return;
  }
}

}  // namespace workbook
