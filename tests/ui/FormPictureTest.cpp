// A headless form rendered through the canvas: the picture of a form with a few controls,
// written to the build tree for a look, and the pixels that show each control's state.
#include <gtest/gtest.h>

#include <filesystem>

#include "UiTestForm.h"
#include "ui/headless/FormRenderer.h"

namespace {

TEST(FormPicture, ControlsPaintTheirStateIntoTheFormsPicture) {
  uitest::TestForm t;
  t.cell->SetColor(ui::colors::kAqua);
  t.cell->SetCaption("");
  t.text->SetText("Hello, grid");
  t.flag->SetChecked(true);
  t.grid->OnPaint = [&](ui::Canvas& canvas) {
    canvas.FillRect(t.grid->ClientRect(), ui::colors::kWhite);
    canvas.FillRect(ui::Rect{10, 10, 60, 30}, ui::Color{200, 0, 0});
  };
  t.grid->SetScrollBar(ui::ScrollBarKind::Vertical, {0, 1000, 100, 500, true});
  std::vector<ui::Image> images;
  for (ui::Color c : {ui::Color{0, 0, 200}, ui::Color{0, 150, 0}}) {
    ui::Image image(16, 16);
    for (int y = 2; y < 14; ++y) {
      for (int x = 2; x < 14; ++x) image.Set(x, y, ui::Rgba{c.r, c.g, c.b, 255});
    }
    images.push_back(image);
  }
  t.bar->SetImages(images);
  t.bar->FindButton("new")->SetImageIndex(0);
  t.bar->FindButton("bold")->SetImageIndex(1);
  t.bar->FindButton("center")->SetDown(true);
  t.text->SetFocus();

  ui::Image picture = ui::headless::FormRenderer::Render(t.form);
  ASSERT_EQ(picture.Width(), 320);
  ASSERT_EQ(picture.Height(), 200);
  const char* dir = std::getenv("SS_TEST_OUTPUT");
  std::filesystem::path out =
      std::filesystem::path(dir != nullptr ? dir : ".") / "ui_form_picture.png";
  EXPECT_TRUE(ui::WritePng(picture, out.string()));

  auto at = [&](const ui::Control& c, int dx, int dy) {
    ui::Point p = c.ToForm(ui::Point{dx, dy});
    return picture.At(p.x, p.y).ToColor();
  };
  auto atButton = [&](const char* name, int dx, int dy) {
    const ui::Rect& b = t.bar->FindButton(name)->Bounds();
    ui::Point p = t.bar->ToForm(ui::Point{b.left + dx, b.top + dy});
    return picture.At(p.x, p.y).ToColor();
  };
  struct Probe {
    const char* what;
    ui::Color actual;
    ui::Color expected;
  } probes[] = {
      {"form background", picture.At(300, 70).ToColor(), ui::colors::kButtonFace},
      {"aqua cell panel", at(*t.cell, 30, 12), ui::colors::kAqua},
      {"edit interior", at(*t.text, t.text->Width() - 5, 10), ui::colors::kWhite},
      {"grid drawing", at(*t.grid, 30, 20), (ui::Color{200, 0, 0})},
      {"grid background", at(*t.grid, 100, 80), ui::colors::kWhite},
      {"new button image", atButton("new", 11, 11), (ui::Color{0, 0, 200})},
      {"bold button image", atButton("bold", 11, 11), (ui::Color{0, 150, 0})},
      {"down button face", atButton("center", 3, 3), ui::colors::kHotTrack},
      {"up button face", atButton("right", 3, 3), ui::colors::kButtonFace},
      {"check mark", at(*t.flag, 6, t.flag->Height() / 2 + 1), ui::colors::kWindowText},
      {"scroll bar track", at(*t.grid, t.grid->Width() - 8, 30), (ui::Color{225, 225, 225})},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(p.actual, p.expected)
        << p.what << ": " << int(p.actual.r) << "," << int(p.actual.g) << "," << int(p.actual.b);
  }
  // The edit's text is drawn: some dark pixels in the text area.
  int dark = 0;
  for (int x = 3; x < 80; ++x) {
    for (int y = 4; y < 16; ++y) {
      ui::Color c = at(*t.text, x, y);
      if (c.r < 100 && c.g < 100 && c.b < 100) ++dark;
    }
  }
  EXPECT_GT(dark, 20);
}

}  // namespace
