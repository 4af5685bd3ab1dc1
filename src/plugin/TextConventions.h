#pragma once
// Text conventions every action family shares: integer parameters and the nine-digit
// colour text RRRGGGBBB.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "plugin/Errors.h"

namespace plugin {

// A decimal integer with an optional sign, nothing else (no blanks, no hex), within 32 bits.
// Throws ParameterError.
int32_t ParseIntParam(const std::string& text);
// As ParseIntParam, with `emptyDefault` standing in for an empty text.
int32_t ParseIntParam(const std::string& text, const std::string& emptyDefault);

// The system's colour value: red + 256 * green + 65536 * blue.
using ColorValue = uint32_t;

inline constexpr ColorValue MakeColor(int red, int green, int blue) {
  return static_cast<ColorValue>(red) | (static_cast<ColorValue>(green) << 8) |
         (static_cast<ColorValue>(blue) << 16);
}

// "%.3d" of an integer: at least three digits, zero-padded after the sign (7 -> "007",
// -7 -> "-007", 1234 -> "1234").
std::string FormatThreeDigits(int32_t value);

// Red, green and blue of `color`, three digits each.
std::string FormatColorString(ColorValue color);

// A text whose length is not 9 is replaced by `defaultText`; the groups at 1-3, 4-6 and 7-9
// are read as integers and clamped to 0..255. When any group is not an integer the
// `fallback` colour is the result.
ColorValue ParseColorString(const std::string& text, const std::string& defaultText,
                            ColorValue fallback);

}  // namespace plugin
