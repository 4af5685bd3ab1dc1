// What a printed page shows across page edges and under the link's options: overflowing text
// continued on the page next to its cell's page (read from a recording canvas), and the
// colour, grid-line, font-scaling and custom page break options, each case as data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printing/PagePainter.h"
#include "printing/Paginator.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "ui/Image.h"
#include "ui/RecordingCanvas.h"
#include "ui/SystemColors.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

using printing::Pagination;
using printing::Report;

constexpr int kMargin = 48;  // 12.7 mm at 96 pixels an inch

struct Book {
  view::TSpreadSheetBook book;
  printing::TSpreadSheetBookReportLink link;
  view::FixedMeasurer metrics{7, 16};
  printing::PageSettings settings;
  Book() { link.SetOptionsView(0); }
  std::unique_ptr<workbook::TSSCellObject> Cell(int32_t col, int32_t row) {
    return book.ActiveSheet()->CellObject(col, row);
  }
  const Report& Build() { return link.Activate(book, metrics); }
};

// The text calls of a page's content whose text is `text`.
std::vector<ui::CanvasCall> TextsOf(const Report& report, const Pagination& p, size_t page,
                                    const std::string& text) {
  ui::RecordingCanvas canvas(ui::Size{2000, 2000});
  printing::PaintPageContent(canvas, report, p, page);
  std::vector<ui::CanvasCall> found;
  for (const ui::CanvasCall& call : canvas.Calls())
    if (call.kind == ui::CanvasCall::Kind::Text && call.text == text) found.push_back(call);
  return found;
}

struct CarryCase {
  const char* name;
  int32_t column;  // sheet column of the long text (columns 0..9, eight fit the first page)
  workbook::THorzTextAlign align;
  size_t ownPage;      // the page that holds the cell
  size_t carriedPage;  // the page its text continues on
};

TEST(PageEdges, OverflowingTextContinuesOnTheNextPageAcross) {
  const std::string text(60, 'w');  // 420 pixels: runs over about five columns
  const CarryCase cases[] = {
      {"left-aligned, running right", 5, workbook::haLEFT, 0, 1},
      {"right-aligned, running left", 9, workbook::haRIGHT, 1, 0},
      {"centred, running both ways", 7, workbook::haCENTER, 0, 1},
  };
  for (const CarryCase& c : cases) {
    SCOPED_TRACE(c.name);
    Book b;
    b.Cell(c.column, 0)->SetText(text);
    b.Cell(c.column, 0)->Style().SetHorzTextAlign(c.align);
    b.Cell(10, 3)->SetText("end");  // the range reaches past the text either way
    const Report& report = b.Build();
    const Pagination p = printing::Paginate(report, b.settings, false);
    ASSERT_EQ(p.PageCount(), 2u);
    const int pageWidth = p.contentWidth;
    const std::vector<ui::CanvasCall> own = TextsOf(report, p, c.ownPage, text);
    const std::vector<ui::CanvasCall> carried = TextsOf(report, p, c.carriedPage, text);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_EQ(carried.size(), 1u) << "the text is cut at the page edge";
    // The same text line, shifted by the width of the columns on the first page.
    const int shift = own[0].rect.left - carried[0].rect.left;
    const int firstPage = static_cast<int>(p.ColumnBand(0).length);
    EXPECT_EQ(c.ownPage == 0 ? shift : -shift, firstPage);
    EXPECT_EQ(own[0].rect.Width(), carried[0].rect.Width());
    // Clipped to each page's columns: the text crosses the shared edge on both pages.
    if (c.carriedPage == 1) {
      EXPECT_LT(carried[0].rect.left, 0);
      EXPECT_EQ(carried[0].clip.left, 0);
      EXPECT_GT(own[0].rect.right, firstPage);
    } else {
      EXPECT_GT(carried[0].rect.right, firstPage);
      EXPECT_LE(carried[0].clip.right, pageWidth);
      EXPECT_LT(own[0].rect.left, 0);
    }
    // A neighbour with text stops the overflow; then nothing is carried.
    b.Cell(8, 0)->SetText("x");
    const Report& stopped = b.Build();
    const Pagination q = printing::Paginate(stopped, b.settings, false);
    if (c.column != 8) {
      EXPECT_TRUE(TextsOf(stopped, q, c.carriedPage, text).empty());
    }
  }
}

ui::Color Pixel(const ui::Image& image, int x, int y) { return image.At(x, y).ToColor(); }

int CountColour(const ui::Image& image, int y, ui::Color colour) {
  int n = 0;
  for (int x = 0; x < image.Width(); ++x) n += Pixel(image, x, y) == colour;
  return n;
}

struct OptionCase {
  const char* name;
  std::function<void(Book&)> setup;
  std::function<void(Book&, const Report&)> check;
};

const ui::Color kYellow{255, 255, 0};
const ui::Color kRed{255, 0, 0};
const ui::Color kBlue{0, 0, 255};

ui::Image FirstPage(Book& b, const Report& report) {
  const Pagination p = printing::Paginate(report, b.settings, b.link.HeadersOnEveryPage);
  return printing::RenderPage(report, p, b.settings, 0);
}

int FontSizeOf(Book& b, const Report& report, const std::string& text) {
  const Pagination p = printing::Paginate(report, b.settings, false);
  const std::vector<ui::CanvasCall> calls = TextsOf(report, p, 0, text);
  return calls.empty() ? -1 : calls[0].font.size;
}

std::vector<size_t> BandEnds(const std::vector<printing::Band>& bands) {
  std::vector<size_t> ends;
  for (const printing::Band& band : bands) ends.push_back(band.last);
  return ends;
}

TEST(LinkOptions, ColoursScalingAndCustomBreaksReachThePrintedPage) {
  const OptionCase cases[] = {
      {"Color fills data cells when source formats are ignored",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovSuppressSourceFormats);
         b.link.Color = 0x0000FFFF;
       },
       [](Book& b, const Report& r) {
         EXPECT_FALSE(r.Cell(1, 1).transparent);
         EXPECT_EQ(Pixel(FirstPage(b, r), kMargin + 60, kMargin + 12), kYellow);
       }},
      {"Color is ignored while source formats are used", [](Book& b) { b.link.Color = 0x0000FFFF; },
       [](Book& b, const Report& r) {
         EXPECT_NE(Pixel(FirstPage(b, r), kMargin + 60, kMargin + 12), kYellow);
       }},
      {"FixedColor fills headings when source formats are ignored",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovSuppressSourceFormats |
                               printing::ssovRowAndColumnHeadings);
         b.link.FixedColor = 0x000000FF;
       },
       [](Book& b, const Report& r) {
         EXPECT_EQ(r.headingColor, kRed);
         EXPECT_EQ(Pixel(FirstPage(b, r), kMargin + 4, kMargin + 30), kRed);
       }},
      {"the book's heading colour while source formats are used",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovRowAndColumnHeadings);
         b.link.FixedColor = 0x000000FF;
       },
       [](Book& b, const Report& r) {
         EXPECT_NE(r.headingColor, kRed);
         EXPECT_NE(Pixel(FirstPage(b, r), kMargin + 4, kMargin + 30), kRed);
       }},
      {"GridLineColor draws the grid when source formats are ignored",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovSuppressSourceFormats | printing::ssovGridLines);
         b.link.GridLineColor = 0x00FF0000;
       },
       [](Book& b, const Report& r) {
         EXPECT_GE(CountColour(FirstPage(b, r), kMargin + 12, kBlue), 3) << "A|B|C|D edges";
       }},
      {"GridLineColor is ignored while source formats are used",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovGridLines);
         b.link.GridLineColor = 0x00FF0000;
       },
       [](Book& b, const Report& r) {
         EXPECT_EQ(CountColour(FirstPage(b, r), kMargin + 12, kBlue), 0);
       }},
      {"ScaleFonts: fonts shrink with the print scale",
       [](Book& b) { b.settings.scalePercent = 50; },
       [](Book& b, const Report& r) { EXPECT_EQ(FontSizeOf(b, r, "x"), 10); }},
      {"without ScaleFonts fonts keep their point size on paper",
       [](Book& b) {
         b.settings.scalePercent = 50;
         b.link.ScaleFonts = false;
       },
       [](Book& b, const Report& r) { EXPECT_EQ(FontSizeOf(b, r, "x"), 20); }},
      {"custom page breaks start pages before their column and row",
       [](Book& b) {
         b.link.UseCustomPageBreaks = true;
         b.link.ColumnBreaks = {2};
         b.link.RowBreaks = {3, 1};
       },
       [](Book& b, const Report& r) {
         const Pagination p = printing::Paginate(r, b.settings, false);
         EXPECT_EQ(BandEnds(p.across), (std::vector<size_t>{2, 4}));
         EXPECT_EQ(BandEnds(p.down), (std::vector<size_t>{1, 3, 5}));
       }},
      {"breaks are kept but unused without UseCustomPageBreaks",
       [](Book& b) {
         b.link.ColumnBreaks = {2};
         b.link.RowBreaks = {3};
       },
       [](Book& b, const Report& r) {
         EXPECT_EQ(printing::Paginate(r, b.settings, false).PageCount(), 1u);
       }},
      {"a break on a hidden row moves to the next printed row",
       [](Book& b) {
         b.link.UseCustomPageBreaks = true;
         b.link.RowBreaks = {2};
         b.book.ActiveSheet()->Storage().RowHeader().SetVisible(2, false);
       },
       [](Book& b, const Report& r) {
         const Pagination p = printing::Paginate(r, b.settings, false);
         ASSERT_EQ(p.down.size(), 2u);
         EXPECT_EQ(p.down[1].first, 4u) << "sheet row 3, after the hidden row 2";
       }},
      {"RowAutoHeight: rows as high as their wrapped text, none lower than FixedFont",
       [](Book& b) {
         b.link.RowAutoHeight = true;
         b.Cell(1, 1)->SetText(std::string(30, 'w'));  // 210 pixels at 7 a character
         b.Cell(1, 1)->Style().SetWordBreak(true);
       },
       [](Book&, const Report& r) {
         const int inside = r.columns[2].size - 4;
         const int lines = (210 + inside - 1) / inside;
         ASSERT_GT(lines, 1);
         EXPECT_EQ(r.rows[2].size, lines * 16 + 4);
         EXPECT_EQ(r.rows[1].size, 16 + 4) << "one line of x";
         EXPECT_EQ(r.rows[3].size, 16) << "no text: a line of FixedFont";
       }},
      {"FixedFont prints the headings",
       [](Book& b) {
         b.link.SetOptionsView(printing::ssovRowAndColumnHeadings);
         b.link.FixedFont = ui::Font{"Verdana", 12};
       },
       [](Book& b, const Report& r) {
         const Pagination p = printing::Paginate(r, b.settings, false);
         const std::vector<ui::CanvasCall> heading = TextsOf(r, p, 0, "D");
         ASSERT_EQ(heading.size(), 1u);
         EXPECT_EQ(heading[0].font.name, "Verdana");
         EXPECT_EQ(heading[0].font.size, 12);
       }},
      {"row breaks only with UseHorzDelimiters",
       [](Book& b) {
         b.link.UseCustomPageBreaks = true;
         b.link.UseHorzDelimiters = false;
         b.link.RowBreaks = {3};
         b.link.ColumnBreaks = {2};
       },
       [](Book& b, const Report& r) {
         const Pagination p = printing::Paginate(r, b.settings, false);
         EXPECT_EQ(p.down.size(), 1u);
         EXPECT_EQ(p.across.size(), 2u);
       }},
  };
  for (const OptionCase& c : cases) {
    SCOPED_TRACE(c.name);
    Book b;
    b.Cell(0, 0)->SetText("x");
    b.Cell(0, 0)->Style().Font().SetSize(10);
    b.Cell(3, 4)->SetText("last");
    c.setup(b);
    c.check(b, b.Build());
  }
}

// Fill calls of a page's content in one colour.
int FillsIn(const Report& report, const Pagination& p, ui::Color colour) {
  ui::RecordingCanvas canvas(ui::Size{2000, 2000});
  printing::PaintPageContent(canvas, report, p, 0);
  int n = 0;
  for (const ui::CanvasCall& call : canvas.Calls())
    n += call.kind == ui::CanvasCall::Kind::FillRect && call.color == colour;
  return n;
}

// The pixels across the right edge and down the top edge of the heading of data column 1:
// {right - 1, right - 2, right - 3} at mid-height and {top, top + 1, top + 2} at mid-width, then
// a pixel of the face away from the caption.
struct HeadingPixels {
  ui::Color right[3];
  ui::Color top[3];
  ui::Color face;
};

// The page is written beside the test program (heading_look_N.png) for looking at.
HeadingPixels HeadingOf(Book& b, const Report& r, int n) {
  const ui::Image page = FirstPage(b, r);
  const char* out = std::getenv("SS_TEST_OUTPUT");
  ui::WritePng(page, (out ? std::string(out) : std::string(".")) + "/heading_look_" +
                         std::to_string(n) + ".png");
  const int left = kMargin + r.columns[0].size, right = left + r.columns[1].size;
  const int top = kMargin, bottom = top + r.rows[0].size;
  const int midY = (top + bottom) / 2, midX = (left + right) / 2;
  HeadingPixels h;
  for (int i = 0; i < 3; ++i) {
    h.right[i] = Pixel(page, right - 1 - i, midY);
    h.top[i] = Pixel(page, midX, top + i);
  }
  h.face = Pixel(page, left + 4, top + 4);
  return h;
}

struct LookCase {
  const char* name;
  std::function<void(printing::TCustomSpreadSheetReportLink&)> setup;
  ui::Color right[3];
  ui::Color top[3];
  ui::Color face;
};

TEST(LinkOptions, HeadingBevelsFollowEffects3DAndSoft3D) {
  using namespace ui::colors;
  const LookCase cases[] = {
      {"flat without Effects3D: a one-pixel frame",
       [](auto&) {},
       {kButtonShadow, kButtonFace, kButtonFace},
       {kButtonFace, kButtonFace, kButtonFace},
       kButtonFace},
      {"Soft3D: one light and one shadow line",
       [](auto& l) { l.Effects3D = true; },
       {kButtonShadow, kButtonFace, kButtonFace},
       {kButtonHighlight, kButtonFace, kButtonFace},
       kButtonFace},
      {"hard bevel without Soft3D: two lines each side",
       [](auto& l) {
         l.Effects3D = true;
         l.Soft3D = false;
       },
       {kButtonDarkShadow, kButtonShadow, kButtonFace},
       {kButtonHighlight, kButtonFace, kButtonFace},
       kButtonFace},
      {"FixedTransparent: the bevel without the face",
       [](auto& l) {
         l.Effects3D = true;
         l.FixedTransparent = true;
       },
       {kButtonShadow, kWhite, kWhite},
       {kButtonHighlight, kWhite, kWhite},
       kWhite},
  };
  int n = 0;
  for (const LookCase& c : cases) {
    SCOPED_TRACE(c.name);
    Book b;
    b.link.SetOptionsView(printing::ssovRowAndColumnHeadings | printing::ssovSuppressSourceFormats);
    b.link.FixedColor = 0x80000000 | 15;  // button face
    b.Cell(2, 2)->SetText("x");
    c.setup(b.link);
    const HeadingPixels h = HeadingOf(b, b.Build(), ++n);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(h.right[i], c.right[i]) << "right edge, pixel " << i;
      EXPECT_EQ(h.top[i], c.top[i]) << "top edge, pixel " << i;
    }
    EXPECT_EQ(h.face, c.face);
  }
}

TEST(LinkOptions, TransparentLeavesWindowColouredCellsUnpainted) {
  struct Case {
    const char* name;
    bool transparent;
    int whiteFills;
  } const cases[] = {{"Transparent: only the filled cell is painted", true, 0},
                     // 3 x 3 cells, A1:A2 merged into one, B2 yellow: seven white fills
                     {"not Transparent: every cell paints its background", false, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Book b;
    b.Cell(2, 2)->SetText("x");
    b.Cell(1, 1)->Style().Brush().SetAll(workbook::fsSolid, 5, 5);
    b.Cell(0, 0)->SetText("merged");
    b.book.ActiveSheet()->MergeCells(workbook::TRect{0, 0, 0, 1}, true);
    b.link.Transparent = c.transparent;
    const Report& r = b.Build();
    const Pagination p = printing::Paginate(r, b.settings, false);
    EXPECT_EQ(FillsIn(r, p, kYellow), 1);
    EXPECT_EQ(FillsIn(r, p, ui::colors::kWhite), c.whiteFills);
  }
}

}  // namespace
