#include "plugin/ActionCatalogue.h"

#include <cstring>

#include "plugin/BasicActions.h"
#include "plugin/CellActions.h"
#include "plugin/FileActions.h"
#include "plugin/FormatCellsAction.h"
#include "plugin/HelperActions.h"
#include "plugin/HostString.h"
#include "plugin/PrintActions.h"
#include "plugin/SheetActions.h"
#include "plugin/ViewActions.h"
#include "plugin/editors/ActionEditor.h"

namespace plugin {

namespace {

// Exception codes by family: cell, sheet and file work reports "zkSSH-003", view, colour,
// history, dialog and print work "zkSSH-026".
constexpr const char* kFileCode = "zkSSH-003";
constexpr const char* kViewCode = "zkSSH-026";

// clang-format off
constexpr ActionEntry kCatalogue[] = {
  {"Basic", 1, "zkSpreadSheetCreate", "Attach a SpreadSheet  to an existing NeoBook Rectangle object.", 1, "zkSSH-015", &CreateAction, nullptr, &EditActionParams},
  {"Basic", 2, "zkSpreadSheetDelete", "Delete a SpreadSheet previously attached to a Rectangle.", 1, "", &DeleteAction, nullptr, &EditActionParams},
  {"Interface", 5, "zkSpreadSheetToolBar", "Set Toolbar 1- On 0-Off", 2, kViewCode, nullptr, &ToolBarAction, &EditActionParams},
  {"Interface", 9, "zkSpreadSheetShowHeaders", "1 - Show 0 - Hide Headers", 2, kViewCode, nullptr, &ShowHeadersAction, &EditActionParams},
  {"Interface", 10, "zkSpreadSheetShowGridLines", "1 - Show 0 - Hide Grid lines", 2, kViewCode, nullptr, &ShowGridLinesAction, &EditActionParams},
  {"Interface", 11, "zkSpreadSheetShowCaptionBar", "1 - Show 0 - Hide Caption Bar", 2, kViewCode, nullptr, &ShowCaptionBarAction, &EditActionParams},
  {"Interface", 12, "zkSpreadSheetShowScrollBar", "1 - Show 0 - Hide Scroll Bar", 2, kViewCode, nullptr, &ShowScrollBarAction, &EditActionParams},
  {"Interface", 14, "zkSpreadSheetSetStyle", "R1C1 Style 1-On 0-Off", 2, kViewCode, nullptr, &SetStyleAction, &EditActionParams},
  {"Interface", 17, "zkSpreadSheetStatusBar", "1 - Show 0 - Status Bar", 2, kViewCode, nullptr, &StatusBarAction, &EditActionParams},
  {"Colors", 18, "zkSpreadSheetSetHeaderColor", "Set Header Color RRRGGGBBB", 2, kViewCode, nullptr, &SetHeaderColorAction, &EditActionParams},
  {"Colors", 19, "zkSpreadSheetSetSelectionColor", "Set Selection Color RRRGGGBBB", 2, kViewCode, nullptr, &SetSelectionColorAction, &EditActionParams},
  {"Colors", 20, "zkSpreadSheetSetGridLinesColor", "Set Grid Lines Color RRRGGGBBB", 2, kViewCode, nullptr, &SetGridLinesColorAction, &EditActionParams},
  {"Colors", 21, "zkSpreadSheetSetBGColor", "Set Grid BG Color RRRGGGBBB", 2, kViewCode, nullptr, &SetBGColorAction, &EditActionParams},
  {"File", 6, "zkSpreadSheetLoad", "Load a SpreadSheet from disk (Full Path)", 2, kFileCode, nullptr, &LoadAction, &EditActionParams},
  {"File", 7, "zkSpreadSheetSave", "Save a SpreadSheet from disk (Full Path)", 2, kFileCode, nullptr, &SaveAction, &EditActionParams},
  {"File", 8, "zkSpreadSheetNew", "Create a New Spreadsheet (SheetName)", 2, kFileCode, nullptr, &NewAction, &EditActionParams},
  {"File", 36, "zkSpreadSheetLoadFromStream", "Load a Spreadsheet From Stream (Rectangle, stream, filename, password, compression)", 5, kFileCode, nullptr, &LoadFromStreamAction, &EditActionParams},
  {"File", 37, "zkSpreadSheetSaveToStream", "Save a Spreadsheet To Stream (Rectangle, stream, filename, password, compression)", 5, kFileCode, nullptr, &SaveToStreamAction, &EditActionParams},
  {"Sheets", 29, "zkSpreadSheetCreateSheet", "Create a New Sheet (sheetname)", 2, kFileCode, nullptr, &CreateSheetAction, &EditActionParams},
  {"Sheets", 30, "zkSpreadSheetDeleteSheet", "Delete a Sheet (index)", 2, kFileCode, nullptr, &DeleteSheetAction, &EditActionParams},
  {"Sheets", 31, "zkSpreadSheetRenameSheet", "Rename Sheet (Sheet Index, New Name)", 3, kFileCode, nullptr, &RenameSheetAction, &EditActionParams},
  {"Sheets", 35, "zkSpreadSheetSetActiveSheet", "Set the Active Sheet (Index)", 2, kFileCode, nullptr, &SetActiveSheetAction, &EditActionParams},
  {"Sheets", 38, "zkSpreadSheetUndo", "Undo Operation", 1, kViewCode, nullptr, &UndoAction, &EditActionParams},
  {"Sheets", 39, "zkSpreadSheetRedo", "Redo Operation", 1, kViewCode, nullptr, &RedoAction, &EditActionParams},
  {"Sheets", 40, "zkSpreadSetColWidth", "Set Col Width (Col, Value in Pixels)", 3, kFileCode, nullptr, &SetColWidthAction, &EditActionParams},
  {"Sheets", 41, "zkSpreadSetRowHeight", "Set Row Height (Row, Value in Pixels)", 3, kFileCode, nullptr, &SetRowHeightAction, &EditActionParams},
  {"Sheets", 27, "zkSpreadSheetLockResCol", "Lock Resize Column (Col, State)", 3, kFileCode, nullptr, &LockResColAction, &EditActionParams},
  {"Sheets", 28, "zkSpreadSheetLockResRow", "Lock Resize Row (Row, State)", 3, kFileCode, nullptr, &LockResRowAction, &EditActionParams},
  {"Cells", 13, "zkSpreadSheetSetCellValue", "Set Cell text (Col, Row, Value)", 4, kFileCode, nullptr, &SetCellValueAction, &EditActionParams},
  {"Cells", 42, "zkSpreadSheetSetCellByName", "Set Cell Value by Name (Cell, Value)", 3, kFileCode, nullptr, &SetCellByNameAction, &EditActionParams},
  {"Cells", 43, "zkSpreadSheetGetCellByName", "Get Cell Value by Name (Cell)", 2, kFileCode, nullptr, &GetCellByNameAction, &EditActionParams},
  {"Cells", 15, "zkSpreadSheetInsertCells", "Insert Cells or Cols or Rows (Style)", 2, kFileCode, nullptr, &InsertCellsAction, &EditActionParams},
  {"Cells", 16, "zkSpreadSheetSetSelection", "Set Selection (Col, Row, Edit mode)", 4, kFileCode, nullptr, &SetSelectionAction, &EditActionParams},
  {"Cells", 50, "zkSpreadSheetSetRangeSelection", "Select Range of Cells (Left, Top, Right, Bottom)", 5, kFileCode, nullptr, &SetRangeSelectionAction, &EditActionParams},
  {"Cells", 23, "zkSpreadSheetMergeCells", "Merge a Range of Cells (Left, Top, Right, Bottom)", 5, kFileCode, nullptr, &MergeCellsAction, &EditActionParams},
  {"Cells", 24, "zkSpreadSheetSplitCells", "Split a Range of Cells (Left, Top, Right, Bottom)", 5, kFileCode, nullptr, &SplitCellsAction, &EditActionParams},
  {"Cells", 22, "zkSpreadSheetDeleteCells", "Delete Cells or Cols or Rows (Style)", 2, kFileCode, nullptr, &DeleteCellsAction, &EditActionParams},
  {"Cells", 25, "zkSpreadSheetClearCells", "Clear a Range of Cells (Left, Top, Right, Bottom, Preserve Style)", 6, kFileCode, nullptr, &ClearCellsAction, &EditActionParams},
  {"Cells", 26, "zkSpreadSheetSetVisible", "Set Visible State for Cols, Rows (Left, Top, Right, Bottom, ColState, RowState, State)", 8, kFileCode, nullptr, &SetVisibleAction, &EditActionParams},
  {"Dialogs", 34, "zkSpreadSheetFormatCellDialog", "Call Format Cell Dialog", 1, kViewCode, nullptr, &FormatCellDialogAction, &EditActionParams},
  {"Dialogs", 56, "zkSpreadSheetPrintPageSetupDialog", "Call Print Setup Dialog", 1, kViewCode, nullptr, &PrintPageSetupDialogAction, &EditActionParams},
  {"Print", 57, "zkSpreadSheetPrint", "Call Print Dialog", 2, kViewCode, nullptr, &PrintAction, &EditActionParams},
  {"Print", 58, "zkSpreadSheetPrintHeaders", "1 - Print 0 - Hide ", 2, kViewCode, nullptr, &PrintHeadersAction, &EditActionParams},
  {"Helper", 100, "zkSpreadSheetPickColor", "Execute color dialog. Rectangle, VariableName ", 2, "zkSSH-051", nullptr, &PickColorAction, &EditActionParams},
  {"Helper", 101, "zkSpreadSheetFixColorString", "Ajust Integer value to zkPlugins color format. Parameters: RectangleName Var In, Var Out.", 3, "zkSSH-049", nullptr, &FixColorStringAction, &EditActionParams},
};
// clang-format on

constexpr uint8_t kMaxCount = 8;

constexpr bool CountsFit() {
  for (const ActionEntry& entry : kCatalogue) {
    if (entry.count < 1 || entry.count > kMaxCount) return false;
  }
  return true;
}
static_assert(CountsFit(), "every action has the rectangle and at most eight parameters");
static_assert(std::size(kCatalogue) == 45, "the catalogue holds 45 actions");

// The byte array travels as its address and last index; the stack order of the other
// arguments is fixed by the prototype in HostAbi.h.
void CallAdd(AddActionProc add, int32_t id, const char* name, const char* hint,
             const uint8_t* kinds, size_t kindCount, uint8_t count) {
  const int32_t lastIndex = static_cast<int32_t>(kindCount) - 1;
#if NB_REVERSED_STACK
  add(id, name, hint, count, lastIndex, kinds);
#else
  add(id, name, hint, kinds, lastIndex, count);
#endif
}

}  // namespace

std::span<const ActionEntry> Catalogue() { return kCatalogue; }

const ActionEntry* FindAction(int32_t id) {
  if (id == 0) return nullptr;
  for (const ActionEntry& entry : kCatalogue) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

std::vector<Announcement> Announcements() {
  std::vector<Announcement> result;
  const char* category = nullptr;
  for (const ActionEntry& entry : kCatalogue) {
    if (category == nullptr || std::strcmp(category, entry.category) != 0) {
      category = entry.category;
      result.push_back(Announcement{0, category, "", 0, {0}});
    }
    result.push_back(Announcement{entry.id, entry.name, entry.hint, entry.count,
                                  std::vector<uint8_t>(entry.count, 1)});
  }
  return result;
}

void AnnounceCatalogue(AddActionProc add) {
  if (add == nullptr) return;
  // The texts and kinds stay alive for the whole run of calls; the host copies what it keeps.
  const std::vector<Announcement> announcements = Announcements();
  for (const Announcement& row : announcements) {
    CallAdd(add, row.id, row.name.c_str(), row.hint.c_str(), row.kinds.data(), row.kinds.size(),
            row.count);
  }
}

ActionParams ReadParams(const char* const* params, uint8_t count) {
  ActionParams texts(count);
  if (params == nullptr) return texts;
  for (uint8_t i = 0; i < count; ++i) texts[i] = TextOf(params[i]);
  return texts;
}

}  // namespace plugin
