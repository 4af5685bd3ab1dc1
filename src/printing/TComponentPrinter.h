#pragma once
// The printer component of a spreadsheet window (`Printer1`): the page settings, the current
// report link, the preview window and the entry points Preview, PageSetup and Print.
//
// Every entry point activates the link first, so the report is rebuilt from the book as it is
// (never stale). The settings live with the component: nothing is written to the registry or
// to disk. The component owns its preview window; destroying the component closes it.
// Failures (nothing to print, a printer error) propagate as exceptions to the caller, which
// reports them (the plug-in's actions turn them into their result code).
#include <memory>
#include <string>

#include "printing/PageSettings.h"
#include "printing/PreviewWindow.h"
#include "printing/TCustomSpreadSheetReportLink.h"

namespace view {
class TSpreadSheetBook;
}
namespace ui {
class Form;
}

namespace printing {

class TComponentPrinter {
 public:
  // The book must outlive the component; owner (may be null) parents its dialogs.
  TComponentPrinter(view::TSpreadSheetBook& book, ui::Form* owner);
  ~TComponentPrinter();
  TComponentPrinter(const TComponentPrinter&) = delete;
  TComponentPrinter& operator=(const TComponentPrinter&) = delete;

  TCustomSpreadSheetReportLink* CurrentLink = nullptr;
  PageSettings Settings;
  std::string PreviewCaption = "Preview";

  // A preview window of this printer is open and visible.
  bool PreviewShowing() const;
  PreviewWindow* Preview() const { return preview_.get(); }
  // Brings a showing preview forward; otherwise rebuilds the report and opens a preview for
  // the link. A modal preview runs until it is closed and is freed then; a non-modal one is
  // shown and the call returns at once.
  void Preview(bool modal, TCustomSpreadSheetReportLink& link);
  // The page setup dialog for the link, owned by the spreadsheet window (from the preview's
  // button: by the preview); true when confirmed (OK, Preview or Print). Leaving
  // through Preview opens a preview, through Print prints with the print dialog.
  bool PageSetup(TCustomSpreadSheetReportLink& link);
  // The print dialog, then the pages. Returns the pages printed, 0 when cancelled.
  size_t Print(bool showDialog, TCustomSpreadSheetReportLink& link);
  // Closes (hides and frees) the preview.
  void ClosePreview();

 private:
  // Print with the print dialog owned by `owner` (the preview's Print: the preview).
  size_t PrintOwnedBy(bool showDialog, TCustomSpreadSheetReportLink& link, ui::Form* owner);

  view::TSpreadSheetBook& book_;
  ui::Form* owner_;
  std::unique_ptr<PreviewWindow> preview_;
  // Expires with the component: a modal preview's caller learns that its window went away.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace printing
