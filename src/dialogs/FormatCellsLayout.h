#pragma once
// The Format Cells dialog's controls as data: one row per control with its page, kind, form
// name, caption, place (page coordinates) and tag. Both backends' dialogs are built from this
// one table (TSSStyleDesigner), so a control exists with the same name and tag everywhere.
#include <span>
#include <string_view>

namespace dialogs {

// Tabs: the tab control holding the pages (placed inside it, so their rows give no place);
// List: a list box; PaintBox: a custom-painted panel.
enum class ItemKind { Tabs, Page, Label, Button, CheckBox, Radio, Combo, List, Colors, PaintBox };

struct LayoutItem {
  ItemKind kind;
  std::string_view page;  // the page's name (a page's: its tab control's); empty: the form
  std::string_view name;
  std::string_view caption;
  int x, y, width, height;
  int tag;  // -1: none
};

constexpr int kDialogWidth = 432;
constexpr int kDialogHeight = 400;
// Pages are 416 x 324 pixels inside the tab control.
constexpr int kTabsLeft = 4;
constexpr int kTabsTop = 4;
constexpr int kTabsWidth = 424;
constexpr int kTabsHeight = 352;

std::span<const LayoutItem> FormatCellsLayout();
const LayoutItem* FindLayoutItem(std::string_view name);

}  // namespace dialogs
