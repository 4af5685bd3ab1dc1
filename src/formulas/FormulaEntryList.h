#pragma once
// The formula cache's entries in registration order. Entries live in chunks that the list
// keeps until Clear: adding and removing take constant time without an allocation of their
// own, and a pointer to a removed entry still points at an entry object (no longer listed)
// rather than at freed memory, so a late Remove of it is recognised and ignored.
#include <cstddef>
#include <vector>

#include "formulas/FormulaEntry.h"
#include "platform/BulkMemory.h"

namespace formulas {

class FormulaEntryList {
 public:
  FormulaEntryList() = default;
  ~FormulaEntryList() { Clear(); }
  FormulaEntryList(const FormulaEntryList&) = delete;
  FormulaEntryList& operator=(const FormulaEntryList&) = delete;

  // Moves the content into a slot at the end of the list; the slot is the entry from now on.
  FormulaEntry* Add(FormulaEntry&& content);
  // An entry of this list that has not been removed.
  bool Contains(const FormulaEntry* entry) const {
    return entry != nullptr && entry->Owner == this && entry->Listed;
  }
  // Takes an entry out (nothing when the list does not contain it); its slot is reused later.
  void Remove(FormulaEntry* entry);
  // Frees every entry and chunk.
  void Clear();

  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // Every entry in registration order. `f` must not add or remove entries.
  template <class F>
  void ForEach(F&& f) const {
    for (FormulaEntry* e = head_; e != nullptr; e = e->NextListed) f(*e);
  }

 private:
  // Chunks double from 1,024 entries up to 16,384.
  static constexpr size_t kFirstChunkEntries = 1024;
  static constexpr size_t kLargestChunkEntries = 16384;
  struct Chunk {
    platform::BulkMemory memory;
    size_t capacity = 0;
    size_t used = 0;  // slots constructed so far
    FormulaEntry* Slots() const { return static_cast<FormulaEntry*>(memory.Data()); }
  };

  std::vector<Chunk> chunks_;
  FormulaEntry* free_ = nullptr;  // removed slots, linked through PrevListed
  FormulaEntry* head_ = nullptr;
  FormulaEntry* tail_ = nullptr;
  size_t size_ = 0;
};

}  // namespace formulas
