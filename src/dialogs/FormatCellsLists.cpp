#include "dialogs/FormatCellsLists.h"

#include <algorithm>
#include <array>

namespace dialogs {
namespace {

constexpr std::string_view kDescriptions[kCategoryCount] = {
    "General format cells have no specific format.",
    "Number is used for general display of numbers.",
    "Currency formats are used for general monetary amounts.",
    "Date/Time formats are used for date and time serial numbers as Date/Time values.",
    "Text formatted cells are treated as text even when a number is in the cell.  The cell is "
    "displayed exactly as entered.",
};

constexpr FormatItem kNumberItems[] = {
    {"0", 1},
    {"0.00", 2},
    {"#,##0", 3},
    {"#,##0.00", 4},
    {"0%", 9},
    {"0.00%", 10},
    {"0.00E+00", 11},
    {"# ?/?", 12},
    {"# ?\?/??", 13},
    {"(#,##0_);(#,##0)", 37},
    {"(#,##0_);[Red](#,##0)", 38},
    {"(#,##0.00_);(#,##0.00)", 39},
    {"(#,##0.00_);[Red](#,##0.00)", 40},
    {"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)", 41},
    {"# #0.0E+0", 48},
};

constexpr FormatItem kCurrencyItems[] = {
    {"_($#,##0_);($#,##0)", 5},
    {"_($#,##0_);[Red]($#,##0)", 6},
    {"_($#,##0.00_);($#,##0.00)", 7},
    {"_($#,##0.00_);[Red]($#,##0.00)", 8},
    {"_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)", 42},
    {"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)", 43},
    {"_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"?\?_);_(@_)", 44},
};

constexpr FormatItem kDateTimeItems[] = {
    {"m/d/yy", 14},    {"dd/mm/yy", 164}, {"dd.mmmm.yy", 165}, {"d-mmm-y", 15},
    {"d-mmm", 16},     {"mmmm-yy", 17},   {"h:mm AM/PM", 18},  {"h:mm:ss AM/PM", 19},
    {"h:mm", 20},      {"h:mm:ss", 21},   {"m/d/yy h:mm", 22}, {"mm:ss", 45},
    {"[h]:mm:ss", 46}, {"mm:ss.ms", 47},
};

// Edge style values of the chooser, column by column.
constexpr std::array<uint8_t, kLineChooserCols* kLineChooserRows> kChooser = {
    0,  7,  4,  11, 9, 3, 1,   // None, hair, dotted, dash-dot-dot, dash-dot, dashed, thin
    12, 13, 10, 8,  2, 5, 6};  // medium dash-dot-dot, slanted, medium dash-dot, medium dashed,
                               // medium, thick, double

// By edge style value 0 (default) to 14 (none).
constexpr int kThickness[] = {1, 1, 2, 1, 1, 3, 3, 1, 2, 1, 2, 1, 2, 2, 0};

}  // namespace

std::string_view CategoryDescription(int category) {
  return category >= 0 && category < kCategoryCount ? kDescriptions[category] : std::string_view();
}

std::span<const FormatItem> FormatItems(int category) {
  switch (category) {
    case kNumber:
      return kNumberItems;
    case kCurrency:
      return kCurrencyItems;
    case kDateTime:
      return kDateTimeItems;
    default:
      return {};
  }
}

int ItemIndexOf(int category, uint16_t code) {
  const std::span<const FormatItem> items = FormatItems(category);
  const auto found = std::find_if(items.begin(), items.end(),
                                  [code](const FormatItem& i) { return i.code == code; });
  return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

int CategoryOfCode(uint16_t code) {
  if (code == kGeneralCode) return kGeneral;
  for (int category : {kCurrency, kDateTime, kNumber}) {
    if (ItemIndexOf(category, code) >= 0) return category;
  }
  return kText;
}

uint8_t LineChooserStyle(int col, int row) {
  if (col < 0 || col >= kLineChooserCols || row < 0 || row >= kLineChooserRows) return 0;
  return kChooser[static_cast<size_t>(col * kLineChooserRows + row)];
}

int LineThickness(uint8_t style) { return style < std::size(kThickness) ? kThickness[style] : 0; }

}  // namespace dialogs
