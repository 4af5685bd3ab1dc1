// The Format Cells model against a real book: every page's settings applied through the
// sheet's FormatCells inside one undo step, the border rules of the Part (outline, inside,
// toggles, None), loading the category from a stored format, the mended faults (colour 56,
// clamped sizes, the window colour, huge and inverted rectangles), the dialog form answered
// from the queue, and a golden picture of the border preview.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/BorderPreview.h"
#include "dialogs/FormatCellsModel.h"
#include "dialogs/TSSStyleDesigner.h"
#include "ui/Canvas.h"
#include "ui/Image.h"
#include "ui/headless/HeadlessBackend.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/Workbook.h"

namespace {

using dialogs::FormatCellsModel;
using workbook::TRect;

// A dialog class that plays the user on the model instead of showing controls.
class ScriptedDialog final : public workbook::TSSFormatDialog {
 public:
  explicit ScriptedDialog(std::function<void(FormatCellsModel&)> user) : user_(std::move(user)) {}
  bool Execute(const TRect& cells, workbook::TSSBookSheet* sheet) override {
    FormatCellsModel model;
    model.Load(cells, *sheet);
    user_(model);
    model.Apply(*sheet);
    return true;
  }

 private:
  std::function<void(FormatCellsModel&)> user_;
};

struct Book {
  workbook::Workbook book;
  workbook::TSSBookSheet& sheet = book.Sheets(0);
  bool Format(const TRect& cells, std::function<void(FormatCellsModel&)> user) {
    book.FormatDialogClass = [user] { return std::make_unique<ScriptedDialog>(user); };
    return sheet.FormatCells(cells);
  }
  workbook::StyleEntry Entry(int32_t col, int32_t row) {
    return sheet.CellObject(col, row)->Style().Working();
  }
  uint8_t Edge(int32_t col, int32_t row, workbook::EdgeSide side) {
    return Entry(col, row).Borders[side].Style;
  }
};

constexpr uint8_t kThin = workbook::lsThin;

TEST(FormatCellsModel, EveryPageAppliesItsGroupsInOneUndoStep) {
  struct Case {
    const char* what;
    std::function<void(FormatCellsModel&)> user;
    std::function<bool(const workbook::StyleEntry&)> check;
  };
  const Case cases[] = {
      {"currency without an item", [](FormatCellsModel& m) { m.ChooseCategory(2); },
       [](const workbook::StyleEntry& e) { return e.Format == 5; }},
      {"text stays 49", [](FormatCellsModel& m) { m.ChooseCategory(4); },
       [](const workbook::StyleEntry& e) { return e.Format == 49; }},
      {"a date item",
       [](FormatCellsModel& m) {
         m.ChooseCategory(3);
         m.ChooseFormatItem(2);
       },
       [](const workbook::StyleEntry& e) { return e.Format == 165; }},
      {"alignments and wrap",
       [](FormatCellsModel& m) {
         m.SetHorzAlign(5);
         m.SetVertAlign(0);
         m.SetWordWrap(true);
       },
       [](const workbook::StyleEntry& e) {
         return e.HorzAlign == workbook::haJUSTIFY && e.VertAlign == workbook::vaTOP && e.WordBreak;
       }},
      {"font, size clamped, window colour from the palette",
       [](FormatCellsModel& m) {
         dialogs::FontChoice f;
         f.name = "Courier New";
         f.size = 400;
         f.style = workbook::kFontItalic;
         f.color = workbook::kSystemWindowColor;
         m.SetFont(f);
       },
       [](const workbook::StyleEntry& e) {
         return e.Font->Name == "Courier New" && e.Font->Size == 255 &&
                e.Font->Style == workbook::kFontItalic && e.Font->Color == 1;
       }},
      {"fill and pattern",
       [](FormatCellsModel& m) {
         m.SetFillColor(5);
         m.SetPattern(3, 2);
       },
       [](const workbook::StyleEntry& e) {
         return e.FillStyle == 3 && e.BackgroundColor == 5 && e.ForegroundColor == 2;
       }},
  };
  for (const Case& c : cases) {
    Book b;
    b.sheet.CellObject(1, 1)->SetText("12");
    b.sheet.CellObject(1, 1)->Style().SetHorzTextAlign(workbook::haRIGHT);
    const workbook::StyleEntry before = b.Entry(2, 2);
    const int undo = b.book.History().UndoCount();
    ASSERT_TRUE(b.Format(TRect{1, 1, 2, 2}, c.user)) << c.what;
    for (int32_t col = 1; col <= 2; ++col)
      for (int32_t row = 1; row <= 2; ++row) EXPECT_TRUE(c.check(b.Entry(col, row))) << c.what;
    // Cells outside are untouched; the whole dialog is one step.
    EXPECT_EQ(b.Entry(3, 3).Format, 0) << c.what;
    EXPECT_EQ(b.book.History().UndoCount(), undo + 1) << c.what;
    b.book.History().Undo();
    EXPECT_EQ(b.Entry(2, 2).Format, before.Format) << c.what;
    EXPECT_EQ(b.Entry(2, 2).FillStyle, before.FillStyle) << c.what;
    EXPECT_EQ(b.Entry(1, 1).HorzAlign, workbook::haRIGHT) << c.what;
  }
}

TEST(FormatCellsModel, FillOnlyLeavesEverythingElseAsItWas) {
  Book b;
  b.sheet.CellObject(1, 1)->Style().SetFormatCode(14);
  b.sheet.CellObject(2, 1)->Style().Font().SetStyle(workbook::kFontBold);
  b.sheet.CellObject(2, 2)->Style().SetEdge(workbook::edgeTop, workbook::lsThick, 2);
  b.Format(TRect{1, 1, 2, 2}, [](FormatCellsModel& m) { m.SetFillColor(6); });
  EXPECT_EQ(b.Entry(1, 1).Format, 14);
  EXPECT_EQ(b.Entry(2, 1).Font->Style, workbook::kFontBold);
  EXPECT_EQ(b.Edge(2, 2, workbook::edgeTop), workbook::lsThick);
  EXPECT_EQ(b.Entry(2, 2).BackgroundColor, 6);
}

TEST(FormatCellsModel, OutlineInsideTogglesAndNone) {
  Book b;
  // Outline thin on B2:C3: the outside edges only.
  b.Format(TRect{1, 1, 2, 2}, [](FormatCellsModel& m) {
    m.SetLineStyle(kThin);
    m.ClickBorderButton(dialogs::kTagOutline);
  });
  using workbook::edgeBottom, workbook::edgeLeft, workbook::edgeRight, workbook::edgeTop;
  for (int32_t col : {1, 2}) {
    EXPECT_EQ(b.Edge(col, 1, edgeTop), kThin);
    EXPECT_EQ(b.Edge(col, 2, edgeBottom), kThin);
    EXPECT_EQ(b.Edge(col, 1, edgeBottom), workbook::lsDefault);
  }
  for (int32_t row : {1, 2}) {
    EXPECT_EQ(b.Edge(1, row, edgeLeft), kThin);
    EXPECT_EQ(b.Edge(2, row, edgeRight), kThin);
    EXPECT_EQ(b.Edge(1, row, edgeRight), workbook::lsDefault);
  }
  // Inside adds the lines between the four cells; colour 56 is stored as automatic.
  b.Format(TRect{1, 1, 2, 2}, [](FormatCellsModel& m) {
    m.SetLineStyle(workbook::lsMedium);
    m.SetBorderColor(56);
    m.ClickBorderButton(dialogs::kTagInside);
  });
  EXPECT_EQ(b.Edge(1, 1, edgeRight), workbook::lsMedium);
  EXPECT_EQ(b.Edge(2, 2, edgeTop), workbook::lsMedium);
  EXPECT_EQ(b.Entry(2, 2).Borders[edgeTop].Color, 57);
  EXPECT_EQ(b.Edge(1, 1, edgeTop), kThin);
  // Top twice with the same style and colour: switched off.
  b.Format(TRect{1, 1, 2, 2}, [](FormatCellsModel& m) {
    m.SetLineStyle(workbook::lsDashed);
    m.ClickBorderButton(dialogs::kTagTop);
    m.ClickBorderButton(dialogs::kTagTop);
    EXPECT_EQ(m.HorzEdge(0).style, dialogs::kEdgeNone);
  });
  EXPECT_EQ(b.Edge(2, 1, edgeTop), workbook::lsNone);
  // None switches every edge off.
  b.Format(TRect{1, 1, 2, 2}, [](FormatCellsModel& m) { m.ClickBorderButton(dialogs::kTagNone); });
  EXPECT_EQ(b.Edge(1, 1, edgeRight), workbook::lsNone);
  EXPECT_EQ(b.Edge(2, 2, edgeBottom), workbook::lsNone);
}

TEST(FormatCellsModel, LoadingOneCellAndADateCell) {
  Book b;
  b.sheet.CellObject(4, 4)->Style().SetFormatCode(15);
  FormatCellsModel m;
  m.Load(TRect{4, 4, 4, 4}, b.sheet);
  EXPECT_EQ(m.RowsShown(), 1);
  EXPECT_EQ(m.ColsShown(), 1);
  EXPECT_FALSE(m.VMiddleEnabled());
  EXPECT_FALSE(m.MiddleEnabled());
  EXPECT_FALSE(m.InsideEnabled());
  EXPECT_EQ(m.Category(), 3);
  EXPECT_EQ(m.FormatItemIndex(), 3);  // "d-mmm-y"
  EXPECT_EQ(m.Changed(), 0);
  // A disabled button records nothing; OK with nothing touched changes nothing.
  m.ClickBorderButton(dialogs::kTagInside);
  EXPECT_EQ(m.Changed(), 0);
  // A click on the preview's top line toggles it and records group 7.
  m.SetLineStyle(kThin);
  m.ClickPreview(ui::Point{60, m.HorzEdgeRect(0).top + 3});
  EXPECT_TRUE(m.Touched(dialogs::kTagTop));
  EXPECT_EQ(m.HorzEdge(0).style, kThin);
}

TEST(FormatCellsModel, HugeAndInvertedRectanglesAreBoundedAndNormalised) {
  Book b;
  b.sheet.CellObject(2, 3)->SetText("x");
  // The whole sheet, corners reversed: only the used part is visited for the format group.
  TRect seen{};
  ASSERT_TRUE(b.Format(TRect{workbook::kFarEdge + 5, workbook::kFarEdge - 1, 0, 0},
                       [&seen](FormatCellsModel& m) {
                         seen = m.Cells();
                         m.ChooseCategory(4);
                         m.SetLineStyle(kThin);
                         m.ClickBorderButton(dialogs::kTagOutline);
                       }));
  EXPECT_EQ(seen, (TRect{0, 0, workbook::kFarEdge - 1, workbook::kFarEdge - 1}));
  EXPECT_EQ(b.Entry(2, 3).Format, 49);
  EXPECT_EQ(b.Edge(1, 0, workbook::edgeTop), kThin);
  // A rectangle wholly outside the sheet opens nothing.
  EXPECT_FALSE(b.Format(TRect{-5, -5, -1, -1}, [](FormatCellsModel&) {}));
  // OnFormatCells may veto the dialog; nothing is applied and no undo step is left.
  const int undo = b.book.History().UndoCount();
  b.book.events.OnFormatCells = [](workbook::TSSBookSheet&, const TRect&, bool& canFormat,
                                   workbook::FormatDialogFactory&) { canFormat = false; };
  EXPECT_FALSE(b.Format(TRect{0, 0, 0, 0}, [](FormatCellsModel& m) { m.ChooseCategory(1); }));
  EXPECT_EQ(b.Entry(0, 0).Format, 49);
  EXPECT_EQ(b.book.History().UndoCount(), undo);
}

TEST(FormatCellsModel, TheDialogFormAnsweredFromTheQueue) {
  Book b;
  ui::headless::HeadlessBackend& backend = ui::headless::HeadlessBackend::Instance();
  dialogs::TSSStyleDesigner cancelled(nullptr);
  backend.QueueAnswer("Cancel", "rbCurrency=1");
  EXPECT_FALSE(cancelled.Execute(TRect{0, 0, 1, 1}, &b.sheet));
  EXPECT_EQ(b.Entry(0, 0).Format, 0);

  dialogs::TSSStyleDesigner designer(nullptr);
  ui::SetModalFormHook([](ui::Form& form) {
    EXPECT_EQ(form.Caption(), "Format cells");
    EXPECT_TRUE(ui::SetControlFromAnswer(form, "btnOuter", "click"));
  });
  backend.QueueAnswer("OK", "rbCurrency=1;lbStyleTypes=3;chxWordWrap=1;cbxPattern=4");
  EXPECT_TRUE(designer.Execute(TRect{0, 0, 1, 1}, &b.sheet));
  ui::SetModalFormHook(nullptr);
  EXPECT_EQ(b.Entry(1, 1).Format, 8);
  EXPECT_TRUE(b.Entry(0, 1).WordBreak);
  EXPECT_EQ(b.Entry(1, 0).FillStyle, 4);
  EXPECT_EQ(b.Edge(0, 0, workbook::edgeTop), workbook::lsDefault);  // outline in style "None"
  EXPECT_TRUE(designer.Model().Touched(dialogs::kTagOutline));
  // A malformed answer (a control that does not exist) answers Cancel.
  backend.QueueAnswer("OK", "noSuchControl=1");
  EXPECT_FALSE(designer.Execute(TRect{0, 0, 0, 0}, &b.sheet));
}

TEST(FormatCellsModel, BorderPreviewAfterOutlineAndInsideMatchesTheGoldenImage) {
  Book b;
  b.sheet.CellObject(0, 0)->Style().Brush().SetAll(workbook::fsGray25, 5, 2);
  FormatCellsModel m;
  m.Load(TRect{0, 0, 3, 3}, b.sheet);
  m.SetLineStyle(workbook::lsThick);
  m.SetBorderColor(2);
  m.ClickBorderButton(dialogs::kTagOutline);
  m.SetLineStyle(workbook::lsDashed);
  m.SetBorderColor(4);
  m.ClickBorderButton(dialogs::kTagInside);
  ui::Image image(m.PreviewSize().width, m.PreviewSize().height);
  {
    auto canvas = ui::CreateImageCanvas(image);
    dialogs::PaintBorderPreview(*canvas, m);
  }
  // The thick red outline and the dashed blue inside lines are where the model put them.
  const ui::Rect top = m.HorzEdgeRect(0);
  EXPECT_EQ(image.At(top.left + 10, top.top + 1).ToColor(), (ui::Color{255, 0, 0}));
  const ui::Rect inside = m.VertEdgeRect(1);
  bool blue = false;
  for (int y = inside.top; y < inside.bottom; ++y)
    blue = blue || image.At(inside.left, y).ToColor() == ui::Color{0, 0, 255};
  EXPECT_TRUE(blue);

  const char* out = std::getenv("SS_TEST_OUTPUT");
  ui::WritePng(image, (std::filesystem::path(out ? out : ".") / "border_preview.png").string());
  const char* data = std::getenv("SS_TEST_DATA");
  const std::filesystem::path golden =
      std::filesystem::path(data ? data : "tests/data") / "dialogs" / "border_preview.png";
#ifndef _WIN32
  if (std::getenv("SS_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(golden.parent_path());
    ASSERT_TRUE(ui::WritePng(image, golden.string()));
    return;
  }
  std::string error;
  const ui::Image expected = ui::ReadPng(golden.string(), &error);
  ASSERT_FALSE(expected.IsEmpty()) << error;
  EXPECT_TRUE(expected == image) << "the border preview differs from " << golden;
#endif
}

}  // namespace
