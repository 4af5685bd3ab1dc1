#include "dialogs/BorderPreview.h"

#include <algorithm>

#include "dialogs/FormatCellsModel.h"

namespace dialogs {
namespace {

constexpr ui::Color kWhite{255, 255, 255};
constexpr ui::Color kBlack{0, 0, 0};
// Edges without a line of their own show as the grid would.
constexpr ui::Color kGridGray{192, 192, 192};
constexpr const char* kSampleText = "Text";
constexpr const char* kFontSampleText = "The quick brown fox jumps over the lazy dog";

void FillWithPattern(ui::Canvas& canvas, const ui::Rect& r, const FormatCellsModel& model) {
  const ui::Color background = PaletteColor(model, model.FillColor(), kWhite);
  const ui::Color pattern = PaletteColor(model, model.PatternColor(), kBlack);
  canvas.FillPattern(r, static_cast<ui::FillPattern>(model.PatternStyle()), pattern, background);
}

void DrawOneEdge(ui::Canvas& canvas, const FormatCellsModel& model, const EdgeEntry& edge,
                 const ui::Rect& side, ui::Orientation orientation, ui::Color gap) {
  if (edge.style == kEdgeNone) return;
  if (edge.style == kEdgeDefault) {
    canvas.DrawEdge(side, ui::LineStyle::Thin, orientation, kGridGray, gap);
    return;
  }
  canvas.DrawEdge(side, static_cast<ui::LineStyle>(edge.style), orientation,
                  PaletteColor(model, edge.color, kBlack), gap);
}

}  // namespace

ui::Color PaletteColor(const FormatCellsModel& model, int index, ui::Color automatic) {
  if (index < 0 || index > 55) return automatic;
  return ui::Color::FromColorRef(model.Palette()[static_cast<size_t>(index)]);
}

void PaintBorderPreview(ui::Canvas& canvas, const FormatCellsModel& model) {
  const ui::Size size = model.PreviewSize();
  const ui::Rect all{0, 0, size.width, size.height};
  FillWithPattern(canvas, all, model);
  const ui::Font font{"Arial", 8};
  ui::TextFormat centred;
  centred.horz = ui::HorzAlign::Center;
  centred.vert = ui::VertAlign::Center;
  centred.singleLine = true;
  for (int r = 0; r < model.RowsShown(); ++r) {
    for (int c = 0; c < model.ColsShown(); ++c) {
      canvas.DrawTextBlock(model.SampleCellRect(c, r), kSampleText, font, kBlack, centred);
    }
  }
  const ui::Color gap = PaletteColor(model, model.FillColor(), kWhite);
  for (int i = 0; i <= model.RowsShown(); ++i) {
    DrawOneEdge(canvas, model, model.HorzEdge(i), model.HorzEdgeRect(i),
                ui::Orientation::Horizontal, gap);
  }
  for (int j = 0; j <= model.ColsShown(); ++j) {
    DrawOneEdge(canvas, model, model.VertEdge(j), model.VertEdgeRect(j), ui::Orientation::Vertical,
                gap);
  }
}

void PaintPatternSample(ui::Canvas& canvas, ui::Size size, const FormatCellsModel& model) {
  FillWithPattern(canvas, ui::Rect{0, 0, size.width, size.height}, model);
}

void PaintFontSample(ui::Canvas& canvas, ui::Size size, const FormatCellsModel& model) {
  const ui::Rect all{0, 0, size.width, size.height};
  canvas.FillRect(all, kWhite);
  const FontChoice& f = model.Font();
  ui::Font font{f.name, f.size};
  font.bold = (f.style & 1) != 0;
  font.italic = (f.style & 2) != 0;
  font.underline = (f.style & 4) != 0;
  font.strikeOut = (f.style & 8) != 0;
  font.charset = f.charset;
  ui::TextFormat format;
  static constexpr ui::HorzAlign kHorz[] = {ui::HorzAlign::Left,   ui::HorzAlign::Left,
                                            ui::HorzAlign::Center, ui::HorzAlign::Right,
                                            ui::HorzAlign::Left,   ui::HorzAlign::Left};
  static constexpr ui::VertAlign kVert[] = {ui::VertAlign::Top, ui::VertAlign::Center,
                                            ui::VertAlign::Bottom, ui::VertAlign::Top};
  format.horz = kHorz[std::clamp(model.HorzAlign(), 0, 5)];
  format.vert = kVert[std::clamp(model.VertAlign(), 0, 3)];
  format.wordBreak = model.WordWrap();
  const workbook::ColorValue color = model.Font().color;
  const ui::Color ink = (color & 0x80000000u) != 0 ? kBlack : ui::Color::FromColorRef(color);
  canvas.DrawTextBlock(all.Inflate(-4), kFontSampleText, font, ink, format);
}

}  // namespace dialogs
