// The tab control and the list box on the headless backend: clicks, keys, the wheel, the
// scroll bar and answers, with the page shown, the item chosen, the row on top, the focus and
// the change events after every step; then how the two look.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/BasicControls.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/ModalForm.h"
#include "ui/TabControl.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessInput.h"

namespace {

using ui::headless::HeadlessInput;

// Tab control "tabs" with pages "p0" (button "b0"), "p1" (button "b1") and "p2" (nothing to
// focus); beside it list box "list" of 20 items "item 0".."item 19", five rows high, and an
// "ok" button on the form.
struct PagedForm {
  ui::Form form{0, "PagedForm"};
  ui::TabControl* tabs = nullptr;
  ui::ListBox* list = nullptr;
  std::vector<std::string> log;

  PagedForm() {
    form.SetBounds(ui::Rect{0, 0, 400, 200});
    tabs = &form.Add<ui::TabControl>("tabs");
    tabs->SetBounds(ui::Rect::FromSize(4, 4, 240, 150));
    tabs->SetTabWidth(60);
    for (int i = 0; i < 3; ++i) {
      ui::Panel& page = tabs->AddPage("p" + std::to_string(i), "&Page " + std::to_string(i));
      if (i == 2) continue;
      ui::Button& b = page.Add<ui::Button>("b" + std::to_string(i));
      b.SetBounds(ui::Rect::FromSize(10, 10, 60, 24));
    }
    tabs->OnChange = [this] { log.push_back("tab " + std::to_string(tabs->TabIndex())); };
    list = &form.Add<ui::ListBox>("list");
    list->SetBounds(ui::Rect::FromSize(260, 4, 120, 5 * 16 + 2 * ui::ListBox::kFrame));
    std::vector<std::string> items;
    for (int i = 0; i < 20; ++i) items.push_back("item " + std::to_string(i));
    list->SetItems(items);
    list->OnChange = [this] { log.push_back("item " + std::to_string(list->ItemIndex())); };
    form.Add<ui::Button>("ok").SetBounds(ui::Rect::FromSize(300, 160, 60, 24));
  }
  std::string Shown() const {
    std::string shown;
    for (int i = 0; i < tabs->Count(); ++i) shown += tabs->Page(i)->Visible() ? "1" : "0";
    return shown;
  }
  ui::Point TabCentre(int index) const {
    const ui::Rect r = tabs->TabRect(index);
    return tabs->ToForm(ui::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  ui::Point RowPoint(int row) const {
    return list->ToForm(ui::Point{20, ui::ListBox::kFrame + row * 16 + 8});
  }
  ui::Point BarPoint(int y) const {
    const ui::Rect track = list->ScrollBarTrack();
    return list->ToForm(ui::Point{(track.left + track.right) / 2, y < 0 ? track.bottom + y : y});
  }
};

TEST(PagedControls, TabsAndListFollowClicksKeysWheelAndAnswers) {
  PagedForm t;
  EXPECT_EQ(t.Shown(), "100") << "the first page added is current";
  EXPECT_EQ(t.list->VisibleRows(), 5);
  EXPECT_TRUE(t.list->HasScrollBar());
  t.tabs->SetTabIndex(1);
  t.list->SetItemIndex(7);
  EXPECT_EQ(t.list->TopIndex(), 3) << "a programmatic choice scrolls into view";
  EXPECT_TRUE(t.log.empty()) << "programmatic changes raise nothing";
  t.tabs->SetTabIndex(0);
  t.list->SetItemIndex(-1);
  t.list->SetTopIndex(0);

  struct Step {
    const char* what;
    const char* input;  // "click tab N", "click row N", "bar Y", "key K", "wheel D", "answer N=V"
    const char* shown;  // which pages are visible
    int item, top;      // the list's chosen item and first row
    const char* focus;  // "" for none
    const char* events;
    bool taken = true;  // for answers
  } steps[] = {
      {"click tab 1", "click tab 1", "010", -1, 0, "tabs", "tab 1;"},
      {"click the current tab", "click tab 1", "010", -1, 0, "tabs", ""},
      {"Right along the strip", "key Right", "001", -1, 0, "tabs", "tab 2;"},
      {"Right stops at the end", "key Right", "001", -1, 0, "tabs", ""},
      {"Left", "key Left", "010", -1, 0, "tabs", "tab 1;"},
      {"Tab to the page's button", "key Tab", "010", -1, 0, "b1", ""},
      {"Ctrl+Tab from the page", "key Ctrl+Tab", "001", -1, 0, "tabs", "tab 2;"},
      {"Ctrl+Tab wraps", "key Ctrl+Tab", "100", -1, 0, "tabs", "tab 0;"},
      {"Ctrl+Shift+Tab wraps back", "key Ctrl+Shift+Tab", "001", -1, 0, "tabs", "tab 2;"},
      {"Ctrl+PageUp", "key Ctrl+PageUp", "010", -1, 0, "tabs", "tab 1;"},
      {"Ctrl+PageDown", "key Ctrl+PageDown", "001", -1, 0, "tabs", "tab 2;"},
      {"click row 2", "click row 2", "001", 2, 0, "list", "item 2;"},
      {"Ctrl+PageDown from the list", "key Ctrl+PageDown", "100", 2, 0, "list", "tab 0;"},
      {"Down", "key Down", "100", 3, 0, "list", "item 3;"},
      {"PageDown: a page is four rows", "key PageDown", "100", 7, 3, "list", "item 7;"},
      {"End", "key End", "100", 19, 15, "list", "item 19;"},
      {"Down at the end", "key Down", "100", 19, 15, "list", ""},
      {"wheel away scrolls up three", "wheel 120", "100", 19, 12, "list", ""},
      {"Home", "key Home", "100", 0, 0, "list", "item 0;"},
      {"wheel towards scrolls down", "wheel -240", "100", 0, 6, "list", ""},
      {"PageUp at the top", "key PageUp", "100", 0, 0, "list", ""},
      {"bar: lower arrow", "bar -2", "100", 0, 1, "list", ""},
      {"bar: track below the thumb", "bar -30", "100", 0, 6, "list", ""},
      {"bar: upper arrow", "bar 3", "100", 0, 5, "list", ""},
      {"click row 4 of the scrolled list", "click row 4", "100", 9, 5, "list", "item 9;"},
      {"Up", "key Up", "100", 8, 5, "list", "item 8;"},
      {"answer list=17", "answer list=17", "100", 17, 13, "list", "item 17;"},
      {"answer list=20 is refused", "answer list=20", "100", 17, 13, "list", "", false},
      {"answer tabs=2", "answer tabs=2", "001", 17, 13, "list", "tab 2;"},
      {"answer tabs=p1 by page name", "answer tabs=p1", "010", 17, 13, "list", "tab 1;"},
      {"answer p0Tab=click", "answer p0Tab=click", "100", 17, 13, "list", "tab 0;"},
      {"answer tabs=3 is refused", "answer tabs=3", "100", 17, 13, "list", "", false},
      {"answer tabs=p9 is refused", "answer tabs=p9", "100", 17, 13, "list", "", false},
      {"answer p9Tab=click is refused", "answer p9Tab=click", "100", 17, 13, "list", "", false},
      {"answer p1Tab=1 is refused", "answer p1Tab=1", "100", 17, 13, "list", "", false},
  };
  for (const Step& s : steps) {
    t.log.clear();
    const std::string input = s.input;
    const std::string arg = input.substr(input.rfind(' ') + 1);
    if (input.starts_with("click tab")) {
      HeadlessInput::Click(t.form, t.TabCentre(std::stoi(arg)));
    } else if (input.starts_with("click row")) {
      HeadlessInput::Click(t.form, t.RowPoint(std::stoi(arg)));
    } else if (input.starts_with("bar")) {
      HeadlessInput::Click(t.form, t.BarPoint(std::stoi(arg)));
    } else if (input.starts_with("key")) {
      HeadlessInput::Key(&t.form, *ui::ParseShortcut(arg));
    } else if (input.starts_with("wheel")) {
      HeadlessInput::Wheel(t.form, t.RowPoint(0), std::stoi(arg));
    } else {
      const size_t eq = arg.find('=');
      EXPECT_EQ(ui::SetControlFromAnswer(t.form, arg.substr(0, eq), arg.substr(eq + 1)), s.taken)
          << s.what;
    }
    EXPECT_EQ(t.Shown(), s.shown) << s.what;
    EXPECT_EQ(t.list->ItemIndex(), s.item) << s.what;
    EXPECT_EQ(t.list->TopIndex(), s.top) << s.what;
    const ui::Control* focus = t.form.ActiveControl();
    EXPECT_EQ(focus != nullptr ? focus->Name() : "", s.focus) << s.what;
    std::string events;
    for (const std::string& e : t.log) events += e + ";";
    EXPECT_EQ(events, s.events) << s.what;
  }
  // The frame below the strip and the list's own rows take no tab and no item.
  EXPECT_EQ(t.tabs->TabAt(ui::Point{t.tabs->Width() - 2, 5}), -1);
  EXPECT_EQ(t.list->ItemAt(t.list->FromForm(t.BarPoint(40))), -1);
  t.tabs->SetEnabled(false);
  EXPECT_FALSE(ui::SetControlFromAnswer(t.form, "p1Tab", "click"));
}

TEST(PagedControls, TheCurrentTabJoinsItsPageAndTheChosenRowIsHighlighted) {
  PagedForm t;
  t.tabs->SetTabIndex(1);
  t.list->SetItemIndex(2);
  t.list->SetFocus();
  const ui::Image picture = ui::headless::FormRenderer::Render(t.form);
  auto at = [&](const ui::Control& c, int x, int y) {
    const ui::Point p = c.ToForm(ui::Point{x, y});
    return picture.At(p.x, p.y).ToColor();
  };
  const int line = ui::TabControl::kTabHeight;  // the frame's top line
  const ui::Rect current = t.tabs->TabRect(1);
  const ui::Rect behind = t.tabs->TabRect(0);
  EXPECT_EQ(current.top, 0);
  EXPECT_LT(behind.top, line);
  EXPECT_GT(behind.top, current.top) << "the tabs behind are lower";
  EXPECT_EQ(at(*t.tabs, (current.left + current.right) / 2, line), ui::colors::kButtonFace)
      << "no line between the current tab and its page";
  EXPECT_EQ(at(*t.tabs, (behind.left + behind.right) / 2, line), ui::colors::kButtonHighlight);
  EXPECT_EQ(at(*t.tabs, (current.left + current.right) / 2, 0), ui::colors::kButtonHighlight);
  EXPECT_EQ(at(*t.tabs, (behind.left + behind.right) / 2, 0), ui::colors::kButtonFace);
  // Chosen row: highlight behind its text, the others white; the bar to their right.
  const ui::Rect chosen = t.list->ItemRect(2);
  EXPECT_EQ(at(*t.list, chosen.right - 3, chosen.top + 3), ui::colors::kHighlight);
  EXPECT_EQ(at(*t.list, chosen.right - 3, t.list->ItemRect(3).top + 3), ui::colors::kWhite);
  EXPECT_EQ(at(*t.list, chosen.left, chosen.top), ui::colors::kWindowText) << "focus frame";
  const ui::Rect track = t.list->ScrollBarTrack();
  EXPECT_EQ(track.right, t.list->Width() - ui::ListBox::kFrame);
  EXPECT_EQ(at(*t.list, track.left, track.top + 5), ui::colors::kButtonShadow)
      << "the upper arrow box";
  EXPECT_EQ(at(*t.list, track.left + 5, track.top + 5), ui::colors::kButtonFace);
}

}  // namespace
