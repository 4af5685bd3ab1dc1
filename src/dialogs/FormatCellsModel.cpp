#include "dialogs/FormatCellsModel.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "dialogs/FormatCellsLists.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace dialogs {

using workbook::TRect;
using workbook::TSSBookSheet;
using workbook::TSSCellStyle;

namespace {

constexpr int kPreviewMargin = 20;
constexpr int kRepaintGrow = 5;
// A group that writes the inside of the rectangle visits at most this many cells; a larger
// selection (whole columns or rows) is cut down to the part that holds cells.
constexpr int64_t kMaxVisitedCells = 1000000;
constexpr workbook::ColorValue kBlack = workbook::RGBColor(0, 0, 0);
constexpr workbook::ColorValue kWindowRgb = workbook::RGBColor(255, 255, 255);

int RoundedDiv(int a, int b) { return static_cast<int>(std::lround(static_cast<double>(a) / b)); }

EdgeEntry LoadedEdge(const TSSCellStyle& style, workbook::EdgeSide side) {
  const uint8_t s = style.EffectiveEdgeStyle(side);
  if (s == workbook::lsNone) return EdgeEntry{kEdgeDefault, style.EffectiveEdgeColor(side)};
  return EdgeEntry{s, style.EffectiveEdgeColor(side)};
}

ui::Rect Union(const ui::Rect& a, const ui::Rect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return ui::Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom)};
}

uint8_t ClampFontSize(int size) { return static_cast<uint8_t>(std::clamp(size, 1, 255)); }

// The palette index of a font colour chosen in the dialog. The system window colour is taken
// as the colour it shows, so a palette entry of that colour wins over "automatic".
int FontColorIndex(const workbook::ColorPalette& palette, workbook::ColorValue color) {
  if (color == workbook::kSystemWindowColor) {
    return workbook::PaletteIndexOf(palette, kWindowRgb, kAutomaticColor);
  }
  return workbook::PaletteIndexOf(palette, color, kNoFillColor);
}

}  // namespace

FormatCellsModel::FormatCellsModel(ui::Size previewSize) : previewSize_(previewSize) {}

void FormatCellsModel::Touch(int tag) {
  if (!loading_ && tag >= 0 && tag <= kTagFormat) changed_ |= static_cast<uint16_t>(1u << tag);
}

int FormatCellsModel::RowStep() const {
  return RoundedDiv(previewSize_.height - 2 * kPreviewMargin, rowsShown_);
}

int FormatCellsModel::ColStep() const {
  return RoundedDiv(previewSize_.width - 2 * kPreviewMargin, colsShown_);
}

ui::Rect FormatCellsModel::HorzEdgeRect(int i) const {
  const int y = kPreviewMargin + i * RowStep();
  const int thick = std::max(1, LineThickness(HorzEdge(i).style));
  return ui::Rect{kPreviewMargin, y, previewSize_.width - kPreviewMargin, y + thick};
}

ui::Rect FormatCellsModel::VertEdgeRect(int j) const {
  const int x = kPreviewMargin + j * ColStep();
  const int thick = std::max(1, LineThickness(VertEdge(j).style));
  return ui::Rect{x, kPreviewMargin, x + thick, previewSize_.height - kPreviewMargin + 1};
}

ui::Rect FormatCellsModel::SampleCellRect(int col, int row) const {
  const int x = kPreviewMargin + col * ColStep();
  const int y = kPreviewMargin + row * RowStep();
  return ui::Rect{x, y, x + ColStep(), y + RowStep()};
}

void FormatCellsModel::Load(const TRect& cells, TSSBookSheet& sheet) {
  loading_ = true;
  struct EndLoading {
    bool& flag;
    ~EndLoading() { flag = false; }
  } endLoading{loading_};

  changed_ = 0;
  cells_ = cells;
  rowsShown_ = static_cast<int>(std::min<int64_t>(2, int64_t{cells.Bottom} - cells.Top + 1));
  colsShown_ = static_cast<int>(std::min<int64_t>(2, int64_t{cells.Right} - cells.Left + 1));
  rowsShown_ = std::max(rowsShown_, 1);
  colsShown_ = std::max(colsShown_, 1);
  palette_ = sheet.Book().Palette();
  horz_ = {};
  vert_ = {};
  lineStyle_ = 0;
  dirty_ = {};

  std::unique_ptr<workbook::TSSCellObject> topLeft = sheet.CellObject(cells.Left, cells.Top);
  TSSCellStyle& tl = topLeft->Style();
  borderColor_ = tl.EffectiveEdgeColor(workbook::edgeLeft);
  horzAlign_ = tl.HorzTextAlign();
  vertAlign_ = tl.VertTextAlign();
  wordWrap_ = tl.WordBreak();

  format_ = tl.FormatCode();
  category_ = CategoryOfCode(format_);
  formatItem_ = ItemIndexOf(category_, format_);

  horz_[0] = LoadedEdge(tl, workbook::edgeTop);
  vert_[0] = LoadedEdge(tl, workbook::edgeLeft);
  horz_[1] = LoadedEdge(tl, workbook::edgeBottom);
  vert_[1] = LoadedEdge(tl, workbook::edgeRight);
  {
    std::unique_ptr<workbook::TSSCellObject> bottomRight =
        sheet.CellObject(cells.Right, cells.Bottom);
    TSSCellStyle& br = bottomRight->Style();
    horz_[static_cast<size_t>(rowsShown_)] = LoadedEdge(br, workbook::edgeBottom);
    vert_[static_cast<size_t>(colsShown_)] = LoadedEdge(br, workbook::edgeRight);
  }

  workbook::TSSFont& font = tl.Font();
  font_.name = font.Name();
  font_.size = font.Size();
  font_.style = font.Style();
  font_.charset = font.Charset();
  const int fontColor = font.FontColor();
  font_.color = fontColor >= 0 && fontColor < workbook::kPaletteSize
                    ? palette_[static_cast<size_t>(fontColor)]
                    : kBlack;

  workbook::TSSBrush& brush = tl.Brush();
  patternStyle_ = static_cast<uint8_t>(brush.Style());
  patternColor_ = brush.ForegroundColor() > 55 ? 0 : brush.ForegroundColor();
  fillColor_ = brush.BackgroundColor() > 55 ? kAutomaticColor : brush.BackgroundColor();
}

void FormatCellsModel::ChooseCategory(int category) {
  if (category < 0 || category >= kCategoryCount) return;
  Touch(kTagFormat);
  category_ = category;
  formatItem_ = -1;
  if (category == kGeneral) {
    format_ = kGeneralCode;
  } else if (category == kText) {
    format_ = kTextCode;
  } else {
    // The list shows its items with the first selected and reported.
    ChooseFormatItem(0);
  }
}

void FormatCellsModel::ChooseFormatItem(int index) {
  const auto items = FormatItems(category_);
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  Touch(kTagFormat);
  formatItem_ = index;
  format_ = items[static_cast<size_t>(index)].code;
}

void FormatCellsModel::SetHorzAlign(int align) {
  if (align < 0 || align > workbook::haJUSTIFY) return;
  Touch(kTagHorzAlign);
  horzAlign_ = align;
}

void FormatCellsModel::SetVertAlign(int align) {
  if (align < 0 || align > workbook::vaJUSTIFY) return;
  Touch(kTagVertAlign);
  vertAlign_ = align;
}

void FormatCellsModel::SetWordWrap(bool on) {
  Touch(kTagWordWrap);
  wordWrap_ = on;
}

void FormatCellsModel::SetFont(const FontChoice& font) {
  Touch(kTagFont);
  font_ = font;
  font_.size = ClampFontSize(font.size);
}

void FormatCellsModel::SetFillColor(uint16_t color) {
  Touch(kTagFillColor);
  fillColor_ = color > 55 ? kAutomaticColor : color;
}

void FormatCellsModel::SetPattern(uint8_t fillStyle, uint16_t color) {
  Touch(kTagPattern);
  patternStyle_ = std::min<uint8_t>(fillStyle, 17);
  patternColor_ = color > 55 ? 0 : color;
}

void FormatCellsModel::SetEdge(EdgeEntry& edge, const ui::Rect& where, uint16_t color,
                               uint8_t style, bool forced) {
  if (!forced && edge.style == style && edge.color == color) style = kEdgeNone;
  edge.style = style;
  edge.color = style != kEdgeDefault ? color : kNoFillColor;
  dirty_ = where.Inflate(kRepaintGrow);
}

void FormatCellsModel::SetHorz(int i, bool forced) {
  SetEdge(horz_[static_cast<size_t>(i)], HorzEdgeRect(i), borderColor_, lineStyle_, forced);
  // The line may have grown: repaint what it covers now as well.
  dirty_ = Union(dirty_, HorzEdgeRect(i).Inflate(kRepaintGrow));
}

void FormatCellsModel::SetVert(int j, bool forced) {
  SetEdge(vert_[static_cast<size_t>(j)], VertEdgeRect(j), borderColor_, lineStyle_, forced);
  dirty_ = Union(dirty_, VertEdgeRect(j).Inflate(kRepaintGrow));
}

void FormatCellsModel::ClickBorderButton(int tag) {
  switch (tag) {
    case kTagNone:
      Touch(tag);
      for (int i = 0; i <= rowsShown_; ++i) {
        SetEdge(horz_[static_cast<size_t>(i)], HorzEdgeRect(i), kNoFillColor, kEdgeNone, true);
      }
      for (int j = 0; j <= colsShown_; ++j) {
        SetEdge(vert_[static_cast<size_t>(j)], VertEdgeRect(j), kNoFillColor, kEdgeNone, true);
      }
      dirty_ = ui::Rect{0, 0, previewSize_.width, previewSize_.height};
      return;
    case kTagOutline:
      Touch(tag);
      SetHorz(0, true);
      SetHorz(rowsShown_, true);
      SetVert(0, true);
      SetVert(colsShown_, true);
      dirty_ = ui::Rect{0, 0, previewSize_.width, previewSize_.height};
      return;
    case kTagInside:
      if (!InsideEnabled()) return;
      Touch(tag);
      if (rowsShown_ == 2) SetHorz(1, true);
      if (colsShown_ == 2) SetVert(1, true);
      dirty_ = ui::Rect{0, 0, previewSize_.width, previewSize_.height};
      return;
    case kTagTop:
      Touch(tag);
      SetHorz(0, false);
      return;
    case kTagVMiddle:
      if (!VMiddleEnabled()) return;
      Touch(tag);
      SetHorz(1, false);
      return;
    case kTagBottom:
      Touch(tag);
      SetHorz(rowsShown_, false);
      return;
    case kTagLeft:
      Touch(tag);
      SetVert(0, false);
      return;
    case kTagMiddle:
      if (!MiddleEnabled()) return;
      Touch(tag);
      SetVert(1, false);
      return;
    case kTagRight:
      Touch(tag);
      SetVert(colsShown_, false);
      return;
    default:
      return;
  }
}

void FormatCellsModel::ClickPreview(ui::Point p) {
  ui::Rect dirty{};
  for (int i = 0; i <= rowsShown_; ++i) {
    const ui::Rect r = HorzEdgeRect(i);
    if (!ui::Rect{r.left, r.top - kRepaintGrow, r.right, r.bottom + kRepaintGrow}.Contains(p))
      continue;
    Touch(i == 0 ? kTagTop : i == rowsShown_ ? kTagBottom : kTagVMiddle);
    SetHorz(i, false);
    dirty = Union(dirty, dirty_);
  }
  for (int j = 0; j <= colsShown_; ++j) {
    const ui::Rect r = VertEdgeRect(j);
    if (!ui::Rect{r.left - kRepaintGrow, r.top - 1, r.right + kRepaintGrow, r.bottom + 1}.Contains(
            p))
      continue;
    Touch(j == 0 ? kTagLeft : j == colsShown_ ? kTagRight : kTagMiddle);
    SetVert(j, false);
    dirty = Union(dirty, dirty_);
  }
  dirty_ = dirty;
}

void FormatCellsModel::Apply(TSSBookSheet& sheet) const {
  if (changed_ == 0) return;
  uint32_t groups = changed_;
  const auto has = [&groups](int tag) { return ((groups >> tag) & 1) != 0; };
  const auto add = [&groups](int tag) { groups |= 1u << tag; };
  if (has(kTagNone)) {
    add(kTagOutline);
    add(kTagInside);
  }
  if (has(kTagOutline)) {
    add(kTagTop);
    add(kTagBottom);
    add(kTagLeft);
    add(kTagRight);
  }
  if (has(kTagInside)) {
    add(kTagVMiddle);
    add(kTagMiddle);
  }
  const bool cellGroups = has(kTagHorzAlign) || has(kTagVertAlign) || has(kTagWordWrap) ||
                          has(kTagFont) || has(kTagFillColor) || has(kTagPattern) ||
                          has(kTagFormat);

  // Bounds in 64 bits: the column and row just beyond the rectangle exist only inside the
  // sheet's far edge.
  const int64_t left = cells_.Left;
  const int64_t top = cells_.Top;
  int64_t right = cells_.Right;
  int64_t bottom = cells_.Bottom;
  if ((right - left + 1) * (bottom - top + 1) > kMaxVisitedCells) {
    right = std::min<int64_t>(right, std::max<int64_t>(left, sheet.Storage().UsedCols() - 1));
    bottom = std::min<int64_t>(bottom, std::max<int64_t>(top, sheet.Storage().UsedRows() - 1));
  }
  const int64_t farEdge = workbook::kFarEdge;

  const auto writeCell = [&](int64_t i, int64_t j) {
    if (i < 0 || j < 0 || i >= farEdge || j >= farEdge) return;
    std::unique_ptr<workbook::TSSCellObject> cell =
        sheet.CellObject(static_cast<int32_t>(i), static_cast<int32_t>(j));
    TSSCellStyle& style = cell->Style();
    if (i <= right && j <= bottom) {
      if (has(kTagHorzAlign))
        style.SetHorzTextAlign(static_cast<workbook::THorzTextAlign>(horzAlign_));
      if (has(kTagVertAlign))
        style.SetVertTextAlign(static_cast<workbook::TVertTextAlign>(vertAlign_));
      if (has(kTagWordWrap)) style.SetWordBreak(wordWrap_);
      if (has(kTagFont)) {
        style.Font().SetAll(font_.name, ClampFontSize(font_.size),
                            FontColorIndex(palette_, font_.color), font_.charset, font_.style);
      }
      if (has(kTagFillColor) || has(kTagPattern)) {
        style.Brush().SetAll(static_cast<workbook::TSSFillStyle>(patternStyle_), fillColor_,
                             patternColor_);
      }
      // The code is stored as chosen (Text stays 49).
      if (has(kTagFormat) && style.FormatCode() != format_) style.SetFormatCode(format_);
    }
    if (j <= bottom) {
      const EdgeEntry* edge = nullptr;
      if (i == left && has(kTagLeft)) {
        edge = &vert_[0];
      } else if (i == right + 1 && has(kTagRight)) {
        edge = &vert_[static_cast<size_t>(colsShown_)];
      } else if (has(kTagMiddle) && left < i && i <= right) {
        edge = &vert_[1];
      }
      if (edge != nullptr) {
        style.SetEdge(workbook::edgeLeft, static_cast<workbook::TSSEdgeLineStyle>(edge->style),
                      edge->color);
      }
    }
    if (i <= right) {
      const EdgeEntry* edge = nullptr;
      if (j == top && has(kTagTop)) {
        edge = &horz_[0];
      } else if (j == bottom + 1 && has(kTagBottom)) {
        edge = &horz_[static_cast<size_t>(rowsShown_)];
      } else if (has(kTagVMiddle) && top < j && j <= bottom) {
        edge = &horz_[1];
      }
      if (edge != nullptr) {
        style.SetEdge(workbook::edgeTop, static_cast<workbook::TSSEdgeLineStyle>(edge->style),
                      edge->color);
      }
    }
  };

  workbook::TCustomSpreadSheetBook& book = sheet.Book();
  book.BeginUpdate();
  struct Unlock {
    workbook::TCustomSpreadSheetBook& book;
    ~Unlock() { book.EndUpdate(); }
  } unlock{book};
  // Only the cells a touched group writes are visited.
  if (cellGroups || has(kTagVMiddle) || has(kTagMiddle)) {
    for (int64_t i = left; i <= right; ++i)
      for (int64_t j = top; j <= bottom; ++j) writeCell(i, j);
  } else {
    if (has(kTagTop))
      for (int64_t i = left; i <= right; ++i) writeCell(i, top);
    if (has(kTagLeft))
      for (int64_t j = top; j <= bottom; ++j) writeCell(left, j);
  }
  if (has(kTagRight))
    for (int64_t j = top; j <= bottom; ++j) writeCell(right + 1, j);
  if (has(kTagBottom))
    for (int64_t i = left; i <= right; ++i) writeCell(i, bottom + 1);
}

}  // namespace dialogs
