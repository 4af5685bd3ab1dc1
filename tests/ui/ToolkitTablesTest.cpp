// Table-driven checks of the toolkit's pure pieces: alignment layout on every side, file
// filters, message-box buttons and the names of dialog answers.
#include <gtest/gtest.h>

#include "ui/BasicControls.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace {

TEST(ToolkitTables, AlignmentPlacesEachSideInOrderAndClientTakesTheRest) {
  struct Band {
    ui::Align align;
    int size;  // height for top and bottom, width for left and right
    ui::Rect expected;
  } bands[] = {
      {ui::Align::Top, 20, {0, 0, 200, 20}},      {ui::Align::Left, 30, {0, 30, 30, 90}},
      {ui::Align::Bottom, 10, {0, 90, 200, 100}}, {ui::Align::Top, 10, {0, 20, 200, 30}},
      {ui::Align::Right, 40, {160, 30, 200, 90}}, {ui::Align::Client, 0, {30, 30, 160, 90}},
      {ui::Align::None, 0, {5, 5, 15, 15}},
  };
  ui::Form form(0, "layout");
  form.SetBounds(ui::Rect{0, 0, 200, 100});
  std::vector<ui::Panel*> panels;
  for (const Band& band : bands) {
    auto& panel = form.Add<ui::Panel>("p" + std::to_string(panels.size()));
    if (band.align == ui::Align::None) {
      panel.SetBounds(band.expected);
    } else {
      bool horizontal = band.align == ui::Align::Left || band.align == ui::Align::Right;
      panel.SetBounds(horizontal ? ui::Rect{0, 0, band.size, 1} : ui::Rect{0, 0, 1, band.size});
    }
    panel.SetAlign(band.align);
    panels.push_back(&panel);
  }
  for (size_t i = 0; i < panels.size(); ++i) {
    EXPECT_EQ(panels[i]->Bounds(), bands[i].expected) << "band " << i;
  }
  // Resizing the form moves every band; hiding one gives its room to the client.
  form.SetBounds(ui::Rect{0, 0, 300, 100});
  EXPECT_EQ(panels[4]->Bounds(), (ui::Rect{260, 30, 300, 90}));
  panels[1]->SetVisible(false);
  EXPECT_EQ(panels[5]->Bounds(), (ui::Rect{0, 30, 260, 90}));
}

TEST(ToolkitTables, FileFiltersAndDialogButtons) {
  struct FilterCase {
    const char* filter;
    std::vector<std::pair<std::string, std::string>> expected;
  } filters[] = {
      {"XLS|*.xls|All|*.*", {{"XLS", "*.xls"}, {"All", "*.*"}}},
      {"Books|*.xls;*.xlt", {{"Books", "*.xls;*.xlt"}}},
      {"XLS|*.xls|Lonely", {{"XLS", "*.xls"}}},
      {"", {}},
      {"||XLS|*.xls", {{"XLS", "*.xls"}}},
  };
  for (const FilterCase& c : filters) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const ui::FileFilter& f : ui::ParseFileFilter(c.filter))
      got.emplace_back(f.description, f.pattern);
    EXPECT_EQ(got, c.expected) << c.filter;
  }
  for (ui::DialogButton b :
       {ui::DialogButton::Ok, ui::DialogButton::Cancel, ui::DialogButton::Yes, ui::DialogButton::No,
        ui::DialogButton::Abort, ui::DialogButton::Retry, ui::DialogButton::Ignore}) {
    EXPECT_EQ(ui::ParseDialogButton(ui::DialogButtonName(b)), b);
  }
  EXPECT_FALSE(ui::ParseDialogButton("None"));
  EXPECT_FALSE(ui::ParseDialogButton("OKAY"));
  EXPECT_EQ(ui::ButtonsOf(ui::MessageButtons::YesNoCancel),
            (std::vector<ui::DialogButton>{ui::DialogButton::Yes, ui::DialogButton::No,
                                           ui::DialogButton::Cancel}));
}

}  // namespace
