#include "view/CellColors.h"

#include "ui/SystemColors.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/TCustomSpreadSheetBook.h"

namespace view {

ui::Color ResolveColor(workbook::ColorValue value) {
  if (!(value & 0x80000000u)) return ui::Color::FromColorRef(value & 0xFFFFFF);
  switch (value & 0xFF) {
    case 5:  // window
      return ui::colors::kWhite;
    case 8:   // window text
    case 18:  // button text
      return ui::colors::kWindowText;
    case 13:  // highlight
      return ui::colors::kHighlight;
    case 14:  // highlight text
      return ui::colors::kWhite;
    case 16:  // button shadow
      return ui::colors::kButtonShadow;
    case 20:  // button highlight
      return ui::colors::kButtonHighlight;
    case 17:  // gray text
      return ui::colors::kGrayText;
    default:  // button face and the rest
      return ui::colors::kButtonFace;
  }
}

ui::Color Blend(ui::Color s, ui::Color c) {
  const auto mix = [](int a, int b) {
    return static_cast<uint8_t>((a * 92 + b * 163 + 127) / 255);
  };
  return ui::Color{mix(s.r, c.r), mix(s.g, c.g), mix(s.b, c.b)};
}

bool CellColors::Refresh(TSpreadSheetBook& book) {
  const workbook::ColorPalette& palette = book.Palette();
  const std::array<workbook::ColorValue, 4> bases{book.SelectionColor, book.BackgroundColor,
                                                  book.HeaderColor, book.GridColor};
  if (valid_ && palette == palette_ && bases == bases_) return false;
  palette_ = palette;
  bases_ = bases;
  valid_ = true;
  selection_ = ResolveColor(bases[0]);
  for (size_t i = 0; i < colors_.size(); ++i) {
    colors_[i] = ResolveColor(palette[i]);
    twins_[i] = Blend(selection_, colors_[i]);
  }
  for (size_t i = 0; i < special_.size(); ++i) {
    special_[i] = ResolveColor(bases[i + 1]);
    specialTwin_[i] = Blend(selection_, special_[i]);
  }
  black_ = ui::colors::kBlack;
  blackTwin_ = Blend(selection_, black_);
  windowTextTwin_ = Blend(selection_, ui::colors::kWindowText);
  return true;
}

void CellColors::SetSpecial(int index, ui::Color color) {
  special_[static_cast<size_t>(index)] = color;
  specialTwin_[static_cast<size_t>(index)] = Blend(selection_, color);
}

ui::Color CellColors::FillBackground(workbook::TSSColor index, bool selected) const {
  if (index < workbook::kPaletteSize) return selected ? twins_[index] : colors_[index];
  return Special(kSpecialBackground, selected);
}

ui::Color CellColors::PatternColor(workbook::TSSColor index, bool selected) const {
  if (index < workbook::kPaletteSize) return selected ? twins_[index] : colors_[index];
  return selected ? blackTwin_ : black_;
}

ui::Color CellColors::LineColor(workbook::TSSColor index, bool selected) const {
  if (index < workbook::kPaletteSize) return selected ? twins_[index] : colors_[index];
  return selected ? windowTextTwin_ : ui::colors::kWindowText;
}

}  // namespace view
