#pragma once
// Storage of cell records: fixed-size slots carved from large chunks, reused through a free
// list. Slot addresses stay valid until the slot is freed or the pool is destroyed, so the
// storage's pointer arrays can refer to them directly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "platform/BulkMemory.h"
#include "platform/DebugCheck.h"
#include "workbook/SSIntf.h"
#include "workbook/SSStyleTypes.h"
#include "workbook/SharedText.h"

namespace workbook {

// One stored cell. Numbers carry no text: their text is derived from the value on demand
// (derivedText), which keeps a numeric cell at a few machine words. A formula cell with
// derivedText takes its text from its formula entry. The data type and the derived-text flag
// sit in the low bits of the style pointer (style entries are aligned to 8 bytes), so a slot
// is three words: 24 bytes, or 16 in a 32-bit build.
struct CellSlot {
  union {
    double number;
    FormulaHandle* formula;
  };
  SharedText text;

  CellSlot() : number(0) {}

  // The style entry; the slot holds one reference of the style cache on it.
  StyleEntry* Style() const { return reinterpret_cast<StyleEntry*>(bits_ & ~kFlagBits); }
  void SetStyle(StyleEntry* style) {
    SS_DCHECK((reinterpret_cast<uintptr_t>(style) & kFlagBits) == 0,
              "style entries are aligned to 8 bytes");
    bits_ = reinterpret_cast<uintptr_t>(style) | (bits_ & kFlagBits);
  }
  uint8_t Type() const { return static_cast<uint8_t>(bits_ & kTypeBits); }
  void SetType(uint8_t type) {
    SS_DCHECK(type <= kTypeBits, "a cell data type fits the two type bits");
    bits_ = (bits_ & ~kTypeBits) | (type & kTypeBits);
  }
  bool DerivedText() const { return (bits_ & kDerivedBit) != 0; }
  void SetDerivedText(bool derived) {
    bits_ = derived ? bits_ | kDerivedBit : bits_ & ~kDerivedBit;
  }

 private:
  static constexpr uintptr_t kTypeBits =
      3;  // CellContentType: 0 text, 1 formula, 2 number, 3 literal text
  static constexpr uintptr_t kDerivedBit = 4;
  static constexpr uintptr_t kFlagBits = 7;
  uintptr_t bits_ = 0;
};
static_assert(alignof(StyleEntry) >= 8, "the slot keeps three flag bits in a style pointer");
static_assert(sizeof(CellSlot) <= sizeof(double) + 2 * sizeof(void*), "a slot is three words");

class CellPool {
 public:
  CellPool() = default;
  CellPool(const CellPool&) = delete;
  CellPool& operator=(const CellPool&) = delete;
  ~CellPool() = default;  // slots must have been freed by the owner (their styles released)

  CellSlot* Allocate() {
    Raw* raw = free_;
    if (raw) {
      free_ = raw->next;
    } else {
      // Fresh slots are carved from the newest chunk in order, so that a new chunk is not
      // walked whole (every page touched) before its first slot is used.
      if (carved_ == chunkEnd_) Grow();
      raw = carved_++;
    }
    ++live_;
    return new (raw->bytes) CellSlot();
  }
  void Free(CellSlot* slot) {
    SS_DCHECK(live_ > 0, "only a slot handed out by Allocate is freed");
    slot->~CellSlot();
    Raw* raw = reinterpret_cast<Raw*>(slot);
    raw->next = free_;
    free_ = raw;
    --live_;
  }
  // Drops every chunk; only valid when no slot is live.
  void Clear() {
    SS_DCHECK(live_ == 0, "the pool is cleared only when no slot is live");
    chunks_.clear();
    free_ = carved_ = chunkEnd_ = nullptr;
    live_ = 0;
  }
  size_t LiveCount() const { return live_; }

 private:
  // Chunks double from 128 KiB up to 2 MiB: a small sheet stays small, a large one takes few
  // system blocks, each a whole large page (the size is in bytes, whatever a slot measures).
  static constexpr size_t kFirstChunkBytes = size_t{128} << 10;
  static constexpr size_t kLargestChunkBytes = size_t{2} << 20;
  union Raw {
    Raw* next;
    alignas(CellSlot) unsigned char bytes[sizeof(CellSlot)];
  };
  void Grow() {
    const size_t bytes = chunks_.empty() ? kFirstChunkBytes
                                         : std::min(kLargestChunkBytes, 2 * chunks_.back().Size());
    chunks_.emplace_back(bytes);
    carved_ = static_cast<Raw*>(chunks_.back().Data());
    chunkEnd_ = carved_ + bytes / sizeof(Raw);
  }
  std::vector<platform::BulkMemory> chunks_;
  Raw* free_ = nullptr;    // freed slots
  Raw* carved_ = nullptr;  // the newest chunk's first slot never handed out
  Raw* chunkEnd_ = nullptr;
  size_t live_ = 0;
};

// One column's row pointers, all null at first. A large array (a sheet of many rows) comes
// from bulk memory, a small one from the heap. Several columns made at once share one bulk
// block (Many): a sheet's columns then take large pages together even when one column alone
// would be too small for them.
class SlotArray {
 public:
  SlotArray() = default;
  explicit SlotArray(size_t count) {
    if (count * sizeof(CellSlot*) >= kBulkBytes) {
      bulk_ = std::make_shared<platform::BulkMemory>(count * sizeof(CellSlot*));
      data_ = static_cast<CellSlot**>(bulk_->Data());
    } else {
      heap_ = std::make_unique<CellSlot*[]>(count);  // zero-filled
      data_ = heap_.get();
    }
  }
  // `count` arrays of `length` pointers each, carved from one bulk block when they are large
  // together; the block lives as long as any of them.
  static std::vector<SlotArray> Many(size_t count, size_t length) {
    std::vector<SlotArray> arrays(count);
    if (count * length * sizeof(CellSlot*) < kBulkBytes || count < 2) {
      for (SlotArray& a : arrays) a = SlotArray(length);
      return arrays;
    }
    auto block = std::make_shared<platform::BulkMemory>(count * length * sizeof(CellSlot*));
    for (size_t i = 0; i < count; ++i) {
      arrays[i].bulk_ = block;
      arrays[i].data_ = static_cast<CellSlot**>(block->Data()) + i * length;
    }
    return arrays;
  }
  SlotArray(SlotArray&& o) noexcept
      : bulk_(std::move(o.bulk_)),
        heap_(std::move(o.heap_)),
        data_(std::exchange(o.data_, nullptr)) {}
  SlotArray& operator=(SlotArray&& o) noexcept {
    bulk_ = std::move(o.bulk_);
    heap_ = std::move(o.heap_);
    data_ = std::exchange(o.data_, nullptr);
    return *this;
  }
  CellSlot*& operator[](size_t i) const { return data_[i]; }
  CellSlot** get() const { return data_; }

 private:
  static constexpr size_t kBulkBytes = size_t{256} << 10;
  std::shared_ptr<platform::BulkMemory> bulk_;
  std::unique_ptr<CellSlot*[]> heap_;
  CellSlot** data_ = nullptr;
};

}  // namespace workbook
