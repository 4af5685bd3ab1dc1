#pragma once
// The exceptions of the platform layer. Each message names the operation and the object that
// failed ("cannot load <path>: <reason>"); callers above catch std::exception.
#include <stdexcept>
#include <string>

namespace platform {

// A file or volume operation failed (open, read, write, seek, move over, ...).
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& message) : std::runtime_error(message) {}
};

// A module could not be loaded, or an export was not found in it.
class DynamicLibraryError : public std::runtime_error {
 public:
  explicit DynamicLibraryError(const std::string& message) : std::runtime_error(message) {}
};

// A host window or child window could not be made.
class HostWindowError : public std::runtime_error {
 public:
  explicit HostWindowError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace platform
