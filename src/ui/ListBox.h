#pragma once
// A list of text items showing as many rows as its height holds, one of them chosen (or
// none, -1). When the items outnumber the rows, a vertical scroll bar appears and TopIndex
// names the first row shown.
//
// Choosing: SetItemIndex is the program (no OnChange); NoteItemChosen is the backend
// reporting a click or a navigation key, ChooseItem a choice made for the user (OnChange when
// the item changed). Each brings the chosen item into view. KeyTarget, ItemAt and ScrollTarget are
// the standard behaviour of the keys, the mouse and the scroll bar, which the headless backend
// applies (the native list does the same itself). TopIndex is what the program or the headless
// backend last scrolled to; a native list scrolls on its own and does not report it.
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"
#include "ui/CustomControl.h"

namespace ui {

class ListBox : public Control {
 public:
  ListBox(Control* parent, std::string name);

  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Replaces the items: nothing chosen, scrolled to the top.
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  // Programmatic: -1 or an index out of range chooses nothing. No OnChange.
  void SetItemIndex(int index);
  void NoteItemChosen(int index);
  // A choice the toolkit makes for the user (a scripted answer): as NoteItemChosen, and the
  // peer is told, since the native list did not make it.
  void ChooseItem(int index);

  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  int TopIndex() const { return topIndex_; }
  // Clamped so that the last page of rows is full whenever the items fill one.
  void SetTopIndex(int index);
  // Rows that fit whole in the list (at least one).
  int VisibleRows() const;
  bool HasScrollBar() const { return Count() > VisibleRows(); }
  // The scroll bar's range in rows (not visible when every item shows).
  ScrollBarState ScrollBar() const;

  // Where an item's row is, in control coordinates (empty when it is scrolled out of view).
  Rect ItemRect(int index) const;
  // The item whose row holds p (-1: none, or p on the scroll bar).
  int ItemAt(Point p) const;
  // The item a navigation key leads to from the chosen one: Up, Down, Home, End, PageUp and
  // PageDown (a page is one row less than the rows shown); -2 for any other key.
  int KeyTarget(int key) const;
  // The scroll bar's track, and the top index a press at p on the bar leads to: its arrows
  // scroll by a row, the track on either side of the thumb by a page (-1: p is not on the bar).
  Rect ScrollBarTrack() const;
  int ScrollTarget(Point p) const;
  // The headless list is drawn inside a 2-pixel sunken frame.
  static constexpr int kFrame = 2;

  void Paint(Canvas& canvas) override;
  void HandleEnter() override;
  void HandleExit() override;

  std::function<void()> OnChange;

 private:
  void BoundsChanged() override;
  // The top index that brings `index` into view, moving as little as it can.
  int TopShowing(int index) const;

  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int topIndex_ = 0;
  int itemHeight_ = 16;
};

}  // namespace ui
