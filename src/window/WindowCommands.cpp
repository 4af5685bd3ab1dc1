// The window's own commands: open, save and new, the clipboard, merge, split and sort
// buttons, Format Cells, the formatting toolbar and boxes and the cell bar. Every command
// body runs through RunCommand, so a failure reaches the user as a message box with the
// error text and never leaves the window's handlers.
#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>

#include "ui/Dialogs.h"
#include "ui/ModalScope.h"
#include "window/TSpread.h"
#include "workbook/Errors.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/Workbook.h"

namespace window {

using workbook::TRect;
using workbook::TSSBookSheet;

namespace {

// A formatting command visits at most this many cells; a larger selection (whole columns or
// rows, the whole sheet) is cut down to the part that holds cells.
constexpr int64_t kMaxFormattedCells = 1000000;
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 255;

// The book's update lock, released on every path.
class UpdateLock {
 public:
  explicit UpdateLock(workbook::TCustomSpreadSheetBook& book) : book_(book) { book_.BeginUpdate(); }
  ~UpdateLock() { book_.EndUpdate(); }
  UpdateLock(const UpdateLock&) = delete;
  UpdateLock& operator=(const UpdateLock&) = delete;

 private:
  workbook::TCustomSpreadSheetBook& book_;
};

// One undo step for a command that writes many cells.
class UndoStep {
 public:
  UndoStep(workbook::TCustomSpreadSheetBook& book, const char* caption) : book_(book) {
    grouped_ = book_.History().BeginGroup(caption) != nullptr;
  }
  ~UndoStep() {
    if (grouped_) book_.History().EndGroup();
  }
  UndoStep(const UndoStep&) = delete;
  UndoStep& operator=(const UndoStep&) = delete;

 private:
  workbook::TCustomSpreadSheetBook& book_;
  bool grouped_ = false;
};

// The selection a formatting command visits: corners in order, inside the sheet, and no
// more than kMaxFormattedCells cells (beyond that only the used part).
TRect FormattedCells(const TSSBookSheet& sheet) {
  const TRect& s = sheet.Selection();
  TRect r{std::max(0, std::min(s.Left, s.Right)), std::max(0, std::min(s.Top, s.Bottom)),
          std::min(workbook::kFarEdge - 1, std::max(s.Left, s.Right)),
          std::min(workbook::kFarEdge - 1, std::max(s.Top, s.Bottom))};
  const int64_t count = (int64_t{r.Right} - r.Left + 1) * (int64_t{r.Bottom} - r.Top + 1);
  if (count > kMaxFormattedCells) {
    r.Right = std::min(r.Right, std::max(r.Left, sheet.Storage().UsedCols() - 1));
    r.Bottom = std::min(r.Bottom, std::max(r.Top, sheet.Storage().UsedRows() - 1));
  }
  return r;
}

std::string Trimmed(const std::string& text) {
  const auto notSpace = [](unsigned char c) { return std::isspace(c) == 0; };
  auto first = std::find_if(text.begin(), text.end(), notSpace);
  auto last = std::find_if(text.rbegin(), text.rend(), notSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

// A size box text as a font size: a trimmed decimal integer in 1..255, else 0.
int FontSizeOf(const std::string& text) {
  const std::string t = Trimmed(text);
  if (t.empty() || t.size() > 3) return 0;
  if (!std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
    return 0;
  const int size = std::stoi(t);
  return size >= kMinFontSize && size <= kMaxFontSize ? size : 0;
}

}  // namespace

void TSpread::RunCommand(const std::function<void()>& body) {
  if (tearingDown_) return;
  try {
    body();
  } catch (const std::exception& e) {
    ShowError(e.what());
  } catch (...) {
    ShowError("The command failed for an unknown reason");
  }
}

void TSpread::ShowError(const std::string& text) {
  ui::ModalScope modal(modalDepth_);
  try {
    ui::ShowMessageBox(
        ui::MessageBoxSpec{"Error", text, ui::MessageButtons::Ok, ui::MessageIcon::Error}, this);
  } catch (...) {
    // Nowhere left to report to; the command has already failed cleanly.
  }
}

void TSpread::ShowWarning(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  ui::ModalScope modal(modalDepth_);
  try {
    ui::ShowMessageBox(
        ui::MessageBoxSpec{"Warning", text, ui::MessageButtons::Ok, ui::MessageIcon::Warning},
        this);
  } catch (...) {
    // The load itself succeeded; a warning that cannot be shown is not an error.
  }
}

void TSpread::WireCommands() {
  const auto bind = [this](const char* name, void (TSpread::*body)()) {
    alMain->Find(name)->OnExecute = [this, body] { RunCommand([this, body] { (this->*body)(); }); };
  };
  bind("actOpenSpreadSheet", &TSpread::OpenSpreadSheet);
  bind("actSaveSpeadSheet", &TSpread::SaveSpreadSheet);
  alMain->Find("actNew")->OnExecute = [this] { RunCommand([this] { NewSheet(""); }); };
  bind("actCut", &TSpread::tbsCutClick);
  bind("actCopy", &TSpread::tbsCopyClick);
  bind("actPaste", &TSpread::tbsPasteClick);
  bind("actFormatCells", &TSpread::actFormatCellsExecute);
  static constexpr const char* kAlignCommands[] = {"actCellLeftAlign", "actCellCenterAlign",
                                                   "actCellRightAlign"};
  for (int i = 0; i < 3; ++i) {
    alMain->Find(kAlignCommands[i])->OnExecute = [this, i] {
      RunCommand([this, i] { ApplyFormat(fcAlign, i + 1, 0, "", 0); });
    };
  }
  alMain->Find("actFont")->OnExecute = [this] {
    RunCommand([this] {
      if (!cbxFont->Text().empty()) ApplyFormat(fcFontName, 0, 0, cbxFont->Text(), 0);
    });
  };
  alMain->Find("actFontSize")->OnExecute = [this] {
    RunCommand([this] {
      if (const int size = FontSizeOf(cbxSize->Text()); size > 0)
        ApplyFormat(fcFontSize, 0, size, "", 0);
    });
  };

  const auto click = [this](ui::ToolBar* bar, const char* button, void (TSpread::*body)()) {
    bar->FindButton(button)->OnClick = [this, body] {
      RunCommand([this, body] { (this->*body)(); });
    };
  };
  click(tbsStandart, "tbsCut", &TSpread::tbsCutClick);
  click(tbsStandart, "tbsCopy", &TSpread::tbsCopyClick);
  click(tbsStandart, "tbsPaste", &TSpread::tbsPasteClick);
  click(tbsFormatting, "tbMerge", &TSpread::tbMergeClick);
  click(tbsFormatting, "tgSplit", &TSpread::tgSplitClick);
  click(tbsFormatting, "tbSortAscending", &TSpread::tbSortAscendingClick);
  click(tbsFormatting, "tbSortDescending", &TSpread::tbSortDescendingClick);
  click(tbsFormatting, "ToolButton2", &TSpread::actFormatCellsExecute);
  static constexpr const char* kAlignButtons[] = {"tbLeftAlign", "tbCenterAlign", "tbRightAlign"};
  for (int i = 0; i < 3; ++i) {
    tbsFormatting->FindButton(kAlignButtons[i])->OnClick = [this, i] {
      alMain->Find(kAlignCommands[i])->Execute();
    };
  }
}

void TSpread::WireFormatting() {
  FormatStyleClick("tbBold", fcBold, workbook::kFontBold);
  FormatStyleClick("tbItalic", fcItalic, workbook::kFontItalic);
  FormatStyleClick("tbUnderline", fcUnderline, workbook::kFontUnderline);
  FormatStyleClick("tbStrikeOut", fcStrikeOut, workbook::kFontStrikeOut);

  cbxFont->OnChange = [this] { alMain->Find("actFont")->Execute(); };
  cbxSize->OnChange = [this] { alMain->Find("actFontSize")->Execute(); };
  const auto enterToGrid = [this](char& c) {
    if (c == '\r') {
      c = 0;
      sp1->SetFocus();
    }
  };
  cbxFont->OnKeyPress = enterToGrid;
  edtCellEdit->OnKeyPress = enterToGrid;
  // Only digits reach the size box: letters, signs and Backspace are swallowed.
  cbxSize->OnKeyPress = [enterToGrid](char& c) {
    if (c == '\r') {
      enterToGrid(c);
    } else if (c < '0' || c > '9') {
      c = 0;
    }
  };
  edtCellEdit->OnExit = [this] { RunCommand([this] { edtCellEditExit(); }); };
}

void TSpread::FormatStyleClick(const char* button, uint8_t change, uint8_t style) {
  ui::ToolButton* b = tbsFormatting->FindButton(button);
  // The toolbar has toggled the button already; its new state says include or remove.
  b->OnClick = [this, b, change, style] {
    RunCommand([this, b, change, style] { ApplyFormat(change, 0, 0, "", b->Down() ? style : 0); });
  };
}

void TSpread::LoadChecked(const std::string& path) {
  // Read the file into a scratch book first: a file that is not a readable workbook fails
  // there and the window's book stays exactly as it was. Only a file that loaded completely
  // is then loaded into the window's book.
  {
    workbook::Workbook scratch;
    book_->Services().loadFile(scratch, path);
  }
  struct Progress {
    TSpread& spread;
    ~Progress() { spread.EndProgress(); }
  } progress{*this};
  BeginProgress("Loading");
  book_->LoadFromFile(path);
}

void TSpread::OpenSpreadSheet() {
  bool confirmed = false;
  {
    ui::ModalScope modal(modalDepth_);
    confirmed = Open1.Execute(this);
  }
  if (!confirmed) return;
  const std::string path = Open1.fileName;
  CommitEditing();
  LoadChecked(path);
  book_->Refresh();
  sp1->BookChanged();
  Write("FileName", path);
  // The file loaded, but some of it is kept only as stored values: the reader is told.
  if (!book_->LoadWarnings().empty()) ShowWarning(book_->LoadWarnings());
}

void TSpread::SaveSpreadSheet() {
  bool confirmed = false;
  {
    ui::ModalScope modal(modalDepth_);
    confirmed = Save1.Execute(this);
  }
  if (!confirmed) return;
  const std::string path = Save1.fileName;
  // The text being typed is part of what the user saves.
  CommitEditing();
  {
    struct Progress {
      TSpread& spread;
      ~Progress() { spread.EndProgress(); }
    } progress{*this};
    BeginProgress("Saving");
    book_->SaveToFile(path);
  }
  Write("FileName", path);
}

void TSpread::NewSheet(const std::string& name) {
  if (IsEditing() || (sp1 != nullptr && sp1->IsEditing()))
    throw workbook::ESpreadSheetError("Finish editing the cell before starting a new workbook");
  if (modalDepth_ > 0) throw workbook::ESpreadSheetError("A dialog of this window is open");
  {
    // No message may reach the window while the book has no sheet.
    UpdateLock lock(*book_);
    book_->ClearBook();
    if (name.empty()) {
      book_->AddSheet();
    } else {
      book_->AddSheet(name);
    }
  }
  book_->Refresh();
  sp1->BookChanged();
  UpdateToolbarState();
  Write("FileName", "");
}

void TSpread::tbsCopyClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->CopyToClipboard(sheet->Selection(), false);
}

void TSpread::tbsCutClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->CopyToClipboard(sheet->Selection(), true);
  UpdateToolbarState();
}

void TSpread::tbsPasteClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  const TRect& s = sheet->Selection();
  sheet->Paste(std::min(s.Left, s.Right), std::min(s.Top, s.Bottom));
  UpdateToolbarState();
}

void TSpread::tbMergeClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->MergeCells(sheet->Selection(), true);
  book_->Refresh();
}

void TSpread::tgSplitClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->MergeCells(sheet->Selection(), false);
  book_->Refresh();
}

void TSpread::tbSortAscendingClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->SortCells(sheet->Selection(), {false});
  UpdateToolbarState();
}

void TSpread::tbSortDescendingClick() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  CommitEditing();
  sheet->SortCells(sheet->Selection(), {true});
  UpdateToolbarState();
}

void TSpread::actFormatCellsExecute() { FormatSelection(); }

bool TSpread::FormatSelection() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return false;
  CommitEditing();
  bool ok = false;
  {
    ui::ModalScope modal(modalDepth_);
    ok = sheet->FormatCells(sheet->Selection());
  }
  book_->Refresh();
  UpdateToolbarState();
  return ok;
}

void TSpread::ApplyFormat(uint8_t changes, int alignment, int fontSize, const std::string& fontName,
                          uint8_t styles) {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  if ((changes & fcFontSize) != 0 && (fontSize < kMinFontSize || fontSize > kMaxFontSize))
    changes &= static_cast<uint8_t>(~fcFontSize);
  if (changes == 0) return;
  CommitEditing();
  static constexpr workbook::THorzTextAlign kAlign[] = {workbook::haGENERAL, workbook::haLEFT,
                                                        workbook::haCENTER, workbook::haRIGHT};
  const uint8_t styleMask =
      static_cast<uint8_t>(((changes & fcBold) ? workbook::kFontBold : 0) |
                           ((changes & fcItalic) ? workbook::kFontItalic : 0) |
                           ((changes & fcUnderline) ? workbook::kFontUnderline : 0) |
                           ((changes & fcStrikeOut) ? workbook::kFontStrikeOut : 0));
  const TRect r = FormattedCells(*sheet);
  {
    UndoStep step(*book_, "Change cells");
    UpdateLock lock(*book_);
    for (int32_t col = r.Left; col <= r.Right; ++col) {
      for (int32_t row = r.Top; row <= r.Bottom; ++row) {
        std::unique_ptr<workbook::TSSCellObject> cell = sheet->CellObject(col, row);
        workbook::TSSCellStyle& style = cell->Style();
        workbook::TSSFont& font = style.Font();
        if (changes & fcFontName) font.SetName(fontName);
        if (changes & fcFontSize) font.SetSize(static_cast<uint8_t>(fontSize));
        if ((changes & fcAlign) && alignment >= 1 && alignment <= 3)
          style.SetHorzTextAlign(kAlign[alignment]);
        if (styleMask != 0) {
          const uint8_t now = font.Style();
          const uint8_t wanted = static_cast<uint8_t>((now & ~styleMask) | (styles & styleMask));
          if (wanted != now) font.SetStyle(wanted);
        }
      }
    }
  }
  book_->Refresh();
  UpdateToolbarState();
}

void TSpread::ShowCellInBar(const std::string& text) {
  shownCell_.sheet = book_->ActivePage();
  if (const TSSBookSheet* sheet = book_->ActiveSheet()) {
    const TRect& s = sheet->Selection();
    shownCell_.col = std::min(s.Left, s.Right);
    shownCell_.row = std::min(s.Top, s.Bottom);
  }
  shownCell_.text = text;
  edtCellEdit->SetText(text);
}

void TSpread::edtCellEditExit() {
  const std::string text = edtCellEdit->Text();
  const ShownCell shown = shownCell_;
  // Leaving the box without typing writes nothing; the text belongs to the cell it showed,
  // which may no longer be the selected one, and only an editable cell takes it.
  if (text == shown.text) return;
  if (shown.sheet < 0 || shown.sheet >= book_->PageCount()) return;
  TSSBookSheet& sheet = book_->Sheets(shown.sheet);
  if (shown.col < 0 || shown.row < 0 || !sheet.IsCellEditable(shown.col, shown.row)) return;
  {
    std::unique_ptr<workbook::TSSCellObject> cell = sheet.CellObject(shown.col, shown.row);
    cell->SetRawText(text);
    cell->SetText(cell->EditText());
  }
  shownCell_.text = text;
  book_->Refresh();
  UpdateToolbarState();
}

}  // namespace window
