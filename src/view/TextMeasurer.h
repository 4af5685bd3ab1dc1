#pragma once
// How the grid measures cell texts. The layout, the editor and the painters take widths and
// heights from one measurer so that a text is laid out exactly as wide as it is painted;
// tests install fixed metrics instead of real fonts.
#include <string_view>

#include "ui/Canvas.h"

namespace workbook {
struct TSSFontRec;
}

namespace view {

// The toolkit font of a cell style's font record (the book default when null).
ui::Font CellFont(const workbook::TSSFontRec* font);

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual int Width(const ui::Font& font, std::string_view text) const = 0;
  // Height of one line ("Wg").
  virtual int LineHeight(const ui::Font& font) const = 0;
};

// The platform's font metrics (the numbers the canvas paints with).
const TextMeasurer& PlatformMeasurer();

// Every character `charWidth` pixels, every line `lineHeight` pixels, whatever the font.
class FixedMeasurer : public TextMeasurer {
 public:
  FixedMeasurer(int charWidth, int lineHeight) : charWidth_(charWidth), lineHeight_(lineHeight) {}
  int Width(const ui::Font&, std::string_view text) const override {
    return static_cast<int>(text.size()) * charWidth_;
  }
  int LineHeight(const ui::Font&) const override { return lineHeight_; }

 private:
  int charWidth_;
  int lineHeight_;
};

}  // namespace view
