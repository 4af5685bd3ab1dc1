// The front end: token bytes, postfix order, text regeneration, notations and messages.
#include <gtest/gtest.h>

#include <random>

#include "FormulaTestBook.h"
#include "formulas/FunctionTable.h"
#include "platform/Locale.h"

namespace formulas::test {
namespace {

std::vector<uint8_t> Bytes(const TokenBlock& b) { return {b.Data(), b.Data() + b.Length()}; }

// The kinds of a stream, in order.
std::vector<uint8_t> Kinds(const TokenBlock& b) {
  std::vector<uint8_t> kinds;
  for (size_t pos = 0; pos < b.Length();) {
    const size_t size = TokenSizeAt(b.Bytes(), pos);
    if (size == 0) break;
    kinds.push_back(b[pos]);
    pos += size;
  }
  return kinds;
}

class ParserTest : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  FormulaTestBook book_;

  FormulaEntry* Enter(const std::string& cell, const std::string& text) {
    book_.Set(cell, text);
    return book_.Entry(cell);
  }
};

TEST_F(ParserTest, ReferencePlusNumberCompilesToTheDocumentedBytes) {
  FormulaEntry* e = Enter("B2", "=A1+1");
  ASSERT_NE(e, nullptr);
  const std::vector<uint8_t> expected = {0x24, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0x1F, 0, 0, 0,    0,    0,    0,    0xF0, 0x3F, 0x03};
  EXPECT_EQ(Bytes(e->Tokens), expected);
}

TEST_F(ParserTest, PostfixOrderFollowsPriorities) {
  EXPECT_EQ(Kinds(Enter("C1", "=A1+B1*2")->Tokens),
            (std::vector<uint8_t>{ptgRef, ptgRef, ptgNum, ptgMul, ptgAdd}));
  EXPECT_EQ(Kinds(Enter("C1", "=(1+2)*3")->Tokens),
            (std::vector<uint8_t>{ptgNum, ptgNum, ptgAdd, ptgParen, ptgNum, ptgMul}));
  const TokenBlock& sum = Enter("C1", "=SUM(A1:A3,5)")->Tokens;
  EXPECT_EQ(Kinds(sum), (std::vector<uint8_t>{ptgArea, ptgNum, ptgFuncVar}));
  EXPECT_EQ(sum[sum.Length() - 3], 2);                   // argument count
  EXPECT_EQ(ReadU16(sum.Data() + sum.Length() - 2), 4);  // SUM
  // -2^2: the unary minus is applied before the power.
  EXPECT_EQ(Kinds(Enter("C1", "=-2^2")->Tokens),
            (std::vector<uint8_t>{ptgNum, ptgUminus, ptgNum, ptgPower}));
  // 2^-1: a minus after an operator is unary.
  EXPECT_EQ(Kinds(Enter("C1", "=2^-1")->Tokens),
            (std::vector<uint8_t>{ptgNum, ptgNum, ptgUminus, ptgPower}));
  // A unary plus leaves no token.
  EXPECT_EQ(Kinds(Enter("C1", "=+5")->Tokens), (std::vector<uint8_t>{ptgNum}));
}

TEST_F(ParserTest, ArgumentCounts) {
  const TokenBlock& t = Enter("C1", "=IF(A1>0, -1, 1)")->Tokens;
  EXPECT_EQ(t[t.Length() - 3], 3);
  EXPECT_EQ(Kinds(t),
            (std::vector<uint8_t>{ptgRef, ptgNum, ptgGT, ptgNum, ptgUminus, ptgNum, ptgFuncVar}));
  for (const char* text : {"=SUM()", "=PI()"}) {
    const TokenBlock& z = Enter("C1", text)->Tokens;
    ASSERT_EQ(z.Length(), 4u) << text;
    EXPECT_EQ(z[1], 0) << text;
  }
}

TEST_F(ParserTest, TextIsRegeneratedFromTokens) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"=sum(a1:b2)", "=SUM(A1:B2)"},
      {"= 1 + 2 ", "=1+2"},
      {"=$a$1+b$7+$c3", "=$A$1+B$7+$C3"},
      {"=-(1+2)%", "=-(1+2)%"},
      {"=IF(A1>0, -1, 1)", "=IF(A1>0,-1,1)"},
      {"=1E+5", "=100000"},
      {"=\"a\"\"b\"", "=\"a\"\"b\""},
      {"=\"\"\"x\"\"\"", "=\"\"\"x\"\"\""},
      {"=\"\"", "=\"\""},
      {"=true", "=TRUE"},
      {"=PI()", "=PI()"},
      {"=2.5*A1", "=2.5*A1"},
  };
  for (const auto& [in, out] : cases) {
    book_.Set("D4", in);
    EXPECT_EQ(book_.Text("D4"), out) << in;
    ASSERT_NE(book_.Entry("D4"), nullptr) << in;
  }
  EXPECT_TRUE(book_.Messages().empty());
}

// Pasting decides whether a formula's text can be made without making it; that answer must be
// the text builder's own, for streams of every kind of token, whole, cut short or damaged.
TEST_F(ParserTest, TextCanBeBuiltAgreesWithTheTextBuilder) {
  const std::vector<TokenBlock> pieces = {
      MakeNumberToken(2),
      MakeBoolToken(true),
      MakeStringToken("a\"b"),
      MakeNameToken(0),
      MakeRefToken(RefToken{false, true, -1, 3}),
      MakeAreaToken(AreaToken{true, true, true, true, 0, 4, 0, 2}),
      MakeRef3dToken(1, RefToken{true, true, 2, 2}),
      MakeArea3dToken(0, AreaToken{true, true, true, true, 0, 1, 0, 1}),
      MakeByteToken(ptgAdd),
      MakeByteToken(ptgConcat),
      MakeByteToken(ptgNE),
      MakeByteToken(ptgRange),
      MakeByteToken(ptgUminus),
      MakeByteToken(ptgPercent),
      MakeByteToken(ptgParen),
      MakeByteToken(ptgUplus),
      MakeFuncVarToken(0, 19),
      MakeFuncVarToken(1, 4),
      MakeFuncVarToken(3, 1),
      MakeFuncVarToken(9, 4),
      MakeByteToken(2),
      MakeByteToken(99)};
  book_.AddSheet("Other");
  std::mt19937 random(5);
  int built = 0;
  for (int round = 0; round < 20000; ++round) {
    TokenBlock stream;
    const int count = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < count; ++i) stream.Append(pieces[random() % pieces.size()]);
    if (random() % 5 == 0) {  // cut inside a token
      TokenBlock cut;
      cut.Append(stream.Bytes().first(random() % stream.Length()));
      stream = cut;
    }
    FormulaEntry entry;
    entry.Tokens = stream;
    entry.Row = 5;
    entry.Col = 5;
    const bool expected = !book_.Cache().Handler().FormulaToText(entry).empty();
    ASSERT_EQ(TSSFunctionHandler::TextCanBeBuilt(stream), expected) << "round " << round;
    built += expected;
  }
  EXPECT_GT(built, 1000);
  EXPECT_LT(built, 19000);
}

TEST_F(ParserTest, SheetCaptionsAreQuotedWhenTheyHoldABlank) {
  book_.AddSheet("My Data");
  book_.AddSheet("Two");
  book_.Set("A1", "='my data'!a1+two!b2:c3");
  EXPECT_EQ(book_.Text("A1"), "='My Data'!A1+Two!B2:C3");
  const TokenBlock& t = book_.Entry("A1")->Tokens;
  ASSERT_EQ(Kinds(t), (std::vector<uint8_t>{ptgRef3d, ptgArea3d, ptgAdd}));
  EXPECT_EQ(ReadSheetOf3d(t.Data()), 1);
  // Sheet-qualified parts are positions, whatever cell holds the formula.
  EXPECT_EQ(ReadRefToken(t.Data()).row, 0);
  book_.Set("E9", "=Two!B2");
  EXPECT_EQ(ReadRefToken(book_.Entry("E9")->Tokens.Data()).col, 1);
  EXPECT_EQ(book_.Text("E9"), "=Two!B2");
}

TEST_F(ParserTest, R1C1NotationReadsAndWritesBack) {
  book_.SetR1C1(true);
  const std::vector<std::string> texts = {"=RC[1]", "=R[2]C", "=R1C1", "=R[-1]C[2]+R2C3",
                                          "=SUM(R1C1:R2C2)"};
  for (const auto& text : texts) {
    book_.Set("F11", text);  // column 5, row 10
    EXPECT_EQ(book_.Text("F11"), text);
  }
  book_.Set("F11", "=rc[1]");
  const RefToken r = ReadRefToken(book_.Entry("F11")->Tokens.Data());
  EXPECT_FALSE(r.rowAbs);
  EXPECT_EQ(r.row, 0);
  EXPECT_EQ(r.col, 1);
  book_.Set("F11", "=R3C");
  const RefToken abs = ReadRefToken(book_.Entry("F11")->Tokens.Data());
  EXPECT_TRUE(abs.rowAbs);
  EXPECT_EQ(abs.row, 2);
  // The same tokens shown in A1 notation.
  book_.SetR1C1(false);
  EXPECT_EQ(book_.Cache().FormulaText(*book_.Entry("F11")), "=F$3");
}

TEST_F(ParserTest, ListSeparatorEqualToDecimalSeparatorBecomesSemicolon) {
  auto settings = platform::LocaleSettings::EnglishUS();
  settings.decimalSeparator = ',';
  settings.listSeparator = ',';
  settings.thousandSeparator = '.';
  platform::ScopedLocale german(settings);
  book_.Set("A1", "=SUM(1,5;2)");
  EXPECT_EQ(book_.Text("A1"), "=SUM(1,5;2)");
  EXPECT_EQ(book_.Shown("A1"), "3,5");
  EXPECT_EQ(platform::Locale::Current().listSeparator, ';');
}

TEST_F(ParserTest, MessagesAreExact) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"=(1", "Error - symbol ')' expected!"},
      {"=1)", "Error - symbol ')' expected!"},
      {"=\"abc", "Error - unterminated string!"},
      {"=abc+1", "Unknown string expression - abc"},
      {"=1 2", "Error constructing formula. Parsed expression error offset at"},
      {"=NOSUCH(1)", "Error syntax in string expression"},
  };
  for (const auto& c : cases) {
    book_.Messages().clear();
    book_.Set("A1", c.text);
    ASSERT_FALSE(book_.Messages().empty()) << c.text;
    EXPECT_EQ(book_.Messages().front(), c.message) << c.text;
    // Nothing the user wrote is lost: the cell keeps its text and is no formula.
    EXPECT_EQ(book_.Text("A1"), c.text);
    EXPECT_EQ(book_.Entry("A1"), nullptr) << c.text;
  }
}

TEST_F(ParserTest, SilentModeSetsTheErrorFlagInsteadOfShowing) {
  book_.Cache().SetSilentErrors(true);
  book_.Set("A1", "=(1");
  EXPECT_TRUE(book_.Messages().empty());
  EXPECT_EQ(book_.Entry("A1"), nullptr);
  EXPECT_FALSE(book_.Cache().ErrorFlag());  // cleared once the cell was handled
  book_.Set("A2", "=1+1");
  EXPECT_NE(book_.Entry("A2"), nullptr);
}

TEST_F(ParserTest, NamesAreTokensOfTheirOwn) {
  ASSERT_EQ(book_.Cache().AddName("Rate", 0, true, workbook::TRect{1, 0, 1, 0}), 0);
  ASSERT_EQ(book_.Cache().AddName("A", 0, true, workbook::TRect{0, 0, 0, 0}), 1);
  book_.Set("C3", "=rate*2");
  EXPECT_EQ(Kinds(book_.Entry("C3")->Tokens), (std::vector<uint8_t>{ptgName, ptgNum, ptgMul}));
  EXPECT_EQ(book_.Text("C3"), "=Rate*2");
  // A name that is only the start of a longer word is not taken: AB1 is a reference.
  book_.Set("C4", "=AB1+A");
  EXPECT_EQ(Kinds(book_.Entry("C4")->Tokens), (std::vector<uint8_t>{ptgRef, ptgName, ptgAdd}));
}

TEST_F(ParserTest, HostileTextsEndCleanly) {
  // Deep brackets are refused instead of exhausting the stack.
  std::string deep = "=" + std::string(5000, '(') + "1" + std::string(5000, ')');
  book_.Set("A1", deep);
  EXPECT_EQ(book_.Entry("A1"), nullptr);
  // A literal longer than a string token holds is cut to 255 characters.
  book_.Set("A2", "=\"" + std::string(300, 'x') + "\"");
  ASSERT_NE(book_.Entry("A2"), nullptr);
  EXPECT_EQ(book_.Shown("A2"), std::string(255, 'x'));
  // A text longer than any token stream is refused at once.
  std::string longText = "=1";
  while (longText.size() <= 70000) longText += "+1";
  book_.Messages().clear();
  book_.Set("A5", longText);
  EXPECT_EQ(book_.Entry("A5"), nullptr);
  ASSERT_FALSE(book_.Messages().empty());
  EXPECT_EQ(book_.Messages().front(), "Error syntax in string expression");
  // More arguments than the count byte holds.
  std::string many = "=SUM(1";
  for (int i = 0; i < 300; ++i) many += ",1";
  book_.Set("A3", many + ")");
  EXPECT_EQ(book_.Entry("A3"), nullptr);
  for (const char* text : {"=)(", "=,", "=SUM(,)", "=1+*2", "=((", "=\"\"\"", "=A1:", "=:A1",
                           "=R[1]C", "=A0", "=$", "=!A1", "=Sheet1!", "=1e400", "=#REF!+1"}) {
    book_.Set("A4", text);
    // Either the text stays as written, or it became a formula whose text starts with "=".
    const FormulaEntry* e = book_.Entry("A4");
    if (e == nullptr)
      EXPECT_EQ(book_.Text("A4"), text);
    else
      EXPECT_EQ(book_.Text("A4").substr(0, 1), "=") << text;
  }
}

TEST_F(ParserTest, FunctionTableHoldsAll81) {
  const auto table = FunctionTable();
  ASSERT_EQ(table.size(), 81u);
  EXPECT_EQ(table.front().Name, "ABS");
  EXPECT_EQ(table.back().Name, "UPPER");
  for (const auto& def : table) {
    EXPECT_EQ(FindFunctionByNumber(def.Number)->Name, def.Name);
    EXPECT_EQ(FindFunctionByName(def.Name), &def);
    EXPECT_NE(def.Routine, nullptr);
    EXPECT_EQ(def.Reserved, 0);
  }
  EXPECT_EQ(FindFunctionByName("countif")->Number, 346);
  EXPECT_EQ(FindFunctionByName("ISERR")->Routine, FindFunctionByName("ISERROR")->Routine);
  EXPECT_EQ(FindFunctionByNumber(9999), nullptr);
}

}  // namespace
}  // namespace formulas::test
