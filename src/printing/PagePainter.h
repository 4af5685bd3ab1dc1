#pragma once
// Draws the pages of a paginated report with the painters of the screen grid: each page is
// laid out as a view::GridLayout (spans, cells, lines, merged areas taken from the report) and
// painted by view::SheetPainter, so a printed page shows what the grid shows.
//
// Two coordinate systems: page pixels (96 per inch, from the paper's top-left corner) for the
// header and footer, and content pixels (report pixels, from the printable area's top-left,
// scaled by the pagination's scale on paper) for the cells.
#include <cstddef>
#include <vector>

#include "printing/PageSettings.h"
#include "printing/Paginator.h"
#include "printing/Report.h"
#include "ui/Canvas.h"
#include "ui/Image.h"
#include "view/GridLayout.h"

namespace printing {

// The layout of one page in content pixels. page < pagination.PageCount().
view::GridLayout PageLayout(const Report& report, const Pagination& pagination, size_t page);

// The cells of other pages' columns in this page's rows whose overflowing text reaches into
// this page (drawn at their positions left or right of the page, clipped to it).
std::vector<view::CellView> CarriedTexts(const Report& report, const Pagination& pagination,
                                         size_t page);

// The cells of one page, content pixels at the canvas's origin.
void PaintPageContent(ui::Canvas& canvas, const Report& report, const Pagination& pagination,
                      size_t page);

// The header and footer texts of one page, page pixels.
void PaintPageDecorations(ui::Canvas& canvas, const Report& report, const PageSettings& settings,
                          size_t page, size_t pageCount);

// The page size in page pixels.
ui::Size PagePixels(const PageSettings& settings);

// A whole page as an image at `zoom` (1.0: 96 pixels per inch): white paper, header, footer
// and the cells, scaled by the pagination's scale times zoom (content drawn at 100% and
// resampled by area averaging when that product is not 1).
ui::Image RenderPage(const Report& report, const Pagination& pagination,
                     const PageSettings& settings, size_t page, double zoom = 1.0);

// The image resampled to size by area averaging (each target pixel the mean of the source
// pixels it covers).
ui::Image Resample(const ui::Image& source, ui::Size size);

}  // namespace printing
