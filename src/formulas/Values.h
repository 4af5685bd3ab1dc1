#pragma once
// Conversions between texts and values as the formula engine sees them. The rules are the
// workbook's (number texts, boolean words, date-time texts, the shortest decimal text); this
// header adds what only the engine needs: the comparison of two value texts. Numbers are
// computed and read as exact doubles; only the texts made from them (for `&`, comparisons
// and display) keep 15 significant digits.
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

// Compares two value texts as the comparison operators do: as numbers when the right one is a
// number text and the left one is empty or a number text; as 1/0 when both are Boolean words;
// otherwise as texts without regard to case. Returns <0, 0, >0.
int CompareValueTexts(std::string_view left, std::string_view right);

}  // namespace formulas
