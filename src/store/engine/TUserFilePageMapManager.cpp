#include "store/engine/TUserFilePageMapManager.h"

#include <algorithm>
#include <set>

#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"

namespace store {
namespace {

int64_t CeilDiv(int64_t a, int64_t b) { return a <= 0 ? 0 : (a + b - 1) / b; }

}  // namespace

TUserFilePageMapManager::TUserFilePageMapManager(TPageFileManager& pages,
                                                 TFreeSpaceManager& freeSpace)
    : pages_(pages),
      freeSpace_(freeSpace),
      perMap_(pages.DataSize() / 4),
      dataSize_(pages.DataSize()) {}

TUserFilePageMapManager::Maps& TUserFilePageMapManager::GetMaps(const DirEntry& entry) {
  if (entry.firstMapPageNo == -1)
    throw StoreError("TUserFilePageMapManager.GetMaps - Invalid parameter FileRec.FirstMapPageNo");
  auto found = cache_.find(entry.firstMapPageNo);
  if (found != cache_.end()) {
    if (found->second.mapPages.empty() || found->second.mapPages[0] != entry.firstMapPageNo)
      throw StoreError("TUserFilePageMapManager.GetMaps - UFPMMap.Items[0] <> FirstMapPageNo");
    return found->second;
  }
  if (cache_.size() > 100) cache_.clear();

  const char* badChain = "TUserFilePageMapManager.GetMaps - Invalid page No in map chain.";
  const int32_t pageCount = pages_.Header().pageCount;
  // A file cannot own more pages than the store has: a larger size is damage, and checking
  // it first keeps a hostile size from driving a huge allocation.
  if (entry.size < 0 || CeilDiv(entry.size, dataSize_) > pageCount) throw StoreError(badChain);
  const int64_t n = CeilDiv(entry.size, dataSize_);
  const int64_t mapCount = std::max<int64_t>(1, CeilDiv(n, perMap_));
  Maps maps;
  std::vector<uint8_t> data(size_t(pages_.DataSize()));
  std::set<int32_t> seen;
  int32_t page = entry.firstMapPageNo;
  for (int64_t i = 0; i < mapCount; ++i) {
    if (page < 1 || page >= pageCount || !seen.insert(page).second) throw StoreError(badChain);
    PageHeader ph;
    if (!pages_.ReadPage(page, ph, data.data(), data.size(), true))
      throw StoreError("TUserFilePageMapManager.GetMaps - Error on reading map page.");
    maps.mapPages.push_back(page);
    for (int32_t k = 0; k < perMap_ && int64_t(maps.dataPages.size()) < n; ++k) {
      const int32_t dataPage = platform::LoadI32(&data[size_t(k) * 4]);
      if (dataPage < 1 || dataPage >= pageCount) throw StoreError(badChain);
      maps.dataPages.push_back(dataPage);
    }
    page = ph.nextPage;
  }
  return cache_.emplace(entry.firstMapPageNo, std::move(maps)).first->second;
}

void TUserFilePageMapManager::WriteMapPage(const Maps& maps, size_t mapIndex) {
  std::vector<uint8_t> data(size_t(pages_.DataSize()), 0);
  const size_t from = mapIndex * size_t(perMap_);
  for (size_t k = 0; k < size_t(perMap_) && from + k < maps.dataPages.size(); ++k)
    platform::StoreI32(&data[k * 4], maps.dataPages[from + k]);
  PageHeader ph;
  ph.nextPage = mapIndex + 1 < maps.mapPages.size() ? maps.mapPages[mapIndex + 1] : -1;
  ph.pageKind = static_cast<uint8_t>(PageKind::PageMap);
  if (!pages_.WritePage(maps.mapPages[mapIndex], ph, data.data(), data.size())) {
    error_ = pages_.LastError();
    throw StoreError("TUserFilePageMapManager.SaveMaps - can not save page, pageNo = " +
                     std::to_string(maps.mapPages[mapIndex]));
  }
}

bool TUserFilePageMapManager::AppendPages(DirEntry& entry, int32_t count, bool writeZero) {
  if (count <= 0) throw StoreError("TUserFilePageMapManager.AppendPages - PageCount <= 0.");
  error_ = 0;
  const int32_t e = pages_.ExtentPageCount();
  Maps fresh;
  Maps& maps = entry.firstMapPageNo == -1 ? fresh : GetMaps(entry);
  const size_t n = maps.dataPages.size();
  const size_t oldMapCount = maps.mapPages.size();
  const int64_t neededMaps = CeilDiv(int64_t(n) + count, perMap_);
  std::vector<int32_t> newMaps;
  if (int64_t(oldMapCount) < neededMaps) {
    const int32_t nearPage = oldMapCount == 0 ? 1 : maps.mapPages.back() + 1;
    if (!freeSpace_.GetPages(static_cast<int32_t>(neededMaps - int64_t(oldMapCount)), nearPage,
                             false, newMaps)) {
      error_ = kErrNoSpace;
      return false;
    }
  }
  std::vector<int32_t> newData;
  const int32_t nearPage = n == 0 ? 1 : maps.dataPages.back() + 1;
  if (!freeSpace_.GetPages(count, nearPage, int64_t(n) + count > e, newData)) {
    freeSpace_.FreePages(newMaps);
    error_ = kErrNoSpace;
    return false;
  }
  Maps updated = maps;
  updated.mapPages.insert(updated.mapPages.end(), newMaps.begin(), newMaps.end());
  updated.dataPages.insert(updated.dataPages.end(), newData.begin(), newData.end());
  // Rewrite the map pages whose content changed: the old last one (its list and perhaps its
  // NextPage) and every new one.
  const size_t firstChanged = n / size_t(perMap_);
  for (size_t m = std::min(firstChanged, oldMapCount == 0 ? 0 : oldMapCount - 1);
       m < updated.mapPages.size(); ++m)
    WriteMapPage(updated, m);
  if (entry.firstMapPageNo != -1) cache_.erase(entry.firstMapPageNo);
  entry.firstMapPageNo = updated.mapPages.front();
  cache_[entry.firstMapPageNo] = updated;
  if (writeZero) {
    std::vector<uint8_t> zero(size_t(pages_.DataSize()), 0);
    for (int32_t p : newData) {
      PageHeader ph;
      ph.pageKind = static_cast<uint8_t>(PageKind::Data);
      std::fill(zero.begin(), zero.end(), 0);
      if (!pages_.WritePage(p, ph, zero.data(), zero.size())) {
        error_ = pages_.LastError();
        return false;
      }
    }
  }
  return true;
}

void TUserFilePageMapManager::DeletePagesFromEOF(DirEntry& entry, int32_t count) {
  if (entry.firstMapPageNo == -1)
    throw StoreError("TUserFilePageMapManager.DeletePagesFromEOF - File map not exists.");
  Maps maps = GetMaps(entry);
  const size_t n = maps.dataPages.size();
  const size_t keep = count >= 0 && size_t(count) < n ? n - size_t(count) : 0;
  const size_t keepMaps = size_t(CeilDiv(int64_t(keep), perMap_));
  std::vector<int32_t> release(maps.dataPages.begin() + keep, maps.dataPages.end());
  release.insert(release.end(), maps.mapPages.begin() + std::min(keepMaps, maps.mapPages.size()),
                 maps.mapPages.end());
  maps.dataPages.resize(keep);
  maps.mapPages.resize(std::min(keepMaps, maps.mapPages.size()));
  cache_.erase(entry.firstMapPageNo);
  if (maps.mapPages.empty()) {
    entry.firstMapPageNo = -1;
  } else {
    WriteMapPage(maps, maps.mapPages.size() - 1);
    cache_[entry.firstMapPageNo] = maps;
  }
  freeSpace_.FreePages(release);
}

bool TUserFilePageMapManager::SetFileSize(DirEntry& entry, int64_t size, bool writeZero) {
  error_ = 0;
  const int64_t wanted = CeilDiv(size, dataSize_);
  if (wanted > INT32_MAX) {
    error_ = kErrNoSpace;
    return false;
  }
  if (entry.firstMapPageNo == -1) {
    return size <= 0 || AppendPages(entry, static_cast<int32_t>(wanted), writeZero);
  }
  const int64_t have = int64_t(GetMaps(entry).dataPages.size());
  if (wanted < have) {
    DeletePagesFromEOF(entry, static_cast<int32_t>(have - wanted));
  } else if (wanted > have) {
    return AppendPages(entry, static_cast<int32_t>(wanted - have), writeZero);
  }
  return true;
}

bool TUserFilePageMapManager::GetPageList(DirEntry& entry, int64_t position, int64_t count,
                                          bool forWrite, std::vector<int32_t>& pages) {
  pages.clear();
  const int64_t end = position + count;
  if (forWrite && (entry.firstMapPageNo == -1 || end > entry.size)) {
    if (!SetFileSize(entry, std::max(end, entry.size), true)) return false;
  }
  if (entry.firstMapPageNo == -1) return true;
  const Maps& maps = GetMaps(entry);
  const int64_t first = position / dataSize_;
  const int64_t last = end / dataSize_;
  for (int64_t j = first; j <= last && j < int64_t(maps.dataPages.size()); ++j)
    pages.push_back(maps.dataPages[size_t(j)]);
  return true;
}

}  // namespace store
