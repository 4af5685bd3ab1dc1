// Construction, opening and the store-wide state of TSingleFileSystem; the file operations
// are in SingleFileSystemFiles.cpp.
#include "store/TSingleFileSystem.h"

#include "platform/File.h"
#include "store/Errors.h"
#include "store/cipher/SFSPassword.h"
#include "store/engine/PartSize.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

constexpr int32_t kPageSize = 4096;
constexpr int32_t kExtentPageCount = 8;

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string BareName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TSingleFileSystem::TSingleFileSystem(const std::string& fileName, uint16_t mode,
                                     const std::string& password, const std::string& question,
                                     const std::string& answer, uint8_t compression,
                                     int64_t partSize)
    : fileName_(fileName), mode_(mode), password_(password) {
  const bool creating = mode == kModeCreate;
  const bool readOnly = !creating && (mode & 3) == 0;
  const bool exclusive = !creating && (mode & kModeExclusive) != 0;

  // The password record is made before anything is touched on disk, so an over-long
  // password or question leaves an existing store of that name alone.
  PasswordRecord record{};
  std::string storeKey;
  if (creating && !password.empty())
    record = MakePasswordRecord(password, question, answer, &storeKey);

  auto file = std::make_unique<TSFSHugeFile>();
  if (creating) {
    const int64_t size = partSize > 0 ? partSize : PartSizeForPath(fileName);
    CheckPartSize(size);
    file->Create(fileName, size, false);
  } else {
    if (!platform::FileExists(fileName)) throw StoreError("File '" + fileName + "' not found");
    bool opened = false;
    try {
      opened = file->Open(fileName, readOnly, exclusive);
    } catch (const platform::FileError& e) {
      throw StoreError(e.what());
    }
    if (!opened) throw StoreError("File " + BareName(fileName) + " has corrupted header.");
  }
  pages_ =
      std::make_unique<TPageFileManager>(std::move(file), kPageSize, kExtentPageCount, readOnly);

  if (creating) {
    StoreHeader& h = pages_->Header();
    h = StoreHeader{};
    if (!password.empty()) {
      h.hasPassword = 1;
      h.passwordRecord = record;
      pages_->SetStoreKey(storeKey);
    }
    pages_->SaveHeader();
    h.defaultCompression = compression;
    pages_->SaveHeader();
  } else {
    if (!pages_->LoadHeader())
      throw StoreError("TSingleFileSystem.LoadHeader - Invalid SFS file, header is corrupted.");
    if (pages_->Header().hasPassword == 1) {
      std::string key;
      if (!CheckPassword(pages_->Header().passwordRecord, password, key))
        throw StoreError("TSingleFileSystem.Create - invalid password specified, file name = " +
                         Quoted(fileName));
      pages_->SetStoreKey(key);
    }
  }
  if (pages_->Header().hasPassword != 1) password_.clear();

  freeSpace_ = std::make_unique<TFreeSpaceManager>(*pages_);
  freeSpace_->Load();
  dir_ = std::make_unique<TDIRManager>(*pages_, *freeSpace_);
  dir_->Load();
  maps_ = std::make_unique<TUserFilePageMapManager>(*pages_, *freeSpace_);
}

TSingleFileSystem::~TSingleFileSystem() {
  handles_.clear();
  if (pages_) pages_->File().Close();
}

bool TSingleFileSystem::IsReadOnly() const { return pages_->ReadOnly(); }
bool TSingleFileSystem::HasPassword() const { return pages_->Header().hasPassword == 1; }
uint8_t TSingleFileSystem::DefaultCompression() const {
  return pages_->Header().defaultCompression;
}
int64_t TSingleFileSystem::PartSize() const { return pages_->File().PartSize(); }

std::vector<StoreFileInfo> TSingleFileSystem::List() const {
  std::vector<StoreFileInfo> out;
  for (int32_t i = 0; i < dir_->Count(); ++i) {
    const DirEntry& e = dir_->ReadItem(i);
    if (e.isDeleted) continue;
    StoreFileInfo info;
    info.index = i;
    info.name = e.fileName;
    info.parentId = e.parentId;
    info.isDirectory = e.isDirectory != 0;
    info.hasPassword = e.hasPassword == 1;
    info.size = e.size;
    info.creationTime = e.creationTime;
    info.lastWriteTime = e.lastWriteTime;
    info.lastAccessTime = e.lastAccessTime;
    out.push_back(info);
  }
  return out;
}

}  // namespace store
