#include "plugin/TextConventions.h"

#include <cstdio>
#include <optional>

namespace plugin {

namespace {

std::optional<int32_t> TryParseInt(const std::string& text) {
  size_t at = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    at = 1;
  }
  if (at >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; at < text.size(); ++at) {
    char c = text[at];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

int Clamp(int32_t value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

}  // namespace

int32_t ParseIntParam(const std::string& text) {
  std::optional<int32_t> value = TryParseInt(text);
  if (!value) throw ParameterError("'" + text + "' is not a valid integer value");
  return *value;
}

int32_t ParseIntParam(const std::string& text, const std::string& emptyDefault) {
  return ParseIntParam(text.empty() ? emptyDefault : text);
}

std::string FormatThreeDigits(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%.3d", value);
  return buffer;
}

std::string FormatColorString(ColorValue color) {
  return FormatThreeDigits(static_cast<int32_t>(color & 0xFF)) +
         FormatThreeDigits(static_cast<int32_t>((color >> 8) & 0xFF)) +
         FormatThreeDigits(static_cast<int32_t>((color >> 16) & 0xFF));
}

ColorValue ParseColorString(const std::string& text, const std::string& defaultText,
                            ColorValue fallback) {
  const std::string& source = text.size() == 9 ? text : defaultText;
  if (source.size() != 9) return fallback;
  std::optional<int32_t> red = TryParseInt(source.substr(0, 3));
  std::optional<int32_t> green = TryParseInt(source.substr(3, 3));
  std::optional<int32_t> blue = TryParseInt(source.substr(6, 3));
  if (!red || !green || !blue) return fallback;
  return MakeColor(Clamp(*red), Clamp(*green), Clamp(*blue));
}

}  // namespace plugin
