#pragma once
// The model memory of the PPMd variant G coder: one block of `megabytes` MiB carved into
// 12-byte units that are addressed by 32-bit offsets.
//
// Why offsets and not pointers: the compressed bit stream depends on where the model runs
// out of memory and restarts, and that depends on how many contexts and symbol records fit.
// A context is 12 bytes and a symbol record 6 bytes only while links are 32 bits wide, so
// the layout is fixed here for every build (32-bit Windows and 64-bit Linux alike).
//
// Offset 0 is the null link. The arena keeps one spare unit in front of the heap, so the
// first heap unit lives at offset 12 and no real unit is ever at offset 0.
//
// Layout of the heap (offsets relative to the heap start):
//   [0, 196608)          reserve of 128 blocks of 128 units, released when memory runs out
//   [196608, LoUnit)     symbol tables, growing upwards
//   [HiUnit, end)        contexts, growing downwards
// Free units go to one of 38 free lists by size class (1..4, 6..12 step 2, 15..24 step 3,
// 28..128 step 4 units); a list's link is the first 4 bytes of a free block.
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/LittleEndian.h"
#include "store/Errors.h"

namespace store::ppmd {

constexpr uint32_t kUnitSize = 12;
constexpr int kIndexCount = 38;

class Heap {
 public:
  // Allocates the memory (throws std::bad_alloc); Init must run before any allocation.
  explicit Heap(uint32_t megabytes);

  // Forgets every allocation: empty free lists, the reserve held back, both ends reset.
  void Init();

  // Allocation of `nu` (1..128) units; 0 when memory is exhausted.
  uint32_t AllocUnitsRare(int nu);
  uint32_t AllocContext();
  // Grows a block of `oldNu` units by one unit; the contents move along. 0 when exhausted.
  uint32_t ExpandUnits(uint32_t old, int oldNu);
  uint32_t ShrinkUnits(uint32_t old, int oldNu, int newNu);
  void FreeUnits(uint32_t block, int oldNu);

  uint8_t U8(uint32_t at) const { return mem_[Check(at, 1)]; }
  uint16_t U16(uint32_t at) const { return platform::LoadU16(&mem_[Check(at, 2)]); }
  uint32_t U32(uint32_t at) const { return platform::LoadU32(&mem_[Check(at, 4)]); }
  void SetU8(uint32_t at, uint32_t v) { mem_[Check(at, 1)] = static_cast<uint8_t>(v); }
  void SetU16(uint32_t at, uint32_t v) {
    platform::StoreU16(&mem_[Check(at, 2)], static_cast<uint16_t>(v));
  }
  void SetU32(uint32_t at, uint32_t v) { platform::StoreU32(&mem_[Check(at, 4)], v); }
  // Copies `n` bytes inside the arena (regions may overlap).
  void Move(uint32_t to, uint32_t from, uint32_t n) {
    std::memmove(&mem_[Check(to, n)], &mem_[Check(from, n)], n);
  }
  void Load(void* to, uint32_t from, uint32_t n) const {
    std::memcpy(to, &mem_[Check(from, n)], n);
  }
  void Store(uint32_t to, const void* from, uint32_t n) {
    std::memcpy(&mem_[Check(to, n)], from, n);
  }

  static int UnitsToIndex(int nu) { return kTables.units2Indx[nu - 1]; }
  static int IndexToUnits(int indx) { return kTables.indx2Units[indx]; }

 private:
  struct Tables {
    Tables();
    uint8_t indx2Units[kIndexCount];
    uint8_t units2Indx[128];
  };
  static const Tables kTables;

  uint32_t Check(uint32_t at, uint32_t n) const {
    if (at < kUnitSize || at > total_ || n > total_ - at)
      throw PpmdError("PPMd model link out of range");
    return at;
  }
  static uint32_t IndexBytes(int indx) { return kUnitSize * kTables.indx2Units[indx]; }
  void InsertNode(uint32_t block, int indx);
  uint32_t RemoveNode(int indx);
  void SplitBlock(uint32_t block, int oldIndx, int newIndx);

  std::unique_ptr<uint8_t[]> mem_;
  uint32_t size_ = 0;   // heap bytes (megabytes << 20)
  uint32_t total_ = 0;  // arena bytes: spare unit + heap
  uint32_t loUnit_ = 0, hiUnit_ = 0, lastBreath_ = 0;
  uint32_t freeList_[kIndexCount] = {};
};

}  // namespace store::ppmd
