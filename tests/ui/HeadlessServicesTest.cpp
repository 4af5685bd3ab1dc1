// The headless backend's services: the dialog answer queue and the dialog log, hot keys
// with atoms and one owner per key, virtual-time timers, layout of the control bar and
// the busy cursor.
#include <gtest/gtest.h>

#include "UiTestForm.h"
#include "ui/HotKeyManager.h"
#include "ui/Timer.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"

namespace {

using ui::headless::HeadlessBackend;

HeadlessBackend& Backend() { return HeadlessBackend::Instance(); }

class HeadlessServices : public ::testing::Test {
 protected:
  void SetUp() override {
    while (Backend().PendingAnswers() > 0) {
      ui::MessageBoxSpec drain{"drain", "", ui::MessageButtons::Ok};
      ui::ShowMessageBox(drain);
    }
    Backend().ClearDialogLog();
  }
};

TEST_F(HeadlessServices, DialogsTakeQueuedAnswersAndAnEmptyQueueCancels) {
  struct Case {
    const char* kind;
    const char* button;  // nullptr: nothing queued
    const char* value;
    bool confirmed;
    const char* result;  // the file name, colour or text afterwards
  } cases[] = {
      {"Open", nullptr, "", false, "start.xls"},
      {"Open", "OK", "book.xls", true, "book.xls"},
      {"Open", "ok", "", true, "start.xls"},  // OK keeps the proposed name
      {"Open", "Cancel", "book.xls", false, "start.xls"},
      {"Save", "OK", "out", true, "out.xls"},  // default extension added
      {"Save", "OK", "out.bin", true, "out.bin"},
      {"Color", "OK", "255000128", true, "255000128"},
      {"Color", "OK", "10,20,30", true, "010020030"},
      {"Color", "OK", "256000000", false, "001002003"},  // not a colour: Cancel
      {"Color", nullptr, "", false, "001002003"},
      {"Input", "OK", "secret", true, "secret"},
      {"Input", "OK", "", true, ""},
      {"Input", "Cancel", "x", false, "before"},
  };
  for (const Case& c : cases) {
    if (c.button != nullptr) Backend().QueueAnswer(c.button, c.value);
    std::string kind = c.kind;
    bool confirmed = false;
    std::string result;
    if (kind == "Open" || kind == "Save") {
      ui::FileDialog dialog;
      dialog.mode = kind == "Open" ? ui::FileDialog::Mode::Open : ui::FileDialog::Mode::Save;
      dialog.filter = "XLS|*.xls|All|*.*";
      dialog.fileName = "start.xls";
      if (kind == "Save") {
        dialog.fileName = "";
        dialog.defaultExt = "xls";
      }
      confirmed = dialog.Execute();
      result = dialog.fileName.empty() ? "start.xls" : dialog.fileName;
    } else if (kind == "Color") {
      ui::ColorDialog dialog{ui::Color{1, 2, 3}};
      confirmed = dialog.Execute();
      char text[16];
      std::snprintf(text, sizeof text, "%03u%03u%03u", dialog.color.r, dialog.color.g,
                    dialog.color.b);
      result = text;
    } else {
      ui::InputBox box{"Password", "Enter the password", "before", true};
      confirmed = box.Execute();
      result = box.value;
    }
    EXPECT_EQ(confirmed, c.confirmed)
        << kind << " " << (c.button ? c.button : "-") << " " << c.value;
    EXPECT_EQ(result, c.result) << kind << " " << (c.button ? c.button : "-") << " " << c.value;
  }
  EXPECT_EQ(Backend().PendingAnswers(), 0u);
  ASSERT_EQ(Backend().DialogLog().size(), std::size(cases));
  // A masked input never shows its text in the log.
  EXPECT_EQ(Backend().DialogLog()[10].value, "******");
  EXPECT_EQ(Backend().DialogLog()[0].text, "XLS|*.xls|All|*.*");
}

TEST_F(HeadlessServices, MessageBoxesAreLoggedWithTheirButtonsAndAnswer) {
  struct Case {
    ui::MessageButtons buttons;
    const char* answer;  // nullptr: nothing queued
    ui::DialogButton expected;
    const char* shown;
  } cases[] = {
      {ui::MessageButtons::Ok, "OK", ui::DialogButton::Ok, "OK"},
      {ui::MessageButtons::Ok, nullptr, ui::DialogButton::Cancel, "OK"},
      {ui::MessageButtons::YesNo, "No", ui::DialogButton::No, "Yes|No"},
      {ui::MessageButtons::YesNo, "OK", ui::DialogButton::Cancel, "Yes|No"},  // not shown
      {ui::MessageButtons::YesNoCancel, "yes", ui::DialogButton::Yes, "Yes|No|Cancel"},
      {ui::MessageButtons::AbortRetryIgnore, "Ignore", ui::DialogButton::Ignore,
       "Abort|Retry|Ignore"},
  };
  int n = 0;
  for (const Case& c : cases) {
    if (c.answer != nullptr) Backend().QueueAnswer(c.answer);
    ui::MessageBoxSpec spec{"Caption " + std::to_string(n), "Text " + std::to_string(n), c.buttons,
                            ui::MessageIcon::Error};
    EXPECT_EQ(ui::ShowMessageBox(spec), c.expected) << n;
    const ui::headless::DialogRecord& record = Backend().DialogLog().back();
    EXPECT_EQ(record.kind, "MessageBox");
    EXPECT_EQ(record.caption, spec.caption);
    EXPECT_EQ(record.text, spec.text);
    EXPECT_EQ(record.buttons, c.shown);
    EXPECT_EQ(record.answer, ui::DialogButtonName(c.expected));
    ++n;
  }
  // While a dialog runs, the backend says so (re-entrancy checks rely on it).
  bool inside = false;
  Backend().OnDialogShown = [&](const ui::headless::DialogRecord&) {
    inside = Backend().InModalDialog();
  };
  ui::ShowMessageBox(ui::MessageBoxSpec{"c", "t"});
  Backend().OnDialogShown = nullptr;
  EXPECT_TRUE(inside);
  EXPECT_FALSE(Backend().InModalDialog());
}

TEST_F(HeadlessServices, HotKeysHaveOneOwnerAndReachItThroughTheFocusedForm) {
  uitest::TestForm t;
  t.grid->SetFocus();
  std::vector<std::string> pressed;
  auto first = std::make_unique<ui::HotKeyManager>();
  first->OnHotKeyPressed = [&](ui::Shortcut code, uint32_t) {
    pressed.push_back("first " + ui::ShortcutText(code));
  };
  ui::Shortcut ctrlRight = *ui::ParseShortcut("Ctrl+Right");
  ui::Shortcut ctrlLeft = *ui::ParseShortcut("Ctrl+Left");
  uint32_t right = first->AddHotKey(ctrlRight);
  uint32_t left = first->AddHotKey(ctrlLeft);
  EXPECT_NE(right, 0u);
  EXPECT_NE(left, 0u);
  EXPECT_NE(right, left);
  EXPECT_EQ(ui::HotKeyManager::AtomName(ctrlRight), "HotKeyManagerHotKey16423");

  ui::HotKeyManager second;
  second.OnHotKeyPressed = [&](ui::Shortcut, uint32_t) { pressed.push_back("second"); };
  EXPECT_EQ(second.AddHotKey(ctrlRight), 0u);  // held by the first manager
  EXPECT_EQ(second.Count(), 0u);

  ui::headless::HeadlessInput::Key(nullptr, ctrlRight);
  ui::headless::HeadlessInput::Key(nullptr, ctrlLeft);
  EXPECT_EQ(pressed, (std::vector<std::string>{"first Ctrl+Right", "first Ctrl+Left"}));
  EXPECT_TRUE(t.log.empty());  // the grid never saw them

  // Suspended keys go to the focused control again; resumed ones come back.
  first->Suspend();
  ui::headless::HeadlessInput::Key(nullptr, ctrlRight);
  EXPECT_EQ(t.log, (std::vector<std::string>{"key 39"}));
  EXPECT_NE(second.AddHotKey(ctrlLeft), 0u);  // free while suspended
  first->Resume();
  EXPECT_TRUE(first->IsRegistered(right));
  EXPECT_FALSE(first->IsRegistered(left));  // the second manager took it meanwhile
  ui::headless::HeadlessInput::Key(nullptr, ctrlLeft);
  EXPECT_EQ(pressed.back(), "second");

  // Destruction releases the keys and the atoms.
  size_t before = Backend().RegisteredHotKeys();
  first.reset();
  EXPECT_EQ(Backend().RegisteredHotKeys(), before - 1);
  EXPECT_NE(second.AddHotKey(ctrlRight), 0u);
}

TEST_F(HeadlessServices, TimersFireInTimeOrderAndMayStopThemselves) {
  std::vector<std::string> fired;
  ui::Timer fast, slow;
  fast.SetInterval(30);
  slow.SetInterval(50);
  int fastCount = 0;
  fast.OnTimer = [&] {
    fired.push_back("fast@" + std::to_string(Backend().Now()));
    if (++fastCount == 3) fast.SetEnabled(false);
  };
  slow.OnTimer = [&] { fired.push_back("slow@" + std::to_string(Backend().Now())); };
  uint64_t t0 = Backend().Now();
  fast.SetEnabled(true);
  slow.SetEnabled(true);
  Backend().AdvanceTime(160);
  std::vector<std::string> expected;
  for (auto [name, at] : std::vector<std::pair<const char*, int>>{
           {"fast", 30}, {"slow", 50}, {"fast", 60}, {"fast", 90}, {"slow", 100}, {"slow", 150}}) {
    expected.push_back(std::string(name) + "@" + std::to_string(t0 + at));
  }
  EXPECT_EQ(fired, expected);
  EXPECT_FALSE(fast.Running());
  slow.SetInterval(0);
  EXPECT_EQ(Backend().RunningTimers(), 0u);
}

TEST_F(HeadlessServices, ControlBarSizesItselfToItsVisibleToolbars) {
  ui::Form form(0, "bars");
  form.SetBounds(ui::Rect{0, 0, 400, 300});
  auto& bar = form.Add<ui::ControlBar>("ControlBar1");
  bar.SetAlign(ui::Align::Top);
  auto& standard = bar.Add<ui::ToolBar>("tbsStandard");
  standard.SetButtonSize(ui::Size{23, 22});
  auto& formatting = bar.Add<ui::ToolBar>("tbsFormatting");
  formatting.SetButtonSize(ui::Size{24, 23});
  auto& client = form.Add<ui::Panel>("client");
  client.SetAlign(ui::Align::Client);
  EXPECT_EQ(bar.Height(), standard.NeededHeight() + formatting.NeededHeight());
  EXPECT_EQ(formatting.Bounds().top, standard.NeededHeight());
  EXPECT_EQ(client.Bounds().top, bar.Height());
  standard.SetVisible(false);
  EXPECT_EQ(bar.Height(), formatting.NeededHeight());
  EXPECT_EQ(formatting.Bounds().top, 0);
  formatting.SetVisible(false);
  EXPECT_EQ(bar.Height(), 0);
  EXPECT_EQ(client.Bounds(), (ui::Rect{0, 0, 400, 300}));
}

TEST_F(HeadlessServices, BusyCursorIsRestoredOnEveryPath) {
  EXPECT_EQ(Backend().ScreenCursor(), ui::CursorShape::Default);
  try {
    ui::ScopedScreenCursor busy(ui::CursorShape::Wait);
    EXPECT_EQ(Backend().ScreenCursor(), ui::CursorShape::Wait);
    throw std::runtime_error("load failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Backend().ScreenCursor(), ui::CursorShape::Default);
}

}  // namespace
