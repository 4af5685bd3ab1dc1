// Internal formula tokens to file token bytes, and back to text through the file reader's
// converter: references relative to the owning cell, 3D references, names, copied tokens.
#include <gtest/gtest.h>

#include <vector>

#include "formulas/TokenBlock.h"
#include "xls/book/FileTokenWriter.h"

namespace xls {
namespace {

using formulas::TokenBlock;

std::vector<uint8_t> Convert(const TokenBlock& internal, int32_t col, int32_t row) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(ToFileTokens(internal.Bytes(), col, row, out));
  return out;
}

TEST(FileTokenWriter, RelativeReferenceNumberAndOperator) {
  // =A1+1 entered in B2: the reference holds the offsets -1, -1.
  TokenBlock t = formulas::MakeRefToken({false, false, -1, -1});
  t.Append(formulas::MakeNumberToken(1));
  t.AppendByte(formulas::ptgAdd);
  const std::vector<uint8_t> expected = {0x44, 0x00, 0x00, 0x00, 0xC0, 0x1F, 0,   0,
                                         0,    0,    0,    0,    0xF0, 0x3F, 0x03};
  EXPECT_EQ(Convert(t, 1, 1), expected);
}

TEST(FileTokenWriter, AbsoluteAndMixedReferences) {
  // $C$5 and C$5 from D10: absolute parts are indexes, relative parts offsets.
  TokenBlock t = formulas::MakeRefToken({true, true, 4, 2});
  t.Append(formulas::MakeRefToken({true, false, 4, -1}));
  const std::vector<uint8_t> expected = {0x44, 0x04, 0x00, 0x02, 0x00,
                                         0x44, 0x04, 0x00, 0x02, 0x40};
  EXPECT_EQ(Convert(t, 3, 9), expected);
}

TEST(FileTokenWriter, AreasThreeDimensionalAndNames) {
  formulas::AreaToken area{false, false, false, false, 0, 2, 0, 0};  // A1:A3 from A1
  TokenBlock t = formulas::MakeAreaToken(area);
  EXPECT_EQ(Convert(t, 0, 0), (std::vector<uint8_t>{0x25, 0, 0, 2, 0, 0x00, 0xC0, 0x00, 0xC0}));

  // Sheet2!A1: the 3D kinds store indexes; the sheet index is the EXTERNSHEET entry.
  TokenBlock r3 = formulas::MakeRef3dToken(1, {false, false, 0, 0});
  EXPECT_EQ(Convert(r3, 7, 7), (std::vector<uint8_t>{0x5A, 0x01, 0x00, 0x00, 0x00, 0x00, 0xC0}));
  formulas::AreaToken abs{true, true, true, true, 1, 3, 2, 4};
  TokenBlock a3 = formulas::MakeArea3dToken(2, abs);
  EXPECT_EQ(Convert(a3, 7, 7), (std::vector<uint8_t>{0x3B, 2, 0, 1, 0, 3, 0, 2, 0, 4, 0}));

  EXPECT_EQ(Convert(formulas::MakeNameToken(0), 0, 0),
            (std::vector<uint8_t>{0x43, 0x01, 0x00, 0x00, 0x00}));
}

TEST(FileTokenWriter, OtherTokensAreCopiedAndBrokenStreamsRefused) {
  TokenBlock t = formulas::MakeStringToken("a\"b");
  t.Append(formulas::MakeBoolToken(true));
  t.Append(formulas::MakeFuncVarToken(2, 4));
  t.AppendByte(formulas::ptgParen);
  EXPECT_EQ(Convert(t, 3, 3), std::vector<uint8_t>(t.Bytes().begin(), t.Bytes().end()));

  // A reference token cut short: nothing is written rather than half a formula.
  TokenBlock ref = formulas::MakeRefToken({false, false, 0, 0});
  std::vector<uint8_t> cut(ref.Bytes().begin(), ref.Bytes().end() - 3);
  std::vector<uint8_t> out = {1, 2, 3};
  EXPECT_FALSE(ToFileTokens(cut, 0, 0, out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace xls
