#pragma once
// One 512-byte directory entry (little-endian):
//   OFFSET SIZE DESCRIPTION
//   0      4    FirstMapPageNo: first page-map page, -1 when the file has no pages
//   4      8    Size in bytes (signed)
//   12     8    CreationTime     20 8 LastWriteTime     28 8 LastAccessTime
//                (100-ns intervals since 1601-01-01 UTC)
//   36     4    Attributes (0)   40 4 ParentID (-1 root)   44 4 reserved
//   48     172  PasswordRecord of the file, zero when none
//   220    1    IsDirectory      221 1 IsDeleted      222 1 HasPassword   223 1 reserved
//   224    260  FileName, zero-terminated, at most 259 characters
//   484    28   reserved
#include <cstdint>
#include <string>

#include "store/cipher/SFSPassword.h"

namespace store {

constexpr size_t kDirEntryBytes = 512;
constexpr size_t kMaxNameLength = 259;

struct DirEntry {
  int32_t firstMapPageNo = -1;
  int64_t size = 0;
  int64_t creationTime = 0;
  int64_t lastWriteTime = 0;
  int64_t lastAccessTime = 0;
  uint32_t attributes = 0;
  int32_t parentId = -1;
  PasswordRecord passwordRecord{};
  uint8_t isDirectory = 0;
  uint8_t isDeleted = 0;
  uint8_t hasPassword = 0;
  std::string fileName;

  void Serialize(uint8_t* out) const;
  static DirEntry Parse(const uint8_t* in);
};

// The current local time at 2-second resolution, as a UTC count of 100-ns intervals since
// 1601 (the form of the entry's time stamps).
int64_t StoreTimeNow();

}  // namespace store
