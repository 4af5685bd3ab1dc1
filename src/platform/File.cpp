#include "platform/File.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

std::string ReadProblem(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return "Is a directory";
  errno = 0;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    return {};
  }
  const int error = errno;
  return error != 0 ? std::strerror(error) : "cannot be read";
}

}  // namespace platform
