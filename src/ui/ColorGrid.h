#pragma once
// A choice of one colour among painted swatches: the colours in rows of `columns` (left to
// right, then down) and, when set, an automatic entry in a row of its own below them, shown
// as a swatch of the colour it stands for and its caption. It is a custom control painted
// through the canvas, so both backends show the same swatches.
//
// Items: 0..colours-1 are the swatches, `colours` the automatic entry, -1 nothing chosen.
// The mouse chooses the item under it; arrow keys move (Up and Down by a row, Down from the
// last row to the automatic entry), Home and End go to the first and last item. A user's
// choice raises OnChange when it changed the item; SetItemIndex raises nothing.
#include <functional>
#include <string>
#include <vector>

#include "ui/CustomControl.h"

namespace ui {

class ColorGrid : public CustomControl {
 public:
  ColorGrid(Control* parent, std::string name);

  void SetColors(std::vector<Color> colors, int columns = 8);
  const std::vector<Color>& Colors() const { return colors_; }
  int Columns() const { return columns_; }
  // Adds (or changes) the automatic entry.
  void SetAutomatic(std::string caption, Color shown);
  bool HasAutomatic() const { return hasAutomatic_; }
  int AutomaticIndex() const { return static_cast<int>(colors_.size()); }
  int Count() const { return AutomaticIndex() + (hasAutomatic_ ? 1 : 0); }

  int ItemIndex() const { return itemIndex_; }
  // Programmatic: -1 or an index out of range chooses nothing. No OnChange.
  void SetItemIndex(int index);
  // The user chose `index` (ignored when out of range); OnChange when it changed.
  void NoteItemChosen(int index);

  // Where an item is painted (empty for an index out of range), and the item at p (-1: none).
  Rect ItemRect(int index) const;
  int ItemAt(Point p) const;

  void Paint(Canvas& canvas) override;
  void HandleMouseDown(const MouseEvent& event) override;
  void HandleKeyDown(int& key, ShiftState shift) override;
  // The focus frame comes and goes with the focus.
  void HandleEnter() override;
  void HandleExit() override;

  std::function<void()> OnChange;

 private:
  int Rows() const;
  Size CellSize() const;
  // The item an arrow or Home/End key leads to from the current one (-2: not such a key).
  int KeyTarget(int key) const;

  std::vector<Color> colors_;
  int columns_ = 8;
  bool hasAutomatic_ = false;
  std::string automaticCaption_;
  Color automaticColor_{};
  int itemIndex_ = -1;
};

}  // namespace ui
