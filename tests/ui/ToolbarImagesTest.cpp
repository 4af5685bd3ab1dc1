// The toolbar images: every button has a real 16-pixel picture, no two alike, the theme's
// files where the theme has one and drawn pictures for the others.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/ToolbarImages.h"

namespace ui {
namespace {

TEST(ToolbarImages, EveryButtonHasItsOwnPicture) {
  struct Expect {
    ToolbarImage image;
    const char* file;  // null: drawn
  };
  const Expect expected[] = {
      {ToolbarImage::Open, "actions/document-open.png"},
      {ToolbarImage::Save, "actions/document-save.png"},
      {ToolbarImage::Cut, "actions/edit-cut.png"},
      {ToolbarImage::New, "actions/document-new.png"},
      {ToolbarImage::Copy, "actions/edit-copy.png"},
      {ToolbarImage::Paste, "actions/edit-paste.png"},
      {ToolbarImage::AlignLeft, "actions/format-justify-left.png"},
      {ToolbarImage::AlignCenter, "actions/format-justify-center.png"},
      {ToolbarImage::AlignRight, "actions/format-justify-right.png"},
      {ToolbarImage::Bold, "actions/format-text-bold.png"},
      {ToolbarImage::Italic, "actions/format-text-italic.png"},
      {ToolbarImage::Underline, "actions/format-text-underline.png"},
      {ToolbarImage::StrikeOut, "actions/format-text-strikethrough.png"},
      {ToolbarImage::Merge, nullptr},
      {ToolbarImage::Split, nullptr},
      {ToolbarImage::SortAscending, nullptr},
      {ToolbarImage::SortDescending, nullptr},
      {ToolbarImage::FormatCells, "actions/document-properties.png"},
  };
  static_assert(std::size(expected) == kToolbarImageCount);
  for (const auto& e : expected) {
    const Image& image = ToolbarImageOf(e.image);
    const char* source = ToolbarImageSource(e.image);
    if (e.file) {
      ASSERT_NE(source, nullptr) << int(e.image);
      EXPECT_STREQ(source, e.file);
    } else {
      EXPECT_EQ(source, nullptr) << int(e.image);
    }
    ASSERT_EQ(image.Width(), kToolbarImageSize);
    ASSERT_EQ(image.Height(), kToolbarImageSize);
    int opaque = 0, transparent = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        opaque += image.At(x, y).a >= 200;
        transparent += image.At(x, y).a == 0;
      }
    // A picture on a transparent ground: some ink, some ground.
    EXPECT_GE(opaque, 20) << int(e.image);
    EXPECT_GE(transparent, 8) << int(e.image);
  }
  for (int i = 0; i < kToolbarImageCount; ++i)
    for (int j = i + 1; j < kToolbarImageCount; ++j)
      EXPECT_NE(ToolbarImageOf(static_cast<ToolbarImage>(i)),
                ToolbarImageOf(static_cast<ToolbarImage>(j)))
          << i << " and " << j << " are the same picture";
  EXPECT_TRUE(ToolbarImageOf(static_cast<ToolbarImage>(kToolbarImageCount)).IsEmpty());
}

}  // namespace
}  // namespace ui
