#pragma once
// Little-endian loads and stores on raw bytes: the one place where the byte order of every
// file format, clipboard block and token stream of the system is spelled out. The helpers only
// assemble bytes, so they are safe on any alignment and give the same result on any host; the
// caller checks bounds first (a reader of hostile bytes reports a short buffer as its own error).
#include <bit>
#include <cstdint>
#include <vector>

namespace platform {

constexpr uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
constexpr uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
constexpr uint64_t LoadU64(const uint8_t* p) {
  return static_cast<uint64_t>(LoadU32(p)) | (static_cast<uint64_t>(LoadU32(p + 4)) << 32);
}
constexpr int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }
constexpr int64_t LoadI64(const uint8_t* p) { return static_cast<int64_t>(LoadU64(p)); }
constexpr double LoadDouble(const uint8_t* p) { return std::bit_cast<double>(LoadU64(p)); }

constexpr void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
constexpr void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
constexpr void StoreU64(uint8_t* p, uint64_t v) {
  StoreU32(p, static_cast<uint32_t>(v));
  StoreU32(p + 4, static_cast<uint32_t>(v >> 32));
}
constexpr void StoreI32(uint8_t* p, int32_t v) { StoreU32(p, static_cast<uint32_t>(v)); }
constexpr void StoreI64(uint8_t* p, int64_t v) { StoreU64(p, static_cast<uint64_t>(v)); }
constexpr void StoreDouble(uint8_t* p, double v) { StoreU64(p, std::bit_cast<uint64_t>(v)); }

// Appends the bytes of a value to a growing buffer.
inline void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace platform
