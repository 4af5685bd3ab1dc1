#pragma once
// The block framing of a stored file: the file's bytes cut into blocks of a fixed
// uncompressed size, each compressed on its own, so that any position can be read by
// decompressing one block.
//
// Framed file layout (all integers little-endian):
//   stream header, 128 bytes
//     OFFSET SIZE DESCRIPTION
//     0      4    signature "KXCS"
//     4      4    BlockSize: uncompressed bytes per block
//     8      4    reserved, 0
//     12     4    BlockCount
//     16     4    Version: 32-bit float 2.0 (0x40000000)
//     20     1    Compression code
//     21     2    reserved, 0
//     23     4    ExtensionSize: bytes between the header and block 0 (written 0)
//     27     101  reserved, 0
//   then per block a 16-byte header and PackedSize bytes of packed data
//     0      4    PackedSize
//     4      4    UnpackedSize (BlockSize except for the last block)
//     8      4    BlockCrc: CRC-16/ARC of the uncompressed bytes
//     12     4    NextBlockOffset: where the next block's header is; for the last block the
//                 end of its data
// Block 0 is at 128 + ExtensionSize; each later block where its predecessor points. A block
// that shrinks keeps its place (unused bytes stay behind it); a block that grows moves all
// later blocks.
//
// A file shorter than 128 bytes or without the signature is plain: every operation goes
// straight to the raw file. Opening a framed file whose last block header is cut off drops
// that block and writes the corrected header back (which fails in a read-only store).
//
// After an exception the in-memory state (size, position, block table) is that before the
// call; the raw file holds whatever was written before the failure.
//
// Write-behind of the last block: a write that falls wholly inside the last block (or the
// block just after a full last block) only changes that block in memory; it is compressed
// and written when another block is read, written or cut, on Flush, or on destruction. The
// file that results is byte for byte the one that writing each piece at once would give
// (the last block always ends the chain), but a stream written in small pieces no longer
// re-compresses its last block for every piece. Call Flush before destruction to see
// failures: the destructor cannot report them. BlockCount, PackedSize and CompressionRate
// describe what has been flushed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/Stream.h"

namespace store {

class TSingleFileSystem;

class TSFSAdvancedFileStream : public Stream {
 public:
  // Progress of a read or write: 0 at the start, the running percentage after each block,
  // 100 at the end.
  using ProgressEvent = std::function<void(Stream& sender, double percent)>;

  static constexpr uint32_t kHeaderSize = 128;
  static constexpr uint32_t kBlockHeaderSize = 16;

  // Opens (mode 0xFFFF: creates) `name` in `store` and sets up the framing. `compression` 0
  // takes the store's default; when opening, the framing comes from the file instead.
  TSFSAdvancedFileStream(TSingleFileSystem* store, const std::string& name, uint16_t mode,
                         const std::string& password, const std::string& question,
                         const std::string& answer, uint8_t compression);
  // The framing over an open raw stream, which the object takes over. `create` says the raw
  // stream was just created (empty); `compression` as above with `defaultCompression`
  // standing for the store's default.
  TSFSAdvancedFileStream(std::unique_ptr<Stream> raw, bool create, uint8_t compression,
                         uint8_t defaultCompression);
  ~TSFSAdvancedFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t newSize) override;

  // Compresses and writes a pending last block. Throws as Write does.
  void Flush() override;

  // 0 for a plain file.
  uint8_t Compression() const { return compression_; }
  bool IsFramed() const { return framed_; }
  uint32_t BlockSize() const { return blockSize_; }
  size_t BlockCount() const { return blocks_.size(); }
  int64_t PackedSize() const { return packedSize_; }
  // (1 - packed size / uncompressed size) * 100; 0 for a plain or empty file.
  double CompressionRate() const;

  ProgressEvent OnProgress;
  Stream& Raw() { return *raw_; }

 private:
  struct Block {
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
    uint32_t nextOffset = 0;
    int64_t offset = 0;  // of the block header in the raw file
  };
  // A block prepared for writing: its new header and packed bytes.
  struct Pending {
    size_t index;
    std::vector<uint8_t> packed;
  };

  void Setup(bool create, uint8_t compression);
  void LoadFraming();
  void WriteHeader();
  int64_t FirstBlockOffset() const { return int64_t{kHeaderSize} + extensionSize_; }
  // Decompressed bytes of block `index` (served from the one-block cache when current).
  const std::vector<uint8_t>& LoadBlock(size_t index);
  void ReadPacked(const Block& block, std::vector<uint8_t>& packed);
  std::vector<uint8_t> PrepareBuffer(Block& block, const std::vector<uint8_t>& data);
  size_t WriteFramed(const uint8_t* data, size_t count, bool notify);
  void WriteBlocks(const std::vector<Block>& table, const std::vector<Pending>& pending);
  void Extend(int64_t newSize);
  void Notify(double percent);
  void Recount();
  bool TryDefer(const uint8_t* data, size_t count);
  int64_t LogicalSize() const;

  std::unique_ptr<Stream> raw_;
  bool framed_ = false;
  uint8_t compression_ = 0;
  uint32_t blockSize_ = 0;
  uint32_t extensionSize_ = 0;
  std::vector<Block> blocks_;
  int64_t size_ = 0;
  int64_t packedSize_ = 0;
  int64_t position_ = 0;
  size_t currentBlock_ = 0;
  bool suppressProgress_ = false;
  // The last block decompressed, so that small sequential reads do not decode it again.
  std::vector<uint8_t> cache_;
  std::vector<uint8_t> scratch_;
  std::vector<uint8_t> packed_;  // packed bytes of the block being loaded
  size_t cacheIndex_ = 0;
  bool cacheValid_ = false;
  // The pending last block (write-behind): its index and full new contents.
  bool tailDirty_ = false;
  size_t tailIndex_ = 0;
  std::vector<uint8_t> tailData_;
};

}  // namespace store
