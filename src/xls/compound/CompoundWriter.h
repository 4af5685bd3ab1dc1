#pragma once
// Writes a version 3 compound document (512-byte sectors) holding a root entry and any number
// of streams directly below it. Streams under 4096 bytes go into the mini stream.
//
// Sector layout (chosen so a one-stream workbook has the fixed shape older readers expect):
//   0                 FAT sector 0
//   1                 directory sector 0
//   2 .. F            FAT sectors 1 .. F-1
//   F+1 .. F+X        DIFAT sectors (only when F > 109)
//   then              further directory sectors, the mini FAT, the mini stream, each big stream
// The root's children form a red-black tree balanced by size (a valid tree for every reader).
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "xls/compound/ByteSource.h"

namespace xls {

struct CompoundStream {
  std::u16string name;            // at most 31 UTF-16 units; unique (case-insensitively)
  std::span<const uint8_t> data;  // must stay alive until WriteCompoundDocument returns
  // Instead of `data`, a stream of `size` bytes that `produce` writes to the sink it is given
  // when the document reaches it, so that a large stream never has to be held whole. Sizes
  // and positions are laid out before, so writing more or fewer bytes is an error.
  uint64_t size = 0;
  std::function<void(ByteSink&)> produce;
};

// Writes the whole document to `sink`. Throws CompoundError for a bad name, a stream too
// large for the format or a produced stream whose length differs from its size; the sink may
// then hold a partial document.
void WriteCompoundDocument(ByteSink& sink, std::span<const CompoundStream> streams);
std::vector<uint8_t> BuildCompoundDocument(std::span<const CompoundStream> streams);

// Writes the document to the file `path` without ever destroying the file that is there: the
// document goes to a temporary file beside it, is flushed, and then replaces the target in one
// step. On any failure the temporary file is removed, the previous file stays as it was, and
// the error (CompoundError or platform::FileError) is passed on.
void WriteCompoundFile(const std::string& path, std::span<const CompoundStream> streams);

}  // namespace xls
