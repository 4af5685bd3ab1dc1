#include "formulas/Values.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "platform/CodePage.h"

namespace formulas {

namespace {

// The significant digits of the shortest text that reads back as `value` exactly.
int ShortestSignificantDigits(double value) {
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
  const char* end = r.ptr;
  for (const char* p = buf; p < end; ++p)
    if (*p == 'e') end = p;
  int digits = 0, trailingZeros = 0;
  bool leading = true;
  for (const char* p = buf; p < end; ++p) {
    if (*p < '0' || *p > '9') continue;
    if (leading && *p == '0') continue;
    leading = false;
    ++digits;
    trailingZeros = *p == '0' ? trailingZeros + 1 : 0;
  }
  return digits - trailingZeros;
}

}  // namespace

double RoundToTextGeneral(double value) {
  if (!std::isfinite(value)) return value;
  // Whole-number tests by a round trip through a 64-bit integer, which every magnitude below
  // is far within; this runs for every number a formula reads.
  const auto whole = [](double x) { return static_cast<double>(static_cast<int64_t>(x)) == x; };
  if (std::fabs(value) < 1e15 && whole(value)) return value;
  // A value of k binary places (k <= 10) is exactly a decimal of k places: below 10^(15-k)
  // that is at most 15 digits, which the text keeps whole.
  double scaled = value;
  double limit = 1e15;
  for (int k = 1; k <= 10; ++k) {
    scaled *= 2;  // exact: a power of two
    limit /= 10;
    if (std::fabs(value) >= limit) break;
    if (whole(scaled)) return value;  // |scaled| < 10^(15-k) * 2^k, below 2^63
  }
  // When some text of at most 15 significant digits reads back as the value, the value's own
  // 15-digit rounding is at least as close to it and reads back as the value too: no trip
  // through the text is needed.
  if (ShortestSignificantDigits(value) <= 15) return value;
  double back = 0;
  return TextToNumber(NumberText(value), back) ? back : value;
}

int CompareValueTexts(std::string_view left, std::string_view right) {
  double l = 0, r = 0;
  if (TextToNumber(right, r) && (left.empty() || TextToNumber(left, l))) {
    if (left.empty()) l = 0;
    return l < r ? -1 : (l > r ? 1 : 0);
  }
  bool lb = false, rb = false;
  if (TextToBoolean(left, lb) && TextToBoolean(right, rb)) return int(lb) - int(rb);
  const int order = platform::AnsiCompareText(left, right);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace formulas
