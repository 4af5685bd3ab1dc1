#pragma once
// An in-memory book for the formula engine's tests: sheets of cells keyed by position, a
// formula cache over them, and the messages the engine reported.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "formulas/TSSFormulasCache.h"
#include "formulas/TSSFunctionHandler.h"
#include "workbook/CellReference.h"
#include "workbook/SSUtils.h"

namespace formulas::test {

class FormulaTestBook : public FormulaBook {
 public:
  struct Cell {
    std::string text;
    CellDataType type = CellDataType::Text;
    FormulaEntry* formula = nullptr;
  };

  FormulaTestBook() : cache_(std::make_unique<TSSFormulasCache>(*this)) {
    sheets_.push_back("Sheet1");
  }

  TSSFormulasCache& Cache() { return *cache_; }
  void AddSheet(const std::string& caption) { sheets_.push_back(caption); }
  void SetR1C1(bool on) { r1c1_ = on; }
  void SetShowFormulas(bool on) { showFormulas_ = on; }
  std::vector<std::string>& Messages() { return messages_; }

  // Sets a cell the way typing does: a formula text goes to the cache.
  void Set(uint16_t sheet, int32_t col, int32_t row, const std::string& text) {
    Erase(sheet, col, row);
    cache_->CellChanged(sheet, col, row);  // as the storage's write path tells it
    if (text.empty()) return;
    const bool number = workbook::IsNumberText(text);
    cells_[{sheet, col, row}] =
        Cell{text, number ? CellDataType::Number : CellDataType::Text, nullptr};
    Grow(sheet, col, row);
    if (workbook::IsFormulaText(text)) cache_->SetFormula(sheet, col, row);
  }
  // "B2" or "Other!B2" (sheet by caption).
  void Set(const std::string& ref, const std::string& text) {
    uint16_t sheet;
    workbook::TPoint p;
    Locate(ref, sheet, p);
    Set(sheet, p.X, p.Y, text);
  }
  void Erase(uint16_t sheet, int32_t col, int32_t row) {
    auto it = cells_.find({sheet, col, row});
    if (it == cells_.end()) return;
    if (it->second.formula) cache_->Remove(it->second.formula);
    cells_.erase(it);
  }
  void ClearCells() {
    for (auto& [key, cell] : cells_)
      if (cell.formula) cache_->Remove(cell.formula);
    cells_.clear();
    cache_->StructureChanged();
  }
  const Cell* Find(uint16_t sheet, int32_t col, int32_t row) const {
    auto it = cells_.find({sheet, col, row});
    return it == cells_.end() ? nullptr : &it->second;
  }
  const Cell* Find(const std::string& ref) {
    uint16_t sheet;
    workbook::TPoint p;
    Locate(ref, sheet, p);
    return Find(sheet, p.X, p.Y);
  }
  // What the cell shows (formulas calculated on demand).
  std::string Shown(const std::string& ref) {
    const Cell* c = Find(ref);
    if (c == nullptr) return {};
    if (c->type == CellDataType::Formula) return cache_->FormulaDisplayText(c->formula, false);
    return c->text;
  }
  std::string Text(const std::string& ref) {
    const Cell* c = Find(ref);
    return c ? c->text : std::string();
  }
  FormulaEntry* Entry(const std::string& ref) {
    const Cell* c = Find(ref);
    return c ? c->formula : nullptr;
  }
  // Moves every cell as the storage does after whole columns or rows were inserted/deleted.
  void MoveCells(uint16_t sheet, bool columns, bool del, int32_t first, int32_t count) {
    std::map<std::tuple<uint16_t, int32_t, int32_t>, Cell> moved;
    for (auto& [key, cell] : cells_) {
      auto [s, col, row] = key;
      if (s == sheet) {
        int32_t& pos = columns ? col : row;
        if (del && pos >= first && pos < first + count) {
          if (cell.formula) cache_->Remove(cell.formula);
          continue;
        }
        if (del && pos >= first + count) pos -= count;
        if (!del && pos >= first) pos += count;
      }
      moved[{s, col, row}] = cell;
    }
    cells_ = std::move(moved);
    cache_->StructureChanged();
    if (!del) {
      auto& u = used_[sheet];
      (columns ? u.Right : u.Bottom) += count;
    }
  }

  // ---- FormulaBook ----
  int32_t SheetCount() const override { return static_cast<int32_t>(sheets_.size()); }
  std::string SheetCaption(int32_t index) const override { return sheets_.at(index); }
  bool R1C1ReferenceStyle() const override { return r1c1_; }
  bool ShowFormulas() const override { return showFormulas_; }
  bool ReadCell(uint16_t sheet, int32_t col, int32_t row, CellView& view) override {
    auto it = cells_.find({sheet, col, row});
    if (it == cells_.end()) return false;
    view.text = it->second.text;
    view.dataType = it->second.type;
    view.formula = it->second.formula;
    return true;
  }
  void WriteCell(uint16_t sheet, int32_t col, int32_t row, const std::string& text,
                 CellDataType type, FormulaEntry* formula) override {
    cells_[{sheet, col, row}] = Cell{text, type, formula};
    Grow(sheet, col, row);
  }
  workbook::TRect UsedArea(uint16_t sheet) const override {
    auto it = used_.find(sheet);
    return it == used_.end() ? workbook::TRect{0, 0, -1, -1} : it->second;
  }
  std::string FormatCellNumber(uint16_t, int32_t, int32_t, double value) override {
    return workbook::TSSUtils::FormatNumber(0, 2, value);
  }
  void ShowMessage(std::string_view message) override { messages_.emplace_back(message); }

  void Locate(const std::string& ref, uint16_t& sheet, workbook::TPoint& p) const {
    sheet = 0;
    std::string cell = ref;
    if (const size_t bang = ref.rfind('!'); bang != std::string::npos) {
      std::string caption = ref.substr(0, bang);
      if (caption.size() >= 2 && caption.front() == '\'')
        caption = caption.substr(1, caption.size() - 2);
      for (size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i] == caption) sheet = static_cast<uint16_t>(i);
      cell = ref.substr(bang + 1);
    }
    if (!workbook::CellNameToPoint(cell, p)) throw std::runtime_error("bad test cell " + ref);
  }

 private:
  void Grow(uint16_t sheet, int32_t col, int32_t row) {
    auto [it, fresh] = used_.try_emplace(sheet, workbook::TRect{col, row, col, row});
    auto& u = it->second;
    u.Left = std::min(u.Left, col);
    u.Top = std::min(u.Top, row);
    u.Right = std::max(u.Right, col);
    u.Bottom = std::max(u.Bottom, row);
  }

  std::map<uint16_t, workbook::TRect> used_;
  std::vector<std::string> sheets_;
  std::map<std::tuple<uint16_t, int32_t, int32_t>, Cell> cells_;
  std::vector<std::string> messages_;
  bool r1c1_ = false;
  bool showFormulas_ = false;
  std::unique_ptr<TSSFormulasCache> cache_;  // last: destroyed first, while the cells exist
};

// The result of one formula evaluated in a scratch cell.
struct EvalResult {
  uint8_t kind = 0;  // ptgNum, ptgStr, ptgBool, or an engine error code 1..7; 0: not a formula
  double number = 0;
  std::string text;
  bool boolean = false;
  std::string shown;
};

inline EvalResult Evaluate(FormulaTestBook& book, const std::string& formula,
                           const std::string& cell = "Z1000") {
  book.Set(cell, formula);
  EvalResult r;
  FormulaEntry* e = book.Entry(cell);
  if (e == nullptr) return r;
  r.shown = book.Shown(cell);
  if (e->Result.Empty()) return r;
  const uint8_t* p = e->Result.Data();
  if (e->State == EntryState::Error) {
    r.kind = p[0];
    r.text = std::string(EngineErrorText(p[0]));
    return r;
  }
  r.kind = p[0];
  if (p[0] == ptgNum) r.number = ReadNumberToken(p);
  if (p[0] == ptgStr) r.text = ReadStringToken(p);
  if (p[0] == ptgBool) r.boolean = ReadBoolToken(p);
  return r;
}

}  // namespace formulas::test
