// Controls that hold a choice of one: radio button groups (clicks, arrow keys, Tab, answers and
// the painted state) and the colour grid (mouse, keys, answers and its swatches).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/BasicControls.h"
#include "ui/ColorGrid.h"
#include "ui/CommandList.h"
#include "ui/Form.h"
#include "ui/ModalForm.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessInput.h"

namespace {

using ui::headless::HeadlessInput;

ui::Shortcut Key(const char* name) { return *ui::ParseShortcut(name); }

// Two groups on one form: "a", "b" (disabled), "c" in group 0, then "x", "y" in group 1, with
// an edit box between "c" and "x" so that Tab has somewhere to go.
struct RadioForm {
  ui::Form form{0, "RadioForm"};
  std::vector<ui::RadioButton*> radios;
  ui::Edit* edit = nullptr;
  std::vector<std::string> log;

  RadioForm() {
    form.SetBounds(ui::Rect{0, 0, 200, 160});
    int y = 4;
    for (const auto& [name, group] : {std::pair{"a", 0}, {"b", 0}, {"c", 0}, {"x", 1}, {"y", 1}}) {
      if (std::string(name) == "x") {
        edit = &form.Add<ui::Edit>("edit");
        edit->SetBounds(ui::Rect::FromSize(4, y, 100, 20));
        y += 24;
      }
      ui::RadioButton& radio = form.Add<ui::RadioButton>(name, group);
      radio.SetCaption(std::string("&") + name);
      radio.SetBounds(ui::Rect::FromSize(4, y, 100, 18));
      radio.OnClick = [this, &radio] { log.push_back(radio.Name()); };
      radios.push_back(&radio);
      y += 22;
    }
    radios[1]->SetEnabled(false);
  }
  ui::RadioButton& R(const char* name) {
    return *static_cast<ui::RadioButton*>(form.FindByName(name));
  }
  ui::Point Centre(const ui::Control& c) const {
    return c.ToForm(ui::Point{c.Width() / 2, c.Height() / 2});
  }
  // The checked buttons as a string of their names, in order.
  std::string Checked() const {
    std::string names;
    for (const ui::RadioButton* r : radios) names += r->Checked() ? r->Name() : "";
    return names;
  }
};

TEST(RadioButtons, ChoosingOneUnchecksTheRestOfItsGroupOnly) {
  RadioForm t;
  EXPECT_TRUE(t.R("a").FirstInGroup());
  EXPECT_FALSE(t.R("c").FirstInGroup());
  EXPECT_TRUE(t.R("x").FirstInGroup());
  t.R("c").SetChecked(true);
  t.R("y").SetChecked(true);
  EXPECT_EQ(t.Checked(), "cy");
  EXPECT_TRUE(t.log.empty()) << "programmatic changes raise no event";

  // Each step: an input, the checked buttons after it, the focused control, the events.
  struct Step {
    const char* what;
    const char* input;  // "click NAME", "key KEY" or "answer NAME=VALUE"
    const char* checked;
    const char* focus;
    const char* events;
    bool answerTaken = true;
  } steps[] = {
      {"click a", "click a", "ay", "a", "a"},
      {"click the checked one again", "click a", "ay", "a", ""},
      {"Down skips the disabled b", "key Down", "cy", "c", "c"},
      {"Right wraps to a", "key Right", "ay", "a", "a"},
      {"Up wraps back to c", "key Up", "cy", "c", "c"},
      {"Left skips b", "key Left", "ay", "a", "a"},
      {"Space on the checked one", "key Space", "ay", "a", ""},
      {"Tab goes past c to the edit", "key Tab", "ay", "edit", ""},
      {"Tab enters group 1 at y", "key Tab", "ay", "y", ""},
      {"Shift+Tab leaves it", "key Shift+Tab", "ay", "edit", ""},
      {"Shift+Tab enters group 0 at a", "key Shift+Tab", "ay", "a", ""},
      {"a click on disabled b", "click b", "ay", "a", ""},
      {"answer x=1", "answer x=1", "ax", "a", "x"},
      {"answer y=0 where y is unchecked", "answer y=0", "ax", "a", ""},
      {"answer x=0 is refused", "answer x=0", "ax", "a", "", false},
      {"answer b=1 is refused (disabled)", "answer b=1", "ax", "a", "", false},
      {"answer c=yes is refused", "answer c=yes", "ax", "a", "", false},
  };
  for (const Step& s : steps) {
    t.log.clear();
    const std::string input = s.input;
    const std::string arg = input.substr(input.find(' ') + 1);
    if (input.starts_with("click")) {
      HeadlessInput::Click(t.form, t.Centre(t.R(arg.c_str())));
    } else if (input.starts_with("key")) {
      HeadlessInput::Key(&t.form, Key(arg.c_str()));
    } else {
      const size_t eq = arg.find('=');
      EXPECT_EQ(ui::SetControlFromAnswer(t.form, arg.substr(0, eq), arg.substr(eq + 1)),
                s.answerTaken)
          << s.what;
    }
    EXPECT_EQ(t.Checked(), s.checked) << s.what;
    ASSERT_NE(t.form.ActiveControl(), nullptr) << s.what;
    EXPECT_EQ(t.form.ActiveControl()->Name(), s.focus) << s.what;
    std::string events;
    for (const std::string& e : t.log) events += e;
    EXPECT_EQ(events, s.events) << s.what;
  }
}

TEST(RadioButtons, PaintARoundMarkOnlyWhenChecked) {
  RadioForm t;
  t.R("a").SetChecked(true);
  const ui::Image picture = ui::headless::FormRenderer::Render(t.form);
  // The mark's centre, and the corner of the mark's square, which a round button leaves to the
  // form while a square box would cover it.
  auto pixel = [&](const char* name, int dx, int dy) {
    const ui::Control& c = t.R(name);
    const ui::Point p = c.ToForm(ui::Point{dx, (c.Height() - 12) / 2 + dy});
    return picture.At(p.x, p.y).ToColor();
  };
  EXPECT_EQ(pixel("a", 6, 6), ui::colors::kWindowText);
  EXPECT_EQ(pixel("c", 6, 6), ui::colors::kWhite);
  EXPECT_EQ(pixel("b", 6, 6), ui::colors::kButtonFace) << "a disabled field is grey";
  for (const char* name : {"a", "c"}) {
    EXPECT_EQ(pixel(name, 0, 0), t.form.BackColor()) << name;
    EXPECT_EQ(pixel(name, 11, 11), t.form.BackColor()) << name;
    EXPECT_EQ(pixel(name, 0, 6), ui::colors::kButtonShadow) << name;
  }
}

// Ten swatches in rows of four (the last row holds two) and an automatic entry: item 10.
struct GridForm {
  ui::Form form{0, "GridForm"};
  ui::ColorGrid* grid = nullptr;
  int changes = 0;
  GridForm() {
    form.SetBounds(ui::Rect{0, 0, 200, 120});
    grid = &form.Add<ui::ColorGrid>("grid");
    grid->SetBounds(ui::Rect::FromSize(10, 10, 84, 80));
    std::vector<ui::Color> colors;
    for (int i = 0; i < 10; ++i) colors.push_back(ui::Color{static_cast<uint8_t>(20 * i), 0, 0});
    grid->SetColors(colors, 4);
    grid->SetAutomatic("Auto", ui::colors::kWhite);
    grid->OnChange = [this] { ++changes; };
  }
};

TEST(ColorGrid, KeysMoveByCellAndRowAndMouseAndAnswersChoose) {
  GridForm t;
  EXPECT_EQ(t.grid->Count(), 11);
  EXPECT_EQ(t.grid->ItemIndex(), -1);
  t.grid->SetFocus();
  struct Step {
    const char* key;
    int index;
  } steps[] = {
      {"Up", 0},  // nothing chosen: any move starts at the first swatch
      {"Left", 0},  {"Up", 0},     {"Right", 1}, {"Down", 5},
      {"Down", 9},  {"Down", 10},              // from the short last row to the automatic entry
      {"Down", 10}, {"Right", 10}, {"Up", 8},  // to the last row's first swatch
      {"Left", 7},  {"Home", 0},   {"End", 10},  {"Left", 9},
  };
  int index = -1;
  int changes = 0;
  for (const Step& s : steps) {
    HeadlessInput::Key(&t.form, Key(s.key));
    if (s.index != index) ++changes;
    index = s.index;
    EXPECT_EQ(t.grid->ItemIndex(), s.index) << s.key;
    EXPECT_EQ(t.changes, changes) << s.key << ": one change event per changed item";
  }
  // Every item's rectangle is hit at its centre, and nothing between them.
  for (int i = 0; i < t.grid->Count(); ++i) {
    const ui::Rect r = t.grid->ItemRect(i);
    EXPECT_EQ(t.grid->ItemAt(ui::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), i);
    HeadlessInput::Click(t.form, t.grid->ToForm(ui::Point{r.left + 1, r.top + 1}));
    EXPECT_EQ(t.grid->ItemIndex(), i);
  }
  EXPECT_EQ(t.grid->ItemAt(ui::Point{t.grid->Width() - 1, 1}), -1);
  EXPECT_EQ(t.grid->ItemAt(ui::Point{0, 0}), -1);
  EXPECT_TRUE(ui::SetControlFromAnswer(t.form, "grid", "3"));
  EXPECT_EQ(t.grid->ItemIndex(), 3);
  for (const char* bad : {"11", "-1", "", "x"})
    EXPECT_FALSE(ui::SetControlFromAnswer(t.form, "grid", bad)) << bad;
  t.grid->SetEnabled(false);
  EXPECT_FALSE(ui::SetControlFromAnswer(t.form, "grid", "4"));
  EXPECT_EQ(t.grid->ItemIndex(), 3);
  const int before = t.changes;
  t.grid->SetItemIndex(6);
  EXPECT_EQ(t.changes, before) << "programmatic choice raises nothing";
  t.grid->SetItemIndex(42);
  EXPECT_EQ(t.grid->ItemIndex(), -1);
}

TEST(ColorGrid, PaintsEachSwatchAndFramesTheChosenOne) {
  GridForm t;
  t.grid->SetItemIndex(6);
  const ui::Image picture = ui::headless::FormRenderer::Render(t.form);
  auto at = [&](int index, int dx, int dy) {
    const ui::Rect r = t.grid->ItemRect(index);
    const ui::Point p = t.grid->ToForm(ui::Point{dx < 0 ? r.right + dx : r.left + dx, r.top + dy});
    return picture.At(p.x, p.y).ToColor();
  };
  for (int i = 0; i < 10; ++i) {
    const ui::Rect r = t.grid->ItemRect(i);
    EXPECT_EQ(at(i, r.Width() / 2, r.Height() / 2), (ui::Color{static_cast<uint8_t>(20 * i), 0, 0}))
        << i;
    EXPECT_EQ(at(i, 0, 0), i == 6 ? ui::colors::kWindowText : t.grid->BackColor()) << i;
  }
  // The automatic entry shows its colour in a small square at its left.
  EXPECT_EQ(at(10, 6, 8), ui::colors::kWhite);
}

}  // namespace
