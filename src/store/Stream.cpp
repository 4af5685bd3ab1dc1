#include "store/Stream.h"

#include "store/Errors.h"

namespace store {

void Stream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw StoreError("Stream read error");
}

void Stream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw StoreError("Stream write error");
}

}  // namespace store
