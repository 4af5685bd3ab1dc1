#pragma once
// The number-pattern language and the general (shortest) number form.
#include <string>
#include <string_view>

namespace workbook {

// Applies a number pattern: "0" digit always shown, "#" digit shown when significant, "." the
// decimal separator, "," in the integer digits turns on grouping, "E+0"/"E-0" scientific with at
// least that many exponent digits, quoted text copied, any other character copied. Every "$"
// becomes the system currency string first. Literal text before the first digit placeholder
// leads, literal text after it follows; a negative value gets "-" in front.
std::string FormatNumberPattern(std::string_view pattern, double value);

// Shortest decimal form with at most `significant` digits; scientific notation when the integer
// part needs more digits than that or the magnitude is below 0.00001, the exponent then written
// with at least minExponentDigits digits, and with exponentPlus a "+" before a positive one
// (display text: "1.2345679E+08"; the stored decimal text of a number keeps "1E20").
std::string GeneralNumberText(double value, int significant, int minExponentDigits,
                              bool exponentPlus = false);

// Fixed notation with exactly `decimals` decimals (half away from zero), no grouping.
std::string FixedNumberText(double value, int decimals);

}  // namespace workbook
