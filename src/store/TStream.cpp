#include "store/TStream.h"

#include "store/StoreError.h"

namespace store {

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EStoreError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EStoreError("Stream write error");
}

}  // namespace store
