#include "view/TextMeasurer.h"

#include "platform/FontMetrics.h"
#include "workbook/SSStyleTypes.h"

namespace view {

ui::Font CellFont(const workbook::TSSFontRec* font) {
  ui::Font result;
  if (!font) return result;
  result.name = font->Name;
  result.size = font->Size;
  result.bold = font->Style & workbook::kFontBold;
  result.italic = font->Style & workbook::kFontItalic;
  result.underline = font->Style & workbook::kFontUnderline;
  result.strikeOut = font->Style & workbook::kFontStrikeOut;
  result.charset = font->Charset;
  return result;
}

namespace {

class Platform : public TextMeasurer {
 public:
  int Width(const ui::Font& font, std::string_view text) const override {
    return platform::SharedFontMetrics(font.Description()).TextWidth(text);
  }
  int LineHeight(const ui::Font& font) const override {
    return platform::SharedFontMetrics(font.Description()).Metrics().height;
  }
};

}  // namespace

const TextMeasurer& PlatformMeasurer() {
  static const Platform measurer;
  return measurer;
}

}  // namespace view
