#pragma once
// One logical byte space over a chain of part files.
//
// Every part begins with a 280-byte part header (little-endian):
//   OFFSET SIZE DESCRIPTION
//   0      8    "KXMVHFSS"
//   8      8    PartSize: signed maximum length of every part, header included
//   16     261  NextPartName: bare file name of the next part, zero-terminated; "" in the last
//   277    3    reserved, zero
// The first part may be preceded by L foreign bytes (found by scanning at open). With
// P = PartSize - 280 and q = logical offset + L, logical byte p lives in part q / P at file
// offset 280 + q % P. Every part but the last is exactly PartSize bytes long.
//
// Failure: I/O errors of the platform become StoreError with the texts below; a failed
// write may have extended the last part. Next-part names are bare file names in the store's
// folder: names with separators, drive letters or "..", and chains that revisit a part, are
// refused as damage (a hostile store must not reach or delete other files).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/File.h"

namespace store {

// One part file with its header.
class TSFSDiskFile {
 public:
  TSFSDiskFile(const std::string& path, bool create, bool readOnly, bool exclusive);
  platform::File& File() { return file_; }
  const std::string& Path() const { return file_.Path(); }
  int64_t Length() const { return length_; }
  void SetLength(int64_t length) { length_ = length; }

  void WriteHeader(int64_t partSize, const std::string& nextPartName, int64_t prefix);
  // Reads the header at `prefix`; false when the signature or size is wrong.
  bool ReadHeader(int64_t prefix, int64_t& partSize, std::string& nextPartName);

 private:
  platform::File file_;
  int64_t length_ = 0;
};

class TSFSHugeFile {
 public:
  TSFSHugeFile() = default;
  ~TSFSHugeFile();
  TSFSHugeFile(const TSFSHugeFile&) = delete;
  TSFSHugeFile& operator=(const TSFSHugeFile&) = delete;

  // Creates a new one-part set (deleting any parts of that name first).
  void Create(const std::string& path, int64_t partSize, bool exclusive);
  // Opens an existing set; false when the parts are missing or damaged (no exception for
  // damage; platform errors other than "missing" still throw).
  bool Open(const std::string& path, bool readOnly, bool exclusive);
  void Close();
  bool IsOpen() const { return !parts_.empty(); }

  int64_t PartSize() const { return partSize_; }
  int64_t Prefix() const { return prefix_; }
  size_t PartCount() const { return parts_.size(); }
  const std::string& PartPath(size_t i) const { return parts_[i]->Path(); }

  int64_t Size() const;
  int64_t Position() const { return position_; }
  void Seek(int64_t offset);
  // Reads up to `count` bytes, stopping at the logical end.
  size_t Read(void* buffer, size_t count);
  size_t Write(const void* buffer, size_t count);
  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count);
  void SetSize(int64_t size);
  void Flush();

  // Deletes the parts of the store at `path`: the first and every valid part its chain
  // reaches. Missing files are not an error.
  static void DeleteStore(const std::string& path);

 private:
  int64_t Payload() const { return partSize_ - kHeaderSize; }
  void AddPart();
  void DeleteLastPartFile();
  std::string Folder() const;

  static constexpr int64_t kHeaderSize = 280;
  std::vector<std::unique_ptr<TSFSDiskFile>> parts_;
  std::string path_;
  int64_t partSize_ = 0;
  int64_t prefix_ = 0;
  int64_t position_ = 0;
  bool readOnly_ = false;
  bool exclusive_ = false;
};

// True when `name` is a bare file name usable as a next-part name.
bool IsBarePartName(const std::string& name);

}  // namespace store
