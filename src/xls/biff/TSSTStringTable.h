#pragma once
// The shared string table of a workbook: the SST record, its CONTINUE records and EXTSST.
//
// Writing: strings are appended to blocks of at most 8192 data bytes; the first block is the
// SST record (total and unique count first), the others CONTINUE records. A string header
// (character count, option byte) never splits: a new block starts when the current one holds
// more than 8188 bytes. Characters are always UTF-16; when they do not fit, the rest goes on
// in new blocks, each opened by the option byte 1 and carrying at most 8190 character bytes,
// so no character is split. EXTSST records, for every bucket of strings, where its first
// string starts in the stream.
//
// Reading: ReadSharedStrings decodes an SST record (with its CONTINUEs joined by the record
// reader), skipping formatting runs and extended data wherever they fall.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"

namespace xls {

class TSSTStringTable {
 public:
  static constexpr size_t kBlockSize = 8192;
  static constexpr size_t kMaxChars = 32768;

  TSSTStringTable();

  // The number of `text` in the table (texts beyond 32768 characters are cut); an equal text
  // added before keeps its number. Every call counts towards the total.
  uint32_t Add(std::u16string_view text);
  uint32_t TotalCount() const { return total_; }
  uint32_t UniqueCount() const { return static_cast<uint32_t>(locations_.size()); }
  const std::vector<std::vector<uint8_t>>& Blocks() const { return blocks_; }

  // Appends SST, its CONTINUEs and EXTSST at the writer's current position.
  void WriteTo(RecordWriter& writer) const;
  // Stream bytes that WriteTo appends.
  size_t WrittenSize() const;
  // Strings per EXTSST bucket for the current unique count.
  uint32_t BucketSize() const;

 private:
  struct Location {
    uint32_t block;
    uint32_t offset;  // within the block's data
  };
  void NewBlock();

  std::vector<std::vector<uint8_t>> blocks_;
  std::vector<Location> locations_;
  std::unordered_map<std::u16string, uint32_t> index_;
  uint32_t total_ = 0;
};

// Reads an SST record at the reader's cursor (right after Next() returned it). Throws
// std::runtime_error "Reading SST record error" when the record ends inside a string.
std::vector<std::u16string> ReadSharedStrings(RecordReader& reader);

// The shared string `index`; throws "Undefined string in shared string table!" when the
// table has no such string.
const std::u16string& SharedString(const std::vector<std::u16string>& table, uint32_t index);

}  // namespace xls
