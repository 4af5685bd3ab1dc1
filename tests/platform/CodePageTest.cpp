#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Locale.h"

using namespace platform;

TEST(CodePage, EveryByteSurvivesUtf16AndUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf16("\x80"), u"\u20AC");  // euro sign sits at 0x80 in the 8-bit page
}

TEST(CodePage, UnmappableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToAnsi(u"a\u4E2Db"), "a?b");
  EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToAnsi("\xFFx"), "?x");
}

TEST(CodePage, CaseFoldingCoversAccentedLetters) {
  EXPECT_EQ(AnsiUpperCase("abc\xE9\xF7"), "ABC\xC9\xF7");
  EXPECT_TRUE(AnsiSameText("Sheet1", "SHEET1"));
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
  EXPECT_GT(AnsiCompareText("ab", "A"), 0);
}

TEST(Locale, ScopedLocaleRestoresThePreviousSettings) {
  char before = Locale::Current().decimalSeparator;
  {
    LocaleSettings s = LocaleSettings::EnglishUS();
    s.decimalSeparator = ',';
    ScopedLocale scope(s);
    EXPECT_EQ(Locale::Current().decimalSeparator, ',');
  }
  EXPECT_EQ(Locale::Current().decimalSeparator, before);
}
