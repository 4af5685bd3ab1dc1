#include "store/engine/TDIRManager.h"

#include <set>

#include "store/Errors.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"

namespace store {
namespace {
constexpr size_t kDirBytes = TDIRManager::kEntriesPerPage * kDirEntryBytes;  // 3584
}

TDIRManager::TDIRManager(TPageFileManager& pages, TFreeSpaceManager& freeSpace)
    : pages_(pages), freeSpace_(freeSpace) {}

bool TDIRManager::Encrypted() const { return pages_.Header().hasPassword == 1; }

void TDIRManager::Load() {
  const StoreHeader& h = pages_.Header();
  array_.Clear();
  dirPages_.clear();
  std::vector<uint8_t> data(kDirBytes);
  std::set<int32_t> seen;
  int32_t page = h.firstDirPage;
  for (int32_t i = 0; i < h.dirPageCount; ++i) {
    PageHeader ph;
    if (!seen.insert(page).second || !pages_.ReadPage(page, ph, data.data(), kDirBytes))
      throw StoreError("TDIRManager.Load - can not load page, pageNo = " + std::to_string(page));
    dirPages_.push_back(page);
    for (int32_t slot = 0; slot < kEntriesPerPage && array_.Count() < h.dirEntryCount; ++slot)
      array_.Append(DirEntry::Parse(&data[size_t(slot) * kDirEntryBytes]));
    page = ph.nextPage;
  }
}

int32_t TDIRManager::Resolve(const std::string& path) const {
  if (path == "\\" || path == "/") return kRootEntry;
  int32_t current = kRootEntry;
  size_t pos = 0;
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) pos = 1;  // from the root
  if (path.empty()) return kBadPath;
  for (;;) {
    const size_t end = path.find_first_of("/\\", pos);
    const std::string part =
        path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (part.empty()) return kBadPath;
    if (part == "..") {
      if (current >= array_.Count()) return kNotFound;
      if (current != kRootEntry) current = array_.ReadItem(current).parentId;
      if (current < kRootEntry || current >= array_.Count())
        return kNotFound;  // damaged parent link
    } else {
      current = array_.Find(current, part);
      if (current < 0) return kNotFound;
    }
    if (end == std::string::npos) return current;
    pos = end + 1;
  }
}

void TDIRManager::WriteDirPage(size_t chainIndex, bool readHeaderFirst, const char* loadMessage,
                               const char* saveMessage) {
  const int32_t page = dirPages_[chainIndex];
  PageHeader ph;
  ph.nextPage = chainIndex + 1 < dirPages_.size() ? dirPages_[chainIndex + 1] : -1;
  if (readHeaderFirst) {
    if (!pages_.ReadPage(page, ph, nullptr, 0))
      throw StoreError(std::string(loadMessage) + std::to_string(page));
  }
  ph.pageKind = static_cast<uint8_t>(PageKind::Directory);
  ph.encryptionKind = Encrypted() ? 1 : 0;
  ph.checksumKind = 0;
  std::vector<uint8_t> data(kDirBytes, 0);
  const int32_t firstEntry = static_cast<int32_t>(chainIndex) * kEntriesPerPage;
  for (int32_t slot = 0; slot < kEntriesPerPage && firstEntry + slot < array_.Count(); ++slot)
    array_.ReadItem(firstEntry + slot).Serialize(&data[size_t(slot) * kDirEntryBytes]);
  if (!pages_.WritePage(page, ph, data.data(), kDirBytes))
    throw StoreError(std::string(saveMessage) + std::to_string(page));
}

int32_t TDIRManager::AddItem(const DirEntry& entry) {
  error_ = 0;
  const int32_t reuse = array_.FirstDeleted();
  if (reuse >= 0) {
    WriteItem(reuse, entry);
    return reuse;
  }
  StoreHeader& h = pages_.Header();
  const int32_t index = array_.Count();
  const bool newPage = int64_t(index) >= int64_t(h.dirPageCount) * kEntriesPerPage;
  if (newPage) {
    std::vector<int32_t> got;
    const int32_t nearPage = dirPages_.empty() ? h.firstExtentPage : dirPages_.back();
    if (!freeSpace_.GetPages(1, nearPage, h.dirPageCount > 8, got) || got.empty()) {
      error_ = kErrNoSpace;
      return -1;
    }
    if (!dirPages_.empty()) {
      const int32_t last = dirPages_.back();
      PageHeader ph;
      if (!pages_.ReadPage(last, ph, nullptr, 0))
        throw StoreError("TDIRManager.AddItem - can not load last page, pageNo = " +
                         std::to_string(last));
      ph.nextPage = got[0];
      if (!pages_.WritePage(last, ph, nullptr, 0))
        throw StoreError("TDIRManager.AddItem - can not save last page, pageNo = " +
                         std::to_string(last));
    } else {
      h.firstDirPage = got[0];
    }
    dirPages_.push_back(got[0]);
    ++h.dirPageCount;
  }
  ++h.dirEntryCount;
  array_.Append(entry);
  WriteDirPage(size_t(index / kEntriesPerPage), index % kEntriesPerPage != 0,
               "TDIRManager.AddItem - can not load  page, pageNo = ",
               "TDIRManager.AddItem - can not save page, pageNo = ");
  pages_.SaveHeader();
  return index;
}

void TDIRManager::WriteItem(int32_t index, const DirEntry& entry) {
  array_.UpdateItem(index, entry);
  WriteDirPage(size_t(index / kEntriesPerPage), true,
               "TDIRManager.WriteItem - can not load  page, pageNo = ",
               "TDIRManager.WriteItem - can not save page, pageNo = ");
}

}  // namespace store
