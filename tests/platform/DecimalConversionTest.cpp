// The decimal reader against the C library's correctly rounded strtod (on glibc), on random
// texts of every length and exponent, exact midpoints between neighbouring doubles and the
// texts one digit above and below them, subnormals and the overflow threshold; and fixed
// bits that every build must give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "platform/DecimalConversion.h"

namespace platform::math {
namespace {

uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

#ifdef __GLIBC__
void ExpectSameAsLibrary(const std::string& text) {
  double ours = 0;
  const DecimalRead r = ReadDecimal(text, ours);
  const double theirs = std::strtod(text.c_str(), nullptr);
  if (std::isinf(theirs)) {
    EXPECT_EQ(r, DecimalRead::Overflow) << text;
    return;
  }
  ASSERT_EQ(r, DecimalRead::Ok) << text;
  ASSERT_EQ(Bits(ours), Bits(theirs)) << text << ": " << ours << " vs " << theirs;
}

TEST(DecimalConversion, RandomTextsReadAsTheLibraryReadsThem) {
  std::mt19937_64 rng(42);
  for (int i = 0; i < 30000; ++i) {
    std::string t = (rng() & 1) ? "-" : "";
    const int digits = 1 + static_cast<int>(rng() % (i % 10 == 0 ? 60 : 20));
    const int point = static_cast<int>(rng() % (digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) t += '.';
      t += static_cast<char>('0' + rng() % 10);
    }
    t += "e" + std::to_string(static_cast<int>(rng() % 700) - 360);
    ExpectSameAsLibrary(t);
  }
  // Texts of doubles at 15, 16, 17 and 25 digits, which must come back exactly.
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = rng() & 0x7FEFFFFFFFFFFFFFull;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    for (int precision : {15, 16, 17, 25}) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*e", precision - 1, x);
      ExpectSameAsLibrary(buf);
    }
  }
}

TEST(DecimalConversion, WholeNumberTiesOfUpToNineteenDigits) {
  // Integers halfway between two doubles and one either side: short enough for the
  // double-double estimate, which must hand every tie to the exact path.
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> magnitude(53.5, 63);
  for (int i = 0; i < 5000; ++i) {
    const double lo = std::floor(std::exp2(magnitude(rng)));
    const double hi = std::nextafter(lo, std::numeric_limits<double>::infinity());
    const uint64_t mid = (static_cast<uint64_t>(lo) + static_cast<uint64_t>(hi)) / 2;
    for (uint64_t v : {mid - 1, mid, mid + 1}) ExpectSameAsLibrary(std::to_string(v));
    ExpectSameAsLibrary(std::to_string(mid) + "e-5");
  }
}

TEST(DecimalConversion, MidpointsAndTheirNeighboursRoundAsTheLibraryRounds) {
  // The exact decimal of a midpoint between two doubles (exact in long double), and that
  // text with its last digit raised and with digits appended: ties go to even, anything
  // above rounds up; far beyond the 800 kept digits the sticky digit must still decide.
  std::mt19937_64 rng(7);
  for (int i = 0; i < 3000; ++i) {
    uint64_t bits =
        (rng() & 0x000FFFFFFFFFFFFFull) | (static_cast<uint64_t>(rng() % 2046 + 1) << 52);
    if (i % 5 == 0) bits &= 0x000FFFFFFFFFFFFFull;  // subnormals
    double lo;
    std::memcpy(&lo, &bits, sizeof lo);
    const double hi = std::nextafter(lo, std::numeric_limits<double>::infinity());
    if (std::isinf(hi)) continue;
    const long double mid = (static_cast<long double>(lo) + hi) / 2;
    char buf[1200];
    std::snprintf(buf, sizeof buf, "%.1100Le", mid);
    std::string exact = buf;
    const size_t e = exact.find('e');
    std::string mantissa = exact.substr(0, e), exponent = exact.substr(e);
    while (mantissa.back() == '0') mantissa.pop_back();
    ExpectSameAsLibrary(mantissa + exponent);
    ExpectSameAsLibrary(mantissa + "000000001" + exponent);
    ExpectSameAsLibrary(mantissa + std::string(900, '0') + "1" + exponent);
    std::string below = mantissa;
    size_t k = below.size() - 1;
    while (below[k] == '0' || below[k] == '.') --k;
    below[k] = static_cast<char>(below[k] - 1);
    ExpectSameAsLibrary(below + exponent);
  }
}
#endif

TEST(DecimalConversion, FixedCasesOnEveryBuild) {
  struct Case {
    const char* text;
    DecimalRead result;
    uint64_t bits;
  };
  const Case cases[] = {
      {"0", DecimalRead::Ok, 0},
      {"-0", DecimalRead::Ok, 0x8000000000000000},
      {"2.675", DecimalRead::Ok, 0x4005666666666666},
      {"0.1", DecimalRead::Ok, 0x3FB999999999999A},
      {"9007199254740993", DecimalRead::Ok, 0x4340000000000000},  // tie to even
      {"9007199254740995", DecimalRead::Ok, 0x4340000000000002},  // tie to even, upwards
      {"9007199254740993.0000000001", DecimalRead::Ok, 0x4340000000000001},
      {"1.7976931348623157e308", DecimalRead::Ok, 0x7FEFFFFFFFFFFFFF},
      {"1.7976931348623159e308", DecimalRead::Overflow, 0x7FF0000000000000},
      {"4.9406564584124654e-324", DecimalRead::Ok, 1},
      {"2.4703282292062328e-324", DecimalRead::Ok, 1},  // just above half
      {"2.4703282292062327e-324", DecimalRead::Ok, 0},  // just below half
      {"2.2250738585072011e-308", DecimalRead::Ok, 0x000FFFFFFFFFFFFF},
      {"1e-400", DecimalRead::Ok, 0},
      {"123456789012345678901234567890", DecimalRead::Ok, 0x45F8EE90FF6C373E},
      {"0.000001e6", DecimalRead::Ok, 0x3FF0000000000000},
      {"1e", DecimalRead::Malformed, 0},
      {"1.2.3", DecimalRead::Malformed, 0},
      {".", DecimalRead::Malformed, 0},
      {"1 ", DecimalRead::Malformed, 0},
  };
  for (const Case& c : cases) {
    double value = -1;
    EXPECT_EQ(ReadDecimal(c.text, value), c.result) << c.text;
    if (c.result != DecimalRead::Malformed) {
      EXPECT_EQ(Bits(value), c.bits) << c.text << " read as " << value;
    }
  }
}

}  // namespace
}  // namespace platform::math
