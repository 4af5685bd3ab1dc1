#pragma once
// The Format Cells dialog's controls as data: one row per control with its page, kind, form
// name, caption, place (page coordinates) and tag. Both backends' dialogs are built from this
// one table (TSSStyleDesigner), so a control exists with the same name and tag everywhere.
#include <span>
#include <string_view>

namespace dialogs {

enum class ItemKind { Page, Label, Button, CheckBox, Radio, Combo, Colors, PaintBox };

struct LayoutItem {
  ItemKind kind;
  std::string_view page;  // the page's name; empty for the form itself
  std::string_view name;
  std::string_view caption;
  int x, y, width, height;
  int tag;  // -1: none
};

constexpr int kDialogWidth = 432;
constexpr int kDialogHeight = 400;
constexpr int kPageTop = 30;
constexpr int kPageHeight = 322;

std::span<const LayoutItem> FormatCellsLayout();
const LayoutItem* FindLayoutItem(std::string_view name);

}  // namespace dialogs
