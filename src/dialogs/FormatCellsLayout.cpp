#include "dialogs/FormatCellsLayout.h"

#include <algorithm>

namespace dialogs {
namespace {

using K = ItemKind;

// clang-format off
constexpr LayoutItem kLayout[] = {
  // The tab control and its four pages, in tab order; their rows give the tab captions.
  {K::Tabs, "", "pcFormat", "", kTabsLeft, kTabsTop, kTabsWidth, kTabsHeight, -1},
  {K::Page, "pcFormat", "tbsCellStyle", "Cell style", 0, 0, 0, 0, -1},
  {K::Page, "pcFormat", "tbsAlign", "&Alignment", 0, 0, 0, 0, -1},
  {K::Page, "pcFormat", "tbsBorder", "&Border", 0, 0, 0, 0, -1},
  {K::Page, "pcFormat", "tbsPatterns", "&Patterns", 0, 0, 0, 0, -1},

  {K::Label, "tbsCellStyle", "gbStyle", "Style type", 8, 6, 120, 16, -1},
  {K::Radio, "tbsCellStyle", "rbGeneral", "&General", 16, 26, 104, 18, 0},
  {K::Radio, "tbsCellStyle", "rbNumber", "&Number", 16, 48, 104, 18, 1},
  {K::Radio, "tbsCellStyle", "rbCurrency", "&Currency", 16, 70, 104, 18, 2},
  {K::Radio, "tbsCellStyle", "rbDateTime", "&Date/Time", 16, 92, 104, 18, 3},
  {K::Radio, "tbsCellStyle", "rbText", "&Text", 16, 114, 104, 18, 4},
  {K::Label, "tbsCellStyle", "gbStyleSet", "Style settings", 136, 6, 272, 16, -1},
  {K::Label, "tbsCellStyle", "lbStyleDescription", "", 144, 26, 264, 48, -1},
  // Tall enough for twelve rows: the Number and Date/Time lists scroll.
  {K::List, "tbsCellStyle", "lbStyleTypes", "", 144, 80, 264, 196, 15},

  {K::Label, "tbsAlign", "bvTextAlignment", "Text alignment", 8, 6, 200, 16, -1},
  {K::Label, "tbsAlign", "lbHorzAlign", "&Horizontal", 16, 30, 70, 16, -1},
  {K::Combo, "tbsAlign", "cbxHorzAlign", "", 90, 28, 110, 21, 0},
  {K::Label, "tbsAlign", "lbVertAlign", "&Vertical", 16, 58, 70, 16, -1},
  {K::Combo, "tbsAlign", "cbxVertAlign", "", 90, 56, 110, 21, 1},
  {K::Label, "tbsAlign", "bvTextControl", "Text control", 8, 90, 200, 16, -1},
  {K::CheckBox, "tbsAlign", "chxWordWrap", "&Word wrap", 16, 110, 120, 18, 2},
  {K::Button, "tbsAlign", "btnFont", "&Font", 16, 140, 75, 25, 3},
  {K::Label, "tbsAlign", "gbFontSample", "Sample", 216, 6, 200, 16, -1},
  {K::PaintBox, "tbsAlign", "ppFontPaint", "", 216, 26, 200, 140, 3},

  {K::Label, "tbsBorder", "bvAllBorders", "All borders", 8, 6, 200, 16, -1},
  {K::Button, "tbsBorder", "btnNone", "", 16, 26, 36, 36, 4},
  {K::Label, "tbsBorder", "lbNone", "&None", 16, 64, 50, 16, -1},
  {K::Button, "tbsBorder", "btnOuter", "", 76, 26, 36, 36, 5},
  {K::Label, "tbsBorder", "lbOuter", "&Ou&tl&ine", 76, 64, 50, 16, -1},
  {K::Button, "tbsBorder", "btnInner", "", 136, 26, 36, 36, 6},
  {K::Label, "tbsBorder", "lbInner", "&Inside", 136, 64, 50, 16, -1},
  {K::Label, "tbsBorder", "bvItems", "Items", 8, 86, 200, 16, -1},
  // The edge buttons sit beside the preview's lines they set (two rows and two columns).
  {K::Button, "tbsBorder", "btnTop", "Top", 24, 112, 28, 28, 7},
  {K::Button, "tbsBorder", "btnVMiddle", "Middle", 24, 152, 28, 28, 8},
  {K::Button, "tbsBorder", "btnDown", "Bottom", 24, 192, 28, 28, 9},
  {K::Button, "tbsBorder", "btnLeft", "Left", 66, 234, 28, 28, 10},
  {K::Button, "tbsBorder", "btnMiddle", "Middle", 146, 234, 28, 28, 11},
  {K::Button, "tbsBorder", "btnRight", "Right", 226, 234, 28, 28, 12},
  {K::PaintBox, "tbsBorder", "ppPaintBorders", "", 60, 106, 200, 120, -1},
  {K::Label, "tbsBorder", "gbBorderStyle", "Line", 280, 6, 128, 16, -1},
  {K::Label, "tbsBorder", "lbStyle", "&Style:", 288, 26, 60, 16, -1},
  {K::PaintBox, "tbsBorder", "drwgLineStyle", "", 288, 44, 120, 126, -1},
  {K::Label, "tbsBorder", "lbColor", "&Color:", 288, 178, 60, 16, -1},
  {K::Colors, "tbsBorder", "cbxBorderColor", "", 288, 196, 120, 108, -1},

  {K::Label, "tbsPatterns", "bvCellShading", "Cell shading", 8, 6, 200, 16, -1},
  {K::Label, "tbsPatterns", "lbPatColor", "&Color:", 16, 30, 60, 16, -1},
  {K::Colors, "tbsPatterns", "cplPatColor", "", 80, 28, 140, 122, 13},
  {K::Label, "tbsPatterns", "lbPattern", "&Pattern:", 16, 158, 60, 16, -1},
  {K::Combo, "tbsPatterns", "cbxPattern", "", 80, 156, 140, 21, 14},
  {K::Label, "tbsPatterns", "lbPatternColor", "Pattern color:", 80, 182, 140, 16, -1},
  {K::Colors, "tbsPatterns", "cbxPatternColor", "", 80, 198, 140, 122, 14},
  {K::Label, "tbsPatterns", "gbPatSample", "Sample", 240, 6, 170, 16, -1},
  {K::PaintBox, "tbsPatterns", "ppPattern", "", 240, 26, 170, 100, -1},

  {K::Button, "", "btnOk", "Ok", kDialogWidth - 170, kDialogHeight - 40, 75, 25, -1},
  {K::Button, "", "btnCancel", "Cancel", kDialogWidth - 88, kDialogHeight - 40, 75, 25, -1},
};
// clang-format on

}  // namespace

std::span<const LayoutItem> FormatCellsLayout() { return kLayout; }

const LayoutItem* FindLayoutItem(std::string_view name) {
  const auto found = std::find_if(std::begin(kLayout), std::end(kLayout),
                                  [name](const LayoutItem& i) { return i.name == name; });
  return found == std::end(kLayout) ? nullptr : &*found;
}

}  // namespace dialogs
