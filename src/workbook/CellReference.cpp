#include "workbook/CellReference.h"

#include <charconv>
#include <limits>

#include "workbook/CellValueTypes.h"
#include "workbook/SSUtils.h"

namespace workbook {
namespace {

char UpperAt(std::string_view text, size_t i) {
  if (i >= text.size()) return '\0';
  const char c = text[i];
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A reference ends where no name can continue.
bool EndsCleanly(std::string_view text, size_t i) {
  if (i >= text.size()) return true;
  const char c = text[i];
  return !(IsLetter(c) || IsDigit(c) || c == '_' || c == '$' || c == '(');
}

bool FitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// Reads an unsigned decimal run; false when empty or too large for 32 bits.
bool ReadDigits(std::string_view text, size_t& i, int64_t& value) {
  const size_t start = i;
  value = 0;
  while (i < text.size() && IsDigit(text[i])) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<int32_t>::max()) return false;
    ++i;
  }
  return i > start;
}

bool StorePart(int64_t index, bool absolute, int32_t holder, int32_t& out) {
  const int64_t stored = absolute ? index : index - holder;
  if (!FitsInt32(stored)) return false;
  out = static_cast<int32_t>(stored);
  return true;
}

size_t ScanA1(std::string_view text, size_t pos, TPoint holder, CellReference& ref) {
  size_t i = pos;
  CellReference r;
  if (i < text.size() && text[i] == '$') {
    r.colAbsolute = true;
    ++i;
  }
  std::string letters;
  while (i < text.size() && IsLetter(text[i])) letters += UpperAt(text, i++);
  const int32_t col = TSSUtils::ColumnIndexByName(letters);
  if (col < 0) return 0;
  if (i < text.size() && text[i] == '$') {
    r.rowAbsolute = true;
    ++i;
  }
  // The row run takes digits and "-"; anything but a plain positive number fails.
  const size_t rowStart = i;
  while (i < text.size() && (IsDigit(text[i]) || text[i] == '-')) ++i;
  std::string_view run = text.substr(rowStart, i - rowStart);
  size_t k = 0;
  int64_t number = 0;
  if (!ReadDigits(run, k, number) || k != run.size() || number < 1) return 0;
  if (!EndsCleanly(text, i)) return 0;
  if (!StorePart(col, r.colAbsolute, holder.X, r.col) ||
      !StorePart(number - 1, r.rowAbsolute, holder.Y, r.row))
    return 0;
  ref = r;
  return i - pos;
}

// One R1C1 part after its "R" or "C": absolute n, relative [offset], or nothing (offset 0).
bool ScanR1C1Part(std::string_view text, size_t& i, int32_t& value, bool& absolute) {
  absolute = false;
  value = 0;
  if (i < text.size() && text[i] >= '1' && text[i] <= '9') {
    int64_t n = 0;
    if (!ReadDigits(text, i, n)) return false;
    absolute = true;
    value = static_cast<int32_t>(n - 1);
    return true;
  }
  if (i < text.size() && text[i] == '[') {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t n = 0;
    if (!ReadDigits(text, i, n) || i >= text.size() || text[i] != ']') return false;
    ++i;
    value = static_cast<int32_t>(negative ? -n : n);
    return true;
  }
  return true;  // empty part: relative offset 0
}

size_t ScanR1C1(std::string_view text, size_t pos, CellReference& ref) {
  size_t i = pos;
  CellReference r;
  if (UpperAt(text, i) == 'R') {
    ++i;
    if (!ScanR1C1Part(text, i, r.row, r.rowAbsolute)) return 0;
  }
  if (UpperAt(text, i) != 'C') return 0;
  ++i;
  if (!ScanR1C1Part(text, i, r.col, r.colAbsolute)) return 0;
  if (!EndsCleanly(text, i)) return 0;
  ref = r;
  return i - pos;
}

std::string A1Text(const CellReference& ref, TPoint holder) {
  const TPoint cell = ref.Resolve(holder);
  if (cell.X < 0 || cell.Y < 0) return ErrorText(kErrRef);
  // Built in place: formula texts are made of many of these, one per reference.
  char out[32];
  size_t length = 0;
  if (ref.colAbsolute) out[length++] = '$';
  length += TSSUtils::ColumnLetters(cell.X, out + length);
  if (ref.rowAbsolute) out[length++] = '$';
  char* end = std::to_chars(out + length, out + sizeof out, int64_t{cell.Y} + 1).ptr;
  return std::string(out, static_cast<size_t>(end - out));
}

std::string R1C1PartText(int32_t value, bool absolute) {
  if (absolute) return std::to_string(static_cast<int64_t>(value) + 1);
  if (value == 0) return std::string();
  return "[" + std::to_string(value) + "]";
}

bool NeedsQuotes(std::string_view caption) {
  if (caption.empty()) return true;
  for (char c : caption) {
    const auto u = static_cast<unsigned char>(c);
    if (!(IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || u >= 0x80)) return true;
  }
  return false;
}

}  // namespace

TPoint CellReference::Resolve(TPoint holder) const {
  const int64_t x = colAbsolute ? col : int64_t{col} + holder.X;
  const int64_t y = rowAbsolute ? row : int64_t{row} + holder.Y;
  return TPoint{FitsInt32(x) ? static_cast<int32_t>(x) : -1,
                FitsInt32(y) ? static_cast<int32_t>(y) : -1};
}

bool CellReference::IsValidFrom(TPoint holder) const {
  const TPoint p = Resolve(holder);
  return p.X >= 0 && p.Y >= 0;
}

CellReference CellReference::To(TPoint target, TPoint holder, bool colAbsolute, bool rowAbsolute) {
  CellReference r;
  r.colAbsolute = colAbsolute;
  r.rowAbsolute = rowAbsolute;
  r.col = colAbsolute ? target.X : static_cast<int32_t>(int64_t{target.X} - holder.X);
  r.row = rowAbsolute ? target.Y : static_cast<int32_t>(int64_t{target.Y} - holder.Y);
  return r;
}

size_t ScanCellReference(std::string_view text, size_t pos, TPoint holder, RefNotation notation,
                         CellReference& ref) {
  if (pos >= text.size()) return 0;
  return notation == RefNotation::A1 ? ScanA1(text, pos, holder, ref) : ScanR1C1(text, pos, ref);
}

size_t ScanRangeReference(std::string_view text, size_t pos, TPoint holder, RefNotation notation,
                          RangeReference& range) {
  CellReference first;
  const size_t n1 = ScanCellReference(text, pos, holder, notation, first);
  if (n1 == 0) return 0;
  range.first = first;
  range.last = first;
  range.isRange = false;
  const size_t colon = pos + n1;
  if (colon < text.size() && text[colon] == ':') {
    CellReference last;
    const size_t n2 = ScanCellReference(text, colon + 1, holder, notation, last);
    if (n2 != 0) {
      range.last = last;
      range.isRange = true;
      return n1 + 1 + n2;
    }
  }
  return n1;
}

bool ParseCellReference(std::string_view text, TPoint holder, RefNotation notation,
                        CellReference& ref) {
  CellReference r;
  if (text.empty() || ScanCellReference(text, 0, holder, notation, r) != text.size()) return false;
  ref = r;
  return true;
}

bool ParseRangeReference(std::string_view text, TPoint holder, RefNotation notation,
                         RangeReference& range) {
  RangeReference r;
  if (text.empty() || ScanRangeReference(text, 0, holder, notation, r) != text.size()) return false;
  range = r;
  return true;
}

std::string CellReferenceText(const CellReference& ref, TPoint holder, RefNotation notation) {
  if (notation == RefNotation::A1) return A1Text(ref, holder);
  return "R" + R1C1PartText(ref.row, ref.rowAbsolute) + "C" +
         R1C1PartText(ref.col, ref.colAbsolute);
}

std::string RangeReferenceText(const RangeReference& range, TPoint holder, RefNotation notation) {
  std::string out = CellReferenceText(range.first, holder, notation);
  if (range.isRange) out += ":" + CellReferenceText(range.last, holder, notation);
  return out;
}

bool ParseQualifiedReference(std::string_view text, TPoint holder, RefNotation notation,
                             QualifiedReference& ref) {
  QualifiedReference result;
  std::string_view rest = text;
  if (!text.empty() && text.front() == '\'') {
    std::string name;
    size_t i = 1;
    for (;;) {
      if (i >= text.size()) return false;  // unterminated quote
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          name += '\'';
          i += 2;
          continue;
        }
        break;
      }
      name += text[i++];
    }
    if (name.empty() || i + 1 >= text.size() || text[i + 1] != '!') return false;
    result.sheet = name;
    rest = text.substr(i + 2);
  } else if (const size_t bang = text.find('!'); bang != std::string_view::npos) {
    if (bang == 0) return false;
    result.sheet = std::string(text.substr(0, bang));
    rest = text.substr(bang + 1);
  }
  const TPoint base = result.sheet ? TPoint{0, 0} : holder;
  if (!ParseRangeReference(rest, base, notation, result.range)) return false;
  ref = std::move(result);
  return true;
}

std::string SheetPrefix(std::string_view caption) {
  if (!NeedsQuotes(caption)) return std::string(caption) + "!";
  std::string out = "'";
  for (char c : caption) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'!";
}

std::string QualifiedReferenceText(std::string_view caption, const RangeReference& range,
                                   RefNotation notation) {
  return SheetPrefix(caption) + RangeReferenceText(range, TPoint{0, 0}, notation);
}

bool CellNameToPoint(std::string_view name, TPoint& cell) {
  CellReference ref;
  if (!ParseCellReference(TrimText(name), TPoint{0, 0}, RefNotation::A1, ref)) return false;
  cell = ref.Resolve(TPoint{0, 0});
  return cell.X >= 0 && cell.Y >= 0;
}

std::string PointToCellName(TPoint cell) {
  return TSSUtils::ColumnCaption(cell.X, false) + TSSUtils::RowCaption(cell.Y);
}

}  // namespace workbook
