#pragma once
// Files and volumes: the only door to the disk for every layer above.
//
// A `File` owns one open handle and closes it when destroyed. Operations that fail throw
// `FileError` with the system's reason and the file name; none of them leaves the handle
// in an unusable state (a failed read or write may have moved the position).
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Errors.h"

namespace platform {

enum class FileAccess { Read, Write, ReadWrite };
// Share modes as the store and the workbook loader ask for them.
enum class FileShare { Exclusive, DenyWrite, DenyNone };
enum class FileDisposition {
  OpenExisting,  // fail when missing
  CreateAlways,  // create or truncate
  CreateNew,     // fail when it exists
  OpenAlways     // open, or create when missing
};

class File {
 public:
  File() = default;
  // Opens `path` (8-bit system code page). Throws FileError.
  File(const std::string& path, FileAccess access, FileDisposition disposition,
       FileShare share = FileShare::DenyNone);
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool IsOpen() const { return handle_ != kInvalid; }
  const std::string& Path() const { return path_; }

  // Reads up to `size` bytes; returns the count read (0 at the end of the file).
  size_t Read(void* buffer, size_t size);
  // Reads exactly `size` bytes or throws.
  void ReadExact(void* buffer, size_t size);
  // Writes all `size` bytes or throws (a full disk is an error, never a short write).
  void Write(const void* buffer, size_t size);
  void Seek(int64_t offset);
  int64_t Position() const;
  int64_t Size() const;
  // Sets the size; the position is left where it was or at the new end if it lay beyond.
  void Truncate(int64_t size);
  void Flush();
  void Close();

 private:
#ifdef _WIN32
  // The HANDLE's value; all bits set is INVALID_HANDLE_VALUE.
  using Handle = uintptr_t;
  static constexpr Handle kInvalid = ~uintptr_t(0);
#else
  using Handle = int;
  static constexpr Handle kInvalid = -1;
#endif
  Handle handle_ = kInvalid;
  std::string path_;
};

bool FileExists(const std::string& path);
// Why a file cannot be opened for reading, in the system's words ("No such file or
// directory", "Permission denied", "Is a directory"); empty when it can be.
std::string ReadProblem(const std::string& path);
// Deletes a file; false when it could not be deleted (missing, locked, no rights).
bool RemoveFile(const std::string& path);
// Moves `from` over `to`, replacing `to` when it exists, as one step where the system can.
void MoveFileOver(const std::string& from, const std::string& to);
// A temporary name beside `path` in the same folder (for write-beside-and-replace).
std::string SiblingTempPath(const std::string& path);

struct VolumeInfo {
  std::string fileSystemName;  // "NTFS", "FAT32", "ext4", ...; empty when unknown
  uint64_t freeBytes = 0;
};
// Facts of the volume that holds `path` (the file need not exist; its folder must).
VolumeInfo VolumeOf(const std::string& path);

struct OsVersion {
  bool isWindowsNT = false;
  unsigned major = 0;
  unsigned minor = 0;
};
OsVersion CurrentOsVersion();

}  // namespace platform
