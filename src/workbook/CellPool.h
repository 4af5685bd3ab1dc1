#pragma once
// Storage of cell records: fixed-size slots carved from large chunks, reused through a free
// list. Slot addresses stay valid until the slot is freed or the pool is destroyed, so the
// storage's pointer arrays can refer to them directly.
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "workbook/SharedText.h"
#include "workbook/SSIntf.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {

// One stored cell. Numbers carry no text: their text is derived from the value on demand
// (derivedText), which keeps a numeric cell at a few machine words.
struct CellSlot {
  union {
    double number;
    IFormulaEntry* formula;
  };
  TSSStyleEntry* style = nullptr;  // holds one reference of the style cache
  SharedText text;
  uint8_t type = 0;
  bool derivedText = false;

  CellSlot() : number(0) {}
};

class CellPool {
 public:
  CellPool() = default;
  CellPool(const CellPool&) = delete;
  CellPool& operator=(const CellPool&) = delete;
  ~CellPool() = default;  // slots must have been freed by the owner (their styles released)

  CellSlot* Allocate() {
    if (!free_) Grow();
    Raw* raw = free_;
    free_ = raw->next;
    ++live_;
    return new (raw->bytes) CellSlot();
  }
  void Free(CellSlot* slot) {
    slot->~CellSlot();
    Raw* raw = reinterpret_cast<Raw*>(slot);
    raw->next = free_;
    free_ = raw;
    --live_;
  }
  // Drops every chunk; only valid when no slot is live.
  void Clear() {
    chunks_.clear();
    free_ = nullptr;
    live_ = 0;
  }
  size_t LiveCount() const { return live_; }

 private:
  static constexpr size_t kChunkSlots = 4096;
  union Raw {
    Raw* next;
    alignas(CellSlot) unsigned char bytes[sizeof(CellSlot)];
  };
  void Grow() {
    chunks_.push_back(std::make_unique<Raw[]>(kChunkSlots));
    Raw* chunk = chunks_.back().get();
    for (size_t i = kChunkSlots; i-- > 0;) {
      chunk[i].next = free_;
      free_ = &chunk[i];
    }
  }
  std::vector<std::unique_ptr<Raw[]>> chunks_;
  Raw* free_ = nullptr;
  size_t live_ = 0;
};

}  // namespace workbook
