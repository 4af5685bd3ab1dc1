#pragma once
// The preview window: a form of its own (captioned "Preview") showing one page of a built
// report at a time, with page navigation, zoom, page setup and print. It shows the report as
// it was built when opened; the printer component rebuilds and reopens it for a new request
// only after it was closed.
//
// Modal or not. RunModal shows it as a modal form of the toolkit (ui::ModalForm: the owner's
// window disabled while it runs; headless, answered from the dialog queue: "name=click;..."
// presses its buttons, then the answer's button closes it) and returns when it is closed. A
// non-modal preview is just shown; its caller returns at once.
//
// Scrolling. A page larger than the page area (zoomed in) scrolls: scroll bars on the sides
// that need them, the arrow keys by a line, Page Up and Page Down by a screen, Home and End to
// the top and bottom, and the mouse wheel (with Shift: across).
//
// Lifetime: owned by the printer component (TComponentPrinter), destroyed with it, so it is
// closed whenever its spreadsheet window is destroyed. Closing it hides it; the component
// frees it at its next request. Handlers run on the UI thread and never throw into the
// toolkit (failures of page setup or printing are shown in a message box).
#include <functional>
#include <map>
#include <memory>

#include "printing/PageSettings.h"
#include "printing/Paginator.h"
#include "printing/Report.h"
#include "ui/BasicControls.h"
#include "ui/CustomControl.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/ModalForm.h"

namespace printing {

class PreviewWindow : public ui::Form {
 public:
  static constexpr double kZoomSteps[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0};

  PreviewWindow(std::shared_ptr<const Report> report, const PageSettings& settings,
                bool headersOnEveryPage);
  ~PreviewWindow() override;

  size_t PageCount() const { return pagination_.PageCount(); }
  size_t CurrentPage() const { return page_; }
  void ShowPage(size_t page);  // clamped
  double Zoom() const { return kZoomSteps[zoom_]; }
  void ZoomIn();
  void ZoomOut();
  // Brings the window forward (shows and focuses it); counts the requests for tests.
  void BringForward();
  size_t ForwardRequests() const { return forward_; }
  // New settings (after page setup from the preview): paginates again.
  void SetSettings(const PageSettings& settings);
  const Pagination& Paging() const { return pagination_; }

  // Runs the preview modally; returns when it is closed (Close, Escape or the window going
  // away). Not re-entrant: a running modal preview is only brought forward.
  void RunModal(ui::Form* owner);
  bool RunningModal() const { return modal_ != nullptr; }
  // Closes the preview: ends a modal run, hides a non-modal one.
  void Close();
  // The page's top-left corner in the page area, after scrolling.
  ui::Point PageOrigin() const;
  // Scrolls by pixels (clamped to what the page needs).
  void ScrollBy(int dx, int dy);

  // Set by the printer component.
  std::function<void()> OnPageSetup;
  std::function<void()> OnPrint;

  ui::Button* btnFirst = nullptr;
  ui::Button* btnPrev = nullptr;
  ui::Button* btnNext = nullptr;
  ui::Button* btnLast = nullptr;
  ui::Button* btnZoomIn = nullptr;
  ui::Button* btnZoomOut = nullptr;
  ui::Button* btnPageSetup = nullptr;
  ui::Button* btnPrint = nullptr;
  ui::Button* btnClose = nullptr;
  ui::Label* lblPage = nullptr;
  ui::CustomControl* pbPage = nullptr;

 private:
  void Refresh();
  const ui::Image& PageImage();
  // Scroll ranges from the page image's size and the page area's size.
  void UpdateScrollBars();
  void Scroll(ui::ScrollBarKind kind, ui::ScrollCode code, int32_t position);
  void Key(int& key, ui::ShiftState shift);

  std::shared_ptr<const Report> report_;  // kept alive while shown, whatever the link rebuilds
  PageSettings settings_;
  bool headersOnEveryPage_;
  Pagination pagination_;
  size_t page_ = 0;
  size_t zoom_ = 1;  // 50%: a whole A4 page fits the window
  size_t forward_ = 0;
  ui::ModalForm* modal_ = nullptr;                         // while RunModal runs
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // expires with the window
  // The pages drawn at the current zoom, by page; dropped when zoom or settings change.
  std::map<size_t, ui::Image> images_;
};

}  // namespace printing
