#pragma once
// Decimal text to double, correctly rounded (to nearest, ties to even) by our own code, so
// that both builds read every number text to the same bits: the 32-bit C++ runtime's reader
// multiplies in the x87 unit on its fast path, which can round twice.
#include <string_view>

namespace platform::math {

enum class DecimalRead {
  Ok,         // value holds the nearest double (0 when the number is below half the
              // smallest subnormal)
  Overflow,   // the number rounds beyond the largest double; value is infinity
  Malformed,  // not of the form below; value is 0
};

// text: an optional '-', digits with at most one '.', at least one digit, then optionally
// 'e' or 'E', an optional sign and at least one digit. Nothing else, no blanks.
DecimalRead ReadDecimal(std::string_view text, double& value);

}  // namespace platform::math
