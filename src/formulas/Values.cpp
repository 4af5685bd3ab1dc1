#include "formulas/Values.h"

#include "platform/CodePage.h"

namespace formulas {

int CompareValueTexts(std::string_view left, std::string_view right) {
  double l = 0, r = 0;
  if (TextToNumber(right, r) && (left.empty() || TextToNumber(left, l))) {
    if (left.empty()) l = 0;
    return l < r ? -1 : (l > r ? 1 : 0);
  }
  bool lb = false, rb = false;
  if (TextToBoolean(left, lb) && TextToBoolean(right, rb)) return int(lb) - int(rb);
  const int order = platform::AnsiCompareText(left, right);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace formulas
