// Linked into the test programs that drive controls and dialogs: they answer dialogs from the
// headless backend's queue and read its dialog log, on both builds. On Windows the build's
// default backend would open real modal dialogs that nobody answers, and the test would hang
// until its time limit. The environment installs the headless backend before the first test
// (no control exists yet) and returns to the default after the last.
#include <gtest/gtest.h>

#include "ui/Backend.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

class HeadlessByDefault : public ::testing::Environment {
 public:
  void SetUp() override { ui::SetBackend(&ui::headless::HeadlessBackend::Instance()); }
  void TearDown() override { ui::SetBackend(nullptr); }
};

[[maybe_unused]] ::testing::Environment* const installed =
    ::testing::AddGlobalTestEnvironment(new HeadlessByDefault);

}  // namespace
