#pragma once
// Pagination of a report: cut at cell boundaries into bands of columns and bands of rows that
// fit the printable area at the chosen scale; pages run across, then down (page i shows column
// band i % across and row band i / across). A column or row larger than a page is split over
// as many pages as it needs; an item marked `breakBefore` starts a new band. The heading column and
// row print on the first band of their direction, or on every band with HeadersOnEveryPage.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "printing/PageSettings.h"
#include "printing/Report.h"

namespace printing {

// One band of data items (report columns or rows) on a page: items first..last (report
// indices, unprinted ones in between included), of which the first `skip` pixels were shown
// on the band before (a split item), `length` pixels in all.
struct Band {
  size_t first = 1;
  size_t last = 0;
  int skip = 0;
  int length = 0;
  bool heading = false;  // the heading item prints before the band
  friend bool operator==(const Band&, const Band&) = default;
};

struct Pagination {
  double scale = 1.0;  // report pixels to page pixels
  std::vector<Band> across;
  std::vector<Band> down;
  // Printable area of a page in report pixels (page pixels / scale).
  int contentWidth = 0;
  int contentHeight = 0;
  size_t PageCount() const { return across.size() * down.size(); }
  const Band& ColumnBand(size_t page) const { return across[page % across.size()]; }
  const Band& RowBand(size_t page) const { return down[page / across.size()]; }
};

// Cuts one direction: sizes of the data items (index 0 is the heading, printed or not),
// `printed` flags, the room of a page in report pixels, and whether the heading repeats.
std::vector<Band> CutBands(const std::vector<ReportColumn>& items, int room, bool everyBand);

// The pagination of a report on pages of these settings: the bounded scale, or the largest
// scale (at most 100%) at which the report fits the pages wide and tall asked for (down to the
// smallest scale, 10%, when it never fits).
Pagination Paginate(const Report& report, const PageSettings& settings, bool headersOnEveryPage);

}  // namespace printing
