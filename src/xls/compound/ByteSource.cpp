#include "xls/compound/ByteSource.h"

#include <cstring>

#include "xls/Errors.h"
#include "xls/compound/CompoundFormat.h"

namespace xls {

void MemoryByteSource::ReadAt(uint64_t offset, uint8_t* buffer, size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset)
    throw CompoundError("Read past the end of the document at offset " + std::to_string(offset));
  if (size) std::memcpy(buffer, bytes_.data() + offset, size);
}

void FileByteSource::ReadAt(uint64_t offset, uint8_t* buffer, size_t size) {
  if (offset > size_ || size > size_ - offset)
    throw CompoundError("Read past the end of the document at offset " + std::to_string(offset));
  file_.Seek(static_cast<int64_t>(offset));
  file_.ReadExact(buffer, size);
}

}  // namespace xls
