#pragma once
// The colours controls use for their parts when the program sets none (the classic system
// scheme), and a few named ones the window needs.
#include "ui/Geometry.h"

namespace ui::colors {

inline constexpr Color kAqua{0, 255, 255};
inline constexpr Color kButtonFace{240, 240, 240};
inline constexpr Color kButtonHighlight{255, 255, 255};
inline constexpr Color kButtonShadow{160, 160, 160};
inline constexpr Color kButtonDarkShadow{105, 105, 105};
inline constexpr Color kWindowText{0, 0, 0};
inline constexpr Color kGrayText{109, 109, 109};
inline constexpr Color kHighlight{0, 120, 215};
inline constexpr Color kHotTrack{204, 228, 247};

}  // namespace ui::colors
