#include "formulas/EngineErrors.h"

namespace formulas {

std::string_view EngineErrorText(uint8_t code) {
  static constexpr std::string_view kTexts[8] = {"",      "#NULL!", "#DIV/0!", "#VALUE!",
                                                 "#REF!", "#NAME!", "#NUM!",   "#N/A!"};
  return code < 8 ? kTexts[code] : std::string_view();
}

bool IsEngineErrorText(std::string_view text) {
  for (uint8_t code = 1; code <= 7; ++code)
    if (text == EngineErrorText(code)) return true;
  return false;
}

}  // namespace formulas
