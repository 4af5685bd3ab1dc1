// Bulk memory made ahead: every block handed out has the size asked for, starts zeroed and is
// never handed out twice, whether it was made ahead, made on the spot, or replaced a spare of
// another size.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "platform/BulkMemoryAhead.h"

namespace platform {
namespace {

bool AllZero(const BulkMemory& block) {
  const auto* bytes = static_cast<const uint8_t*>(block.Data());
  for (size_t i = 0; i < block.Size(); i += 4096)
    if (bytes[i] != 0) return false;
  return bytes[block.Size() - 1] == 0;
}

TEST(BulkMemoryAhead, BlocksHaveTheAskedSizeStartZeroedAndAreNeverShared) {
  constexpr size_t kMiB = size_t{1} << 20;
  BulkMemoryAhead supply(2 * kMiB);
  std::vector<BulkMemory> taken;
  // Growing sizes, then a steady size (made ahead), then a size the spare does not have.
  const size_t sizes[][2] = {{kMiB, 2 * kMiB}, {2 * kMiB, 2 * kMiB}, {2 * kMiB, 2 * kMiB},
                             {2 * kMiB, 4 * kMiB}, {3 * kMiB, 2 * kMiB}, {2 * kMiB, 0}};
  for (const auto& s : sizes) {
    taken.push_back(supply.Take(s[0], s[1]));
    const BulkMemory& block = taken.back();
    ASSERT_NE(block.Data(), nullptr);
    EXPECT_EQ(block.Size(), s[0]);
    EXPECT_TRUE(AllZero(block)) << s[0];
    std::memset(block.Data(), int(taken.size()), block.Size());  // marks the block as used
  }
  std::set<void*> addresses;
  for (size_t k = 0; k < taken.size(); ++k) {
    addresses.insert(taken[k].Data());
    const auto* bytes = static_cast<const uint8_t*>(taken[k].Data());
    EXPECT_EQ(bytes[0], k + 1);  // no later block overlaps an earlier one
    EXPECT_EQ(bytes[taken[k].Size() - 1], k + 1);
  }
  EXPECT_EQ(addresses.size(), taken.size());
  supply.Drop();
  supply.Drop();  // nothing left to drop
  BulkMemory after = supply.Take(kMiB, 0);
  EXPECT_EQ(after.Size(), kMiB);
  EXPECT_TRUE(AllZero(after));
}

}  // namespace
}  // namespace platform
