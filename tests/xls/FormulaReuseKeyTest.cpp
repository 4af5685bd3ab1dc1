// The reuse key of file formulas: equal for the same pattern in different cells, different
// otherwise, and empty exactly when the tokens cannot be reused.
#include <gtest/gtest.h>

#include <random>

#include "xls/formula/FileTokens.h"
#include "xls/formula/FormulaReuseKey.h"

namespace xls {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
// ptgRefV to (column, row), both parts relative unless told otherwise.
void Ref(Bytes& b, uint16_t column, uint16_t row, bool relative = true) {
  b.push_back(0x44);
  Put16(b, row);
  Put16(b, ColumnWord(column, relative, relative));
}
void Area(Bytes& b, uint16_t col1, uint16_t row1, uint16_t col2, uint16_t row2) {
  b.push_back(0x25);
  Put16(b, row1);
  Put16(b, row2);
  Put16(b, ColumnWord(col1, true, true));
  Put16(b, ColumnWord(col2, true, true));
}
void Str(Bytes& b, const std::string& text) {
  b.push_back(0x17);
  b.push_back(static_cast<uint8_t>(text.size()));
  b.push_back(0);
  b.insert(b.end(), text.begin(), text.end());
}
// ptgAttr choose with `entries` jump offsets (entries - 1 in the count field).
void Choose(Bytes& b, uint16_t entries) {
  b.push_back(0x19);
  b.push_back(0x04);
  Put16(b, static_cast<uint16_t>(entries - 1));
  for (uint16_t i = 0; i < entries; ++i)
    Put16(b, static_cast<uint16_t>(0x24 + i));  // look like refs
}

// A formula of the cell (col, row) that reads the cell to its left and a range above it,
// behind a string and a choose whose bytes must be skipped whole.
Bytes Pattern(uint16_t col, uint16_t row, bool absoluteLeft = false) {
  Bytes b;
  Str(b, "$$D");
  Choose(b, 3);
  Ref(b, static_cast<uint16_t>(col - 1), row, !absoluteLeft);
  Area(b, col, static_cast<uint16_t>(row - 3), col, static_cast<uint16_t>(row - 1));
  b.push_back(0x03);  // ptgAdd
  return b;
}

TEST(FormulaReuseKey, TheSamePatternInOtherCellsGivesTheSameKey) {
  const std::string key = FormulaReuseKey(Pattern(4, 10), 4, 10);
  ASSERT_FALSE(key.empty());
  EXPECT_EQ(FormulaReuseKey(Pattern(4, 500), 4, 500), key);
  EXPECT_EQ(FormulaReuseKey(Pattern(90, 10), 90, 10), key);
  // The same tokens in another cell are another pattern (the distances differ).
  EXPECT_NE(FormulaReuseKey(Pattern(4, 10), 4, 11), key);
  // An absolute reference keeps its place in the key: moved, it is a different formula.
  const std::string absolute = FormulaReuseKey(Pattern(4, 10, true), 4, 10);
  ASSERT_FALSE(absolute.empty());
  EXPECT_NE(absolute, key);
  EXPECT_NE(FormulaReuseKey(Pattern(4, 11, true), 4, 11), absolute);
}

TEST(FormulaReuseKey, TokensThatCannotBeReusedGiveNoKey) {
  Bytes exp{0x01};  // ptgExp: the cell shares a formula stored elsewhere
  Put16(exp, 3);
  Put16(exp, 2);
  EXPECT_TRUE(FormulaReuseKey(exp, 2, 3).empty());
  Bytes array{0x40};  // ptgArray: its values follow the formula, outside these bytes
  array.resize(8, 0);
  EXPECT_TRUE(FormulaReuseKey(array, 0, 0).empty());
  EXPECT_TRUE(FormulaReuseKey({}, 0, 0).empty());
  Bytes truncated;
  Ref(truncated, 1, 1);
  truncated.pop_back();
  EXPECT_TRUE(FormulaReuseKey(truncated, 1, 1).empty());
  Bytes longString;
  Str(longString, "abc");
  longString[1] = 40;  // claims more characters than there are
  EXPECT_TRUE(FormulaReuseKey(longString, 0, 0).empty());
  Bytes wideChoose;
  Choose(wideChoose, 2);
  wideChoose[2] = 9;  // a jump table longer than the bytes
  EXPECT_TRUE(FormulaReuseKey(wideChoose, 0, 0).empty());
  EXPECT_TRUE(FormulaReuseKey(Bytes{0x18}, 0, 0).empty());  // not a BIFF8 token
  // A reused key buffer is emptied by a refusal and then filled afresh.
  std::string buffer = "left over";
  EXPECT_FALSE(FormulaReuseKey(exp, 2, 3, buffer));
  EXPECT_TRUE(buffer.empty());
  buffer = "left over";
  ASSERT_TRUE(FormulaReuseKey(Pattern(4, 10), 4, 10, buffer));
  EXPECT_EQ(buffer, FormulaReuseKey(Pattern(4, 10), 4, 10));
  EXPECT_FALSE(FormulaReuseKey(truncated, 1, 1, buffer));
  EXPECT_TRUE(buffer.empty());
}

// The key walks the tokens on its own; it must agree with the full parser on where a stream
// can be walked to its end, for streams mixing every kind of token with damaged ones.
TEST(FormulaReuseKey, AgreesWithTheParserOnWhichStreamsCanBeWalked) {
  std::mt19937 random(7);
  int keyed = 0;
  for (int round = 0; round < 20000; ++round) {
    Bytes b;
    const int tokens = 1 + static_cast<int>(random() % 5);
    for (int i = 0; i < tokens; ++i) {
      switch (random() % 7) {
        case 0:
          Ref(b, static_cast<uint16_t>(random() % 256), static_cast<uint16_t>(random()));
          break;
        case 1:
          Area(b, 3, 1, 4, 2);
          break;
        case 2:
          Str(b, std::string(random() % 4, 'x'));
          break;
        case 3:
          Choose(b, static_cast<uint16_t>(1 + random() % 3));
          break;
        case 4:
          b.push_back(static_cast<uint8_t>(0x03 + random() % 12));
          break;
        case 5:
          b.push_back(static_cast<uint8_t>(random()));
          break;  // anything
        default:
          b.push_back(0x1F);
          for (int k = 0; k < 8; ++k) b.push_back(static_cast<uint8_t>(random()));
          break;
      }
    }
    if (random() % 4 == 0 && !b.empty()) b.resize(random() % b.size());
    const ParsedFormula parsed = ParseFileTokens(b);
    bool reusable = parsed.complete && !parsed.tokens.empty();
    for (const FileToken& t : parsed.tokens)
      if (t.base == ptg::kExp || t.base == ptg::kTbl || t.base == ptg::kArray) reusable = false;
    const std::string key = FormulaReuseKey(b, 10, 100);
    ASSERT_EQ(!key.empty(), reusable) << "round " << round;
    keyed += reusable;
  }
  EXPECT_GT(keyed, 2000);  // the streams did exercise the walk, not only its refusals
}

}  // namespace
}  // namespace xls
