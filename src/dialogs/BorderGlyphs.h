#pragma once
// The pictures on the Format Cells border buttons: a square of two by two cells with faint
// dotted guides for every line, and the lines that the button sets drawn solid (none for
// None, the four sides for Outline, the two inner lines for Inside, one line for each edge
// button). Transparent where nothing is drawn, so they sit on any button face.
#include "ui/Image.h"

namespace dialogs {

// `tag`: kTagNone .. kTagRight; another tag gives an empty image. `size` is the square's side
// in pixels (at least 7; smaller sizes are raised to 7).
ui::Image BorderGlyph(int tag, int size);

}  // namespace dialogs
