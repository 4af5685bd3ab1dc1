#include "formulas/BookFormulaCache.h"

#include "formulas/TSSFunctionHandler.h"
#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSDataStorage.h"

namespace formulas {
namespace {

workbook::TRect BandRect(bool columns, int32_t at, int32_t count) {
  const int32_t n = count < 0 ? -count : count;
  return columns ? workbook::TRect{at, 0, at + n - 1, workbook::kFarEdge}
                 : workbook::TRect{0, at, workbook::kFarEdge, at + n - 1};
}

}  // namespace

BookFormulaCache::BookFormulaCache(workbook::TCustomSpreadSheetBook& book)
    : book_(book), cache_(*this) {}

BookFormulaCache::~BookFormulaCache() = default;

std::unique_ptr<workbook::FormulaEngine> BookFormulaCache::Create(
    workbook::TCustomSpreadSheetBook& book) {
  return std::make_unique<BookFormulaCache>(book);
}

FormulaEntry* BookFormulaCache::Own(workbook::FormulaHandle* entry) const {
  return static_cast<FormulaEntry*>(entry);  // every entry this cache hands out is one
}

workbook::TSSDataStorage* BookFormulaCache::StorageOf(uint16_t sheet) const {
  if (sheet >= book_.PageCount()) return nullptr;
  return &book_.Sheets(sheet).Storage();
}

// ---- workbook::FormulaEngine -----------------------------------------------------------------

void BookFormulaCache::Remove(workbook::FormulaHandle* entry) { cache_.Remove(Own(entry)); }

void BookFormulaCache::SetFormula(workbook::TSSDataStorage& storage, int32_t col, int32_t row) {
  cache_.SetFormula(static_cast<uint16_t>(storage.SheetIndex()), col, row);
}

workbook::FormulaHandle* BookFormulaCache::Clone(workbook::FormulaHandle* entry,
                                                 workbook::TSSDataStorage& target) {
  if (entry == nullptr) return nullptr;
  FormulaEntry* copy = cache_.Clone(*Own(entry));
  copy->Sheet = static_cast<uint16_t>(target.SheetIndex());
  // Copies are made when a whole storage is copied: the graph learns the copy's sheet anew.
  cache_.StructureChanged();
  return copy;
}

std::string BookFormulaCache::FormulaText(workbook::FormulaHandle* entry) {
  return entry ? cache_.FormulaText(*Own(entry)) : std::string();
}

std::string BookFormulaCache::FormulaDisplayText(workbook::FormulaHandle* entry) {
  return cache_.FormulaDisplayText(Own(entry), true);
}

workbook::FormulaValue BookFormulaCache::FormulaResult(workbook::FormulaHandle* entry) {
  return cache_.FormulaResult(Own(entry));
}

int BookFormulaCache::RecalculateAll() {
  // An explicit recalculation of the book goes through a lock (F9 with AutoRecalc off).
  cache_.SetForceCalc(true);
  try {
    cache_.Recalculate();
  } catch (...) {
    cache_.SetForceCalc(false);
    throw;
  }
  cache_.SetForceCalc(false);
  return static_cast<int>(cache_.EntryCount());
}

void BookFormulaCache::SheetRemoved(int32_t index) {
  if (index >= 0) cache_.SheetRemoved(static_cast<uint16_t>(index));
}

void BookFormulaCache::SwapSheets(int32_t index1, int32_t index2) {
  if (index1 >= 0 && index2 >= 0)
    cache_.SwapSheets(static_cast<uint16_t>(index1), static_cast<uint16_t>(index2));
}

void BookFormulaCache::Clear() { cache_.Clear(); }

void BookFormulaCache::CellChanged(workbook::TSSDataStorage& storage, int32_t col, int32_t row) {
  if (!cache_.TracksChanges()) return;  // the next recalculation covers every cell anyway
  cache_.CellChanged(static_cast<uint16_t>(storage.SheetIndex()), col, row);
}

void BookFormulaCache::CellsRearranged() { cache_.StructureChanged(); }
void BookFormulaCache::Lock() { cache_.Lock(); }
void BookFormulaCache::Unlock() { cache_.Unlock(); }
void BookFormulaCache::SetR1C1ReferenceStyle(bool) {}  // read from the book when needed

void BookFormulaCache::ColumnsShifted(int32_t sheet, int32_t at, int32_t count) {
  if (sheet < 0 || count == 0) return;
  cache_.AdjustForInsertDelete(static_cast<uint16_t>(sheet), BandRect(true, at, count), true,
                               count < 0);
}

void BookFormulaCache::RowsShifted(int32_t sheet, int32_t at, int32_t count) {
  if (sheet < 0 || count == 0) return;
  cache_.AdjustForInsertDelete(static_cast<uint16_t>(sheet), BandRect(false, at, count), false,
                               count < 0);
}

void BookFormulaCache::CellMoved(workbook::FormulaHandle* entry, workbook::TSSDataStorage& storage,
                                 int32_t col, int32_t row) {
  FormulaEntry* e = Own(entry);
  if (e == nullptr || !e->Listed) return;
  e->Sheet = static_cast<uint16_t>(storage.SheetIndex());
  e->Col = col;
  e->Row = row;
  e->Result.Clear();
  cache_.EntryMoved(*e);
  const std::string text = cache_.FormulaText(*e);
  if (!text.empty()) WriteCell(e->Sheet, col, row, text, CellDataType::Formula, e);
}

std::string BookFormulaCache::FormulaTokenBytes(workbook::FormulaHandle* entry, uint16_t& count) {
  count = 0;
  FormulaEntry* e = Own(entry);
  if (e == nullptr || e->Tokens.Empty()) return {};
  count = e->Tokens.Length();
  return std::string(reinterpret_cast<const char*>(e->Tokens.Data()), e->Tokens.Length());
}

workbook::FormulaEngine::PasteResult BookFormulaCache::PasteFormula(
    workbook::TSSDataStorage& target, int32_t col, int32_t row, const std::string& tokens,
    uint16_t count, int32_t dCol, int32_t dRow) {
  if (count == 0 || count > tokens.size()) return PasteResult::NotSupported;
  FormulaEntry entry;  // built here, moved into the cache's list once it is accepted
  entry.Sheet = static_cast<uint16_t>(target.SheetIndex());
  entry.Col = col;
  entry.Row = row;
  entry.Tokens =
      TokenBlock(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(tokens.data()), count));
  if (!cache_.CheckPastedReferences(entry)) return PasteResult::InvalidReference;
  cache_.ShiftSheetReferences(entry, dCol, dRow);
  // The cell keeps no text of its own: it is the entry's, made when first asked for. Tokens
  // that would give no text are refused here, as making the text would have refused them
  // (that attempt reports the problem, so it is made). The answer depends on the tokens
  // alone, so a file's pattern pasted into cell after cell is checked once.
  const std::string_view bytes(reinterpret_cast<const char*>(entry.Tokens.Data()),
                               entry.Tokens.Length());
  if (bytes != lastBuildable_) {
    if (!TSSFunctionHandler::TextCanBeBuilt(entry.Tokens)) {
      cache_.FormulaText(entry);
      return PasteResult::NotSupported;  // the clipboard's text is taken instead
    }
    lastBuildable_.assign(bytes);
  }
  workbook::FormulaHandle* old = target.CellFormula(col, row);
  FormulaEntry* raw = cache_.Add(std::move(entry));
  target.StoreFormulaEntry(col, row, raw);
  // The replaced formula's entry goes after the write has recorded the old content.
  if (old != nullptr && old != raw) cache_.Remove(Own(old));
  return PasteResult::Pasted;
}

// ---- FormulaBook -------------------------------------------------------------------------------

int32_t BookFormulaCache::SheetCount() const { return book_.PageCount(); }

std::string BookFormulaCache::SheetCaption(int32_t index) const {
  return index >= 0 && index < book_.PageCount() ? book_.Sheets(index).Caption() : std::string();
}

bool BookFormulaCache::R1C1ReferenceStyle() const { return book_.R1C1ReferenceStyle(); }
bool BookFormulaCache::ShowFormulas() const { return book_.ShowFormulas(); }

workbook::TRect BookFormulaCache::UsedArea(uint16_t sheet) const {
  const workbook::TSSDataStorage* storage = StorageOf(sheet);
  if (storage == nullptr) return workbook::TRect{0, 0, -1, -1};
  return workbook::TRect{0, 0, storage->UsedColCount() - 1, storage->UsedRowCount() - 1};
}

bool BookFormulaCache::ReadCell(uint16_t sheet, int32_t col, int32_t row, CellView& cell) {
  workbook::TSSDataStorage* storage = StorageOf(sheet);
  if (storage == nullptr || col < 0 || row < 0) return false;
  if (storage->IsFormulaTextDerived(col, row)) {
    // Evaluation reads such a cell for its entry only: its text is not made.
    cell.text = {};
    cell.dataType = CellDataType::Formula;
    cell.formula = Own(storage->CellFormula(col, row));
    return true;
  }
  workbook::TSSCellRec rec;
  storage->GetCellRec(col, row, rec);
  std::string& text = scratch_[nextScratch_];
  nextScratch_ = (nextScratch_ + 1) % 4;
  text = std::move(rec.Text);
  cell.text = text;
  cell.dataType = rec.DataType == workbook::kCellFormula       ? CellDataType::Formula
                  : rec.DataType == workbook::kCellNumber      ? CellDataType::Number
                  : rec.DataType == workbook::kCellLiteralText ? CellDataType::LiteralText
                                                               : CellDataType::Text;
  cell.formula = cell.dataType == CellDataType::Formula ? Own(rec.Formula) : nullptr;
  return true;
}

bool BookFormulaCache::ReadDerivedNumber(uint16_t sheet, int32_t col, int32_t row, double& value) {
  workbook::TSSDataStorage* storage = StorageOf(sheet);
  return storage != nullptr && storage->DerivedNumber(col, row, value);
}

int32_t BookFormulaCache::ReadDerivedNumbers(uint16_t sheet, int32_t col, int32_t row,
                                             int32_t count, double* values) {
  const workbook::TSSDataStorage* storage = StorageOf(sheet);
  if (storage == nullptr) return 0;
  int32_t n = 0;
  while (n < count && storage->DerivedNumber(col + n, row, values[n])) ++n;
  return n;
}

void BookFormulaCache::WriteCell(uint16_t sheet, int32_t col, int32_t row, const std::string& text,
                                 CellDataType dataType, FormulaEntry* formula) {
  workbook::TSSDataStorage* storage = StorageOf(sheet);
  if (storage == nullptr) return;
  workbook::TSSCellRec rec = storage->CellRec(col, row);
  rec.Text = text;
  rec.DataType = dataType == CellDataType::Formula ? workbook::kCellFormula : workbook::kCellText;
  rec.Formula = dataType == CellDataType::Formula ? formula : nullptr;
  rec.Value = 0;
  storage->SetCellRec(col, row, rec);
}

std::string BookFormulaCache::FormatCellNumber(uint16_t sheet, int32_t col, int32_t row,
                                               double value) {
  workbook::TSSDataStorage* storage = StorageOf(sheet);
  const uint16_t code = storage ? storage->CellStyleEntry(col, row)->Format : 0;
  return workbook::TSSUtils::FormatNumber(code, book_.Precision(), value);
}

void BookFormulaCache::ShowMessage(std::string_view message) {
  if (messages_.size() >= 100) messages_.erase(messages_.begin());
  messages_.emplace_back(message);
  book_.Services().showMessage(message);
}

}  // namespace formulas
