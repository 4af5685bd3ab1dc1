#include "store/engine/TFreeSpaceManager.h"

#include <algorithm>

#include "store/Errors.h"

namespace store {

TFreeSpaceManager::TFreeSpaceManager(TPageFileManager& pages)
    : pages_(pages), e_(pages.ExtentPageCount()), first_(1) {
  const int32_t d = pages.DataSize();
  bpfs_ = (8 * d - (8 * d) % e_) / 8;
  xpfs_ = 8 * bpfs_ / e_;
  bgam_ = (8 * d - (8 * d) % xpfs_) / 8;
  xgam_ = 8 * bgam_;
}

void TFreeSpaceManager::SetBit(std::vector<uint8_t>& map, int64_t i, bool on) {
  if (i < 0 || size_t(i / 8) >= map.size()) return;
  const uint8_t mask = static_cast<uint8_t>(1u << (i % 8));
  if (on)
    map[size_t(i / 8)] |= mask;
  else
    map[size_t(i / 8)] &= static_cast<uint8_t>(~mask);
}

void TFreeSpaceManager::MarkPfs(int64_t i, bool free) {
  SetBit(pfs_, i, free);
  dirtyPfs_.insert(static_cast<int32_t>(i / (int64_t(bpfs_) * 8)));
}

void TFreeSpaceManager::MarkGam(int32_t extent, bool on, bool sgam) {
  SetBit(sgam ? sgam_ : gam_, extent, on);
  dirtyGam_.insert(extent / xgam_);
}

void TFreeSpaceManager::Load() {
  const StoreHeader& h = pages_.Header();
  first_ = h.firstExtentPage;
  extentCount_ = (h.pageCount - first_) / e_;
  if (extentCount_ < 0) extentCount_ = 0;
  if (int64_t(h.pfsPageCount) * xpfs_ < extentCount_)
    throw StoreError("TFreeSpaceManager.Create - PFSPageCount * FPageSize < FExtentCount!");
  if (int64_t(h.gamPageCount) * xgam_ < extentCount_)
    throw StoreError("TFreeSpaceManager.Create - GAMPageCount * FPageSize < FExtentCount!");
  const size_t d = size_t(pages_.DataSize());
  std::vector<uint8_t> data(d);
  pfs_.assign(size_t(h.pfsPageCount) * bpfs_, 0);
  gam_.assign(size_t(h.gamPageCount) * bgam_, 0);
  sgam_.assign(size_t(h.gamPageCount) * bgam_, 0);
  PageHeader ph;
  for (int32_t k = 0; k < h.pfsPageCount; ++k) {
    if (!pages_.ReadPage(PfsPage(k), ph, data.data(), d, true))
      throw StoreError("TFreeSpaceManager.LoadPFS - can not load page, pageNo = " +
                       std::to_string(PfsPage(k)));
    std::copy_n(data.begin(), bpfs_, pfs_.begin() + size_t(k) * bpfs_);
  }
  for (int32_t k = 0; k < h.gamPageCount; ++k) {
    if (!pages_.ReadPage(GamPage(k), ph, data.data(), d, true))
      throw StoreError("TFreeSpaceManager.LoadGAM - can not load page, pageNo = " +
                       std::to_string(GamPage(k)));
    std::copy_n(data.begin(), bgam_, gam_.begin() + size_t(k) * bgam_);
    if (!pages_.ReadPage(GamPage(k) + 1, ph, data.data(), d, true))
      throw StoreError("TFreeSpaceManager.LoadGAM - can not load SGAM page, pageNo = " +
                       std::to_string(GamPage(k)));
    std::copy_n(data.begin(), bgam_, sgam_.begin() + size_t(k) * bgam_);
  }
  freeExtents_ = sharedFree_ = 0;
  for (int32_t x = 0; x < extentCount_; ++x) {
    freeExtents_ += Bit(gam_, x);
    sharedFree_ += Bit(sgam_, x);
  }
}

bool TFreeSpaceManager::IsMapPage(int32_t page) const {
  const int32_t rel = page - 1;
  if (rel >= 0 && rel % (xpfs_ * e_) == 0 && rel / (xpfs_ * e_) < pages_.Header().pfsPageCount)
    return true;
  const int32_t g = page - 2;
  if (g >= 0 && g % (xgam_ * e_) <= 1 && g / (xgam_ * e_) < pages_.Header().gamPageCount)
    return true;
  return false;
}

bool TFreeSpaceManager::IsFree(int32_t page) const { return Bit(pfs_, int64_t(page) - first_); }

TFreeSpaceManager::State TFreeSpaceManager::Snapshot() const {
  return State{pfs_,
               gam_,
               sgam_,
               extentCount_,
               freeExtents_,
               sharedFree_,
               pages_.Header().pfsPageCount,
               pages_.Header().gamPageCount};
}

void TFreeSpaceManager::Restore(const State& s) {
  pfs_ = s.pfs;
  gam_ = s.gam;
  sgam_ = s.sgam;
  extentCount_ = s.extentCount;
  freeExtents_ = s.freeExtents;
  sharedFree_ = s.sharedFree;
  pages_.Header().pfsPageCount = s.pfsPageCount;
  pages_.Header().gamPageCount = s.gamPageCount;
  dirtyPfs_.clear();
  dirtyGam_.clear();
}

void TFreeSpaceManager::TakeFromExtent(int32_t x, bool dedicated, int32_t& missing,
                                       std::vector<int32_t>& pages) {
  for (int32_t j = 0; j < e_ && missing > 0; ++j) {
    const int64_t i = int64_t(x) * e_ + j;
    if (!Bit(pfs_, i)) continue;
    MarkPfs(i, false);
    pages.push_back(first_ + static_cast<int32_t>(i));
    --missing;
    if (j == 0) {
      if (Bit(gam_, x)) --freeExtents_;
      MarkGam(x, false, false);
      if (dedicated) {
        if (Bit(sgam_, x)) --sharedFree_;
        MarkGam(x, false, true);
      } else if (!Bit(sgam_, x)) {
        MarkGam(x, true, true);
        ++sharedFree_;
      }
    }
    if (j == e_ - 1) {
      if (Bit(sgam_, x)) --sharedFree_;
      if (Bit(gam_, x)) --freeExtents_;
      MarkGam(x, false, false);
      MarkGam(x, false, true);
    }
  }
}

int32_t TFreeSpaceManager::AddExtents(int32_t missing, bool dedicated) {
  StoreHeader& h = pages_.Header();
  int32_t x = extentCount_;
  int32_t gained = 0;
  int32_t added = 0;
  while (gained < missing) {
    if (int64_t(first_) + (int64_t(x) + 1) * e_ > INT32_MAX) break;
    const bool needPfs = int64_t(x) == int64_t(xpfs_) * h.pfsPageCount;
    const bool needGam = int64_t(x) == int64_t(xgam_) * h.gamPageCount;
    if (needPfs || needGam) {
      if (needPfs) {
        ++h.pfsPageCount;
        pfs_.resize(size_t(h.pfsPageCount) * bpfs_, 0xFF);
        MarkPfs(int64_t(x) * e_, false);
      }
      if (needGam) {
        ++h.gamPageCount;
        gam_.resize(size_t(h.gamPageCount) * bgam_, 0xFF);
        sgam_.resize(size_t(h.gamPageCount) * bgam_, 0x00);
        MarkPfs(int64_t(x) * e_ + 1, false);
        MarkPfs(int64_t(x) * e_ + 2, false);
      }
      MarkGam(x, false, false);
      MarkGam(x, true, true);
      ++sharedFree_;
      if (!dedicated) gained += needGam ? e_ - 3 : e_ - 1;
    } else {
      gained += e_;
      ++freeExtents_;
      MarkGam(x, true, false);
    }
    ++x;
    ++added;
  }
  extentCount_ = x;
  return added;
}

bool TFreeSpaceManager::GetPages(int32_t count, int32_t nearPage, bool dedicated,
                                 std::vector<int32_t>& pages) {
  pages.clear();
  if (count <= 0) return true;
  const State before = Snapshot();
  try {
    int32_t missing = count;
    const int32_t x0 = (nearPage - first_) / e_;
    if (x0 >= 0 && x0 < extentCount_) TakeFromExtent(x0, dedicated, missing, pages);
    int32_t lastX = std::max(x0, 0);
    auto scan = [&](int32_t from) {
      for (int32_t x = from; x < extentCount_ && missing > 0; ++x) {
        lastX = x;
        if (Bit(gam_, x) || (!dedicated && Bit(sgam_, x)))
          TakeFromExtent(x, dedicated, missing, pages);
      }
    };
    if (missing > 0 &&
        ((dedicated && freeExtents_ > 0) || (!dedicated && freeExtents_ + sharedFree_ > 0))) {
      lastX = 0;
      scan(0);
    }
    if (missing > 0) {
      const int32_t oldCount = extentCount_;
      const int32_t added = AddExtents(missing, dedicated);
      if (added == 0)
        throw StoreError("TFreeSpaceManager.GetPages - AddExtents does not append any extents.");
      const int64_t wanted =
          int64_t(first_) + int64_t(extentCount_) * e_ - pages_.Header().pageCount;
      if (wanted > 0 && !pages_.GrowPages(static_cast<int32_t>(wanted))) {
        Restore(before);
        pages.clear();
        return false;
      }
      scan(std::min(lastX, oldCount));
      if (missing > 0)
        throw StoreError("TFreeSpaceManager.GetPages - AddExtents appends too small pages.");
    }
    int32_t highest = 0;
    for (int32_t p : pages) highest = std::max(highest, p);
    if (highest >= pages_.Header().pageCount &&
        !pages_.GrowPages(highest + 1 - pages_.Header().pageCount)) {
      Restore(before);
      pages.clear();
      return false;
    }
    SaveMaps();
  } catch (...) {
    Restore(before);
    pages.clear();
    throw;
  }
  return true;
}

void TFreeSpaceManager::FreePages(const std::vector<int32_t>& pages) {
  std::set<int32_t> touched;
  for (int32_t p : pages) {
    if (p < first_ || p >= pages_.Header().pageCount || IsMapPage(p)) continue;
    MarkPfs(int64_t(p) - first_, true);
    touched.insert((p - first_) / e_);
  }
  for (int32_t x : touched) {
    if (x >= extentCount_ || Bit(gam_, x)) continue;
    bool allFree = true;
    for (int32_t j = 0; j < e_ && allFree; ++j) allFree = Bit(pfs_, int64_t(x) * e_ + j);
    if (!allFree) continue;
    if (Bit(sgam_, x)) --sharedFree_;
    MarkGam(x, true, false);
    MarkGam(x, false, true);
    ++freeExtents_;
  }
  SaveMaps();
}

void TFreeSpaceManager::SaveMaps() {
  const size_t d = size_t(pages_.DataSize());
  std::vector<uint8_t> data(d);
  auto write = [&](int32_t page, PageKind kind, const std::vector<uint8_t>& map, size_t offset,
                   size_t bytes, const std::string& message) {
    std::fill(data.begin(), data.end(), 0);
    std::copy_n(map.begin() + offset, bytes, data.begin());
    PageHeader h;
    h.nextPage = -1;
    h.pageKind = static_cast<uint8_t>(kind);
    if (!pages_.WritePage(page, h, data.data(), d)) throw StoreError(message);
  };
  const std::set<int32_t> gams = std::move(dirtyGam_);
  const std::set<int32_t> pfss = std::move(dirtyPfs_);
  dirtyGam_.clear();
  dirtyPfs_.clear();
  for (int32_t k : gams) {
    if (k >= pages_.Header().gamPageCount) continue;
    const std::string no = std::to_string(GamPage(k));
    write(GamPage(k), PageKind::GAM, gam_, size_t(k) * bgam_, size_t(bgam_),
          "TFreeSpaceManager.SaveGAM - can not save page, pageNo = " + no);
    write(GamPage(k) + 1, PageKind::SGAM, sgam_, size_t(k) * bgam_, size_t(bgam_),
          "TFreeSpaceManager.SaveGAM - can not save SGAM page, pageNo = " + no);
  }
  for (int32_t k : pfss) {
    if (k >= pages_.Header().pfsPageCount) continue;
    write(PfsPage(k), PageKind::PFS, pfs_, size_t(k) * bpfs_, size_t(bpfs_),
          "TFreeSpaceManager.SavePFS - can not save page, pageNo = " + std::to_string(PfsPage(k)));
  }
}

}  // namespace store
