#include "workbook/TCustomSpreadSheetBook.h"

#include <algorithm>

#include "platform/File.h"
#include "workbook/KeyCodes.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace workbook {
TCustomSpreadSheetBook::TCustomSpreadSheetBook()
    : services_(InstalledBookServices()),
      listener_(*this),
      history_(std::make_unique<TSpreadSheetHistory>(this)),
      styles_(&listener_) {
  history_->Suspend();  // nothing is recorded while the book is built
  formulas_ = services_->formulaCache(*this);
  history_->Resume();
}

TCustomSpreadSheetBook::~TCustomSpreadSheetBook() {
  history_->Suspend();
  history_->Clear();
  sheets_.clear();  // storages give their records back while caches still exist
  formulas_.reset();
}

void TCustomSpreadSheetBook::SetFormulaCache(std::unique_ptr<FormulaEngine> cache) {
  formulas_ = std::move(cache);
  if (formulas_) formulas_->SetR1C1ReferenceStyle(r1c1_);
}

void TCustomSpreadSheetBook::ThrowInvalidPage() { throw ESpreadSheetError("Invalid page number"); }

TSSBookSheet* TCustomSpreadSheetBook::ActiveSheet() const {
  if (activePage_ < 0 || activePage_ >= PageCount()) return nullptr;
  return sheets_[static_cast<size_t>(activePage_)].get();
}

int TCustomSpreadSheetBook::IndexOfSheet(const TSSBookSheet* sheet) const {
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == sheet) return static_cast<int>(i);
  return -1;
}

bool TCustomSpreadSheetBook::PageVisible(int index) const {
  return index >= 0 && index < PageCount() && pageVisible_[static_cast<size_t>(index)];
}

void TCustomSpreadSheetBook::SetPageVisible(int index, bool visible) {
  if (index < 0 || index >= PageCount()) return;
  pageVisible_[static_cast<size_t>(index)] = visible;
  listener_.Repaint();
}

TSSBookSheet& TCustomSpreadSheetBook::AddSheet() {
  return AddSheet("Sheet" + std::to_string(PageCount() + 1));
}

TSSBookSheet& TCustomSpreadSheetBook::AddSheet(const std::string& caption) {
  BeginUpdate();
  try {
    auto sheet = std::make_unique<TSSBookSheet>(*this);
    sheet->Storage().SetCaption(caption);
    sheets_.push_back(std::move(sheet));
    pageVisible_.push_back(true);
    if (PageCount() == 1) activePage_ = 0;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  return *sheets_.back();
}

void TCustomSpreadSheetBook::DeleteSheet(int index) {
  if (index < 0 || index >= PageCount() || PageCount() <= 1) return;
  bool canDelete = true;
  if (events.OnDeleteSheet) events.OnDeleteSheet(index, canDelete);
  if (!canDelete) return;
  if (index == activePage_) {
    if (index == PageCount() - 1) activePage_ = index - 1;
  } else if (index < activePage_) {
    --activePage_;
  }
  // Undo steps may refer to the sheet's cells: they cannot outlive it.
  history_->Clear();
  sheets_.erase(sheets_.begin() + index);
  pageVisible_.erase(pageVisible_.begin() + index);
  if (formulas_) formulas_->SheetRemoved(index);
  activePage_ = std::clamp(activePage_, 0, PageCount() - 1);
  Refresh();
}

void TCustomSpreadSheetBook::ExchangeSheets(int index1, int index2) {
  if (index1 < 0 || index2 < 0 || index1 >= PageCount() || index2 >= PageCount()) return;
  bool canExchange = true;
  if (events.OnExchangeSheets) events.OnExchangeSheets(index1, index2, canExchange);
  if (!canExchange || index1 == index2) return;
  std::swap(sheets_[static_cast<size_t>(index1)], sheets_[static_cast<size_t>(index2)]);
  // Swap the visibility with the sheets (vector<bool> has no element references).
  const bool v1 = pageVisible_[static_cast<size_t>(index1)];
  pageVisible_[static_cast<size_t>(index1)] = pageVisible_[static_cast<size_t>(index2)];
  pageVisible_[static_cast<size_t>(index2)] = v1;
  if (activePage_ == index1)
    activePage_ = index2;
  else if (activePage_ == index2)
    activePage_ = index1;
  if (formulas_) formulas_->SwapSheets(index1, index2);
  Recalculate();
}

void TCustomSpreadSheetBook::SetActiveSheet(int index) {
  if (index == activePage_ || index < 0 || index >= PageCount()) return;
  int target = index;
  while (!PageVisible(target) && target < PageCount() - 1) ++target;
  while (!PageVisible(target) && target > 0) --target;
  if (target == activePage_) return;
  bool canSelect = true;
  if (!IsLocked() && events.OnActiveSheetChanging)
    events.OnActiveSheetChanging(*this, target, canSelect);
  if (!canSelect) return;
  ActivateSheet(target);
}

void TCustomSpreadSheetBook::ActivateSheet(int index) {
  activePage_ = index;
  TSSDataStorage& storage = sheets_[static_cast<size_t>(index)]->Storage();
  // The sheet's own selection, covering whole merged areas.
  storage.SetSelection(storage.ExpandByMerges(storage.Selection()));
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetPageCount(int count) {
  count = std::max(count, 1);
  if (count == PageCount()) return;
  BeginUpdate();
  try {
    if (count < PageCount()) {
      history_->Clear();
      sheets_.resize(static_cast<size_t>(count));
      pageVisible_.resize(static_cast<size_t>(count));
      activePage_ = 0;
    } else {
      while (PageCount() < count) AddSheet();
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomSpreadSheetBook::ClearBook() {
  history_->Clear();
  sheets_.clear();
  pageVisible_.clear();
  if (formulas_) formulas_->Clear();
  styles_.Reset();
  activePage_ = 0;
  history_->Clear();
  if (!IsLocked()) listener_.Repaint();
}

void TCustomSpreadSheetBook::BeginUpdate() {
  listener_.IncLock();
  if (formulas_) formulas_->Lock();
}

void TCustomSpreadSheetBook::EndUpdate() {
  if (listener_.LockCount() == 0) return;
  if (formulas_) formulas_->Unlock();
  listener_.DecLock();
  if (listener_.LockCount() == 0) Refresh();
}

void TCustomSpreadSheetBook::Recalculate() {
  if (IsLocked() || !formulas_) return;
  if (formulas_->RecalculateAll() > 0) {
    listener_.IncLock();
    try {
      if (events.OnAfterCalculation) events.OnAfterCalculation(*this);
    } catch (...) {
      listener_.DecLock();
      throw;
    }
    listener_.DecLock();
    listener_.Repaint();
  }
}

void TCustomSpreadSheetBook::Refresh() {
  if (IsLocked()) return;
  if (autoRecalc_) Recalculate();
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetAutoRecalc(bool on) {
  if (autoRecalc_ == on) return;
  autoRecalc_ = on;
  if (on) Recalculate();
}

void TCustomSpreadSheetBook::SetDefaultColWidth(uint16_t width) {
  if (width == 0 || width == defaultColWidth_) return;
  defaultColWidth_ = width;
  for (auto& sheet : sheets_) sheet->ColumnHeader().SetDefaultSize(width);
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetDefaultRowHeight(uint16_t height) {
  if (height == 0 || height == defaultRowHeight_) return;
  defaultRowHeight_ = height;
  for (auto& sheet : sheets_) sheet->RowHeader().SetDefaultSize(height);
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetPrecision(uint8_t precision) {
  if (precision == precision_) return;
  precision_ = precision;
  Refresh();
}

void TCustomSpreadSheetBook::SetR1C1ReferenceStyle(bool on) {
  if (on == r1c1_) return;
  r1c1_ = on;
  if (formulas_) formulas_->SetR1C1ReferenceStyle(on);
  Refresh();
}

void TCustomSpreadSheetBook::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  DefaultStyle().SetReadOnlyFlag(readOnly);
}

void TCustomSpreadSheetBook::SetShowFormulas(bool on) {
  showFormulas_ = on;
  for (auto& sheet : sheets_) sheet->ShowFormulas = on;
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetShowGrid(bool on) {
  showGrid_ = on;
  for (auto& sheet : sheets_) sheet->ShowGrid = on;
  listener_.Repaint();
}

bool TCustomSpreadSheetBook::ShowHeaders() const {
  const TSSBookSheet* sheet = ActiveSheet();
  return sheet ? sheet->ShowHeaders : true;
}

void TCustomSpreadSheetBook::SetShowHeaders(bool on) {
  if (TSSBookSheet* sheet = ActiveSheet()) sheet->ShowHeaders = on;
  listener_.Repaint();
}

void TCustomSpreadSheetBook::Assign(const TCustomSpreadSheetBook& source) {
  if (&source == this) return;
  listener_.IncLock();
  try {
    ClearBook();
    styles_.OverwriteDefault([&] {
      StyleEntry e = *source.styles_.DefaultEntry();
      e.Font = e.Font ? styles_.ImportFont(*e.Font) : nullptr;
      return e;
    }());
    DefaultStyle().Rebind();
    styles_.Palette() = source.styles_.Palette();
    for (int i = 0; i < source.PageCount(); ++i) {
      TSSBookSheet& sheet = AddSheet(source.Sheets(i).Caption());
      sheet.Assign(source.Sheets(i));
      sheet.Storage().SetCaption(source.Sheets(i).Caption());
      sheet.SheetProtected = source.Sheets(i).SheetProtected;
      pageVisible_[static_cast<size_t>(i)] = source.pageVisible_[static_cast<size_t>(i)];
    }
  } catch (...) {
    listener_.DecLock();
    throw;
  }
  listener_.DecLock();
  if (PageCount() > 0) ActivateSheet(std::clamp(source.activePage_, 0, PageCount() - 1));
  SetReadOnly(source.readOnly_);
  history_->Clear();
  listener_.Repaint();
}

void TCustomSpreadSheetBook::LoadFromReader(WorkbookReader& reader) {
  loadWarnings_.clear();
  SetReadOnly(false);
  history_->Clear();
  history_->Suspend();
  BeginUpdate();
  SetR1C1ReferenceStyle(false);
  loading_ = true;
  const auto restore = [this] {
    loading_ = false;
    EndUpdate();
    history_->Resume();
  };
  bool cacheLocked = false;
  try {
    if (!reader.IsWorkbook()) throw ESpreadSheetError("Invalid stream format");
    ClearBook();
    if (formulas_) {
      formulas_->Lock();  // no recalculation while cells arrive
      cacheLocked = true;
    }
    styles_.Palette() = DefaultPalette();
    reader.Read(*this, [this](uint8_t percent) {
      if (events.OnProgress) events.OnProgress(*this, percent);
    });
    if (cacheLocked) formulas_->Unlock();
    cacheLocked = false;
    loadWarnings_ = reader.Warnings();
    if (PageCount() == 0) AddSheet();  // a book always has a sheet to show
    loading_ = false;
    // Rows follow the height of wrapped texts; without a wrapping style no row can change.
    if (styles_.HasWrappingEntry())
      for (auto& sheet : sheets_)
        for (int32_t row = 0; row < sheet->Storage().UsedRows(); ++row) sheet->AutoRowHeight(row);
    ActivateSheet(0);
  } catch (...) {
    if (cacheLocked) formulas_->Unlock();
    restore();
    history_->Clear();
    throw;
  }
  restore();
  history_->Clear();
  SetModified(false);
}

void TCustomSpreadSheetBook::LoadFromFile(const std::string& fileName) {
  if (!platform::FileExists(fileName))
    throw ESpreadSheetError("Invalid file " + fileName + " name");
  services_->loadFile(*this, fileName);
}

void TCustomSpreadSheetBook::SaveToFile(const std::string& fileName) {
  services_->saveFile(*this, fileName);
}

bool TCustomSpreadSheetBook::KeyDown(uint16_t key, bool shift, bool ctrl) {
  TSSBookSheet* sheet = ActiveSheet();
  if (!sheet) return false;
  const TRect selection = sheet->Selection();
  if (ctrl && !shift) {
    switch (key) {
      case 'C':
        sheet->CopyToClipboard(selection, false);
        return true;
      case 'X':
        sheet->CopyToClipboard(selection, true);
        return true;
      case 'V':
        sheet->Paste(selection.Left, selection.Top);
        return true;
      case 'Z':
        history_->Undo(1);
        return true;
      case 'Y':
        history_->Redo(1);
        return true;
      default:
        break;
    }
  }
  if (key == kKeyF9 && !shift && !ctrl) {
    // At once, also when automatic recalculation is off or held back by one lock.
    const bool lifted = formulas_ && formulas_->LockCount() > 0;
    if (lifted) formulas_->Unlock();
    try {
      Recalculate();
    } catch (...) {
      if (lifted) formulas_->Lock();
      throw;
    }
    if (lifted) formulas_->Lock();
    Refresh();
    return true;
  }
  return sheet->KeyDown(key, shift, ctrl);
}

IBookSheet& TCustomSpreadSheetBook::AddSheetIntf(const std::string& caption) {
  return AddSheet(caption);
}

void TCustomSpreadSheetBook::AddName(const std::string& name, const std::string& definition) {
  if (formulas_) formulas_->AddName(name, definition);
}

std::unique_ptr<TSSCellObject> TCustomSpreadSheetBook::GetCell(int sheet, int32_t col,
                                                               int32_t row) {
  return Sheets(sheet).CellObject(col, row);
}

IBookSheet& TCustomSpreadSheetBook::GetSheet(int index) { return Sheets(index); }

void TCustomSpreadSheetBook::SetDefaultStyleEntry(const StyleEntry& entry, const TSSFontRec& font) {
  StyleEntry e = entry;
  // The default entry keeps its own font record, refreshed from the given font.
  TSSFontRec* own = styles_.DefaultEntry()->Font;
  own->Name = font.Name;
  own->Size = font.Size;
  own->Style = font.Style & 0x0F;
  own->Charset = font.Charset;
  own->Color = NormalizeColor(font.Color);
  e.Font = own;
  styles_.OverwriteDefault(e);
  DefaultStyle().Rebind();
  listener_.Repaint();
}

void TCustomSpreadSheetBook::SetPalette(const ColorPalette& palette) {
  styles_.Palette() = palette;
  listener_.Repaint();
}

void TCustomSpreadSheetBook::AddFirstSheet() {
  History().Suspend();
  AddSheet();
  History().Resume();
  SetModified(false);
}

}  // namespace workbook
