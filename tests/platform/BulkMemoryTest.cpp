// Bulk memory blocks: zeroed and writable at every size (the large-page path included),
// ownership moving with the object, and an impossible size refused with bad_alloc.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "platform/BulkMemory.h"

namespace platform {
namespace {

TEST(BulkMemory, BlocksStartZeroedAndHoldWhatIsWritten) {
  for (size_t size :
       {size_t{1}, size_t{4096}, size_t{300000}, (size_t{2} << 20) + 12345, size_t{9} << 20}) {
    BulkMemory block(size);
    ASSERT_NE(block.Data(), nullptr);
    ASSERT_EQ(block.Size(), size);
    auto* bytes = static_cast<uint8_t*>(block.Data());
    size_t nonZero = 0;
    for (size_t i = 0; i < size; ++i) nonZero += bytes[i] != 0;
    EXPECT_EQ(nonZero, 0u) << size;
    std::memset(bytes, 0x5A, size);
    EXPECT_EQ(bytes[0], 0x5A);
    EXPECT_EQ(bytes[size - 1], 0x5A);
  }
  BulkMemory empty(0);
  EXPECT_EQ(empty.Data(), nullptr);
  EXPECT_EQ(empty.Size(), 0u);
}

TEST(BulkMemory, OwnershipMovesWithTheObject) {
  BulkMemory a(100000);
  static_cast<uint8_t*>(a.Data())[99999] = 7;
  void* data = a.Data();
  BulkMemory b(std::move(a));
  EXPECT_EQ(a.Data(), nullptr);
  EXPECT_EQ(a.Size(), 0u);
  EXPECT_EQ(b.Data(), data);
  BulkMemory c(10);
  c = std::move(b);
  EXPECT_EQ(c.Data(), data);
  EXPECT_EQ(static_cast<uint8_t*>(c.Data())[99999], 7);
  c = BulkMemory();
  EXPECT_EQ(c.Data(), nullptr);
}

TEST(BulkMemory, ASizeNoAddressSpaceHoldsIsRefused) {
  EXPECT_THROW(BulkMemory(std::numeric_limits<size_t>::max() - 4096), std::bad_alloc);
}

}  // namespace
}  // namespace platform
