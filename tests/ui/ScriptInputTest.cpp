// nbhost's input and picture commands against real headless forms attached to the script's
// rectangles (in this process, through the same window system the plug-in uses).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "HostServices.h"
#include "ScriptReader.h"
#include "ScriptRunner.h"
#include "UiTestForm.h"
#include "ui/Image.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

int RunScript(nbhost::HostServices& host, const std::string& text, std::string* output = nullptr) {
  std::ostringstream out;
  nbhost::ScriptRunner runner(host, out);
  int failures = runner.Run(nbhost::ReadScript(text, "test.nbs"));
  if (output != nullptr) *output = out.str();
  return failures;
}

TEST(ScriptInput, ClicksKeysTextAndSnapshotsReachTheAttachedForm) {
  nbhost::HostServices host;
  ASSERT_EQ(RunScript(host, "Rectangle \"Rect1\" 20 30 320 200\n"), 0);
  uintptr_t handle = std::stoull(host.RectangleHandleText("Rect1"));
  uitest::TestForm t(handle);

  std::string out;
  std::filesystem::path png = std::filesystem::temp_directory_path() / "ui_script_snapshot.png";
  std::filesystem::remove(png);
  ui::Point flag = t.Centre(*t.flag);
  ui::Point text = t.Centre(*t.text);
  ui::Point grid = t.Centre(*t.grid);
  std::string script = "Click \"Rect1\" " + std::to_string(flag.x) + " " + std::to_string(flag.y) +
                       "\n" + "Click \"rect1\" " + std::to_string(text.x) + " " +
                       std::to_string(text.y) + "\n" +
                       "Type \"Hi\"\n"
                       "Key \"Shift+Left\"\n"
                       "Key \"Backspace\"\n"
                       "DoubleClick \"Rect1\" " +
                       std::to_string(grid.x) + " " + std::to_string(grid.y) + "\n" +
                       "Drag \"Rect1\" " + std::to_string(grid.x) + " " + std::to_string(grid.y) +
                       " " + std::to_string(grid.x + 20) + " " + std::to_string(grid.y + 4) + "\n" +
                       "Key \"Ctrl+Right\"\n"
                       "DialogAnswer \"OK\" \"a.xls\"\n"
                       "Snapshot \"Rect1\" \"" +
                       png.string() + "\"\n";
  EXPECT_EQ(RunScript(host, script, &out), 0) << out;
  EXPECT_TRUE(t.flag->Checked());
  EXPECT_EQ(t.text->Text(), "H");
  EXPECT_TRUE(t.grid->Focused());
  ASSERT_GE(t.log.size(), 4u);
  EXPECT_EQ(t.log.back(), "key 39");
  EXPECT_EQ(ui::headless::HeadlessBackend::Instance().PendingAnswers(), 1u);
  ui::FileDialog dialog;
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.fileName, "a.xls");
  std::string error;
  ui::Image picture = ui::ReadPng(png.string(), &error);
  EXPECT_EQ(picture.Width(), 320) << error;
  EXPECT_EQ(picture.Height(), 200);

  // What cannot be done is a failure of the run, reported with its line.
  std::string failing =
      "Click \"Nowhere\" 1 1\n"
      "Click \"Rect1\" 1000 1000\n"
      "Snapshot \"Rect1\" \"/nonexistent-dir/x.png\"\n";
  EXPECT_EQ(RunScript(host, failing, &out), 3);
  EXPECT_NE(out.find("test.nbs:1: Click: no rectangle \"Nowhere\""), std::string::npos) << out;
  EXPECT_NE(out.find("test.nbs:2: Click: no attached window at that point"), std::string::npos)
      << out;
}

TEST(ScriptInput, MalformedInputCommandsFailTheWholeScriptBeforeAnythingRuns) {
  nbhost::HostServices host;
  struct Case {
    const char* line;
    const char* problem;
  } cases[] = {
      {"Click \"R\" 1", "Click takes 3 arguments"},
      {"Click \"R\" x 1", "Click: \"x\" is not an integer"},
      {"Drag \"R\" 1 2 3", "Drag takes 5 arguments"},
      {"Key \"Ctrl+Bogus\"", "Key: unknown key \"Ctrl+Bogus\""},
      {"DialogAnswer \"Maybe\"", "DialogAnswer: unknown button \"Maybe\""},
      {"DialogAnswer", "DialogAnswer takes a button"},
      {"Snapshot \"R\"", "Snapshot takes 2 arguments"},
      {"Type", "Type takes 1 argument"},
  };
  for (const Case& c : cases) {
    std::string script = std::string("DialogAnswer \"OK\"\n") + c.line + "\n";
    try {
      RunScript(host, script);
      ADD_FAILURE() << c.line << " was accepted";
    } catch (const nbhost::ScriptError& error) {
      EXPECT_NE(std::string(error.what()).find(c.problem), std::string::npos) << error.what();
    }
  }
  // Nothing ran: the first line's answer was never queued.
  EXPECT_EQ(ui::headless::HeadlessBackend::Instance().PendingAnswers(), 0u);
}

}  // namespace
