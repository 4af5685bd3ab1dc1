#include "platform/File.h"

#include <utility>

namespace platform {

// Ownership of the handle is the same on every system; only opening, the operations and
// Close differ (posix/ and win32/).

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) {
  other.handle_ = kInvalid;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    path_ = std::move(other.path_);
    other.handle_ = kInvalid;
  }
  return *this;
}

}  // namespace platform
