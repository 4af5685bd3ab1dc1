#pragma once
// The toolbar images taken from the icon theme, as the build's generator writes them: one slot
// per ui::ToolbarImage, each 16 x 16 straight RGBA pixels (four bytes, rows top to bottom), or
// null where the theme has no fitting icon and the library draws the image itself.
namespace ui::toolbar {

constexpr int kThemeIconSlots = 18;

struct ThemeIcon {
  const char* file;           // the theme file the pixels came from, relative to its folder
  const unsigned char* rgba;  // 16 * 16 * 4 bytes, or null
};

extern const ThemeIcon kThemeIcons[kThemeIconSlots];

}  // namespace ui::toolbar
