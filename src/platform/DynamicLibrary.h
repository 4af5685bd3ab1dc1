#pragma once
// Loading a shared library (the plug-in) by path and finding its exported functions.
//
// A `DynamicLibrary` owns one loaded module and unloads it when destroyed; every function
// pointer taken from it dies with it. Loading failures throw `DynamicLibraryError` whose
// text names the path and the system's reason. Symbol lookup never throws: a missing name
// gives nullptr, and `RequireSymbol` turns that into an error naming the symbol.
#include <stdexcept>
#include <string>

#include "platform/Errors.h"

namespace platform {

class DynamicLibrary {
 public:
  // Loads the module at `path` (8-bit system code page). Throws DynamicLibraryError.
  explicit DynamicLibrary(const std::string& path);
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  const std::string& Path() const { return path_; }

  // Address of the exported, undecorated symbol `name`; nullptr when the module has none.
  void* Symbol(const std::string& name) const;

  // As Symbol, but a missing name throws DynamicLibraryError naming the symbol and path.
  void* RequireSymbol(const std::string& name) const {
    void* address = Symbol(name);
    if (address == nullptr) {
      throw DynamicLibraryError("symbol \"" + name + "\" not found in " + path_);
    }
    return address;
  }

 private:
  void* handle_ = nullptr;
  std::string path_;
};

// Full path of the running program, so a tool can find files installed beside it.
// Empty when the system cannot tell.
std::string ExecutablePath();

}  // namespace platform
