#pragma once
// A sheet host for storage tests: records every notification and undo offer, and a formula
// cache that compiles nothing but keeps track of its entries.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "workbook/SSIntf.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

namespace workbook::test {

struct CellEvent {
  int32_t col;
  int32_t row;
  friend bool operator==(const CellEvent&, const CellEvent&) = default;
};

class RecordingListener : public ModelListener {
 public:
  void CellChanged(TSSDataStorage&, int32_t col, int32_t row) override {
    cells.push_back({col, row});
  }
  void BookModified() override { ++modified; }
  void ResizeHeader(TSSDataStorage&, HeaderKind kind, int32_t index, uint16_t& newSize) override {
    ++resizes;
    if (vetoResize) newSize = currentSizeForVeto;
  }
  void HeaderVisibilityChanged(TSSDataStorage&, HeaderKind, int32_t index, bool,
                               bool now) override {
    visibility.push_back({index, now ? 1 : 0});
  }
  void MergeCells(TSSDataStorage&, const TRect&, bool isMerge, bool& canMerge) override {
    ++mergeRequests;
    if (refuseMerge) canMerge = false;
  }
  void SelectionChanged(TSSDataStorage&) override { ++selections; }
  void Repaint() override { ++repaints; }
  void BeginUpdate() override { ++lock; }
  void EndUpdate() override { --lock; }
  bool IsLocked() const override { return lock > 0; }

  std::vector<CellEvent> cells;
  std::vector<CellEvent> visibility;
  int modified = 0, resizes = 0, mergeRequests = 0, selections = 0, repaints = 0, lock = 0;
  bool vetoResize = false;
  uint16_t currentSizeForVeto = 0;
  bool refuseMerge = false;
};

class RecordingHistory : public CellHistory {
 public:
  void RecordCellChange(TSSDataStorage& s, int32_t col, int32_t row) override {
    if (suspend > 0) return;
    changes.push_back({col, row});
    before.push_back(s.CellRec(col, row).Text);
  }
  void RecordMergeSplit(TSSDataStorage&, const TRect& rect, bool merge) override {
    if (suspend > 0) return;
    merges.push_back(rect);
    mergeKinds.push_back(merge);
  }
  void Suspend() override { ++suspend; }
  void Resume() override { --suspend; }
  bool IsSuspended() const override { return suspend > 0; }

  std::vector<CellEvent> changes;
  std::vector<std::string> before;
  std::vector<TRect> merges;
  std::vector<bool> mergeKinds;
  int suspend = 0;
};

// Formula entries carry their text; "compiling" upper-cases it so the regeneration is visible.
class FakeFormulaCache : public FormulaEngine {
 public:
  struct Entry : FormulaHandle {
    std::string text;
  };
  void Remove(FormulaHandle* entry) override {
    if (live.erase(entry) == 0) ++badRemoves;
    owned.erase(std::remove_if(owned.begin(), owned.end(),
                               [entry](const auto& p) { return p.get() == entry; }),
                owned.end());
  }
  void SetFormula(TSSDataStorage& s, int32_t col, int32_t row) override {
    TSSCellRec rec = s.CellRec(col, row);
    auto entry = std::make_unique<Entry>();
    for (char& c : rec.Text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    entry->text = rec.Text;
    rec.DataType = kCellFormula;
    rec.Formula = entry.get();
    live.insert(entry.get());
    owned.push_back(std::move(entry));
    s.SetCellRec(col, row, rec);
  }
  FormulaHandle* Clone(FormulaHandle* entry, TSSDataStorage&) override {
    auto copy = std::make_unique<Entry>(*static_cast<Entry*>(entry));
    live.insert(copy.get());
    owned.push_back(std::move(copy));
    return owned.back().get();
  }
  std::string FormulaText(FormulaHandle* entry) override {
    return static_cast<Entry*>(entry)->text;
  }
  std::string FormulaDisplayText(FormulaHandle*) override { return "42"; }

  std::set<FormulaHandle*> live;
  std::vector<std::unique_ptr<Entry>> owned;
  int badRemoves = 0;
};

class TestHost : public StorageHost {
 public:
  TestHost() : styles(&listener) { styles.SetHost(this); }
  TSSStyleCache& StyleCache() override { return styles; }
  ModelListener& Listener() override { return listener; }
  CellHistory* History() override { return withHistory ? &history : nullptr; }
  FormulaEngine* FormulaCache() override { return withFormulas ? &formulas : nullptr; }
  int32_t SheetIndex() const override { return 0; }
  const void* BookIdentity() const override { return book ? book : this; }
  bool IsReadOnly() const override { return readOnly; }
  bool IsLoading() const override { return loading; }
  int Precision() const override { return 2; }

  RecordingListener listener;
  RecordingHistory history;
  FakeFormulaCache formulas;
  TSSStyleCache styles;
  bool withHistory = true;
  bool withFormulas = true;
  bool readOnly = false;
  bool loading = false;
  const void* book = nullptr;
};

}  // namespace workbook::test
