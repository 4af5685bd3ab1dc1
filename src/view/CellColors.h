#pragma once
// The colours the grid paints with: the book's 56 palette colours, the special colours (0 the
// background of unfilled cells from BackgroundColor, 1 the tab strip, 2 the grid lines from
// GridColor), and for each of them a selected twin blended with the selection colour S:
// round((S * 92 + C * 163) / 255) per component. Refresh recomputes the twins whenever the
// palette, the selection colour or a base colour changed since the last call, so a colour
// action is seen at the next paint.
#include <array>
#include <cstdint>

#include "ui/Geometry.h"
#include "workbook/SSPalette.h"

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace view {

class TSpreadSheetBook;

// A book colour value (0x00BBGGRR, or a system colour with the top bit set) on screen.
ui::Color ResolveColor(workbook::ColorValue value);
ui::Color Blend(ui::Color selection, ui::Color c);

class CellColors {
 public:
  static constexpr int kSpecialBackground = 0;
  static constexpr int kSpecialTabs = 1;
  static constexpr int kSpecialGrid = 2;

  // True when anything changed (the twins were recomputed).
  bool Refresh(TSpreadSheetBook& book);

  ui::Color Selection() const { return selection_; }
  ui::Color Special(int index, bool selected) const {
    return selected ? specialTwin_[static_cast<size_t>(index)]
                    : special_[static_cast<size_t>(index)];
  }
  // Replaces one special colour (and its selected twin) until a Refresh finds a change: a
  // printed report draws unfilled cells and grid lines in colours of its own.
  void SetSpecial(int index, ui::Color color);
  // A fill's background: the palette entry, or special colour 0 for 56 and above.
  ui::Color FillBackground(workbook::TSSColor index, bool selected) const;
  // A fill's pattern colour: the palette entry, or black (blended when selected).
  ui::Color PatternColor(workbook::TSSColor index, bool selected) const;
  // A border line's colour: the palette entry, or window text for 56 and above.
  ui::Color LineColor(workbook::TSSColor index, bool selected) const;
  // A font colour (automatic: window text).
  ui::Color TextColor(workbook::TSSColor index, bool selected) const {
    return LineColor(index, selected);
  }

 private:
  workbook::ColorPalette palette_{};
  std::array<workbook::ColorValue, 4> bases_{};  // selection, background, tabs, grid
  bool valid_ = false;
  ui::Color selection_;
  std::array<ui::Color, workbook::kPaletteSize> colors_{};
  std::array<ui::Color, workbook::kPaletteSize> twins_{};
  std::array<ui::Color, 3> special_{};
  std::array<ui::Color, 3> specialTwin_{};
  ui::Color black_;
  ui::Color blackTwin_;
  ui::Color windowTextTwin_;
};

}  // namespace view
