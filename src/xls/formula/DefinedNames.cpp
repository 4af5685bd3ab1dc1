#include "xls/formula/DefinedNames.h"

#include <algorithm>

#include "platform/LittleEndian.h"
#include "xls/biff/XlsText.h"
#include "xls/formula/FileTokens.h"

namespace xls {

std::optional<NameTarget> DecodeNameTarget(const NameRecord& name, int32_t currentSheet,
                                           const std::vector<uint16_t>& externFirst) {
  if (name.options != 0 || name.tokens.empty()) return std::nullopt;
  ParsedFormula parsed = ParseFileTokens(name.tokens);
  if (parsed.tokens.empty()) return std::nullopt;
  const FileToken& t = parsed.tokens.front();
  NameTarget n;
  const int32_t local = currentSheet < 0 ? 255 : currentSheet;
  auto external = [&](uint16_t x) {
    return x < externFirst.size() ? int32_t{externFirst[x]} : int32_t{x};
  };
  switch (t.base) {
    case ptg::kRef:
    case ptg::kRef3d:
      n.sheet = t.base == ptg::kRef ? local : external(t.externSheet);
      n.left = n.right = t.column & ptg::kColumnMask;
      n.top = n.bottom = t.row;
      return n;
    case ptg::kArea:
    case ptg::kArea3d:
      n.sheet = t.base == ptg::kArea ? local : external(t.externSheet);
      n.left = t.column & ptg::kColumnMask;
      n.right = t.lastColumn & ptg::kColumnMask;
      n.top = t.row;
      n.bottom = t.lastRow;
      return n;
    default:
      return std::nullopt;
  }
}

NameRecord BuildDefinedName(const std::string& name, bool deleted, const NameTarget& target,
                            int32_t sheetCount, bool* clipped) {
  bool cut = false;
  auto row = [&](int32_t r) {
    int32_t c = std::clamp(r, 0, 65535);
    cut |= c != r;
    return static_cast<uint16_t>(c);
  };
  auto column = [&](int32_t v) {
    int32_t c = std::clamp(v, 0, 255);
    cut |= c != v;
    return static_cast<uint16_t>(c);
  };
  NameRecord n;
  n.options = deleted ? 1 : 0;
  n.name = FromSystemText(name).substr(0, 255);
  uint16_t sheet =
      target.sheet >= 0 && target.sheet < sheetCount ? static_cast<uint16_t>(target.sheet) : 0;
  n.tokens.resize(11);
  uint8_t* p = n.tokens.data();
  p[0] = ptg::kArea3d;
  platform::StoreU16(p + 1, sheet);
  platform::StoreU16(p + 3, row(target.top));
  platform::StoreU16(p + 5, row(target.bottom));
  platform::StoreU16(p + 7, column(target.left));
  platform::StoreU16(p + 9, column(target.right));
  if (clipped) *clipped = cut;
  return n;
}

}  // namespace xls
