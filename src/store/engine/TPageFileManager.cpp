#include "store/engine/TPageFileManager.h"

#include <cstring>
#include <vector>

#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/cipher/Checksum.h"
#include "store/cipher/TCipher.h"

namespace store {
namespace {

constexpr char kStoreSignature[] = "KXSFSSGN";

void SerializePageHeader(const PageHeader& h, uint8_t out[32]) {
  std::memset(out, 0, 32);
  platform::StoreU32(out, static_cast<uint32_t>(h.nextPage));
  platform::StoreU32(out + 4, h.checksum);
  out[8] = h.pageKind;
  out[9] = h.encryptionKind;
  out[10] = h.checksumKind;
}

void ParsePageHeader(const uint8_t in[32], PageHeader& h) {
  h.nextPage = platform::LoadI32(in);
  h.checksum = platform::LoadU32(in + 4);
  h.pageKind = in[8];
  h.encryptionKind = in[9];
  h.checksumKind = in[10];
}

}  // namespace

void SerializeHeader(const StoreHeader& h, uint8_t out[256]) {
  std::memset(out, 0, 256);
  std::memcpy(out, kStoreSignature, 8);
  platform::StoreU32(out + 12, h.version);
  platform::StoreU32(out + 16, uint32_t(h.pageSize));
  platform::StoreU32(out + 20, uint32_t(h.extentPageCount));
  platform::StoreU32(out + 24, uint32_t(h.firstExtentPage));
  platform::StoreU32(out + 28, uint32_t(h.gamPageCount));
  platform::StoreU32(out + 32, uint32_t(h.pfsPageCount));
  platform::StoreU32(out + 36, uint32_t(h.dirPageCount));
  platform::StoreU32(out + 40, uint32_t(h.firstDirPage));
  platform::StoreU32(out + 44, uint32_t(h.dirEntryCount));
  platform::StoreU32(out + 48, uint32_t(h.pageCount));
  std::memcpy(out + 52, h.passwordRecord.data(), kPasswordRecordSize);
  out[224] = h.hasPassword;
  out[225] = h.defaultCompression;
  std::memcpy(out + 226, h.reserved, sizeof h.reserved);
  platform::StoreU32(out + 8, Checksum(out + 12, 256 - 12, 0));
}

bool ParseHeader(const uint8_t in[256], StoreHeader& h) {
  if (std::memcmp(in, kStoreSignature, 8) != 0) return false;
  if (!VerifyChecksum(in + 12, 256 - 12, 0, platform::LoadU32(in + 8))) return false;
  h.version = platform::LoadU32(in + 12);
  h.pageSize = platform::LoadI32(in + 16);
  h.extentPageCount = platform::LoadI32(in + 20);
  h.firstExtentPage = platform::LoadI32(in + 24);
  h.gamPageCount = platform::LoadI32(in + 28);
  h.pfsPageCount = platform::LoadI32(in + 32);
  h.dirPageCount = platform::LoadI32(in + 36);
  h.firstDirPage = platform::LoadI32(in + 40);
  h.dirEntryCount = platform::LoadI32(in + 44);
  h.pageCount = platform::LoadI32(in + 48);
  std::memcpy(h.passwordRecord.data(), in + 52, kPasswordRecordSize);
  h.hasPassword = in[224];
  h.defaultCompression = in[225];
  std::memcpy(h.reserved, in + 226, sizeof h.reserved);
  return true;
}

TPageFileManager::TPageFileManager(std::unique_ptr<TSFSHugeFile> file, int32_t pageSize,
                                   int32_t extentPageCount, bool readOnly)
    : file_(std::move(file)),
      pageSize_(pageSize),
      extentPageCount_(extentPageCount),
      readOnly_(readOnly) {
  if (pageSize < 544)
    throw StoreError("TPageFileManager.Create - page size should be >= " + std::to_string(544) +
                     "bytes .");
  if (extentPageCount < 1)
    throw StoreError("TPageFileManager.Create - extent page count should be >= 1 Page.");
  header_.pageSize = pageSize;
  header_.extentPageCount = extentPageCount;
}

bool TPageFileManager::ReadPage(int32_t page, PageHeader& header, uint8_t* data, size_t len,
                                bool raw, const std::string* key) {
  lastError_ = 0;
  if (len > 0 && data == nullptr) throw StoreError("TPageFileManager.ReadPage - pData is nil.");
  // Page 0 is the store header and never a page; a map pointing there is damage.
  if (page < 1 || len > size_t(DataSize())) {
    lastError_ = kErrHeaderRead;
    return false;
  }
  // Header and data in one read: one system call per page.
  io_.resize(kPageHeaderBytes + len);
  try {
    file_->Seek(int64_t(page) * pageSize_);
    const size_t got = file_->Read(io_.data(), io_.size());
    if (got < kPageHeaderBytes) {
      lastError_ = kErrHeaderRead;
      return false;
    }
    ParsePageHeader(io_.data(), header);
    if (len == 0) return true;
    if (got != io_.size()) {
      lastError_ = kErrDataRead;
      return false;
    }
    std::memcpy(data, io_.data() + kPageHeaderBytes, len);
  } catch (const StoreError&) {
    lastError_ = kErrHeaderRead;  // position past the logical end
    return false;
  }
  if (!VerifyChecksum(data, len, header.checksumKind, header.checksum)) {
    lastError_ = kErrChecksum;
    return false;
  }
  if (raw || header.encryptionKind == 0) return true;
  if (header.encryptionKind != 1) {
    lastError_ = kErrDecipher;
    return false;
  }
  try {
    TCipher_Rijndael cipher(KeyOr(key));
    cipher.DecodeBuffer(data, data, len);
  } catch (const std::exception&) {
    lastError_ = kErrDecipher;
    return false;
  }
  return true;
}

bool TPageFileManager::WritePage(int32_t page, PageHeader& header, uint8_t* data, size_t len,
                                 const std::string* key) {
  lastError_ = 0;
  if (page < 1 || len > size_t(DataSize())) {
    lastError_ = kErrHeaderWrite;
    return false;
  }
  if (len > 0) {
    if (header.encryptionKind > 1)
      throw StoreError("TPageFileManager.EncodeBuffer - Unknown encryption type");
    if (header.encryptionKind == 1) {
      try {
        TCipher_Rijndael cipher(KeyOr(key));
        cipher.EncodeBuffer(data, data, len);
      } catch (const std::exception&) {
        lastError_ = kErrEncipher;
        return false;
      }
    }
    header.checksum = Checksum(data, len, header.checksumKind);
  }
  io_.resize(kPageHeaderBytes + len);
  SerializePageHeader(header, io_.data());
  if (len > 0) std::memcpy(io_.data() + kPageHeaderBytes, data, len);
  try {
    file_->Seek(int64_t(page) * pageSize_);
    const size_t written = file_->Write(io_.data(), io_.size());
    if (written < kPageHeaderBytes) {
      lastError_ = kErrHeaderWrite;
      return false;
    }
    if (written != io_.size()) {
      lastError_ = kErrDataWrite;
      return false;
    }
  } catch (const StoreError&) {
    lastError_ = kErrHeaderWrite;
    return false;
  }
  return true;
}

void TPageFileManager::SaveHeader() {
  if (readOnly_) return;
  uint8_t image[kHeaderBytes];
  SerializeHeader(header_, image);
  file_->Seek(0);
  file_->WriteBuffer(image, sizeof image);
}

bool TPageFileManager::LoadHeader() {
  uint8_t image[kHeaderBytes];
  file_->Seek(0);
  if (file_->Read(image, sizeof image) != sizeof image) return false;
  StoreHeader h;
  if (!ParseHeader(image, h)) return false;
  // The geometry is fixed; counts must fit the page count, so that no later step allocates
  // or walks more than the file can hold.
  if (h.pageSize != pageSize_ || h.extentPageCount != extentPageCount_ || h.firstExtentPage != 1)
    return false;
  if (h.pageCount < 1 || h.gamPageCount < 0 || h.pfsPageCount < 0 || h.dirPageCount < 0 ||
      h.dirEntryCount < 0)
    return false;
  if (h.gamPageCount > h.pageCount || h.pfsPageCount > h.pageCount || h.dirPageCount > h.pageCount)
    return false;
  // Map and directory pages must lie in the file as it is (a truncated store still opens and
  // reports its lost pages when they are read).
  const int64_t filePages = file_->Size() / pageSize_ + 1;
  if (h.gamPageCount > filePages || h.pfsPageCount > filePages || h.dirPageCount > filePages)
    return false;
  const int32_t perPage = DataSize() / 512;
  if (int64_t(h.dirEntryCount) > int64_t(h.dirPageCount) * perPage) return false;
  if (h.dirPageCount > 0 && (h.firstDirPage < 1 || h.firstDirPage >= h.pageCount)) return false;
  if (h.hasPassword > 1) return false;
  header_ = h;
  return true;
}

bool TPageFileManager::GrowPages(int32_t count) {
  if (count <= 0) return true;
  const int64_t target = (int64_t(header_.pageCount) + count) * pageSize_;
  if (int64_t(header_.pageCount) + count > INT32_MAX) return false;
  try {
    file_->SetSize(target);
    if (file_->Size() != target) return false;
    header_.pageCount += count;
    SaveHeader();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace store
