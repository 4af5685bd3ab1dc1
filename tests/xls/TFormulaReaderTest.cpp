// File formula tokens to formula text, against a small workbook of names and sheets.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "platform/Locale.h"
#include "xls/formula/TFormulaReader.h"

namespace xls {
namespace {

class FakeWorkbook : public FormulaTextSource {
 public:
  std::vector<std::string> names = {"Total", "Rate"};
  std::vector<uint16_t> externFirst = {0, 1, 2};
  std::vector<std::string> sheets = {"Sheet1", "My Sheet", "Data"};
  std::map<uint16_t, FormulaFunctionInfo> functions = {
      {1, {"IF", 0}}, {4, {"SUM", 0}}, {15, {"SIN", 1}}, {39, {"MOD", 2}}};
  std::vector<std::string> reported;

  size_t NameCount() const override { return names.size(); }
  std::string NameText(size_t i) const override { return names.at(i); }
  size_t ExternSheetCount() const override { return externFirst.size(); }
  uint16_t ExternSheetFirst(size_t i) const override { return externFirst.at(i); }
  size_t SheetCount() const override { return sheets.size(); }
  std::string SheetName(size_t i) const override { return sheets.at(i); }
  std::optional<FormulaFunctionInfo> Function(uint16_t n) const override {
    auto it = functions.find(n);
    if (it == functions.end()) return std::nullopt;
    return it->second;
  }
  std::string ColumnCaption(int32_t c) const override {
    std::string s;
    for (++c; c > 0; c = (c - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
    return s;
  }
  std::string NumberText(double v) const override {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    char dec = platform::Locale::Current().decimalSeparator;
    for (char& ch : s)
      if (ch == '.') ch = dec;
    return s;
  }
  std::string ErrorText(uint8_t code) const override {
    static const std::map<uint8_t, std::string> kTexts = {
        {0, "#NULL!"},  {7, "#DIV/0!"}, {15, "#VALUE!"}, {23, "#REF!"},
        {29, "#NAME?"}, {36, "#NUM!"},  {42, "#N/A"}};
    auto it = kTexts.find(code);
    return it == kTexts.end() ? "" : it->second;
  }
  void ReportInvalidName(const std::string& message) override { reported.push_back(message); }
};

class FormulaText : public ::testing::Test {
 protected:
  std::string Text(std::vector<uint8_t> tokens, int32_t col = 0, int32_t row = 0) {
    std::string text = "unchanged";
    reader.TokensToText(col, row, text, static_cast<uint16_t>(tokens.size()), tokens.data());
    return text;
  }
  platform::ScopedLocale locale{platform::LocaleSettings::EnglishUS()};
  FakeWorkbook book;
  TFormulaReader reader{book};
};

// Tokens used below.
const std::vector<uint8_t> kA1 = {0x44, 0, 0, 0x00, 0xC0};  // relative A1, value class
const std::vector<uint8_t> kB1 = {0x44, 0, 0, 0x01, 0xC0};
std::vector<uint8_t> Int(uint16_t v) {
  return {0x1E, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
}
template <typename... T>
std::vector<uint8_t> Cat(const T&... parts) {
  std::vector<uint8_t> out;
  (out.insert(out.end(), parts.begin(), parts.end()), ...);
  return out;
}

TEST_F(FormulaText, OperatorsInPostfixOrderWithoutAddedBrackets) {
  EXPECT_EQ(Text(Cat(kA1, kB1, Int(2), std::vector<uint8_t>{0x05, 0x03})), "=A1+B1*2");
  EXPECT_EQ(
      Text(Cat(kA1, kB1, std::vector<uint8_t>{0x03, 0x15}, Int(2), std::vector<uint8_t>{0x05})),
      "=(A1+B1)*2");
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x13, 0x14})), "=-A1%");
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x12})), "=A1");  // unary plus is dropped
  EXPECT_EQ(Text(Cat(kA1, kB1, std::vector<uint8_t>{0x0E})), "=A1<>B1");
  EXPECT_EQ(Text(Cat(kA1, kB1, std::vector<uint8_t>{0x0F})), "=A1 B1");
}

TEST_F(FormulaText, ReferencesAbsoluteRelativeAndAreas) {
  EXPECT_EQ(Text({0x24, 4, 0, 2, 0}), "=$C$5");
  EXPECT_EQ(Text({0x24, 4, 0, 2, 0x40}), "=C$5");
  EXPECT_EQ(Text({0x24, 4, 0, 2, 0x80}), "=$C5");
  EXPECT_EQ(Text({0x25, 0, 0, 2, 0, 0, 0xC0, 0, 0xC0, 0x19, 0x10, 0, 0}), "=SUM(A1:A3)");
  EXPECT_EQ(Text({0x24, 0xFF, 0xFF, 0xFF, 0x00}), "=$IV$65536");
}

TEST_F(FormulaText, SharedFormulaOffsetsFollowTheReceivingCell) {
  std::vector<uint8_t> left = {0x4C, 0, 0, 0xFF, 0xC0};  // row +0, column -1
  EXPECT_EQ(Text(left, 2, 4), "=B5");
  EXPECT_EQ(Text(left, 3, 6), "=C7");
  EXPECT_EQ(Text({0x2D, 0xFF, 0xFF, 1, 0, 0x00, 0xC0, 0x02, 0x40}, 1, 9), "=B9:D$2");
}

TEST_F(FormulaText, ConstantsStringsAndBooleans) {
  EXPECT_EQ(Text(Int(40000)), "=40000");
  EXPECT_EQ(Text(Cat(std::vector<uint8_t>{0x1D, 1}, Int(5), std::vector<uint8_t>{0x03})),
            "=TRUE+5");
  EXPECT_EQ(Text({0x17, 3, 0, 'a', '"', 'b'}), "=\"a\"\"b\"");
  EXPECT_EQ(Text({0x17, 2, 1, 0xE9, 0, 0xAC, 0x20}), "=\"\xE9\x80\"");  // UTF-16 to the code page
  EXPECT_EQ(Text({0x1F, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}), "=1.5");
  EXPECT_EQ(Text({0x16}), "=0");
  {
    platform::LocaleSettings de = platform::LocaleSettings::EnglishUS();
    de.decimalSeparator = ',';
    de.listSeparator = ',';
    platform::ScopedLocale german(de);
    EXPECT_EQ(Text(Cat(std::vector<uint8_t>{0x1F, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, kA1,
                       std::vector<uint8_t>{0x42, 2, 39, 0})),
              "=MOD(1,5;A1)");  // list separator ';' when it equals the decimal separator
  }
}

TEST_F(FormulaText, FunctionsWithFixedAndVariableArguments) {
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x41, 15, 0})), "=SIN(A1)");
  EXPECT_EQ(Text(Cat(kA1, kB1, std::vector<uint8_t>{0x22, 2, 4, 0})), "=SUM(A1,B1)");
  // A two-argument IF gets its third argument 0.
  EXPECT_EQ(Text(Cat(kA1, Int(0), std::vector<uint8_t>{0x0D, 0x19, 0x02, 4, 0}, Int(1),
                     std::vector<uint8_t>{0x42, 2, 1, 0})),
            "=IF(A1>0,1,0)");
  EXPECT_FALSE(reader.UnknownFunctionMet());
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x41, 0x99, 0})), "Unknown function");
  EXPECT_TRUE(reader.UnknownFunctionMet());
  // CHOOSE: the attribute with its jump table is skipped whole; the function is not known.
  EXPECT_EQ(Text(Cat(Int(1), std::vector<uint8_t>{0x19, 0x04, 1, 0, 4, 0, 8, 0}, Int(7),
                     std::vector<uint8_t>{0x42, 2, 100, 0})),
            "Unknown function");
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x42, 3, 4, 0})), "=A1");  // too few operands
}

TEST_F(FormulaText, NamesAndThreeDimensionalReferences) {
  EXPECT_EQ(Text({0x23, 2, 0, 0, 0}), "=Rate");
  EXPECT_EQ(Text({0x43, 5, 0, 0, 0, 0x43, 1, 0, 0, 0}), "=Total");
  ASSERT_EQ(book.reported.size(), 1u);
  EXPECT_EQ(book.reported[0], "Invalid name reference: 4");
  EXPECT_EQ(Text({0x5A, 1, 0, 0, 0, 0, 0xC0}), "='My Sheet'!A1");
  EXPECT_EQ(Text({0x3B, 2, 0, 0, 0, 9, 0, 0, 0, 1, 0}), "=Data!$A$1:$B$10");
  EXPECT_EQ(Text({0x5B, 0, 0, 0, 0, 9, 0, 0, 0, 1, 0}), "=Sheet1!$A$1:$B$10");  // value class too
  EXPECT_EQ(Text({0x3A, 7, 0, 0, 0, 0, 0}), "=#REF!3D!!$A$1");                  // beyond the sheets
  EXPECT_EQ(Text({0x3C, 0, 0, 0, 0, 0, 0}), "=Sheet1#REF!");
  EXPECT_EQ(Text({0x2A, 0, 0, 0, 0}), "=#REF!");
}

TEST_F(FormulaText, EmptyResultsAndEndings) {
  EXPECT_EQ(Text({0x01, 4, 0, 2, 0}), "");  // shares a SHRFMLA formula
  EXPECT_EQ(Text({0x01}), "");
  EXPECT_EQ(Text({}), "Formula not construct");
  EXPECT_EQ(Text({0x29, 3, 0, 0x1E, 1, 0, 0x1E, 2, 0, 0x03}), "");  // mem token
  EXPECT_EQ(Text({0x17, 6, 0, 'S', 'h', 'a', 'r', 'e', 'd'}), "");
  EXPECT_EQ(Text(Cat(std::vector<uint8_t>{0x1C, 7}, kA1)), "=#DIV/0!");  // nothing after it is read
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x03})), "=#Missing tokens");
  EXPECT_EQ(Text(Cat(kA1, std::vector<uint8_t>{0x18, 0x03})), "=A1");  // kind without handler
  EXPECT_EQ(Text({0x03}), "Formula not construct");
  EXPECT_EQ(Text({0x44, 0, 0}), "Formula not construct");  // cut payload
  EXPECT_EQ(Text({0x17, 9, 0, 'a'}), "Formula not construct");
  EXPECT_EQ(Text({0x19, 0x04, 0xFF, 0x00, 0, 0}), "Formula not construct");
}

}  // namespace
}  // namespace xls
