#include "dialogs/BorderGlyphs.h"

#include <algorithm>

#include "dialogs/FormatCellsModel.h"
#include "ui/SystemColors.h"

namespace dialogs {
namespace {

enum Line : unsigned { kTop = 1, kHMiddle = 2, kBottom = 4, kLeft = 8, kVMiddle = 16, kRight = 32 };
constexpr unsigned kAllLines = kTop | kHMiddle | kBottom | kLeft | kVMiddle | kRight;

unsigned LinesOf(int tag) {
  switch (tag) {
    case kTagNone:
      return 0;
    case kTagOutline:
      return kTop | kBottom | kLeft | kRight;
    case kTagInside:
      return kHMiddle | kVMiddle;
    case kTagTop:
      return kTop;
    case kTagVMiddle:
      return kHMiddle;
    case kTagBottom:
      return kBottom;
    case kTagLeft:
      return kLeft;
    case kTagMiddle:
      return kVMiddle;
    case kTagRight:
      return kRight;
    default:
      return ~0u;
  }
}

}  // namespace

ui::Image BorderGlyph(int tag, int size) {
  const unsigned lines = LinesOf(tag);
  if (lines == ~0u) return ui::Image{};
  size = std::max(size, 7);
  ui::Image image(size, size);
  const int lo = 1;
  const int hi = size - 2;
  const int mid = size / 2;
  const ui::Color guide = ui::colors::kButtonShadow;
  const ui::Color ink = ui::colors::kWindowText;
  // Guides first, every other pixel, then the solid lines over them.
  for (const bool solid : {false, true}) {
    const ui::Color c = solid ? ink : guide;
    const ui::Rgba pixel{c.r, c.g, c.b, 255};
    for (unsigned line = kTop; line & kAllLines; line <<= 1) {
      if (((lines & line) != 0) != solid) continue;
      const bool horizontal = line == kTop || line == kHMiddle || line == kBottom;
      const int at = line == kTop || line == kLeft       ? lo
                     : line == kBottom || line == kRight ? hi
                                                         : mid;
      for (int along = lo; along <= hi; ++along) {
        if (!solid && (along - lo) % 2 != 0) continue;
        if (horizontal) {
          image.Set(along, at, pixel);
        } else {
          image.Set(at, along, pixel);
        }
      }
    }
  }
  return image;
}

}  // namespace dialogs
