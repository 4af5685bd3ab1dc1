// Sheet-level range operations: editability, undo groups, formula adjustment, events.
#include <algorithm>

#include "platform/CodePage.h"
#include "workbook/ClipboardBlock.h"
#include "workbook/KeyCodes.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"

namespace workbook {
namespace {

TRect Normalize(const TRect& r) {
  return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
               std::max(r.Top, r.Bottom)};
}

// The part of a rectangle that can hold records (so loops never run to the far edge).
TRect UsedPart(const TSSDataStorage& storage, const TRect& r) {
  return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, storage.UsedCols() - 1),
               std::min(r.Bottom, storage.UsedRows() - 1)};
}

// Opens an undo group and the book's update lock for the scope.
class Step {
 public:
  Step(TCustomSpreadSheetBook& book, const std::string& caption) : book_(book) {
    grouped_ = book.History().BeginGroup(caption) != nullptr;
    book.BeginUpdate();
  }
  ~Step() {
    book_.EndUpdate();
    if (grouped_) book_.History().EndGroup();
  }
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;

 private:
  TCustomSpreadSheetBook& book_;
  bool grouped_ = false;
};

}  // namespace

void TSSBookSheet::ClearCells(const TRect& rect, bool withStyles) {
  const TRect r = rect.IsWholeUsedArea()
                      ? TRect{0, 0, storage_->UsedCols() - 1, storage_->UsedRows() - 1}
                      : Normalize(rect);
  if (!AreCellsEditable(UsedPart(*storage_, r))) return;
  {
    Step step(book_, "Clear cells");
    storage_->ClearCells(rect, withStyles);
    const TRect used = UsedPart(*storage_, r);
    for (int32_t row = used.Top; row <= used.Bottom; ++row) AutoRowHeight(row);
  }
  book_.Refresh();
  NotifyCellsChanged(UsedPart(*storage_, r));
}

void TSSBookSheet::ClearAll() {
  {
    Step step(book_, "Clear all");
    storage_->ClearCells(kWholeUsedArea, true);
  }
  book_.Listener().Repaint();
}

void TSSBookSheet::InsertCells(const TRect& rect, int mode) {
  const TRect r = Normalize(rect);
  if (book_.ExcelProtectionStyle && !AreCellsEditable(UsedPart(*storage_, r))) return;
  book_.BeginUpdate();
  try {
    if (FormulaEngine* formulas = book_.FormulaCache()) {
      if (mode == 2) formulas->ColumnsShifted(SheetIndex(), std::max(r.Left, 0), r.Width());
      if (mode == 3) formulas->RowsShifted(SheetIndex(), std::max(r.Top, 0), r.Height());
    }
    storage_->InsertCells(r, mode);
  } catch (...) {
    book_.EndUpdate();
    throw;
  }
  book_.EndUpdate();
}

void TSSBookSheet::DeleteCells(const TRect& rect, int mode) {
  const TRect r = Normalize(rect);
  if (book_.ExcelProtectionStyle && !AreCellsEditable(UsedPart(*storage_, r))) return;
  book_.BeginUpdate();
  try {
    if (FormulaEngine* formulas = book_.FormulaCache()) {
      if (mode == 2) formulas->ColumnsShifted(SheetIndex(), std::max(r.Left, 0), -r.Width());
      if (mode == 3) formulas->RowsShifted(SheetIndex(), std::max(r.Top, 0), -r.Height());
    }
    storage_->DeleteCells(r, mode);
  } catch (...) {
    book_.EndUpdate();
    throw;
  }
  book_.EndUpdate();
}

void TSSBookSheet::SortCells(const TRect& rect, const std::vector<bool>& directions) {
  {
    Step step(book_, "Sort cells");
    storage_->SortCells(rect, directions);
  }
  book_.Refresh();
}

bool TSSBookSheet::FormatCells(const TRect& cells) {
  TRect r = Normalize(cells);
  if (r.Right < 0 || r.Bottom < 0 || r.Left >= kFarEdge || r.Top >= kFarEdge) return false;
  r = TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, kFarEdge - 1),
            std::min(r.Bottom, kFarEdge - 1)};
  bool canFormat = true;
  FormatDialogFactory dialogClass = book_.FormatDialogClass;
  if (book_.events.OnFormatCells) book_.events.OnFormatCells(*this, r, canFormat, dialogClass);
  if (!canFormat || !dialogClass) return false;
  std::unique_ptr<TSSFormatDialog> dialog = dialogClass();
  if (!dialog) return false;
  const bool grouped = book_.History().BeginGroup("Format cells") != nullptr;
  struct CloseGroup {
    TCustomSpreadSheetBook& book;
    bool grouped;
    ~CloseGroup() {
      if (grouped) book.History().EndGroup();
    }
  } close{book_, grouped};
  return dialog->Execute(r, this);
}

void TSSBookSheet::CopyToClipboard(const TRect& rect, bool cut) {
  TRect r = Normalize(rect);
  if (r.Left < 0 || r.Top < 0 || r.Left >= kFarEdge || r.Top >= kFarEdge) return;
  // Whole columns or rows copy what they hold: the block ends with the used area.
  r.Right = std::min(r.Right, std::max(r.Left, storage_->UsedCols() - 1));
  r.Bottom = std::min(r.Bottom, std::max(r.Top, storage_->UsedRows() - 1));
  // Stored texts (not display texts), tab between cells, CR LF between rows.
  std::string text;
  for (int32_t row = r.Top; row <= r.Bottom; ++row) {
    for (int32_t col = r.Left; col <= r.Right; ++col) {
      if (col > r.Left) text += '\t';
      text += storage_->CellRec(col, row).Text;
    }
    if (row < r.Bottom) text += "\r\n";
  }
  book_.History().Suspend();
  std::string block;
  try {
    block = CopyBlock(*storage_, r);
  } catch (...) {
    book_.History().Resume();
    throw;
  }
  book_.History().Resume();
  BookClipboard& clipboard = *book_.Services().clipboard;
  clipboard.Clear();
  clipboard.SetData(kPrivateClipboardFormat, block + "\r\n" + std::string(1, '\0'));
  clipboard.SetText(platform::AnsiToUtf16(text + "\r\n"));
  if (cut && AreCellsEditable(r)) {
    Step step(book_, "Cut cells");
    storage_->ClearCells(r, false);
  }
}

bool TSSBookSheet::KeyDown(uint16_t key, bool shift, bool ctrl) {
  const TRect selection = Selection();
  switch (key) {
    case kKeyDelete:
      if (shift && !ctrl)
        CopyToClipboard(selection, true);
      else
        ClearCells(selection, ctrl);
      return true;
    case kKeyInsert:
      if (ctrl && !shift)
        CopyToClipboard(selection, false);
      else if (shift && !ctrl)
        Paste(selection.Left, selection.Top);
      else
        return false;
      return true;
    case kKeyF2:
      if (shift || ctrl) return false;
      if (IsCellEditable(selection.Left, selection.Top))
        book_.Listener().RequestEdit(*this, selection.Left, selection.Top);
      return true;
    case kKeyReturn:
      storage_->SetActiveRow(selection.Bottom + 1);
      return true;
    case kKeyTab:
      if (shift) {
        if (selection.Left > 0) storage_->SetActiveCol(selection.Left - 1);
      } else {
        storage_->SetActiveCol(selection.Right + 1);
      }
      return true;
    default:
      return false;
  }
}

TRect TSSBookSheet::Paste(int32_t col, int32_t row) {
  TRect pasted{0, 0, -1, -1};
  if (col < 0 || row < 0 || !IsCellEditable(col, row) || !book_.Listener().CanEdit(*this, col, row))
    return pasted;
  BookClipboard& clipboard = *book_.Services().clipboard;
  const auto editable = [this](int32_t c, int32_t r) { return IsCellEditable(c, r); };
  bool blockPasted = false;
  {
    Step step(book_, "Paste cells");
    if (auto block = clipboard.GetData(kPrivateClipboardFormat)) {
      PasteBlock(*storage_, *block, col, row, editable, pasted);
      blockPasted = true;
    } else {
      std::string text;
      if (auto unicode = clipboard.GetText())
        text = platform::Utf16ToAnsi(*unicode);
      else if (auto ansi = clipboard.GetAnsiText())
        text = *ansi;
      else
        return pasted;
      if (!text.empty() && text.back() == '\0') text.pop_back();
      if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += "\r\n";
      int32_t c = col, r = row;
      std::string value;
      pasted = TRect{col, row, col, row};
      const auto flush = [&]() {
        if (c < kFarEdge && r < kFarEdge && IsCellEditable(c, r)) {
          if (value.empty())
            storage_->RestoreCellContent(c, r, std::string(), kCellText, 0);
          else
            CellObject(c, r)->SetText(value);
          pasted.Right = std::max(pasted.Right, c);
          pasted.Bottom = std::max(pasted.Bottom, r);
        }
        value.clear();
      };
      for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\t') {
          flush();
          ++c;
        } else if (ch == '\r') {
          flush();
          if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
          ++r;
          c = col;
        } else if (ch == '\n') {
          // A line feed alone is a line break too.
          flush();
          ++r;
          c = col;
        } else {
          value += ch;
        }
      }
    }
    if (book_.events.OnEndEdit) book_.events.OnEndEdit(book_);
  }
  NotifyCellsChanged(pasted);
  book_.Refresh();
  if (blockPasted) {
    TRect area;
    if (storage_->MergedCells().AreaAt(TPoint{col, row}, area)) SetSelection(area);
  }
  return pasted;
}

}  // namespace workbook
