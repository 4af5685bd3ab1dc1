#pragma once
// The fixed content of the Format Cells dialog: the category descriptions, the format lists
// of the Number, Currency and Date/Time categories, the line-style chooser's grid and the
// pixel thickness of every line style.
#include <cstdint>
#include <span>
#include <string_view>

namespace dialogs {

enum FormatCategory : int { kGeneral = 0, kNumber = 1, kCurrency = 2, kDateTime = 3, kText = 4 };
constexpr int kCategoryCount = 5;
constexpr uint16_t kGeneralCode = 0;
constexpr uint16_t kTextCode = 49;

struct FormatItem {
  std::string_view text;
  uint16_t code;
};

std::string_view CategoryDescription(int category);
// The items a category lists (empty for General and Text).
std::span<const FormatItem> FormatItems(int category);
// The category a stored format code opens on.
int CategoryOfCode(uint16_t code);
// The index of `code` in the category's list, -1 when it is not there.
int ItemIndexOf(int category, uint16_t code);

// The line-style chooser: 2 columns of 7 cells, read column by column; cell 0 is "None"
// (style 0).
constexpr int kLineChooserCols = 2;
constexpr int kLineChooserRows = 7;
uint8_t LineChooserStyle(int col, int row);
// Pixels a line of this edge style is thick (0 for lsNone and unknown styles).
int LineThickness(uint8_t style);

}  // namespace dialogs
