#pragma once
// The published book classes: the model's book plus the state that only the screen uses (how
// the grid is painted, its colours, the scroll bars, the header sizes, whether the caption bar
// with the sheet tabs shows). The window layer makes one per attached rectangle. The file and
// formula layers never see this state: they work on the model alone.
#include <cstdint>

#include "workbook/SSPalette.h"
#include "workbook/Workbook.h"

namespace view {

enum class TSSPainterType : uint8_t {
  ptOffice97Style,
  ptStandard,
  ptFlat,
  ptUltraFlat,
  ptOffice11,
  ptXP
};
enum class TScrollBars : uint8_t { sbsNone, sbsHorizontal, sbsVertical, sbsBoth };

// The book with its caption bar; creates its first sheet.
class TSpreadSheetBook : public workbook::Workbook {
 public:
  workbook::ColorValue BackgroundColor = workbook::kSystemWindowColor;
  bool BufferedPaint = false;
  workbook::ColorValue GridColor = 0x8000000F;    // system button face
  workbook::ColorValue HeaderColor = 0x8000000F;  // system button face
  bool HideSelection = false;
  TSSPainterType PainterType = TSSPainterType::ptOffice97Style;
  TScrollBars ScrollBars = TScrollBars::sbsBoth;
  workbook::ColorValue SelectionColor = 0x8000000D;  // system highlight
  bool ShowCaptionBar = true;

  // Pixel sizes of the column header row and the row header column; a size below 1 is
  // ignored.
  int ColHeaderHeight() const { return colHeaderHeight_; }
  void SetColHeaderHeight(int height);
  int RowHeaderWidth() const { return rowHeaderWidth_; }
  void SetRowHeaderWidth(int width);

 private:
  int colHeaderHeight_ = 20;
  int rowHeaderWidth_ = 85;
};

// The same book without the caption bar.
class TSpreadSheet : public TSpreadSheetBook {
 public:
  TSpreadSheet();
};

}  // namespace view
