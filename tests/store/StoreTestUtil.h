#pragma once
// Shared helpers of the store tests: scratch paths and whole-file byte access.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/LittleEndian.h"

namespace store::test {

// A fresh path in the test scratch folder, unique per test; any parts of an earlier run go.
inline std::string ScratchPath(const std::string& leaf) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string path =
      ::testing::TempDir() + "sfs_" + info->test_suite_name() + "_" + info->name() + "_" + leaf;
  for (int i = 0; i < 8; ++i) platform::RemoveFile(i == 0 ? path : path + std::to_string(i));
  return path;
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline int64_t FileLength(const std::string& path) {
  platform::File f(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
  return f.Size();
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return platform::LoadU32(b.data() + at);
}

inline void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  platform::StoreU32(b.data() + at, v);
}

inline std::vector<uint8_t> Pattern(size_t n, uint32_t seed) {
  std::vector<uint8_t> out(n);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x);
  }
  return out;
}

// File offset of logical byte p in a one-part store without prefix.
constexpr size_t Logical(size_t p) { return 280 + p; }

}  // namespace store::test
