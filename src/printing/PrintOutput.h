#pragma once
// Sends a paginated report to a print document page by page: the header and footer at page
// scale, the cells at the pagination's scale inside the margins.
#include <cstddef>
#include <functional>

#include "printing/PageSettings.h"
#include "printing/Paginator.h"
#include "printing/Report.h"
#include "ui/PrintDocument.h"

namespace printing {

// Pages first..last (0-based, inclusive, clamped to the pagination); `progress` (may be
// empty) is called after each page with the number of pages done. Returns the pages printed.
// The document is finished on success; on failure ui::PrintError (or another exception)
// propagates and the caller destroys the document, which aborts it.
size_t PrintPages(ui::PrintDocument& document, const Report& report, const Pagination& pagination,
                  const PageSettings& settings, size_t first = 0, size_t last = SIZE_MAX,
                  const std::function<void(size_t)>& progress = {});

// The report as a PDF file of the settings' paper size. Returns the page count.
size_t WritePdf(const std::string& path, const Report& report, const PageSettings& settings,
                bool headersOnEveryPage);

}  // namespace printing
