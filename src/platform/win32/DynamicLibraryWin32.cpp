#include <windows.h>

#include <utility>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/win32/Win32Text.h"

namespace platform {

DynamicLibrary::DynamicLibrary(const std::string& path) : path_(path) {
  if (path.empty()) throw DynamicLibraryError("cannot load a library from an empty path");
  // No "missing DLL" message box from the system: the caller reports the failure itself.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  DWORD code = GetLastError();
  SetErrorMode(previous);
  if (module == nullptr) {
    throw DynamicLibraryError("cannot load " + path + ": " + win32::ErrorText(code));
  }
  handle_ = reinterpret_cast<void*>(module);
}

DynamicLibrary::~DynamicLibrary() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  if (handle_ == nullptr || name.empty()) return nullptr;
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name.c_str());
  return reinterpret_cast<void*>(address);
}

std::string ExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return std::string();  // longer than any Windows path
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace platform
