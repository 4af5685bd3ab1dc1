// Dispatch by id, the action frame, Create, Delete and the shutdown message.
#include "PlugInTestSupport.h"
#include "plugin/BasicActions.h"

namespace {

using plugintest::MakeTestSpread;
using plugintest::PlugInTest;
using plugintest::Recorder;
using plugintest::TestSpread;
using WriteList = std::vector<std::pair<std::string, std::string>>;

const WriteList kNoWrites;

class Dispatch : public PlugInTest {};

TEST_F(Dispatch, UnknownIdsAndHeadingsAnswerFalseAndChangeNothing) {
  ConnectHost();
  const char* params[] = {"Rect1", "a", "b", "c", "d", "e", "f", "g"};
  for (int32_t id : {0, 3, 200}) {
    EXPECT_FALSE(plugin::ExecAction(id, params)) << id;
    EXPECT_FALSE(plugin::EditAction(id, nullptr)) << id;
  }
  EXPECT_EQ(Writes(), kNoWrites);
  EXPECT_TRUE(Recorder().requests.empty());
}

TEST_F(Dispatch, EveryCatalogueActionHasABodyAndAnEditor) {
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) {
    EXPECT_TRUE(entry.IsBuilt()) << entry.name;
    EXPECT_NE(entry.editor, nullptr) << entry.name;
  }
}

TEST_F(Dispatch, EditorsRefuseANullParameterArray) {
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) {
    EXPECT_FALSE(plugin::EditAction(entry.id, nullptr)) << entry.name;
  }
}

TEST_F(Dispatch, ShutdownWithoutWindowsIsHarmlessAndRepeatable) {
  ConnectHost();
  plugin::HostMessage(2);
  plugin::HostMessage(2);
  plugin::HostMessage(0);
  EXPECT_FALSE(plugin::SpreadListExists());
  EXPECT_EQ(Writes(), kNoWrites);
}

TEST_F(Dispatch, ShutdownDestroysEveryWindowInListOrderThenTheList) {
  plugin::AppendSpread(MakeTestSpread("A", 1));
  auto failing = std::make_unique<TestSpread>("B", 2);
  failing->failClose_ = true;
  plugin::AppendSpread(std::move(failing));
  plugin::AppendSpread(MakeTestSpread("C", 3));
  Log().clear();
  plugin::HostMessage(7);  // ignored
  EXPECT_EQ(plugin::SpreadCount(), 3);
  plugin::HostMessage(2);
  EXPECT_FALSE(plugin::SpreadListExists());
  EXPECT_EQ(Log(), (std::vector<std::string>{"close A", "destroy A", "close B", "destroy B",
                                             "close C", "destroy C"}));
  plugin::HostMessage(2);
  EXPECT_EQ(Log().size(), 6u);
}

TEST_F(Dispatch, FindSpreadIsCaseInsensitiveFirstMatchAndMinusOneWithoutList) {
  EXPECT_EQ(plugin::FindSpread("Rect1"), -1);
  plugin::AppendSpread(MakeTestSpread("rect1", 1));
  plugin::AppendSpread(MakeTestSpread("Rect2", 2));
  plugin::AppendSpread(MakeTestSpread("RECT1", 3));
  EXPECT_EQ(plugin::FindSpread("RECT1"), 0);
  EXPECT_EQ(plugin::FindSpread("rect2"), 1);
  EXPECT_EQ(plugin::FindSpread("Rect"), -1);
  EXPECT_EQ(plugin::FindSpread(""), -1);
  // Only ASCII letters fold: bytes above 127 compare exactly.
  EXPECT_FALSE(plugin::SameRectName("\xC4", "\xE4"));
}

// --- the frame, driven through a test entry -------------------------------------------------

bool SucceedingBody(plugin::AttachedSpread&, const plugin::ActionParams& params) {
  plugin::SetHostVariable("[" + params[0] + ".Seen]", params[1]);
  return true;
}
bool ThrowingBody(plugin::AttachedSpread&, const plugin::ActionParams&) {
  throw std::runtime_error("boom");
}
bool OwnOutcomeBody(plugin::AttachedSpread&, const plugin::ActionParams&) {
  plugin::SetResultCode("zkSSH-004");
  return false;
}

plugin::ActionEntry Framed(plugin::FramedActionBody body) {
  return plugin::ActionEntry{"Test", 999, "Test", "", 2, "zkSSH-003", nullptr, body, nullptr};
}

TEST_F(Dispatch, FrameEmptiesTheCodeFindsTheWindowAndReportsSuccess) {
  ConnectHost();
  plugin::AppendSpread(MakeTestSpread("Rect1", 1));
  EXPECT_TRUE(plugin::RunFramed(Framed(&SucceedingBody), {"RECT1", "v"}));
  EXPECT_EQ(
      Writes(),
      (WriteList{{"[zkSSHError]", ""}, {"[RECT1.Seen]", "v"}, {"[zkSSHError]", "zkSSH-000"}}));
}

TEST_F(Dispatch, FrameReportsAMissingWindowAndExceptions) {
  ConnectHost();
  EXPECT_FALSE(plugin::RunFramed(Framed(&SucceedingBody), {"Rect1", "v"}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-001"}}));
  plugin::AppendSpread(MakeTestSpread("Rect1", 1));
  Writes().clear();
  EXPECT_FALSE(plugin::RunFramed(Framed(&ThrowingBody), {"Rect1", ""}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-003"}}));
  Writes().clear();
  EXPECT_FALSE(plugin::RunFramed(Framed(&OwnOutcomeBody), {"Rect1", ""}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-004"}}));
}

TEST_F(Dispatch, FrameWithoutRegisteredCallbacksStillAnswers) {
  plugin::AppendSpread(MakeTestSpread("Rect1", 1));
  EXPECT_TRUE(plugin::RunFramed(Framed(&SucceedingBody), {"Rect1", "v"}));
  EXPECT_FALSE(plugin::RunFramed(Framed(&ThrowingBody), {"Rect1", "v"}));
}

// --- Create and Delete ------------------------------------------------------------------------

bool Exec(int32_t id, std::vector<const char*> params) {
  return plugin::ExecAction(id, params.data());
}

TEST_F(Dispatch, CreateRefusesAHostWithoutInterfaceAccess) {
  UseSpreadFactory(&MakeTestSpread);
  plugin::Host().setVariable = &plugintest::RecordSetVariable;
  EXPECT_FALSE(Exec(1, {"Rect1"}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-014"}}));
  ConnectHost();
  Recorder().probeAnswers = false;
  Writes().clear();
  EXPECT_FALSE(Exec(1, {"Rect1"}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-014"}}));
  EXPECT_EQ(plugin::SpreadCount(), 0);
}

TEST_F(Dispatch, CreateReportsHandleZeroAsNoRectangleAndGarbageAsAttachFailure) {
  ConnectHost();
  UseSpreadFactory(&MakeTestSpread);
  Recorder().rectAnswer = "0";
  EXPECT_FALSE(Exec(1, {"Nowhere"}));
  EXPECT_EQ(Writes().back().second, "zkSSH-001");
  Recorder().rectAnswer = "12ab";
  EXPECT_FALSE(Exec(1, {"Rect1"}));
  EXPECT_EQ(Writes().back().second, "zkSSH-015");
  EXPECT_FALSE(plugin::SpreadListExists());
}

TEST_F(Dispatch, CreateAttachesToTheHandleTheHostGaveAndListsTheWindow) {
  ConnectHost();
  UseSpreadFactory(&MakeTestSpread);
  EXPECT_TRUE(Exec(1, {"Rect1"}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-000"}}));
  EXPECT_EQ(Recorder().requests,
            (std::vector<int32_t>{plugin::kAccessProbe, plugin::kAccessRectWindow}));
  ASSERT_EQ(plugin::SpreadCount(), 1);
  EXPECT_EQ(static_cast<TestSpread*>(plugin::SpreadAt(0))->Parent(), 4242u);
}

TEST_F(Dispatch, CreateTwiceReplacesTheFirstWindow) {
  ConnectHost();
  UseSpreadFactory(&MakeTestSpread);
  ASSERT_TRUE(Exec(1, {"Rect1"}));
  ASSERT_TRUE(Exec(1, {"RECT1"}));
  EXPECT_EQ(plugin::SpreadCount(), 1);
  EXPECT_EQ(plugin::SpreadAt(0)->RectName(), "RECT1");
  EXPECT_EQ(Log(), (std::vector<std::string>{"create Rect1 in 4242", "close Rect1", "destroy Rect1",
                                             "create RECT1 in 4242"}));
}

TEST_F(Dispatch, CreateWithAFailingWindowFactoryFailsAsAnAttachError) {
  ConnectHost();
  UseSpreadFactory(&plugintest::FailingFactory);
  EXPECT_FALSE(Exec(1, {"Rect1"}));
  EXPECT_EQ(Writes().back().second, "zkSSH-015");
  EXPECT_EQ(plugin::SpreadCount(), 0);
}

TEST_F(Dispatch, DeleteRemovesTheNamedWindowOnly) {
  ConnectHost();
  plugin::AppendSpread(MakeTestSpread("Rect1", 1));
  plugin::AppendSpread(MakeTestSpread("Rect2", 2));
  EXPECT_TRUE(Exec(2, {"rect2"}));
  EXPECT_EQ(Writes(), (WriteList{{"[zkSSHError]", ""}, {"[zkSSHError]", "zkSSH-000"}}));
  ASSERT_EQ(plugin::SpreadCount(), 1);
  EXPECT_EQ(plugin::SpreadAt(0)->RectName(), "Rect1");
}

TEST_F(Dispatch, DeleteWithoutAWindowOrWithAFailingCloseAnswersFalseAndLeavesTheCodeEmpty) {
  ConnectHost();
  EXPECT_FALSE(Exec(2, {"Rect1"}));
  EXPECT_FALSE(Exec(2, {nullptr}));
  EXPECT_FALSE(plugin::ExecAction(2, nullptr));
  auto failing = std::make_unique<TestSpread>("Rect1", 1);
  failing->failClose_ = true;
  plugin::AppendSpread(std::move(failing));
  EXPECT_FALSE(Exec(2, {"Rect1"}));
  for (const auto& write : Writes())
    EXPECT_EQ(write, (std::pair<std::string, std::string>{"[zkSSHError]", ""}));
  EXPECT_EQ(Writes().size(), 4u);
  EXPECT_EQ(plugin::SpreadCount(), 1);  // a window that could not close stays reachable
}

TEST_F(Dispatch, NullParameterEntriesReadAsEmptyNames) {
  ConnectHost();
  UseSpreadFactory(&MakeTestSpread);
  Recorder().rectAnswer = "7";
  EXPECT_TRUE(Exec(1, {nullptr}));
  ASSERT_EQ(plugin::SpreadCount(), 1);
  EXPECT_EQ(plugin::SpreadAt(0)->RectName(), "");
  EXPECT_TRUE(plugin::ExecAction(2, nullptr));
  EXPECT_EQ(plugin::SpreadCount(), 0);
}

}  // namespace
