// The Win32 code page under the system's ANSI page. The test programs run with
// Windows-1252 as the ANSI page (Western locales, Wine's default for English).
#ifdef _WIN32
#include <gtest/gtest.h>

#include "platform/CodePage.h"

using namespace platform;

TEST(Win32CodePage, Windows1252HighBytesMapAsThePortableBuild) {
  ASSERT_EQ(AnsiToUtf16("\x80"), u"\u20AC") << "these expectations assume a Western ANSI page";
  EXPECT_EQ(AnsiToUtf16("\x80\x8A\x9F\xE9"), u"\u20AC\u0160\u0178\u00E9");
  EXPECT_EQ(Utf16ToAnsi(u"\u20AC\u0160\u0178\u00E9"), "\x80\x8A\x9F\xE9");
  EXPECT_EQ(UpperChar('\x9A'), '\x8A');  // s-caron
  EXPECT_EQ(LowerChar('\xC9'), '\xE9');
  EXPECT_EQ(UpperChar('1'), '1');
}

TEST(Win32CodePage, EmptyAndSurrogatePairs) {
  EXPECT_EQ(AnsiToUtf16(""), u"");
  EXPECT_EQ(Utf16ToAnsi(u""), "");
  std::string out = Utf16ToAnsi(u"x\U0001F600y");
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out.front(), 'x');
  EXPECT_EQ(out.back(), 'y');
  EXPECT_EQ(out.find_first_not_of("x?y"), std::string::npos);
}
#endif
