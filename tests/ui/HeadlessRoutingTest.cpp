// Input routing of the headless backend: hit testing, focus, capture, clicks of the standard
// controls, toggle groups, combo editing, shortcut dispatch and the key path.
#include <gtest/gtest.h>

#include "UiTestForm.h"
#include "ui/CommandList.h"
#include "ui/headless/HeadlessInput.h"

namespace {

using ui::headless::HeadlessInput;
using uitest::TestForm;

ui::Shortcut Key(const char* name) { return *ui::ParseShortcut(name); }

TEST(HeadlessRouting, LayoutStacksTopBandsAndHitTestingFindsTheDeepestControl) {
  TestForm t;
  EXPECT_EQ(t.bar->Bounds(), (ui::Rect{0, 0, 320, t.bar->NeededHeight()}));
  EXPECT_EQ(t.cell->Bounds(),
            (ui::Rect{0, t.bar->Bounds().bottom, 320, t.bar->Bounds().bottom + 24}));
  // Table: point -> control found.
  struct Case {
    ui::Point p;
    const ui::Control* expected;
  } cases[] = {
      {t.Centre(*t.text), t.text},   {t.Centre(*t.flag), t.flag}, {t.Centre(*t.grid), t.grid},
      {t.Centre(*t.size), t.size},   {ui::Point{1, 1}, t.bar},    {ui::Point{2, 40}, t.cell},
      {ui::Point{200, 70}, &t.form},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(&HeadlessInput::HitTest(t.form, c.p), c.expected) << c.p.x << "," << c.p.y;
  }
  // A hidden control is skipped; its parent is found instead.
  t.text->SetVisible(false);
  EXPECT_EQ(&HeadlessInput::HitTest(t.form, t.Centre(*t.text)), t.cell);
}

TEST(HeadlessRouting, ClicksFocusAndActLikeTheStandardControls) {
  TestForm t;
  HeadlessInput::Click(t.form, t.Centre(*t.flag));
  EXPECT_TRUE(t.flag->Checked());
  EXPECT_TRUE(t.flag->Focused());
  HeadlessInput::Click(t.form, t.Centre(*t.flag));
  HeadlessInput::Click(t.form, t.Centre(*t.ok));
  EXPECT_TRUE(t.ok->Focused());
  HeadlessInput::Click(t.form, t.Centre(*t.text));
  EXPECT_TRUE(t.text->Focused());
  EXPECT_EQ(t.log, (std::vector<std::string>{"flag on", "flag off", "ok"}));

  // A disabled control takes no click and no focus; hiding the focused control drops focus.
  t.log.clear();
  t.flag->SetEnabled(false);
  HeadlessInput::Click(t.form, t.Centre(*t.flag));
  EXPECT_FALSE(t.flag->Checked());
  EXPECT_TRUE(t.text->Focused());
  t.cell->SetVisible(false);
  EXPECT_EQ(t.form.ActiveControl(), nullptr);
  EXPECT_EQ(t.log, (std::vector<std::string>{"exit text"}));
}

TEST(HeadlessRouting, CaptureKeepsTheMouseAndDoubleClickFollowsTheSystemOrder) {
  TestForm t;
  ui::Point start = t.Centre(*t.grid);
  // Drag far outside the grid: moves still reach it (in its coordinates), release too.
  HeadlessInput::Drag(t.form, start, ui::Point{start.x, start.y - 100});
  ASSERT_GE(t.log.size(), 3u);
  EXPECT_EQ(t.log.front(), "down 156,56");
  EXPECT_EQ(t.log[t.log.size() - 2], "move 156,-44");
  EXPECT_EQ(t.log.back(), "up 156,-44");
  EXPECT_EQ(t.form.CaptureControl(), nullptr);
  EXPECT_TRUE(t.grid->Focused());

  t.log.clear();
  HeadlessInput::DoubleClick(t.form, ui::Point{10, 90});
  EXPECT_EQ(t.log, (std::vector<std::string>{"down 6,6", "up 6,6", "dbl", "up 6,6"}));
}

TEST(HeadlessRouting, ToolbarToggleGroupsAndCancelledPresses) {
  TestForm t;
  auto down = [&] {
    std::string s;
    for (const char* name : {"left", "center", "right", "bold"})
      s += t.bar->FindButton(name)->Down() ? '1' : '0';
    return s;
  };
  struct Step {
    const char* button;
    const char* expectedDown;  // left, center, right, bold
  } steps[] = {
      {"center", "0100"}, {"center", "0100"},  // a down grouped button stays down
      {"right", "0010"},  {"bold", "0011"},   {"bold", "0010"}, {"left", "1000"},
  };
  for (const Step& s : steps) {
    HeadlessInput::Click(t.form, t.Centre(*t.bar->FindButton(s.button)));
    EXPECT_EQ(down(), s.expectedDown) << s.button;
  }
  EXPECT_EQ(t.log, (std::vector<std::string>{"center", "center", "right", "bold", "bold", "left"}));
  // Pressed on a button, released outside: nothing happens, the capture is given back.
  t.log.clear();
  HeadlessInput::Drag(t.form, t.Centre(*t.bar->FindButton("right")), ui::Point{300, 150});
  EXPECT_TRUE(t.log.empty());
  EXPECT_EQ(down(), "1000");
  EXPECT_EQ(t.form.CaptureControl(), nullptr);
  // A disabled button ignores clicks; programmatic SetDown keeps the group consistent.
  t.bar->FindButton("center")->SetEnabled(false);
  HeadlessInput::Click(t.form, t.Centre(*t.bar->FindButton("center")));
  EXPECT_EQ(down(), "1000");
  t.bar->FindButton("right")->SetDown(true);
  EXPECT_EQ(down(), "0010");
}

TEST(HeadlessRouting, EditAndComboEditingThroughKeysAndText) {
  TestForm t;
  HeadlessInput::Click(t.form, t.Centre(*t.text));
  HeadlessInput::Type(&t.form, "abc");
  struct Step {
    const char* key;
    const char* text;
    int caret;
  } steps[] = {
      {"Left", "abc", 2},
      {"Backspace", "ac", 1},
      {"Home", "ac", 0},
      {"Delete", "c", 0},
      {"End", "c", 1},
      {"Shift+X", "cX", 2},
      {"x", "cXx", 3},
      {"5", "cXx5", 4},
      {"Shift+Left", "cXx5", 3},
      {"Shift+Left", "cXx5", 2},
      {"Backspace", "cX", 2},
      {"Shift+Home", "cX", 0},
      {"Delete", "", 0},
      {"x", "x", 1},
      {"Shift+Left", "x", 0},
      {"y", "y", 1},
      {"Shift+Home", "y", 0},
      {"Shift+End", "y", 0},
      {"5", "5", 1},
  };
  for (const Step& s : steps) {
    HeadlessInput::Key(&t.form, Key(s.key));
    EXPECT_EQ(t.text->Text(), s.text) << s.key;
    EXPECT_EQ(t.text->SelStart(), s.caret) << s.key;
  }
  t.text->SetMaxLength(3);
  HeadlessInput::Type(&t.form, "123");
  EXPECT_EQ(t.text->Text(), "512");

  // The size box: its handler swallows everything but digits; Up/Down choose items.
  t.size->SetFocus();
  t.log.clear();
  HeadlessInput::Type(&t.form, "1a");
  EXPECT_EQ(t.size->Text(), "81");
  EXPECT_EQ(t.size->ItemIndex(), -1);
  t.size->SetText("9");
  EXPECT_EQ(t.size->ItemIndex(), 1);
  HeadlessInput::Key(&t.form, Key("Down"));
  EXPECT_EQ(t.size->Text(), "10");
  HeadlessInput::ChooseItem(*t.size, 4);
  EXPECT_EQ(t.size->Text(), "20 ");
  EXPECT_EQ(t.log, (std::vector<std::string>{"size=81", "size=10", "size=20 "}));
}

TEST(HeadlessRouting, ShortcutsRunCommandsBeforeTheFocusedControl) {
  TestForm t;
  ui::CommandList& list = t.form.AddCommandList("alMain");
  ui::Command& open = list.Add("actOpen");
  open.SetShortcut(Key("Ctrl+O"));
  int opened = 0;
  open.OnExecute = [&] { ++opened; };
  ui::Command& help = list.Add("actHelp");
  help.SetShortcut(Key("F1"));
  help.OnExecute = [&] { t.log.push_back("help"); };
  t.grid->SetFocus();

  HeadlessInput::Key(&t.form, Key("Ctrl+O"));
  EXPECT_EQ(opened, 1);
  HeadlessInput::Key(&t.form, Key("F1"));
  // Disabled: the key goes on to the focused control instead.
  open.SetEnabled(false);
  HeadlessInput::Key(&t.form, Key("Ctrl+O"));
  EXPECT_EQ(opened, 1);
  // Enter in the grid is the grid's, not the default button's.
  HeadlessInput::Key(&t.form, Key("Enter"));
  EXPECT_EQ(t.log, (std::vector<std::string>{"help", "key 79", "key 13"}));

  // Outside a custom control, Enter presses the default button and Tab moves the focus.
  t.log.clear();
  t.flag->SetFocus();
  HeadlessInput::Key(&t.form, Key("Enter"));
  EXPECT_EQ(t.log, (std::vector<std::string>{"ok"}));
  std::vector<ui::Control*> order = t.form.TabOrder();
  ASSERT_EQ(order.size(), 5u);  // size, text, flag, ok, grid
  HeadlessInput::Key(&t.form, Key("Tab"));
  EXPECT_TRUE(t.ok->Focused());
  HeadlessInput::Key(&t.form, Key("Shift+Tab"));
  EXPECT_TRUE(t.flag->Focused());
  // A linked button follows its command and runs it.
  ui::ToolButton& newButton = *t.bar->FindButton("new");
  ui::Command& create = list.Add("actNew");
  create.SetHint("New Spread Sheet");
  int created = 0;
  create.OnExecute = [&] { ++created; };
  newButton.SetCommand(&create);
  EXPECT_EQ(newButton.Hint(), "New Spread Sheet");
  HeadlessInput::Click(t.form, t.Centre(newButton));
  create.SetEnabled(false);
  EXPECT_FALSE(newButton.Enabled());
  HeadlessInput::Click(t.form, t.Centre(newButton));
  EXPECT_EQ(created, 1);
}

TEST(HeadlessRouting, KeysParseToShortcutCodesAndBack) {
  struct Case {
    const char* text;
    ui::Shortcut code;  // 0: rejected
    const char* canonical;
  } cases[] = {
      {"Ctrl+Right", 0x4027, "Ctrl+Right"},
      {"ctrl+shift+a", 0x6041, "Ctrl+Shift+A"},
      {"Alt+F4", 0x8073, "Alt+F4"},
      {"F12", 0x7B, "F12"},
      {"PageDown", 0x22, "PageDown"},
      {"Escape", 0x1B, "Escape"},
      {"7", 0x37, "7"},
      {"Shift+Tab", 0x2009, "Shift+Tab"},
      {"F13", 0, ""},
      {"F0", 0, ""},
      {"Ctrl+", 0, ""},
      {"Ctrl+Ctrl+A", 0, ""},
      {"Super+A", 0, ""},
      {"", 0, ""},
      {"Enterr", 0, ""},
  };
  for (const Case& c : cases) {
    std::optional<ui::Shortcut> code = ui::ParseShortcut(c.text);
    if (c.code == 0) {
      EXPECT_FALSE(code) << c.text;
      continue;
    }
    ASSERT_TRUE(code) << c.text;
    EXPECT_EQ(*code, c.code) << c.text;
    EXPECT_EQ(ui::ShortcutText(*code), c.canonical);
  }
}

TEST(HeadlessRouting, ScrollBarsKeep32BitRangesAndTakeTheirRoomFromTheClientArea) {
  TestForm t;
  ui::Rect before = t.grid->ClientRect();
  t.grid->SetScrollBar(ui::ScrollBarKind::Vertical, {0, 107374181, 40, 2000000000, true});
  const ui::ScrollBarState& v = t.grid->ScrollBar(ui::ScrollBarKind::Vertical);
  EXPECT_EQ(v.position, 107374181 - 40 + 1);  // clamped to the last page
  EXPECT_EQ(t.grid->ClientRect().right, before.right - 17);
  std::vector<std::pair<ui::ScrollCode, int32_t>> seen;
  t.grid->OnScroll = [&](ui::ScrollBarKind, ui::ScrollCode code, int32_t pos) {
    seen.emplace_back(code, pos);
  };
  HeadlessInput::Scroll(*t.grid, ui::ScrollBarKind::Vertical, ui::ScrollCode::Track, 99999999);
  HeadlessInput::Scroll(*t.grid, ui::ScrollBarKind::Horizontal,
                        ui::ScrollCode::LineDown);  // hidden bar
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].second, 99999999);
  t.grid->SetScrollBar(ui::ScrollBarKind::Vertical, {10, 5, -3, -7, true});
  EXPECT_EQ(t.grid->ScrollBar(ui::ScrollBarKind::Vertical),
            (ui::ScrollBarState{10, 10, 0, 10, true}));
}

}  // namespace
