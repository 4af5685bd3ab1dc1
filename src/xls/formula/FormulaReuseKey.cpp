#include "xls/formula/FormulaReuseKey.h"

#include "xls/formula/FileTokens.h"

namespace xls {

namespace {

void AppendDistance(std::string& key, int32_t distance) {
  const auto d = static_cast<uint32_t>(distance);
  for (int shift = 0; shift < 32; shift += 8) key.push_back(static_cast<char>((d >> shift) & 0xFF));
}

// One cell of a reference: its row field at `rowAt`, its column word at `columnAt` (offsets
// into the key). Relative parts become distances appended to the key.
void RelativiseCell(std::string& key, size_t rowAt, size_t columnAt, uint16_t rowField,
                    uint16_t columnWord, int32_t row, int32_t column) {
  const FileCellRef ref = PlainCellRef(rowField, columnWord);
  if (ref.rowRelative) {
    key[rowAt] = key[rowAt + 1] = 0;
    AppendDistance(key, ref.row - row);
  }
  if (ref.columnRelative) {
    key[columnAt] = 0;
    key[columnAt + 1] = static_cast<char>(static_cast<uint8_t>(key[columnAt + 1]) & 0xC0);  // flags stay
    AppendDistance(key, ref.column - column);
  }
}

}  // namespace

std::string FormulaReuseKey(std::span<const uint8_t> tokens, int32_t row, int32_t column) {
  const ParsedFormula parsed = ParseFileTokens(tokens);
  if (!parsed.complete || parsed.tokens.empty()) return {};
  std::string key(reinterpret_cast<const char*>(tokens.data()), tokens.size());
  for (const FileToken& t : parsed.tokens) {
    const size_t at = t.offset;
    switch (t.base) {
      case ptg::kExp:
      case ptg::kTbl:
      case ptg::kArray:
        return {};
      case ptg::kRef:
        RelativiseCell(key, at + 1, at + 3, t.row, t.column, row, column);
        break;
      case ptg::kArea:
        RelativiseCell(key, at + 1, at + 5, t.row, t.column, row, column);
        RelativiseCell(key, at + 3, at + 7, t.lastRow, t.lastColumn, row, column);
        break;
      default:
        break;
    }
  }
  return key;
}

}  // namespace xls
