#include "xls/biff/Rk.h"

#include <cmath>
#include <cstring>

namespace xls {

namespace {
uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
double FromBits(uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}
bool Same(double a, double b) { return Bits(a) == Bits(b); }

// An integral value inside the signed 30-bit range, as its RK word without the flags.
std::optional<uint32_t> AsInt30(double v) {
  if (!(v >= -536870912.0 && v <= 536870911.0) || std::trunc(v) != v) return std::nullopt;
  int32_t i = static_cast<int32_t>(v);
  return static_cast<uint32_t>(i) << 2;
}
}  // namespace

double DecodeRk(uint32_t rk) {
  double v;
  if (rk & 2) {
    // Arithmetic shift of the signed 30-bit integer.
    int32_t i = static_cast<int32_t>(rk & 0xFFFFFFFCu) / 4;
    v = i;
  } else {
    v = FromBits(static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32);
  }
  return (rk & 1) ? v / 100.0 : v;
}

std::optional<uint32_t> EncodeRk(double value) {
  if (std::isnan(value)) return std::nullopt;
  // Upper 30 bits of the double itself.
  uint64_t b = Bits(value);
  if ((b & 0x00000003FFFFFFFFull) == 0) return static_cast<uint32_t>(b >> 32);
  if (auto i = AsInt30(value); i && !Same(value, -0.0)) {
    uint32_t rk = *i | 2;
    if (Same(DecodeRk(rk), value)) return rk;
  }
  // Hundredths: value * 100 must be representable and divide back to exactly the value.
  double scaled = value * 100.0;
  if (std::isfinite(scaled)) {
    double r = std::round(scaled);
    uint64_t sb = Bits(r);
    if ((sb & 0x00000003FFFFFFFFull) == 0) {
      uint32_t rk = static_cast<uint32_t>(sb >> 32) | 1;
      if (Same(DecodeRk(rk), value)) return rk;
    }
    if (auto i = AsInt30(r)) {
      uint32_t rk = *i | 3;
      if (Same(DecodeRk(rk), value)) return rk;
    }
  }
  return std::nullopt;
}

}  // namespace xls
