// The file operations of TSingleFileSystem: names to entries, the handle table, and reads
// and writes through the page maps.
#include <algorithm>
#include <climits>
#include <cstring>

#include "store/Errors.h"
#include "store/PasswordPrompt.h"
#include "store/TSingleFileSystem.h"
#include "store/cipher/SFSPassword.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

// Password requests end after this many refused answers, so that a caller that keeps
// returning the same wrong password cannot hang the store.
constexpr int kMaxPasswordAttempts = 16;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

TSingleFileSystem::Handle* TSingleFileSystem::FindHandle(int handle) {
  auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : &it->second;
}

const std::string* TSingleFileSystem::KeyFor(const Handle& h) const {
  return h.hasKey ? &h.pageKey : nullptr;
}

uint8_t TSingleFileSystem::EncryptionFor(const Handle& h) const {
  return (h.hasKey || HasPassword()) ? 1 : 0;
}

void TSingleFileSystem::NotifyOutOfSpace() {
  if (OnOutOfSpace) OnOutOfSpace(*this);
}

bool TSingleFileSystem::StoreFileExists(const std::string& name) {
  return dir_->Resolve(name) >= 0;
}

int TSingleFileSystem::CreateEntry(const std::string& name, const std::string& password,
                                   const std::string& question, const std::string& answer,
                                   std::string& pageKey) {
  if (dir_->Resolve(name) >= 0 && !FileDelete(name)) {
    const int32_t existing = dir_->Resolve(name);
    if (existing >= 0 && dir_->OpenCount(existing) > 0) return kErrOpen;
    return kErrNotFound;
  }
  std::string path = name;
  if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const size_t split = path.find_last_of("/\\");
  int32_t parent = kRootEntry;
  std::string leaf = path;
  if (split != std::string::npos) {
    leaf = path.substr(split + 1);
    const std::string folder = path.substr(0, split);
    parent = folder.empty() ? kRootEntry : dir_->Resolve(folder);
    if (parent < kRootEntry) return kErrNotFound;
    if (parent >= 0 && !dir_->ReadItem(parent).isDirectory) return kErrNotFound;
  }
  if (leaf.empty() || leaf == "..") return kErrNotFound;
  DirEntry entry;
  entry.fileName = leaf.substr(0, kMaxNameLength);
  entry.parentId = parent;
  entry.creationTime = entry.lastWriteTime = entry.lastAccessTime = StoreTimeNow();
  if (!password.empty()) {
    entry.hasPassword = 1;
    entry.passwordRecord = MakePasswordRecord(password, question, answer, &pageKey);
  }
  const int32_t index = dir_->AddItem(entry);
  if (index < 0) {
    lastError_ = dir_->Error() ? dir_->Error() : kErrNotFound;
    if (lastError_ == kErrNoSpace) NotifyOutOfSpace();
    return lastError_;
  }
  return index;
}

bool TSingleFileSystem::AskPassword(const std::string& name, int entry, std::string& password,
                                    std::string& pageKey) {
  const PasswordRecord record = dir_->ReadItem(entry).passwordRecord;
  for (int attempt = 0; attempt < kMaxPasswordAttempts; ++attempt) {
    std::string typed;
    bool answered = false;
    if (OnPasswordRequest) {
      answered = OnPasswordRequest(*this, name, typed);
    } else if (passwordPrompt != nullptr) {
      answered = passwordPrompt->Ask("Password for " + Quoted(name), "Enter password: ", typed);
    }
    if (!answered) return false;
    if (CheckPassword(record, typed, pageKey)) {
      password = typed;
      return true;
    }
  }
  return false;
}

int TSingleFileSystem::FileOpen(const std::string& name, uint16_t mode, const std::string& password,
                                const std::string& question, const std::string& answer) {
  lastError_ = 0;
  std::string pageKey;
  bool keyKnown = false;
  if (mode == kModeCreate) {
    if (IsReadOnly()) {
      lastError_ = kErrNotFound;
      return -1;
    }
    const int created = CreateEntry(name, password, question, answer, pageKey);
    if (created < 0) {
      lastError_ = created;
      return -1;
    }
    keyKnown = !password.empty();
  } else {
    const int32_t existing = dir_->Resolve(name);
    if (existing >= 0 && !dir_->ReadItem(existing).isDirectory &&
        dir_->ReadItem(existing).hasPassword == 1) {
      std::string accepted = password;
      if (!CheckPassword(dir_->ReadItem(existing).passwordRecord, password, pageKey) &&
          !AskPassword(name, existing, accepted, pageKey)) {
        lastError_ = kErrNotFound;
        return -1;
      }
      keyKnown = true;
    }
  }
  const int32_t index = dir_->Resolve(name);
  if (index < 0 || dir_->ReadItem(index).isDirectory) {
    lastError_ = kErrNotFound;
    return -1;
  }
  DirEntry entry = dir_->ReadItem(index);
  Handle h;
  h.entry = index;
  h.mode = mode;
  if (entry.hasPassword == 1) {
    if (!keyKnown && !CheckPassword(entry.passwordRecord, password, pageKey)) {
      lastError_ = kErrNotFound;
      return -1;
    }
    h.hasKey = true;
    h.pageKey = pageKey;
  }
  ++dir_->OpenCount(index);
  if (!IsReadOnly()) {
    entry.lastAccessTime = StoreTimeNow();
    dir_->WriteItem(index, entry);
  }
  const int number = nextHandle_++;
  handles_[number] = h;
  return number;
}

void TSingleFileSystem::FileClose(int handle) {
  Handle* h = FindHandle(handle);
  if (!h) return;
  int& count = dir_->OpenCount(h->entry);
  if (count > 0) --count;
  handles_.erase(handle);
}

bool TSingleFileSystem::FileDelete(const std::string& name) {
  const int32_t index = dir_->Resolve(name);
  if (index < 0 || IsReadOnly() || dir_->OpenCount(index) > 0) return false;
  DirEntry entry = dir_->ReadItem(index);
  entry.isDeleted = 1;
  entry.lastWriteTime = entry.lastAccessTime = StoreTimeNow();
  if (entry.firstMapPageNo != -1) {
    try {
      maps_->DeletePagesFromEOF(entry, INT32_MAX);
    } catch (const StoreError&) {
      // A damaged page map: the entry still goes, its pages stay allocated (never reused
      // twice) rather than the file being impossible to remove.
      entry.firstMapPageNo = -1;
      maps_->ClearCache();
    }
  }
  entry.firstMapPageNo = -1;
  entry.size = 0;
  dir_->WriteItem(index, entry);
  return true;
}

bool TSingleFileSystem::FileRename(const std::string& from, const std::string& newLeaf) {
  const int32_t index = dir_->Resolve(from);
  if (index < 0 || IsReadOnly() || dir_->OpenCount(index) > 0) return false;
  if (newLeaf.empty() || newLeaf == ".." || newLeaf.size() > kMaxNameLength ||
      newLeaf.find_first_of("/\\") != std::string::npos) {
    return false;
  }
  DirEntry entry = dir_->ReadItem(index);
  // The folder of `from` is the part before its last separator; the new name must be free
  // there (a name differing only in letter case is the same name).
  std::string path = from;
  if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const size_t split = path.find_last_of("/\\");
  const std::string sibling =
      split == std::string::npos ? newLeaf : path.substr(0, split + 1) + newLeaf;
  const int32_t existing = dir_->Resolve(sibling);
  if (existing >= 0 && existing != index) return false;
  entry.fileName = newLeaf;
  entry.lastWriteTime = entry.lastAccessTime = StoreTimeNow();
  dir_->WriteItem(index, entry);
  return true;
}

int64_t TSingleFileSystem::FileSize(int handle) const {
  auto it = handles_.find(handle);
  if (it == handles_.end()) return kErrUnknownHandle;
  return dir_->ReadItem(it->second.entry).size;
}

int64_t TSingleFileSystem::FileSeek(int handle, int origin, int64_t offset) {
  Handle* h = FindHandle(handle);
  if (!h) return 0;
  int64_t base = 0;
  if (origin == 1) base = h->position;
  if (origin == 2) base = dir_->ReadItem(h->entry).size;
  int64_t position = base + offset;
  if (offset > 0 && position < base) position = INT64_MAX;  // overflow
  h->position = std::max<int64_t>(position, 0);
  return h->position;
}

size_t TSingleFileSystem::FileRead(int handle, void* buffer, size_t count) {
  lastError_ = 0;
  Handle* h = FindHandle(handle);
  if (!h) return 0;
  DirEntry entry = dir_->ReadItem(h->entry);
  const int64_t d = pages_->DataSize();
  int64_t n = int64_t(count);
  if (h->position >= entry.size) return 0;
  if (h->position + n >= entry.size) n = entry.size - h->position;
  if (n <= 0) return 0;
  std::vector<int32_t> list;
  if (!maps_->GetPageList(entry, h->position, n, false, list) || list.empty())
    throw StoreError("TSingleFileSystem.FileRead - no pages were found by UFM.");
  std::vector<uint8_t> page(static_cast<size_t>(d));
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  for (size_t i = 0; i < list.size() && done < n; ++i) {
    const int64_t offset = i == 0 ? h->position % d : 0;
    const int64_t chunk = std::min(d - offset, n - done);
    PageHeader ph;
    if (!pages_->ReadPage(list[i], ph, page.data(), page.size(), false, KeyFor(*h))) {
      lastError_ = pages_->LastError();
      break;
    }
    std::memcpy(out + done, page.data() + offset, size_t(chunk));
    done += chunk;
  }
  h->position += done;
  return size_t(done);
}

bool TSingleFileSystem::ZeroTail(Handle& h, DirEntry& entry) {
  // Bytes after the end inside the last page may be left from a larger size; a file that
  // grows must show zeros there.
  const int64_t d = pages_->DataSize();
  if (entry.size % d == 0 || entry.firstMapPageNo == -1) return true;
  const auto& maps = maps_->GetMaps(entry);
  const size_t j = size_t(entry.size / d);
  if (j >= maps.dataPages.size()) return true;
  std::vector<uint8_t> page(static_cast<size_t>(d));
  PageHeader ph;
  if (!pages_->ReadPage(maps.dataPages[j], ph, page.data(), page.size(), false, KeyFor(h))) {
    lastError_ = pages_->LastError();
    return false;
  }
  const size_t from = size_t(entry.size % d);
  if (std::all_of(page.begin() + ptrdiff_t(from), page.end(), [](uint8_t b) { return b == 0; }))
    return true;
  std::fill(page.begin() + ptrdiff_t(from), page.end(), 0);
  PageHeader out;
  out.pageKind = static_cast<uint8_t>(PageKind::Data);
  out.encryptionKind = EncryptionFor(h);
  if (!pages_->WritePage(maps.dataPages[j], out, page.data(), page.size(), KeyFor(h))) {
    lastError_ = pages_->LastError();
    return false;
  }
  return true;
}

size_t TSingleFileSystem::FileWrite(int handle, const void* buffer, size_t count) {
  lastError_ = 0;
  Handle* h = FindHandle(handle);
  if (count == 0 || !h) return 0;
  if (IsReadOnly()) {
    lastError_ = kErrHeaderWrite;
    return 0;
  }
  DirEntry entry = dir_->ReadItem(h->entry);
  const int32_t mapBefore = entry.firstMapPageNo;
  if (h->position > entry.size && !ZeroTail(*h, entry)) return 0;
  std::vector<int32_t> list;
  if (!maps_->GetPageList(entry, h->position, int64_t(count), true, list)) {
    lastError_ = maps_->Error() ? maps_->Error() : kErrNoSpace;
    if (lastError_ == kErrNoSpace) NotifyOutOfSpace();
    if (entry.firstMapPageNo != mapBefore) dir_->WriteItem(h->entry, entry);
    return 0;
  }
  const int64_t d = pages_->DataSize();
  std::vector<uint8_t> page(static_cast<size_t>(d));
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  const int64_t n = int64_t(count);
  for (size_t i = 0; i < list.size() && done < n; ++i) {
    const int64_t offset = i == 0 ? h->position % d : 0;
    const int64_t chunk = std::min(d - offset, n - done);
    PageHeader ph;
    if (offset > 0 || chunk < d) {
      if (!pages_->ReadPage(list[i], ph, page.data(), page.size(), false, KeyFor(*h))) {
        lastError_ = pages_->LastError();
        break;
      }
    }
    std::memcpy(page.data() + offset, in + done, size_t(chunk));
    PageHeader out;
    out.pageKind = static_cast<uint8_t>(PageKind::Data);
    out.encryptionKind = EncryptionFor(*h);
    if (!pages_->WritePage(list[i], out, page.data(), page.size(), KeyFor(*h))) {
      lastError_ = pages_->LastError();
      break;
    }
    done += chunk;
  }
  h->position += done;
  if (entry.size < h->position || entry.size == 0) entry.size = h->position;
  entry.lastWriteTime = StoreTimeNow();
  dir_->WriteItem(h->entry, entry);
  return size_t(done);
}

int64_t TSingleFileSystem::FileSetSize(int handle, int64_t newSize) {
  lastError_ = 0;
  Handle* h = FindHandle(handle);
  if (!h) {
    lastError_ = kErrUnknownHandle;
    return kErrUnknownHandle;
  }
  if (IsReadOnly()) {
    lastError_ = kErrHeaderWrite;
    return kErrHeaderWrite;
  }
  if (newSize < 0) {
    lastError_ = kErrNotFound;
    return kErrNotFound;
  }
  DirEntry entry = dir_->ReadItem(h->entry);
  if (newSize > entry.size && !ZeroTail(*h, entry)) return lastError_;
  if (!maps_->SetFileSize(entry, newSize, true)) {
    lastError_ = maps_->Error() ? maps_->Error() : kErrNoSpace;
    if (lastError_ == kErrNoSpace) NotifyOutOfSpace();
    dir_->WriteItem(h->entry, entry);
    return lastError_;
  }
  entry.size = newSize;
  entry.lastWriteTime = StoreTimeNow();
  dir_->WriteItem(h->entry, entry);
  h->position = newSize;
  return newSize;
}

}  // namespace store
