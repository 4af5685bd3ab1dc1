#include "printing/PagePainter.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "ui/SystemColors.h"
#include "view/SheetPainter.h"

namespace printing {

namespace {

// Offsets of every data item from the first one, over printed items only (64-bit: a long
// report's rows sum beyond 32 bits).
std::vector<int64_t> Offsets(const std::vector<ReportColumn>& items) {
  std::vector<int64_t> at(items.size() + 1, 0);
  for (size_t i = 1; i < items.size(); ++i)
    at[i + 1] = at[i] + (items[i].printed ? items[i].size : 0);
  return at;
}

struct Axis {
  std::vector<size_t> items;  // printed report items of the band, in order
  std::vector<view::Span> spans;
  std::vector<int64_t> offsets;
  int64_t bandStart = 0;
  int heading = 0;  // the heading's size on this page, 0 when it does not print here
  int length = 0;

  int Position(size_t item) const {
    const int64_t v = heading + offsets[item] - bandStart;
    return static_cast<int>(std::clamp<int64_t>(v, -(1 << 28), 1 << 28));
  }
  // The item whose boundary follows `item`: the next printed one, or the one after it.
  size_t After(const std::vector<ReportColumn>& all, size_t item) const {
    for (size_t k = item + 1; k < all.size(); ++k)
      if (all[k].printed) return k;
    return item + 1;
  }
};

Axis MakeAxis(const std::vector<ReportColumn>& all, const Band& band) {
  Axis a;
  a.offsets = Offsets(all);
  a.bandStart = a.offsets[band.first] + band.skip;
  a.heading = band.heading ? all[0].size : 0;
  a.length = band.length;
  for (size_t i = band.first; i <= band.last && i < all.size(); ++i) {
    if (!all[i].printed || all[i].size <= 0) continue;
    a.items.push_back(i);
    const int start = a.Position(i);
    a.spans.push_back(view::Span{all[i].sheetIndex, start, start + all[i].size});
  }
  return a;
}

// Styles of one page: the report's own, or copies whose fonts keep their point size on paper
// when fonts do not scale with the report (a report at 50% then draws its fonts at twice their
// size in report pixels, so that they print at the size of the style).
class PageStyles {
 public:
  PageStyles(const Report& report, double scale) : report_(report) {
    if (report.scaleFonts || std::abs(scale - 1.0) < 1e-9) return;
    const double factor = 1.0 / scale;
    styles_ = report.styles;
    for (workbook::StyleEntry& style : styles_) {
      fonts_.push_back(style.Font ? *style.Font : workbook::TSSFontRec{});
      workbook::TSSFontRec& font = fonts_.back();
      font.Size = static_cast<uint8_t>(std::clamp<long>(std::lround(font.Size * factor), 1, 255));
      font.Handle = 0;
      style.Font = &font;
    }
    headingFont_ = report.headingFont;
    headingFont_.size =
        std::clamp<int>(static_cast<int>(std::lround(headingFont_.size * factor)), 1, 255);
  }
  const workbook::StyleEntry* Style(uint32_t index) const {
    return styles_.empty() ? &report_.styles[index] : &styles_[index];
  }
  const ui::Font& HeadingFont() const {
    return styles_.empty() ? report_.headingFont : headingFont_;
  }

 private:
  const Report& report_;
  std::vector<workbook::StyleEntry> styles_;
  std::deque<workbook::TSSFontRec> fonts_;
  ui::Font headingFont_;
};

view::GridLayout LayoutOf(const Report& report, const Axis& cols, const Axis& rows,
                          const PageStyles& styles) {
  view::LayoutParams params;
  params.client = ui::Rect{0, 0, cols.heading + cols.length, rows.heading + rows.length};
  params.rowHeaderWidth = cols.heading;
  params.colHeaderHeight = rows.heading;
  params.showGrid = false;
  const size_t nc = cols.items.size(), nr = rows.items.size();

  std::vector<view::MergedView> merged;
  std::vector<int> mergedOnPage(report.merged.size(), -1);
  const auto mergedIndex = [&](int m) {
    if (m < 0) return -1;
    int& at = mergedOnPage[static_cast<size_t>(m)];
    if (at >= 0) return at;
    const ReportMerged& rm = report.merged[static_cast<size_t>(m)];
    view::MergedView v;
    const size_t l = static_cast<size_t>(rm.area.Left), t = static_cast<size_t>(rm.area.Top);
    const size_t r = static_cast<size_t>(rm.area.Right), b = static_cast<size_t>(rm.area.Bottom);
    v.area = rm.area;
    v.rect = ui::Rect{cols.Position(l), rows.Position(t),
                      cols.Position(r) + (report.columns[r].printed ? report.columns[r].size : 0),
                      rows.Position(b) + (report.rows[b].printed ? report.rows[b].size : 0)};
    v.text = ui::Rect{v.rect.left + 1, v.rect.top + 2, v.rect.right - 2, v.rect.bottom};
    v.caption = rm.text;
    v.style = styles.Style(rm.style);
    v.align = rm.align;
    at = static_cast<int>(merged.size());
    merged.push_back(std::move(v));
    return at;
  };

  std::vector<view::CellView> cells(nc * nr);
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) {
      const ReportCell& rc = report.Cell(cols.items[c], rows.items[r]);
      view::CellView& v = cells[r * nc + c];
      v.col = cols.spans[c].index;
      v.row = rows.spans[r].index;
      v.cell =
          ui::Rect{cols.spans[c].start, rows.spans[r].start, cols.spans[c].end, rows.spans[r].end};
      v.text = ui::Rect{v.cell.left + 2 - rc.overflowLeft, v.cell.top + 2,
                        v.cell.right - 2 + rc.overflowRight, v.cell.bottom};
      v.caption = rc.text;
      v.style = styles.Style(rc.style);
      v.align = rc.align;
      v.merged = mergedIndex(rc.merged);
    }
  }
  std::vector<view::Side> vLines((nc + 1) * nr), hLines(nc * (nr + 1));
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c)
      vLines[r * (nc + 1) + c] = report.VLine(cols.items[c], rows.items[r]);
    if (nc)
      vLines[r * (nc + 1) + nc] =
          report.VLine(cols.After(report.columns, cols.items[nc - 1]), rows.items[r]);
  }
  for (size_t c = 0; c < nc; ++c) {
    for (size_t r = 0; r < nr; ++r) hLines[r * nc + c] = report.HLine(cols.items[c], rows.items[r]);
    if (nr)
      hLines[nr * nc + c] =
          report.HLine(cols.items[c], rows.After(report.rows, rows.items[nr - 1]));
  }
  view::GridLayout layout;
  layout.Assign(params, cols.spans, rows.spans, std::move(cells), std::move(vLines),
                std::move(hLines), std::move(merged));
  return layout;
}

// Cells of the page's rows that lie in columns of other pages but whose overflowing text
// reaches into this page's columns: text running right from the pages before, left from the
// pages after. Their rectangles are where the cells would be on this page; the page's clip
// cuts them to its own columns.
std::vector<view::CellView> CarriedOf(const Report& report, const Axis& cols, const Axis& rows,
                                      const PageStyles& styles) {
  std::vector<view::CellView> carried;
  if (cols.items.empty() || rows.items.empty()) return carried;
  const size_t first = cols.items.front(), last = cols.items.back();
  const int begin = cols.heading, end = cols.heading + cols.length;
  for (size_t r = 0; r < rows.items.size(); ++r) {
    const size_t row = rows.items[r];
    for (size_t c = 1; c <= report.DataColumns(); ++c) {
      if (c >= first && c <= last) continue;
      const ReportCell& rc = report.Cell(c, row);
      if (!report.columns[c].printed || rc.text.empty() || rc.merged >= 0) continue;
      if (c < first ? rc.overflowRight <= 0 : rc.overflowLeft <= 0) continue;
      view::CellView v;
      v.col = report.columns[c].sheetIndex;
      v.row = rows.spans[r].index;
      const int left = cols.Position(c);
      v.cell =
          ui::Rect{left, rows.spans[r].start, left + report.columns[c].size, rows.spans[r].end};
      v.text = ui::Rect{v.cell.left + 2 - rc.overflowLeft, v.cell.top + 2,
                        v.cell.right - 2 + rc.overflowRight, v.cell.bottom};
      if (v.text.right <= begin || v.text.left >= end) continue;
      v.caption = rc.text;
      v.style = styles.Style(rc.style);
      v.align = rc.align;
      carried.push_back(std::move(v));
    }
  }
  return carried;
}

// The fills of a page's cells and merged areas, as the sheet painter fills them, except that
// transparent ones are left unpainted while the report says so.
void PaintPageFills(view::SheetPainter& painter, const view::GridLayout& layout,
                    const Report& report, const Axis& cols, const Axis& rows) {
  const size_t nc = layout.Columns().size(), nr = layout.Rows().size();
  // The report's merged area of each of the page's merged areas.
  std::vector<int> reportMerged(layout.MergedAreas().size(), -1);
  for (size_t r = 0; r < nr; ++r) {
    for (size_t c = 0; c < nc; ++c) {
      const view::CellView& v = layout.At(c, r);
      const ReportCell& rc = report.Cell(cols.items[c], rows.items[r]);
      if (v.merged >= 0) {
        reportMerged[static_cast<size_t>(v.merged)] = rc.merged;
        continue;
      }
      if (report.transparentCells && rc.transparent) continue;
      painter.FillCell(v.cell, v.style->FillStyle, false, v.style->ForegroundColor,
                       v.style->BackgroundColor);
    }
  }
  for (size_t i = 0; i < layout.MergedAreas().size(); ++i) {
    const view::MergedView& m = layout.MergedAreas()[i];
    const int source = reportMerged[i];
    if (report.transparentCells && source >= 0 &&
        report.merged[static_cast<size_t>(source)].transparent)
      continue;
    painter.FillCell(m.rect, m.style->FillStyle, false, m.style->ForegroundColor,
                     m.style->BackgroundColor);
  }
}

view::HeaderLook HeadingLook(const Report& report) {
  if (!report.headingRaised) return view::HeaderLook::Flat;
  return report.headingSoft ? view::HeaderLook::Soft : view::HeaderLook::Raised;
}

}  // namespace

view::GridLayout PageLayout(const Report& report, const Pagination& pagination, size_t page) {
  const PageStyles styles(report, pagination.scale);
  return LayoutOf(report, MakeAxis(report.columns, pagination.ColumnBand(page)),
                  MakeAxis(report.rows, pagination.RowBand(page)), styles);
}

std::vector<view::CellView> CarriedTexts(const Report& report, const Pagination& pagination,
                                         size_t page) {
  const PageStyles styles(report, pagination.scale);
  return CarriedOf(report, MakeAxis(report.columns, pagination.ColumnBand(page)),
                   MakeAxis(report.rows, pagination.RowBand(page)), styles);
}

void PaintPageContent(ui::Canvas& canvas, const Report& report, const Pagination& pagination,
                      size_t page) {
  const PageStyles styles(report, pagination.scale);
  const Axis cols = MakeAxis(report.columns, pagination.ColumnBand(page));
  const Axis rows = MakeAxis(report.rows, pagination.RowBand(page));
  const view::GridLayout layout = LayoutOf(report, cols, rows, styles);
  if (layout.Columns().empty() || layout.Rows().empty()) return;
  view::PaintOptions options;
  options.look = HeadingLook(report);
  options.headerFill = !report.headingTransparent;
  options.headerFont = styles.HeadingFont();
  options.headerColor = report.headingColor;
  options.headerVert = ui::VertAlign::Bottom;
  options.hideSelection = true;
  options.r1c1 = report.r1c1;
  view::SheetPainter painter(canvas, report.colors);
  ui::ClipScope clip(canvas, layout.Params().client);
  // As the screen paints, less the background: the paper stays as it is.
  painter.PaintHeaders(layout, options);
  ui::ClipScope data(canvas, layout.DataArea());
  PaintPageFills(painter, layout, report, cols, rows);
  painter.PaintLines(layout);
  painter.PaintTexts(layout);
  painter.PaintLooseTexts(CarriedOf(report, cols, rows, styles));
  painter.PaintMergedTexts(layout);
}

ui::Size PagePixels(const PageSettings& settings) {
  return ui::Size{static_cast<int>(std::lround(MmToPixels(settings.PageWidth()))),
                  static_cast<int>(std::lround(MmToPixels(settings.PageHeight())))};
}

void PaintPageDecorations(ui::Canvas& canvas, const Report& report, const PageSettings& settings,
                          size_t page, size_t pageCount) {
  const ui::Size size = PagePixels(settings);
  const int left = static_cast<int>(MmToPixels(settings.marginLeft));
  const int right = size.width - static_cast<int>(MmToPixels(settings.marginRight));
  ui::TextFormat format;
  format.horz = ui::HorzAlign::Center;
  format.singleLine = true;
  const ui::Font& font = report.headingFont;
  const int lineHeight = canvas.FontMetrics(font).height;
  if (!settings.headerText.empty()) {
    const int top = static_cast<int>(MmToPixels(settings.headerDistance));
    canvas.DrawTextBlock(ui::Rect{left, top, right, top + lineHeight},
                         ExpandPageText(settings.headerText, page + 1, pageCount), font,
                         ui::colors::kBlack, format);
  }
  if (!settings.footerText.empty()) {
    const int bottom = size.height - static_cast<int>(MmToPixels(settings.footerDistance));
    canvas.DrawTextBlock(ui::Rect{left, bottom - lineHeight, right, bottom},
                         ExpandPageText(settings.footerText, page + 1, pageCount), font,
                         ui::colors::kBlack, format);
  }
}

ui::Image Resample(const ui::Image& source, ui::Size size) {
  ui::Image out(size.width, size.height);
  if (source.IsEmpty() || out.IsEmpty()) return out;
  const double sx = double(source.Width()) / size.width, sy = double(source.Height()) / size.height;
  for (int y = 0; y < size.height; ++y) {
    const int y0 = static_cast<int>(y * sy);
    const int y1 = std::max(y0 + 1, static_cast<int>((y + 1) * sy));
    for (int x = 0; x < size.width; ++x) {
      const int x0 = static_cast<int>(x * sx);
      const int x1 = std::max(x0 + 1, static_cast<int>((x + 1) * sx));
      int r = 0, g = 0, b = 0, n = 0;
      for (int v = y0; v < y1; ++v)
        for (int u = x0; u < x1; ++u) {
          const ui::Rgba p = source.At(u, v);
          r += p.r;
          g += p.g;
          b += p.b;
          ++n;
        }
      out.Set(x, y, ui::Rgba{uint8_t(r / n), uint8_t(g / n), uint8_t(b / n), 255});
    }
  }
  return out;
}

ui::Image RenderPage(const Report& report, const Pagination& pagination,
                     const PageSettings& settings, size_t page, double zoom) {
  const ui::Size pagePx = PagePixels(settings);
  const ui::Point origin{static_cast<int>(MmToPixels(settings.marginLeft)),
                         static_cast<int>(MmToPixels(settings.marginTop))};
  ui::Image image(pagePx.width, pagePx.height);
  image.Fill(ui::Rgba{255, 255, 255, 255});
  const double scale = pagination.scale;
  {
    auto canvas = ui::CreateImageCanvas(image);
    PaintPageDecorations(*canvas, report, settings, page, pagination.PageCount());
    if (std::abs(scale - 1.0) < 1e-9) {
      canvas->PushOrigin(origin);
      PaintPageContent(*canvas, report, pagination, page);
      canvas->PopOrigin();
    }
  }
  if (std::abs(scale - 1.0) >= 1e-9) {
    ui::Image content(pagination.contentWidth, pagination.contentHeight);
    content.Fill(ui::Rgba{255, 255, 255, 255});
    {
      auto canvas = ui::CreateImageCanvas(content);
      PaintPageContent(*canvas, report, pagination, page);
    }
    const ui::Image scaled = Resample(
        content, ui::Size{std::max(1, static_cast<int>(std::lround(content.Width() * scale))),
                          std::max(1, static_cast<int>(std::lround(content.Height() * scale)))});
    auto canvas = ui::CreateImageCanvas(image);
    canvas->DrawImage(scaled, origin);
  }
  if (std::abs(zoom - 1.0) < 1e-9) return image;
  return Resample(image,
                  ui::Size{std::max(1, static_cast<int>(std::lround(pagePx.width * zoom))),
                           std::max(1, static_cast<int>(std::lround(pagePx.height * zoom)))});
}

}  // namespace printing
