#pragma once
// The store's exception class. Every failure inside the store that is not a negative result
// code is an EStoreError whose text begins with the class and operation that failed
// ("TSingleFileSystem.Create - ..."). Callers above the store catch std::exception.
#include <stdexcept>
#include <string>

namespace store {

class EStoreError : public std::runtime_error {
 public:
  explicit EStoreError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace store
