// Integer parameters, three-digit texts and colour strings, and the FixColorString action.
#include "PlugInTestSupport.h"
#include "plugin/TextConventions.h"

namespace {

using plugin::MakeColor;
using plugin::ParseColorString;

TEST(TextConventions, IntegerParametersAreStrictDecimal) {
  EXPECT_EQ(plugin::ParseIntParam("0"), 0);
  EXPECT_EQ(plugin::ParseIntParam("-12"), -12);
  EXPECT_EQ(plugin::ParseIntParam("+7"), 7);
  EXPECT_EQ(plugin::ParseIntParam("2147483647"), INT32_MAX);
  EXPECT_EQ(plugin::ParseIntParam("-2147483648"), INT32_MIN);
  EXPECT_EQ(plugin::ParseIntParam("", "0"), 0);
  EXPECT_EQ(plugin::ParseIntParam("", "5"), 5);
  for (const char* bad : {"", "-", "+", " 1", "1 ", "1.5", "0x1F", "$1F", "2147483648",
                          "-2147483649", "99999999999999999999", "x"}) {
    EXPECT_THROW(plugin::ParseIntParam(bad), plugin::ParameterError) << bad;
  }
}

TEST(TextConventions, ThreeDigitsPadAfterTheSignAndNeverTruncate) {
  EXPECT_EQ(plugin::FormatThreeDigits(7), "007");
  EXPECT_EQ(plugin::FormatThreeDigits(12), "012");
  EXPECT_EQ(plugin::FormatThreeDigits(0), "000");
  EXPECT_EQ(plugin::FormatThreeDigits(1234), "1234");
  EXPECT_EQ(plugin::FormatThreeDigits(-7), "-007");
  EXPECT_EQ(plugin::FormatThreeDigits(INT32_MIN), "-2147483648");
}

TEST(TextConventions, ColorStringsFormatRedGreenBlue) {
  EXPECT_EQ(plugin::FormatColorString(MakeColor(0, 0, 0)), "000000000");
  EXPECT_EQ(plugin::FormatColorString(MakeColor(49, 106, 197)), "049106197");
  EXPECT_EQ(plugin::FormatColorString(0xFFFFFFFFu), "255255255");  // only the three low bytes
}

TEST(TextConventions, ColorStringsParseWithDefaultFallbackAndClamp) {
  const plugin::ColorValue fallback = MakeColor(236, 233, 216);
  EXPECT_EQ(ParseColorString("", "192192192", fallback), MakeColor(192, 192, 192));
  EXPECT_EQ(ParseColorString("12345", "192192192", fallback), MakeColor(192, 192, 192));
  EXPECT_EQ(ParseColorString("1234567890", "192192192", fallback), MakeColor(192, 192, 192));
  EXPECT_EQ(ParseColorString("abc123456", "192192192", fallback), fallback);
  EXPECT_EQ(ParseColorString("abcdefghi", "192192192", fallback), fallback);
  EXPECT_EQ(ParseColorString("999000000", "236233216", fallback), MakeColor(255, 0, 0));
  EXPECT_EQ(ParseColorString("300-05010", "236233216", fallback), MakeColor(255, 0, 10));
  EXPECT_EQ(ParseColorString(" 12034056", "236233216", fallback), fallback);  // no trimming
  EXPECT_EQ(ParseColorString("+12034056", "236233216", fallback), MakeColor(12, 34, 56));
  EXPECT_EQ(ParseColorString("short", "bad", fallback), fallback);
}

class FixColorString : public plugintest::PlugInTest {
 protected:
  bool Run(std::vector<const char*> params) { return plugin::ExecAction(101, params.data()); }
};

TEST_F(FixColorString, WritesThreeDigitsToTheNamedVariableOfTheParameterRectangle) {
  ConnectHost();
  plugin::AppendSpread(plugintest::MakeTestSpread("rect1", 1));
  EXPECT_TRUE(Run({"RECT1", "12", "Out"}));
  EXPECT_EQ(Writes(),
            (std::vector<std::pair<std::string, std::string>>{
                {"[zkSSHError]", ""}, {"[RECT1.Out]", "012"}, {"[zkSSHError]", "zkSSH-000"}}));
  Writes().clear();
  EXPECT_TRUE(Run({"RECT1", nullptr, "Zero"}));
  EXPECT_EQ(Writes()[1], (std::pair<std::string, std::string>{"[RECT1.Zero]", "000"}));
  Writes().clear();
  EXPECT_TRUE(Run({"RECT1", "123456", "Big"}));
  EXPECT_EQ(Writes()[1], (std::pair<std::string, std::string>{"[RECT1.Big]", "123456"}));
}

TEST_F(FixColorString, NonIntegerWritesNothingButTheExceptionCode) {
  ConnectHost();
  plugin::AppendSpread(plugintest::MakeTestSpread("Rect1", 1));
  EXPECT_FALSE(Run({"Rect1", "x", "Out"}));
  EXPECT_EQ(Writes(), (std::vector<std::pair<std::string, std::string>>{
                          {"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-049"}}));
}

TEST_F(FixColorString, WithoutAWindowReportsCodeOne) {
  ConnectHost();
  EXPECT_FALSE(Run({"Rect1", "12", "Out"}));
  EXPECT_EQ(Writes(), (std::vector<std::pair<std::string, std::string>>{
                          {"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-001"}}));
}

}  // namespace
