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
TEST(DebugCheckDeathTest, AFalseConditionAbortsNamingThePlaceAndTheMessage) {
  const int live = 2;
  EXPECT_DEATH(SS_DCHECK(live == 0, "the pool is empty"),
               "DebugCheckTest.cpp:[0-9]+: check failed: live == 0 \\(the pool is empty\\)");
}
#endif

}  // namespace
