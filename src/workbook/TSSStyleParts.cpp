// Font, brush and edge parts of a cell style.
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {

void TSSStyle::Changed(StyleChange kind) {
  if (OnChange) OnChange();
  owner_.Changed(kind);
}

// ---- font

const TSSFontRec& TSSFont::Rec() const {
  const TSSFontRec* font = owner_.Working().Font;
  return font ? *font : *owner_.Cache().DefaultEntry()->Font;
}
const std::string& TSSFont::Name() const { return Rec().Name; }
uint8_t TSSFont::Size() const { return Rec().Size; }
uint8_t TSSFont::Style() const { return Rec().Style; }
uint8_t TSSFont::Charset() const { return Rec().Charset; }
TSSColor TSSFont::FontColor() const { return Rec().Color; }

void TSSFont::SetName(const std::string& name) {
  const TSSFontRec& f = Rec();
  SetAll(name, f.Size, f.Color, f.Charset, f.Style);
}
void TSSFont::SetSize(uint8_t size) {
  const TSSFontRec& f = Rec();
  SetAll(f.Name, size, f.Color, f.Charset, f.Style);
}
void TSSFont::SetStyle(uint8_t style) {
  const TSSFontRec& f = Rec();
  SetAll(f.Name, f.Size, f.Color, f.Charset, style);
}
void TSSFont::SetCharset(uint8_t charset) {
  const TSSFontRec& f = Rec();
  SetAll(f.Name, f.Size, f.Color, charset, f.Style);
}
void TSSFont::SetFontColor(int color) {
  const TSSFontRec& f = Rec();
  SetAll(f.Name, f.Size, color, f.Charset, f.Style);
}

void TSSFont::SetAll(const std::string& name, uint8_t size, int color, uint8_t charset,
                     uint8_t style) {
  if (owner_.IsReadOnly()) return;
  TSSFontRec* font =
      owner_.Cache().FindOrAddFont(name, style, NormalizeColor(color), size, charset);
  StyleEntry& working = owner_.MutableWorking();
  if (font == working.Font) return;
  const int32_t oldHeight = working.Font ? working.Font->WgHeight : font->WgHeight;
  working.Font = font;
  // The row follows a taller or shorter font before the change is applied.
  if (font->WgHeight != oldHeight) owner_.FontMetricsChanged(oldHeight, font->WgHeight);
  Changed(StyleChange::Font);
}

// ---- brush

TSSFillStyle TSSBrush::Style() const { return owner_.Working().FillStyle; }
TSSColor TSSBrush::BackgroundColor() const { return owner_.Working().BackgroundColor; }
TSSColor TSSBrush::ForegroundColor() const { return owner_.Working().ForegroundColor; }

void TSSBrush::SetStyle(TSSFillStyle style) { SetAll(style, BackgroundColor(), ForegroundColor()); }
void TSSBrush::SetBackgroundColor(int color) { SetAll(Style(), color, ForegroundColor()); }
void TSSBrush::SetForegroundColor(int color) { SetAll(Style(), BackgroundColor(), color); }

void TSSBrush::SetAll(TSSFillStyle style, int background, int foreground) {
  if (owner_.IsReadOnly() || style > fsThinThickCrossHatch) return;
  StyleEntry& working = owner_.MutableWorking();
  // A colour that is already stored stays as it is (so the default 56 survives an unrelated
  // change); any other value of 56 or more becomes automatic.
  const TSSColor bg =
      background == working.BackgroundColor ? working.BackgroundColor : NormalizeColor(background);
  const TSSColor fg =
      foreground == working.ForegroundColor ? working.ForegroundColor : NormalizeColor(foreground);
  if (working.FillStyle == style && working.BackgroundColor == bg && working.ForegroundColor == fg)
    return;
  working.FillStyle = style;
  working.BackgroundColor = bg;
  working.ForegroundColor = fg;
  Changed(StyleChange::Brush);
}

// ---- edges

TSSEdgeLineStyle TSSEdgeStyle::Style() const { return owner_.EffectiveEdgeStyle(edge_); }
TSSColor TSSEdgeStyle::Color() const { return owner_.EffectiveEdgeColor(edge_); }

void TSSEdgeStyle::SetStyle(TSSEdgeLineStyle style) {
  SetAll(style, owner_.Working().Borders[edge_].Color);
}
void TSSEdgeStyle::SetColor(int color) { SetAll(owner_.Working().Borders[edge_].Style, color); }

void TSSEdgeStyle::SetRaw(TSSEdgeLineStyle style, int color) {
  if (style > lsNone) return;
  owner_.MutableWorking().Borders[edge_] = EdgeRec{style, NormalizeColor(color)};
}

void TSSEdgeStyle::SetAll(TSSEdgeLineStyle style, int color) {
  if (owner_.IsReadOnly() || style > lsNone) return;
  const EdgeRec wanted{style, NormalizeColor(color)};
  EdgeRec& stored = owner_.MutableWorking().Borders[edge_];
  if (stored == wanted) return;
  stored = wanted;
  if (OnChange) OnChange();
  owner_.Changed(StyleChange::Edge, edge_);
}

TSSBorderStyle::TSSBorderStyle(TSSCellStyle& owner) : owner_(owner) {
  for (int e = 0; e < 4; ++e)
    edges_[static_cast<size_t>(e)] =
        std::make_unique<TSSEdgeStyle>(owner, static_cast<EdgeSide>(e));
}

TSSEdgeStyle& TSSBorderStyle::Edge(EdgeSide edge) {
  if (owner_.IsDefaultStyle() && (edge == edgeRight || edge == edgeBottom))
    return *edges_[static_cast<size_t>(edge - 2)];
  return *edges_[static_cast<size_t>(edge & 3)];
}

void TSSDefaultBorders::Assign(TSSDefaultBorders& source) {
  VerticalBorders().SetAll(source.VerticalBorders().Owner().Working().Borders[edgeLeft].Style,
                           source.VerticalBorders().Owner().Working().Borders[edgeLeft].Color);
  HorizontalBorders().SetAll(source.HorizontalBorders().Owner().Working().Borders[edgeTop].Style,
                             source.HorizontalBorders().Owner().Working().Borders[edgeTop].Color);
}

}  // namespace workbook
