// Shared texts and the pool their blocks come from: every text keeps its characters whatever
// else is made and freed around it, freed blocks are taken again, and a text made on one
// thread outlives that thread.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "workbook/SharedText.h"
#include "workbook/TextBlockPool.h"

namespace workbook {
namespace {

std::string TextOf(size_t length, size_t seed) {
  std::string s(length, ' ');
  for (size_t i = 0; i < length; ++i) s[i] = static_cast<char>('a' + (seed + i * 7) % 26);
  return s;
}

TEST(SharedText, TextsKeepTheirCharactersThroughMixedLifetimes) {
  std::mt19937 random(20261210);
  std::vector<std::string> expected;
  std::vector<SharedText> texts;
  // Lengths on both sides of every size class and of the largest pooled block.
  for (int round = 0; round < 20000; ++round) {
    const size_t length = random() % 300;
    expected.push_back(TextOf(length, round));
    texts.emplace_back(expected.back());
    if (random() % 3 == 0) {  // free one at random: its block is taken by a later text
      const size_t k = random() % texts.size();
      texts[k] = SharedText();
      expected[k].clear();
    }
    if (random() % 5 == 0) {  // a copy shares the block
      const size_t k = random() % texts.size();
      SharedText copy = texts[k];
      EXPECT_TRUE(copy.SameBlock(texts[k]));
      texts.push_back(copy);
      expected.push_back(expected[k]);
    }
  }
  for (size_t k = 0; k < texts.size(); ++k) ASSERT_EQ(texts[k].View(), expected[k]) << k;
  EXPECT_TRUE(SharedText(std::string_view()).Empty());
}

TEST(TextBlockPool, FreedBlocksOfAClassAreTakenAgainAndLiveOnesNever) {
  std::set<void*> live;
  std::vector<std::pair<void*, size_t>> blocks;
  for (size_t bytes = 1; bytes <= text_blocks::kLargestPooled + 40; ++bytes) {
    void* p = text_blocks::Allocate(bytes);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0x77, bytes);
    EXPECT_TRUE(live.insert(p).second) << bytes;
    blocks.push_back({p, bytes});
  }
  // A freed block of a class is there for the next request of that class.
  void* freed = blocks[20].first;
  text_blocks::Free(freed, blocks[20].second);
  live.erase(freed);
  void* again = text_blocks::Allocate(blocks[20].second - 1);  // 20 and 21 bytes: one class
  EXPECT_TRUE(live.insert(again).second);
  blocks[20] = {again, blocks[20].second - 1};
  for (auto& [p, bytes] : blocks) text_blocks::Free(p, bytes);
}

TEST(SharedText, ATextOutlivesTheThreadThatMadeIt) {
  std::vector<SharedText> made;
  std::thread maker([&made] {
    for (int i = 0; i < 1000; ++i) made.emplace_back(TextOf(5 + i % 40, i));
  });
  maker.join();
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(made[size_t(i)].View(), TextOf(5 + i % 40, i));
  made.resize(500);  // freed here, on another thread than the one that made them
  for (int i = 0; i < 500; ++i) EXPECT_EQ(made[size_t(i)].View(), TextOf(5 + i % 40, i));
  SharedText later("after the maker has gone");
  EXPECT_EQ(later.View(), "after the maker has gone");
}

}  // namespace
}  // namespace workbook
