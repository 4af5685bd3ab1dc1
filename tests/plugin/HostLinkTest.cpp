// Host strings, variable names, window handles and the start-up calls.
#include "PlugInTestSupport.h"

namespace {

using plugintest::PlugInTest;

TEST(HostString, AssignReplacesFreeNullsAndTextsAreCopied) {
  plugin::HostString text = nullptr;
  plugin::AssignHostString(text, "first");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "first");
  plugin::AssignHostString(text, std::string_view("sec\0ond", 7).substr(0, 3));
  EXPECT_STREQ(text, "sec");
  plugin::AssignHostString(text, "");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  plugin::FreeHostString(text);
  EXPECT_EQ(text, nullptr);
  plugin::FreeHostString(text);  // a second free of a null variable is harmless
  EXPECT_EQ(text, nullptr);
}

TEST(HostString, TextOfReadsNullAsEmpty) {
  EXPECT_EQ(plugin::TextOf(nullptr), "");
  EXPECT_EQ(plugin::TextOf("x y"), "x y");
}

TEST(HostLink, VariableNamesKeepTheirBracketsAndTheGivenLetterCase) {
  EXPECT_EQ(plugin::WindowVariable("Rect1", "CellText"), "[Rect1.zkSpreadSheetCellText]");
  EXPECT_EQ(plugin::WindowVariable("RECT1", "Mode"), "[RECT1.zkSpreadSheetMode]");
  EXPECT_EQ(plugin::AuthorVariable("Rect1", "Colour"), "[Rect1.Colour]");
  EXPECT_STREQ(plugin::kErrorVariable, "[zkSSHError]");
}

TEST(HostLink, WindowHandlesParseAsDecimalOnly) {
  EXPECT_EQ(plugin::ParseWindowHandle("0"), 0u);
  EXPECT_EQ(plugin::ParseWindowHandle("65536"), 65536u);
  EXPECT_EQ(plugin::ParseWindowHandle("-1"), static_cast<platform::WindowHandle>(-1));
  for (const char* bad : {"", "-", "+5", " 5", "5 ", "0x10", "12a", "99999999999999999999999"}) {
    EXPECT_THROW(plugin::ParseWindowHandle(bad), std::runtime_error) << bad;
  }
  if (sizeof(platform::WindowHandle) == 4) {
    EXPECT_EQ(plugin::ParseWindowHandle("4294967295"), 0xFFFFFFFFu);
    EXPECT_THROW(plugin::ParseWindowHandle("4294967296"), std::runtime_error);
  }
}

class HostRequests : public PlugInTest {};

TEST_F(HostRequests, WithoutAccessProcEveryRequestFailsQuietly) {
  EXPECT_FALSE(plugin::ProbeHost());
  EXPECT_EQ(plugin::RequestRectWindow("Rect1"), 0u);
  EXPECT_FALSE(plugin::PickObject("Rect1").has_value());
  plugin::SetHostVariable("[x]", "dropped");  // no setter registered: nothing to call
  EXPECT_TRUE(Writes().empty());
}

TEST_F(HostRequests, ProbeAndRectangleRequestsReadTheHostsAnswer) {
  ConnectHost();
  EXPECT_TRUE(plugin::ProbeHost());
  plugintest::Recorder().probeAnswers = false;
  EXPECT_FALSE(plugin::ProbeHost());
  plugintest::Recorder().rectAnswer = "123";
  EXPECT_EQ(plugin::RequestRectWindow("Rect1"), 123u);
  plugintest::Recorder().rectAnswer = "";
  EXPECT_EQ(plugin::RequestRectWindow("Rect1"), 0u);
  // The picker is not served by this host: the author "cancelled".
  EXPECT_FALSE(plugin::PickObject("Rect1").has_value());
}

TEST_F(HostRequests, InitGivesTitlePublisherAndHintAsHostStrings) {
  plugin::HostString title = nullptr;
  plugin::HostString publisher = nullptr;
  plugin::HostString hint = nullptr;
  plugin::AssignHostString(title, "old block is freed, not leaked");
  plugin::InitPlugIn(&title, &publisher, &hint);
  EXPECT_STREQ(title, "zkSpreadSheet [2.01]");
  EXPECT_STREQ(hint, "SpreadSheet PlugIn for NeoBook");
  ASSERT_NE(publisher, nullptr);
  EXPECT_GT(std::string(publisher).size(), 0u);
  plugin::InitPlugIn(nullptr, nullptr, nullptr);
  plugin::FreeHostString(title);
  plugin::FreeHostString(publisher);
  plugin::FreeHostString(hint);
}

TEST_F(HostRequests, RegisterStoresTheCallbacks) {
  plugin::RegisterPlugIn(nullptr, reinterpret_cast<plugin::OpaqueProc>(&Writes), nullptr,
                         &plugintest::RecordSetVariable);
  EXPECT_EQ(plugin::Host().second, reinterpret_cast<plugin::OpaqueProc>(&Writes));
  plugin::SetResultCode("zkSSH-000");
  EXPECT_EQ(Writes(),
            (std::vector<std::pair<std::string, std::string>>{{"[zkSSHError]", "zkSSH-000"}}));
}

}  // namespace
