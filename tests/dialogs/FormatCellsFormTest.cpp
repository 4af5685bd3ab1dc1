// The Format Cells form as a user meets it on the headless backend: the category radio group
// and the colour grids driven by clicks, keys and answers into a real book, the border
// buttons' glyphs, and a golden picture of every page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "dialogs/BorderGlyphs.h"
#include "dialogs/FormatCellsModel.h"
#include "dialogs/TSSStyleDesigner.h"
#include "ui/BasicControls.h"
#include "ui/ColorGrid.h"
#include "ui/CommandList.h"
#include "ui/Image.h"
#include "ui/ListBox.h"
#include "ui/ModalForm.h"
#include "ui/TabControl.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/Workbook.h"

namespace {

using dialogs::TSSStyleDesigner;
using ui::headless::HeadlessInput;
using workbook::TRect;

ui::Point CentreOf(const ui::Control& c, const ui::Rect& r) {
  return c.ToForm(ui::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void Press(ui::Form& form, const char* key) { HeadlessInput::Key(&form, *ui::ParseShortcut(key)); }

// Runs the dialog over `cells` of a fresh book with `user` playing in the modal hook, then
// answers `button`; returns the book for checks.
struct Session {
  workbook::Workbook book;
  workbook::TSSBookSheet& sheet = book.Sheets(0);
  bool Run(const TRect& cells, const std::function<void(TSSStyleDesigner&, ui::Form&)>& user,
           const char* button = "OK", const char* answer = "") {
    TSSStyleDesigner designer(nullptr);
    ui::SetModalFormHook([&](ui::Form& form) { user(designer, form); });
    ui::headless::HeadlessBackend::Instance().QueueAnswer(button, answer);
    const bool ok = designer.Execute(cells, &sheet);
    ui::SetModalFormHook(nullptr);
    return ok;
  }
  workbook::StyleEntry Entry(int32_t col, int32_t row) {
    return sheet.CellObject(col, row)->Style().Working();
  }
};

TEST(FormatCellsForm, CategoryRadiosAndColourGridsReachTheCells) {
  Session s;
  s.sheet.CellObject(0, 0)->Style().SetFormatCode(14);  // opens on Date/Time
  const bool ok = s.Run(
      TRect{0, 0, 1, 1},
      [](TSSStyleDesigner& d, ui::Form& form) {
        auto radio = [&](const char* name) { return static_cast<ui::RadioButton*>(d.Find(name)); };
        EXPECT_TRUE(radio("rbDateTime")->Checked());
        EXPECT_FALSE(radio("rbGeneral")->Checked());
        // Up from Date/Time moves to Currency and chooses it (its first item, code 5), and a
        // click on Number then unchecks Currency.
        radio("rbDateTime")->SetFocus();
        Press(form, "Up");
        EXPECT_TRUE(radio("rbCurrency")->Checked());
        EXPECT_FALSE(radio("rbDateTime")->Checked());
        EXPECT_EQ(d.Model().Format(), 5);
        HeadlessInput::Click(form, CentreOf(*radio("rbNumber"), radio("rbNumber")->ClientRect()));
        EXPECT_FALSE(radio("rbCurrency")->Checked());
        EXPECT_EQ(d.Model().Format(), 1);

        // Border colour: a click on the red swatch (palette index 2), then Outline in thin lines.
        d.ShowPage("tbsBorder");
        auto* lines = static_cast<ui::ColorGrid*>(d.Find("cbxBorderColor"));
        EXPECT_EQ(lines->ItemIndex(), 56) << "automatic border colour";
        HeadlessInput::Click(form, CentreOf(*lines, lines->ItemRect(2)));
        EXPECT_EQ(lines->ItemIndex(), 2);
        EXPECT_EQ(d.Model().BorderColor(), 2);
        // The line-style chooser by keys: from "None" (first column, first row) down to the
        // end of the first column (thin), right to double, up to thick, back to thin.
        d.Find("drwgLineStyle")->SetFocus();
        for (int i = 0; i < 8; ++i) Press(form, "Down");
        EXPECT_EQ(d.Model().LineStyle(), workbook::lsThin);
        Press(form, "Right");
        EXPECT_EQ(d.Model().LineStyle(), workbook::lsDouble);
        Press(form, "Up");
        EXPECT_EQ(d.Model().LineStyle(), workbook::lsThick);
        Press(form, "Left");
        Press(form, "Down");
        EXPECT_EQ(d.Model().LineStyle(), workbook::lsThin);
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "btnOuter", "click"));

        // Fill: keys move over the grid (Right, then Down a row of eight), End reaches automatic.
        d.ShowPage("tbsPatterns");
        auto* fill = static_cast<ui::ColorGrid*>(d.Find("cplPatColor"));
        EXPECT_EQ(fill->ItemIndex(), 56);
        HeadlessInput::Click(form, CentreOf(*fill, fill->ItemRect(0)));
        Press(form, "Right");
        Press(form, "Down");
        EXPECT_EQ(fill->ItemIndex(), 9);
        EXPECT_EQ(d.Model().FillColor(), 9);
        Press(form, "End");
        EXPECT_EQ(d.Model().FillColor(), dialogs::kAutomaticColor);
        Press(form, "Up");  // from automatic to the first swatch of the last row
        EXPECT_EQ(fill->ItemIndex(), 48);
        // A click outside every swatch chooses nothing new.
        HeadlessInput::Click(form, fill->ToForm(ui::Point{fill->Width() - 1, 0}));
        EXPECT_EQ(fill->ItemIndex(), 48);
        // Answers: an index out of range is refused, automatic pattern colour means palette 0.
        EXPECT_FALSE(ui::SetControlFromAnswer(form, "cbxPatternColor", "57"));
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "cbxPatternColor", "56"));
      },
      "OK", "cbxPattern=2;cplPatColor=12");
  ASSERT_TRUE(ok);
  for (int32_t col = 0; col <= 1; ++col) {
    for (int32_t row = 0; row <= 1; ++row) {
      const workbook::StyleEntry e = s.Entry(col, row);
      EXPECT_EQ(e.Format, 1);
      EXPECT_EQ(e.FillStyle, 2);
      EXPECT_EQ(e.BackgroundColor, 12);
      EXPECT_EQ(e.ForegroundColor, 0);
    }
  }
  EXPECT_EQ(s.Entry(0, 0).Borders[workbook::edgeTop].Style, workbook::lsThin);
  EXPECT_EQ(s.Entry(0, 0).Borders[workbook::edgeTop].Color, 2);
  EXPECT_EQ(s.Entry(1, 1).Borders[workbook::edgeLeft].Style, workbook::lsDefault)
      << "the inside lines were not touched";

  // Enter on a check box presses OK, which applies the word wrap just ticked.
  {
    Session entered;
    TSSStyleDesigner designer(nullptr);
    ui::SetModalFormHook([&](ui::Form& form) {
      designer.ShowPage("tbsAlign");
      HeadlessInput::Click(form, CentreOf(*designer.Find("chxWordWrap"),
                                          designer.Find("chxWordWrap")->ClientRect()));
      Press(form, "Enter");
    });
    EXPECT_TRUE(designer.Execute(TRect{0, 0, 0, 0}, &entered.sheet));
    ui::SetModalFormHook(nullptr);
    EXPECT_TRUE(entered.Entry(0, 0).WordBreak);
  }

  // Cancel after choices writes nothing.
  Session cancelled;
  EXPECT_FALSE(cancelled.Run(
      TRect{0, 0, 0, 0},
      [](TSSStyleDesigner&, ui::Form& form) {
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "cplPatColor", "3"));
      },
      "Cancel"));
  EXPECT_NE(cancelled.Entry(0, 0).BackgroundColor, 3);
}

// The tab strip, the format list and the previews' place in the focus, from opening on a
// date format to OK.
TEST(FormatCellsForm, PagesFormatListAndPreviewsAsAUserMeetsThem) {
  Session s;
  s.sheet.CellObject(0, 0)->Style().SetFormatCode(15);  // Date/Time item 3, "d-mmm-y"
  const bool ok = s.Run(
      TRect{0, 0, 1, 1},
      [](TSSStyleDesigner& d, ui::Form& form) {
        auto* list = static_cast<ui::ListBox*>(d.Find("lbStyleTypes"));
        EXPECT_TRUE(list->Visible());
        EXPECT_EQ(list->ItemIndex(), 3) << "the loaded format is selected";
        EXPECT_EQ(d.Model().Changed(), 0) << "... without reporting a choice";
        EXPECT_EQ(d.CurrentPage(), "tbsCellStyle");

        // Each step: an input, then the page shown and the format chosen.
        struct Step {
          const char* input;  // "tab PAGE" (a click), "key KEY" or "answer NAME=VALUE"
          const char* page;
          int format;
        } steps[] = {
            {"tab tbsBorder", "tbsBorder", 15},
            {"key Ctrl+Tab", "tbsPatterns", 15},
            {"key Ctrl+Tab", "tbsCellStyle", 15},
            {"key Ctrl+Shift+Tab", "tbsPatterns", 15},
            {"key Left", "tbsBorder", 15},
            {"answer tbsAlignTab=click", "tbsAlign", 15},
            {"answer pcFormat=tbsCellStyle", "tbsCellStyle", 15},
            {"click list", "tbsCellStyle", 15},
            {"key Down", "tbsCellStyle", 16},
            {"key End", "tbsCellStyle", 47},
            {"key PageUp", "tbsCellStyle", 165},
            {"key Ctrl+PageDown", "tbsAlign", 165},
            {"answer pcFormat=0", "tbsCellStyle", 165},
            {"answer lbStyleTypes=1", "tbsCellStyle", 164},
        };
        for (const Step& step : steps) {
          const std::string input = step.input;
          const std::string arg = input.substr(input.find(' ') + 1);
          if (input.starts_with("tab ")) {
            ui::TabControl& tabs = d.Pages();
            HeadlessInput::Click(form, CentreOf(tabs, tabs.TabRect(tabs.IndexOfPage(arg))));
          } else if (input.starts_with("click ")) {
            HeadlessInput::Click(form, list->ToForm(ui::Point{10, list->ItemRect(3).top + 4}));
          } else if (input.starts_with("key ")) {
            Press(form, arg.c_str());
          } else {
            const size_t eq = arg.find('=');
            EXPECT_TRUE(ui::SetControlFromAnswer(form, arg.substr(0, eq), arg.substr(eq + 1)))
                << input;
          }
          EXPECT_EQ(d.CurrentPage(), step.page) << input;
          EXPECT_EQ(d.Model().Format(), step.format) << input;
        }
        EXPECT_TRUE(d.Model().Touched(dialogs::kTagFormat));

        // General hides the list; Text keeps it hidden.
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "rbGeneral", "1"));
        EXPECT_FALSE(list->Visible());
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "rbText", "1"));
        EXPECT_FALSE(list->Visible());
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "rbDateTime", "1"));
        EXPECT_EQ(list->ItemIndex(), 0);
        EXPECT_EQ(d.Model().Format(), 14);

        // The previews are outside the focus; the line-style chooser, which takes keys, is in.
        d.ShowPage("tbsBorder");
        std::string order;
        for (const ui::Control* c : form.TabOrder()) order += c->Name() + " ";
        for (const char* preview : {"ppPaintBorders", "ppFontPaint", "ppPattern"})
          EXPECT_EQ(order.find(preview), std::string::npos) << preview;
        EXPECT_NE(order.find("drwgLineStyle"), std::string::npos);
        // A click on the preview sets the top line and leaves the focus where it was.
        ui::Control* before = form.ActiveControl();
        d.Model().SetLineStyle(workbook::lsThin);
        ui::Control* preview = d.Find("ppPaintBorders");
        const ui::Rect top = d.Model().HorzEdgeRect(0);
        HeadlessInput::Click(form, CentreOf(*preview, top));
        EXPECT_EQ(form.ActiveControl(), before);
        EXPECT_EQ(d.Model().HorzEdge(0).style, workbook::lsThin);
      },
      "OK");
  ASSERT_TRUE(ok);
  EXPECT_EQ(s.Entry(1, 1).Format, 14);
  EXPECT_EQ(s.Entry(0, 0).Borders[workbook::edgeTop].Style, workbook::lsThin);
}

TEST(FormatCellsForm, BorderGlyphsDrawTheLinesTheirButtonsSet) {
  constexpr int kSize = 18;
  constexpr int lo = 1, hi = kSize - 2, mid = kSize / 2;
  // Probes a little off each line's middle so that the crossing lines do not answer for it.
  const struct {
    const char* line;
    int x, y;
  } probes[] = {{"top", mid - 3, lo},  {"middle row", mid - 3, mid},    {"bottom", mid - 3, hi},
                {"left", lo, mid - 3}, {"middle column", mid, mid - 3}, {"right", hi, mid - 3}};
  const struct {
    int tag;
    const char* solid;  // one letter per probe: 1 solid, 0 guide
  } cases[] = {{dialogs::kTagNone, "000000"},    {dialogs::kTagOutline, "101101"},
               {dialogs::kTagInside, "010010"},  {dialogs::kTagTop, "100000"},
               {dialogs::kTagVMiddle, "010000"}, {dialogs::kTagBottom, "001000"},
               {dialogs::kTagLeft, "000100"},    {dialogs::kTagMiddle, "000010"},
               {dialogs::kTagRight, "000001"}};
  for (const auto& c : cases) {
    const ui::Image glyph = dialogs::BorderGlyph(c.tag, kSize);
    ASSERT_EQ(glyph.Width(), kSize);
    for (int i = 0; i < 6; ++i) {
      const auto& p = probes[i];
      const bool solid = c.solid[i] == '1';
      // Guides are dotted along their line: the probe moved onto a dot is grey, the pixel
      // after it clear.
      const bool horizontal = i < 3;
      const int x = horizontal ? p.x - (p.x - lo) % 2 : p.x;
      const int y = horizontal ? p.y : p.y - (p.y - lo) % 2;
      EXPECT_EQ(glyph.At(x, y), (solid ? ui::Rgba{0, 0, 0, 255} : ui::Rgba{160, 160, 160, 255}))
          << "tag " << c.tag << ", " << p.line;
      const ui::Rgba next = glyph.At(horizontal ? x + 1 : x, horizontal ? y : y + 1);
      EXPECT_EQ(next.a, solid ? 255 : 0) << "tag " << c.tag << ", " << p.line;
    }
    EXPECT_EQ(glyph.At(mid - 3, mid - 3).a, 0) << "inside a cell stays clear";
  }
  EXPECT_TRUE(dialogs::BorderGlyph(dialogs::kTagFillColor, kSize).IsEmpty());
  EXPECT_EQ(dialogs::BorderGlyph(dialogs::kTagTop, 2).Width(), 7);
}

TEST(FormatCellsForm, EveryPageMatchesItsGoldenPicture) {
  Session s;
  s.sheet.CellObject(0, 0)->Style().Brush().SetAll(workbook::fsGray50, 5, 2);
  s.Run(
      TRect{0, 0, 1, 1},
      [](TSSStyleDesigner& d, ui::Form& form) {
        d.Model().SetLineStyle(workbook::lsMedium);
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "cbxBorderColor", "2"));
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "btnOuter", "click"));
        // A Number item far enough down for the list to scroll.
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "rbNumber", "1"));
        EXPECT_TRUE(ui::SetControlFromAnswer(form, "lbStyleTypes", "13"));
        const char* out = std::getenv("SS_TEST_OUTPUT");
        const char* data = std::getenv("SS_TEST_DATA");
        // Each page as a click on its tab leaves it: the strip has the focus.
        for (const char* page : {"tbsCellStyle", "tbsAlign", "tbsBorder", "tbsPatterns"}) {
          ui::TabControl& tabs = d.Pages();
          HeadlessInput::Click(form, CentreOf(tabs, tabs.TabRect(tabs.IndexOfPage(page))));
          EXPECT_EQ(d.CurrentPage(), page);
          const ui::Image picture = ui::headless::FormRenderer::Render(form);
          const std::string file = std::string("format_cells_") + page + ".png";
          ui::WritePng(picture, (std::filesystem::path(out ? out : ".") / file).string());
          const std::filesystem::path golden =
              std::filesystem::path(data ? data : "tests/data") / "dialogs" / file;
#ifndef _WIN32
          if (std::getenv("SS_UPDATE_GOLDEN")) {
            ASSERT_TRUE(ui::WritePng(picture, golden.string()));
            continue;
          }
          std::string error;
          const ui::Image expected = ui::ReadPng(golden.string(), &error);
          ASSERT_FALSE(expected.IsEmpty()) << error;
          EXPECT_TRUE(expected == picture) << "page " << page << " differs from " << golden;
#endif
        }
      },
      "Cancel");
}

}  // namespace
