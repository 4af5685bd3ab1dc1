#include "xls/biff/SizeUnits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/Locale.h"

namespace xls {

namespace {
int Round(double v) { return static_cast<int>(std::lround(v)); }
uint16_t Field(double v, int max) {
  return static_cast<uint16_t>(std::clamp<long>(std::lround(v), 0, max));
}
double Positive(double scale) { return scale > 0 ? scale : 1.0; }
}  // namespace

int DefColWidthToPixels(uint16_t characters, double scale) {
  return Round(characters * 8.38 * scale);
}
uint16_t PixelsToDefColWidth(int pixels) { return Field(pixels / 8.38, 255); }
int StandardWidthToPixels(uint16_t width, double scale) {
  return Round(width / 262.0 * 8.25 * scale);
}
int ColInfoWidthToPixels(uint16_t width, double scale) { return Round(width / 36.6 * scale); }
uint16_t PixelsToColInfoWidth(int pixels, double scale) {
  return Field(pixels * 36.6 / Positive(scale), 0xFFFF);
}
int RowHeightToPixels(uint16_t height, double scale) {
  return Round((height & 0x7FFF) / 20.0 * 1.325 * scale);
}
uint16_t PixelsToRowHeight(int pixels, double scale) {
  return Field(pixels * 20.0 / (Positive(scale) * 1.325), 0x7FFF);
}
int DefaultRowHeightToPixels(uint16_t height) { return Round(height / 12.7); }

std::string ShortestNumberText(double value) {
  if (value == 0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  std::string text(buf, ec == std::errc() ? end : buf);
  const char dec = platform::Locale::Current().decimalSeparator;
  if (dec != '.') std::replace(text.begin(), text.end(), '.', dec);
  return text;
}

}  // namespace xls
