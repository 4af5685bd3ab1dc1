// The in-place editor's rectangles and key routing, committing and cancelling, the mouse
// state machine with the auto-scroll timer fired by hand, and keyboard navigation.
#include <gtest/gtest.h>

#include "GridFixture.h"
#include "workbook/TSSHeader.h"

namespace {

using viewtest::Grid;
using namespace view;
using workbook::TRect;

void Key(Grid& g, int key, ui::ShiftState shift = {}) { g.control->HandleKeyDown(key, shift); }
void Type(Grid& g, const std::string& text) {
  for (char c : text) g.control->HandleKeyPress(c);
}
ui::MouseEvent At(int x, int y, ui::MouseButton b = ui::MouseButton::Left) {
  ui::MouseEvent e;
  e.pos = ui::Point{x, y};
  e.button = b;
  return e;
}

TEST(InplaceEditor, KeyRoutingTable) {
  FixedMeasurer m(7, 16);
  const ui::ShiftState none{}, shift{true, false, false}, ctrl{false, true, false},
      alt{false, false, true};
  struct Case {
    const char* text;
    int caretMoves;  // Left presses before the key (from the end)
    int selected;    // then Shift+Left presses
    int key;
    ui::ShiftState shift;
    EditorKey expected;
    const char* typed;  // the text after typing "X" when the editor kept the key
  } cases[] = {
      {"abc", 0, 0, ui::keys::kRight, none, EditorKey::HandBack, ""},  // at the end of the line
      {"abc", 1, 0, ui::keys::kRight, none, EditorKey::Consumed, "abcX"},
      {"abc", 3, 0, ui::keys::kLeft, none, EditorKey::HandBack, ""},  // at column 0
      {"abc", 1, 0, ui::keys::kLeft, none, EditorKey::Consumed, "aXbc"},
      // With text selected Left and Right stay in the editor and end the selection at its start
      // or end, also with the caret at the line's start or end.
      {"abc", 0, 3, ui::keys::kLeft, none, EditorKey::Consumed, "Xabc"},
      {"abc", 0, 2, ui::keys::kRight, none, EditorKey::Consumed, "abcX"},
      {"abc", 0, 3, ui::keys::kRight, none, EditorKey::Consumed, "abcX"},
      {"abc", 0, 2, ui::keys::kRight, shift, EditorKey::Consumed, "abX"},
      {"abc", 0, 3, ui::keys::kLeft, shift, EditorKey::Consumed, "X"},  // nothing further left
      {"abc", 3, 0, ui::keys::kLeft, shift, EditorKey::HandBack, ""},   // nothing selected
      {"abc", 0, 2, ui::keys::kBackspace, none, EditorKey::Consumed, "aX"},
      {"abc", 1, 1, ui::keys::kDelete, none, EditorKey::Consumed, "aXc"},
      {"abc", 2, 0, ui::keys::kEnd, shift, EditorKey::Consumed, "aX"},
      {"a\nb", 0, 0, ui::keys::kUp, none, EditorKey::Consumed, "aX\nb"},  // on the second line
      {"a\nb", 0, 0, ui::keys::kDown, none, EditorKey::HandBack, ""},     // on the last line
      {"a\nbc", 0, 0, ui::keys::kLeft, shift, EditorKey::Consumed, "a\nbX"},
      {"ab\ncd", 0, 1, ui::keys::kUp, shift, EditorKey::Consumed, "aX"},  // across the break
      {"abc", 0, 0, ui::keys::kUp, none, EditorKey::HandBack, ""},
      {"abc", 0, 0, ui::keys::kTab, none, EditorKey::HandBack, ""},
      {"abc", 0, 0, ui::keys::kTab, ctrl, EditorKey::Ignored, "abcX"},
      {"abc", 0, 0, ui::keys::kEnter, none, EditorKey::HandBack, ""},
      {"abc", 1, 0, ui::keys::kEnter, alt, EditorKey::Consumed, "ab\nXc"},
      {"abc", 0, 2, ui::keys::kEnter, alt, EditorKey::Consumed, "a\nX"},  // replaces the selection
      {"abc", 0, 0, ui::keys::kPageDown, none, EditorKey::HandBack, ""},
      {"a\nbc", 0, 0, ui::keys::kPageUp, none, EditorKey::Consumed, "aX\nbc"},  // stays
      {"abc", 2, 0, ui::keys::kEnd, none, EditorKey::Consumed, "abcX"},
      {"abc", 0, 0, ui::keys::kHome, none, EditorKey::HandBack, ""},
      {"abc", 0, 2, ui::keys::kHome, shift, EditorKey::HandBack, ""},
      {"abc", 0, 0, ui::keys::kEscape, none, EditorKey::HandBack, ""},
  };
  for (const Case& c : cases) {
    InplaceEditor e(m);
    e.Start(c.text, ui::Font{}, ui::Point{0, 0}, ui::Size{10, 10}, ui::Rect{0, 0, 500, 500});
    for (int i = 0; i < c.caretMoves; ++i) e.Key(ui::keys::kLeft, {});
    for (int i = 0; i < c.selected; ++i) e.Key(ui::keys::kLeft, shift);
    EXPECT_EQ(e.Key(c.key, c.shift), c.expected) << c.text << " key " << c.key;
    if (c.expected == EditorKey::HandBack) continue;
    e.Type('X');
    EXPECT_EQ(e.Text(), c.typed) << c.text << " key " << c.key;
  }
  // A sheet tab's editor has no navigation: Home and the arrows stay in it.
  InplaceEditor tab(m, false);
  tab.Start("name", ui::Font{}, ui::Point{0, 0}, ui::Size{10, 10}, ui::Rect{0, 0, 500, 500});
  EXPECT_EQ(tab.Key(ui::keys::kHome, none), EditorKey::Consumed);
  EXPECT_EQ(tab.Key(ui::keys::kLeft, none), EditorKey::Consumed);
  tab.Type('X');
  EXPECT_EQ(tab.Text(), "Xname");
}

TEST(InplaceEditor, AltEnterSplitsEscapeRestoresAndSizeGrowsToTheLimit) {
  FixedMeasurer m(7, 16);
  InplaceEditor e(m);
  e.Start("abcdef", ui::Font{}, ui::Point{100, 50}, ui::Size{80, 15}, ui::Rect{0, 0, 300, 120});
  EXPECT_EQ(e.Bounds(), (ui::Rect{100, 50, 182, 66})) << "minimum width + 2, one line high";
  for (int i = 0; i < 3; ++i) e.Key(ui::keys::kLeft, {});
  e.Key(ui::keys::kEnter, {false, false, true});
  EXPECT_EQ(e.Text(), "abc\ndef");
  EXPECT_EQ(e.Lines().size(), 2u);
  EXPECT_EQ(e.CaretLine(), 1);
  EXPECT_EQ(e.CaretColumn(), 0);
  EXPECT_EQ(e.Bounds().Height(), 32);
  // Typing beyond the client area: the editor stops at its right edge.
  for (int i = 0; i < 40; ++i) e.Type('x');
  EXPECT_EQ(e.Bounds().right, 300);
  for (int i = 0; i < 10; ++i) e.Key(ui::keys::kEnter, {false, false, true});
  EXPECT_EQ(e.Bounds().bottom, 120) << "and at its bottom edge";
  e.Type('\t');
  e.Type('\r');
  EXPECT_EQ(e.Key(ui::keys::kEscape, {}), EditorKey::HandBack);
  EXPECT_EQ(e.Text(), "abcdef");
  // A zero line height and points outside the editor do not break the caret arithmetic.
  FixedMeasurer flat(7, 0);
  InplaceEditor z(flat);
  z.Start("ab\ncd", ui::Font{}, ui::Point{0, 0}, ui::Size{}, ui::Rect{0, 0, 100, 100});
  z.CaretAt(ui::Point{-50, 5000});
  EXPECT_EQ(z.CaretLine(), 0);
  EXPECT_EQ(z.CaretColumn(), 0);
}

TEST(BookControl, EditorOpensOverTheCellAfterScrollingAndWritesOnlyChanges) {
  Grid g;
  int editing = 0, ended = 0;
  g.book.events.OnEditing = [&](workbook::TSSBookSheet&, int32_t, int32_t, bool&) { ++editing; };
  g.book.events.OnEndEdit = [&](workbook::TCustomSpreadSheetBook&) { ++ended; };
  g.Put(1, 1, "12:30:45");
  g.control->ScrollTo(workbook::TPoint{5, 5});
  g.Sheet().SelectCell(1, 1, true);  // the model's request opens the view's editor
  ASSERT_TRUE(g.control->IsEditing());
  EXPECT_EQ(editing, 1);
  EXPECT_EQ(g.control->TopLeft().X, 1) << "scrolled into view";
  const ui::Rect& r = g.control->Editor().Bounds();
  EXPECT_EQ(r.left, 85 + 2 + 3 - 2);
  EXPECT_EQ(r.top, 20 + 2);
  const std::string before = g.Sheet().Storage().CellEditText(1, 1);
  const int undo = g.book.History().UndoCount();
  EXPECT_FALSE(g.control->CommitEdit()) << "nothing changed";
  EXPECT_EQ(g.book.History().UndoCount(), undo) << "no spurious undo step";
  EXPECT_EQ(g.Sheet().Storage().CellEditText(1, 1), before);
  EXPECT_EQ(ended, 1);
  // Type-to-edit, then Escape: nothing written.
  Type(g, "zz");
  ASSERT_TRUE(g.control->IsEditing());
  EXPECT_EQ(g.control->Editor().Text(), "zz");
  Key(g, ui::keys::kEscape);
  EXPECT_FALSE(g.control->IsEditing());
  EXPECT_EQ(g.Sheet().Storage().CellEditText(1, 1), before);
  // F2, a line break, Enter: written with its line feed, the selection moves down.
  Key(g, ui::keys::kF1 + 1);
  ASSERT_TRUE(g.control->IsEditing());
  Key(g, ui::keys::kEnter, {false, false, true});
  Type(g, "x");
  Key(g, ui::keys::kEnter);
  EXPECT_FALSE(g.control->IsEditing());
  EXPECT_EQ(g.Sheet().Storage().CellEditText(1, 1), before + "\nx");
  EXPECT_EQ(g.Sheet().Selection(), (TRect{1, 2, 1, 2}));
  // A vetoed cell gets no editor.
  g.book.events.OnEditing = [&](workbook::TSSBookSheet&, int32_t, int32_t, bool& can) {
    can = false;
  };
  g.control->OpenEditor();
  EXPECT_FALSE(g.control->IsEditing());
}

TEST(BookControl, KeyboardNavigationTable) {
  Grid g;
  g.Sheet().ColumnHeader().SetVisible(2, false);
  g.Put(6, 9, "last");
  g.control->BookChanged();
  struct Case {
    int key;
    ui::ShiftState shift;
    TRect expected;
  } cases[] = {
      {ui::keys::kRight, {}, {1, 0, 1, 0}},
      {ui::keys::kRight, {}, {3, 0, 3, 0}},  // hidden column 2 skipped
      {ui::keys::kLeft, {}, {1, 0, 1, 0}},
      {ui::keys::kDown, {true, false, false}, {1, 0, 1, 1}},
      {ui::keys::kRight, {true, false, false}, {1, 0, 3, 1}},
      {ui::keys::kUp, {}, {1, 0, 1, 0}},
      {ui::keys::kUp, {}, {1, 0, 1, 0}},  // row 0 stays
      {ui::keys::kEnd, {false, true, false}, {6, 9, 6, 9}},
      {ui::keys::kHome, {false, true, false}, {0, 0, 0, 0}},
      {ui::keys::kTab, {}, {1, 0, 1, 0}},
      {ui::keys::kTab, {true, false, false}, {0, 0, 0, 0}},
      {ui::keys::kEnter, {}, {0, 1, 0, 1}},
      {ui::keys::kPageDown, {}, {0, 1 + 18, 0, 1 + 18}},  // 18 whole rows in view
  };
  for (const Case& c : cases) {
    Key(g, c.key, c.shift);
    const TRect s = g.Sheet().Selection();
    EXPECT_EQ(s, c.expected) << "key " << c.key << " got " << s.Left << "," << s.Top << ":"
                             << s.Right << "," << s.Bottom;
  }
  // The active cell is kept in view.
  EXPECT_LE(g.control->Layout().Rows().front().index, 19);
  EXPECT_GE(g.control->Layout().LastWholeRow(), 19);
}

TEST(BookControl, KeysAroundAMergedArea) {
  Grid g;
  g.Sheet().MergeCells(TRect{1, 1, 2, 2}, true);  // B2:C3
  g.control->BookChanged();
  const ui::ShiftState none{}, shift{true, false, false};
  struct Case {
    int key;
    ui::ShiftState shift;
    TRect expected;
  } cases[] = {
      {ui::keys::kDown, none, {0, 1, 0, 1}},    // A1 to A2
      {ui::keys::kRight, none, {1, 1, 2, 2}},   // into the area: all of it
      {ui::keys::kRight, none, {3, 1, 3, 1}},   // off its far edge
      {ui::keys::kTab, shift, {1, 1, 2, 2}},    // back into it
      {ui::keys::kTab, shift, {0, 1, 0, 1}},    // and on out of it
      {ui::keys::kTab, none, {1, 1, 2, 2}},     //
      {ui::keys::kEnter, none, {1, 3, 1, 3}},   // below the area
      {ui::keys::kEnter, shift, {1, 1, 2, 2}},  //
      {ui::keys::kEnter, shift, {1, 0, 1, 0}},  // above it
      {ui::keys::kDown, none, {1, 1, 2, 2}},    //
      {ui::keys::kDown, shift, {1, 1, 2, 3}},   // extending grows past the area at once
      {ui::keys::kRight, shift, {1, 1, 3, 3}},  //
      {ui::keys::kUp, shift, {1, 1, 3, 2}},     //
      {ui::keys::kUp, shift, {1, 0, 3, 2}},     // the anchor's area stays whole
      {ui::keys::kDown, none, {1, 1, 2, 2}},    // from the active cell, B1
      {ui::keys::kLeft, none, {0, 1, 0, 1}},    //
      {ui::keys::kRight, shift, {0, 1, 2, 2}},  // from A2 over the area
      {ui::keys::kRight, shift, {0, 1, 3, 2}},  //
      {ui::keys::kLeft, shift, {0, 1, 2, 2}},   //
      {ui::keys::kLeft, shift, {0, 1, 0, 1}},   // back out in one step
  };
  for (const Case& c : cases) {
    Key(g, c.key, c.shift);
    const TRect s = g.Sheet().Selection();
    EXPECT_EQ(s, c.expected) << "key " << c.key << " got " << s.Left << "," << s.Top << ":"
                             << s.Right << "," << s.Bottom;
  }
}

TEST(GridMouse, DragSelectsAndAutoScrollsOnlyWhileDragging) {
  Grid g(640, 400);
  // C3 is column 2, row 2: x 255..340, y 60..80.
  g.control->HandleMouseDown(At(300, 70));
  EXPECT_EQ(g.Sheet().Selection(), (TRect{2, 2, 2, 2}));
  g.control->HandleMouseMove(At(100, 25));
  EXPECT_EQ(g.Sheet().Selection(), (TRect{0, 0, 2, 2}));
  EXPECT_FALSE(g.control->AutoScrollTimer().Enabled());
  g.control->HandleMouseMove(At(300, 70));
  EXPECT_EQ(g.Sheet().Selection(), (TRect{2, 2, 2, 2}));
  // Below the grid: the timer runs and each tick scrolls one row and extends the selection.
  g.control->HandleMouseMove(At(300, 450));
  EXPECT_TRUE(g.control->AutoScrollTimer().Enabled());
  const int32_t top = g.control->TopLeft().Y;
  g.control->AutoScrollTimer().Fire();
  g.control->AutoScrollTimer().Fire();
  EXPECT_EQ(g.control->TopLeft().Y, top + 2);
  EXPECT_EQ(g.Sheet().Selection().Bottom, g.control->Layout().Rows().back().index);
  g.control->HandleMouseUp(At(300, 450));
  EXPECT_FALSE(g.control->AutoScrollTimer().Enabled());
  // Moving without a button neither selects nor scrolls.
  const TRect kept = g.Sheet().Selection();
  g.control->HandleMouseMove(At(100, 450));
  EXPECT_EQ(g.Sheet().Selection(), kept);
  EXPECT_FALSE(g.control->AutoScrollTimer().Enabled());
}

TEST(GridMouse, HeaderBoundaryResizeRespectsLocksAndClampsAtZero) {
  Grid g;
  // The boundary below row 2 (row 3's top edge at y 80) in the row header.
  g.control->HandleMouseDown(At(40, 82));
  g.control->HandleMouseMove(At(40, 92));
  g.control->HandleMouseUp(At(40, 92));
  EXPECT_EQ(g.Sheet().RowHeader().Size(2), 20 + 10 + 1);
  EXPECT_EQ(g.control->Layout().Rows()[3].start, 20 + 60 + 11) << "positions follow the resize";
  g.Sheet().RowHeader().SetResizeLocked(1, true);
  g.control->HandleMouseDown(At(40, 62));
  g.control->HandleMouseMove(At(40, 90));
  g.control->HandleMouseUp(At(40, 90));
  EXPECT_EQ(g.Sheet().RowHeader().Size(1), 20) << "resize-locked";
  // Column boundary dragged far left: the width stops at 0.
  g.control->HandleMouseDown(At(172, 10));
  g.control->HandleMouseMove(At(-3000, 10));
  g.control->HandleMouseUp(At(-3000, 10));
  EXPECT_EQ(g.Sheet().ColumnHeader().Size(0), 0);
}

TEST(GridMouse, RightButtonAndDoubleClick) {
  Grid g;
  std::vector<ui::Point> menus;
  g.control->OnSheetPopupMenu = [&](ui::Point p) { menus.push_back(p); };
  g.control->HandleMouseDown(At(100, 105, ui::MouseButton::Right));  // B5 is column 1? no: A5
  g.control->HandleMouseUp(At(100, 105, ui::MouseButton::Right));
  EXPECT_EQ(g.Sheet().Selection(), (TRect{0, 4, 0, 4}));
  ASSERT_EQ(menus.size(), 1u);
  g.control->HandleMouseDown(At(200, 10, ui::MouseButton::Right));  // a column header
  g.control->HandleMouseUp(At(200, 10, ui::MouseButton::Right));
  EXPECT_EQ(g.Sheet().Selection(), (TRect{0, 4, 0, 4})) << "a header keeps the selection";
  EXPECT_EQ(menus.size(), 2u);
  g.control->HandleDoubleClick(At(200, 10));
  EXPECT_FALSE(g.control->IsEditing()) << "double click on a header";
  g.control->HandleDoubleClick(At(100, 105));
  EXPECT_TRUE(g.control->IsEditing());
  // Releasing the button leaves the editor open.
  g.control->HandleMouseUp(At(100, 105));
  EXPECT_TRUE(g.control->IsEditing());
}

TEST(SheetTabs, NavigationSkipsHiddenSheetsAndClickActivates) {
  Grid g;
  g.book.AddSheet("Two");
  g.book.AddSheet("Three");
  g.book.AddSheet("Four");
  g.book.SetPageVisible(1, false);
  g.control->BookChanged();
  const SheetTabs& tabs = g.control->Tabs();
  ASSERT_EQ(tabs.Tabs().size(), 3u);
  EXPECT_EQ(tabs.Tabs()[1].sheet, 2) << "hidden sheet 1 has no tab";
  const int y = tabs.Strip().top + 5;
  g.control->HandleMouseDown(At(SheetTabs::kButtonWidth * 2 + 3, y));  // next
  g.control->HandleMouseUp(At(SheetTabs::kButtonWidth * 2 + 3, y));
  EXPECT_EQ(g.control->Tabs().FirstVisible(), 2);
  g.control->HandleMouseDown(At(SheetTabs::kButtonWidth * 3 + 3, y));  // last
  EXPECT_EQ(g.control->Tabs().FirstVisible(), 3);
  g.control->HandleMouseDown(At(3, y));  // first
  EXPECT_EQ(g.control->Tabs().FirstVisible(), 0);
  const ui::Rect t = g.control->Tabs().TabRect(3);
  g.control->HandleMouseDown(At(t.left + 3, y));
  EXPECT_EQ(g.book.ActivePage(), 3);
  // Double click renames in place: the editor opens with the whole name selected, so typing
  // replaces it; a caret key ends the selection and typing inserts at the caret.
  struct Rename {
    int key;  // pressed before typing; 0: none
    const char* typed;
    int endKey;
    const char* caption;
  } renames[] = {
      {0, "Last", ui::keys::kEnter, "Last"},
      {ui::keys::kHome, "A", ui::keys::kEnter, "ALast"},
      {ui::keys::kEnd, "Z", ui::keys::kEnter, "ALastZ"},
      {ui::keys::kDelete, "New", ui::keys::kEscape, "ALastZ"},
      {ui::keys::kBackspace, "B", ui::keys::kEnter, "B"},
  };
  for (const Rename& r : renames) {
    g.control->HandleDoubleClick(At(t.left + 3, y));
    ASSERT_TRUE(g.control->IsRenaming());
    if (r.key) Key(g, r.key);
    Type(g, r.typed);
    Key(g, r.endKey);
    EXPECT_FALSE(g.control->IsRenaming());
    EXPECT_EQ(g.book.Sheets(3).Caption(), r.caption) << r.typed;
  }
}

}  // namespace

namespace {

TEST(BookControl, ScrollBarsWheelAndTopLeftEvent) {
  viewtest::Grid g;
  g.book.ScrollBars = view::TScrollBars::sbsBoth;
  g.Sheet().RowHeader().SetVisible(3, false);
  g.Put(2, 500, "far");
  g.control->BookChanged();
  const ui::ScrollBarState v = g.control->ScrollBar(ui::ScrollBarKind::Vertical);
  EXPECT_TRUE(v.visible);
  EXPECT_GE(v.max, 501) << "the range covers the used area";
  using ui::ScrollCode;
  struct Case {
    ScrollCode code;
    int32_t position;
    int32_t expectedTop;
  } cases[] = {
      {ScrollCode::LineDown, 0, 1}, {ScrollCode::LineDown, 0, 2},
      {ScrollCode::LineDown, 0, 4},  // hidden row 3 skipped
      {ScrollCode::LineUp, 0, 2},   {ScrollCode::Track, 400, 400},
      {ScrollCode::Top, 0, 0},      {ScrollCode::PageDown, 0, v.page},
  };
  for (const Case& c : cases) {
    g.control->HandleScroll(ui::ScrollBarKind::Vertical, c.code, c.position);
    EXPECT_EQ(g.control->TopLeft().Y, c.expectedTop) << static_cast<int>(c.code);
  }
  // Scrolling far grows the range with the view, never beyond the far edge.
  g.control->HandleScroll(ui::ScrollBarKind::Vertical, ScrollCode::Track, workbook::kFarEdge + 50);
  EXPECT_LT(g.control->ScrollBar(ui::ScrollBarKind::Vertical).max, workbook::kFarEdge);
  EXPECT_LT(g.control->TopLeft().Y, workbook::kFarEdge);
  // The wheel writes an open editor and scrolls three rows a notch.
  g.control->ScrollTo(workbook::TPoint{0, 10});
  g.Sheet().SelectCell(0, 12, true);
  ASSERT_TRUE(g.control->IsEditing());
  char c = 'q';
  g.control->HandleKeyPress(c);
  ui::MouseEvent wheel;
  wheel.wheelDelta = -120;
  g.control->HandleMouseWheel(wheel);
  EXPECT_FALSE(g.control->IsEditing());
  EXPECT_EQ(g.Sheet().Storage().CellEditText(0, 12), "q");
  EXPECT_EQ(g.control->TopLeft().Y, 13);
  // OnTopLeftChanging may move the target; a negative one is clamped afterwards.
  g.book.events.OnTopLeftChanging = [](workbook::TSSBookSheet&, workbook::TPoint& p) { p.Y = -7; };
  g.control->ScrollTo(workbook::TPoint{0, 40});
  EXPECT_EQ(g.control->TopLeft().Y, 0);
}

}  // namespace

namespace {

TEST(BookControl, EditorOverAMergedAreaTakesTheAreaAsMinimumAndAHiddenCellHasNone) {
  viewtest::Grid g;
  g.Put(1, 1, "m");
  g.Sheet().MergeCells(workbook::TRect{1, 1, 2, 2}, true);
  g.control->BookChanged();
  g.Sheet().SelectCell(1, 1, true);
  ASSERT_TRUE(g.control->IsEditing());
  // Area 170..340 x 40..80: moved 1 right and down, 3 in on both sides, 2 at top and bottom,
  // the bottom 1 up, and the editor 2 left of it.
  EXPECT_EQ(g.control->Editor().Bounds(), (ui::Rect{172, 43, 172 + 164 + 2, 43 + 36}));
  g.control->CancelEdit();
  g.Sheet().ColumnHeader().SetVisible(4, false);
  g.control->BookChanged();
  g.Sheet().SelectCell(4, 1, true);
  EXPECT_FALSE(g.control->IsEditing()) << "a hidden column has no view to edit over";
}

}  // namespace

namespace {

// Changes the model makes on its own (a toolbar sort, an undo step, a clear) reach the screen
// at the next layout, without the caller telling the control.
TEST(BookControl, ModelChangesShowWithoutTheCallerTellingTheView) {
  viewtest::Grid g;
  g.Put(0, 0, "b");
  g.Put(0, 1, "a");
  g.Put(0, 2, "c");
  struct Step {
    const char* what;
    std::function<void(viewtest::Grid&)> run;
    const char* first;  // A1's caption afterwards
  } steps[] = {
      {"sort ascending",
       [](viewtest::Grid& t) {
         t.Sheet().SortCells(TRect{0, 0, 0, 2}, {false});
       },
       "a"},
      {"sort descending",
       [](viewtest::Grid& t) {
         t.Sheet().SortCells(TRect{0, 0, 0, 2}, {true});
       },
       "c"},
      {"undo", [](viewtest::Grid& t) { t.book.History().Undo(1); }, "a"},
      {"redo", [](viewtest::Grid& t) { t.book.History().Redo(1); }, "c"},
      {"clear",
       [](viewtest::Grid& t) {
         t.Sheet().ClearCells(TRect{0, 0, 0, 0}, false);
       },
       ""},
  };
  for (const Step& s : steps) {
    s.run(g);
    EXPECT_EQ(g.Cell(0, 0).caption, s.first) << s.what;
  }
}

}  // namespace

namespace {

// Selecting a cell through the model (host actions, the window's hot keys) scrolls it into
// view, and is refused while the editor is open on another cell.
TEST(BookControl, SelectCellScrollsIntoViewAndWaitsForTheEditor) {
  viewtest::Grid g;
  g.Sheet().SelectCell(20, 60);
  const GridLayout& l = g.control->Layout();
  EXPECT_LE(l.Columns().front().index, 20);
  EXPECT_GE(l.LastWholeColumn(), 20);
  EXPECT_LE(l.Rows().front().index, 60);
  EXPECT_GE(l.LastWholeRow(), 60);
  g.Sheet().SelectCell(2, 3);
  EXPECT_EQ(g.control->TopLeft(), (workbook::TPoint{2, 3})) << "back to the left and up";
  char c = 'a';
  g.control->HandleKeyPress(c);
  ASSERT_TRUE(g.control->IsEditing());
  g.Sheet().SelectCell(4, 4);
  EXPECT_EQ(g.Sheet().Selection(), (TRect{2, 3, 2, 3})) << "the editor keeps its cell";
  EXPECT_TRUE(g.control->IsEditing());
  g.control->CommitEdit();
  g.Sheet().SelectCell(4, 4);
  EXPECT_EQ(g.Sheet().Selection(), (TRect{4, 4, 4, 4}));
  EXPECT_EQ(g.Sheet().Storage().CellEditText(2, 3), "a");
}

}  // namespace
