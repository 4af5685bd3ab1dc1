#pragma once
// Per-file page maps: a chain of map pages (kind 5, plain) from the entry's FirstMapPageNo,
// each listing M = (PageSize - 32) / 4 data page numbers (signed 32-bit) of the file in order.
// Data page j holds the file's bytes j*D .. j*D + D - 1 (D = PageSize - 32).
//
// The manager caches the map and data page lists of the files it has touched, keyed by
// FirstMapPageNo; the cache is emptied when it holds more than 100 files.
// Operations that change a file's pages update the caller's entry (FirstMapPageNo) but
// never its Size; the caller stores the entry.
#include <cstdint>
#include <map>
#include <vector>

#include "store/engine/DirEntry.h"

namespace store {

class TPageFileManager;
class TFreeSpaceManager;

class TUserFilePageMapManager {
 public:
  struct Maps {
    std::vector<int32_t> mapPages;
    std::vector<int32_t> dataPages;
  };

  TUserFilePageMapManager(TPageFileManager& pages, TFreeSpaceManager& freeSpace);

  // The maps of a file with FirstMapPageNo != -1, loaded on a cache miss. Throws the
  // "TUserFilePageMapManager.GetMaps - ..." messages for a damaged chain (unreadable page,
  // early end, a loop, or page numbers outside the store).
  Maps& GetMaps(const DirEntry& entry);

  // Data pages covering `count` bytes at `position`; when writing, first grows the file's
  // pages to cover the end. False with Error() set when pages could not be had.
  bool GetPageList(DirEntry& entry, int64_t position, int64_t count, bool forWrite,
                   std::vector<int32_t>& pages);
  // Makes the file own ceil(size / D) data pages. New pages are written as zero pages when
  // `writeZero`.
  bool SetFileSize(DirEntry& entry, int64_t size, bool writeZero);

  bool AppendPages(DirEntry& entry, int32_t count, bool writeZero);
  void DeletePagesFromEOF(DirEntry& entry, int32_t count);

  int Error() const { return error_; }
  int32_t PerMapPage() const { return perMap_; }
  void ClearCache() { cache_.clear(); }

 private:
  void WriteMapPage(const Maps& maps, size_t mapIndex);

  TPageFileManager& pages_;
  TFreeSpaceManager& freeSpace_;
  int32_t perMap_;
  int32_t dataSize_;
  std::map<int32_t, Maps> cache_;
  int error_ = 0;
};

}  // namespace store
