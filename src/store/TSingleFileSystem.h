#pragma once
// The store handle: one container file (possibly spread over part files) holding named
// files, each a chain of pages, optionally enciphered under a store or per-file password.
//
// Lifetime: open from construction to destruction, no separate open or close. Construction
// either succeeds completely or throws StoreError (files already created stay on disk).
// Destruction frees handle records without closing them, flushes the part files and writes
// nothing else; streams over the store must be destroyed first.
//
// File operations never throw for ordinary failures: they return a negative code (or 0
// bytes) and keep the code in LastError(); the codes are listed in StoreResult.h.
// They throw StoreError only for a damaged store (broken page-map chain and kin).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/StoreResult.h"

namespace store {

class TPageFileManager;
class TFreeSpaceManager;
class TDIRManager;
class TUserFilePageMapManager;
class PasswordPrompt;
struct DirEntry;

// Open modes (16-bit). Anything other than kModeCreate opens an existing store or file:
// two low bits 0 = read-only, 1 or 2 = read/write; kModeExclusive = not shared.
constexpr uint16_t kModeCreate = 0xFFFF;
constexpr uint16_t kModeReadOnly = 0x0000;
constexpr uint16_t kModeReadWrite = 0x0002;
constexpr uint16_t kModeExclusive = 0x0010;

// What `sfs ls` and the tests see of a live directory entry.
struct StoreFileInfo {
  int index = -1;
  std::string name;
  int parentId = -1;
  bool isDirectory = false;
  bool hasPassword = false;
  int64_t size = 0;
  int64_t creationTime = 0;  // 100-ns intervals since 1601-01-01 UTC
  int64_t lastWriteTime = 0;
  int64_t lastAccessTime = 0;
};

class TSingleFileSystem {
 public:
  // Called when a file operation runs out of space.
  using OutOfSpaceEvent = std::function<void(TSingleFileSystem& sender)>;
  // Asked for a password when a protected file is opened with a wrong one. Returns false
  // to cancel; else the new attempt in `password`.
  using PasswordRequestEvent = std::function<bool(
      TSingleFileSystem& sender, const std::string& fileName, std::string& password)>;

  // mode kModeCreate creates a new store (replacing any parts of that name); other modes open
  // an existing one and check `password` when the store has one. `question`, `answer` and
  // `compression` are only used on creation. `partSize` 0 takes the part size from the
  // volume; a positive value forces it (tools and tests; at least 380).
  TSingleFileSystem(const std::string& fileName, uint16_t mode, const std::string& password = {},
                    const std::string& question = {}, const std::string& answer = {},
                    uint8_t compression = 0, int64_t partSize = 0);
  ~TSingleFileSystem();
  TSingleFileSystem(const TSingleFileSystem&) = delete;
  TSingleFileSystem& operator=(const TSingleFileSystem&) = delete;

  const std::string& FileName() const { return fileName_; }
  uint16_t Mode() const { return mode_; }
  bool IsReadOnly() const;
  bool HasPassword() const;
  uint8_t DefaultCompression() const;
  int64_t PartSize() const;
  int LastError() const { return lastError_; }

  // --- file operations (names are paths separated by "/" or "\") ---
  int FileOpen(const std::string& name, uint16_t mode, const std::string& password = {},
               const std::string& question = {}, const std::string& answer = {});
  size_t FileRead(int handle, void* buffer, size_t count);
  size_t FileWrite(int handle, const void* buffer, size_t count);
  // origin 0 start, 1 current, 2 end; returns the new position (0 for an unknown handle).
  int64_t FileSeek(int handle, int origin, int64_t offset);
  int64_t FileSetSize(int handle, int64_t newSize);
  int64_t FileSize(int handle) const;  // kErrUnknownHandle for an unknown handle
  void FileClose(int handle);
  bool FileDelete(const std::string& name);
  // Gives the file or folder `from` the leaf name `newLeaf` in the folder it is in: only its
  // directory entry changes, so its pages, password and contents stay as they are. False,
  // with nothing changed, when `from` is missing or open, the store is read-only, `newLeaf`
  // is empty, "..", holds a separator or is too long, or the folder already holds that name.
  bool FileRename(const std::string& from, const std::string& newLeaf);
  bool StoreFileExists(const std::string& name);

  // Live entries in index order.
  std::vector<StoreFileInfo> List() const;

  OutOfSpaceEvent OnOutOfSpace;
  PasswordRequestEvent OnPasswordRequest;
  // Asked when OnPasswordRequest is not set; not owned (it comes from the book services of
  // the program). Neither set: a wrong per-file password fails the open.
  PasswordPrompt* passwordPrompt = nullptr;

  // The layers, for the verifier and the tests.
  TPageFileManager& Pages() { return *pages_; }
  TFreeSpaceManager& FreeSpace() { return *freeSpace_; }
  TDIRManager& Directory() { return *dir_; }
  TUserFilePageMapManager& PageMaps() { return *maps_; }

 private:
  struct Handle {
    int entry = -1;
    int64_t position = 0;
    uint16_t mode = 0;
    bool hasKey = false;
    std::string pageKey;
  };

  int CreateEntry(const std::string& name, const std::string& password, const std::string& question,
                  const std::string& answer, std::string& pageKey);
  bool AskPassword(const std::string& name, int entry, std::string& password, std::string& pageKey);
  bool ZeroTail(Handle& h, DirEntry& entry);
  uint8_t EncryptionFor(const Handle& h) const;
  Handle* FindHandle(int handle);
  const std::string* KeyFor(const Handle& h) const;
  void NotifyOutOfSpace();

  std::string fileName_;
  uint16_t mode_ = 0;
  std::string password_;
  int lastError_ = 0;
  std::unique_ptr<TPageFileManager> pages_;
  std::unique_ptr<TFreeSpaceManager> freeSpace_;
  std::unique_ptr<TDIRManager> dir_;
  std::unique_ptr<TUserFilePageMapManager> maps_;
  std::map<int, Handle> handles_;
  int nextHandle_ = 0;
};

}  // namespace store
