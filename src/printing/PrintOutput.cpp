#include "printing/PrintOutput.h"

#include <algorithm>
#include <cstdint>

#include "printing/PagePainter.h"

namespace printing {

size_t PrintPages(ui::PrintDocument& document, const Report& report, const Pagination& pagination,
                  const PageSettings& settings, size_t first, size_t last,
                  const std::function<void(size_t)>& progress) {
  const size_t count = pagination.PageCount();
  if (count == 0) return 0;
  last = std::min(last, count - 1);
  const ui::Point origin{static_cast<int>(MmToPixels(settings.marginLeft)),
                         static_cast<int>(MmToPixels(settings.marginTop))};
  size_t done = 0;
  for (size_t page = first; page <= last; ++page) {
    document.StartPage();
    {
      auto canvas = document.PageCanvas(1.0, ui::Point{0, 0});
      PaintPageDecorations(*canvas, report, settings, page, count);
    }
    {
      auto canvas = document.PageCanvas(pagination.scale, origin);
      PaintPageContent(*canvas, report, pagination, page);
    }
    document.EndPage();
    ++done;
    if (progress) progress(done);
  }
  document.Finish();
  return done;
}

size_t WritePdf(const std::string& path, const Report& report, const PageSettings& settings,
                bool headersOnEveryPage) {
  const Pagination pagination = Paginate(report, settings, headersOnEveryPage);
  auto document = ui::CreatePdfDocument(path, MmToPoints(settings.PageWidth()),
                                        MmToPoints(settings.PageHeight()));
  return PrintPages(*document, report, pagination, settings);
}

}  // namespace printing
