#include "store/stream/TSFSAdvancedFileStream.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"
#include "store/Errors.h"
#include "store/stream/BlockCodec.h"
#include "store/stream/BlockCrc.h"

namespace store {

namespace {
constexpr char kSignature[4] = {'K', 'X', 'C', 'S'};
constexpr uint32_t kVersionBits = 0x40000000;  // 2.0f
// Larger blocks than any compression code uses are taken for damage, not for a format.
constexpr uint32_t kMaxBlockSize = 16u << 20;
constexpr int64_t kMaxFramedOffset = 0xFFFFFFFFll;  // NextBlockOffset is 32 bits wide

const char* const kCreateWriteError =
    "TSFSAdvancedFileStream.Create - error writing to data stream. May be data stream in read only "
    "mode.";
const char* const kBadHeader = "TSFSAdvancedFileStream.Create - invalid stream header.";
const char* const kLoadError = "TSFSAdvancedFileStream.LoadBlock - decompression error.";
const char* const kLoadSizeError =
    "TSFSAdvancedFileStream.LoadBlock - decompression error, invalid size.";
const char* const kLoadCrcError = "TSFSAdvancedFileStream.LoadBlock - decompression crc error.";
const char* const kPrepareError =
    "TSFSAdvancedFileStream.PrepareBufferForWriting - compression error in PrepareBuffer.";
const char* const kTooLarge = "TSFSAdvancedFileStream.Write - stream too large for block framing.";

}  // namespace

TSFSAdvancedFileStream::TSFSAdvancedFileStream(std::unique_ptr<Stream> raw, bool create,
                                               uint8_t compression, uint8_t defaultCompression)
    : raw_(std::move(raw)) {
  if (!raw_) throw StoreError("TSFSAdvancedFileStream.Create - SingleFileSystem = nil.");
  Setup(create, compression != 0 ? compression : defaultCompression);
}

TSFSAdvancedFileStream::~TSFSAdvancedFileStream() {
  try {
    Flush();
  } catch (...) {
    // Nothing can be reported from here; callers that care call Flush themselves.
  }
}

int64_t TSFSAdvancedFileStream::LogicalSize() const {
  if (!tailDirty_) return size_;
  return std::max<int64_t>(size_, static_cast<int64_t>(tailIndex_) * blockSize_ +
                                      static_cast<int64_t>(tailData_.size()));
}

bool TSFSAdvancedFileStream::TryDefer(const uint8_t* data, size_t count) {
  // A code that cannot compress must fail in the write itself, not later in a destructor.
  if (SettingsFor(compression_).method == CompressionMethod::Invalid) return false;
  const int64_t p = position_;
  const int64_t end = p + static_cast<int64_t>(count);
  const size_t l = static_cast<size_t>((end - 1) / blockSize_);
  if (static_cast<size_t>(p / blockSize_) != l) return false;
  if (tailDirty_) {
    if (tailIndex_ != l) return false;
  } else if (l + 1 == blocks_.size()) {
    tailData_ = LoadBlock(l);
  } else if (l == blocks_.size() && size_ == static_cast<int64_t>(l) * blockSize_) {
    tailData_.clear();
    // A new block fills up piece by piece: one allocation instead of a growing series.
    tailData_.reserve(blockSize_);
  } else {
    return false;
  }
  const size_t offset = static_cast<size_t>(p - static_cast<int64_t>(l) * blockSize_);
  if (tailData_.size() < offset + count) tailData_.resize(offset + count, 0);
  std::memcpy(tailData_.data() + offset, data, count);
  tailIndex_ = l;
  tailDirty_ = true;
  position_ = end;
  currentBlock_ = l;
  return true;
}

void TSFSAdvancedFileStream::Flush() {
  if (!tailDirty_) return;
  std::vector<uint8_t> data = std::move(tailData_);
  const int64_t keep = position_;
  tailDirty_ = false;
  position_ = static_cast<int64_t>(tailIndex_) * blockSize_;
  try {
    WriteFramed(data.data(), data.size(), false);
  } catch (...) {
    tailData_ = std::move(data);
    tailDirty_ = true;
    position_ = keep;
    throw;
  }
  position_ = keep;
}

void TSFSAdvancedFileStream::Setup(bool create, uint8_t compression) {
  if (create && compression != 0) {
    compression_ = compression;
    blockSize_ = SettingsFor(compression).blockSize;
    extensionSize_ = 0;
    blocks_.clear();
    raw_->Seek(0, SeekOrigin::soBeginning);
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kSignature, 4);
    platform::StoreU32(header + 4, blockSize_);
    platform::StoreU32(header + 16, kVersionBits);
    header[20] = compression;
    if (raw_->Write(header, kHeaderSize) != kHeaderSize) throw StoreError(kCreateWriteError);
    raw_->SetSize(kHeaderSize);
  }
  LoadFraming();
  position_ = 0;
  currentBlock_ = 0;
  // A plain file is read through the raw position, which the signature check moved.
  if (!framed_) raw_->Seek(0, SeekOrigin::soBeginning);
}

void TSFSAdvancedFileStream::LoadFraming() {
  framed_ = false;
  compression_ = 0;
  blocks_.clear();
  size_ = packedSize_ = 0;
  cacheValid_ = false;
  const int64_t rawSize = raw_->Size();
  if (rawSize < kHeaderSize) return;
  uint8_t header[kHeaderSize];
  raw_->Seek(0, SeekOrigin::soBeginning);
  if (raw_->Read(header, kHeaderSize) != kHeaderSize || std::memcmp(header, kSignature, 4) != 0)
    return;

  const uint32_t blockSize = platform::LoadU32(header + 4);
  const uint32_t blockCount = platform::LoadU32(header + 12);
  const uint32_t extension = platform::LoadU32(header + 23);
  if (blockSize == 0 || blockSize > kMaxBlockSize) throw StoreError(kBadHeader);
  // Block 0 must start inside the file: an extension reaching beyond it is damage, and taking
  // it at its word would make the next write grow the file by up to 4 GiB of nothing.
  if (int64_t{kHeaderSize} + extension > rawSize) throw StoreError(kBadHeader);
  framed_ = true;
  compression_ = header[20];
  blockSize_ = blockSize;
  extensionSize_ = extension;

  int64_t offset = FirstBlockOffset();
  bool cut = false;
  for (uint32_t i = 0; i < blockCount; i++) {
    if (offset > rawSize || rawSize - offset < kBlockHeaderSize) {
      cut = true;
      break;
    }
    uint8_t bh[kBlockHeaderSize];
    raw_->Seek(offset, SeekOrigin::soBeginning);
    raw_->ReadBuffer(bh, kBlockHeaderSize);
    Block b;
    b.packedSize = platform::LoadU32(bh);
    b.unpackedSize = platform::LoadU32(bh + 4);
    b.crc = platform::LoadU32(bh + 8);
    b.nextOffset = platform::LoadU32(bh + 12);
    b.offset = offset;
    // Every block but the last is full, and the chain only runs forwards: anything else
    // would make positions ambiguous or the walk circular.
    if (b.unpackedSize == 0 || b.unpackedSize > blockSize ||
        (!blocks_.empty() && blocks_.back().unpackedSize != blockSize) ||
        int64_t{b.nextOffset} < offset + kBlockHeaderSize + b.packedSize)
      throw StoreError(kBadHeader);
    blocks_.push_back(b);
    offset = b.nextOffset;
  }
  Recount();
  if (cut) {
    // The file ends inside a block header: drop that block and what follows, and correct
    // the header. In a read-only store this throws and the stream cannot be opened.
    raw_->SetSize(std::min(offset, rawSize));
    WriteHeader();
  }
}

void TSFSAdvancedFileStream::WriteHeader() {
  uint8_t header[kHeaderSize] = {};
  std::memcpy(header, kSignature, 4);
  platform::StoreU32(header + 4, blockSize_);
  platform::StoreU32(header + 12, static_cast<uint32_t>(blocks_.size()));
  platform::StoreU32(header + 16, kVersionBits);
  header[20] = compression_;
  platform::StoreU32(header + 23, extensionSize_);
  raw_->Seek(0, SeekOrigin::soBeginning);
  raw_->WriteBuffer(header, kHeaderSize);
}

void TSFSAdvancedFileStream::Recount() {
  size_ = packedSize_ = 0;
  for (const Block& b : blocks_) {
    size_ += b.unpackedSize;
    packedSize_ += b.packedSize;
  }
}

double TSFSAdvancedFileStream::CompressionRate() const {
  if (!framed_ || size_ == 0) return 0.0;
  return (1.0 - static_cast<double>(packedSize_) / static_cast<double>(size_)) * 100.0;
}

void TSFSAdvancedFileStream::Notify(double percent) {
  if (OnProgress && !suppressProgress_) OnProgress(*this, percent);
}

void TSFSAdvancedFileStream::ReadPacked(const Block& block, std::vector<uint8_t>& packed) {
  const int64_t start = block.offset + kBlockHeaderSize;
  const int64_t rawSize = raw_->Size();
  if (start > rawSize || rawSize - start < block.packedSize) throw StoreError(kLoadError);
  packed.resize(block.packedSize);
  raw_->Seek(start, SeekOrigin::soBeginning);
  if (block.packedSize != 0 && raw_->Read(packed.data(), packed.size()) != packed.size())
    throw StoreError(kLoadError);
}

const std::vector<uint8_t>& TSFSAdvancedFileStream::LoadBlock(size_t index) {
  if (cacheValid_ && cacheIndex_ == index) return cache_;
  const Block& b = blocks_[index];
  // The packed bytes and the decoded block go to buffers kept between calls, so that no
  // block-sized allocation (nor its clearing) happens per block; the decoded one becomes the
  // cache only when it checks out.
  ReadPacked(b, packed_);
  std::vector<uint8_t>& data = scratch_;
  if (!DecompressBlock(compression_, packed_, b.unpackedSize, data)) throw StoreError(kLoadError);
  if (data.size() != b.unpackedSize) throw StoreError(kLoadSizeError);
  if (BlockCrc(data.data(), data.size()) != b.crc) throw StoreError(kLoadCrcError);
  cacheValid_ = false;
  std::swap(cache_, scratch_);
  cacheIndex_ = index;
  cacheValid_ = true;
  return cache_;
}

std::vector<uint8_t> TSFSAdvancedFileStream::PrepareBuffer(Block& block,
                                                           const std::vector<uint8_t>& data) {
  std::vector<uint8_t> packed = CompressBlock(compression_, data, kPrepareError);
  block.unpackedSize = static_cast<uint32_t>(data.size());
  block.crc = BlockCrc(data.data(), data.size());
  block.packedSize = static_cast<uint32_t>(packed.size());
  return packed;
}

size_t TSFSAdvancedFileStream::Read(void* buffer, size_t count) {
  Flush();
  Notify(0);
  if (!framed_) {
    const size_t n = raw_->Read(buffer, count);
    Notify(100);
    return n;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  size_t delivered = 0;
  int64_t p = position_;
  if (p < size_ && count > 0) {
    size_t j = static_cast<size_t>(p / blockSize_);
    const double step = 100.0 / static_cast<double>(blocks_.size() - j);
    double percent = 0;
    while (p < size_ && delivered < count) {
      const std::vector<uint8_t>& data = LoadBlock(j);
      const size_t offset = static_cast<size_t>(p % blockSize_);
      if (offset >= data.size()) break;
      const size_t n = static_cast<size_t>(
          std::min<int64_t>({static_cast<int64_t>(data.size() - offset),
                             static_cast<int64_t>(count - delivered), size_ - p}));
      std::memcpy(out + delivered, data.data() + offset, n);
      delivered += n;
      p += n;
      percent += step;
      Notify(percent);
      if (delivered < count) j++;
    }
    position_ = p;
    currentBlock_ = j;
  }
  Notify(100);
  return delivered;
}

size_t TSFSAdvancedFileStream::Write(const void* buffer, size_t count) {
  if (!framed_) {
    Notify(0);
    const size_t n = raw_->Write(buffer, count);
    Notify(100);
    return n;
  }
  if (count == 0) return 0;
  const auto* data = static_cast<const uint8_t*>(buffer);
  if (TryDefer(data, count)) {
    Notify(0);
    Notify(100);
    return count;
  }
  Flush();
  // With the old last block written, the piece may start a new last block.
  if (TryDefer(data, count)) {
    Notify(0);
    Notify(100);
    return count;
  }
  return WriteFramed(data, count, true);
}

size_t TSFSAdvancedFileStream::WriteFramed(const uint8_t* data, size_t count, bool notify) {
  if (count == 0) return 0;
  if (notify) Notify(0);
  if (position_ > size_) {
    const int64_t p = position_;
    Extend(p);
    position_ = p;
  }
  const int64_t p = position_;
  const int64_t end = p + static_cast<int64_t>(count);
  const size_t first = static_cast<size_t>(p / blockSize_);
  const size_t last = static_cast<size_t>((end - 1) / blockSize_);
  const size_t oldLength = blocks_.size();
  const int64_t newSize = std::max(size_, end);

  // Work on a copy of the table so that a failure leaves the stream as it was.
  std::vector<Block> table = blocks_;
  bool shifting = false;
  if (last >= table.size()) {
    table.resize(last + 1);
    shifting = true;
  }
  if (oldLength == 0) table[0].offset = FirstBlockOffset();

  std::vector<Pending> pending;
  std::vector<uint8_t> lastBytes;  // becomes the cached block: the next append needs it
  const double step = 100.0 / static_cast<double>(table.size() - first);
  double percent = 0;
  for (size_t j = first; j < table.size() && (shifting || j <= last); j++) {
    Block& b = table[j];
    // Once blocks move, each one starts where its predecessor now ends.
    if (j > 0 && (shifting || j >= oldLength)) b.offset = table[j - 1].nextOffset;
    const bool isLast = j + 1 == table.size();
    std::vector<uint8_t> packed;
    if (j > last) {
      // Beyond the written range the contents stay the same; only the place changes.
      ReadPacked(blocks_[j], packed);
    } else {
      size_t length = blockSize_;
      if (isLast && newSize % blockSize_ != 0) length = static_cast<size_t>(newSize % blockSize_);
      const int64_t blockStart = static_cast<int64_t>(j) * blockSize_;
      std::vector<uint8_t> bytes;
      if (p <= blockStart && end >= blockStart + static_cast<int64_t>(length)) {
        // The write covers the whole block: its old contents are neither decoded nor cleared.
        const uint8_t* from = data + (blockStart - p);
        bytes.assign(from, from + length);
      } else {
        if (j < oldLength) bytes = LoadBlock(j);
        bytes.resize(length, 0);
        const int64_t from = std::max(p, blockStart);
        const int64_t to = std::min<int64_t>(end, blockStart + static_cast<int64_t>(length));
        if (to > from)
          std::memcpy(bytes.data() + (from - blockStart), data + (from - p),
                      static_cast<size_t>(to - from));
      }
      const uint32_t before = j < oldLength ? b.packedSize : 0;
      packed = PrepareBuffer(b, bytes);
      if (j >= oldLength || b.packedSize > before) shifting = true;
      if (j == last) lastBytes = std::move(bytes);
    }
    if (isLast || shifting) {
      const int64_t next = b.offset + kBlockHeaderSize + static_cast<int64_t>(packed.size());
      if (next > kMaxFramedOffset) throw StoreError(kTooLarge);
      b.nextOffset = static_cast<uint32_t>(next);
    }
    pending.push_back({j, std::move(packed)});
    if (notify) Notify(percent += step);
  }

  WriteBlocks(table, pending);
  blocks_ = std::move(table);
  Recount();
  size_ = newSize;
  position_ = end;
  currentBlock_ = last;
  cache_ = std::move(lastBytes);
  cacheIndex_ = last;
  cacheValid_ = true;
  WriteHeader();
  if (notify) Notify(100);
  return count;
}

void TSFSAdvancedFileStream::WriteBlocks(const std::vector<Block>& table,
                                         const std::vector<Pending>& pending) {
  for (const Pending& item : pending) {
    const Block& b = table[item.index];
    uint8_t bh[kBlockHeaderSize];
    platform::StoreU32(bh, b.packedSize);
    platform::StoreU32(bh + 4, b.unpackedSize);
    platform::StoreU32(bh + 8, b.crc);
    platform::StoreU32(bh + 12, b.nextOffset);
    raw_->Seek(b.offset, SeekOrigin::soBeginning);
    raw_->WriteBuffer(bh, kBlockHeaderSize);
    raw_->WriteBuffer(item.packed.data(), item.packed.size());
  }
}

// Appends zeros up to `newSize`, a block at a time, without progress notification.
void TSFSAdvancedFileStream::Extend(int64_t newSize) {
  const int64_t add = newSize - size_;
  const bool suppressed = suppressProgress_;
  suppressProgress_ = true;
  int64_t written = 0;
  try {
    std::vector<uint8_t> zeros;
    while (size_ < newSize) {
      position_ = size_;
      // Fill the last block up first, then whole blocks.
      const int64_t room = blockSize_ - size_ % blockSize_;
      const size_t n = static_cast<size_t>(std::min<int64_t>(room, newSize - size_));
      zeros.assign(n, 0);
      const size_t done = WriteFramed(zeros.data(), n, false);
      written += static_cast<int64_t>(done);
      if (done != n) break;
    }
  } catch (...) {
    suppressProgress_ = suppressed;
    throw;
  }
  suppressProgress_ = suppressed;
  if (written != add)
    throw StoreError("TSFSAdvancedFileStream.SetSize - error extending file. NewSize = " +
                     std::to_string(newSize) + ", extSize = " + std::to_string(add));
}

int64_t TSFSAdvancedFileStream::Seek(int64_t offset, SeekOrigin origin) {
  if (!framed_) return raw_->Seek(offset, origin);
  int64_t base = 0;
  if (origin == SeekOrigin::soCurrent) base = position_;
  if (origin == SeekOrigin::soEnd) base = LogicalSize();
  position_ = std::max<int64_t>(0, base + offset);
  currentBlock_ = static_cast<size_t>(position_ / blockSize_);
  return position_;
}

int64_t TSFSAdvancedFileStream::Size() { return framed_ ? LogicalSize() : raw_->Size(); }

void TSFSAdvancedFileStream::SetSize(int64_t newSize) {
  if (!framed_) {
    raw_->SetSize(newSize);
    if (raw_->Position() > newSize) raw_->Seek(0, SeekOrigin::soEnd);
    return;
  }
  Flush();
  newSize = std::max<int64_t>(0, newSize);
  if (newSize == size_) return;
  if (newSize > size_) {
    const int64_t keep = position_;
    try {
      Extend(newSize);
    } catch (...) {
      position_ = keep;
      throw;
    }
    position_ = keep;
    return;
  }
  const size_t k = static_cast<size_t>(newSize / blockSize_);
  const size_t r = static_cast<size_t>(newSize % blockSize_);
  std::vector<Block> table = blocks_;
  std::vector<uint8_t> packed;
  if (r > 0) {
    std::vector<uint8_t> bytes = LoadBlock(k);
    bytes.resize(r);
    packed = PrepareBuffer(table[k], bytes);
    table[k].nextOffset = static_cast<uint32_t>(table[k].offset + kBlockHeaderSize +
                                                static_cast<int64_t>(packed.size()));
    table.resize(k + 1);
  } else {
    table.resize(k);
  }
  const int64_t cutAt = blocks_[k].offset;
  std::vector<Block> previous = std::move(blocks_);
  blocks_ = table;
  try {
    WriteHeader();
    raw_->SetSize(cutAt);
    if (r > 0) WriteBlocks(blocks_, {Pending{k, std::move(packed)}});
  } catch (...) {
    blocks_ = std::move(previous);
    throw;
  }
  Recount();
  cacheValid_ = false;
  position_ = std::min(position_, size_);
  currentBlock_ = static_cast<size_t>(position_ / blockSize_);
}

}  // namespace store
