#include "workbook/NumberPattern.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/Locale.h"

namespace workbook {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A non-negative decimal: value = d1.d2d3... * 10^exponent; no digits means zero. The digits
// come from the value rounded to 15 significant digits, so that texts such as 2.675 round the
// way their decimal form suggests rather than by their binary representation.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal ToDecimal(double magnitude) {
  Decimal d;
  if (!(magnitude > 0)) return d;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
  std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = s.find('e');
  for (size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  d.exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps `keep` significant digits, rounding half away from zero; keep <= 0 rounds at a
// position before the first digit.
void RoundSignificant(Decimal& d, int keep) {
  if (d.digits.empty() || static_cast<int>(d.digits.size()) <= keep) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
      d.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      d.exponent += 1;
    } else {
      d.digits[static_cast<size_t>(i)] += 1;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

// Rounds to a number of decimals after the point.
void RoundDecimals(Decimal& d, int decimals) { RoundSignificant(d, d.exponent + 1 + decimals); }

// Digit at a power of ten (0 beyond the stored digits).
char DigitAt(const Decimal& d, int power) {
  const int index = d.exponent - power;
  if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
  return d.digits[static_cast<size_t>(index)];
}

std::string IntegerDigits(const Decimal& d) {
  std::string s;
  for (int p = d.exponent; p >= 0; --p) s += DigitAt(d, p);
  return s;  // empty for values below 1
}

std::string Group(const std::string& digits) {
  const char sep = platform::Locale::Current().thousandSeparator;
  if (sep == '\0' || digits.size() <= 3) return digits;
  std::string out;
  const size_t lead = digits.size() % 3;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && i >= lead && (i - lead) % 3 == 0) out += sep;
    out += digits[i];
  }
  return out;
}

std::string ExponentText(int exponent, int minDigits, bool plusSign) {
  std::string digits = std::to_string(std::abs(exponent));
  while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
  if (exponent < 0) return "-" + digits;
  return plusSign ? "+" + digits : digits;
}

std::string NonFinite() { return "#NUM!"; }

struct ParsedPattern {
  std::string prefix;
  std::string suffix;
  int intZeros = 0;    // "0" before the point
  int intPlaces = 0;   // "0" and "#" before the point
  int fracZeros = 0;   // "0" after the point
  int fracPlaces = 0;  // "0" and "#" after the point
  bool grouping = false;
  bool scientific = false;
  bool exponentPlus = false;
  int exponentDigits = 0;
};

ParsedPattern ParsePattern(std::string_view pattern) {
  ParsedPattern p;
  bool seenDigit = false, afterPoint = false, done = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    std::string& literal = seenDigit ? p.suffix : p.prefix;
    if (c == '"') {
      size_t end = pattern.find('"', i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      literal.append(pattern.substr(i + 1, end - i - 1));
      i = end;
      continue;
    }
    if (!done && (c == '0' || c == '#')) {
      seenDigit = true;
      if (afterPoint) {
        ++p.fracPlaces;
        if (c == '0') p.fracZeros = p.fracPlaces;
      } else {
        ++p.intPlaces;
        if (c == '0') ++p.intZeros;
      }
      continue;
    }
    if (!done && c == '.' && !afterPoint) {
      afterPoint = true;
      seenDigit = true;
      continue;
    }
    if (!done && c == ',' && seenDigit && !afterPoint) {
      p.grouping = true;
      continue;
    }
    if (!done && seenDigit && (c == 'E' || c == 'e') && i + 2 < pattern.size() &&
        (pattern[i + 1] == '+' || pattern[i + 1] == '-') && pattern[i + 2] == '0') {
      p.scientific = true;
      p.exponentPlus = pattern[i + 1] == '+';
      i += 2;
      while (i < pattern.size() && pattern[i] == '0') {
        ++p.exponentDigits;
        ++i;
      }
      --i;
      done = true;
      continue;
    }
    if (seenDigit) done = true;
    literal += c;
  }
  return p;
}

std::string JoinNumber(const std::string& integer, std::string fraction, const ParsedPattern& p) {
  while (static_cast<int>(fraction.size()) > p.fracZeros && !fraction.empty() &&
         fraction.back() == '0')
    fraction.pop_back();
  std::string out = p.grouping ? Group(integer) : integer;
  if (!fraction.empty()) {
    out += platform::Locale::Current().decimalSeparator;
    out += fraction;
  }
  return out;
}

std::string FixedBody(const Decimal& d, const ParsedPattern& p, bool& isZero) {
  Decimal r = d;
  RoundDecimals(r, p.fracPlaces);
  isZero = r.digits.empty();
  std::string integer = r.digits.empty() ? std::string() : IntegerDigits(r);
  while (!integer.empty() && integer.front() == '0') integer.erase(integer.begin());
  while (static_cast<int>(integer.size()) < p.intZeros) integer.insert(integer.begin(), '0');
  std::string fraction;
  for (int k = 1; k <= p.fracPlaces; ++k) fraction += r.digits.empty() ? '0' : DigitAt(r, -k);
  return JoinNumber(integer, fraction, p);
}

std::string ScientificBody(const Decimal& d, const ParsedPattern& p, bool& isZero) {
  // With several integer places and a "#" among them the exponent moves in steps of that many
  // places (engineering notation, "##0.0E+0"); otherwise the mantissa has intPlaces digits.
  const int places = std::max(1, p.intPlaces);
  const bool stepped = places > 1 && p.intZeros < places;
  Decimal r = d;
  isZero = r.digits.empty();
  int exponent = 0, intDigits = std::max(1, p.intZeros);
  for (int attempt = 0; attempt < 2 && !r.digits.empty(); ++attempt) {
    if (stepped) {
      exponent = r.exponent >= 0 ? r.exponent / places * places
                                 : -((-r.exponent + places - 1) / places) * places;
      intDigits = r.exponent - exponent + 1;
    } else {
      intDigits = places;
      exponent = r.exponent - places + 1;
    }
    Decimal rounded = r;
    const int oldExponent = r.exponent;
    RoundSignificant(rounded, intDigits + p.fracPlaces);
    r = rounded;
    if (r.exponent == oldExponent) break;
  }
  std::string integer, fraction;
  if (r.digits.empty()) {
    integer.assign(static_cast<size_t>(std::max(1, p.intZeros)), '0');
    exponent = 0;
  } else {
    for (int k = 0; k < intDigits; ++k) integer += DigitAt(r, r.exponent - k);
  }
  for (int k = 0; k < p.fracPlaces; ++k)
    fraction += r.digits.empty() ? '0' : DigitAt(r, r.exponent - intDigits - k);
  return JoinNumber(integer, fraction, p) + "E" +
         ExponentText(exponent, p.exponentDigits, p.exponentPlus);
}

}  // namespace

std::string FormatNumberPattern(std::string_view pattern, double value) {
  if (!std::isfinite(value)) return NonFinite();
  const std::string& currency = platform::Locale::Current().currencyString;
  std::string expanded;
  for (char c : pattern) {
    if (c == '$')
      expanded += currency;
    else
      expanded += c;
  }
  const ParsedPattern p = ParsePattern(expanded);
  const Decimal d = ToDecimal(std::fabs(value));
  bool isZero = false;
  std::string body = p.scientific ? ScientificBody(d, p, isZero) : FixedBody(d, p, isZero);
  std::string out;
  if (value < 0 && !isZero) out += '-';
  out += p.prefix;
  out += body;
  out += p.suffix;
  return out;
}

std::string GeneralNumberText(double value, int significant, int minExponentDigits,
                              bool exponentPlus) {
  if (!std::isfinite(value)) return NonFinite();
  if (value == 0) return "0";
  // A whole number of fewer digits than the significant ones is its own digits: the common
  // case (counts, years, constants in formulas) skips the decimal expansion.
  if (significant >= 1 && significant <= 15 && std::fabs(value) < kPowersOfTen[significant] &&
      value == std::trunc(value)) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(value)).ptr;
    return std::string(buf, end);
  }
  Decimal d = ToDecimal(std::fabs(value));
  RoundSignificant(d, significant);
  const char point = platform::Locale::Current().decimalSeparator;
  std::string out = value < 0 ? "-" : "";
  if (d.exponent >= significant || std::fabs(value) < 0.00001) {
    out += d.digits[0];
    if (d.digits.size() > 1) {
      out += point;
      out.append(d.digits, 1, std::string::npos);
    }
    out += 'E';
    out += ExponentText(d.exponent, minExponentDigits, exponentPlus);
    return out;
  }
  if (d.exponent >= 0) {
    out += IntegerDigits(d);
    if (static_cast<int>(d.digits.size()) > d.exponent + 1) {
      out += point;
      out.append(d.digits, static_cast<size_t>(d.exponent + 1), std::string::npos);
    }
  } else {
    out += '0';
    out += point;
    out.append(static_cast<size_t>(-d.exponent - 1), '0');
    out += d.digits;
  }
  return out;
}

std::string FixedNumberText(double value, int decimals) {
  if (!std::isfinite(value)) return NonFinite();
  ParsedPattern p;
  p.intZeros = 1;
  p.intPlaces = 1;
  p.fracZeros = decimals;
  p.fracPlaces = decimals;
  bool isZero = false;
  std::string body = FixedBody(ToDecimal(std::fabs(value)), p, isZero);
  return (value < 0 && !isZero ? "-" : "") + body;
}

}  // namespace workbook
