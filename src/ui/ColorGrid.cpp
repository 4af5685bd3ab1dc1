#include "ui/ColorGrid.h"

#include <algorithm>

#include "ui/Keys.h"

namespace ui {
namespace {

constexpr int kMargin = 2;
constexpr int kAutomaticHeight = 16;
constexpr int kAutomaticGap = 2;
constexpr int kMinCell = 4;

void Swatch(Canvas& canvas, const Rect& r, Color color) {
  canvas.FillRect(r, color);
  canvas.FrameRect(r, colors::kButtonShadow);
}

}  // namespace

ColorGrid::ColorGrid(Control* parent, std::string name) : CustomControl(parent, std::move(name)) {
  SetColor(colors::kButtonFace);
}

void ColorGrid::SetColors(std::vector<Color> colors, int columns) {
  colors_ = std::move(colors);
  columns_ = std::max(1, columns);
  if (itemIndex_ >= Count()) itemIndex_ = -1;
  Invalidate();
}

void ColorGrid::SetAutomatic(std::string caption, Color shown) {
  hasAutomatic_ = true;
  automaticCaption_ = std::move(caption);
  automaticColor_ = shown;
  Invalidate();
}

void ColorGrid::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Invalidate();
}

void ColorGrid::NoteItemChosen(int index) {
  if (index < 0 || index >= Count() || index == itemIndex_) return;
  itemIndex_ = index;
  Invalidate();
  if (OnChange) OnChange();
}

int ColorGrid::Rows() const { return (static_cast<int>(colors_.size()) + columns_ - 1) / columns_; }

Size ColorGrid::CellSize() const {
  const Rect client = ClientRect();
  const int rows = std::max(1, Rows());
  const int width = std::max(kMinCell, (client.Width() - 2 * kMargin) / columns_);
  const int reserved = hasAutomatic_ ? kAutomaticHeight + kAutomaticGap : 0;
  const int height = std::max(kMinCell, (client.Height() - 2 * kMargin - reserved) / rows);
  return Size{width, std::min(width, height)};
}

Rect ColorGrid::ItemRect(int index) const {
  if (index < 0 || index >= Count()) return Rect{};
  const Size cell = CellSize();
  if (index == AutomaticIndex()) {
    const int top = kMargin + Rows() * cell.height + kAutomaticGap;
    return Rect{kMargin, top, kMargin + columns_ * cell.width, top + kAutomaticHeight};
  }
  return Rect::FromSize(kMargin + index % columns_ * cell.width,
                        kMargin + index / columns_ * cell.height, cell.width, cell.height);
}

int ColorGrid::ItemAt(Point p) const {
  for (int index = 0; index < Count(); ++index) {
    if (ItemRect(index).Contains(p)) return index;
  }
  return -1;
}

void ColorGrid::Paint(Canvas& canvas) {
  const Rect client = ClientRect();
  canvas.FillRect(client, BackColor());
  const bool enabled = EffectivelyEnabled();
  for (int index = 0; index < Count(); ++index) {
    const Rect cell = ItemRect(index);
    if (index == AutomaticIndex()) {
      const int side = cell.Height() - 4;
      Swatch(canvas, Rect::FromSize(cell.left + 2, cell.top + 2, side, side), automaticColor_);
      TextFormat format;
      format.vert = VertAlign::Center;
      format.singleLine = true;
      canvas.DrawTextBlock(Rect{cell.left + side + 6, cell.top, cell.right - 2, cell.bottom},
                           automaticCaption_, Font(),
                           enabled ? colors::kWindowText : colors::kGrayText, format);
    } else {
      Swatch(canvas, cell.Inflate(-2), colors_[static_cast<size_t>(index)]);
    }
    if (index == itemIndex_) {
      // The chosen item: a dark frame around it with a light one inside, visible on any colour.
      canvas.FrameRect(cell, enabled ? colors::kWindowText : colors::kGrayText);
      canvas.FrameRect(cell.Inflate(-1), colors::kWhite);
    }
  }
  if (Focused()) {
    Rect r = client;
    const Pen dotted{colors::kWindowText, 1, PenStyle::Dot};
    const Point corners[5] = {{r.left, r.top},
                              {r.right - 1, r.top},
                              {r.right - 1, r.bottom - 1},
                              {r.left, r.bottom - 1},
                              {r.left, r.top}};
    canvas.Polyline(corners, dotted);
  }
}

void ColorGrid::HandleMouseDown(const MouseEvent& event) {
  CustomControl::HandleMouseDown(event);
  if (event.button == MouseButton::Left) NoteItemChosen(ItemAt(event.pos));
}

void ColorGrid::HandleEnter() {
  Invalidate();
  CustomControl::HandleEnter();
}

void ColorGrid::HandleExit() {
  Invalidate();
  CustomControl::HandleExit();
}

int ColorGrid::KeyTarget(int key) const {
  const int swatches = static_cast<int>(colors_.size());
  const int last = Count() - 1;
  const int at = itemIndex_;
  switch (key) {
    case keys::kHome:
      return 0;
    case keys::kEnd:
      return last;
    case keys::kLeft:
      return at < 0 ? 0 : std::max(0, at - 1);
    case keys::kRight:
      return at < 0 ? 0 : std::min(last, at + 1);
    case keys::kUp:
      if (at < 0) return 0;
      // From the automatic entry up to the first swatch of the last row.
      if (at == AutomaticIndex()) return swatches == 0 ? at : (Rows() - 1) * columns_;
      return at >= columns_ ? at - columns_ : at;
    case keys::kDown:
      if (at < 0) return 0;
      if (at == AutomaticIndex()) return at;
      if (at + columns_ < swatches) return at + columns_;
      return hasAutomatic_ ? AutomaticIndex() : at;
    default:
      return -2;
  }
}

void ColorGrid::HandleKeyDown(int& key, ShiftState shift) {
  CustomControl::HandleKeyDown(key, shift);
  if (key == 0 || shift.ctrl || shift.alt || Count() == 0) return;
  const int target = KeyTarget(key);
  if (target == -2) return;
  key = 0;
  NoteItemChosen(target);
}

}  // namespace ui
