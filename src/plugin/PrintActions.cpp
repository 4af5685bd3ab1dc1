#include "plugin/PrintActions.h"

#include "plugin/ActionSupport.h"
#include "plugin/TNeoSpread.h"
#include "printing/TComponentPrinter.h"

namespace plugin {

namespace {

printing::TCustomSpreadSheetReportLink& LinkOf(TNeoSpread& spread) {
  return spread.Printer1->CurrentLink ? *spread.Printer1->CurrentLink
                                      : spread.Printer1tPrinterLink1;
}

}  // namespace

bool PrintPageSetupDialogAction(AttachedSpread& window, const ActionParams&) {
  TNeoSpread& spread = SpreadOf(window);
  spread.CommitEditing();
  spread.Printer1->PageSetup(LinkOf(spread));
  return true;
}

bool PrintAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  spread.CommitEditing();
  printing::TCustomSpreadSheetReportLink& link = LinkOf(spread);
  link.SetOnlySelected(params.at(1) == "1");
  // A second request only changes the option: the preview already showing stays as it is.
  if (!spread.Printer1->PreviewShowing()) spread.Printer1->Preview(false, link);
  return true;
}

bool PrintHeadersAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  printing::TCustomSpreadSheetReportLink& link = LinkOf(spread);
  const printing::ReportViewOptions options = link.OptionsView();
  link.SetOptionsView(params.at(1) == "1" ? (options | printing::ssovRowAndColumnHeadings)
                                          : (options & ~printing::ssovRowAndColumnHeadings));
  return true;
}

}  // namespace plugin
