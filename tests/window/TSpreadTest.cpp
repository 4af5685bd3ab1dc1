// The window without the plug-in: what construction leaves, selection references, the
// toolbar state of a cell, the write order of the notifications and the hot-key moves.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/WindowChannel.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"
#include "window/TSpread.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

using window::TSpread;
using workbook::TRect;

using Writes = std::vector<std::pair<std::string, std::string>>;

struct Recorded {
  TSpread spread{0};
  Writes writes;
  Recorded() {
    spread.SetVariableWriter(
        [this](const std::string& n, const std::string& v) { writes.emplace_back(n, v); });
  }
};

TEST(TSpreadTest, ConstructionLeavesNeoSheet1WithA1SelectedAndTheBarsHidden) {
  Recorded r;
  TSpread& s = r.spread;
  EXPECT_EQ(s.Width(), 694);
  EXPECT_EQ(s.Height(), 513);
  EXPECT_EQ(s.Book().Sheets(0).Caption(), "NeoSheet1");
  EXPECT_EQ(s.Book().ActiveSheet()->Selection(), (TRect{0, 0, 0, 0}));
  EXPECT_FALSE(s.cbMain->Visible());
  EXPECT_FALSE(s.panel->Visible());
  EXPECT_EQ(s.cbxSize->Items().size(), 16u);
  EXPECT_EQ(s.cbxSize->Items()[8], "20 ");
  EXPECT_EQ(s.Open1.title, "Open SpreadSheet");
  EXPECT_EQ(s.Save1.filter, "XLS|*.xls|All|*.*");
  EXPECT_EQ(s.Book().DefaultStyle().Font().Name(), "Tahoma");
  EXPECT_EQ(s.Book().BackgroundColor, workbook::RGBColor(255, 255, 255));
  EXPECT_FALSE(s.IsEditing());
  ASSERT_EQ(s.HotKeyIds().size(), 4u);
  // Nothing is written before the window has a rectangle name.
  s.Book().ActiveSheet()->SelectCell(3, 3);
  EXPECT_TRUE(r.writes.empty());
}

TEST(TSpreadTest, SelectionReferenceInBothStyles) {
  struct Case {
    TRect sel;
    bool r1c1;
    const char* text;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, false, "A1"},           {{0, 0, 0, 0}, true, "11"},
      {{1, 1, 3, 4}, false, "B2 x D5"},      {{1, 1, 3, 4}, true, "22 x 45"},
      {{25, 9, 26, 9}, false, "Z10 x AA10"}, {{255, 65535, 255, 65535}, false, "IV65536"},
  };
  for (const Case& c : cases) EXPECT_EQ(TSpread::SelectionReference(c.sel, c.r1c1), c.text);
}

TEST(TSpreadTest, NotificationsWriteInTheirOrderUnderTheRectangleName) {
  Recorded r;
  r.spread.SetRectangleName("Rect9");
  r.spread.SetCellText(1, 1, "=1+2");
  r.writes.clear();
  r.spread.Book().ActiveSheet()->SelectCell(1, 1, true);
  const Writes wanted = {
      {"[Rect9.zkSpreadSheetAction]", ""},       {"[Rect9.zkSpreadSheetAction]", "ZKSS04"},
      {"[Rect9.zkSpreadSheetCellText]", "=1+2"}, {"[Rect9.zkSpreadSheetReference]", "B2"},
      {"[Rect9.zkSpreadSheetAction]", ""},       {"[Rect9.zkSpreadSheetAction]", "ZKSS02"},
      {"[Rect9.zkSpreadSheetMode]", "ON"},
  };
  EXPECT_EQ(r.writes, wanted);
  EXPECT_TRUE(r.spread.IsEditing());
  r.writes.clear();
  r.spread.CommitEditing();
  EXPECT_FALSE(r.spread.IsEditing());
  const Writes ended = {{"[Rect9.zkSpreadSheetAction]", ""},
                        {"[Rect9.zkSpreadSheetAction]", "ZKSS03"},
                        {"[Rect9.zkSpreadSheetMode]", "OFF"}};
  EXPECT_EQ(r.writes, ended);
  r.writes.clear();
  r.spread.PublishInitialState();
  const Writes initial = {{"[Rect9.zkSpreadSheetMode]", "OFF"},
                          {"[Rect9.zkSpreadSheetReference]", "B2"},
                          {"[Rect9.zkSpreadSheetActive]", "S: 0"},
                          {"[Rect9.zkSpreadSheetTotal]", "T: 1"}};
  EXPECT_EQ(r.writes, initial);
  // Teardown silences every handler.
  r.spread.BeginTeardown();
  r.writes.clear();
  r.spread.Book().ActiveSheet()->SelectCell(0, 0);
  EXPECT_TRUE(r.writes.empty());
}

TEST(TSpreadTest, ToolbarStateFollowsTheTopLeftCell) {
  TSpread s(0);
  auto* sheet = s.Book().ActiveSheet();
  {
    auto cell = sheet->CellObject(2, 2);
    cell->SetText("x");
    cell->Style().Font().SetStyle(workbook::kFontBold | workbook::kFontStrikeOut);
    cell->Style().Font().SetSize(14);
  }
  sheet->SetSelection(TRect{2, 2, 4, 4});
  s.UpdateToolbarState();
  auto down = [&](const char* name) { return s.tbsFormatting->FindButton(name)->Down(); };
  EXPECT_TRUE(down("tbBold"));
  EXPECT_FALSE(down("tbItalic"));
  EXPECT_FALSE(down("tbUnderline"));
  EXPECT_TRUE(down("tbStrikeOut"));
  EXPECT_TRUE(down("tbLeftAlign"));
  EXPECT_EQ(s.cbxSize->Text(), "14");
  EXPECT_EQ(s.edtCellEdit->Text(), "x");
  s.Book().SetShowGrid(false);
  s.UpdateToolbarState();
  EXPECT_FALSE(s.alMain->Find("actShowgrid")->Checked());
  EXPECT_TRUE(s.alMain->Find("actBeveledLookandFeel")->Checked());
}

TEST(TSpreadTest, HotKeyMovesStopAtColumnAAndRowOne) {
  TSpread s(0);
  const auto& ids = s.HotKeyIds();
  auto active = [&] {
    const TRect& r = s.Book().ActiveSheet()->Selection();
    return std::make_pair(r.Left, r.Top);
  };
  s.Hot1HotKeyPressed(0, ids[1]);  // Ctrl+Left in column A
  s.Hot1HotKeyPressed(0, ids[2]);  // Ctrl+Up in row 1
  EXPECT_EQ(active(), std::make_pair(0, 0));
  s.Hot1HotKeyPressed(0, ids[0]);
  s.Hot1HotKeyPressed(0, ids[3]);
  s.Hot1HotKeyPressed(0, ids[3]);
  EXPECT_EQ(active(), std::make_pair(1, 2));
  s.Hot1HotKeyPressed(0, 12345);  // not one of ours
  EXPECT_EQ(active(), std::make_pair(1, 2));
  // Released while the host's window is inactive, taken again when it is active; the
  // backend's activation reports reach the window through its form.
  auto& backend = ui::headless::HeadlessBackend::Instance();
  const size_t before = backend.RegisteredHotKeys();
  auto activate = [&](int32_t on) {
    SSInputEvent event{SS_INPUT_ACTIVATE, on, 0, 0, 0, nullptr};
    return ui::headless::HeadlessInput::Deliver(s, event);
  };
  EXPECT_EQ(activate(0), SS_OK);
  EXPECT_FALSE(s.HotKeys().IsRegistered(ids[0]));
  EXPECT_EQ(backend.RegisteredHotKeys(), before - 4);
  EXPECT_EQ(activate(0), SS_OK);  // no change: nothing happens twice
  EXPECT_EQ(backend.RegisteredHotKeys(), before - 4);
  EXPECT_EQ(activate(1), SS_OK);
  EXPECT_TRUE(s.HotKeys().IsRegistered(ids[3]));
  EXPECT_EQ(backend.RegisteredHotKeys(), before);
}

}  // namespace
