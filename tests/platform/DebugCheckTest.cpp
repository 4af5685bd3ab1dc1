// SS_DCHECK: on in debug and sanitizer builds (aborting with the place and the message), and
// in builds with NDEBUG compiled out without evaluating its condition.
#include <gtest/gtest.h>

#include "platform/DebugCheck.h"

namespace {

TEST(DebugCheck, EvaluatesItsConditionOnlyWhereChecksAreOn) {
  int evaluated = 0;
  SS_DCHECK(++evaluated > 0, "the condition holds");
#if defined(NDEBUG) && !defined(SS_DCHECK_ALWAYS)
  EXPECT_EQ(evaluated, 0);
#else
  EXPECT_EQ(evaluated, 1);
#endif
}

#if !defined(NDEBUG) || defined(SS_DCHECK_ALWAYS)
// GoogleTest matches death messages with POSIX regular expressions on Linux and with its own
// simple ones on Windows, which know no bracket expressions.
#if GTEST_USES_SIMPLE_RE
#define SS_LINE_NUMBER "\\d+"
#else
#define SS_LINE_NUMBER "[0-9]+"
#endif
TEST(DebugCheckDeathTest, AFalseConditionAbortsNamingThePlaceAndTheMessage) {
  const int live = 2;
  EXPECT_DEATH(SS_DCHECK(live == 0, "the pool is empty"),
               "DebugCheckTest.cpp:" SS_LINE_NUMBER
               ": check failed: live == 0 \\(the pool is empty\\)");
}
#endif

}  // namespace
