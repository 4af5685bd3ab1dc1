// Files and volumes through the Win32 file functions. Paths are 8-bit texts in the system's
// code page, so the ANSI entry points are used throughout.
#include <windows.h>

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/win32/Win32Text.h"

namespace platform {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  std::string reason = win32::LastErrorText();
  throw FileError(what + " \"" + path + "\": " + reason);
}

HANDLE Native(uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// ReadFile and WriteFile count in DWORD; larger requests go in pieces of this size.
constexpr size_t kMaxChunk = size_t(1) << 30;

}  // namespace

File::File(const std::string& path, FileAccess access, FileDisposition disposition, FileShare share)
    : path_(path) {
  DWORD desired = access == FileAccess::Read    ? GENERIC_READ
                  : access == FileAccess::Write ? GENERIC_WRITE
                                                : GENERIC_READ | GENERIC_WRITE;
  DWORD shareMode = share == FileShare::Exclusive   ? 0
                    : share == FileShare::DenyWrite ? FILE_SHARE_READ
                                                    : FILE_SHARE_READ | FILE_SHARE_WRITE;
  DWORD create = OPEN_EXISTING;
  switch (disposition) {
    case FileDisposition::OpenExisting:
      create = OPEN_EXISTING;
      break;
    case FileDisposition::CreateAlways:
      create = CREATE_ALWAYS;
      break;
    case FileDisposition::CreateNew:
      create = CREATE_NEW;
      break;
    case FileDisposition::OpenAlways:
      create = OPEN_ALWAYS;
      break;
  }
  HANDLE h = CreateFileA(path.c_str(), desired, shareMode, nullptr, create, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
      SetLastError(code);
      Fail("File is in use", path);
    }
    SetLastError(code);
    Fail("Cannot open file", path);
  }
  handle_ = reinterpret_cast<Handle>(h);
}

void File::Close() {
  if (handle_ != kInvalid) {
    CloseHandle(Native(handle_));
    handle_ = kInvalid;
  }
}

size_t File::Read(void* buffer, size_t size) {
  auto* p = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    DWORD want = static_cast<DWORD>(size - done < kMaxChunk ? size - done : kMaxChunk);
    DWORD got = 0;
    if (!ReadFile(Native(handle_), p + done, want, &got, nullptr)) Fail("Cannot read file", path_);
    if (got == 0) break;
    done += got;
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
    DWORD want = static_cast<DWORD>(size - done < kMaxChunk ? size - done : kMaxChunk);
    DWORD put = 0;
    if (!WriteFile(Native(handle_), p + done, want, &put, nullptr))
      Fail("Cannot write file", path_);
    if (put == 0) {
      SetLastError(ERROR_DISK_FULL);
      Fail("Cannot write file", path_);
    }
    done += put;
  }
}

void File::Seek(int64_t offset) {
  if (offset < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    Fail("Cannot seek in file", path_);
  }
  LARGE_INTEGER to;
  to.QuadPart = offset;
  if (!SetFilePointerEx(Native(handle_), to, nullptr, FILE_BEGIN))
    Fail("Cannot seek in file", path_);
}

int64_t File::Position() const {
  LARGE_INTEGER zero, now;
  zero.QuadPart = 0;
  if (!SetFilePointerEx(Native(handle_), zero, &now, FILE_CURRENT))
    Fail("Cannot seek in file", path_);
  return now.QuadPart;
}

int64_t File::Size() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(Native(handle_), &size)) Fail("Cannot read size of file", path_);
  return size.QuadPart;
}

void File::Truncate(int64_t size) {
  // SetEndOfFile cuts at the current position, so move there and back again.
  int64_t saved = Position();
  Seek(size);
  if (!SetEndOfFile(Native(handle_))) {
    DWORD code = GetLastError();
    Seek(saved);
    SetLastError(code);
    Fail("Cannot set size of file", path_);
  }
  Seek(saved < size ? saved : size);
}

void File::Flush() {
  if (!FlushFileBuffers(Native(handle_))) Fail("Cannot flush file", path_);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

void MoveFileOver(const std::string& from, const std::string& to) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail("Cannot replace file", to);
}

std::string SiblingTempPath(const std::string& path) {
  return path + ".~" + std::to_string(RandomUInt32() % 1000000) + ".tmp";
}

VolumeInfo VolumeOf(const std::string& path) {
  VolumeInfo info;
  // The folder that holds the file; a bare name lies in the current folder.
  std::string folder = path;
  size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return info;
  char root[MAX_PATH];
  if (GetVolumePathNameA(full, root, MAX_PATH)) {
    char fsName[MAX_PATH + 1] = {};
    if (GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fsName, MAX_PATH + 1))
      info.fileSystemName = fsName;
  }
  ULARGE_INTEGER freeToCaller;
  if (GetDiskFreeSpaceExA(full, &freeToCaller, nullptr, nullptr))
    info.freeBytes = freeToCaller.QuadPart;
  return info;
}

OsVersion CurrentOsVersion() {
  OsVersion version;
  // GetVersionEx reports what the program's manifest claims; RtlGetVersion tells the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                   reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0) {
    version.isWindowsNT = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
    return version;
  }
  OSVERSIONINFOA legacy{};
  legacy.dwOSVersionInfoSize = sizeof legacy;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  BOOL known = GetVersionExA(&legacy);
#pragma GCC diagnostic pop
  if (known) {
    version.isWindowsNT = legacy.dwPlatformId == VER_PLATFORM_WIN32_NT;
    version.major = legacy.dwMajorVersion;
    version.minor = legacy.dwMinorVersion;
  }
  return version;
}

}  // namespace platform
