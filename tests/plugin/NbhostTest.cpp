// The substitute host against the built plug-in library, loaded the way the host loads it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "HostInput.h"
#include "HostServices.h"
#include "PlugInTestSupport.h"
#include "ScriptReader.h"
#include "ScriptRunner.h"
#include "platform/HostMemory.h"

namespace {

using nbhost::HostServices;
using nbhost::WriteSource;

struct Write {
  std::string name, value;
  WriteSource source;
  bool operator==(const Write&) const = default;
};

class Nbhost : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.SetWriteObserver([this](const std::string& n, const std::string& v, WriteSource s) {
      writes_.push_back({n, v, s});
    });
    host_.Load(SS_PLUGIN_PATH);
    host_.Start();
  }

  // Runs script text; returns the failure count, or -1 after a script error (kept in error_).
  int Run(const std::string& text) {
    nbhost::ScriptRunner runner(host_, out_);
    try {
      return runner.Run(nbhost::ReadScript(text, "t.nbs"));
    } catch (const nbhost::ScriptError& error) {
      error_ = error.what();
      return -1;
    }
  }

  HostServices host_;
  std::vector<Write> writes_;
  std::ostringstream out_;
  std::string error_;
};

TEST_F(Nbhost, StartUpYieldsTheTextsAndTheCatalogueAsAnnounced) {
  EXPECT_EQ(host_.Title(), "zkSpreadSheet [2.01]");
  EXPECT_EQ(host_.Hint(), "SpreadSheet PlugIn for NeoBook");
  EXPECT_FALSE(host_.Publisher().empty());
  std::vector<std::string> expected =
      plugintest::ReadLines(plugintest::TestDataPath("plugin/catalogue.tsv"));
  ASSERT_EQ(host_.Catalogue().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(nbhost::FormatCatalogueRow(host_.Catalogue()[i]), expected[i]);
  }
  ASSERT_NE(host_.FindAction("zkSpreadSheetSetVisible"), nullptr);
  EXPECT_EQ(host_.FindAction("zkSpreadSheetSetVisible")->id, 26);
  EXPECT_EQ(host_.FindAction("Basic"), nullptr);  // headings are not actions
  EXPECT_EQ(host_.CallbackFailures(), 0);
}

TEST_F(Nbhost, ExportedDispatchRejectsUnknownIdsWithoutSideEffects) {
  for (int32_t id : {0, 3, 200}) EXPECT_FALSE(host_.Execute(id, {"Rect1", std::nullopt}));
  host_.Message(2);
  host_.Message(2);
  EXPECT_TRUE(writes_.empty());
}

TEST_F(Nbhost, EditWithoutEditorsLeavesTheParametersAndAnswersFalse) {
  // The Windows build's library has real editor dialogs: the host input's watch presses
  // Cancel on them, as it does around a script's Edit, so they leave everything alone too.
  std::unique_ptr<nbhost::HostInput> input = nbhost::CreateHostInput();
  input->BeforeCall();
  std::vector<std::string> params{"Rect1", "B2", "v"};
  EXPECT_FALSE(host_.Edit(42, params));
  EXPECT_EQ(params, (std::vector<std::string>{"Rect1", "B2", "v"}));
  std::vector<std::string> none;
  EXPECT_FALSE(host_.Edit(0, none));
  EXPECT_FALSE(host_.Edit(200, none));
  input->AfterCall();
  EXPECT_EQ(Run("Edit zkSpreadSheetDelete \"R\"\nExpectResult false"), 0) << out_.str() << error_;
  EXPECT_EQ(out_.str(), "");
}

TEST_F(Nbhost, ExpectFileTakesTheFullPathOrTheTypedNameOfOneFile) {
  const std::string name =
      "nbhost_expect_file_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".tmp";
  { std::ofstream(name) << "x"; }
  const std::string full = std::filesystem::absolute(name).string();
  struct Case {
    std::string value, wanted;
    int failures;
  };
  const Case cases[] = {
      {full, name, 0},
      {name, name, 0},
      {"", "", 0},
      {full, "other.tmp", 1},
      {"", name, 1},
      {name, "", 1},
      {"sub/" + name, name, 1},
      {"missing.tmp", "missing.tmp", 0},
      {std::filesystem::absolute("missing.tmp").string(), "missing.tmp", 0},
  };
  for (const Case& c : cases) {
    out_.str("");
    EXPECT_EQ(Run("SetVar \"[F]\" " + nbhost::QuoteScriptText(c.value) + "\nExpectFile \"[F]\" " +
                  nbhost::QuoteScriptText(c.wanted)),
              c.failures)
        << c.value << " / " << c.wanted << ": " << out_.str() << error_;
  }
  std::filesystem::remove(name);
}

TEST_F(Nbhost, InterfaceRequestsAreServedFromRectanglesAndQueuedPicks) {
  host_.AddRectangle("Rect1", 0, 0, 100, 50);
  plugin::HostString data = nullptr;
  EXPECT_TRUE(host_.ServeInterfaceRequest(plugin::kAccessProbe, &data));
  ASSERT_NE(data, nullptr);

  plugin::AssignHostString(data, "rect1");
  EXPECT_TRUE(host_.ServeInterfaceRequest(plugin::kAccessRectWindow, &data));
  platform::WindowHandle handle = plugin::ParseWindowHandle(data);
  EXPECT_NE(handle, 0u);
  platform::WindowSize size;
  ASSERT_TRUE(platform::HostWindow::ClientSize(handle, size));
  EXPECT_EQ(size.width, 100);
  EXPECT_EQ(size.height, 50);
  plugin::AssignHostString(data, "Other");
  EXPECT_TRUE(host_.ServeInterfaceRequest(plugin::kAccessRectWindow, &data));
  EXPECT_STREQ(data, "0");

  host_.QueuePickAnswer("First");
  host_.QueuePickAnswer("Second");
  EXPECT_TRUE(host_.ServeInterfaceRequest(plugin::kAccessPickObject, &data));
  EXPECT_STREQ(data, "First");
  EXPECT_TRUE(host_.ServeInterfaceRequest(plugin::kAccessPickObject, &data));
  EXPECT_STREQ(data, "Second");
  EXPECT_FALSE(host_.ServeInterfaceRequest(plugin::kAccessPickObject, &data));
  EXPECT_STREQ(data, "Second");  // a cancelled pick leaves the text alone
  EXPECT_FALSE(host_.ServeInterfaceRequest(99, &data));
  EXPECT_FALSE(host_.ServeInterfaceRequest(plugin::kAccessProbe, nullptr));
  plugin::FreeHostString(data);
  EXPECT_THROW(host_.AddRectangle("RECT1", 0, 0, 1, 1), std::invalid_argument);
}

TEST_F(Nbhost, ScriptWritesAndPlugInWritesAreObservedInOrder) {
  ASSERT_EQ(
      Run("SetVar \"[zkSSHError]\" \"x\"\nzkSpreadSheetCreate \"Nowhere\"\nExpectResult false\n"
          "Expect \"[zkssherror]\" \"zkSSH-001\"\nPrint \"[ZKSSHERROR]\""),
      0)
      << out_.str() << error_;
  EXPECT_EQ(writes_, (std::vector<Write>{{"[zkSSHError]", "x", WriteSource::Script},
                                         {"[zkSSHError]", "", WriteSource::PlugIn},
                                         {"[zkSSHError]", "zkSSH-001", WriteSource::PlugIn}}));
  EXPECT_EQ(out_.str(), "[ZKSSHERROR]=\"zkSSH-001\"\n");
}

TEST_F(Nbhost, FailedExpectationsAreCountedAndReportedWithTheirLines) {
  EXPECT_EQ(Run("SetVar \"[a]\" \"1\"\nExpect \"[a]\" \"2\"\nzkSpreadSheetDelete \"R\"\n"
                "ExpectResult true\nExpect \"[a]\" \"1\""),
            2);
  EXPECT_EQ(out_.str(),
            "t.nbs:2: Expect [a]: wanted \"2\", found \"1\"\n"
            "t.nbs:4: ExpectResult: wanted true, the action answered false\n");
}

TEST_F(Nbhost, MalformedScriptsFailBeforeAnythingRuns) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"SetVar \"[a]\" \"1\"\nzkSpreadSheetNoSuch \"R\"",
       "t.nbs:2: unknown command or action \"zkSpreadSheetNoSuch\""},
      {"zkSpreadSheetDelete \"R\" \"extra\"",
       "t.nbs:1: zkSpreadSheetDelete takes at most 1 parameters, got 2"},
      {"SetVar \"[a]\" \"1\"\nExpectResult true",
       "t.nbs:2: ExpectResult must follow an action line"},
      {"zkSpreadSheetDelete \"R\"\nExpectResult maybe",
       "t.nbs:2: ExpectResult takes true or false"},
      {"Rectangle \"R\" 1 2 x 4", "t.nbs:1: Rectangle: \"x\" is not an integer"},
      {"Rectangle \"R\" 1 2 -3 4", "t.nbs:1: Rectangle: a size cannot be negative"},
      {"Print", "t.nbs:1: Print takes 1 argument: \"[name]\""},
      {"Message two", "t.nbs:1: Message: the code must be an integer"},
      {"Edit", "t.nbs:1: Edit takes an action name and its texts"},
      {"Edit \"Basic\"", "t.nbs:1: Edit: unknown action \"Basic\""},
      {"Edit zkSpreadSheetCreate \"R\" \"x\"",
       "t.nbs:1: Edit zkSpreadSheetCreate takes at most 1 parameters, got 2"},
      {"Rectangle \"R\" 0 0 1 1\nRectangle \"r\" 0 0 1 1",
       "t.nbs:2: Rectangle: rectangle \"r\" already exists"},
  };
  for (const Case& c : cases) {
    writes_.clear();
    error_.clear();
    EXPECT_EQ(Run(c.text), -1) << c.text;
    EXPECT_EQ(error_, c.error);
  }
  // Only the duplicate rectangle is found while running; the checked commands ran nothing.
  EXPECT_TRUE(writes_.empty());
}

}  // namespace
