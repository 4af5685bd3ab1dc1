#include "ui/ToolbarImages.h"

#include <array>
#include <mutex>

#include "ui/Canvas.h"
#include "ui/toolbar/ThemeIconData.h"

namespace ui {
namespace {

static_assert(toolbar::kThemeIconSlots == kToolbarImageCount);

// Colours of the theme's palette, so the drawn images sit well beside the others.
constexpr Color kFrame{0x55, 0x57, 0x53};
constexpr Color kPaper{0xFF, 0xFF, 0xFF};
constexpr Color kArrow{0x34, 0x65, 0xA4};
constexpr Color kText{0x2E, 0x34, 0x36};

// An arrow head of rows narrowing towards its tip at (tipX, y), pointing left (dir -1) or
// right (+1), 5 pixels high.
void HorizontalHead(Canvas& c, int tipX, int y, int dir) {
  for (int i = 0; i < 3; ++i) {
    const int x = tipX - dir * i;
    c.FillRect(Rect{x, y - i, x + 1, y + i + 1}, kArrow);
  }
}

// A downward (dir +1) or upward (-1) arrow with its tip at (x, tipY), shaft from fromY.
void VerticalArrow(Canvas& c, int x, int fromY, int tipY, int dir) {
  const int top = std::min(fromY, tipY), bottom = std::max(fromY, tipY);
  c.FillRect(Rect{x, top, x + 2, bottom + 1}, kArrow);
  for (int i = 0; i < 3; ++i) {
    const int y = tipY - dir * i;
    c.FillRect(Rect{x - i, y, x + 2 + i, y + 1}, kArrow);
  }
}

// Two cells joined into one, arrows pointing inwards.
void DrawMerge(Canvas& c) {
  c.FillRect(Rect{1, 3, 15, 13}, kPaper);
  c.FrameRect(Rect{1, 3, 15, 13}, kFrame);
  c.FillRect(Rect{3, 7, 7, 9}, kArrow);
  c.FillRect(Rect{9, 7, 13, 9}, kArrow);
  HorizontalHead(c, 7, 7, +1);
  HorizontalHead(c, 7, 8, +1);
  HorizontalHead(c, 8, 7, -1);
  HorizontalHead(c, 8, 8, -1);
}

// One cell divided in two, arrows pointing outwards.
void DrawSplit(Canvas& c) {
  c.FillRect(Rect{1, 3, 15, 13}, kPaper);
  c.FrameRect(Rect{1, 3, 15, 13}, kFrame);
  c.FillRect(Rect{7, 3, 9, 13}, kFrame);
  c.FillRect(Rect{4, 7, 6, 9}, kArrow);
  c.FillRect(Rect{10, 7, 12, 9}, kArrow);
  HorizontalHead(c, 3, 7, -1);
  HorizontalHead(c, 3, 8, -1);
  HorizontalHead(c, 12, 7, +1);
  HorizontalHead(c, 12, 8, +1);
}

// Bars growing (ascending) or shrinking (descending) downwards, and an arrow beside them.
void DrawSort(Canvas& c, bool ascending) {
  for (int i = 0; i < 4; ++i) {
    const int length = ascending ? 3 + 2 * i : 9 - 2 * i;
    c.FillRect(Rect{1, 2 + 3 * i, 1 + length, 4 + 3 * i}, kText);
  }
  VerticalArrow(c, 12, ascending ? 2 : 13, ascending ? 13 : 2, ascending ? +1 : -1);
}

Image Make(ToolbarImage which) {
  const auto index = static_cast<int>(which);
  const toolbar::ThemeIcon& icon = toolbar::kThemeIcons[index];
  if (icon.rgba) {
    return Image::FromRgbaBytes(kToolbarImageSize, kToolbarImageSize,
                                std::span(icon.rgba, kToolbarImageSize * kToolbarImageSize * 4));
  }
  Image image(kToolbarImageSize, kToolbarImageSize);
  {
    auto canvas = CreateImageCanvas(image);
    switch (which) {
      case ToolbarImage::Merge:
        DrawMerge(*canvas);
        break;
      case ToolbarImage::Split:
        DrawSplit(*canvas);
        break;
      case ToolbarImage::SortAscending:
        DrawSort(*canvas, true);
        break;
      case ToolbarImage::SortDescending:
        DrawSort(*canvas, false);
        break;
      default:
        break;
    }
  }
  return image;
}

}  // namespace

const Image& ToolbarImageOf(ToolbarImage which) {
  static const Image kEmpty;
  const auto index = static_cast<unsigned>(which);
  if (index >= kToolbarImageCount) return kEmpty;
  static std::array<Image, kToolbarImageCount> images;
  static std::once_flag once;
  std::call_once(once, [] {
    for (int i = 0; i < kToolbarImageCount; ++i) images[i] = Make(static_cast<ToolbarImage>(i));
  });
  return images[index];
}

const char* ToolbarImageSource(ToolbarImage which) {
  const auto index = static_cast<unsigned>(which);
  return index < kToolbarImageCount ? toolbar::kThemeIcons[index].file : nullptr;
}

}  // namespace ui
