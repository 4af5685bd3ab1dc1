#pragma once
// The per-book formula cache: one FormulaEntry per formula cell, the defined names, what a
// formula cell shows, recalculation with the cycle guard, and the repair of references when
// sheets move or whole columns and rows are inserted or deleted.
//
// Evaluation order: RecalculateAll evaluates every entry once in registration order. A
// formula that reads another formula cell that has no result yet needs that cell first.
// Instead of recursing (a chain of 100,000 formulas would overflow a 1 MiB stack), the
// evaluation is suspended: the needed entry is pushed on an explicit work stack, evaluated,
// and the suspended formula is evaluated again from its start. Evaluation has no side effects
// besides its result (messages are held back until an evaluation completes), so the results
// are those of a depth-first evaluation on the spot.
//
// Incremental recalculation: the cache keeps a dependency graph (DependencyGraph.h) and hears
// of every changed cell. Recalculate then evaluates only the formulas that depend on what
// changed (transitively), the new ones and the volatile ones, in an order that respects their
// dependencies; their results are those RecalculateAll would give, because a formula's
// result depends only on what it reads when no cycle is met. Whenever that cannot be vouched
// for, Recalculate runs RecalculateAll instead: after a change of structure (moved cells,
// sheets, names, references repaired), after a pass that met a cycle, when the formulas to
// recalculate could form a cycle, and when too many changes piled up to be worth tracking.
//
// Invariants: an entry is in `entries_` exactly while Listed is true; Busy > 0 while the entry
// is on the work stack, and after it was calculated in the current RecalculateAll pass. Unless
// `fullPending_` is set, every entry's result is the one RecalculateAll would give for the
// book as it was when the changes still queued had not yet been made.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formulas/DependencyGraph.h"
#include "formulas/FormulaBook.h"
#include "formulas/FormulaEntry.h"
#include "formulas/FormulaEntryList.h"
#include "workbook/Geometry.h"
#include "workbook/SSIntf.h"

namespace formulas {

class TSSFunctionHandler;

struct TSSNameDefinition {
  std::string Name;
  uint8_t Sheet = 0;
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // inclusive
  uint8_t Deleted = 0;
};

// A sheet caption as formulas write it: quoted when it contains a blank.
struct TSSSheetDef {
  std::string Caption;
  int32_t Index = 0;
};

class TSSFormulasCache {
 public:
  explicit TSSFormulasCache(FormulaBook& book);
  ~TSSFormulasCache();
  TSSFormulasCache(const TSSFormulasCache&) = delete;
  TSSFormulasCache& operator=(const TSSFormulasCache&) = delete;

  // ---- entries ---------------------------------------------------------------------------
  // Registers an entry: its content moves into the cache's list, which owns it from then on.
  FormulaEntry* Add(FormulaEntry&& entry);
  // The cell at (col, row) of `sheet` holds formula text: compile it, register an entry and
  // write the regenerated text back. True when the entry is valid (the cell is a formula).
  bool SetFormula(uint16_t sheet, int32_t col, int32_t row);
  // Deep copy added to the list; the caller sets the copy's Sheet and position.
  FormulaEntry* Clone(const FormulaEntry& entry);
  void Remove(FormulaEntry* entry);
  void Clear();
  size_t EntryCount() const { return entries_.Size(); }
  // Entries in registration order.
  std::vector<FormulaEntry*> Entries() const;

  // ---- calculation -----------------------------------------------------------------------
  void CalculateEntry(FormulaEntry* entry);
  // Recalculates what changed since the last recalculation (RecalculateAll when it must).
  void Recalculate();
  // Evaluates every formula (the reference path: the results Recalculate must equal).
  void RecalculateAll();

  // ---- change tracking -------------------------------------------------------------------
  // The content of a cell changed (written, cleared): formulas reading it are out of date.
  void CellChanged(uint16_t sheet, int32_t col, int32_t row);
  // False while the next recalculation is a full one anyway: callers may skip CellChanged.
  bool TracksChanges() const { return !fullPending_; }
  // Cells were moved or replaced wholesale, sheets or names changed: the next recalculation
  // is a full one and the graph is rebuilt before it is used again.
  void StructureChanged();
  // A formula cell moved to the entry's new position (its relative references now read other
  // cells): it is calculated again, and its new references join the graph.
  void EntryMoved(FormulaEntry& entry);
  // The graph's memory in bytes and its edge count (benchmarks and tests).
  size_t GraphBytes() const { return graph_.Bytes(); }
  size_t GraphEdges() const { return graph_.EdgeCount(); }
  // How many formulas the last Recalculate evaluated, and whether it was a full pass.
  size_t LastRecalculated() const { return lastRecalculated_; }
  bool LastWasFull() const { return lastWasFull_; }
  std::string FormulaDisplayText(FormulaEntry* entry, bool formatted);
  // The typed result (the value FormulaDisplayText shows, before any formatting).
  workbook::FormulaValue FormulaResult(FormulaEntry* entry);
  std::string FormulaText(const FormulaEntry& entry);

  // Cell values as formulas see them. `error` receives the engine error code of a formula
  // cell whose result is an error (0 otherwise).
  bool GetCellText(uint16_t sheet, int32_t col, int32_t row, std::string& text, uint8_t& error);
  // Also tells whether the cell is a literal text (a text whatever it reads as).
  bool GetCellText(uint16_t sheet, int32_t col, int32_t row, std::string& text, uint8_t& error,
                   bool& literal);
  // A literal text cell gives the number its text reads as (for arithmetic on one cell) but
  // returns false, so that range arguments leave it out like any other text.
  bool GetCellNumber(uint16_t sheet, int32_t col, int32_t row, double& value, uint8_t& error);
  // The double of a number cell or of a formula cell whose result is a number, exactly as
  // stored or computed (its text may show fewer digits); false for every other cell.
  bool GetCellExactNumber(uint16_t sheet, int32_t col, int32_t row, double& value);
  bool GetCellBoolean(uint16_t sheet, int32_t col, int32_t row, bool& value, uint8_t& error);

  // ---- names and sheets --------------------------------------------------------------------
  // -1 when refused (with check: bad characters, an existing name, a sheet caption).
  int32_t AddName(const std::string& name, uint8_t sheet, bool check, const workbook::TRect& rect);
  bool DeleteName(const std::string& name);
  const std::vector<TSSNameDefinition>& Names() const { return names_; }
  // Replaces the names wholesale, indices kept (a copy of another book's names).
  void AssignNames(const std::vector<TSSNameDefinition>& names);
  std::vector<TSSSheetDef> SheetDefs() const;
  void SwapSheets(uint16_t a, uint16_t b);
  void SheetRemoved(uint16_t index);

  // ---- structure changes -------------------------------------------------------------------
  // Before whole columns (columns true) or rows of `sheet` covered by `rect` are inserted or
  // deleted: moves names, entry positions and references, regenerates the texts of the
  // formula cells (written at their old positions; the storage then moves the cells), and
  // turns formulas whose references fall off the sheet into the plain text "#REF!".
  void AdjustForInsertDelete(uint16_t sheet, const workbook::TRect& rect, bool columns, bool del);
  void ShiftSheetReferences(FormulaEntry& entry, int32_t dCol, int32_t dRow);
  bool CheckPastedReferences(const FormulaEntry& entry) const;

  // ---- guards and modes --------------------------------------------------------------------
  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  int32_t LockCount() const { return lockCount_; }
  void SetLockCount(int32_t count) { lockCount_ = count; }
  bool Locked() const { return lockCount_ >= 1 && !forceCalc_; }
  bool AutoRecalc() const { return !Locked(); }
  void SetAutoRecalc(bool value);
  void SetForceCalc(bool value) { forceCalc_ = value; }
  bool SilentErrors() const { return silentErrors_; }
  void SetSilentErrors(bool value) { silentErrors_ = value; }
  bool ErrorFlag() const { return errorFlag_; }
  void SetErrorFlag(bool value) { errorFlag_ = value; }
  bool StopFlag() const { return stopFlag_; }
  bool CycleFlag() const { return cycleFlag_; }

  // True while an evaluation waits for another formula cell: its result is discarded and it
  // runs again once that cell has its result.
  bool NeedPending() const { return need_ != nullptr; }

  FormulaBook& Book() { return book_; }
  TSSFunctionHandler& Handler() { return *handler_; }
  bool R1C1() const { return book_.R1C1ReferenceStyle(); }

  // Reports a parser or evaluator message: sets ErrorFlag in silent mode, else shows it.
  void Report(std::string_view message);
  // The cycle message is always shown, also in silent mode.
  void ReportCycle();

 private:
  void RunWorkStack(FormulaEntry* entry);
  void IndexEntry(FormulaEntry& entry);
  void RebuildGraph();
  // Evaluates the dirty formulas only; false (nothing changed) when a full pass must run.
  bool RecalculateDirty();
  // The formulas to recalculate in dependency order; false when they could form a cycle.
  bool OrderDirty(std::vector<FormulaEntry*>& order);
  void NoteNewEntry(FormulaEntry* entry);
  void RequireFullPass();
  void DropQueues();
  void EvaluateOne(FormulaEntry& entry);
  TSSFunctionHandler& EvaluationHandler();
  bool ReadFormulaCell(FormulaEntry* entry);

  FormulaBook& book_;
  bool stopFlag_ = false;
  bool cycleFlag_ = false;
  std::vector<TSSNameDefinition> names_;
  bool errorFlag_ = false;
  bool silentErrors_ = false;
  FormulaEntryList entries_;
  std::unique_ptr<TSSFunctionHandler> handler_;    // parsing and text regeneration
  std::unique_ptr<TSSFunctionHandler> evaluator_;  // evaluation (one level: no recursion)
  bool forceCalc_ = false;
  int32_t lockCount_ = 0;

  // The work stack of the running calculation, and the entry the current evaluation needs.
  std::vector<FormulaEntry*> work_;
  FormulaEntry* need_ = nullptr;
  bool evaluating_ = false;

  // Change tracking (see the top of this file).
  struct ChangedCell {
    uint16_t sheet;
    int32_t col, row;
  };
  DependencyGraph graph_;
  bool graphStale_ = true;   // the graph misses entries: rebuild before use
  bool fullPending_ = true;  // the next recalculation evaluates everything
  bool lastPassCyclic_ = false;
  std::vector<ChangedCell> changedCells_;
  std::vector<FormulaEntry*> newEntries_;  // added or parsed since the last recalculation
  std::vector<FormulaEntry*> volatiles_;   // may hold removed entries (checked when used)
  size_t unknownEntries_ = 0;              // listed entries marked kMarkUnknown
  size_t removedSinceRebuild_ = 0;         // entries whose edges the graph still holds
  size_t lastRecalculated_ = 0;
  bool lastWasFull_ = false;
};

}  // namespace formulas
