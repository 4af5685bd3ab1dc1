// The ptg table and the structured parse of formula token bytes.
#include <gtest/gtest.h>

#include "xls/formula/FileTokens.h"

namespace xls {
namespace {

using namespace ptg;

ParsedFormula Parse(std::vector<uint8_t> bytes) { return ParseFileTokens(bytes); }

std::vector<uint8_t> KindsOf(const ParsedFormula& f) {
  std::vector<uint8_t> kinds;
  for (const auto& t : f.tokens) kinds.push_back(t.kind);
  return kinds;
}

TEST(PtgTable, ClassesShareTheirBase) {
  EXPECT_EQ(WithClass(kRef, TokenClass::Value), 0x44);
  EXPECT_EQ(WithClass(kRef, TokenClass::Array), 0x64);
  EXPECT_EQ(WithClass(kAdd, TokenClass::Value), kAdd);
  EXPECT_EQ(BaseKind(0x5A), kRef3d);
  EXPECT_EQ(ClassOf(0x5A), TokenClass::Value);
  EXPECT_EQ(ClassOf(0x3B), TokenClass::Reference);
  EXPECT_EQ(ClassOf(kNum), TokenClass::None);
  for (int base = 0x20; base < 0x40; ++base) {
    auto ref = LookupPtg(static_cast<uint8_t>(base));
    for (TokenClass c : {TokenClass::Value, TokenClass::Array}) {
      auto other = LookupPtg(WithClass(static_cast<uint8_t>(base), c));
      ASSERT_EQ(ref.has_value(), other.has_value()) << base;
      if (ref) {
        EXPECT_EQ(other->name, ref->name);
        EXPECT_EQ(other->payload, ref->payload);
        EXPECT_EQ(other->tokenClass, c);
      }
    }
  }
}

TEST(PtgTable, UndefinedKindsHaveNoEntry) {
  for (uint8_t kind : {0x00, 0x18, 0x1A, 0x1B, 0x30, 0x38, 0x3E, 0x3F, 0x80, 0xFF})
    EXPECT_FALSE(LookupPtg(kind)) << int(kind);
  EXPECT_EQ(LookupPtg(0x44)->name, "ptgRef");
  EXPECT_EQ(LookupPtg(0x42)->name, "ptgFuncVar");
  EXPECT_EQ(LookupPtg(kAdd)->operands, 2);
  EXPECT_EQ(LookupPtg(kUminus)->operands, 1);
}

TEST(FileTokens, ReferencesConstantsAndOperatorsInPostfixOrder) {
  // A1 + B1 * 2, both references relative.
  auto f = Parse({0x44, 0, 0, 0x00, 0xC0, 0x44, 0, 0, 0x01, 0xC0, 0x1E, 2, 0, 0x05, 0x03});
  ASSERT_TRUE(f.complete) << f.problem;
  EXPECT_EQ(KindsOf(f), (std::vector<uint8_t>{0x44, 0x44, kInt, kMul, kAdd}));
  EXPECT_EQ(PlainCellRef(f.tokens[1].column, f.tokens[1].row), (FileCellRef{0, 1, true, true}));
  EXPECT_EQ(f.tokens[2].index, 2);
  EXPECT_EQ(f.tokens[3].offset, 13);
  EXPECT_EQ(f.tokens[0].size, 5);
}

TEST(FileTokens, AreaWithSumAttribute) {
  auto f = Parse({0x25, 0, 0, 2, 0, 0, 0, 0, 0, 0x19, 0x10, 0, 0});
  ASSERT_TRUE(f.complete);
  ASSERT_EQ(f.tokens.size(), 2u);
  EXPECT_EQ(f.tokens[0].lastRow, 2);
  EXPECT_EQ(PlainCellRef(f.tokens[0].column, f.tokens[0].row), (FileCellRef{0, 0, false, false}));
  EXPECT_EQ(f.tokens[1].code, kAttrSum);
  EXPECT_EQ(f.tokens[1].size, 4);
}

TEST(FileTokens, ChooseAttributeIsSkippedWholeWithItsJumpTable) {
  auto f = Parse({0x19, 0x04, 2, 0, 6, 0, 9, 0, 12, 0, 0x1D, 1, 0x1E, 0x40, 0x9C});
  ASSERT_TRUE(f.complete) << f.problem;
  ASSERT_EQ(f.tokens.size(), 3u);
  EXPECT_EQ(f.tokens[0].jumpTable, (std::vector<uint16_t>{6, 9, 12}));
  EXPECT_EQ(f.tokens[0].size, 1 + 3 + 2 * 3);
  // The one-byte boolean payload: the next token starts right after it.
  EXPECT_EQ(f.tokens[1].code, 1);
  EXPECT_EQ(f.tokens[2].kind, kInt);
  EXPECT_EQ(f.tokens[2].index, 40000);  // unsigned
}

TEST(FileTokens, StringsCompressedAndWide) {
  auto f = Parse({0x17, 4, 0, 'a', '"', 'b', 'c', 0x17, 2, 1, 0x16, 0x04, 0xAC, 0x20});
  ASSERT_TRUE(f.complete);
  ASSERT_EQ(f.tokens.size(), 2u);
  EXPECT_EQ(f.tokens[0].text, u"a\"bc");
  EXPECT_EQ(f.tokens[1].text, u"\u0416\u20ac");
  EXPECT_EQ(f.tokens[1].size, 3 + 4);
}

TEST(FileTokens, FunctionsNamesErrorsAndNumbers) {
  auto f = Parse({0x42, 0x82, 0x01, 0x80,        // IF, 2 arguments, prompt and command bits
                  0x41, 0x04, 0x00,              // SUM as fixed-argument function
                  0x43, 0x03, 0x00, 0x00, 0x00,  // name 3
                  0x1C, 0x07,                    // #DIV/0!
                  0x1F, 0,    0,    0,    0,    0, 0, 0xF0, 0x3F});  // 1.0
  ASSERT_TRUE(f.complete) << f.problem;
  ASSERT_EQ(f.tokens.size(), 5u);
  EXPECT_EQ(f.tokens[0].argCount, 2);
  EXPECT_EQ(f.tokens[0].index, 1);
  EXPECT_EQ(f.tokens[0].tokenClass, TokenClass::Value);
  EXPECT_EQ(f.tokens[1].index, 4);
  EXPECT_EQ(f.tokens[2].index, 3);
  EXPECT_EQ(f.tokens[3].code, 7);
  EXPECT_EQ(f.tokens[4].number, 1.0);
}

TEST(FileTokens, ThreeDimensionalAndSharedFormulaReferences) {
  auto f = Parse({0x5A, 1, 0, 0,    0,    0, 0xC0,              // Sheet index 1, A1
                  0x3B, 2, 0, 1,    0,    4, 0,    2, 0, 3, 0,  // index 2, C2:D5
                  0x3C, 0, 0, 0,    0,    0, 0,                 // ptgRefErr3d
                  0x4C, 0, 0, 0xFF, 0xC0,                       // ptgRefNV: same row, one left
                  0x01, 4, 0, 2,    0});                        // ptgExp C5
  ASSERT_TRUE(f.complete) << f.problem;
  ASSERT_EQ(f.tokens.size(), 5u);
  EXPECT_EQ(f.tokens[0].externSheet, 1);
  EXPECT_EQ(f.tokens[1].externSheet, 2);
  EXPECT_EQ(f.tokens[1].lastRow, 4);
  EXPECT_EQ(f.tokens[1].lastColumn, 3);
  EXPECT_EQ(f.tokens[2].base, kRefErr3d);
  const FileToken& n = f.tokens[3];
  EXPECT_EQ(OffsetCellRef(n.column, n.row, 2, 4), (FileCellRef{4, 1, true, true}));  // C5 -> B5
  EXPECT_EQ(OffsetCellRef(n.column, n.row, 3, 6), (FileCellRef{6, 2, true, true}));  // D7 -> C7
  EXPECT_EQ(f.tokens[4].row, 4);
  EXPECT_EQ(f.tokens[4].column, 2);
}

TEST(FileTokens, OffsetReferencesKeepAbsolutePartsAsStored) {
  // Absolute row 9, relative column +2: only the column moves.
  uint16_t word = ColumnWord(2, true, false);
  EXPECT_EQ(word, 0x4002);
  EXPECT_EQ(OffsetCellRef(word, 9, 10, 100), (FileCellRef{9, 12, false, true}));
  // Negative row offset.
  EXPECT_EQ(OffsetCellRef(ColumnWord(0, false, true), 0xFFFE, 0, 5),
            (FileCellRef{3, 0, true, false}));
  // Plain references use all 14 column bits.
  EXPECT_EQ(PlainCellRef(0x3FFF, 65535), (FileCellRef{65535, 16383, false, false}));
}

TEST(FileTokens, MemTokenRecordsItsSubexpressionSize) {
  auto f = Parse({0x29, 3, 0, 0x1E, 1, 0, 0x26, 0, 0, 0, 0, 5, 0});
  ASSERT_TRUE(f.complete);
  ASSERT_EQ(f.tokens.size(), 3u);
  EXPECT_EQ(f.tokens[0].memSize, 3);
  EXPECT_EQ(f.tokens[1].kind, kInt);
  EXPECT_EQ(f.tokens[2].memSize, 5);
  EXPECT_EQ(f.tokens[2].size, 7);
}

TEST(FileTokens, UnknownOrTruncatedTokensStopWithTheirOffset) {
  auto unknown = Parse({0x1E, 1, 0, 0x18, 0x03});
  EXPECT_FALSE(unknown.complete);
  EXPECT_EQ(unknown.tokens.size(), 1u);
  EXPECT_EQ(unknown.stopOffset, 3);
  EXPECT_EQ(unknown.problem, "unknown token 0x18 at offset 3");
  auto number = Parse({0x1F, 0, 0, 0});
  EXPECT_FALSE(number.complete);
  EXPECT_EQ(number.problem, "token ptgNum at offset 0 runs past the end of the formula");
  EXPECT_FALSE(Parse({0x17, 5, 1, 'a', 0}).complete);
  EXPECT_FALSE(Parse({0x17}).complete);
  EXPECT_FALSE(Parse({0x19, 0x04, 0xFF, 0xFF, 1, 0}).complete);
  EXPECT_TRUE(Parse({}).complete);
}

TEST(FileTokens, EveryPrefixParsesSafelyAndIsCompleteOnlyAtTokenEnds) {
  std::vector<uint8_t> all = {0x44, 0, 0,    0x00, 0xC0, 0x17, 3,    1, 'a', 0,    'b',  0,
                              'c',  0, 0x19, 0x04, 1,    0,    4,    0, 8,   0,    0x3B, 2,
                              0,    1, 0,    4,    0,    2,    0,    3, 0,   0x1F, 0,    0,
                              0,    0, 0,    0,    0xF0, 0x3F, 0x42, 2, 1,   0,    0x03};
  auto full = ParseFileTokens(all);
  ASSERT_TRUE(full.complete) << full.problem;
  std::vector<size_t> ends;
  for (const auto& t : full.tokens) ends.push_back(t.offset + t.size);
  for (size_t n = 0; n <= all.size(); ++n) {
    auto f = ParseFileTokens(std::span(all).first(n));
    bool atEnd = n == 0 || std::find(ends.begin(), ends.end(), n) != ends.end();
    EXPECT_EQ(f.complete, atEnd) << n;
  }
}

}  // namespace
}  // namespace xls

#include "xls/formula/DefinedNames.h"

namespace xls {
namespace {

TEST(DefinedNames, TargetsOfTheFirstReferenceToken) {
  std::vector<uint16_t> externs = {0, 2};
  NameRecord area3d{0, 0, 0, u"Totals", {0x3B, 1, 0, 1, 0, 9, 0, 0x02, 0xC0, 0x03, 0x00}};
  EXPECT_EQ(DecodeNameTarget(area3d, -1, externs),
            (NameTarget{2, 2, 1, 3, 9}));  // column bits masked
  NameRecord ref{0, 0, 0, u"One", {0x44, 4, 0, 1, 0}};
  EXPECT_EQ(DecodeNameTarget(ref, -1, externs), (NameTarget{255, 1, 4, 1, 4}));
  EXPECT_EQ(DecodeNameTarget(ref, 3, externs), (NameTarget{3, 1, 4, 1, 4}));
  NameRecord ref3d{0, 0, 0, u"Far", {0x5A, 7, 0, 0, 0, 0, 0}};
  EXPECT_EQ(DecodeNameTarget(ref3d, 0, externs),
            (NameTarget{7, 0, 0, 0, 0}));  // beyond the entries
  NameRecord hidden = area3d;
  hidden.options = 1;
  EXPECT_FALSE(DecodeNameTarget(hidden, 0, externs));
  NameRecord constant{0, 0, 0, u"Rate", {0x1E, 5, 0}};
  EXPECT_FALSE(DecodeNameTarget(constant, 0, externs));
  NameRecord cut{0, 0, 0, u"Cut", {0x3B, 1, 0}};
  EXPECT_FALSE(DecodeNameTarget(cut, 0, externs));
}

TEST(DefinedNames, WrittenNamesReadBackAndClipToTheFormat) {
  bool clipped = true;
  NameRecord n = BuildDefinedName("Caf\xE9", false, NameTarget{1, 2, 3, 4, 5}, 3, &clipped);
  EXPECT_FALSE(clipped);
  EXPECT_EQ(n.tokens.size(), 11u);
  EXPECT_EQ(n.name, u"Caf\u00e9");
  EXPECT_EQ(DecodeNameTarget(n, -1, {0, 1, 2}), (NameTarget{1, 2, 3, 4, 5}));
  NameRecord other = BuildDefinedName("X", true, NameTarget{9, 300, 0, 400, 70000}, 3, &clipped);
  EXPECT_TRUE(clipped);
  EXPECT_EQ(other.options, 1);
  other.options = 0;
  EXPECT_EQ(DecodeNameTarget(other, -1, {0, 1, 2}), (NameTarget{0, 255, 0, 255, 65535}));
}

}  // namespace
}  // namespace xls
