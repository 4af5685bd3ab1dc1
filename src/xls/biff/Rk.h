#pragma once
// RK numbers: a 32-bit packed form of a double used by RK and MULRK cells.
//   bit 0     set: the value is divided by 100
//   bit 1     set: bits 2..31 are a signed 30-bit integer; clear: they are the upper 30 bits
//             of an IEEE double whose other 34 bits are 0
#include <cstdint>
#include <optional>

namespace xls {

double DecodeRk(uint32_t rk);
// The RK form that decodes to exactly `value` (bit for bit), or none when there is none.
// Prefers the forms without division, then integers.
std::optional<uint32_t> EncodeRk(double value);

}  // namespace xls
