#include "printing/PreviewWindow.h"

#include <algorithm>

#include "printing/PagePainter.h"
#include "ui/Dialogs.h"

namespace printing {

namespace {

constexpr int kBarHeight = 30;

}  // namespace

PreviewWindow::PreviewWindow(std::shared_ptr<const Report> report, const PageSettings& settings,
                             bool headersOnEveryPage)
    : ui::Form(0, "Preview"),
      report_(std::move(report)),
      settings_(settings),
      headersOnEveryPage_(headersOnEveryPage),
      pagination_(Paginate(*report_, settings, headersOnEveryPage)) {
  SetCaption("Preview");
  SetBounds(ui::Rect{0, 0, 860, 700});
  SetFont(ui::Font{"MS Sans Serif", 8});
  auto& bar = Add<ui::Panel>("pnBar");
  bar.SetAlign(ui::Align::Top);
  bar.SetBounds(ui::Rect{0, 0, 860, kBarHeight});
  bar.SetCaption("");
  int x = 4;
  const auto button = [&](const char* name, const char* caption, int width,
                          std::function<void()> click) {
    ui::Button& b = bar.Add<ui::Button>(name);
    b.SetBounds(ui::Rect{x, 4, x + width, 4 + 22});
    b.SetCaption(caption);
    b.OnClick = [this, click = std::move(click)] {
      try {
        click();
      } catch (const std::exception& e) {
        ui::ShowMessageBox(
            ui::MessageBoxSpec{"Preview", e.what(), ui::MessageButtons::Ok, ui::MessageIcon::Error},
            this);
      }
    };
    x += width + 4;
    return &b;
  };
  btnFirst = button("btnFirst", "|<", 28, [this] { ShowPage(0); });
  btnPrev = button("btnPrev", "<", 28, [this] { ShowPage(page_ > 0 ? page_ - 1 : 0); });
  btnNext = button("btnNext", ">", 28, [this] { ShowPage(page_ + 1); });
  btnLast = button("btnLast", ">|", 28, [this] { ShowPage(PageCount()); });
  btnZoomIn = button("btnZoomIn", "Zoom +", 56, [this] { ZoomIn(); });
  btnZoomOut = button("btnZoomOut", "Zoom -", 56, [this] { ZoomOut(); });
  btnPageSetup = button("btnPageSetup", "Page Setup...", 84, [this] {
    if (OnPageSetup) OnPageSetup();
  });
  btnPrint = button("btnPrint", "Print...", 64, [this] {
    if (OnPrint) OnPrint();
  });
  btnClose = button("btnClose", "Close", 56, [this] { SetVisible(false); });
  lblPage = &bar.Add<ui::Label>("lblPage");
  lblPage->SetBounds(ui::Rect{x + 8, 8, x + 160, 8 + 14});
  pbPage = &Add<ui::CustomControl>("pbPage");
  pbPage->SetAlign(ui::Align::Client);
  pbPage->SetColor(ui::colors::kButtonShadow);
  pbPage->OnPaint = [this](ui::Canvas& canvas) {
    const ui::Rect client = pbPage->ClientRect();
    canvas.FillRect(client, ui::colors::kButtonShadow);
    if (PageCount() == 0) return;
    const ui::Image& image = PageImage();
    const int left = std::max(8, (client.Width() - image.Width()) / 2);
    canvas.FillRect(ui::Rect{left + 3, 11, left + 3 + image.Width(), 11 + image.Height()},
                    ui::colors::kBlack);
    canvas.DrawImage(image, ui::Point{left, 8});
  };
  Refresh();
}

PreviewWindow::~PreviewWindow() { DestroyChildren(); }

const ui::Image& PreviewWindow::PageImage() {
  auto it = images_.find(page_);
  if (it != images_.end()) return it->second;
  // Only the page shown is kept with its neighbours: a long report is not held as images.
  if (images_.size() > 8) images_.clear();
  return images_[page_] = RenderPage(*report_, pagination_, settings_, page_, Zoom());
}

void PreviewWindow::ShowPage(size_t page) {
  page_ = PageCount() ? std::min(page, PageCount() - 1) : 0;
  Refresh();
}

void PreviewWindow::ZoomIn() {
  if (zoom_ + 1 < std::size(kZoomSteps)) ++zoom_;
  images_.clear();
  Refresh();
}

void PreviewWindow::ZoomOut() {
  if (zoom_ > 0) --zoom_;
  images_.clear();
  Refresh();
}

void PreviewWindow::BringForward() {
  ++forward_;
  SetVisible(true);
  if (pbPage) pbPage->SetFocus();
}

void PreviewWindow::SetSettings(const PageSettings& settings) {
  settings_ = settings;
  pagination_ = Paginate(*report_, settings_, headersOnEveryPage_);
  images_.clear();
  ShowPage(page_);
}

void PreviewWindow::Refresh() {
  lblPage->SetCaption("Page " + std::to_string(PageCount() ? page_ + 1 : 0) + " of " +
                      std::to_string(PageCount()));
  btnFirst->SetEnabled(page_ > 0);
  btnPrev->SetEnabled(page_ > 0);
  btnNext->SetEnabled(page_ + 1 < PageCount());
  btnLast->SetEnabled(page_ + 1 < PageCount());
  btnZoomIn->SetEnabled(zoom_ + 1 < std::size(kZoomSteps));
  btnZoomOut->SetEnabled(zoom_ > 0);
  pbPage->Invalidate();
}

}  // namespace printing
