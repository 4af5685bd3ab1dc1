#pragma once
// Conversions between texts and values as the formula engine sees them. The rules are the
// workbook's (number texts, boolean words, date-time texts, the shortest decimal text); this
// header adds what only the engine needs: the comparison of two value texts and the value a
// number keeps after a trip through its text.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/SSUtils.h"

namespace formulas {

using workbook::IsBooleanText;
using workbook::IsNumberText;
using workbook::NumberText;
using workbook::TextToBoolean;
using workbook::TextToDateTime;
using workbook::TextToNumber;

inline std::string_view BooleanText(bool value) { return value ? "TRUE" : "FALSE"; }

// The number that NumberText(value) reads back as (15 significant digits), without building
// the text for whole numbers.
double RoundToTextGeneral(double value);
inline double RoundToText(double value) {
  // Most numbers of a sheet are whole or have at most three binary places: below 10^12 such
  // a value is a decimal of at most 15 digits, which its text keeps whole. Runs for every
  // number a formula reads, so this test stays inline.
  const double eighths = value * 8;
  if (std::fabs(value) < 1e12 && static_cast<double>(static_cast<int64_t>(eighths)) == eighths)
    return value;
  return RoundToTextGeneral(value);
}

// Compares two value texts as the comparison operators do: as numbers when the right one is a
// number text and the left one is empty or a number text; as 1/0 when both are Boolean words;
// otherwise as texts without regard to case. Returns <0, 0, >0.
int CompareValueTexts(std::string_view left, std::string_view right);

}  // namespace formulas
