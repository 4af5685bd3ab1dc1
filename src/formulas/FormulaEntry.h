#pragma once
// One formula cell as the cache keeps it: where it is, its compiled tokens and its last
// result. Owned by the cache's entry list; the cell record refers to it.
#include <cstdint>

#include "formulas/TokenBlock.h"
#include "workbook/SSIntf.h"

namespace formulas {

enum class EntryState : uint8_t { Error = 0, Valid = 2 };

// Bits of FormulaEntry::Marks.
inline constexpr uint8_t kMarkDirty = 1;     // in the set being recalculated (while it is planned)
inline constexpr uint8_t kMarkVolatile = 2;  // calls NOW, TODAY or RAND
inline constexpr uint8_t kMarkUnknown = 4;   // reads something the graph cannot hold

// It is the book's FormulaHandle: cell records point at it.
// The fields are ordered so that no padding lies between them: a book holds one entry per
// formula cell.
struct FormulaEntry : workbook::FormulaHandle {
  int32_t Col = 0;
  int32_t Row = 0;
  // Nesting counter of CalculateEntry. While an incremental recalculation orders its entries
  // (before any is evaluated) it counts the entry's dirty inputs.
  int32_t Depth = 0;
  // > 0 while the entry is being evaluated, and after it was calculated in the current
  // recalculation pass. While an incremental recalculation orders its entries it holds the
  // entry's place among them.
  int32_t Busy = 0;
  uint16_t Sheet = 0;
  EntryState State = EntryState::Valid;
  uint8_t Bad = 0;      // 1: the text could not be read; shows its raw text, never evaluated
  bool Listed = false;  // true while the entry belongs to its cache's list
  // The dependency graph's marks (kMark... bits); they fill what would otherwise be padding.
  uint8_t Marks = 0;
  TokenBlock Tokens;  // empty until parsed
  TokenBlock
      Result;  // one token (ptgNum, ptgStr, ptgBool or an error code); empty until calculated
  // The list that holds the entry, and its neighbours there (FormulaEntryList).
  const void* Owner = nullptr;
  FormulaEntry* PrevListed = nullptr;
  FormulaEntry* NextListed = nullptr;
};

}  // namespace formulas
