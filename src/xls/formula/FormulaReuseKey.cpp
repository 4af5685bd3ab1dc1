#include "xls/formula/FormulaReuseKey.h"

#include "platform/LittleEndian.h"
#include "xls/formula/FileTokens.h"

namespace xls {

namespace {

void AppendDistance(std::string& key, int32_t distance) {
  uint8_t bytes[4];
  platform::StoreI32(bytes, distance);
  key.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// One cell of a reference: its column word at `columnAt`, its row field at `rowAt` (offsets
// into the key). Relative parts become distances appended to the key.
void RelativiseCell(std::string& key, size_t columnAt, size_t rowAt, int32_t column, int32_t row) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(key.data());
  const FileCellRef ref =
      PlainCellRef(platform::LoadU16(bytes + columnAt), platform::LoadU16(bytes + rowAt));
  if (ref.rowRelative) {
    key[rowAt] = key[rowAt + 1] = 0;
    AppendDistance(key, ref.row - row);
  }
  if (ref.columnRelative) {
    key[columnAt] = 0;
    key[columnAt + 1] =
        static_cast<char>(static_cast<uint8_t>(key[columnAt + 1]) & 0xC0);  // flags stay
    AppendDistance(key, ref.column - column);
  }
}

// Bytes of the token at `pos` (kind byte included) when it lies wholly inside `tokens`, else 0.
// Only the token sizes are needed here, so the walk decodes nothing else.
size_t TokenBytes(std::span<const uint8_t> tokens, size_t pos, const ptg::PtgInfo& info) {
  const size_t left = tokens.size() - pos - 1;  // payload bytes available
  size_t payload = 0;
  if (info.payload >= 0) {
    payload = static_cast<size_t>(info.payload);
  } else if (info.base == ptg::kStr) {
    if (left < 2) return 0;
    const size_t count = tokens[pos + 1];
    payload = 2 + count * ((tokens[pos + 2] & 1) ? 2 : 1);
  } else if (info.base == ptg::kAttr) {
    if (left < 3) return 0;
    payload = 3;
    if (tokens[pos + 1] & ptg::kAttrChoose)
      payload += (size_t{platform::LoadU16(tokens.data() + pos + 2)} + 1) * 2;
  } else {
    return 0;
  }
  return payload <= left ? payload + 1 : 0;
}

}  // namespace

std::string FormulaReuseKey(std::span<const uint8_t> tokens, int32_t column, int32_t row) {
  std::string key;
  FormulaReuseKey(tokens, column, row, key);
  return key;
}

bool FormulaReuseKey(std::span<const uint8_t> tokens, int32_t column, int32_t row,
                     std::string& key) {
  key.clear();
  if (tokens.empty() || tokens.size() > 0xFFFF) return false;
  key.assign(reinterpret_cast<const char*>(tokens.data()), tokens.size());
  const auto refuse = [&key] {
    key.clear();
    return false;
  };
  for (size_t pos = 0; pos < tokens.size();) {
    const auto info = ptg::LookupPtg(tokens[pos]);
    if (!info) return refuse();
    const size_t size = TokenBytes(tokens, pos, *info);
    if (size == 0) return refuse();
    switch (info->base) {
      case ptg::kExp:
      case ptg::kTbl:
      case ptg::kArray:
        return refuse();
      case ptg::kRef:
        RelativiseCell(key, pos + 3, pos + 1, column, row);
        break;
      case ptg::kArea:
        RelativiseCell(key, pos + 5, pos + 1, column, row);
        RelativiseCell(key, pos + 7, pos + 3, column, row);
        break;
      default:
        break;
    }
    pos += size;
  }
  return true;
}

}  // namespace xls
