// The action editors through nbEditAction's entry, on the headless backend: every id opens
// its class with its caption and labels, the write-back rules, Cancel, the object picker,
// and the faults a host can provoke (a second editor, a vanished owner window, texts longer
// than a field holds).
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "PlugInTestSupport.h"
#include "platform/WindowChannel.h"
#include "plugin/editors/ActionEditorForm.h"
#include "ui/Backend.h"
#include "ui/BasicControls.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"

namespace {

using plugintest::PlugInTest;
using ui::headless::HeadlessBackend;

// Typed from the published table, independently of the plug-in's own.
struct ExpectedEditor {
  std::vector<int32_t> ids;
  std::string caption;
  std::vector<std::string> labels;  // every static text after the rectangle label
  std::string checkCaption;
};

const std::string kNote =
    "The object specified here must be of type Rectangle. Attaching controls to other types of "
    "objects is not recommended. This action requires NeoBook version 4.0.9 or higher.";
const std::vector<std::string> kSides{"Left", "Top", "Right", "Bottom"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<ExpectedEditor>& Expected() {
  static const std::vector<ExpectedEditor> rows{
      {{1, 2, 34, 38, 39, 56}, "Plugin Properties", {kNote}, ""},
      {{6, 7}, "Chart Properties", {"Full path of the SpreadSheet file"}, ""},
      {{5}, "Table Name Properties", {"ToolBar"}, "Visible"},
      {{9}, "Table Name Properties", {"Headers"}, "Show"},
      {{10}, "Table Name Properties", {"Grid Lines"}, "Show"},
      {{11}, "Table Name Properties", {"Caption Bar"}, "Show"},
      {{12}, "Table Name Properties", {"Scroll Bars"}, "Show"},
      {{14}, "Table Name Properties", {"R1C1 Style"}, "On"},
      {{17}, "Table Name Properties", {"Status Bar"}, "Show"},
      {{57}, "Table Name Properties", {"Print Only selected"}, "Only Selected area"},
      {{58}, "Table Name Properties", {"Headers"}, "Print"},
      {{8, 29}, "Chart Properties", {"SheetName"}, ""},
      {{15},
       "Chart Properties",
       {"Style: 0 (Shift Col) 1 (Shift Row) 2 (Insert Col) 3 (Insert Row)"},
       ""},
      {{22},
       "Chart Properties",
       {"Style: 0 (Shift Col) 1 (Shift Row) 2 (Delete Col) 3 (Delete Row)"},
       ""},
      {{30, 35}, "Chart Properties", {"Sheet Index"}, ""},
      {{43}, "Chart Properties", {"Cell"}, ""},
      {{100}, "Chart Properties", {"VariableName"}, ""},
      {{18}, "Chart Properties", {"Header Color"}, ""},
      {{19}, "Chart Properties", {"Selection Color"}, ""},
      {{20}, "Chart Properties", {"Grid Lines Color"}, ""},
      {{21}, "Chart Properties", {"Grid BG Color"}, ""},
      {{101},
       "Fix Color Function Properties",
       {"Value or Var to be converted",
        "Destination Variable: Just the name, without the [ ] brackets. Will be joined with "
        "Rectangle name. Final result example: [Rectangle1.YourVar]"},
       ""},
      {{13}, "Plugin Properties", {"Column", "Row", "Value"}, ""},
      {{16}, "Plugin Properties", {"Column", "Row", "Edit Mode: 0 normal 1-Edit"}, ""},
      {{27}, "Plugin Properties", {"Column", "State: 0 Free 1 Lock"}, ""},
      {{28}, "Plugin Properties", {"Row", "State: 0 Free 1 Lock"}, ""},
      {{31}, "Plugin Properties", {"Sheet Index", "New Name"}, ""},
      {{40}, "Plugin Properties", {"Column", "New Width"}, ""},
      {{41}, "Plugin Properties", {"Row", "New Height"}, ""},
      {{42}, "Plugin Properties", {"Cell", "Value"}, ""},
      {{23, 24, 50}, "Plugin Properties", kSides, ""},
      {{25}, "Plugin Properties", Join(kSides, {"Style: 1-Reset Styles 0-Maintain Styles"}), ""},
      {{26},
       "Plugin Properties",
       Join(kSides, {"1:Affect Cols 0:NoCols", "1:Affect Rows 0:NoRows", "1: Affect All 0:No"}),
       ""},
      {{36, 37},
       "PlugIn Properties",
       {"Full path of the Stream", "Filename of the object inside the stream", "Password",
        "Compression 0 or 1"},
       ""},
  };
  return rows;
}

// What an open editor shows, taken while it runs.
struct Shown {
  std::string caption;
  std::string rectLabel;
  std::vector<std::string> labels;
  std::string checkCaption;
  bool checked = false;
  std::map<std::string, std::string> edits;
  ui::Rgba swatch{};
  int width = 0;
};

class ActionEditors : public PlugInTest {
 protected:
  // The headless backend on both builds: its queue answers the dialogs (on Windows the real
  // dialogs are driven by nbhost's scripts). No control exists between tests, so the backend
  // may be switched here; the one current before (the program's, HeadlessByDefault.cpp) comes
  // back afterwards.
  void SetUp() override {
    PlugInTest::SetUp();
    previous_ = &ui::CurrentBackend();
    ui::SetBackend(&HeadlessBackend::Instance());
    Clear();
  }
  void TearDown() override {
    Clear();
    ui::SetBackend(previous_);
    PlugInTest::TearDown();
  }
  ui::Backend* previous_ = nullptr;
  static void Clear() {
    HeadlessBackend& backend = HeadlessBackend::Instance();
    while (backend.PendingAnswers() > 0) {
      platform::WindowSystem().pop_answer([](void*, const char*, const char*) {}, nullptr);
    }
    backend.OnDialogShown = nullptr;
    backend.ClearDialogLog();
  }
  static void Queue(const std::string& button, const std::string& value = "") {
    HeadlessBackend::Instance().QueueAnswer(button, value);
  }

  // Runs the editor of `id` on host strings holding `texts`; `shown` receives the dialog.
  bool Edit(int32_t id, std::vector<plugin::HostString>& params, Shown* shown = nullptr,
            std::function<void(ui::Form&)> whileOpen = nullptr) {
    HeadlessBackend& backend = HeadlessBackend::Instance();
    backend.OnDialogShown = [&](const ui::headless::DialogRecord& record) {
      ui::Form* form = backend.LayoutDialogForm();
      ASSERT_NE(form, nullptr);
      if (shown != nullptr) Capture(*form, record, *shown);
      if (whileOpen) whileOpen(*form);
    };
    bool result = plugin::EditAction(id, params.data());
    backend.OnDialogShown = nullptr;
    return result;
  }

  static std::vector<plugin::HostString> Params(const std::vector<std::string>& texts,
                                                size_t count = 8) {
    std::vector<plugin::HostString> params(std::max(count, texts.size()), nullptr);
    for (size_t i = 0; i < texts.size(); ++i) plugin::AssignHostString(params[i], texts[i]);
    return params;
  }
  static void Free(std::vector<plugin::HostString>& params) {
    for (plugin::HostString& p : params) plugin::FreeHostString(p);
  }

 private:
  static void Capture(ui::Form& form, const ui::headless::DialogRecord& record, Shown& shown) {
    shown.caption = record.caption;
    shown.width = form.Width();
    for (const auto& child : form.Children()) {
      const std::string& name = child->Name();
      if (name == "Label1") {
        shown.rectLabel = child->Caption();
      } else if (name.rfind("Label", 0) == 0 || name == "Memo1") {
        shown.labels.push_back(child->Caption());
      } else if (child->Kind() == ui::ControlKind::CheckBox) {
        shown.checkCaption = child->Caption();
        shown.checked = static_cast<ui::CheckBox&>(*child).Checked();
      } else if (child->Kind() == ui::ControlKind::Edit) {
        shown.edits[name] = child->Caption();
      } else if (name == "Shape1") {
        ui::Image image = ui::headless::FormRenderer::Render(form);
        const ui::Rect& b = child->Bounds();
        shown.swatch = image.At((b.left + b.right) / 2, (b.top + b.bottom) / 2);
      }
    }
  }
};

TEST_F(ActionEditors, EveryIdOpensItsClassWithCaptionAndLabels) {
  std::set<int32_t> covered;
  for (const ExpectedEditor& row : Expected()) {
    for (int32_t id : row.ids) {
      SCOPED_TRACE("id " + std::to_string(id));
      covered.insert(id);
      auto params = Params({"Rect1"});
      Shown shown;
      EXPECT_FALSE(Edit(id, params, &shown));  // the empty queue cancels
      EXPECT_EQ(shown.caption, row.caption);
      EXPECT_EQ(shown.width, 379);  // a 385-pixel dialog frame's client area
      bool colon = id == 8 || id == 29 || id == 15 || id == 22 || id == 30 || id == 35 ||
                   id == 43 || id == 100 || id == 13 || id == 16;
      EXPECT_EQ(shown.rectLabel,
                std::string("&Rectangle Object of the Attached Control") + (colon ? ":" : ""));
      EXPECT_EQ(shown.labels, row.labels);
      EXPECT_EQ(shown.checkCaption, row.checkCaption);
      EXPECT_EQ(shown.edits["Edit1"], "Rect1");
      Free(params);
    }
  }
  std::set<int32_t> catalogue;
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) catalogue.insert(entry.id);
  EXPECT_EQ(covered, catalogue);
}

TEST_F(ActionEditors, WriteBackRulesOfTheTable) {
  struct Case {
    const char* what;
    int32_t id;
    std::vector<std::string> before;
    std::vector<std::pair<std::string, std::string>> answers;  // then OK
    std::vector<std::string> after;
  };
  const std::vector<Case> cases{
      {"Create: only the rectangle field", 1, {"Rect1"}, {{"Set:Edit1", "Rect2"}}, {"Rect2"}},
      {"Create untouched writes it back", 1, {"Rect1"}, {}, {"Rect1"}},
      {"ToolBar 0 checked gives 1", 5, {"Rect1", "0"}, {{"Check:CheckBox1", "1"}}, {"Rect1", "1"}},
      {"ToolBar 1 unchecked gives 0",
       5,
       {"Rect1", "1"},
       {{"Check:CheckBox1", "0"}},
       {"Rect1", "0"}},
      {"a box left alone writes 0 for any text but 1", 9, {"R", "yes"}, {}, {"R", "0"}},
      {"SetHeaderColor empty writes its default", 18, {"Rect1", ""}, {}, {"Rect1", "236233216"}},
      {"SetSelectionColor default", 19, {"R", "12"}, {}, {"R", "049106197"}},
      {"a colour group that is no integer shows white",
       21,
       {"R", "12x000000"},
       {},
       {"R", "255255255"}},
      {"the colour dialog's colour",
       20,
       {"R", "001002003"},
       {{"Click:Shape1.Choose", ""}, {"OK", "255000128"}},
       {"R", "255000128"}},
      {"the colour dialog cancelled",
       20,
       {"R", "001002003"},
       {{"Click:Shape1.Choose", ""}, {"Cancel", ""}},
       {"R", "001002003"}},
      {"the browse dialog fills the file field",
       6,
       {"R", "old.xls"},
       {{"Click:fileedit1.Browse", ""}, {"OK", "c:\\books\\new.xls"}},
       {"R", "c:\\books\\new.xls"}},
      {"one edit", 43, {"R", "A1"}, {{"Set:Edit2a", "B7"}}, {"R", "B7"}},
      {"cell edits", 13, {"R", "1", "2", "x"}, {{"Set:Edit4", "=A1"}}, {"R", "1", "2", "=A1"}},
      {"two edits", 31, {"R", "1", "Old"}, {{"Set:Edit3", "New"}}, {"R", "1", "New"}},
      {"fix colour",
       101,
       {"R", "", ""},
       {{"Set:Edit2", "255"}, {"Set:Edit3", "Out"}},
       {"R", "255", "Out"}},
      {"spin edits keep a text that is no number",
       23,
       {"R", "1", "2", "x", "4"},
       {{"Set:SpinEdit4", "9"}},
       {"R", "1", "2", "x", "9"}},
      {"clear range",
       25,
       {"R", "0", "0", "3", "3", "1"},
       {{"Set:Edit6", "0"}},
       {"R", "0", "0", "3", "3", "0"}},
      {"visibility",
       26,
       {"R", "0", "0", "1", "1", "1", "0", "1"},
       {{"Set:Edit7", "1"}},
       {"R", "0", "0", "1", "1", "1", "1", "1"}},
      {"stream",
       36,
       {"R", "s.sfs", "book", "", "0"},
       {{"Set:Edit4", "secret"}, {"Set:Edit5", "1"}},
       {"R", "s.sfs", "book", "secret", "1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [button, value] : c.answers) Queue(button, value);
    Queue("OK");
    auto params = Params(c.before, c.before.size());
    ASSERT_TRUE(Edit(c.id, params));
    for (size_t i = 0; i < c.after.size(); ++i) {
      ASSERT_NE(params[i], nullptr) << i;
      EXPECT_EQ(std::string(params[i]), c.after[i]) << "parameter " << i + 1;
    }
    EXPECT_EQ(HeadlessBackend::Instance().PendingAnswers(), 0u);
    Free(params);
  }
}

TEST_F(ActionEditors, ControlsStartFromTheParameters) {
  Shown toolbar;
  auto params = Params({"Rect1", "0"});
  Edit(5, params, &toolbar);
  EXPECT_FALSE(toolbar.checked);
  Free(params);

  Shown header;
  params = Params({"Rect1", ""});
  Edit(18, params, &header);
  EXPECT_EQ(header.swatch, (ui::Rgba{236, 233, 216, 255}));
  Free(params);

  // A null parameter shows empty; spin edits start at the parameter's text.
  Shown rect;
  std::vector<plugin::HostString> nulls(8, nullptr);
  plugin::AssignHostString(nulls[2], "17");
  Edit(50, nulls, &rect);
  EXPECT_EQ(rect.edits["Edit1"], "");
  EXPECT_EQ(rect.edits["SpinEdit2"], "17");
  EXPECT_EQ(rect.edits["SpinEdit1"], "");
  Free(nulls);
}

TEST_F(ActionEditors, SpinArrowsStepWithinTheRange) {
  auto params = Params({"R", "31999", "0", "abc", "5"});
  Queue("OK");
  Edit(24, params, nullptr, [](ui::Form& form) {
    auto arrowsOf = [&](const std::string& spin) {
      ui::Control* arrows = form.FindByName(spin + ".Arrows");
      EXPECT_NE(arrows, nullptr);
      return arrows->Bounds();
    };
    auto up = [&](const std::string& spin, int times) {
      ui::Rect b = arrowsOf(spin);
      for (int i = 0; i < times; ++i)
        ui::headless::HeadlessInput::Click(form, {(b.left + b.right) / 2, b.top + 3});
    };
    auto down = [&](const std::string& spin, int times) {
      ui::Rect b = arrowsOf(spin);
      for (int i = 0; i < times; ++i)
        ui::headless::HeadlessInput::Click(form, {(b.left + b.right) / 2, b.bottom - 3});
    };
    up("SpinEdit1", 3);    // 31999 stops at 32000
    down("SpinEdit2", 2);  // 0 stays at 0
    up("SpinEdit3", 1);    // no number: the minimum, then clamped
    down("SpinEdit4", 1);
  });
  EXPECT_EQ(std::string(params[1]), "32000");
  EXPECT_EQ(std::string(params[2]), "0");
  EXPECT_EQ(std::string(params[3]), "0");
  EXPECT_EQ(std::string(params[4]), "4");
  Free(params);
}

TEST_F(ActionEditors, CancelLeavesEveryPointerAndText) {
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) {
    SCOPED_TRACE(entry.name);
    std::vector<std::string> texts{"Rect1", "1", "2", "3", "4", "5", "6", "7"};
    texts.resize(entry.count);
    auto params = Params(texts, entry.count);
    std::vector<plugin::HostString> pointers = params;
    Queue("Set:Edit1", "Changed");
    Queue("Cancel");
    EXPECT_FALSE(Edit(entry.id, params));
    EXPECT_EQ(params, pointers);
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(std::string(params[i]), texts[i]);
    Free(params);
  }
}

std::vector<std::string> pickAnswers;
std::vector<std::string> pickRequests;

plugin::NBBool NB_CALL PickingHost(int32_t code, plugin::HostString* data) {
  if (code != plugin::kAccessPickObject) return 0;
  pickRequests.push_back(plugin::TextOf(*data));
  if (pickAnswers.empty()) return 0;
  plugin::AssignHostString(*data, pickAnswers.front());
  pickAnswers.erase(pickAnswers.begin());
  return 1;
}

TEST_F(ActionEditors, ObjectPickerReplacesTheRectangleFieldOnlyWhenThePickWasMade) {
  plugin::Host().interfaceAccess = &PickingHost;
  pickRequests.clear();
  pickAnswers.clear();
  auto params = Params({"Rect1", "A1"});
  Queue("Set:Edit1", "Typed");
  Queue("Click:SpeedButton1");
  Queue("OK");
  ASSERT_TRUE(Edit(43, params));
  EXPECT_EQ(std::string(params[0]), "Typed");  // declined: the field stays
  EXPECT_EQ(pickRequests, std::vector<std::string>{"Typed"});

  pickAnswers = {"Rect7"};
  Queue("Click:SpeedButton1");
  Queue("OK");
  ASSERT_TRUE(Edit(43, params));
  EXPECT_EQ(std::string(params[0]), "Rect7");

  // Without the host's interface access the button does nothing.
  plugin::Host().interfaceAccess = nullptr;
  Queue("Click:SpeedButton1");
  Queue("OK");
  ASSERT_TRUE(Edit(43, params));
  EXPECT_EQ(std::string(params[0]), "Rect7");
  Free(params);
}

TEST_F(ActionEditors, UntouchedLongTextsGoBackWhole) {
  std::string longText(40000, 'x');
  longText += "end";
  auto params = Params({"Rect1", longText, "value"}, 3);
  Queue("OK");
  ASSERT_TRUE(Edit(42, params));
  EXPECT_EQ(std::string(params[1]), longText);
  // Edited, the field gives what it holds; typing stops at the field's limit.
  Queue("Set:Edit3", "y" + longText);
  Queue("Set:Edit2", "short");
  Queue("OK");
  ASSERT_TRUE(Edit(42, params));
  EXPECT_EQ(std::string(params[1]), "short");
  EXPECT_EQ(std::string(params[2]), "y" + longText.substr(0, 32766));
  Free(params);
}

TEST_F(ActionEditors, ASecondEditorWhileOneIsOpenIsRefused) {
  auto params = Params({"Rect1"});
  auto inner = Params({"Inner"});
  bool second = true;
  Queue("OK");
  EXPECT_TRUE(
      Edit(1, params, nullptr, [&](ui::Form&) { second = plugin::EditAction(2, inner.data()); }));
  EXPECT_FALSE(second);
  EXPECT_EQ(std::string(inner[0]), "Inner");
  Free(params);
  Free(inner);
}

TEST_F(ActionEditors, OwnedByTheActiveWindowOrTheDesktopWhenItIsGone) {
#ifdef _WIN32
  GTEST_SKIP() << "the active window is the system's here; the portable one is a focus record";
#endif
  const SSWindowSystemV1& system = platform::WindowSystem();
  uintptr_t host = system.create_window(0, "host", 0, 0, 640, 480);
  system.set_focus_window(host);
  auto params = Params({"Rect1"});
  Queue("OK");
  ASSERT_TRUE(Edit(1, params));
  system.destroy_window(host);
  Queue("OK");
  ASSERT_TRUE(Edit(1, params));
  const auto& log = HeadlessBackend::Instance().DialogLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, "owner " + std::to_string(host));
  EXPECT_NE(log[1].text, "owner " + std::to_string(host));
  system.set_focus_window(0);
  Free(params);
}

TEST_F(ActionEditors, AMisdirectedAnswerCancels) {
  auto params = Params({"Rect1"});
  Queue("Set:NoSuchField", "x");
  Queue("OK");
  EXPECT_FALSE(Edit(1, params));
  EXPECT_EQ(std::string(params[0]), "Rect1");
  Clear();
  Queue("Check:Edit1", "1");  // not a check box
  EXPECT_FALSE(Edit(1, params));
  Free(params);
}

}  // namespace

namespace {

TEST_F(ActionEditors, AFailingHandlerClosesTheDialogAsCancel) {
  plugin::ActionEditorForm form(*plugin::FindEditorSpec(1), {"Rect1"},
                                [](const std::string&) -> std::optional<std::string> {
                                  throw std::runtime_error("the picker failed");
                                });
  Queue("Click:SpeedButton1");
  Queue("OK");
  EXPECT_EQ(ui::RunLayoutDialog(form.Layout(), form, 0), ui::DialogButton::Cancel);
  EXPECT_FALSE(form.Confirmed());
  const auto& log = HeadlessBackend::Instance().DialogLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].value, "the picker failed");
  EXPECT_EQ(log[0].answer, "Cancel");
}

}  // namespace
