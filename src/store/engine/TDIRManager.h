#pragma once
// The directory on disk: a chain of directory pages (kind 1) from FirstDirPage, seven 512-byte
// entries per page; only those 3584 bytes are written and checksummed. Directory pages are
// enciphered with the store page key when the store has a password.
//
// Entry i lives in chain page i / 7, slot i % 7. DirEntryCount counts every slot in use,
// deleted ones included; a deleted slot is reused by the next new entry.
#include <cstdint>
#include <string>
#include <vector>

#include "store/engine/TDIRArray.h"

namespace store {

class TPageFileManager;
class TFreeSpaceManager;

// Results of Resolve besides an entry index.
constexpr int32_t kRootEntry = -1;
constexpr int32_t kBadPath = -2;
constexpr int32_t kNotFound = -3;

class TDIRManager {
 public:
  static constexpr int32_t kEntriesPerPage = 7;

  TDIRManager(TPageFileManager& pages, TFreeSpaceManager& freeSpace);

  // Reads the directory of an opened store. Throws "TDIRManager.Load - can not load page,
  // pageNo = N" for an unreadable page or a chain that ends early or loops.
  void Load();

  // Path ("/" or "\" separated, relative to the root) to an entry index, kRootEntry, or
  // kBadPath / kNotFound.
  int32_t Resolve(const std::string& path) const;

  // Adds an entry (reusing the first deleted slot). Returns its index, or -1 with Error()
  // set (-17 when no page could be had).
  int32_t AddItem(const DirEntry& entry);
  void WriteItem(int32_t index, const DirEntry& entry);
  const DirEntry& ReadItem(int32_t index) const { return array_.ReadItem(index); }
  int32_t Count() const { return array_.Count(); }
  int& OpenCount(int32_t index) { return array_.OpenCount(index); }
  const TDIRArray& Array() const { return array_; }
  const std::vector<int32_t>& PageList() const { return dirPages_; }
  int Error() const { return error_; }

 private:
  bool Encrypted() const;
  void WriteDirPage(size_t chainIndex, bool readHeaderFirst, const char* loadMessage,
                    const char* saveMessage);

  TPageFileManager& pages_;
  TFreeSpaceManager& freeSpace_;
  TDIRArray array_;
  std::vector<int32_t> dirPages_;
  int error_ = 0;
};

}  // namespace store
