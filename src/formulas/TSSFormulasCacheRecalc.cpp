// Change tracking and the incremental recalculation of the formula cache (the contract is at
// the top of TSSFormulasCache.h).
#include <algorithm>

#include "formulas/TSSFormulasCache.h"

namespace formulas {
namespace {

// Beyond this many queued changes a full pass costs less than following them, and the queue
// stays small (a file being read writes every cell once).
constexpr size_t kMaxQueued = size_t{1} << 18;

// Recent edges are merged into the sorted arrays from this many on; fewer are scanned.
constexpr size_t kRecentEdges = 32;

// A recalculation that would evaluate more than half of the formulas runs the full pass
// instead (ordering them costs more than the order of registration); below this many formulas
// the incremental pass is always taken.
constexpr size_t kSmallBook = 4096;

// The graph is rebuilt when the edges of removed entries outnumber the entries by this much.
constexpr size_t kRebuildSlack = 4096;

}  // namespace

void TSSFormulasCache::DropQueues() {
  changedCells_.clear();
  newEntries_.clear();
  if (changedCells_.capacity() > 4096) changedCells_.shrink_to_fit();
  if (newEntries_.capacity() > 4096) newEntries_.shrink_to_fit();
}

void TSSFormulasCache::RequireFullPass() {
  fullPending_ = true;
  DropQueues();
}

void TSSFormulasCache::StructureChanged() {
  RequireFullPass();
  graphStale_ = true;
}

void TSSFormulasCache::CellChanged(uint16_t sheet, int32_t col, int32_t row) {
  if (fullPending_) return;
  if (changedCells_.size() >= kMaxQueued) {
    RequireFullPass();
    return;
  }
  changedCells_.push_back(ChangedCell{sheet, col, row});
}

void TSSFormulasCache::EntryMoved(FormulaEntry& entry) {
  if (!entries_.Contains(&entry)) return;
  if (!graphStale_) {
    // The edges of the old position stay until the next rebuild (they only cost a
    // recalculation too many).
    IndexEntry(entry);
    ++removedSinceRebuild_;
  }
  NoteNewEntry(&entry);
  CellChanged(entry.Sheet, entry.Col, entry.Row);
}

void TSSFormulasCache::NoteNewEntry(FormulaEntry* entry) {
  if (fullPending_) return;
  if (newEntries_.size() >= kMaxQueued) {
    RequireFullPass();
    return;
  }
  newEntries_.push_back(entry);
}

void TSSFormulasCache::IndexEntry(FormulaEntry& entry) {
  if (entry.Tokens.Empty()) return;  // parsed on first use; indexed then
  const DependencyGraph::Scan scan = graph_.AddEntry(entry, names_);
  if (scan.isVolatile && !(entry.Marks & kMarkVolatile)) {
    entry.Marks |= kMarkVolatile;
    volatiles_.push_back(&entry);
  }
  if (scan.unknown && !(entry.Marks & kMarkUnknown)) {
    entry.Marks |= kMarkUnknown;
    ++unknownEntries_;
  }
}

void TSSFormulasCache::RebuildGraph() {
  graph_.Clear();
  volatiles_.clear();
  unknownEntries_ = 0;
  removedSinceRebuild_ = 0;
  entries_.ForEach([this](FormulaEntry& e) {
    e.Marks = 0;
    IndexEntry(e);
  });
  graph_.Compact();
  graphStale_ = false;
}

bool TSSFormulasCache::OrderDirty(std::vector<FormulaEntry*>& order) {
  std::vector<FormulaEntry*> dirty;
  // The marks and counters go back to 0 however this ends (a failed allocation included).
  struct Reset {
    std::vector<FormulaEntry*>& dirty;
    ~Reset() {
      for (FormulaEntry* e : dirty) {
        e->Depth = 0;
        e->Busy = 0;
        e->Marks &= static_cast<uint8_t>(~kMarkDirty);
      }
    }
  } reset{dirty};
  const auto mark = [&dirty](FormulaEntry* e) {
    if (!e->Listed || e->Bad || (e->Marks & kMarkDirty)) return;
    e->Marks |= kMarkDirty;
    dirty.push_back(e);
  };
  for (const ChangedCell& c : changedCells_) graph_.ForEachReader(c.sheet, c.col, c.row, mark);
  for (FormulaEntry* e : newEntries_) mark(e);
  for (FormulaEntry* e : volatiles_)
    if (e->Marks & kMarkVolatile) mark(e);
  // Everything that reads a dirty formula is dirty; Depth counts each one's dirty inputs, and
  // the readers of dirty[i] are readers[first[i]] to readers[first[i + 1] - 1].
  std::vector<FormulaEntry*> readers;
  std::vector<uint32_t> first;
  first.reserve(dirty.size() + 1);
  const size_t enough = std::max(entries_.Size() / 2, kSmallBook);
  for (size_t i = 0; i < dirty.size(); ++i) {
    if (dirty.size() > enough) return false;  // most of the book: a full pass costs less
    const FormulaEntry& d = *dirty[i];
    first.push_back(static_cast<uint32_t>(readers.size()));
    graph_.ForEachReader(d.Sheet, d.Col, d.Row, [&mark, &readers](FormulaEntry* r) {
      if (!r->Listed || r->Bad) return;
      mark(r);
      ++r->Depth;
      readers.push_back(r);
    });
  }
  first.push_back(static_cast<uint32_t>(readers.size()));
  // Kahn's order: a formula comes after every dirty formula it reads. Whatever remains
  // could be a cycle. Busy (0 outside an evaluation) holds each entry's place in `dirty`.
  for (size_t i = 0; i < dirty.size(); ++i) dirty[i]->Busy = static_cast<int32_t>(i);
  order.clear();
  order.reserve(dirty.size());
  for (FormulaEntry* e : dirty)
    if (e->Depth == 0) order.push_back(e);
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t i = static_cast<size_t>(order[k]->Busy);
    for (uint32_t j = first[i]; j < first[i + 1]; ++j)
      if (--readers[j]->Depth == 0) order.push_back(readers[j]);
  }
  return order.size() == dirty.size();
}

bool TSSFormulasCache::RecalculateDirty() {
  if (evaluating_) return false;
  if (graphStale_ || removedSinceRebuild_ > entries_.Size() + kRebuildSlack) RebuildGraph();
  if (unknownEntries_ > 0) return false;
  graph_.Compact(kRecentEdges);
  std::vector<FormulaEntry*> order;
  if (!OrderDirty(order)) return false;

  const bool rememberedCycle = cycleFlag_;
  cycleFlag_ = false;
  stopFlag_ = false;
  for (FormulaEntry* e : order) e->Result.Clear();
  const auto clearBusy = [&order] {
    for (FormulaEntry* e : order) e->Busy = 0;
  };
  try {
    for (FormulaEntry* e : order) {
      if (e->Busy > 0) continue;
      if (e->Result.Empty()) CalculateEntry(e);
      ++e->Busy;
    }
  } catch (...) {
    clearBusy();
    stopFlag_ = false;
    RequireFullPass();
    throw;
  }
  clearBusy();
  stopFlag_ = false;
  if (cycleFlag_) {
    // The graph promised no cycle; should one be met anyway, the full pass decides.
    cycleFlag_ = rememberedCycle;
    return false;
  }
  DropQueues();
  lastWasFull_ = false;
  lastRecalculated_ = order.size();
  return true;
}

}  // namespace formulas
