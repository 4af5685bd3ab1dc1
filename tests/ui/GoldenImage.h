#pragma once
// Golden pictures of the canvas tests: tests/data/ui/NAME.png, compared pixel by pixel.
//
// With SS_UPDATE_GOLDEN=1 in the environment the pictures are written into the source tree
// (SS_SOURCE_DIR) instead of compared; look at every one before committing it. On a mismatch
// the picture made is written to NAME.actual.png in the working directory and the failure
// names the first differing pixel and the number of differing pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/Image.h"

namespace ui::testing {

inline std::string GoldenPath(const std::string& name) {
  const char* update = std::getenv("SS_UPDATE_GOLDEN");
  const char* root = std::getenv(update && *update == '1' ? "SS_SOURCE_DIR" : "SS_TEST_DATA");
  const std::string base = root ? root : ".";
  return base + (update && *update == '1' ? "/tests/data/ui/" : "/ui/") + name + ".png";
}

inline void ExpectMatchesGolden(const Image& actual, const std::string& name) {
  const char* update = std::getenv("SS_UPDATE_GOLDEN");
  if (update && *update == '1') {
    ASSERT_TRUE(WritePng(actual, GoldenPath(name))) << GoldenPath(name);
    return;
  }
  std::string error;
  const Image golden = ReadPng(GoldenPath(name), &error);
  ASSERT_FALSE(golden.IsEmpty()) << error << " (SS_UPDATE_GOLDEN=1 writes it)";
  ASSERT_EQ(golden.Width(), actual.Width()) << name;
  ASSERT_EQ(golden.Height(), actual.Height()) << name;
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < golden.Height(); ++y)
    for (int x = 0; x < golden.Width(); ++x)
      if (!(golden.At(x, y) == actual.At(x, y))) {
        if (differing++ == 0) firstX = x, firstY = y;
      }
  if (differing > 0) {
    WritePng(actual, name + ".actual.png");
    const Rgba g = golden.At(firstX, firstY), a = actual.At(firstX, firstY);
    ADD_FAILURE() << name << ": " << differing << " pixels differ; first at (" << firstX << ", "
                  << firstY << "): golden " << int(g.r) << "," << int(g.g) << "," << int(g.b) << ","
                  << int(g.a) << " made " << int(a.r) << "," << int(a.g) << "," << int(a.b) << ","
                  << int(a.a) << " (written to " << name << ".actual.png)";
  }
}

}  // namespace ui::testing
