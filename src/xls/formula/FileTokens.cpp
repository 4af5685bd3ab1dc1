#include "xls/formula/FileTokens.h"

#include <cstdio>

#include "platform/LittleEndian.h"

namespace xls {

namespace {

std::string Hex2(uint8_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(v));
  return buf;
}

// Reads one token's payload; returns false (with `problem` set) when the bytes run out.
class PayloadReader {
 public:
  PayloadReader(std::span<const uint8_t> bytes, size_t pos) : bytes_(bytes), pos_(pos) {}
  bool Has(size_t n) const { return n <= bytes_.size() - pos_; }
  uint8_t U8() { return bytes_[pos_++]; }
  uint16_t U16() {
    uint16_t v = platform::LoadU16(bytes_.data() + pos_);
    pos_ += 2;
    return v;
  }
  double Double() {
    double v = platform::LoadDouble(bytes_.data() + pos_);
    pos_ += 8;
    return v;
  }
  size_t Pos() const { return pos_; }
  void Skip(size_t n) { pos_ += n; }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_;
};

}  // namespace

ParsedFormula ParseFileTokens(std::span<const uint8_t> bytes) {
  ParsedFormula out;
  // Formulas hold at most 65535 token bytes: offsets fit 16 bits.
  if (bytes.size() > 0xFFFF) bytes = bytes.first(0xFFFF);
  size_t pos = 0;
  auto stop = [&](const std::string& why) {
    out.complete = false;
    out.stopOffset = static_cast<uint16_t>(pos);
    out.problem = why;
  };
  while (pos < bytes.size()) {
    const uint8_t kind = bytes[pos];
    auto info = ptg::LookupPtg(kind);
    if (!info) {
      stop("unknown token " + Hex2(kind) + " at offset " + std::to_string(pos));
      return out;
    }
    FileToken t;
    t.kind = kind;
    t.base = info->base;
    t.tokenClass = info->tokenClass;
    t.offset = static_cast<uint16_t>(pos);
    PayloadReader r(bytes, pos + 1);
    auto truncated = [&] {
      stop("token " + std::string(info->name) + " at offset " + std::to_string(pos) +
           " runs past the end of the formula");
    };
    if (info->payload >= 0 && !r.Has(static_cast<size_t>(info->payload))) {
      truncated();
      return out;
    }
    switch (t.base) {
      case ptg::kExp:
      case ptg::kTbl:
        t.row = r.U16();
        t.column = r.U16();
        break;
      case ptg::kStr: {
        if (!r.Has(2)) {
          truncated();
          return out;
        }
        size_t count = r.U8();
        bool wide = (r.U8() & 1) != 0;
        if (!r.Has(count * (wide ? 2 : 1))) {
          truncated();
          return out;
        }
        for (size_t i = 0; i < count; ++i)
          t.text.push_back(wide ? static_cast<char16_t>(r.U16()) : static_cast<char16_t>(r.U8()));
        break;
      }
      case ptg::kAttr: {
        if (!r.Has(3)) {
          truncated();
          return out;
        }
        t.code = r.U8();
        t.attrData = r.U16();
        if (t.code & ptg::kAttrChoose) {
          size_t entries = size_t{t.attrData} + 1;
          if (!r.Has(entries * 2)) {
            truncated();
            return out;
          }
          for (size_t i = 0; i < entries; ++i) t.jumpTable.push_back(r.U16());
        }
        break;
      }
      case ptg::kErr:
      case ptg::kBool:
        t.code = r.U8();
        break;
      case ptg::kInt:
        t.index = r.U16();
        break;
      case ptg::kNum:
        t.number = r.Double();
        break;
      case ptg::kFunc:
        t.index = r.U16() & 0x7FFF;
        break;
      case ptg::kFuncVar:
        t.argCount = r.U8() & 0x7F;
        t.index = r.U16() & 0x7FFF;
        break;
      case ptg::kName:
        t.index = r.U16();
        r.Skip(2);
        break;
      case ptg::kNameX:
        t.externSheet = r.U16();
        t.index = r.U16();
        r.Skip(2);
        break;
      case ptg::kRef:
      case ptg::kRefErr:
      case ptg::kRefN:
        t.row = r.U16();
        t.column = r.U16();
        break;
      case ptg::kArea:
      case ptg::kAreaErr:
      case ptg::kAreaN:
        t.row = r.U16();
        t.lastRow = r.U16();
        t.column = r.U16();
        t.lastColumn = r.U16();
        break;
      case ptg::kRef3d:
      case ptg::kRefErr3d:
        t.externSheet = r.U16();
        t.row = r.U16();
        t.column = r.U16();
        break;
      case ptg::kArea3d:
      case ptg::kAreaErr3d:
        t.externSheet = r.U16();
        t.row = r.U16();
        t.lastRow = r.U16();
        t.column = r.U16();
        t.lastColumn = r.U16();
        break;
      default:
        // Operators, ptgMissArg, ptgArray (its data lies after the formula) and the mem tokens:
        // fixed payloads, read below where they mean something.
        if (info->memSizeAt >= 0) {
          r.Skip(static_cast<size_t>(info->memSizeAt));
          t.memSize = r.U16();
        } else {
          r.Skip(static_cast<size_t>(info->payload));
        }
        break;
    }
    pos = r.Pos();
    t.size = static_cast<uint16_t>(pos - t.offset);
    out.tokens.push_back(std::move(t));
  }
  return out;
}

FileCellRef PlainCellRef(uint16_t columnWord, uint16_t row) {
  return FileCellRef{row, columnWord & ptg::kColumnMask, (columnWord & ptg::kRowRelative) != 0,
                     (columnWord & ptg::kColumnRelative) != 0};
}

FileCellRef OffsetCellRef(uint16_t columnWord, uint16_t row, int32_t baseColumn, int32_t baseRow) {
  FileCellRef ref;
  ref.rowRelative = (columnWord & ptg::kRowRelative) != 0;
  ref.columnRelative = (columnWord & ptg::kColumnRelative) != 0;
  ref.row = ref.rowRelative ? baseRow + static_cast<int16_t>(row) : row;
  const uint8_t low = static_cast<uint8_t>(columnWord & 0xFF);
  ref.column = ref.columnRelative ? baseColumn + static_cast<int8_t>(low) : low;
  return ref;
}

uint16_t ColumnWord(uint16_t column, bool columnRelative, bool rowRelative) {
  return static_cast<uint16_t>((column & ptg::kColumnMask) |
                               (columnRelative ? ptg::kColumnRelative : 0) |
                               (rowRelative ? ptg::kRowRelative : 0));
}

}  // namespace xls
