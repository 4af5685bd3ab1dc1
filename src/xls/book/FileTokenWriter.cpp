#include "xls/book/FileTokenWriter.h"

#include "formulas/TokenBlock.h"
#include "platform/LittleEndian.h"

namespace xls {

namespace {

uint16_t ColumnWordOf(int32_t col, bool colRelative, bool rowRelative) {
  return static_cast<uint16_t>((static_cast<uint32_t>(col) & 0x3FFF) | (colRelative ? 0x4000 : 0) |
                               (rowRelative ? 0x8000 : 0));
}

// One part of a reference: its index in the file, given the owning cell's position.
int32_t Absolute(bool abs, int32_t stored, int32_t origin) {
  return abs ? stored : stored + origin;
}

}  // namespace

bool ToFileTokens(std::span<const uint8_t> internal, int32_t col, int32_t row,
                  std::vector<uint8_t>& out) {
  using namespace formulas;
  out.clear();
  size_t pos = 0;
  while (pos < internal.size()) {
    const size_t size = TokenSizeAt(internal, pos);
    if (size == 0 || pos + size > internal.size()) {
      out.clear();
      return false;
    }
    const uint8_t* p = internal.data() + pos;
    switch (p[0]) {
      case ptgName:
        out.push_back(0x43);
        platform::AppendU16(out, uint32_t(ReadNameIndex(p)) + 1);
        platform::AppendU16(out, 0);
        break;
      case ptgRef:
      case ptgRef3d: {
        const bool is3d = p[0] == ptgRef3d;
        const RefToken ref = ReadRefToken(p);
        const int32_t originRow = is3d ? 0 : row, originCol = is3d ? 0 : col;
        out.push_back(is3d ? 0x5A : 0x44);
        if (is3d) platform::AppendU16(out, ReadSheetOf3d(p));
        platform::AppendU16(out, uint32_t(Absolute(ref.rowAbs, ref.row, originRow)));
        platform::AppendU16(
            out, ColumnWordOf(Absolute(ref.colAbs, ref.col, originCol), !ref.colAbs, !ref.rowAbs));
        break;
      }
      case ptgArea:
      case ptgArea3d: {
        const bool is3d = p[0] == ptgArea3d;
        const AreaToken a = ReadAreaToken(p);
        const int32_t originRow = is3d ? 0 : row, originCol = is3d ? 0 : col;
        out.push_back(is3d ? 0x3B : 0x25);
        if (is3d) platform::AppendU16(out, ReadSheetOf3d(p));
        platform::AppendU16(out, uint32_t(Absolute(a.row1Abs, a.row1, originRow)));
        platform::AppendU16(out, uint32_t(Absolute(a.row2Abs, a.row2, originRow)));
        platform::AppendU16(
            out, ColumnWordOf(Absolute(a.col1Abs, a.col1, originCol), !a.col1Abs, !a.row1Abs));
        platform::AppendU16(
            out, ColumnWordOf(Absolute(a.col2Abs, a.col2, originCol), !a.col2Abs, !a.row2Abs));
        break;
      }
      default:
        out.insert(out.end(), p, p + size);
        break;
    }
    pos += size;
  }
  return true;
}

}  // namespace xls
