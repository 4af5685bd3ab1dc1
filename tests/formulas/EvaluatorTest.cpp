// The evaluator on token streams the parser never makes: streams from files are hostile.
#include <gtest/gtest.h>

#include "FormulaTestBook.h"
#include "platform/Locale.h"

namespace formulas::test {
namespace {

TokenBlock Stream(std::initializer_list<TokenBlock> tokens) {
  TokenBlock out;
  for (const auto& t : tokens) out.Append(t);
  return out;
}

class EvaluatorTest : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  FormulaTestBook book_;

  // Puts a formula cell with the given tokens at (col, row) of sheet 0.
  FormulaEntry* Place(int32_t col, int32_t row, TokenBlock tokens) {
    FormulaEntry e;
    e.Col = col;
    e.Row = row;
    e.Tokens = std::move(tokens);
    FormulaEntry* raw = book_.Cache().Add(std::move(e));
    book_.WriteCell(0, col, row, "=?", CellDataType::Formula, raw);
    return raw;
  }
  std::string Show(FormulaEntry* e) { return book_.Cache().FormulaDisplayText(e, false); }
  int Count(const std::string& message) {
    int n = 0;
    for (const auto& m : book_.Messages()) n += m == message;
    return n;
  }
};

TEST_F(EvaluatorTest, BrokenStreamsEndAsErrors) {
  EXPECT_EQ(Show(Place(0, 0, MakeByteToken(ptgAdd))), "#VALUE!");  // operands missing
  const TokenBlock num = MakeNumberToken(1);
  EXPECT_EQ(Show(Place(0, 1, TokenBlock(std::span<const uint8_t>(num.Data(), 4)))), "#VALUE!");
  EXPECT_EQ(Show(Place(0, 2, MakeFuncVarToken(0, 9999))), "#VALUE!");  // no such function
  // A string token whose count runs past the end.
  const uint8_t str[] = {ptgStr, 200, 1, 'a', 0};
  EXPECT_EQ(Show(Place(0, 3, TokenBlock(std::span<const uint8_t>(str, sizeof str)))), "#VALUE!");
  // Stray bytes and stored error kinds inside a stream are skipped by regeneration.
  FormulaEntry* e = Place(0, 4, Stream({MakeNumberToken(2), MakeByteToken(3), MakeByteToken(99)}));
  EXPECT_EQ(Show(e), "#VALUE!");
}

TEST_F(EvaluatorTest, UnknownOperatorsAreReportedOnceEvenWhenEvaluationWaits) {
  book_.Set("B1", "=5");
  // 1 2 ptgRange B1 ptgAdd: the range operator is unknown to the evaluator; the read of B1
  // suspends the first evaluation, which then runs again.
  FormulaEntry* e =
      Place(0, 0,
            Stream({MakeNumberToken(1), MakeNumberToken(2), MakeByteToken(ptgRange),
                    MakeRefToken(RefToken{false, false, 0, 1}), MakeByteToken(ptgAdd)}));
  book_.Cache().RecalculateAll();
  EXPECT_EQ(Show(e), "7");
  EXPECT_EQ(Count("Unknown token in expression"), 1);
}

TEST_F(EvaluatorTest, IntersectionOfTwoAreas) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) book_.Set(0, c, r, std::to_string(r * 10 + c));
  const AreaToken a{true, true, true, true, 0, 2, 0, 2};  // A1:C3
  const AreaToken b{true, true, true, true, 1, 3, 1, 3};  // B2:D4
  FormulaEntry* e = Place(9, 9,
                          Stream({MakeAreaToken(a), MakeAreaToken(b), MakeByteToken(ptgIsect),
                                  MakeFuncVarToken(1, 4)}));
  EXPECT_EQ(Show(e), "66");  // B2 + C2 + B3 + C3 = 11 + 12 + 21 + 22
  const AreaToken distant{true, true, true, true, 7, 8, 7, 8};
  FormulaEntry* none = Place(9, 8,
                             Stream({MakeAreaToken(a), MakeAreaToken(distant),
                                     MakeByteToken(ptgIsect), MakeFuncVarToken(1, 4)}));
  EXPECT_EQ(Show(none), "#REF!");
}

TEST_F(EvaluatorTest, ReferencesOutsideTheBookAreRef) {
  EXPECT_EQ(Show(Place(0, 0, MakeRef3dToken(7, RefToken{true, true, 0, 0}))), "#REF!");
  EXPECT_EQ(Show(Place(0, 1,
                       Stream({MakeArea3dToken(7, AreaToken{true, true, true, true, 0, 1, 0, 1}),
                               MakeFuncVarToken(1, 4)}))),
            "#REF!");
  EXPECT_EQ(Show(Place(0, 2, MakeNameToken(40))), "#REF!");
  // A relative reference that resolves before row 0.
  EXPECT_EQ(Show(Place(0, 3, MakeRefToken(RefToken{false, false, -10, 0}))), "#REF!");
}

TEST_F(EvaluatorTest, TokenBlocksCopyMoveAndReportTheirValueKind) {
  TokenBlock small = MakeNumberToken(3);
  TokenBlock big;
  for (int i = 0; i < 10; ++i) big.Append(small);
  EXPECT_EQ(big.Length(), 90u);
  TokenBlock copy = big;
  EXPECT_EQ(copy, big);
  EXPECT_NE(copy.Data(), big.Data());
  TokenBlock moved = std::move(copy);
  EXPECT_EQ(moved, big);
  EXPECT_EQ(copy.Length(), 0u);
  EXPECT_EQ(big.ValueKind(), ptgNum);
  TokenBlock isect = Stream({MakeRefToken({}), MakeByteToken(ptgIsect)});
  EXPECT_EQ(isect.ValueKind(), ptgRef);
  EXPECT_EQ(MakeByteToken(ptgIsect).ValueKind(), ptgIsect);
  EXPECT_EQ(MakeStringToken("").Length(), 3u);
  EXPECT_EQ(MakeStringToken("")[2], 0);  // the flag byte is 0 for the empty string
  EXPECT_EQ(MakeStringToken("ab")[2], 1);
  EXPECT_EQ(ReadStringToken(MakeStringToken(std::string(400, 'q')).Data()).size(), 255u);
  TokenBlock full;
  full.Append(std::vector<uint8_t>(65535, 1));
  EXPECT_THROW(full.AppendByte(1), std::length_error);
}

TEST_F(EvaluatorTest, ResultsAreSingleTokensOfTheRightKind) {
  FormulaEntry* text = Place(0, 0, MakeStringToken("12"));
  Show(text);
  EXPECT_EQ(text->Result[0], ptgNum);  // a number text becomes a number
  FormulaEntry* word = Place(0, 1, MakeStringToken("true"));
  Show(word);
  EXPECT_EQ(word->Result[0], ptgBool);
  FormulaEntry* concat =
      Place(0, 2, Stream({MakeStringToken("1"), MakeStringToken("2"), MakeByteToken(ptgConcat)}));
  Show(concat);
  EXPECT_EQ(concat->Result[0], ptgStr);  // a text pushed by an operator stays a text
  FormulaEntry* err =
      Place(0, 3, Stream({MakeNumberToken(1), MakeNumberToken(0), MakeByteToken(ptgDiv)}));
  Show(err);
  EXPECT_EQ(err->State, EntryState::Error);
  EXPECT_EQ(err->Result.Length(), 1u);
  EXPECT_EQ(err->Result[0], 2);
}

}  // namespace
}  // namespace formulas::test
