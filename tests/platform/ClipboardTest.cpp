#include <gtest/gtest.h>

#include "platform/Clipboard.h"

namespace platform {
namespace {

TEST(PlatformClipboard, FormatsAreRegisteredByName) {
  const ClipboardFormat a = Clipboard::RegisterFormat("Clipboard test format A");
  const ClipboardFormat b = Clipboard::RegisterFormat("Clipboard test format B");
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(Clipboard::RegisterFormat("Clipboard test format A"), a);
  EXPECT_EQ(Clipboard::RegisterFormat(""), 0u);
}

TEST(PlatformClipboard, BlockAndTextAreWrittenTogetherAndReadBack) {
  const ClipboardFormat format = Clipboard::RegisterFormat("Clipboard test block");
  const ClipboardFormat other = Clipboard::RegisterFormat("Clipboard test other");
  // Zeros and high bytes inside the block survive; the system may pad the block at its end.
  const std::string block("\x01\x00\xff\x80 block\r\n\0", 13);
  ASSERT_TRUE(Clipboard::Write(format, block, std::string("caf\xe9\tx\r\n")));
  EXPECT_TRUE(Clipboard::HasBlock(format));
  EXPECT_FALSE(Clipboard::HasBlock(other));
  EXPECT_TRUE(Clipboard::HasText());
  const auto read = Clipboard::ReadBlock(format);
  ASSERT_TRUE(read.has_value());
  ASSERT_GE(read->size(), block.size());
  EXPECT_EQ(read->substr(0, block.size()), block);
  EXPECT_FALSE(Clipboard::ReadBlock(other).has_value());
  EXPECT_FALSE(Clipboard::ReadBlock(0).has_value());
  EXPECT_EQ(Clipboard::ReadText(), std::optional<std::string>("caf\xe9\tx\r\n"));
}

TEST(PlatformClipboard, WritingReplacesAndClearingEmpties) {
  const ClipboardFormat format = Clipboard::RegisterFormat("Clipboard test block");
  ASSERT_TRUE(Clipboard::Write(format, std::string("old"), std::string("old text")));
  // Text only: the old block is gone; the text ends at its first zero.
  ASSERT_TRUE(Clipboard::Write(0, std::nullopt, std::string("new\0hidden", 10)));
  EXPECT_FALSE(Clipboard::HasBlock(format));
  EXPECT_EQ(Clipboard::ReadText(), std::optional<std::string>("new"));
  ASSERT_TRUE(Clipboard::Write(format, std::string("only a block"), std::nullopt));
  EXPECT_FALSE(Clipboard::HasText());
  EXPECT_FALSE(Clipboard::ReadText().has_value());
  EXPECT_TRUE(Clipboard::HasBlock(format));
  ASSERT_TRUE(Clipboard::Clear());
  EXPECT_FALSE(Clipboard::HasBlock(format));
  EXPECT_FALSE(Clipboard::HasText());
  EXPECT_FALSE(Clipboard::ReadBlock(format).has_value());
}

}  // namespace
}  // namespace platform
