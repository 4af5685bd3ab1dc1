#include "store/stream/PpmdHeap.h"

#include "store/Errors.h"

namespace store::ppmd {

namespace {
constexpr int kN1 = 4, kN2 = 4, kN3 = 4, kN4 = (128 + 3 - 1 * kN1 - 2 * kN2 - 3 * kN3) / 4;
static_assert(kN1 + kN2 + kN3 + kN4 == kIndexCount);
constexpr uint32_t kReserveBlocks = 128;                  // blocks of the last-breath reserve
constexpr uint32_t kReserveBlockBytes = 128 * kUnitSize;  // each one of the largest class
constexpr uint32_t kReserveBytes = kReserveBlocks * kReserveBlockBytes;
}  // namespace

Heap::Tables::Tables() {
  int i = 0, k = 1;
  for (; i < kN1; i++, k += 1) indx2Units[i] = static_cast<uint8_t>(k);
  for (k++; i < kN1 + kN2; i++, k += 2) indx2Units[i] = static_cast<uint8_t>(k);
  for (k++; i < kN1 + kN2 + kN3; i++, k += 3) indx2Units[i] = static_cast<uint8_t>(k);
  for (k++; i < kIndexCount; i++, k += 4) indx2Units[i] = static_cast<uint8_t>(k);
  // The smallest class that holds k+1 units.
  for (k = 0, i = 0; k < 128; k++) {
    i += (indx2Units[i] < k + 1);
    units2Indx[k] = static_cast<uint8_t>(i);
  }
}

const Heap::Tables Heap::kTables;

Heap::Heap(uint32_t megabytes) {
  if (megabytes < 1 || megabytes > 256) throw PpmdError("PPMd model size out of range");
  size_ = megabytes << 20;
  total_ = kUnitSize + size_;
  // Zeroed, so that nothing depends on what the allocator happened to leave in memory.
  mem_ = std::make_unique<uint8_t[]>(total_);
}

void Heap::Init() {
  for (auto& head : freeList_) head = 0;
  const uint32_t heapStart = kUnitSize;
  loUnit_ = heapStart;
  hiUnit_ = heapStart + kUnitSize * (size_ / kUnitSize);
  lastBreath_ = loUnit_;
  loUnit_ += kReserveBytes;
}

void Heap::InsertNode(uint32_t block, int indx) {
  SetU32(block, freeList_[indx]);
  freeList_[indx] = block;
}

uint32_t Heap::RemoveNode(int indx) {
  const uint32_t block = freeList_[indx];
  freeList_[indx] = U32(block);
  return block;
}

// Gives back the tail of a block of class `oldIndx` beyond class `newIndx`: one piece of
// the exact size when a class fits it, else the largest smaller class plus the rest.
void Heap::SplitBlock(uint32_t block, int oldIndx, int newIndx) {
  int uDiff = kTables.indx2Units[oldIndx] - kTables.indx2Units[newIndx];
  uint32_t p = block + IndexBytes(newIndx);
  int i = kTables.units2Indx[uDiff - 1];
  if (kTables.indx2Units[i] != uDiff) {
    InsertNode(p, --i);
    p += IndexBytes(i);
    uDiff -= kTables.indx2Units[i];
  }
  InsertNode(p, kTables.units2Indx[uDiff - 1]);
}

uint32_t Heap::AllocUnitsRare(int nu) {
  if (nu < 1 || nu > 128) throw PpmdError("PPMd allocation size out of range");
  const int indx = kTables.units2Indx[nu - 1];
  if (freeList_[indx] != 0) return RemoveNode(indx);
  uint32_t result = loUnit_;
  loUnit_ += IndexBytes(indx);
  if (loUnit_ <= hiUnit_) return result;
  // Out of fresh memory: release the reserve once, then take a larger free block and split it.
  if (lastBreath_ != 0) {
    for (uint32_t i = 0; i < kReserveBlocks; i++) {
      InsertNode(lastBreath_, kIndexCount - 1);
      lastBreath_ += kReserveBlockBytes;
    }
    lastBreath_ = 0;
  }
  loUnit_ -= IndexBytes(indx);
  int i = indx;
  do {
    if (++i == kIndexCount) return 0;
  } while (freeList_[i] == 0);
  result = RemoveNode(i);
  SplitBlock(result, i, indx);
  return result;
}

uint32_t Heap::AllocContext() {
  if (hiUnit_ != loUnit_) return hiUnit_ -= kUnitSize;
  return AllocUnitsRare(1);
}

uint32_t Heap::ExpandUnits(uint32_t old, int oldNu) {
  if (oldNu < 1 || oldNu > 127) throw PpmdError("PPMd allocation size out of range");
  const int i0 = kTables.units2Indx[oldNu - 1], i1 = kTables.units2Indx[oldNu];
  if (i0 == i1) return old;
  const uint32_t block = AllocUnitsRare(oldNu + 1);
  if (block != 0) {
    Move(block, old, IndexBytes(i0));
    InsertNode(old, i0);
  }
  return block;
}

uint32_t Heap::ShrinkUnits(uint32_t old, int oldNu, int newNu) {
  if (newNu < 1 || oldNu > 128 || newNu > oldNu)
    throw PpmdError("PPMd allocation size out of range");
  const int i0 = kTables.units2Indx[oldNu - 1], i1 = kTables.units2Indx[newNu - 1];
  if (i0 == i1) return old;
  if (freeList_[i1] != 0) {
    const uint32_t block = RemoveNode(i1);
    Move(block, old, IndexBytes(i1));
    InsertNode(old, i0);
    return block;
  }
  SplitBlock(old, i0, i1);
  return old;
}

void Heap::FreeUnits(uint32_t block, int oldNu) {
  if (oldNu < 1 || oldNu > 128) throw PpmdError("PPMd allocation size out of range");
  InsertNode(block, kTables.units2Indx[oldNu - 1]);
}

}  // namespace store::ppmd
