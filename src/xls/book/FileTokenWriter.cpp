#include "xls/book/FileTokenWriter.h"

#include "formulas/TokenBlock.h"
#include "platform/LittleEndian.h"
#include "xls/formula/OperatorBinding.h"

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

// Appends the file bytes of one internal token to `out`.
void AppendFileToken(const uint8_t* p, size_t size, int32_t col, int32_t row,
                     std::vector<uint8_t>& out) {
  using namespace formulas;
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
}

// One finished operand of the rebuilt stream: its file bytes and how tightly its outermost
// operator binds when a peer reads the file.
struct FileOperand {
  std::vector<uint8_t> bytes;
  Binding binding = kAtomBinding;
};

void AppendGrouped(std::vector<uint8_t>& out, const FileOperand& operand, bool brackets) {
  out.insert(out.end(), operand.bytes.begin(), operand.bytes.end());
  if (brackets) out.push_back(formulas::ptgParen);
}

// Rebuilds the operand structure of the stream and adds a bracket token after every operand
// that a peer would otherwise group with its neighbour. False when the stream does not form
// exactly one value.
bool WriteWithPeerBrackets(std::span<const uint8_t> internal, int32_t col, int32_t row,
                           std::vector<uint8_t>& out) {
  using namespace formulas;
  constexpr FormulaReading kPeer = FormulaReading::FileTokens;
  std::vector<FileOperand> stack;
  for (size_t pos = 0; pos < internal.size();) {
    const size_t size = TokenSizeAt(internal, pos);
    const uint8_t* p = internal.data() + pos;
    pos += size;
    const uint8_t kind = p[0];
    if (kind >= ptgAdd && kind <= ptgRange) {
      if (stack.size() < 2) return false;
      const FileOperand right = std::move(stack.back());
      stack.pop_back();
      FileOperand& left = stack.back();
      FileOperand joined;
      AppendGrouped(joined.bytes, left, LeftNeedsBrackets(kPeer, kind, left.binding));
      AppendGrouped(joined.bytes, right, RightNeedsBrackets(kPeer, kind, right.binding));
      joined.bytes.push_back(kind);
      joined.binding = OperatorBinding(kPeer, kind);
      left = std::move(joined);
    } else if (kind >= ptgUplus && kind <= ptgParen) {
      if (stack.empty()) return false;
      FileOperand& operand = stack.back();
      FileOperand result;
      const bool brackets = kind != ptgParen && UnaryNeedsBrackets(kPeer, operand.binding);
      AppendGrouped(result.bytes, operand, brackets);
      result.bytes.push_back(kind);
      result.binding = kind == ptgParen ? kAtomBinding : OperatorBinding(kPeer, kind);
      operand = std::move(result);
    } else if (kind == ptgFuncVar) {
      const size_t args = p[1];
      if (args > stack.size()) return false;
      FileOperand call;
      for (size_t i = stack.size() - args; i < stack.size(); ++i)
        AppendGrouped(call.bytes, stack[i], false);
      stack.resize(stack.size() - args);
      AppendFileToken(p, size, col, row, call.bytes);
      stack.push_back(std::move(call));
    } else {
      FileOperand operand;
      AppendFileToken(p, size, col, row, operand.bytes);
      stack.push_back(std::move(operand));
    }
  }
  if (stack.size() != 1) return false;
  out = std::move(stack.back().bytes);
  return true;
}

}  // namespace

bool ToFileTokens(std::span<const uint8_t> internal, int32_t col, int32_t row,
                  std::vector<uint8_t>& out) {
  out.clear();
  for (size_t pos = 0; pos < internal.size();) {
    const size_t size = formulas::TokenSizeAt(internal, pos);
    if (size == 0 || pos + size > internal.size()) return false;
    pos += size;
  }
  if (WriteWithPeerBrackets(internal, col, row, out)) return true;
  // A stream that is not one value (a parse that stopped early) keeps its tokens as they are:
  // there is no operand structure to keep.
  out.clear();
  for (size_t pos = 0; pos < internal.size();) {
    const size_t size = formulas::TokenSizeAt(internal, pos);
    AppendFileToken(internal.data() + pos, size, col, row, out);
    pos += size;
  }
  return true;
}

}  // namespace xls
