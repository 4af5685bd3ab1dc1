#include "printing/PageSettings.h"

#include <iterator>

namespace printing {

namespace {

constexpr PaperSize kPapers[] = {
    {9, "A4", 210000, 297000},     {8, "A3", 297000, 420000},    {11, "A5", 148000, 210000},
    {1, "Letter", 215900, 279400}, {5, "Legal", 215900, 355600}, {7, "Executive", 184150, 266700},
};

}  // namespace

const PaperSize* PaperSizes(size_t& count) {
  count = std::size(kPapers);
  return kPapers;
}

const PaperSize* FindPaper(int code) {
  for (const PaperSize& p : kPapers)
    if (p.code == code) return &p;
  return nullptr;
}

int PageSettings::PageWidth() const {
  return orientation == Orientation::Portrait ? paperWidth : paperHeight;
}
int PageSettings::PageHeight() const {
  return orientation == Orientation::Portrait ? paperHeight : paperWidth;
}

std::string ValidatePageSettings(const PageSettings& s) {
  if (s.paperWidth < kMinPrintable || s.paperHeight < kMinPrintable || s.paperWidth > 2000000 ||
      s.paperHeight > 2000000)
    return "The paper size must be between 10 and 2000 mm";
  if (s.marginLeft < 0 || s.marginTop < 0 || s.marginRight < 0 || s.marginBottom < 0)
    return "Margins cannot be negative";
  if (s.headerDistance < 0 || s.footerDistance < 0)
    return "Header and footer distances cannot be negative";
  if (s.PrintableWidth() < kMinPrintable)
    return "The left and right margins leave no printable width";
  if (s.PrintableHeight() < kMinPrintable)
    return "The top and bottom margins leave no printable height";
  if (s.headerDistance >= s.marginTop) return "The header must lie inside the top margin";
  if (s.footerDistance >= s.marginBottom) return "The footer must lie inside the bottom margin";
  if (s.fitPagesWide < 0 || s.fitPagesTall < 0 || s.fitPagesWide > 100 || s.fitPagesTall > 100)
    return "Fit to pages takes 0 to 100 pages";
  if (s.fitPagesWide == 0 && s.fitPagesTall == 0 &&
      (s.scalePercent < kMinScalePercent || s.scalePercent > kMaxScalePercent))
    return "The scale must be between 10 and 400 percent";
  return std::string();
}

double MmToPixels(int thousandths) { return thousandths / 25400.0 * 96.0; }
double MmToPoints(int thousandths) { return thousandths / 25400.0 * 72.0; }

std::string ExpandPageText(const std::string& text, size_t page, size_t pageCount) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      const char k = text[i + 1];
      if (k == 'P' || k == 'p') {
        out += std::to_string(page);
        ++i;
        continue;
      }
      if (k == 'N' || k == 'n') {
        out += std::to_string(pageCount);
        ++i;
        continue;
      }
      if (k == '&') {
        out += '&';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace printing
