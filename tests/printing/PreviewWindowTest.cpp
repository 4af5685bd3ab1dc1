// The preview on the headless backend: a modal preview runs until it is answered and closed
// (and is freed then), a non-modal one returns at once and stays; a zoomed page larger than
// the page area scrolls by keys, wheel and scroll bars, within the page's bounds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printing/TComponentPrinter.h"
#include "ui/Keys.h"
#include "ui/ModalForm.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

namespace {

using printing::PreviewWindow;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessInput;

struct Printing {
  view::TSpreadSheetBook book;
  printing::TSpreadSheetBookReportLink link;
  printing::TComponentPrinter printer{book, nullptr};
  Printing() {
    link.SetOptionsView(printing::ssovGridLines);
    for (int32_t r = 0; r < 120; ++r) book.ActiveSheet()->CellObject(0, r)->SetText("row");
  }
};

TEST(Preview, ModalRunsUntilClosedAndNonModalReturnsAtOnce) {
  HeadlessBackend& backend = HeadlessBackend::Instance();
  Printing p;
  p.printer.Preview(false, p.link);
  ASSERT_TRUE(p.printer.PreviewShowing());
  EXPECT_FALSE(p.printer.Preview()->RunningModal());
  p.printer.ClosePreview();

  // While the modal preview runs, the call has not returned: the hook sees it open and modal,
  // and a second request only brings it forward.
  int seen = 0;
  ui::SetModalFormHook([&](ui::Form& form) {
    ++seen;
    EXPECT_EQ(form.Caption(), "Preview");
    PreviewWindow* shown = p.printer.Preview();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(&form, static_cast<ui::Form*>(shown));
    EXPECT_TRUE(shown->RunningModal());
    p.printer.Preview(true, p.link);
    EXPECT_EQ(shown->ForwardRequests(), 1u);
  });
  // The answer's clicks reach the preview's buttons, then Cancel presses Close.
  backend.QueueAnswer("Cancel", "btnNext=click;btnZoomIn=click");
  p.printer.Preview(true, p.link);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(backend.PendingAnswers(), 0u);
  EXPECT_FALSE(p.printer.PreviewShowing());
  EXPECT_EQ(p.printer.Preview(), nullptr) << "a closed modal preview is freed";
  // An empty queue closes it as well: the call never hangs.
  p.printer.Preview(true, p.link);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(p.printer.Preview(), nullptr);
  // A malformed answer leaves it open, then closes it (Cancel), as for every dialog.
  backend.QueueAnswer("Cancel", "noSuchButton=click");
  p.printer.Preview(true, p.link);
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(backend.PendingAnswers(), 0u);
  ui::SetModalFormHook(nullptr);
}

TEST(Preview, AZoomedPageScrollsByKeysWheelAndScrollBars) {
  Printing p;
  p.printer.Preview(false, p.link);
  PreviewWindow& w = *p.printer.Preview();
  ui::CustomControl& area = *w.pbPage;
  const auto bar = [&](ui::ScrollBarKind kind) { return area.ScrollBar(kind); };
  const ui::Point start = w.PageOrigin();
  // At 50% the A4 page fits: no bars, keys change nothing.
  EXPECT_FALSE(bar(ui::ScrollBarKind::Vertical).visible);
  HeadlessInput::Focus(area);
  ASSERT_TRUE(HeadlessInput::Key(&w, ui::keys::kDown));
  EXPECT_EQ(w.PageOrigin().y, start.y);

  while (w.Zoom() < 2.0) w.ZoomIn();
  const ui::ScrollBarState v = bar(ui::ScrollBarKind::Vertical);
  const ui::ScrollBarState h = bar(ui::ScrollBarKind::Horizontal);
  ASSERT_TRUE(v.visible);
  ASSERT_TRUE(h.visible);
  const ui::Point top = w.PageOrigin();
  struct Step {
    const char* what;
    std::function<void()> input;
    int dx, dy;  // expected change of the page's origin
  };
  const Step steps[] = {
      {"Down", [&] { HeadlessInput::Key(&w, ui::keys::kDown); }, 0, -20},
      {"Page Down", [&] { HeadlessInput::Key(&w, ui::keys::kPageDown); }, 0, -v.page},
      {"wheel towards the user",
       [&] {
         HeadlessInput::Wheel(w, area.ToForm(ui::Point{50, 50}), -120);
       },
       0, -60},
      {"Up", [&] { HeadlessInput::Key(&w, ui::keys::kUp); }, 0, 20},
      {"Right", [&] { HeadlessInput::Key(&w, ui::keys::kRight); }, -20, 0},
      {"horizontal thumb to 100",
       [&] {
         HeadlessInput::Scroll(area, ui::ScrollBarKind::Horizontal, ui::ScrollCode::Position, 100);
       },
       -80, 0},
  };
  ui::Point at = top;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.input();
    const ui::Point now = w.PageOrigin();
    EXPECT_EQ(now.x - at.x, s.dx);
    EXPECT_EQ(now.y - at.y, s.dy);
    at = now;
  }
  // End shows the page's bottom, never beyond it; Home returns to the top.
  HeadlessInput::Key(&w, ui::keys::kEnd);
  EXPECT_EQ(bar(ui::ScrollBarKind::Vertical).position,
            ui::CustomControl::MaxPosition(bar(ui::ScrollBarKind::Vertical)));
  EXPECT_LT(w.PageOrigin().y, top.y);
  const char* out = std::getenv("SS_TEST_OUTPUT");
  HeadlessInput::Snapshot(w, ((out ? std::string(out) : ".") + "/preview_scrolled.png").c_str());
  HeadlessInput::Key(&w, ui::keys::kHome);
  EXPECT_EQ(w.PageOrigin().y, top.y);
  // Zooming back out drops the bars and the scroll; paging on draws pages from the one report.
  while (w.Zoom() > 0.5) w.ZoomOut();
  EXPECT_FALSE(bar(ui::ScrollBarKind::Horizontal).visible);
  EXPECT_EQ(w.PageOrigin(), start);
  for (size_t page = 0; page < w.PageCount(); ++page) w.ShowPage(page);
  EXPECT_EQ(w.CurrentPage(), w.PageCount() - 1);
  EXPECT_EQ(p.link.Builds(), 1u);
}

// The names of the controls that take the focus, Tab by Tab, starting from the page area.
std::vector<std::string> TabCycle(PreviewWindow& w, bool back, size_t presses) {
  std::vector<std::string> names;
  HeadlessInput::Focus(*w.pbPage);
  ui::ShiftState shift;
  shift.shift = back;
  for (size_t i = 0; i < presses; ++i) {
    HeadlessInput::Key(&w, ui::MakeShortcut(ui::keys::kTab, shift));
    names.push_back(w.ActiveControl() ? w.ActiveControl()->Name() : "<none>");
  }
  return names;
}

TEST(Preview, TabVisitsTheEnabledButtonsAndThePageAreaOnly) {
  Printing p;
  p.printer.Preview(false, p.link);
  PreviewWindow& w = *p.printer.Preview();
  ASSERT_GT(w.PageCount(), 1u);
  // On the first page the first and previous buttons are disabled; the bar and the page
  // label never take the focus, and the page area passes Tab on.
  const std::vector<std::string> forward{"btnNext",    "btnLast",      "btnZoomIn",
                                         "btnZoomOut", "btnPageSetup", "btnPrint",
                                         "btnClose",   "pbPage",       "btnNext"};
  EXPECT_EQ(TabCycle(w, false, forward.size()), forward);
  const std::vector<std::string> backward{"btnClose", "btnPrint", "btnPageSetup"};
  EXPECT_EQ(TabCycle(w, true, backward.size()), backward);
  // The arrow keys still reach the page area when it has the focus.
  w.ShowPage(1);
  while (w.Zoom() < 2.0) w.ZoomIn();
  const ui::Point before = w.PageOrigin();
  HeadlessInput::Focus(*w.pbPage);
  HeadlessInput::Key(&w, ui::keys::kDown);
  EXPECT_EQ(w.PageOrigin().y, before.y - 20);
}

TEST(Preview, ItsPageSetupAndPrintDialogsBelongToThePreview) {
  HeadlessBackend& backend = HeadlessBackend::Instance();
  ui::Form window(0, "spreadsheet");
  view::TSpreadSheetBook book;
  book.ActiveSheet()->CellObject(0, 0)->SetText("x");
  printing::TSpreadSheetBookReportLink link;
  printing::TComponentPrinter printer(book, &window);
  // Asked from the spreadsheet window, the page setup belongs to the window.
  backend.ClearDialogLog();
  backend.QueueAnswer("Cancel");
  EXPECT_FALSE(printer.PageSetup(link));
  ASSERT_EQ(backend.DialogLog().size(), 1u);
  EXPECT_EQ(backend.DialogLog()[0].owner, &window);
  // From a modal preview's buttons, the page setup and the print dialog belong to the preview.
  const ui::Form* preview = nullptr;
  ui::SetModalFormHook([&](ui::Form& form) {
    preview = &form;
    printer.Preview()->btnPageSetup->OnClick();
    printer.Preview()->btnPrint->OnClick();
  });
  backend.ClearDialogLog();
  backend.QueueAnswer("Cancel");  // the page setup
  backend.QueueAnswer("Cancel");  // the print dialog
  backend.QueueAnswer("Cancel");  // the preview's Close
  printer.Preview(true, link);
  ui::SetModalFormHook(nullptr);
  ASSERT_NE(preview, nullptr);
  const auto& log = backend.DialogLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0].caption, "Page Setup");
  EXPECT_EQ(log[0].owner, preview);
  EXPECT_EQ(log[1].caption, "Print to PDF");
  EXPECT_EQ(log[1].owner, preview);
  EXPECT_EQ(backend.PendingAnswers(), 0u);
}

// The printer goes with its spreadsheet window; a preview it shows goes with it, modal or not,
// and a modal run ends without touching the preview or the printer afterwards.
TEST(Preview, DestroyingThePrinterClosesItsPreview) {
  HeadlessBackend& backend = HeadlessBackend::Instance();
  const size_t formsBefore = backend.Forms().size();
  for (const bool modal : {false, true}) {
    SCOPED_TRACE(modal ? "modal" : "non-modal");
    view::TSpreadSheetBook book;
    book.ActiveSheet()->CellObject(0, 0)->SetText("x");
    printing::TSpreadSheetBookReportLink link;
    auto printer = std::make_unique<printing::TComponentPrinter>(book, nullptr);
    bool ran = false;
    if (modal) {
      ui::SetModalFormHook([&](ui::Form&) {
        ran = true;
        EXPECT_EQ(backend.Forms().size(), formsBefore + 1);
        printer.reset();
      });
      backend.QueueAnswer("OK", "btnNext=click");  // must not reach the destroyed preview
      printer->Preview(true, link);
      ui::SetModalFormHook(nullptr);
      EXPECT_TRUE(ran);
      EXPECT_EQ(printer, nullptr);
      EXPECT_EQ(backend.PendingAnswers(), 1u) << "no answer is applied to a destroyed form";
      backend.TakeAnswer();
    } else {
      printer->Preview(false, link);
      EXPECT_EQ(backend.Forms().size(), formsBefore + 1);
      printer.reset();
    }
    EXPECT_EQ(backend.Forms().size(), formsBefore) << "the preview is gone";
  }
}

}  // namespace
