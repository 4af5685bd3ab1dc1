#include "formulas/FormulaEntryList.h"

#include <algorithm>
#include <new>
#include <utility>

namespace formulas {

FormulaEntry* FormulaEntryList::Add(FormulaEntry&& content) {
  FormulaEntry* slot = free_;
  if (slot != nullptr) {
    free_ = slot->PrevListed;
  } else {
    if (chunks_.empty() || chunks_.back().used == chunks_.back().capacity) {
      Chunk chunk;
      chunk.capacity = chunks_.empty()
                           ? kFirstChunkEntries
                           : std::min(kLargestChunkEntries, 2 * chunks_.back().capacity);
      chunk.memory = platform::BulkMemory(chunk.capacity * sizeof(FormulaEntry));
      chunks_.push_back(std::move(chunk));
    }
    Chunk& last = chunks_.back();
    slot = new (last.Slots() + last.used) FormulaEntry();
    ++last.used;
  }
  *slot = std::move(content);  // every field; the list's own ones are set below
  slot->Listed = true;
  slot->Owner = this;
  slot->PrevListed = tail_;
  slot->NextListed = nullptr;
  if (tail_ != nullptr)
    tail_->NextListed = slot;
  else
    head_ = slot;
  tail_ = slot;
  ++size_;
  return slot;
}

void FormulaEntryList::Remove(FormulaEntry* entry) {
  if (!Contains(entry)) return;
  if (entry->PrevListed != nullptr)
    entry->PrevListed->NextListed = entry->NextListed;
  else
    head_ = entry->NextListed;
  if (entry->NextListed != nullptr)
    entry->NextListed->PrevListed = entry->PrevListed;
  else
    tail_ = entry->PrevListed;
  --size_;
  entry->Listed = false;
  entry->Tokens.Clear();
  entry->Result.Clear();
  // NextListed stays: a walk that stands on this entry still finds the rest of the list.
  entry->PrevListed = free_;
  free_ = entry;
}

void FormulaEntryList::Clear() {
  for (Chunk& chunk : chunks_)
    for (size_t i = 0; i < chunk.used; ++i) chunk.Slots()[i].~FormulaEntry();
  chunks_.clear();
  free_ = head_ = tail_ = nullptr;
  size_ = 0;
}

}  // namespace formulas
