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

// Letters the page lacks but that have look-alikes in it: both builds write "?", never the
// look-alike (the system's best-fit mapping would give "O", "MS P", "l", "a", "8").
TEST(CodePage, LookAlikesAreNotSubstituted) {
  const struct {
    std::u16string text;
    std::string utf8;
    std::string ansi;
  } cases[] = {
      {u"\u03A9", "\xCE\xA9", "?"},  // Greek capital omega
      {u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF",
       "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF",
       "?? ?????"},                                 // full-width font name
      {u"\u0142\u0101", "\xC5\x82\xC4\x81", "??"},  // l with stroke, a macron
      {u"\u221E", "\xE2\x88\x9E", "?"},             // infinity
      {u"caf\u00E9 \u2013 \u0152", "caf\xC3\xA9 \xE2\x80\x93 \xC5\x92",
       "caf\xE9 \x96 \x8C"},  // in the page: kept
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToAnsi(c.text), c.ansi);
    EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
  }
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
