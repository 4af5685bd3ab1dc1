#pragma once
// The sheet-tab strip below the grid: four navigation buttons (first, previous, next, last)
// at its left, then one tab per visible sheet from the first visible tab on. A tab is as wide
// as its caption plus a margin. Hidden sheets have no tab; the navigation buttons move the
// first visible tab over the visible sheets only.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/Canvas.h"
#include "view/TextMeasurer.h"

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace view {

class CellColors;

struct TabView {
  int sheet = 0;
  ui::Rect rect;
  std::string caption;
  bool active = false;
};

enum class TabHitKind { None, First, Previous, Next, Last, Tab };

struct TabHit {
  TabHitKind kind = TabHitKind::None;
  int sheet = -1;
};

class SheetTabs {
 public:
  static constexpr int kButtonWidth = 16;
  static constexpr int kTabMargin = 16;

  void Build(const workbook::TCustomSpreadSheetBook& book, const ui::Rect& strip,
             const ui::Font& font, const TextMeasurer& measurer);
  const ui::Rect& Strip() const { return strip_; }
  const std::vector<TabView>& Tabs() const { return tabs_; }
  int FirstVisible() const { return first_; }
  TabHit HitTest(ui::Point p) const;
  // A navigation button pressed: moves the first visible tab. True when it moved.
  bool Navigate(TabHitKind button, const workbook::TCustomSpreadSheetBook& book);
  // The rectangle of a sheet's tab (empty when it is not shown).
  ui::Rect TabRect(int sheet) const;
  void Paint(ui::Canvas& canvas, const ui::Font& font, ui::Color face) const;

 private:
  ui::Rect strip_;
  std::vector<TabView> tabs_;
  int first_ = 0;
};

}  // namespace view
