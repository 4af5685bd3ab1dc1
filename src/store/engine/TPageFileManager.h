#pragma once
// The page layer: fixed-size pages over the logical space of a part set.
//
// Page 0 holds the 256-byte store header (rest of the page unused):
//   OFFSET SIZE DESCRIPTION
//   0      8    "KXSFSSGN"
//   8      4    HeaderChecksum: checksum kind 0 over bytes 12..255
//   12     4    Version: float 2.11 (0x40070A3D)
//   16     4    PageSize (4096)          20  4  ExtentPageCount (8)
//   24     4    FirstExtentPage (1)      28  4  GAMPageCount
//   32     4    PFSPageCount             36  4  DirPageCount
//   40     4    FirstDirPage             44  4  DirEntryCount
//   48     4    PageCount (page 0 included)
//   52     172  PasswordRecord of the store, zero without a password
//   224    1    HasPassword              225 1  DefaultCompression
//   226    30   reserved (kept as read)
// Page n >= 1: a 32-byte page header, then PageSize - 32 data bytes:
//   0 4 NextPage (-1 none)   4 4 Checksum of the data as stored   8 1 PageKind
//   9 1 EncryptionKind (0 plain, 1 enciphered)   10 1 ChecksumKind   11 21 reserved
//
// Failures of page reads and writes are result codes kept in LastError(); no page cache.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/StoreResult.h"
#include "store/cipher/SFSPassword.h"
#include "store/engine/TSFSHugeFile.h"

namespace store {

enum class PageKind : uint8_t { Directory = 1, GAM = 2, SGAM = 3, PFS = 4, PageMap = 5, Data = 6 };

struct PageHeader {
  int32_t nextPage = -1;
  uint32_t checksum = 0;
  uint8_t pageKind = 0;
  uint8_t encryptionKind = 0;
  uint8_t checksumKind = 0;
};

struct StoreHeader {
  uint32_t version = 0x40070A3D;
  int32_t pageSize = 4096;
  int32_t extentPageCount = 8;
  int32_t firstExtentPage = 1;
  int32_t gamPageCount = 0;
  int32_t pfsPageCount = 0;
  int32_t dirPageCount = 0;
  int32_t firstDirPage = -1;
  int32_t dirEntryCount = 0;
  int32_t pageCount = 1;
  PasswordRecord passwordRecord{};
  uint8_t hasPassword = 0;
  uint8_t defaultCompression = 0;
  uint8_t reserved[30] = {};
};

class TPageFileManager {
 public:
  static constexpr size_t kHeaderBytes = 256;
  static constexpr size_t kPageHeaderBytes = 32;

  // Throws "TPageFileManager.Create - page size should be >= 544bytes ." and
  // "TPageFileManager.Create - extent page count should be >= 1 Page.".
  TPageFileManager(std::unique_ptr<TSFSHugeFile> file, int32_t pageSize, int32_t extentPageCount,
                   bool readOnly);

  TSFSHugeFile& File() { return *file_; }
  StoreHeader& Header() { return header_; }
  const StoreHeader& Header() const { return header_; }
  int32_t PageSize() const { return pageSize_; }
  int32_t DataSize() const { return pageSize_ - int32_t(kPageHeaderBytes); }
  int32_t ExtentPageCount() const { return extentPageCount_; }
  bool ReadOnly() const { return readOnly_; }
  int LastError() const { return lastError_; }

  void SetStoreKey(const std::string& key) {
    storeKey_ = key;
    hasStoreKey_ = true;
  }
  bool HasStoreKey() const { return hasStoreKey_; }
  const std::string& StoreKey() const { return storeKey_; }

  // `len` 0 reads the header alone. `key` nullptr uses the store page key. Returns false with
  // LastError() set on failure; throws "TPageFileManager.ReadPage - pData is nil." when len > 0
  // and data is null.
  bool ReadPage(int32_t page, PageHeader& header, uint8_t* data, size_t len, bool raw = false,
                const std::string* key = nullptr);
  // Enciphers `data` in place when the header asks for it and sets header.checksum.
  bool WritePage(int32_t page, PageHeader& header, uint8_t* data, size_t len,
                 const std::string* key = nullptr);

  // Does nothing on a read-only store.
  void SaveHeader();
  // False when the signature, checksum or geometry is wrong.
  bool LoadHeader();
  bool GrowPages(int32_t count);

 private:
  const std::string& KeyOr(const std::string* key) const { return key ? *key : storeKey_; }

  std::unique_ptr<TSFSHugeFile> file_;
  int32_t pageSize_;
  int32_t extentPageCount_;
  bool readOnly_;
  StoreHeader header_;
  std::string storeKey_;
  bool hasStoreKey_ = false;
  int lastError_ = 0;
  std::vector<uint8_t> io_;  // one page header and data, for single-call page I/O
};

void SerializeHeader(const StoreHeader& header, uint8_t out[256]);
// False when the signature or checksum does not match.
bool ParseHeader(const uint8_t in[256], StoreHeader& header);

}  // namespace store
