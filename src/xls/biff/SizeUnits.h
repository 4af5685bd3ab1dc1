#pragma once
// Column widths and row heights: the file's units and the book's pixels. `scale` is the
// screen's vertical pixels per inch divided by 96, read once at start-up by the caller.
//   DEFCOLWIDTH     characters          pixels = round(width * 8.38 * scale)
//   STANDARDWIDTH   1/256 of a character pixels = round(width / 262 * 8.25 * scale)
//   COLINFO         1/256 of a character pixels = round(width / 36.6 * scale)
//   ROW             twips (bit 15: default) pixels = round(height / 20 * 1.325 * scale)
//   DEFAULTROWHEIGHT twips              pixels = round(height / 12.7)
// Text of numbers read from cells: the shortest decimal text that reads back as the same double.
#include <cstdint>
#include <string>

namespace xls {

int DefColWidthToPixels(uint16_t characters, double scale);
uint16_t PixelsToDefColWidth(int pixels);
int StandardWidthToPixels(uint16_t width, double scale);
int ColInfoWidthToPixels(uint16_t width, double scale);
uint16_t PixelsToColInfoWidth(int pixels, double scale);
int RowHeightToPixels(uint16_t height, double scale);
uint16_t PixelsToRowHeight(int pixels, double scale);
int DefaultRowHeightToPixels(uint16_t height);

// "12.34", "-5", "1e-07", with the system decimal separator; -0 gives "0".
std::string ShortestNumberText(double value);

}  // namespace xls
