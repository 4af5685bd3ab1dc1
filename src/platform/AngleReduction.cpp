#include "platform/AngleReduction.h"

#include <cmath>
#include <cstdint>

#include "platform/MathKernels.h"

namespace platform::math {
namespace {

// The fraction bits of 2/pi, 32 a word, most significant first: 2/pi = 0.A2F9836E 4E441529...
// (hexadecimal), from a 1,600-bit evaluation of Machin's formula. 42 words reach the bits that
// the largest double (2^1024) needs, plus the 256-bit window below.
constexpr uint32_t kTwoOverPi[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB,
    0xDEBBC561, 0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E,
    0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B,
    0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7,
    0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1,
    0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08};
constexpr int kWords = sizeof kTwoOverPi / sizeof kTwoOverPi[0];

// Eight words of 2/pi under the binary point of x * 2/pi: the words dropped below them change
// the fraction by less than 2^-169, while no double lies closer than 2^-62 to a multiple of
// pi/2 (relative to x), so at least 106 good bits remain after any cancellation.
constexpr int kWindow = 8;
constexpr int kLimbs = kWindow + 2;  // the 53-bit mantissa times the window

// Bit `index` of a little-endian limb array (0 beyond its end).
int BitAt(const uint32_t* limbs, int index) {
  if (index < 0 || index >= 32 * kLimbs) return 0;
  return static_cast<int>((limbs[index / 32] >> (index % 32)) & 1u);
}

// The `count` (<= 64) bits below bit `top` (exclusive), as an integer.
uint64_t BitsBelow(const uint32_t* limbs, int top, int count) {
  uint64_t v = 0;
  for (int i = 1; i <= count; ++i) v = (v << 1) | static_cast<uint64_t>(BitAt(limbs, top - i));
  return v;
}

}  // namespace

Reduced ReduceLargeAngle(double x) {
  // x = m 2^e with m a 53-bit integer. Words of 2/pi whose products with m lie wholly above
  // 2^2 add multiples of 4 to x * 2/pi and are left out; the window starts at the first word
  // that can reach the bits 2^1, 2^0 (the quadrant) or the fraction.
  int exponent = 0;
  const double mantissa = std::frexp(x, &exponent);
  const int e = exponent - 53;
  const uint64_t m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
  const int first = e >= 3 ? (e - 3) / 32 : 0;

  // product = m * (window words as one integer), little-endian 32-bit limbs.
  uint32_t product[kLimbs] = {};
  const uint32_t mParts[2] = {static_cast<uint32_t>(m), static_cast<uint32_t>(m >> 32)};
  for (int w = 0; w < kWindow; ++w) {
    const int index = first + w;
    const uint64_t word = index < kWords ? kTwoOverPi[index] : 0;
    const int limb = kWindow - 1 - w;  // the first word is the most significant
    uint64_t carry = 0;
    for (int j = 0; j < 2; ++j) {
      const uint64_t t = word * mParts[j] + product[limb + j] + carry;
      product[limb + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    for (int k = limb + 2; carry != 0 && k < kLimbs; ++k) {
      const uint64_t t = static_cast<uint64_t>(product[k]) + carry;
      product[k] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
  }
  // x * 2/pi = product * 2^(e - 32 (first + kWindow)): the binary point lies above bit
  // `point` of the product.
  const int point = 32 * (first + kWindow) - e;
  Reduced out;
  out.quadrant = BitAt(product, point) | (BitAt(product, point + 1) << 1);

  // The fraction f = bits below the point; above one half it becomes f - 1 (k + 1).
  const bool negative = BitAt(product, point - 1) != 0;
  if (negative) {
    out.quadrant = (out.quadrant + 1) & 3;
    // 1 - f in two's complement over the `point` fraction bits.
    uint64_t borrow = 1;
    for (int k = 0; k < kLimbs; ++k) {
      const uint64_t t = static_cast<uint64_t>(~product[k]) + borrow;
      product[k] = static_cast<uint32_t>(t);
      borrow = t >> 32;
    }
  }
  for (int k = 0; k < kLimbs; ++k) {
    const int low = 32 * k;
    if (low >= point)
      product[k] = 0;
    else if (low + 32 > point)
      product[k] &= (1u << (point - low)) - 1u;
  }
  // The leading one of the fraction, then 53 + 53 bits from it.
  int lead = point - 1;
  while (lead >= 0 && BitAt(product, lead) == 0) --lead;
  if (lead < 0) return out;  // cannot happen for pi is irrational; a zero remainder
  const uint64_t high = BitsBelow(product, lead + 1, 53);
  const uint64_t low = BitsBelow(product, lead + 1 - 53, 53);
  const int highScale = lead + 1 - 53 - point;
  // Both parts below 2^53, converted through int64_t: the 32-bit code converts unsigned 64-bit
  // integers with an x87 addition.
  const DoubleDouble f =
      FastTwoSum(std::ldexp(static_cast<double>(static_cast<int64_t>(high)), highScale),
                 std::ldexp(static_cast<double>(static_cast<int64_t>(low)), highScale - 53));
  out.remainder = Mul(f, kPiOver2DD);
  if (negative) out.remainder = Negate(out.remainder);
  return out;
}

}  // namespace platform::math
