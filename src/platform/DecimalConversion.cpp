// Exact decimal to binary conversion: the value D * 10^E (D the significant digits as an
// integer) is formed as a big integer, or divided out as one, until 64 bits of the binary
// mantissa and a sticky bit for everything below are known; those are rounded once, at the
// precision of the result's own exponent (so subnormals round once too).
#include "platform/DecimalConversion.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/DoubleDouble.h"

namespace platform::math {
namespace {

// Unsigned big integer, 32-bit limbs, least significant first, no leading zero limbs.
using Big = std::vector<uint32_t>;

void MulAdd(Big& a, uint32_t factor, uint32_t addend) {
  uint64_t carry = addend;
  for (uint32_t& limb : a) {
    const uint64_t t = static_cast<uint64_t>(limb) * factor + carry;
    limb = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  if (carry != 0) a.push_back(static_cast<uint32_t>(carry));
}

void MulPow10(Big& a, int n) {
  for (; n >= 9; n -= 9) MulAdd(a, 1000000000u, 0);
  static constexpr uint32_t kSmall[] = {1,      10,      100,      1000,     10000,
                                        100000, 1000000, 10000000, 100000000};
  if (n > 0) MulAdd(a, kSmall[n], 0);
}

int BitLength(const Big& a) {
  if (a.empty()) return 0;
  int bits = 32 * static_cast<int>(a.size() - 1);
  for (uint32_t top = a.back(); top != 0; top >>= 1) ++bits;
  return bits;
}

int Bit(const Big& a, int index) {
  if (index < 0 || index / 32 >= static_cast<int>(a.size())) return 0;
  return static_cast<int>((a[static_cast<size_t>(index / 32)] >> (index % 32)) & 1u);
}

bool AnyBitBelow(const Big& a, int index) {
  for (int i = 0; i < index && i / 32 < static_cast<int>(a.size()); ++i)
    if (Bit(a, i)) return true;
  return false;
}

void ShiftLeft(Big& a, int bits) {
  if (a.empty() || bits == 0) return;
  const size_t limbs = static_cast<size_t>(bits / 32);
  const int rest = bits % 32;
  Big out(limbs, 0);
  uint32_t carry = 0;
  for (uint32_t limb : a) {
    out.push_back(rest == 0 ? limb : (limb << rest) | carry);
    carry = rest == 0 ? 0 : limb >> (32 - rest);
  }
  if (carry != 0) out.push_back(carry);
  a.swap(out);
}

int Compare(const Big& a, const Big& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

void Subtract(Big& a, const Big& b) {  // a >= b
  int64_t borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int64_t t =
        static_cast<int64_t>(a[i]) - borrow - (i < b.size() ? static_cast<int64_t>(b[i]) : 0);
    borrow = t < 0 ? 1 : 0;
    a[i] = static_cast<uint32_t>(t + (borrow << 32));
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
}

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// d * 10^exponent for d < 2^63. The power is 10^22 raised and multiplied out in
// double-double (each step exact to about 2^-104, at most 14 steps), the product or quotient
// one step more: the estimate is within 2^-96 of the value. It is taken only when the
// estimate moved by 2^-90 either way rounds to the same double, and only well inside the
// normal range, where the double-double products are exact.
bool DoubleDoubleEstimate(uint64_t d, int exponent, double& value) {
  const int power = exponent < 0 ? -exponent : exponent;
  if (power > 290) return false;
  DoubleDouble p{1, 0};
  for (int k = power; k > 0; k -= 22) p = Mul(p, kPow10[k >= 22 ? 22 : k]);
  // Converted through int64_t (the 32-bit code converts unsigned 64-bit integers with an x87
  // addition), so only below 2^63.
  if (d >= (uint64_t{1} << 63)) return false;
  const double high = static_cast<double>(static_cast<int64_t>(d));
  const int64_t rest = static_cast<int64_t>(d - static_cast<uint64_t>(high));  // |rest| < 2^11
  const DoubleDouble n = FastTwoSum(high, static_cast<double>(rest));
  const DoubleDouble v = exponent < 0 ? Div(n, p) : Mul(n, p);
  const double magnitude = std::fabs(v.hi);
  if (!(magnitude > 0x1p-960 && magnitude < 0x1p990)) return false;
  const double candidate = ToDouble(v);
  const double margin = magnitude * 0x1p-90;
  if (ToDouble(Add(v, margin)) != candidate || ToDouble(Add(v, -margin)) != candidate) return false;
  value = candidate;
  return true;
}

// value = mantissa * 2^scale, mantissa with its top bit set, plus a sticky bit; rounded once.
double Round(uint64_t mantissa, int scale, bool sticky, bool& overflow) {
  const int lead = 63 + scale;  // exponent of the leading bit
  if (lead > 1023) {
    overflow = true;
    return std::numeric_limits<double>::infinity();
  }
  int keep = 53;
  if (lead < -1022) keep -= -1022 - lead;  // subnormal: fewer bits
  if (keep < 0) return 0;
  uint64_t m = 0, rest = mantissa;
  const int drop = 64 - keep;
  if (keep > 0) {
    m = mantissa >> drop;
    rest = mantissa & ((uint64_t{1} << drop) - 1);
  }
  const uint64_t half = uint64_t{1} << (drop - 1);
  if (rest > half || (rest == half && (sticky || (m & 1)))) ++m;
  const double result = std::ldexp(static_cast<double>(static_cast<int64_t>(m)), scale + drop);
  if (std::isinf(result)) overflow = true;
  return result;
}

}  // namespace

DecimalRead ReadDecimal(std::string_view text, double& value) {
  value = 0;
  size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  // Significant digits (at most kMaxDigits, then one sticky digit) and the decimal exponent;
  // the first 19 digits also as an integer.
  constexpr int kMaxDigits = 800;
  char buffer[kMaxDigits + 1];
  int count = 0;
  uint64_t leading = 0;
  long long exponent = 0;
  bool sawDigit = false, sawPoint = false, truncatedNonZero = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !sawPoint) {
      sawPoint = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    sawDigit = true;
    if (sawPoint) --exponent;
    if (count == 0 && c == '0') continue;
    if (count < kMaxDigits) {
      if (count < 19) leading = leading * 10 + static_cast<uint64_t>(c - '0');
      buffer[count++] = c;
    } else {
      ++exponent;
      truncatedNonZero = truncatedNonZero || c != '0';
    }
  }
  if (!sawDigit) return DecimalRead::Malformed;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    if (i == text.size()) return DecimalRead::Malformed;
    long long e = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
      if (e < 100000) e = e * 10 + (text[i] - '0');
    exponent += expNegative ? -e : e;
  }
  if (i != text.size()) return DecimalRead::Malformed;
  if (truncatedNonZero) {
    buffer[count++] = '1';
    --exponent;
  }
  const std::string_view digits(buffer, static_cast<size_t>(count));
  const double sign = negative ? -1.0 : 1.0;
  if (count == 0) {
    value = sign * 0.0;
    return DecimalRead::Ok;
  }
  if (exponent + count > 310) {
    value = sign * std::numeric_limits<double>::infinity();
    return DecimalRead::Overflow;
  }
  if (exponent + count < -330) {
    value = sign * 0.0;
    return DecimalRead::Ok;
  }

  // Exact operands and one rounding: at most 15 digits and a power of ten up to 10^22.
  if (count <= 15 && exponent >= -22 && exponent <= 22) {
    const double d = static_cast<double>(static_cast<int64_t>(leading));
    value = sign * (exponent >= 0 ? d * kPow10[exponent] : d / kPow10[-exponent]);
    return DecimalRead::Ok;
  }
  // Up to 19 digits: the value in double-double arithmetic, taken when its error bound cannot
  // reach a rounding boundary; else (rarely) the exact path below.
  if (count <= 19 && DoubleDoubleEstimate(leading, static_cast<int>(exponent), value)) {
    value *= sign;
    return DecimalRead::Ok;
  }

  Big n;
  for (char c : digits) MulAdd(n, 10, static_cast<uint32_t>(c - '0'));
  uint64_t mantissa = 0;
  int scale = 0;
  bool sticky = false;
  if (exponent >= 0) {
    MulPow10(n, static_cast<int>(exponent));
    const int bits = BitLength(n);
    // The top 64 bits (shifted up when there are fewer), the rest as sticky.
    const int low = bits - 64;
    for (int b = 63; b >= 0; --b)
      mantissa = (mantissa << 1) | static_cast<uint64_t>(Bit(n, low + b));
    sticky = low > 0 && AnyBitBelow(n, low);
    scale = low;
  } else {
    // q = floor(n * 2^s / 10^-E) with exactly 64 bits; the remainder is the sticky bit. The
    // estimate of s gives 64 or 65 bits; a negative s shifts the divisor instead.
    Big d{1};
    MulPow10(d, static_cast<int>(-exponent));
    const Big digitsValue = n;
    int s = 64 + BitLength(d) - BitLength(n);
    const auto align = [&] {
      n = digitsValue;
      if (s >= 0) ShiftLeft(n, s);
      Big top = d;
      if (s < 0) ShiftLeft(top, -s);
      return top;
    };
    d = align();
    Big limit = d;
    ShiftLeft(limit, 64);
    if (Compare(n, limit) >= 0) {
      --s;
      Big unshifted{1};
      MulPow10(unshifted, static_cast<int>(-exponent));
      d = unshifted;
      d = align();
    }
    Big divisor = d;
    ShiftLeft(divisor, 63);
    for (int b = 63; b >= 0; --b) {
      if (Compare(n, divisor) >= 0) {
        Subtract(n, divisor);
        mantissa |= uint64_t{1} << b;
      }
      // divisor >>= 1
      for (size_t k = 0; k < divisor.size(); ++k) {
        divisor[k] >>= 1;
        if (k + 1 < divisor.size()) divisor[k] |= divisor[k + 1] << 31;
      }
      while (!divisor.empty() && divisor.back() == 0) divisor.pop_back();
    }
    sticky = !n.empty();
    scale = -s;
  }
  bool overflow = false;
  value = sign * Round(mantissa, scale, sticky, overflow);
  return overflow ? DecimalRead::Overflow : DecimalRead::Ok;
}

}  // namespace platform::math
