#pragma once
// The exceptions of the store. Every failure inside the store that is not a negative result
// code is a StoreError (or one of its kinds below) whose text begins with the class and
// operation that failed ("TSingleFileSystem.Create - ..."). Callers above the store catch
// std::exception.
#include <stdexcept>
#include <string>

namespace store {

class StoreError : public std::runtime_error {
 public:
  explicit StoreError(const std::string& message) : std::runtime_error(message) {}
};

// A cipher object was used wrongly (its code says how).
class ECipherException : public StoreError {
 public:
  ECipherException(const std::string& message, int errorCode)
      : StoreError(message), errorCode_(errorCode) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// Codec failures. zlib reports "error" when the library returns a negative code; bzip2
// reports "error %d" with the library's code, and "Compression Error %d" for an internal
// consistency failure of the compressor.
class EZlibError : public StoreError {
 public:
  explicit EZlibError(const std::string& message) : StoreError(message) {}
};
class ECompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};
class EDecompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};
class EBZip2Error : public StoreError {
 public:
  explicit EBZip2Error(const std::string& message) : StoreError(message) {}
};
class EBZCompressionError : public EBZip2Error {
 public:
  using EBZip2Error::EBZip2Error;
};
class EBZDecompressionError : public EBZip2Error {
 public:
  using EBZip2Error::EBZip2Error;
};

}  // namespace store

namespace store::ppmd {

// Raised on a link that points outside the model memory: the model state is broken,
// which only corrupt data can cause; the caller turns it into its decompression error.
class PpmdError : public std::runtime_error {
 public:
  explicit PpmdError(const char* what) : std::runtime_error(what) {}
};

}  // namespace store::ppmd
