#include "printing/TComponentPrinter.h"

#include "printing/PageSetupDialog.h"
#include "printing/PrintOutput.h"
#include "ui/Dialogs.h"
#include "ui/PrintDocument.h"
#include "view/TSpreadSheetBook.h"

namespace printing {

TComponentPrinter::TComponentPrinter(view::TSpreadSheetBook& book, ui::Form* owner)
    : book_(book), owner_(owner) {}

TComponentPrinter::~TComponentPrinter() {
  alive_.reset();
  // A modal preview still running ends with its window: its loop sees the window gone.
  if (preview_ && preview_->RunningModal()) preview_->Close();
  ClosePreview();
}

bool TComponentPrinter::PreviewShowing() const { return preview_ && preview_->Visible(); }

void TComponentPrinter::ClosePreview() {
  if (!preview_) return;
  preview_->OnPageSetup = nullptr;
  preview_->OnPrint = nullptr;
  preview_.reset();
}

void TComponentPrinter::Preview(bool modal, TCustomSpreadSheetReportLink& link) {
  if (PreviewShowing()) {
    preview_->BringForward();
    return;
  }
  ClosePreview();  // a hidden one from before
  link.Activate(book_);
  auto window = std::make_unique<PreviewWindow>(link.Shared(), Settings, link.HeadersOnEveryPage);
  window->SetCaption(PreviewCaption);
  TCustomSpreadSheetReportLink* shown = &link;
  // The preview's own dialogs belong to the preview: over a modal preview they must disable
  // it (not the spreadsheet window, which the modal run has disabled already and which
  // closing them would enable again while the preview still runs).
  window->OnPageSetup = [this, shown] {
    PageSetupModel::Run(Settings, *shown, preview_.get());
    if (preview_) preview_->SetSettings(Settings);
  };
  window->OnPrint = [this, shown] { PrintOwnedBy(true, *shown, preview_.get()); };
  preview_ = std::move(window);
  if (!modal) {
    preview_->BringForward();
    return;
  }
  PreviewWindow* running = preview_.get();
  const std::weak_ptr<int> alive = alive_;
  running->RunModal(owner_);
  // The window (and this printer with it) may have gone while the loop ran.
  if (alive.expired()) return;
  if (preview_.get() == running) ClosePreview();
}

bool TComponentPrinter::PageSetup(TCustomSpreadSheetReportLink& link) {
  // The report is built first so that a sheet with nothing to print is reported before the
  // dialog rather than after it.
  link.Activate(book_);
  switch (PageSetupModel::Run(Settings, link, owner_)) {
    case PageSetupExit::Cancel:
      return false;
    case PageSetupExit::Ok:
      if (preview_) preview_->SetSettings(Settings);
      return true;
    case PageSetupExit::Preview:
      if (PreviewShowing()) ClosePreview();
      Preview(true, link);
      return true;
    case PageSetupExit::Print:
      Print(true, link);
      return true;
  }
  return false;
}

size_t TComponentPrinter::Print(bool showDialog, TCustomSpreadSheetReportLink& link) {
  return PrintOwnedBy(showDialog, link, owner_);
}

size_t TComponentPrinter::PrintOwnedBy(bool showDialog, TCustomSpreadSheetReportLink& link,
                                       ui::Form* owner) {
  const Report& report = link.Activate(book_);
  const Pagination pagination = Paginate(report, Settings, link.HeadersOnEveryPage);
  std::unique_ptr<ui::PrintDocument> document = ui::ChoosePrintDocument(
      showDialog, "zkSpreadSheet", Settings.paperCode, MmToPoints(Settings.PageWidth()),
      MmToPoints(Settings.PageHeight()), Settings.orientation == Orientation::Landscape, owner);
  if (!document) return 0;
  return PrintPages(*document, report, pagination, Settings);
}

}  // namespace printing
