#pragma once
// The control that higher layers subclass for their own drawing and input (the grid): it
// paints through the canvas, takes every mouse and key event, may hold the capture, and
// has two optional scroll bars with 32-bit ranges and positions.
//
// Scroll bars: a visible bar takes ScrollBarSize pixels from the client area (the right
// edge for the vertical one, the bottom for the horizontal one). Positions are clamped to
// min..max - page + 1 (max when page is 0). User scrolling arrives as HandleScroll with
// the code and, for Track and Position, the thumb's position; the control decides what to
// do and sets the position itself.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

enum class ScrollBarKind { Horizontal, Vertical };
enum class ScrollCode {
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  Track,
  Position,
  Top,
  Bottom,
  EndScroll
};

struct ScrollBarState {
  int32_t min = 0;
  int32_t max = 100;
  int32_t page = 0;
  int32_t position = 0;
  bool visible = false;
  friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

class CustomControl : public Control {
 public:
  CustomControl(Control* parent, std::string name);

  Rect ClientRect() const override;

  const ScrollBarState& ScrollBar(ScrollBarKind kind) const;
  void SetScrollBar(ScrollBarKind kind, ScrollBarState state);
  void SetScrollPosition(ScrollBarKind kind, int32_t position);
  // The largest position the bar admits.
  static int32_t MaxPosition(const ScrollBarState& state);

  // Tab and arrow keys reach this control instead of moving the focus.
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool on) { wantTabs_ = on; }
  // A control that reacts to no key (a picture, a preview that takes only clicks) is left out
  // of the focus: neither Tab nor a press moves the focus to it. It still gets the mouse.
  bool TakesFocus() const { return takesFocus_; }
  void SetTakesFocus(bool on);
  bool CanFocus() const override;

  // Default painting raises OnPaint; subclasses override Paint instead.
  void Paint(Canvas& canvas) override;
  std::function<void(Canvas&)> OnPaint;

  virtual void HandleScroll(ScrollBarKind kind, ScrollCode code, int32_t position);
  std::function<void(ScrollBarKind, ScrollCode, int32_t)> OnScroll;

  // A focusable control takes the focus when pressed (the default, as native controls do).
  void HandleMouseDown(const MouseEvent& event) override;

 private:
  ScrollBarState horizontal_;
  ScrollBarState vertical_;
  bool wantTabs_ = false;
  bool takesFocus_ = true;
};

}  // namespace ui
