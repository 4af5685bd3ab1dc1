#pragma once
// The Format Cells dialog without its controls: the working state the dialog keeps, what
// each control's handler does to it, the loading from the styles of the selection's corner
// cells and the apply step after OK. Both backends' dialogs drive this one model, and tests
// drive it directly against a real book.
//
// Groups: every handler first records its control's tag in `changed`; Apply writes only the
// groups recorded, so an untouched setting of a selected cell keeps its own value.
#include <array>
#include <cstdint>
#include <string>

#include "ui/Geometry.h"
#include "workbook/Geometry.h"
#include "workbook/SSPalette.h"

namespace workbook {
class TSSBookSheet;
}

namespace dialogs {

// Tags of the controls (bit numbers of `changed`).
enum FormatTag : int {
  kTagHorzAlign = 0,
  kTagVertAlign = 1,
  kTagWordWrap = 2,
  kTagFont = 3,
  kTagNone = 4,
  kTagOutline = 5,
  kTagInside = 6,
  kTagTop = 7,
  kTagVMiddle = 8,
  kTagBottom = 9,
  kTagLeft = 10,
  kTagMiddle = 11,
  kTagRight = 12,
  kTagFillColor = 13,
  kTagPattern = 14,
  kTagFormat = 15,
};

constexpr uint16_t kEdgeDefault = 0;  // no line of its own
constexpr uint16_t kEdgeNone = 14;    // switched off
constexpr uint16_t kNoFillColor = 56;
constexpr uint16_t kAutomaticColor = 57;

struct EdgeEntry {
  uint8_t style = kEdgeDefault;
  uint16_t color = kNoFillColor;
  bool operator==(const EdgeEntry&) const = default;
};

struct FontChoice {
  std::string name = "Arial";
  int size = 10;
  uint8_t style = 0;  // workbook font style bits
  uint8_t charset = 1;
  workbook::ColorValue color = 0;  // 0x00BBGGRR, or a system colour
};

class FormatCellsModel {
 public:
  // The border preview's panel size decides where its edges lie.
  explicit FormatCellsModel(ui::Size previewSize = ui::Size{200, 120});

  // Loads from the styles of the rectangle's top-left and bottom-right cells. `cells` must be
  // normalised and inside the sheet (the sheet's FormatCells makes it so).
  void Load(const workbook::TRect& cells, workbook::TSSBookSheet& sheet);
  // Writes the touched groups to every cell they concern, inside the book's update lock.
  void Apply(workbook::TSSBookSheet& sheet) const;

  // ---- handlers (each records its tag; nothing is recorded while loading) ----
  void ChooseCategory(int category);
  void ChooseFormatItem(int index);
  void SetHorzAlign(int align);  // THorzTextAlign value
  void SetVertAlign(int align);  // TVertTextAlign value
  void SetWordWrap(bool on);
  // After the font dialog was confirmed.
  void SetFont(const FontChoice& font);
  // Tags 4 to 12; a disabled button does nothing.
  void ClickBorderButton(int tag);
  // A click on the border preview at p (panel coordinates).
  void ClickPreview(ui::Point p);
  void SetLineStyle(uint8_t style) { lineStyle_ = style; }
  void SetBorderColor(uint16_t color) { borderColor_ = color; }
  void SetFillColor(uint16_t color);
  void SetPattern(uint8_t fillStyle, uint16_t color);

  // ---- state ----
  const workbook::TRect& Cells() const { return cells_; }
  int RowsShown() const { return rowsShown_; }
  int ColsShown() const { return colsShown_; }
  bool Touched(int tag) const { return (changed_ >> tag) & 1; }
  uint16_t Changed() const { return changed_; }
  int Category() const { return category_; }
  int FormatItemIndex() const { return formatItem_; }
  uint16_t Format() const { return format_; }
  int HorzAlign() const { return horzAlign_; }
  int VertAlign() const { return vertAlign_; }
  bool WordWrap() const { return wordWrap_; }
  const FontChoice& Font() const { return font_; }
  uint8_t LineStyle() const { return lineStyle_; }
  uint16_t BorderColor() const { return borderColor_; }
  uint16_t FillColor() const { return fillColor_; }
  uint8_t PatternStyle() const { return patternStyle_; }
  uint16_t PatternColor() const { return patternColor_; }
  const workbook::ColorPalette& Palette() const { return palette_; }
  // Horizontal edges 0..RowsShown (top to bottom), vertical edges 0..ColsShown.
  const EdgeEntry& HorzEdge(int i) const { return horz_[static_cast<size_t>(i)]; }
  const EdgeEntry& VertEdge(int j) const { return vert_[static_cast<size_t>(j)]; }
  bool VMiddleEnabled() const { return rowsShown_ > 1; }
  bool MiddleEnabled() const { return colsShown_ > 1; }
  bool InsideEnabled() const { return rowsShown_ > 1 || colsShown_ > 1; }

  // ---- preview geometry (panel coordinates) ----
  ui::Size PreviewSize() const { return previewSize_; }
  ui::Rect HorzEdgeRect(int i) const;
  ui::Rect VertEdgeRect(int j) const;
  // Sample cell (column, row) of the ColsShown x RowsShown grid.
  ui::Rect SampleCellRect(int col, int row) const;
  // The area to repaint after the last edge change (empty when none).
  const ui::Rect& DirtyRect() const { return dirty_; }

 private:
  void Touch(int tag);
  void SetEdge(EdgeEntry& edge, const ui::Rect& where, uint16_t color, uint8_t style, bool forced);
  void SetHorz(int i, bool forced);
  void SetVert(int j, bool forced);
  int RowStep() const;
  int ColStep() const;

  ui::Size previewSize_;
  workbook::TRect cells_{0, 0, 0, 0};
  workbook::ColorPalette palette_{};
  int rowsShown_ = 1;
  int colsShown_ = 1;
  std::array<EdgeEntry, 3> horz_{};
  std::array<EdgeEntry, 3> vert_{};
  uint16_t changed_ = 0;
  bool loading_ = false;
  int category_ = 0;
  int formatItem_ = -1;
  uint16_t format_ = 0;
  int horzAlign_ = 0;
  int vertAlign_ = 1;
  bool wordWrap_ = false;
  FontChoice font_;
  uint8_t lineStyle_ = 0;
  uint16_t borderColor_ = kAutomaticColor;
  uint16_t fillColor_ = kAutomaticColor;
  uint8_t patternStyle_ = 0;
  uint16_t patternColor_ = 0;
  ui::Rect dirty_{};
};

}  // namespace dialogs
