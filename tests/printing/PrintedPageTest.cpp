// Printed pages as pictures: a small report with headings, grid lines, a merged area,
// overflowing text and a red thick border, and the second page of a report two pages wide,
// each compared pixel by pixel with its stored picture (SS_UPDATE_GOLDEN=1 writes them); and
// the PDF that `sstool print` writes, rendered by pdftoppm, against the same page.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "printing/PagePainter.h"
#include "printing/Paginator.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "support/TestComposition.h"
#include "ui/Image.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"
#include "xls/book/BookFiles.h"

namespace {

namespace fs = std::filesystem;
using workbook::TRect;

constexpr int kRed = 2;
constexpr int kYellow = 5;

fs::path GoldenDir() {
  const char* data = std::getenv("SS_TEST_DATA");
  return fs::path(data ? data : "tests/data") / "printing";
}

fs::path OutputDir() {
  const char* out = std::getenv("SS_TEST_OUTPUT");
  return fs::path(out ? out : ".");
}

// Pixels whose channels differ by more than `tolerance` in any channel.
int Differences(const ui::Image& a, const ui::Image& b, int tolerance, ui::Point* first) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  int count = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const ui::Rgba p = a.At(x, y), q = b.At(x, y);
      if (std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance ||
          std::abs(p.b - q.b) > tolerance)
        if (count++ == 0 && first) *first = ui::Point{x, y};
    }
  return count;
}

void CheckGolden(const std::string& name, const ui::Image& actual) {
  ui::WritePng(actual, (OutputDir() / (name + ".png")).string());
#ifdef _WIN32
  return;  // the stored pictures are of the Linux canvas
#endif
  const fs::path golden = GoldenDir() / (name + ".png");
  if (std::getenv("SS_UPDATE_GOLDEN")) {
    fs::create_directories(golden.parent_path());
    ASSERT_TRUE(ui::WritePng(actual, golden.string()));
    return;
  }
  std::string error;
  const ui::Image expected = ui::ReadPng(golden.string(), &error);
  ASSERT_FALSE(expected.IsEmpty()) << error;
  ui::Point first;
  const int diff = Differences(actual, expected, 0, &first);
  EXPECT_EQ(diff, 0) << name << ": " << diff << " pixels differ, the first at " << first.x << ","
                     << first.y;
}

// The small report: headings and grid lines on, B2:C3 merged and filled, a long text in A5,
// a red thick bottom border under D3, numbers right-aligned in D.
void FillSmallBook(view::TSpreadSheetBook& book) {
  workbook::TSSBookSheet& s = *book.ActiveSheet();
  s.CellObject(0, 0)->SetText("Item");
  s.CellObject(3, 0)->SetText("Amount");
  s.CellObject(0, 1)->SetText("North");
  s.CellObject(1, 1)->SetText("Merged");
  s.CellObject(1, 1)->Style().SetHorzTextAlign(workbook::haCENTER);
  s.CellObject(1, 1)->Style().Brush().SetAll(workbook::fsSolid, kYellow, kYellow);
  s.MergeCells(TRect{1, 1, 2, 2}, true);
  s.CellObject(3, 1)->SetText("1250");
  s.CellObject(3, 2)->SetText("75");
  s.CellObject(3, 2)->Style().SetEdge(workbook::edgeBottom, workbook::lsThick, kRed);
  s.CellObject(0, 4)->SetText("An overflowing text runs over its empty neighbours");
}

ui::Image SmallPage(view::TSpreadSheetBook& book) {
  printing::TSpreadSheetBookReportLink link;
  link.SetOptionsView(printing::ssovRowAndColumnHeadings | printing::ssovGridLines);
  const printing::Report& report = link.Activate(book);
  printing::PageSettings settings;
  const printing::Pagination p = printing::Paginate(report, settings, false);
  EXPECT_EQ(p.PageCount(), 1u);
  return printing::RenderPage(report, p, settings, 0);
}

ui::Color Pixel(const ui::Image& image, int x, int y) { return image.At(x, y).ToColor(); }

TEST(PrintedPages, SmallReportWithHeadingsGridMergedOverflowAndARedThickBorder) {
  view::TSpreadSheetBook book;
  FillSmallBook(book);
  const ui::Image page = SmallPage(book);
  ASSERT_EQ(page.Width(), 794);
  ASSERT_EQ(page.Height(), 1123);
  CheckGolden("small_report_page", page);
  // Margins 12.7 mm = 48 pixels: nothing printed in them.
  for (int x = 0; x < 48; ++x) EXPECT_EQ(Pixel(page, x, 200), ui::colors::kWhite);
  // The red thick border under D3: heading 85 + 3 columns of 85, rows of 23 after the
  // heading row of 23; its band lies on the last pixel row of row 3 and spreads around it.
  const int x = 48 + 85 + 3 * 85 + 40, y = 48 + 23 + 3 * 23 - 1;
  EXPECT_EQ(Pixel(page, x, y), (ui::Color{255, 0, 0}));
  EXPECT_EQ(Pixel(page, x, y + 1), (ui::Color{255, 0, 0})) << "thick: more than one pixel";
  // The merged area is one yellow cell: no grid line at its inner boundaries.
  const int mx = 48 + 85 + 85 + 85 - 1, my = 48 + 23 + 23 + 5;
  EXPECT_EQ(Pixel(page, mx, my), (ui::Color{255, 255, 0}));
}

TEST(PrintedPages, TheSecondPageOfAReportTwoPagesWide) {
  view::TSpreadSheetBook book;
  workbook::TSSBookSheet& s = *book.ActiveSheet();
  for (int32_t c = 0; c < 12; ++c)
    for (int32_t r = 0; r < 6; ++r)
      s.CellObject(c, r)->SetText(workbook::TSSUtils::ColumnCaption(c) + std::to_string(r + 1));
  printing::TSpreadSheetBookReportLink link;
  link.SetOptionsView(printing::ssovRowAndColumnHeadings | printing::ssovGridLines);
  link.HeadersOnEveryPage = true;
  const printing::Report& report = link.Activate(book);
  printing::PageSettings settings;
  const printing::Pagination p = printing::Paginate(report, settings, true);
  ASSERT_EQ(p.PageCount(), 2u);
  const ui::Image second = printing::RenderPage(report, p, settings, 1);
  CheckGolden("two_pages_wide_second", second);
  // The repeated heading column's corner sits at the margin.
  EXPECT_NE(Pixel(second, 48 + 40, 48 + 10), ui::colors::kWhite);
}

// Runs a command; its exit code.
int Shell(const std::string& command) { return std::system(command.c_str()); }

// Pixels of a page that are not white.
int Ink(const ui::Image& image, int top = 0, int bottom = -1) {
  int ink = 0;
  if (bottom < 0) bottom = image.Height();
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.Width(); ++x)
      ink += !(image.At(x, y) == ui::Rgba{255, 255, 255, 255});
  return ink;
}

// Page `page` (from 1) of a PDF rendered by pdftoppm at 96 dpi against the page drawn in
// process. The renderers differ in anti-aliasing of text and in rounding of half pixels:
// count the pixels that differ clearly, and allow a small share of the page's ink.
void ExpectPdfPage(const fs::path& pdf, int page, const ui::Image& expected) {
  const fs::path png = pdf.parent_path() / (pdf.stem().string() + "_" + std::to_string(page));
  ASSERT_EQ(Shell("pdftoppm -r 96 -png -singlefile -f " + std::to_string(page) + " -l " +
                  std::to_string(page) + " " + pdf.string() + " " + png.string()),
            0);
  std::string error;
  const ui::Image rendered = ui::ReadPng(png.string() + ".png", &error);
  ASSERT_FALSE(rendered.IsEmpty()) << error;
  ASSERT_EQ(rendered.Width(), expected.Width());
  ASSERT_EQ(rendered.Height(), expected.Height());
  ui::Point first;
  const int diff = Differences(rendered, expected, 96, &first);
  const int ink = Ink(expected);
  EXPECT_LT(diff, ink / 10) << diff << " of " << ink << " inked pixels differ, the first at "
                            << first.x << "," << first.y;
}

// Saves the small book as NAME.xls, prints it with `sstool print ... OPTIONS` into NAME.pdf
// and loads the saved book back into `loaded` (what the PDF must show); the PDF's path.
fs::path PrintSmallBookWithSstool(const char* sstool, const std::string& name,
                                  const std::string& options, view::TSpreadSheetBook& loaded) {
  const fs::path dir = OutputDir() / "sstool_print";
  fs::create_directories(dir);
  const fs::path xls = dir / (name + ".xls"), pdf = dir / (name + ".pdf");
  view::TSpreadSheetBook book;
  FillSmallBook(book);
  xls::SaveBookToFile(book, xls.string());
  EXPECT_EQ(Shell(std::string(sstool) + " print " + xls.string() + " " + pdf.string() + " " +
                  options + " > " + (dir / (name + ".txt")).string()),
            0);
  xls::LoadBookFromFile(loaded, xls.string());
  return pdf;
}

TEST(PrintedPages, SstoolPrintWritesAPdfThatRendersAsTheGoldenPage) {
  const char* sstool = std::getenv("SS_SSTOOL");
  if (!sstool) GTEST_SKIP() << "SS_SSTOOL is not set";
  if (Shell("pdftoppm -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  workbook::ScopedBookServices services(testsupport::FullServices());
  view::TSpreadSheetBook loaded;
  const fs::path pdf = PrintSmallBookWithSstool(sstool, "small", "--headings --gridlines", loaded);
  ExpectPdfPage(pdf, 1, SmallPage(loaded));
}

// The options of sstool print for the page settings and breaks reach the PDF: a break before
// column C, repeated headings, a header and a footer with the page number and count; page 2
// of the PDF is the page drawn in process with those settings.
TEST(PrintedPages, SstoolPrintOptionsReachThePdf) {
  const char* sstool = std::getenv("SS_SSTOOL");
  if (!sstool) GTEST_SKIP() << "SS_SSTOOL is not set";
  if (Shell("pdftoppm -v > /dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm is not installed";
  workbook::ScopedBookServices services(testsupport::FullServices());
  view::TSpreadSheetBook loaded;
  const fs::path pdf =
      PrintSmallBookWithSstool(sstool, "options",
                               "--headings --gridlines --repeat-headings --col-breaks D --scale 150"
                               " --header 'Page &P of &N' --footer 'Small report'",
                               loaded);
  printing::TSpreadSheetBookReportLink link;
  link.SetOptionsView(printing::ssovRowAndColumnHeadings | printing::ssovGridLines);
  link.UseCustomPageBreaks = true;
  link.ColumnBreaks = {3};
  const printing::Report& report = link.Activate(loaded);
  printing::PageSettings settings;
  settings.scalePercent = 150;
  settings.headerText = "Page &P of &N";
  settings.footerText = "Small report";
  const printing::Pagination p = printing::Paginate(report, settings, true);
  ASSERT_EQ(p.PageCount(), 2u);
  const ui::Image second = printing::RenderPage(report, p, settings, 1);
  ui::WritePng(second, (OutputDir() / "sstool_print" / "options_expected_2.png").string());
  EXPECT_GT(Ink(second, 0, 48), 0) << "the header prints";
  EXPECT_GT(Ink(second, second.Height() - 48, second.Height()), 0) << "the footer prints";
  ExpectPdfPage(pdf, 2, second);
}

TEST(PrintedPages, SstoolPrintRefusesBadOptionsAndEmptySheets) {
  const char* sstool = std::getenv("SS_SSTOOL");
  if (!sstool) GTEST_SKIP() << "SS_SSTOOL is not set";
  workbook::ScopedBookServices services(testsupport::FullServices());
  const fs::path dir = OutputDir() / "sstool_print";
  fs::create_directories(dir);
  const fs::path xls = dir / "empty.xls", pdf = dir / "empty.pdf";
  view::TSpreadSheetBook book;
  xls::SaveBookToFile(book, xls.string());
  const std::string quiet = " > /dev/null 2>&1";
  EXPECT_NE(Shell(std::string(sstool) + " print " + xls.string() + " " + pdf.string() + quiet), 0);
  EXPECT_FALSE(fs::exists(pdf)) << "no PDF for nothing to print";
  EXPECT_NE(Shell(std::string(sstool) + " print " + xls.string() + " " + pdf.string() +
                  " --sheet 0" + quiet),
            0);
  EXPECT_NE(Shell(std::string(sstool) + " print " + xls.string() + " " + pdf.string() +
                  " --range A1:" + quiet),
            0);
}

}  // namespace
