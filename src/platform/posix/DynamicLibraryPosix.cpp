#include <dlfcn.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "platform/DynamicLibrary.h"

namespace platform {

namespace {

std::string LastDlError() {
  const char* reason = dlerror();
  return reason != nullptr ? reason : "unknown reason";
}

}  // namespace

DynamicLibrary::DynamicLibrary(const std::string& path) : path_(path) {
  if (path.empty()) throw DynamicLibraryError("cannot load a library from an empty path");
  // RTLD_LOCAL keeps the plug-in's symbols out of the host's namespace, as a DLL would.
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    throw DynamicLibraryError("cannot load " + path + ": " + LastDlError());
  }
}

DynamicLibrary::~DynamicLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), path_(std::move(other.path_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

void* DynamicLibrary::Symbol(const std::string& name) const {
  if (handle_ == nullptr) return nullptr;
  dlerror();  // clear a stale reason
  return dlsym(handle_, name.c_str());
}

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return std::string();
  return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace platform
