#pragma once
// The free-space layer: which pages of the extent area may be handed out.
//
// Extents of E pages start at FirstExtentPage. Three bitmaps, bit i = bit i%8 of byte i/8,
// the maps of successive map pages concatenated:
//   PFS   one bit per page of the extent area, 1 = free (the authority for handing out)
//   GAM   one bit per extent, 1 = all pages of the extent free
//   SGAM  one bit per extent, 1 = shared extent that still has a free page
// PFS page k is page 1 + k*Xpfs*E; GAM page k is 2 + k*Xgam*E and its SGAM page follows it.
// Map pages are plain, checksum kind 0, and are never handed out or freed.
//
// Invariants kept after every call, also when it fails: FreeExtents counts GAM bits and
// SharedFree SGAM bits over extents 0..X-1, and a page is in exactly one of "free in PFS"
// or "owned by someone". A failed GetPages restores the in-memory maps as they were.
#include <cstdint>
#include <set>
#include <vector>

#include "store/engine/TPageFileManager.h"

namespace store {

class TFreeSpaceManager {
 public:
  explicit TFreeSpaceManager(TPageFileManager& pages);

  // Reads the maps of an opened store. Throws the LoadPFS/LoadGAM messages and the
  // "TFreeSpaceManager.Create - ..." consistency messages.
  void Load();

  // Hands out `count` free pages, preferring the extent of `nearPage`; `dedicated` asks for
  // whole extents. False (nothing taken) when the store cannot grow.
  bool GetPages(int32_t count, int32_t nearPage, bool dedicated, std::vector<int32_t>& pages);
  void FreePages(const std::vector<int32_t>& pages);

  bool IsMapPage(int32_t page) const;
  bool IsFree(int32_t page) const;
  int32_t ExtentCount() const { return extentCount_; }
  int32_t FreeExtents() const { return freeExtents_; }
  int32_t SharedFree() const { return sharedFree_; }
  bool GamBit(int32_t extent) const { return Bit(gam_, extent); }
  bool SgamBit(int32_t extent) const { return Bit(sgam_, extent); }
  int32_t PagesPerPfs() const { return xpfs_ * e_; }
  int32_t ExtentsPerGam() const { return xgam_; }

 private:
  struct State {
    std::vector<uint8_t> pfs, gam, sgam;
    int32_t extentCount, freeExtents, sharedFree, pfsPageCount, gamPageCount;
  };
  State Snapshot() const;
  void Restore(const State& s);

  static bool Bit(const std::vector<uint8_t>& map, int64_t i) {
    return i >= 0 && size_t(i / 8) < map.size() && ((map[size_t(i / 8)] >> (i % 8)) & 1);
  }
  static void SetBit(std::vector<uint8_t>& map, int64_t i, bool on);
  void MarkPfs(int64_t i, bool free);
  void MarkGam(int32_t extent, bool on, bool sgam);

  void TakeFromExtent(int32_t x, bool dedicated, int32_t& missing, std::vector<int32_t>& pages);
  int32_t AddExtents(int32_t missing, bool dedicated);
  void SaveMaps();

  int32_t PfsPage(int32_t k) const { return 1 + k * xpfs_ * e_; }
  int32_t GamPage(int32_t k) const { return 2 + k * xgam_ * e_; }

  TPageFileManager& pages_;
  int32_t e_;
  int32_t first_;
  int32_t bpfs_, xpfs_, bgam_, xgam_;
  std::vector<uint8_t> pfs_, gam_, sgam_;
  int32_t extentCount_ = 0;
  int32_t freeExtents_ = 0;
  int32_t sharedFree_ = 0;
  std::set<int32_t> dirtyPfs_, dirtyGam_;
};

}  // namespace store
