#include "ui/ListBox.h"

#include <algorithm>

#include "ui/Backend.h"
#include "ui/Keys.h"
#include "ui/ScrollBarLook.h"

namespace ui {

ListBox::ListBox(Control* parent, std::string name)
    : Control(parent, ControlKind::ListBox, std::move(name)) {
  SetColor(colors::kWhite);
  Changed(Property::State);
}

void ListBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  topIndex_ = 0;
  Changed(Property::Items);
  Changed(Property::State);
  Invalidate();
}

void ListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  itemIndex_ = index;
  SetTopIndex(TopShowing(index));
  Changed(Property::State);
  Invalidate();
}

void ListBox::NoteItemChosen(int index) {
  if (index < 0 || index >= Count()) return;
  // The state follows what the native list did: it scrolls the chosen row into view, also
  // when a key chose the item already chosen.
  topIndex_ = TopShowing(index);
  Invalidate();
  if (index == itemIndex_) return;
  itemIndex_ = index;
  if (OnChange) OnChange();
}

void ListBox::ChooseItem(int index) {
  if (index < 0 || index >= Count()) return;
  NoteItemChosen(index);
  Changed(Property::State);
  Changed(Property::Scroll);
}

void ListBox::SetItemHeight(int height) {
  height = std::max(1, height);
  if (height == itemHeight_) return;
  itemHeight_ = height;
  Changed(Property::State);
  SetTopIndex(topIndex_);
  Invalidate();
}

int ListBox::VisibleRows() const { return std::max(1, (Height() - 2 * kFrame) / itemHeight_); }

void ListBox::SetTopIndex(int index) {
  index = std::clamp(index, 0, std::max(0, Count() - VisibleRows()));
  if (index == topIndex_) return;
  topIndex_ = index;
  Changed(Property::Scroll);
  Invalidate();
}

int ListBox::TopShowing(int index) const {
  if (index < 0) return topIndex_;
  if (index < topIndex_) return index;
  const int rows = VisibleRows();
  return index >= topIndex_ + rows ? index - rows + 1 : topIndex_;
}

void ListBox::BoundsChanged() { SetTopIndex(topIndex_); }

ScrollBarState ListBox::ScrollBar() const {
  ScrollBarState bar;
  bar.min = 0;
  bar.max = std::max(0, Count() - 1);
  bar.page = VisibleRows();
  bar.position = topIndex_;
  bar.visible = HasScrollBar();
  return bar;
}

Rect ListBox::ScrollBarTrack() const {
  if (!HasScrollBar()) return Rect{};
  const int size = CurrentBackend().ScrollBarSize();
  return Rect{std::max(kFrame, Width() - kFrame - size), kFrame, Width() - kFrame,
              Height() - kFrame};
}

Rect ListBox::ItemRect(int index) const {
  if (index < topIndex_ || index >= Count() || index >= topIndex_ + VisibleRows()) return Rect{};
  const int right = HasScrollBar() ? ScrollBarTrack().left : Width() - kFrame;
  const int top = kFrame + (index - topIndex_) * itemHeight_;
  return Rect{kFrame, top, right, top + itemHeight_};
}

int ListBox::ItemAt(Point p) const {
  if (p.y < kFrame) return -1;
  const int index = topIndex_ + (p.y - kFrame) / itemHeight_;
  return ItemRect(index).Contains(p) ? index : -1;
}

int ListBox::KeyTarget(int key) const {
  const int last = Count() - 1;
  if (last < 0) return -2;
  const int page = std::max(1, VisibleRows() - 1);
  const int at = itemIndex_;
  switch (key) {
    case keys::kHome:
      return 0;
    case keys::kEnd:
      return last;
    case keys::kUp:
      return at < 0 ? 0 : std::max(0, at - 1);
    case keys::kDown:
      return at < 0 ? 0 : std::min(last, at + 1);
    case keys::kPageUp:
      return at < 0 ? 0 : std::max(0, at - page);
    case keys::kPageDown:
      return at < 0 ? 0 : std::min(last, at + page);
    default:
      return -2;
  }
}

int ListBox::ScrollTarget(Point p) const {
  const Rect track = ScrollBarTrack();
  if (!track.Contains(p)) return -1;
  const ScrollBarParts parts = LayOutScrollBar(track, ScrollBar(), true);
  const int page = VisibleRows();
  if (parts.lowArrow.Contains(p)) return std::max(0, topIndex_ - 1);
  if (parts.highArrow.Contains(p)) return std::min(Count() - page, topIndex_ + 1);
  if (p.y < parts.thumb.top) return std::max(0, topIndex_ - page);
  if (p.y >= parts.thumb.bottom) return std::min(Count() - page, topIndex_ + page);
  return topIndex_;
}

void ListBox::HandleEnter() {
  Invalidate();
  Control::HandleEnter();
}

void ListBox::HandleExit() {
  Invalidate();
  Control::HandleExit();
}

}  // namespace ui
