#include "printing/PreviewWindow.h"

#include <algorithm>

#include "printing/PagePainter.h"
#include "ui/Dialogs.h"
#include "ui/Keys.h"

namespace printing {

namespace {

constexpr int kBarHeight = 30;
constexpr int kGap = 8;    // grey around the page
constexpr int kLine = 20;  // pixels an arrow key or a wheel notch's line scrolls

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
  btnClose = button("btnClose", "Close", 56, [this] { Close(); });
  btnClose->SetCancel(true);
  lblPage = &bar.Add<ui::Label>("lblPage");
  lblPage->SetBounds(ui::Rect{x + 8, 8, x + 160, 8 + 14});
  pbPage = &Add<ui::CustomControl>("pbPage");
  pbPage->SetAlign(ui::Align::Client);
  pbPage->SetColor(ui::colors::kButtonShadow);
  // The page area takes the focus so that the arrow keys scroll it (they reach the focused
  // control whatever it wants); Tab is left to the form, so it moves on to the buttons.
  pbPage->OnPaint = [this](ui::Canvas& canvas) {
    const ui::Rect client = pbPage->ClientRect();
    canvas.FillRect(client, ui::colors::kButtonShadow);
    if (PageCount() == 0) return;
    const ui::Image& image = PageImage();
    const ui::Point at = PageOrigin();
    canvas.FillRect(
        ui::Rect{at.x + 3, at.y + 3, at.x + 3 + image.Width(), at.y + 3 + image.Height()},
        ui::colors::kBlack);
    canvas.DrawImage(image, at);
  };
  pbPage->OnScroll = [this](ui::ScrollBarKind kind, ui::ScrollCode code, int32_t position) {
    Scroll(kind, code, position);
  };
  pbPage->OnKeyDown = [this](int& key, ui::ShiftState shift) { Key(key, shift); };
  pbPage->OnMouseWheel = [this](const ui::MouseEvent& e) {
    const int lines = -e.wheelDelta / 120 * 3;
    if (e.shift.shift)
      ScrollBy(lines * kLine, 0);
    else
      ScrollBy(0, lines * kLine);
  };
  pbPage->OnResize = [this] { UpdateScrollBars(); };
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

void PreviewWindow::RunModal(ui::Form* owner) {
  if (modal_) {
    BringForward();
    return;
  }
  ui::ModalForm modal(*this);
  modal_ = &modal;
  // The printer may destroy this window while the loop runs (its spreadsheet window went
  // away); then nothing of it is touched afterwards.
  const std::weak_ptr<int> alive = alive_;
  try {
    modal.Run(owner);
  } catch (...) {
    if (!alive.expired()) modal_ = nullptr;
    throw;
  }
  if (alive.expired()) return;
  modal_ = nullptr;
  SetVisible(false);
}

void PreviewWindow::Close() {
  if (modal_)
    modal_->End(ui::DialogButton::Cancel);
  else
    SetVisible(false);
}

ui::Point PreviewWindow::PageOrigin() const {
  const ui::Rect client = pbPage->ClientRect();
  const ui::ScrollBarState& h = pbPage->ScrollBar(ui::ScrollBarKind::Horizontal);
  const ui::ScrollBarState& v = pbPage->ScrollBar(ui::ScrollBarKind::Vertical);
  auto it = images_.find(page_);
  const int width = it != images_.end() ? it->second.Width() : 0;
  // A page narrower than the area is centred; a wider one starts at the gap, less the scroll.
  const int left = h.visible ? kGap - h.position : std::max(kGap, (client.Width() - width) / 2);
  const int top = kGap - (v.visible ? v.position : 0);
  return ui::Point{client.left + left, client.top + top};
}

void PreviewWindow::UpdateScrollBars() {
  if (!pbPage || PageCount() == 0) return;
  const ui::Image& image = PageImage();
  const int needW = image.Width() + 2 * kGap, needH = image.Height() + 2 * kGap;
  // Twice: a bar that appears narrows the area and may call for the other one.
  for (int pass = 0; pass < 2; ++pass) {
    const ui::Rect client = pbPage->ClientRect();
    const auto bar = [&](ui::ScrollBarKind kind, int need, int room) {
      ui::ScrollBarState state = pbPage->ScrollBar(kind);
      state.min = 0;
      state.max = std::max(0, need - 1);
      state.page = std::max(1, room);
      state.visible = need > room;
      if (!state.visible) state.position = 0;
      pbPage->SetScrollBar(kind, state);
    };
    bar(ui::ScrollBarKind::Horizontal, needW, client.Width());
    bar(ui::ScrollBarKind::Vertical, needH, client.Height());
  }
}

void PreviewWindow::ScrollBy(int dx, int dy) {
  const auto move = [this](ui::ScrollBarKind kind, int delta) {
    const ui::ScrollBarState& state = pbPage->ScrollBar(kind);
    if (!state.visible || delta == 0) return;
    pbPage->SetScrollPosition(kind, state.position + delta);
  };
  move(ui::ScrollBarKind::Horizontal, dx);
  move(ui::ScrollBarKind::Vertical, dy);
  pbPage->Invalidate();
}

void PreviewWindow::Scroll(ui::ScrollBarKind kind, ui::ScrollCode code, int32_t position) {
  const ui::ScrollBarState& state = pbPage->ScrollBar(kind);
  const bool across = kind == ui::ScrollBarKind::Horizontal;
  const auto by = [&](int delta) { across ? ScrollBy(delta, 0) : ScrollBy(0, delta); };
  switch (code) {
    case ui::ScrollCode::LineUp:
      return by(-kLine);
    case ui::ScrollCode::LineDown:
      return by(kLine);
    case ui::ScrollCode::PageUp:
      return by(-state.page);
    case ui::ScrollCode::PageDown:
      return by(state.page);
    case ui::ScrollCode::Track:
    case ui::ScrollCode::Position:
      return by(position - state.position);
    case ui::ScrollCode::Top:
      return by(-state.position);
    case ui::ScrollCode::Bottom:
      return by(state.max - state.position);
    case ui::ScrollCode::EndScroll:
      return;
  }
}

void PreviewWindow::Key(int& key, ui::ShiftState shift) {
  const int page = pbPage->ScrollBar(ui::ScrollBarKind::Vertical).page;
  const int bottom = pbPage->ScrollBar(ui::ScrollBarKind::Vertical).max;
  switch (key) {
    case ui::keys::kUp:
      ScrollBy(0, -kLine);
      break;
    case ui::keys::kDown:
      ScrollBy(0, kLine);
      break;
    case ui::keys::kLeft:
      ScrollBy(-kLine, 0);
      break;
    case ui::keys::kRight:
      ScrollBy(kLine, 0);
      break;
    case ui::keys::kPageUp:
      ScrollBy(0, -page);
      break;
    case ui::keys::kPageDown:
      ScrollBy(0, page);
      break;
    case ui::keys::kHome:
      ScrollBy(0, -bottom);
      break;
    case ui::keys::kEnd:
      ScrollBy(0, bottom);
      break;
    default:
      return;  // not ours: Escape still reaches the Close button
  }
  (void)shift;
  key = 0;
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
  UpdateScrollBars();
  pbPage->Invalidate();
}

}  // namespace printing
