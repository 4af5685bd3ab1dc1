#pragma once
// The 16-pixel images of the toolbar buttons. Most come from a public-domain icon theme,
// compiled in at build time (see src/ui/toolbar/); the theme has no icons for merging,
// splitting and sorting, so those four are drawn here with the canvas.
#include "ui/Image.h"

namespace ui {

enum class ToolbarImage {
  Open,
  Save,
  Cut,
  New,
  Copy,
  Paste,
  AlignLeft,
  AlignCenter,
  AlignRight,
  Bold,
  Italic,
  Underline,
  StrikeOut,
  Merge,
  Split,
  SortAscending,
  SortDescending,
  FormatCells,
};
constexpr int kToolbarImageCount = 18;
constexpr int kToolbarImageSize = 16;

// The image of a button, made on first use and kept until the process ends; values beyond the
// last image give an empty image.
const Image& ToolbarImageOf(ToolbarImage which);
// The theme file an image was taken from, or null for the images drawn here.
const char* ToolbarImageSource(ToolbarImage which);

}  // namespace ui
