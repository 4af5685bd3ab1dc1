#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Clock.h"
#include "platform/File.h"

namespace platform {

namespace {
[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw FileError(what + " \"" + path + "\": " + std::strerror(errno));
}
}  // namespace

File::File(const std::string& path, FileAccess access, FileDisposition disposition, FileShare share)
    : path_(path) {
  int flags = access == FileAccess::Read    ? O_RDONLY
              : access == FileAccess::Write ? O_WRONLY
                                            : O_RDWR;
  switch (disposition) {
    case FileDisposition::OpenExisting:
      break;
    case FileDisposition::CreateAlways:
      flags |= O_CREAT | O_TRUNC;
      break;
    case FileDisposition::CreateNew:
      flags |= O_CREAT | O_EXCL;
      break;
    case FileDisposition::OpenAlways:
      flags |= O_CREAT;
      break;
  }
  flags |= O_CLOEXEC;
  handle_ = ::open(path.c_str(), flags, 0644);
  if (handle_ < 0) {
    handle_ = kInvalid;
    Fail("Cannot open file", path);
  }
  // POSIX has no mandatory share modes; an advisory lock keeps two stores of ours apart.
  if (share == FileShare::Exclusive && access != FileAccess::Read) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(handle_, F_SETLK, &lock) != 0) {
      int saved = errno;
      ::close(handle_);
      handle_ = kInvalid;
      errno = saved;
      Fail("File is in use", path);
    }
  }
}

void File::Close() {
  if (handle_ != kInvalid) {
    ::close(handle_);
    handle_ = kInvalid;
  }
}

size_t File::Read(void* buffer, size_t size) {
  auto* p = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(handle_, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", path_);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void File::ReadExact(void* buffer, size_t size) {
  if (Read(buffer, size) != size) throw FileError("Unexpected end of file \"" + path_ + "\"");
}

void File::Write(const void* buffer, size_t size) {
  auto* p = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(handle_, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write file", path_);
    }
    done += static_cast<size_t>(n);
  }
}

void File::Seek(int64_t offset) {
  if (::lseek(handle_, static_cast<off_t>(offset), SEEK_SET) < 0)
    Fail("Cannot seek in file", path_);
}

int64_t File::Position() const {
  off_t p = ::lseek(handle_, 0, SEEK_CUR);
  if (p < 0) Fail("Cannot seek in file", path_);
  return p;
}

int64_t File::Size() const {
  struct stat st {};
  if (::fstat(handle_, &st) != 0) Fail("Cannot read size of file", path_);
  return st.st_size;
}

void File::Truncate(int64_t size) {
  if (::ftruncate(handle_, static_cast<off_t>(size)) != 0) Fail("Cannot set size of file", path_);
  if (Position() > size) Seek(size);
}

void File::Flush() {
  if (::fsync(handle_) != 0 && errno != EINVAL) Fail("Cannot flush file", path_);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void MoveFileOver(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) Fail("Cannot replace file", to);
}

std::string SiblingTempPath(const std::string& path) {
  return path + ".~" + std::to_string(RandomUInt32() % 1000000) + ".tmp";
}

VolumeInfo VolumeOf(const std::string& path) {
  std::string dir = path;
  auto slash = dir.find_last_of('/');
  dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : dir.substr(0, slash));
  VolumeInfo info;
  struct statvfs vs {};
  if (::statvfs(dir.c_str(), &vs) == 0) info.freeBytes = uint64_t(vs.f_bavail) * vs.f_frsize;
  struct statfs fs {};
  if (::statfs(dir.c_str(), &fs) == 0) {
    switch (static_cast<unsigned long>(fs.f_type)) {
      case 0xEF53:
        info.fileSystemName = "ext4";
        break;
      case 0x01021994:
        info.fileSystemName = "tmpfs";
        break;
      case 0x58465342:
        info.fileSystemName = "xfs";
        break;
      case 0x9123683E:
        info.fileSystemName = "btrfs";
        break;
      case 0x794C7630:
        info.fileSystemName = "overlay";
        break;
      case 0x4d44:
        info.fileSystemName = "FAT32";
        break;
      case 0x2011BAB0:
        info.fileSystemName = "exFAT";
        break;
      case 0x5346544e:
        info.fileSystemName = "NTFS";
        break;
      default:
        info.fileSystemName = "";
        break;
    }
  }
  return info;
}

OsVersion CurrentOsVersion() { return OsVersion{}; }

}  // namespace platform
