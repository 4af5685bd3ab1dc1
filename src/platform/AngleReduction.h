#pragma once
// Reduction of a large angle modulo pi/2 with the bits of 2/pi (Payne and Hanek).
#include "platform/DoubleDouble.h"

namespace platform::math {

struct Reduced {
  int quadrant = 0;        // k mod 4
  DoubleDouble remainder;  // x - k pi/2, |remainder| <= pi/4, to about 106 bits
};

// x finite and at least 1 (meant for the arguments the three-part subtraction cannot take).
Reduced ReduceLargeAngle(double x);

}  // namespace platform::math
