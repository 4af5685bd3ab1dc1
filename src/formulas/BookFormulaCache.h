#pragma once
// The formula engine as a book's formula cache: implements the workbook's view of the cache
// (FormulaEngine: what storages and the book call) over TSSFormulasCache, and the engine's view
// of the book (FormulaBook) over the book's sheets and storages.
//
// Every cell change goes through the storage's write path (SetCellRec), so undo and the
// book's events see the formula cells like any other.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "formulas/FormulaBook.h"
#include "formulas/TSSFormulasCache.h"
#include "workbook/SSIntf.h"

namespace workbook {
class TCustomSpreadSheetBook;
class TSSDataStorage;
}  // namespace workbook

namespace formulas {

class BookFormulaCache final : public workbook::FormulaEngine, public FormulaBook {
 public:
  explicit BookFormulaCache(workbook::TCustomSpreadSheetBook& book);
  ~BookFormulaCache() override;

  // The formula cache factory of the book services: composition functions put it in
  // BookServices::formulaCache so that every book they build computes its formulas.
  static std::unique_ptr<workbook::FormulaEngine> Create(workbook::TCustomSpreadSheetBook& book);
  // The engine's last 100 messages; each also goes to the book services' message handler
  // (the window shows a message box).
  const std::vector<std::string>& LastMessages() const { return messages_; }

  TSSFormulasCache& Engine() { return cache_; }

  // ---- workbook::FormulaEngine
  void Remove(workbook::FormulaHandle* entry) override;
  void SetFormula(workbook::TSSDataStorage& storage, int32_t col, int32_t row) override;
  workbook::FormulaHandle* Clone(workbook::FormulaHandle* entry,
                                 workbook::TSSDataStorage& target) override;
  std::string FormulaText(workbook::FormulaHandle* entry) override;
  std::string FormulaDisplayText(workbook::FormulaHandle* entry) override;
  workbook::FormulaValue FormulaResult(workbook::FormulaHandle* entry) override;
  int RecalculateAll() override;
  void SheetRemoved(int32_t index) override;
  void SwapSheets(int32_t index1, int32_t index2) override;
  void Clear() override;
  void CellChanged(workbook::TSSDataStorage& storage, int32_t col, int32_t row) override;
  void CellsRearranged() override;
  void Lock() override;
  void Unlock() override;
  void SetR1C1ReferenceStyle(bool r1c1) override;
  void ColumnsShifted(int32_t sheet, int32_t at, int32_t count) override;
  void RowsShifted(int32_t sheet, int32_t at, int32_t count) override;
  void CellMoved(workbook::FormulaHandle* entry, workbook::TSSDataStorage& storage, int32_t col,
                 int32_t row) override;
  std::string FormulaTokenBytes(workbook::FormulaHandle* entry, uint16_t& count) override;
  PasteResult PasteFormula(workbook::TSSDataStorage& target, int32_t col, int32_t row,
                           const std::string& tokens, uint16_t count, int32_t dCol,
                           int32_t dRow) override;

  // ---- FormulaBook
  int32_t SheetCount() const override;
  std::string SheetCaption(int32_t index) const override;
  bool R1C1ReferenceStyle() const override;
  bool ShowFormulas() const override;
  workbook::TRect UsedArea(uint16_t sheet) const override;
  bool ReadCell(uint16_t sheet, int32_t col, int32_t row, CellView& cell) override;
  bool ReadDerivedNumber(uint16_t sheet, int32_t col, int32_t row, double& value) override;
  int32_t ReadDerivedNumbers(uint16_t sheet, int32_t col, int32_t row, int32_t count,
                             double* values) override;
  void WriteCell(uint16_t sheet, int32_t col, int32_t row, const std::string& text,
                 CellDataType dataType, FormulaEntry* formula) override;
  std::string FormatCellNumber(uint16_t sheet, int32_t col, int32_t row, double value) override;
  void ShowMessage(std::string_view message) override;

 private:
  workbook::TSSDataStorage* StorageOf(uint16_t sheet) const;
  FormulaEntry* Own(workbook::FormulaHandle* entry) const;

  workbook::TCustomSpreadSheetBook& book_;
  // Texts handed out by ReadCell: a few views stay valid at once (a reader may read a second
  // cell before it is done with the first).
  std::string scratch_[4];
  std::string lastBuildable_;  // the tokens last found to give a text, as bytes
  size_t nextScratch_ = 0;
  std::vector<std::string> messages_;
  TSSFormulasCache cache_;  // last: destroyed first
};

}  // namespace formulas
