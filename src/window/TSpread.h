#pragma once
// The spreadsheet window one host rectangle shows: a borderless form holding the workbook
// control `sp1` below an optional control bar (two toolbars) and an optional cell bar, plus
// the hidden helpers through which actions reach it (the rectangle-name label, the
// SetCellValue channel, the editing flag, the colour dialog).
//
// Ownership: the form owns every control; the window owns the book and the hot-key manager.
// The book outlives the controls (members are declared in that order).
//
// Host variables: the window writes them only through the writer its owner installs, and
// only once it has a rectangle name; during construction (the first selection made by
// FormCreate) and during teardown the handlers update the window's own controls only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printing/TComponentPrinter.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "ui/BasicControls.h"
#include "ui/ComboBox.h"
#include "ui/CommandList.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/HotKeyManager.h"
#include "ui/ToolBar.h"
#include "view/TSpreadSheetBook.h"
#include "window/BookArea.h"
#include "workbook/TCustomSpreadSheetBook.h"

namespace window {

class TSpread : public ui::Form {
 public:
  // `parentWindow`: the host rectangle's window, 0 for a free-standing window (tests).
  explicit TSpread(uintptr_t parentWindow);
  ~TSpread() override;

  view::TSpreadSheetBook& Book() { return *book_; }
  BookControl& BookView() { return *sp1; }

  // Host variable writes: (full variable name with brackets, value).
  using VariableWriter = std::function<void(const std::string& name, const std::string& value)>;
  void SetVariableWriter(VariableWriter writer) { writer_ = std::move(writer); }
  // The rectangle name the window's variables are formed from (the `recname` label).
  void SetRectangleName(const std::string& name);
  const std::string& RectangleName() const { return recname_; }
  // "[" + rect + ".zkSpreadSheet" + suffix + "]".
  std::string Variable(const std::string& suffix) const;

  // The host variables that describe the state after construction: Mode, Reference,
  // Active, Total, in that order.
  void PublishInitialState();

  // SetCellValue's channel: the hidden labels hold column, row and text.
  void settextClick();
  void SetCellText(int32_t col, int32_t row, const std::string& text);
  void UpdateToolbarState();
  static std::string SelectionReference(const workbook::TRect& selection, bool r1c1);

  // The editing flag: checked exactly between an editing and an end-edit notification.
  bool IsEditing() const { return edit.checked; }
  // Commits an open in-place editor (its end-edit notification fires); nothing otherwise.
  // Every action that replaces, deletes or moves the edited cells or sheet calls it first.
  void CommitEditing();
  // The book moves the selection without its selection event inside an update lock (hiding
  // the selected columns does): this reports the active sheet's selection as the event does.
  void ReportSelection();

  // The spreadsheet's top-level window became active or inactive: the hot keys are held
  // only while it is active, so other programs keep Ctrl+arrows otherwise.
  void ActivationChanged(bool active);
  ui::HotKeyManager& HotKeys() { return Hot1; }
  const std::vector<uint32_t>& HotKeyIds() const { return hotKeyIds_; }
  void Hot1HotKeyPressed(ui::Shortcut code, uint32_t id);

  // Progress of a long load or save as the book reported it (percentages in order), shown in
  // the cell bar as "<what> N%" between Begin and End; outside them progress is ignored.
  const std::vector<int>& ProgressLog() const { return progressLog_; }
  void BeginProgress(const std::string& what);
  void EndProgress();

  // ---- the window's commands (WindowCommands.cpp) ----
  // Each command that fails shows the error text in a message box and leaves "FileName" as
  // it was; none lets an exception out.
  // Open: the book changes only when the chosen file was read completely.
  void OpenSpreadSheet();
  void SaveSpreadSheet();
  // Clears the book and adds one sheet (`name`, or the default caption); refused while a
  // cell is being edited or a dialog of the window is open.
  void NewSheet(const std::string& name);
  void tbsCopyClick();
  void tbsCutClick();
  void tbsPasteClick();
  void tbMergeClick();
  void tgSplitClick();
  void tbSortAscendingClick();
  void tbSortDescendingClick();
  // Format Cells on the selection (the toolbar button and actFormatCells).
  void actFormatCellsExecute();
  // The dialog over the active sheet's selection, then the book's Refresh; true on OK.
  // Raises like the model; the command and the host action report failures their own way.
  bool FormatSelection();

  // What ApplyFormat changes, as bits.
  enum FormatChange : uint8_t {
    fcAlign = 1,
    fcFontName = 2,
    fcFontSize = 4,
    fcBold = 8,
    fcItalic = 16,
    fcUnderline = 32,
    fcStrikeOut = 64,
  };
  // On every cell of the selection (bounded: see WindowCommands.cpp), inside one update
  // lock and one undo step. `alignment` 1 left, 2 centre, 3 right; `styles` font style bits.
  void ApplyFormat(uint8_t changes, int alignment, int fontSize, const std::string& fontName,
                   uint8_t styles);
  // The cell bar's box left: the text goes into the cell it showed, only when changed.
  void edtCellEditExit();
  // The cell the cell bar's box shows (sheet index, column, row).
  struct ShownCell {
    int sheet = -1;
    int32_t col = 0;
    int32_t row = 0;
    std::string text;
  };
  const ShownCell& CellBarCell() const { return shownCell_; }

  // Where the window's message boxes go; every one shown is counted in InModalLoop.
  void ShowError(const std::string& text);
  void ShowWarning(const std::vector<std::string>& lines);

  // Re-entrancy guard: true while the window runs a modal dialog of its own.
  bool InModalLoop() const { return modalDepth_ > 0; }
  bool RunColorDialog();
  ui::ColorDialog& ColorDialog() { return Color1; }

  // After this nothing the window does writes host variables or touches the book's view.
  void BeginTeardown();
  bool TearingDown() const { return tearingDown_; }

  // ---- components, with their form names ----
  // Hidden fields that nothing visible depends on are plain fields.
  struct HiddenLabel {
    std::string caption = "0";
  };
  struct HiddenCheck {
    bool checked = false;
  };

  ui::FileDialog Open1;
  ui::FileDialog Save1;
  ui::CommandList* alMain = nullptr;
  ui::ControlBar* cbMain = nullptr;
  ui::ToolBar* tbsStandart = nullptr;
  ui::ToolBar* tbsFormatting = nullptr;
  ui::ComboBox* cbxFont = nullptr;
  ui::ComboBox* cbxSize = nullptr;
  ui::Panel* panel = nullptr;
  ui::Panel* pnCellRect = nullptr;
  ui::Label* pnCellText = nullptr;
  ui::Edit* edtCellEdit = nullptr;
  ui::HotKeyManager Hot1;
  HiddenLabel labcol, labrow, labtext;
  HiddenCheck edit;
  ui::ColorDialog Color1;
  // The printer component and its report link, with the window's stored settings: no
  // headings, no grid lines, source formats used; A4 portrait, 12.7 mm margins, 6.35 mm header
  // and footer distances. The printer (and its preview) goes before the book.
  printing::TSpreadSheetBookReportLink Printer1tPrinterLink1;
  std::unique_ptr<printing::TComponentPrinter> Printer1;

 private:
  void BuildCommands();
  void BuildToolbars();
  void BuildCellBar();
  void WireCommands();
  void WireFormatting();
  void ShowCellInBar(const std::string& text);
  // Runs a command body; an exception becomes a message box.
  void RunCommand(const std::function<void()>& body);
  void FormatStyleClick(const char* button, uint8_t change, uint8_t style);
  void LoadChecked(const std::string& path);
  void ApplyBookSettings();
  void SubscribeBookEvents();
  void FormCreate();

  void sp1SetSelection(workbook::TSSBookSheet& sheet);
  void sp1Editing();
  void sp1EndEdit();
  void sp1ActiveSheetChanging();
  void sp1Progress(uint8_t percent);

  void Write(const std::string& suffix, const std::string& value);
  void WriteAction(const char* code);
  bool MayWrite() const { return writer_ && !recname_.empty() && !tearingDown_; }

  std::unique_ptr<view::TSpreadSheetBook> book_;
  BookControl* sp1 = nullptr;
  std::string recname_;
  VariableWriter writer_;
  std::vector<uint32_t> hotKeyIds_;
  std::vector<int> progressLog_;
  std::string progressSavedText_;
  std::string progressWhat_;
  bool progressActive_ = false;
  int modalDepth_ = 0;
  ShownCell shownCell_;
  bool tearingDown_ = false;
};

}  // namespace window
