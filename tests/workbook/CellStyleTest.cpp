#include <gtest/gtest.h>

#include "workbook/TSSCellStyle.h"
#include "workbook/TestHost.h"

namespace workbook {
namespace {

class CellStyles : public ::testing::Test {
 protected:
  std::unique_ptr<TSSCellStyle> At(int32_t col, int32_t row) {
    return storage_.CellStyle(col, row);
  }
  test::TestHost host_;
  TSSDataStorage storage_{host_};
  TSSStyleCache& cache_ = host_.styles;
};

TEST_F(CellStyles, DefaultEntryAtCreation) {
  const StyleEntry* def = cache_.DefaultEntry();
  EXPECT_EQ(cache_.EntryCount(), 1);
  EXPECT_EQ(def->Format, 0);
  EXPECT_EQ(def->HorzAlign, haGENERAL);
  EXPECT_EQ(def->VertAlign, vaCENTER);
  EXPECT_FALSE(def->WordBreak);
  EXPECT_EQ(def->Flags, kStyleLocked);
  EXPECT_EQ(def->FillStyle, fsSolid);
  EXPECT_EQ(def->ForegroundColor, kDefaultFillColor);
  EXPECT_EQ(def->BackgroundColor, kDefaultFillColor);
  for (const auto& edge : def->Borders) {
    EXPECT_EQ(edge.Style, lsDefault);
    EXPECT_EQ(edge.Color, kAutomaticColor);
  }
  EXPECT_EQ(def->RefCount, 1);
  ASSERT_NE(def->Font, nullptr);
  EXPECT_EQ(def->Font->Name, "Tahoma");
  EXPECT_EQ(def->Font->Color, 0);  // black is palette entry 0
  EXPECT_THROW(cache_.EntryAt(1), EStyleError);
  try {
    cache_.EntryAt(5);
  } catch (const EStyleError& e) {
    EXPECT_STREQ(e.what(), "Invalid cell style");
  }
}

TEST_F(CellStyles, EqualCombinationsShareOneEntry) {
  At(0, 0)->Font().SetStyle(kFontBold);
  At(1, 0)->Font().SetStyle(kFontBold);
  StyleEntry* bold = storage_.CellStyleEntry(0, 0);
  EXPECT_EQ(storage_.CellStyleEntry(1, 0), bold);
  EXPECT_EQ(bold->RefCount, 2);
  At(0, 0)->Font().SetStyle(kFontBold | kFontItalic);
  EXPECT_EQ(cache_.EntryCount(), 3);
  EXPECT_EQ(storage_.CellStyleEntry(1, 0), bold);
  EXPECT_EQ(bold->RefCount, 1);
  EXPECT_NE(storage_.CellStyleEntry(0, 0), bold);
  // Back to plain: the cell returns to entry 0 and the italic entry goes away.
  At(0, 0)->Font().SetStyle(0);
  EXPECT_EQ(storage_.CellStyleEntry(0, 0), cache_.DefaultEntry());
  EXPECT_EQ(cache_.EntryCount(), 2);
}

TEST_F(CellStyles, StyleChangesGoThroughTheWritePath) {
  const size_t before = host_.history.changes.size();
  At(3, 4)->SetHorzTextAlign(haRIGHT);
  EXPECT_EQ(host_.history.changes.size(), before + 1);
  EXPECT_EQ(host_.listener.cells.back(), (test::CellEvent{3, 4}));
  // Setting what is already there changes nothing.
  At(3, 4)->SetHorzTextAlign(haRIGHT);
  EXPECT_EQ(host_.history.changes.size(), before + 1);
}

TEST_F(CellStyles, FormatNumbersMapToCodes) {
  auto style = At(0, 0);
  style->SetFormat(36);
  EXPECT_EQ(style->FormatCode(), 164);
  EXPECT_EQ(style->Format(), 36);
  style->SetFormat(37);
  EXPECT_EQ(style->FormatCode(), 165);
  style->SetFormat(23);
  EXPECT_EQ(style->FormatCode(), 37);
  EXPECT_EQ(style->Format(), 23);
  style->SetFormat(35);
  EXPECT_EQ(style->FormatCode(), 49);
  style->SetFormat(22);
  EXPECT_EQ(style->FormatCode(), 22);
  style->SetFormat(60);
  EXPECT_EQ(style->FormatCode(), 0);
  EXPECT_EQ(storage_.CellStyleEntry(0, 0), cache_.DefaultEntry());
}

TEST_F(CellStyles, ColoursAtOrAbove56BecomeAutomatic) {
  auto style = At(0, 0);
  style->Font().SetFontColor(70);
  EXPECT_EQ(style->Font().FontColor(), kAutomaticColor);
  style->Brush().SetBackgroundColor(56);
  EXPECT_EQ(style->Brush().BackgroundColor(), kDefaultFillColor);  // unchanged value stays
  style->Brush().SetBackgroundColor(3);
  style->Brush().SetBackgroundColor(99);
  EXPECT_EQ(style->Brush().BackgroundColor(), kAutomaticColor);
  style->Borders().Left().SetAll(lsThin, 200);
  EXPECT_EQ(style->Working().Borders[edgeLeft].Color, kAutomaticColor);
  // Changing only the pattern keeps the default fill colour.
  auto other = At(1, 1);
  other->Brush().SetStyle(fsGray50);
  EXPECT_EQ(other->Brush().BackgroundColor(), kDefaultFillColor);
}

TEST_F(CellStyles, DefaultFaceNameIsTahoma) {
  At(0, 0)->Font().SetName("default");
  EXPECT_EQ(storage_.CellStyleEntry(0, 0)->Font->Name, "Tahoma");
  // It is the very font of the default style: nothing else differs, so entry 0 again.
  EXPECT_EQ(storage_.CellStyleEntry(0, 0), cache_.DefaultEntry());
  At(0, 0)->Font().SetName("Arial");
  EXPECT_EQ(cache_.FontCount(), 2);
  TSSFontRec* arial = cache_.FindOrAddFont("Arial", 0, 0, 8, 1);
  EXPECT_EQ(storage_.CellStyleEntry(0, 0)->Font, arial);
  EXPECT_NE(cache_.FindOrAddFont("arial", 0, 0, 8, 1), arial);  // names are case-sensitive
}

TEST_F(CellStyles, LeftBorderAlsoSetsTheNeighboursRightBorder) {
  At(1, 1)->Borders().Left().SetStyle(lsThin);
  EXPECT_EQ(storage_.CellStyleEntry(1, 1)->Borders[edgeLeft].Style, lsThin);
  EXPECT_EQ(storage_.CellStyleEntry(0, 1)->Borders[edgeRight].Style, lsThin);
  EXPECT_EQ(storage_.CellStyleEntry(0, 1)->Borders[edgeLeft].Style, lsDefault);
  At(2, 2)->Borders().Bottom().SetAll(lsDouble, 2);
  EXPECT_EQ(storage_.CellStyleEntry(2, 3)->Borders[edgeTop].Style, lsDouble);
  EXPECT_EQ(storage_.CellStyleEntry(2, 3)->Borders[edgeTop].Color, 2);
  const size_t events = host_.listener.cells.size();
  At(0, 5)->Borders().Left().SetStyle(lsThick);  // column 0 has no left neighbour
  EXPECT_EQ(host_.listener.cells.size(), events + 1);
}

TEST_F(CellStyles, FilledCellsHideDefaultEdges) {
  auto style = At(0, 0);
  EXPECT_EQ(style->Borders().Top().Style(), lsDefault);
  style->Brush().SetBackgroundColor(5);
  EXPECT_EQ(style->Borders().Top().Style(), lsNone);
  style->Borders().Top().SetAll(lsThin, 3);
  EXPECT_EQ(style->Borders().Top().Style(), lsThin);
  EXPECT_EQ(style->Borders().Top().Color(), 3);
  auto patterned = At(5, 5);
  patterned->Brush().SetStyle(fsGray25);
  EXPECT_EQ(patterned->Borders().Left().Style(), lsNone);
  EXPECT_EQ(patterned->Borders().Left().Color(), 57);  // none is not lsDefault: stored colour
}

TEST_F(CellStyles, InnerEdgesOfMergedAreasReadAsNone) {
  storage_.MergeCells(TRect{1, 1, 2, 2}, true);
  auto topLeft = At(1, 1);
  EXPECT_TRUE(topLeft->Merged());
  EXPECT_EQ(topLeft->Borders().Left().Style(), lsDefault);
  EXPECT_EQ(topLeft->Borders().Right().Style(), lsNone);
  EXPECT_EQ(topLeft->Borders().Bottom().Style(), lsNone);
  auto bottomRight = At(2, 2);
  EXPECT_EQ(bottomRight->Borders().Right().Style(), lsDefault);
  EXPECT_EQ(bottomRight->Borders().Top().Style(), lsNone);
}

TEST_F(CellStyles, DefaultStyleChangesEveryUnstyledCell) {
  At(1, 0)->Font().SetStyle(kFontBold);
  TSSDefaultStyle& def = cache_.DefaultStyle();
  const int repaints = host_.listener.repaints;
  def.Brush().SetBackgroundColor(5);
  EXPECT_EQ(host_.listener.repaints, repaints + 1);
  EXPECT_EQ(cache_.DefaultEntry()->BackgroundColor, 5);
  EXPECT_EQ(storage_.CellStyleEntry(7, 7)->BackgroundColor, 5);  // never styled
  EXPECT_EQ(storage_.CellStyleEntry(1, 0)->BackgroundColor, kDefaultFillColor);
  // Right and bottom edges of the default style are its left and top edges.
  def.DefaultBorders().VerticalBorders().SetStyle(lsThin);
  EXPECT_EQ(&def.Borders().Right(), &def.Borders().Left());
  EXPECT_EQ(cache_.DefaultEntry()->Borders[edgeRight].Style, lsThin);
  EXPECT_EQ(def.Borders().Right().Style(), lsThin);
  EXPECT_EQ(cache_.EntryCount(), 2);
}

TEST_F(CellStyles, ReadOnlyStylesRefuseChanges) {
  auto style = At(0, 0);
  style->SetReadOnlyFlag(true);
  style->SetHorzTextAlign(haCENTER);
  style->Font().SetStyle(kFontBold);
  EXPECT_EQ(storage_.CellStyleEntry(0, 0)->HorzAlign, haGENERAL);
  EXPECT_TRUE(storage_.CellStyleEntry(0, 0)->Flags & kStyleReadOnly);
  style->SetReadOnlyFlag(false);  // the flag itself can be cleared again
  style->SetHorzTextAlign(haCENTER);
  EXPECT_EQ(storage_.CellStyleEntry(0, 0)->HorzAlign, haCENTER);
  host_.readOnly = true;
  At(1, 1)->SetWordBreak(true);
  EXPECT_FALSE(storage_.CellStyleEntry(1, 1)->WordBreak);
  cache_.DefaultStyle().SetWordBreak(true);  // the default style ignores book read-only
  EXPECT_TRUE(cache_.DefaultEntry()->WordBreak);
}

TEST_F(CellStyles, UpdatesAreCollectedIntoOneChange) {
  auto style = At(2, 2);
  const size_t before = host_.history.changes.size();
  style->BeginUpdate();
  style->SetHorzTextAlign(haRIGHT);
  style->SetWordBreak(true);
  style->Font().SetSize(12);
  EXPECT_EQ(host_.history.changes.size(), before);
  style->EndUpdate();
  EXPECT_EQ(host_.history.changes.size(), before + 1);
  const StyleEntry* e = storage_.CellStyleEntry(2, 2);
  EXPECT_EQ(e->HorzAlign, haRIGHT);
  EXPECT_TRUE(e->WordBreak);
  EXPECT_EQ(e->Font->Size, 12);
}

TEST_F(CellStyles, AssignAndApplyEntryCopyFormatting) {
  auto source = At(0, 0);
  source->BeginUpdate();
  source->SetFormatCode(4);
  source->SetVertTextAlign(vaTOP);
  source->Brush().SetAll(fsGray50, 3, 4);
  source->Font().SetAll("Arial", 10, 2, 1, kFontItalic);
  source->Borders().Bottom().SetAll(lsThin, 1);
  source->EndUpdate();
  auto target = At(5, 5);
  target->Assign(*source);
  EXPECT_EQ(storage_.CellStyleEntry(5, 5), storage_.CellStyleEntry(0, 0));
  const StyleEntry copy = *storage_.CellStyleEntry(0, 0);
  StyleEntry merged = copy;
  merged.Flags |= kStyleMerged;
  merged.Borders[edgeTop] = EdgeRec{lsDefault, 57};
  auto third = At(7, 7);
  third->Borders().Top().SetAll(lsThick, 0);
  third->ApplyEntry(merged, false);  // lsDefault edges of the entry leave existing ones
  const StyleEntry* e = storage_.CellStyleEntry(7, 7);
  EXPECT_EQ(e->Borders[edgeTop].Style, lsThick);
  EXPECT_EQ(e->Borders[edgeBottom].Style, lsThin);
  EXPECT_FALSE(e->Flags & kStyleMerged);  // the merged bit is never applied
  EXPECT_EQ(e->Format, 4);
  EXPECT_EQ(e->Font->Name, "Arial");
}

TEST_F(CellStyles, FontChangesScaleTheRow) {
  auto style = At(0, 3);
  style->Font().SetSize(24);
  EXPECT_GT(storage_.RowHeader().Size(3), 20);
  host_.loading = true;
  At(0, 4)->Font().SetSize(24);
  EXPECT_EQ(storage_.RowHeader().Size(4), 20);
}

TEST_F(CellStyles, ReferenceCountsNeverLeak) {
  for (int32_t col = 0; col < 40; ++col) {
    for (int32_t row = 0; row < 50; ++row) {
      auto style = At(col, row);
      style->Font().SetStyle(static_cast<uint8_t>((col + row) % 4));
      style->Brush().SetBackgroundColor((col * row) % 7);
      if (row % 3 == 0) style->Borders().Left().SetStyle(lsThin);
      storage_.StoreCellValue(col, row, col * row);
    }
  }
  for (int32_t col = 0; col < 40; col += 2) At(col, 1)->SetFormat(col % 30);
  EXPECT_GT(cache_.EntryCount(), 10);
  int64_t cellRefs = 0;
  for (int i = 0; i < cache_.EntryCount(); ++i) cellRefs += cache_.EntryAt(i)->RefCount;
  EXPECT_EQ(cellRefs, static_cast<int64_t>(storage_.RecordCount()) + 1);
  // Restyle every cell back to plain, then clear.
  for (int32_t col = 0; col <= 40; ++col)
    for (int32_t row = 0; row < 50; ++row) storage_.StoreCellStyle(col, row, cache_.DefaultEntry());
  EXPECT_EQ(cache_.EntryCount(), 1);
  storage_.ClearAll();
  EXPECT_EQ(cache_.EntryCount(), 1);
  EXPECT_EQ(cache_.DefaultEntry()->RefCount, 1);
  EXPECT_EQ(storage_.RecordCount(), 0u);
}

TEST_F(CellStyles, ResetKeepsOnlyTheDefaultEntryAndFont) {
  At(0, 0)->Font().SetName("Arial");
  storage_.ClearAll();
  cache_.FindOrAddFont("Courier", 0, 0, 9, 1);
  cache_.Reset();
  EXPECT_EQ(cache_.EntryCount(), 1);
  EXPECT_EQ(cache_.FontCount(), 1);
  EXPECT_EQ(cache_.FontAt(0), cache_.DefaultEntry()->Font);
  EXPECT_EQ(cache_.DefaultEntry()->RefCount, 1);
}

TEST(Palette, DefaultColoursAndLookup) {
  const ColorPalette& p = DefaultPalette();
  EXPECT_EQ(p[0], RGBColor(0, 0, 0));
  EXPECT_EQ(p[2], RGBColor(255, 0, 0));
  EXPECT_EQ(p[5], RGBColor(255, 255, 0));
  EXPECT_EQ(p[55], RGBColor(0x33, 0x33, 0x33));
  EXPECT_EQ(PaletteIndexOf(p, RGBColor(255, 0, 0), 99), 2);
  EXPECT_EQ(PaletteIndexOf(p, RGBColor(1, 2, 3), 57), 57);
  EXPECT_EQ(PaletteIndexOf(p, kSystemWindowColor, 3), kAutomaticColor);
  EXPECT_EQ(PaletteIndexOf(p, RGBColor(0xFF, 0, 0xFF), 0), 6);  // first of two equal entries
}

}  // namespace
}  // namespace workbook
