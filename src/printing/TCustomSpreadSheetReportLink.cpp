#include "printing/TCustomSpreadSheetReportLink.h"

#include "printing/ReportBuilder.h"
#include "view/TextMeasurer.h"

namespace printing {

TCustomSpreadSheetReportLink::TCustomSpreadSheetReportLink() = default;
TCustomSpreadSheetReportLink::~TCustomSpreadSheetReportLink() = default;

void TCustomSpreadSheetReportLink::SetOptionsView(ReportViewOptions options) {
  if (options == optionsView_) return;
  optionsView_ = options;
  stale_ = true;
}

void TCustomSpreadSheetReportLink::SetOnlySelected(bool on) {
  if (on == onlySelected_) return;
  onlySelected_ = on;
  stale_ = true;
}

const Report& TCustomSpreadSheetReportLink::Activate(view::TSpreadSheetBook& book) {
  return Activate(book, view::PlatformMeasurer());
}

const Report& TCustomSpreadSheetReportLink::Activate(view::TSpreadSheetBook& book,
                                                     const view::TextMeasurer& measurer) {
  report_.reset();
  stale_ = true;
  report_ = BuildReport(*this, book, measurer);
  stale_ = false;
  ++builds_;
  return *report_;
}

}  // namespace printing
