#include "workbook/TSSCellStyle.h"

#include "workbook/SSIntf.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {

TSSCellStyle::TSSCellStyle(TSSDataStorage& storage, int32_t col, int32_t row)
    : cache_(storage.StyleCache()),
      storage_(&storage),
      col_(col),
      row_(row),
      font_(*this),
      brush_(*this),
      borders_(std::make_unique<TSSBorderStyle>(*this)) {
  entry_ = storage.CellStyleEntry(col, row);
  cache_.AddRef(entry_);
  working_ = *entry_;
}

TSSCellStyle::TSSCellStyle(TSSStyleCache& cache)
    : cache_(cache),
      font_(*this),
      brush_(*this),
      borders_(std::make_unique<TSSBorderStyle>(*this)) {
  entry_ = cache.DefaultEntry();
  working_ = *entry_;
}

TSSCellStyle::~TSSCellStyle() {
  if (storage_ && entry_) {
    // A style that changed keeps its cell on its entry, even if the cell was rewritten since.
    try {
      if (dirty_ && col_ >= 0 && row_ >= 0 && storage_->CellStyleEntry(col_, row_) != entry_)
        storage_->StoreCellStyle(col_, row_, entry_);
    } catch (...) {
    }
    cache_.Release(entry_);
  }
}

bool TSSCellStyle::IsReadOnly() const {
  if (working_.Flags & kStyleReadOnly) return true;
  if (IsDefaultStyle()) return false;
  StorageHost* host = storage_ ? &storage_->Host() : cache_.Host();
  return host && host->IsReadOnly();
}

void TSSCellStyle::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && pending_) {
    pending_ = false;
    Changed(StyleChange::WholeEntry);
  }
}

void TSSCellStyle::Changed(StyleChange kind, EdgeSide edge) {
  if (updateCount_ > 0) {
    pending_ = true;
    return;
  }
  if (OnChange) OnChange();
  ApplyChange(kind, edge);
}

void TSSCellStyle::ApplyChange(StyleChange kind, EdgeSide edge) {
  if (ModelListener* listener = cache_.Listener()) listener->BookModified();
  StyleEntry* found = cache_.FindOrAddEntry(working_);  // our new reference
  if (found == entry_) {
    cache_.Release(found);
    return;
  }
  StyleEntry* old = entry_;
  entry_ = found;
  working_ = *found;
  dirty_ = true;
  if (storage_ && col_ >= 0 && row_ >= 0) storage_->StoreCellStyle(col_, row_, found);
  cache_.Release(old);
  if (kind != StyleChange::Edge || !storage_ || cache_.neighbourUpdate) return;
  // The cell across the edge shows the same line on its opposite edge.
  static const int kDx[4] = {-1, 0, 1, 0};
  static const int kDy[4] = {0, -1, 0, 1};
  const int32_t nc = col_ + kDx[edge];
  const int32_t nr = row_ + kDy[edge];
  if (nc < 0 || nr < 0) return;
  const EdgeRec line = working_.Borders[edge];
  struct Guard {
    bool& flag;
    explicit Guard(bool& f) : flag(f) { flag = true; }
    ~Guard() { flag = false; }
  } guard(cache_.neighbourUpdate);
  TSSCellStyle neighbour(*storage_, nc, nr);
  neighbour.Borders().Edge(static_cast<EdgeSide>((edge + 2) % 4)).SetAll(line.Style, line.Color);
}

void TSSCellStyle::FontMetricsChanged(int32_t oldHeight, int32_t newHeight) {
  if (!storage_ || row_ < 0 || storage_->Host().IsLoading()) return;
  storage_->RowHeader().ScaleSize(row_, oldHeight, newHeight);
}

void TSSCellStyle::SetFlag(uint8_t flag, bool on, StyleChange kind) {
  const uint8_t flags = on ? (working_.Flags | flag) : (working_.Flags & ~flag);
  if (flags == working_.Flags) return;
  working_.Flags = flags;
  Changed(kind);
}

void TSSCellStyle::SetLocked(bool locked) {
  if (!IsReadOnly()) SetFlag(kStyleLocked, locked, StyleChange::Flags);
}

void TSSCellStyle::SetReadOnlyFlag(bool readOnly) {
  if (!IsDefaultStyle()) {
    StorageHost* host = storage_ ? &storage_->Host() : cache_.Host();
    if (host && host->IsReadOnly()) return;
  }
  SetFlag(kStyleReadOnly, readOnly, StyleChange::Flags);
}

void TSSCellStyle::SetMerged(bool merged) {
  if (!IsReadOnly()) SetFlag(kStyleMerged, merged, StyleChange::Merged);
}

int TSSCellStyle::Format() const {
  const uint16_t code = working_.Format;
  if (code == 164) return 36;
  if (code == 165) return 37;
  if (code < 23) return code;
  return code - 14;
}

void TSSCellStyle::SetFormat(int value) {
  if (value < 0 || value > 51) value = 0;
  if (value > 22) value += 14;
  if (value == 50) value = 164;
  if (value == 51) value = 165;
  SetFormatCode(static_cast<uint16_t>(value));
}

void TSSCellStyle::SetFormatCode(uint16_t code) {
  if (IsReadOnly() || working_.Format == code) return;
  working_.Format = code;
  Changed(StyleChange::Format);
}

void TSSCellStyle::SetHorzTextAlign(THorzTextAlign align) {
  if (IsReadOnly() || working_.HorzAlign == align || align > haJUSTIFY) return;
  working_.HorzAlign = align;
  Changed(StyleChange::Alignment);
}

void TSSCellStyle::SetVertTextAlign(TVertTextAlign align) {
  if (IsReadOnly() || working_.VertAlign == align || align > vaJUSTIFY) return;
  working_.VertAlign = align;
  Changed(StyleChange::Alignment);
}

void TSSCellStyle::SetWordBreak(bool wordBreak) {
  if (IsReadOnly() || working_.WordBreak == wordBreak) return;
  working_.WordBreak = wordBreak;
  Changed(StyleChange::Alignment);
}

TSSEdgeLineStyle TSSCellStyle::EffectiveEdgeStyle(EdgeSide edge) const {
  if ((working_.Flags & kStyleMerged) && storage_) {
    TRect area;
    if (storage_->MergedCells().AreaAt(TPoint{col_, row_}, area)) {
      const bool inner =
          (edge == edgeLeft && col_ != area.Left) || (edge == edgeTop && row_ != area.Top) ||
          (edge == edgeRight && col_ != area.Right) || (edge == edgeBottom && row_ != area.Bottom);
      if (inner) return lsNone;
    }
  }
  EdgeSide stored = edge;
  if (IsDefaultStyle() && (edge == edgeRight || edge == edgeBottom))
    stored = static_cast<EdgeSide>(edge - 2);
  const TSSEdgeLineStyle style = working_.Borders[stored].Style;
  if (style != lsDefault) return style;
  // Filled cells hide the grid line.
  if (!IsDefaultStyle() &&
      (working_.FillStyle != fsSolid || working_.BackgroundColor < kPaletteSize))
    return lsNone;
  return lsDefault;
}

TSSColor TSSCellStyle::EffectiveEdgeColor(EdgeSide edge) const {
  if (EffectiveEdgeStyle(edge) == lsDefault) return kAutomaticColor;
  EdgeSide stored = edge;
  if (IsDefaultStyle() && (edge == edgeRight || edge == edgeBottom))
    stored = static_cast<EdgeSide>(edge - 2);
  return working_.Borders[stored].Color;
}

void TSSCellStyle::SetEdge(EdgeSide edge, TSSEdgeLineStyle style, int color) {
  Borders().Edge(edge).SetAll(style, color);
}

void TSSCellStyle::SetFontRec(const TSSFontRec& font) {
  font_.SetAll(font.Name, font.Size, font.Color, font.Charset, font.Style);
}

void TSSCellStyle::Assign(TSSCellStyle& source) {
  if (IsReadOnly() || &source == this) return;
  const StyleEntry& s = source.Working();
  BeginUpdate();
  working_.HorzAlign = s.HorzAlign;
  working_.VertAlign = s.VertAlign;
  working_.Format = s.Format;
  working_.WordBreak = s.WordBreak;
  for (int e = 0; e < 4; ++e) {
    EdgeSide from = static_cast<EdgeSide>(e);
    if (source.IsDefaultStyle() && e >= 2) from = static_cast<EdgeSide>(e - 2);
    working_.Borders[static_cast<size_t>(e)] = s.Borders[from];
  }
  if (s.Font)
    font_.SetAll(s.Font->Name, s.Font->Size, s.Font->Color, s.Font->Charset, s.Font->Style);
  working_.FillStyle = s.FillStyle;
  working_.BackgroundColor = s.BackgroundColor;
  working_.ForegroundColor = s.ForegroundColor;
  working_.Flags =
      static_cast<uint8_t>((working_.Flags & ~kStyleReadOnly) | (s.Flags & kStyleReadOnly));
  pending_ = true;
  EndUpdate();
}

void TSSCellStyle::SetWholeStyle(const StyleEntry& entry, const TSSFontRec& font, bool force) {
  if (!force && IsReadOnly()) return;
  StyleEntry wanted = entry;
  wanted.Font = cache_.FindOrAddFont(font.Name, font.Style, font.Color, font.Size, font.Charset);
  wanted.RefCount = 0;
  if (wanted.SameStyle(working_)) return;
  // No row rescaling here: a restored style puts back a state, it is no font edit.
  working_ = wanted;
  Changed(StyleChange::WholeEntry);
}

void TSSCellStyle::ApplyEntry(const StyleEntry& entry, bool allBorders) {
  if (IsReadOnly()) return;
  BeginUpdate();
  if (entry.Font) SetFontRec(*entry.Font);
  MergeEntryFields(working_, entry, allBorders);
  pending_ = true;
  EndUpdate();
}

void TSSCellStyle::MergeEntryFields(StyleEntry& target, const StyleEntry& entry, bool allBorders) {
  target.FillStyle = entry.FillStyle;
  target.BackgroundColor = entry.BackgroundColor;
  target.ForegroundColor = entry.ForegroundColor;
  for (size_t e = 0; e < 4; ++e)
    if (allBorders || entry.Borders[e].Style != lsDefault) target.Borders[e] = entry.Borders[e];
  target.Format = entry.Format;
  target.HorzAlign = entry.HorzAlign;
  target.VertAlign = entry.VertAlign;
  target.WordBreak = entry.WordBreak;
  target.Flags =
      static_cast<uint8_t>((entry.Flags & ~kStyleMerged) | (target.Flags & kStyleMerged));
}

TSSDefaultStyle::TSSDefaultStyle(TSSStyleCache& cache)
    : TSSCellStyle(cache), defaultBorders_(*borders_) {}

TSSDefaultStyle::~TSSDefaultStyle() { entry_ = nullptr; }

void TSSDefaultStyle::Rebind() {
  entry_ = cache_.DefaultEntry();
  working_ = *entry_;
}

void TSSDefaultStyle::ApplyChange(StyleChange, EdgeSide) {
  // Entry 0 changes in place: every cell that uses it changes with it.
  working_.Borders[edgeRight] = working_.Borders[edgeLeft];
  working_.Borders[edgeBottom] = working_.Borders[edgeTop];
  cache_.OverwriteDefault(working_);
  entry_ = cache_.DefaultEntry();
  working_ = *entry_;
  if (ModelListener* listener = cache_.Listener()) listener->Repaint();
}

}  // namespace workbook
