#include "view/SheetTabs.h"

#include <algorithm>

#include "ui/SystemColors.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"

namespace view {

void SheetTabs::Build(const workbook::TCustomSpreadSheetBook& book, const ui::Rect& strip,
                      const ui::Font& font, const TextMeasurer& measurer) {
  strip_ = strip;
  tabs_.clear();
  const int count = book.PageCount();
  first_ = std::clamp(first_, 0, std::max(0, count - 1));
  // A first tab that became hidden moves on to the next visible sheet.
  while (first_ < count - 1 && !book.PageVisible(first_)) ++first_;
  int x = strip.left + 4 * kButtonWidth;
  for (int i = first_; i < count && x < strip.right; ++i) {
    if (!book.PageVisible(i)) continue;
    TabView t;
    t.sheet = i;
    t.caption = book.Sheets(i).Caption();
    const int w = measurer.Width(font, t.caption) + kTabMargin;
    t.rect = ui::Rect{x, strip.top, x + w, strip.bottom};
    t.active = i == book.ActivePage();
    x += w;
    tabs_.push_back(std::move(t));
  }
}

TabHit SheetTabs::HitTest(ui::Point p) const {
  if (!strip_.Contains(p)) return TabHit{};
  const int button = (p.x - strip_.left) / kButtonWidth;
  if (button < 4) return TabHit{static_cast<TabHitKind>(1 + button), -1};
  for (const TabView& t : tabs_)
    if (t.rect.Contains(p)) return TabHit{TabHitKind::Tab, t.sheet};
  return TabHit{};
}

bool SheetTabs::Navigate(TabHitKind button, const workbook::TCustomSpreadSheetBook& book) {
  const int count = book.PageCount();
  std::vector<int> visible;
  for (int i = 0; i < count; ++i)
    if (book.PageVisible(i)) visible.push_back(i);
  if (visible.empty()) return false;
  auto at = std::lower_bound(visible.begin(), visible.end(), first_);
  size_t pos = at == visible.end() ? visible.size() - 1 : static_cast<size_t>(at - visible.begin());
  switch (button) {
    case TabHitKind::First:
      pos = 0;
      break;
    case TabHitKind::Previous:
      if (pos > 0) --pos;
      break;
    case TabHitKind::Next:
      if (pos + 1 < visible.size()) ++pos;
      break;
    case TabHitKind::Last:
      pos = visible.size() - 1;
      break;
    default:
      return false;
  }
  const int old = first_;
  first_ = visible[pos];
  return first_ != old;
}

ui::Rect SheetTabs::TabRect(int sheet) const {
  for (const TabView& t : tabs_)
    if (t.sheet == sheet) return t.rect;
  return ui::Rect{};
}

void SheetTabs::Paint(ui::Canvas& canvas, const ui::Font& font, ui::Color face) const {
  if (strip_.IsEmpty()) return;
  ui::ClipScope clip(canvas, strip_);
  canvas.FillRect(strip_, face);
  canvas.FillRect(ui::Rect{strip_.left, strip_.top, strip_.right, strip_.top + 1},
                  ui::colors::kButtonDarkShadow);
  // The four buttons: a bar and a triangle for first and last, a triangle for the others.
  for (int b = 0; b < 4; ++b) {
    const ui::Rect r{strip_.left + b * kButtonWidth, strip_.top + 1,
                     strip_.left + (b + 1) * kButtonWidth, strip_.bottom};
    canvas.FrameRect(r, ui::colors::kButtonShadow);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const bool left = b < 2;
    const ui::Point tri[3] = {{left ? cx - 3 : cx + 3, cy},
                              {left ? cx + 2 : cx - 2, cy - 5},
                              {left ? cx + 2 : cx - 2, cy + 5}};
    canvas.FillPolygon(tri, ui::colors::kWindowText);
    if (b == 0) canvas.FillRect(ui::Rect{cx - 5, cy - 5, cx - 3, cy + 5}, ui::colors::kWindowText);
    if (b == 3) canvas.FillRect(ui::Rect{cx + 4, cy - 5, cx + 6, cy + 5}, ui::colors::kWindowText);
  }
  for (const TabView& t : tabs_) {
    canvas.FillRect(t.rect, t.active ? ui::colors::kWhite : face);
    canvas.FrameRect(ui::Rect{t.rect.left, t.rect.top - 1, t.rect.right, t.rect.bottom},
                     ui::colors::kButtonDarkShadow);
    ui::TextFormat format;
    format.horz = ui::HorzAlign::Center;
    format.vert = ui::VertAlign::Center;
    format.singleLine = true;
    ui::Font f = font;
    f.bold = t.active;
    canvas.DrawTextBlock(t.rect, t.caption, f, ui::colors::kWindowText, format);
  }
}

}  // namespace view
