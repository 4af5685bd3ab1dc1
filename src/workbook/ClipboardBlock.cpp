#include "workbook/ClipboardBlock.h"

#include <cstring>

#include "platform/LittleEndian.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {
namespace {

class Writer {
 public:
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    uint8_t b[2];
    platform::StoreU16(b, v);
    Append(b);
  }
  void I32(int32_t v) {
    uint8_t b[4];
    platform::StoreI32(b, v);
    Append(b);
  }
  void F64(double v) {
    uint8_t b[8];
    platform::StoreDouble(b, v);
    Append(b);
  }
  void Text(const std::string& s) {
    I32(static_cast<int32_t>(s.size()));
    out_ += s;
  }
  void Raw(const std::string& s) { out_ += s; }
  std::string& Out() { return out_; }

 private:
  template <size_t N>
  void Append(const uint8_t (&b)[N]) {
    out_.append(reinterpret_cast<const char*>(b), N);
  }
  std::string out_;
};

// Every read is bounds-checked; a read past the end sets the failure flag and yields zeros.
class Reader {
 public:
  Reader(const std::string& data, size_t pos, size_t end) : data_(data), pos_(pos), end_(end) {}
  bool Ok() const { return ok_; }
  size_t Pos() const { return pos_; }
  uint8_t U8() {
    if (!Need(1)) return 0;
    return static_cast<uint8_t>(data_[pos_++]);
  }
  uint16_t U16() { return Need(2) ? platform::LoadU16(Take(2)) : 0; }
  int32_t I32() { return Need(4) ? platform::LoadI32(Take(4)) : 0; }
  double F64() { return Need(8) ? platform::LoadDouble(Take(8)) : 0.0; }
  std::string Bytes(size_t n) {
    if (!Need(n)) return std::string();
    std::string s = data_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  std::string Text() {
    const int32_t n = I32();
    if (n < 0) {
      ok_ = false;
      return std::string();
    }
    return Bytes(static_cast<size_t>(n));
  }

 private:
  bool Need(size_t n) {
    if (!ok_ || n > end_ - pos_) {
      ok_ = false;
      return false;
    }
    return true;
  }
  // The next n bytes, which Need(n) has found present.
  const uint8_t* Take(size_t n) {
    const auto* p = reinterpret_cast<const uint8_t*>(data_.data()) + pos_;
    pos_ += n;
    return p;
  }
  const std::string& data_;
  size_t pos_;
  size_t end_;
  bool ok_ = true;
};

void WriteCell(Writer& w, TSSDataStorage& storage, int32_t col, int32_t row) {
  const TSSCellRec rec = storage.CellRec(col, row);
  const StyleEntry& s = *rec.Style;
  Writer cell;
  cell.U16(s.Format);
  cell.U8(s.HorzAlign);
  cell.U8(s.VertAlign);
  cell.U8(s.WordBreak ? 1 : 0);
  cell.U8(s.Reserved);
  cell.U8(s.FillStyle);
  cell.U16(s.ForegroundColor);
  cell.U16(s.BackgroundColor);
  const TSSFontRec& font = s.Font ? *s.Font : *storage.StyleCache().DefaultEntry()->Font;
  cell.Text(font.Name);
  cell.U16(font.Color);
  cell.U8(font.Style);
  cell.U8(font.Charset);
  cell.U8(font.Size);
  for (const EdgeRec& edge : s.Borders) {
    cell.U8(edge.Style);
    cell.U16(edge.Color);
  }
  cell.U8(s.Flags);
  cell.U8(rec.DataType);
  if (rec.DataType == kCellNumber) cell.F64(rec.Value);
  if (rec.DataType == kCellFormula) {
    uint16_t count = 0;
    std::string tokens;
    if (FormulaEngine* formulas = storage.Host().FormulaCache(); formulas && rec.Formula)
      tokens = formulas->FormulaTokenBytes(rec.Formula, count);
    cell.U16(count);
    cell.Raw(tokens);
  }
  cell.Text(rec.Text);
  w.I32(static_cast<int32_t>(cell.Out().size()));
  w.Raw(cell.Out());
}

}  // namespace

std::string CopyBlock(TSSDataStorage& storage, const TRect& rect) {
  Writer w;
  w.I32(rect.Left);
  w.I32(rect.Top);
  w.I32(rect.Right);
  w.I32(rect.Bottom);
  const TSSRectsArray areas = storage.MergedCells().AreasIn(rect);
  w.I32(static_cast<int32_t>(areas.size()));
  for (const TRect& a : areas) {
    w.I32(a.Left);
    w.I32(a.Top);
    w.I32(a.Right + 1);
    w.I32(a.Bottom + 1);
  }
  for (int32_t col = rect.Left; col <= rect.Right; ++col)
    for (int32_t row = rect.Top; row <= rect.Bottom; ++row) WriteCell(w, storage, col, row);
  return w.Out();
}

void PasteBlock(TSSDataStorage& storage, const std::string& block, int32_t col, int32_t row,
                const std::function<bool(int32_t, int32_t)>& editable, TRect& pasted) {
  Reader header(block, 0, block.size());
  TRect source{header.I32(), header.I32(), header.I32(), header.I32()};
  const int32_t count = header.I32();
  if (!header.Ok() || count < 0 || source.Right < source.Left || source.Bottom < source.Top ||
      static_cast<int64_t>(count) * 16 > static_cast<int64_t>(block.size()))
    throw ESpreadSheetError("Invalid clipboard data");
  const int64_t width = int64_t{source.Right} - source.Left + 1;
  const int64_t height = int64_t{source.Bottom} - source.Top + 1;
  if (width > kFarEdge || height > kFarEdge || col + width > kFarEdge || row + height > kFarEdge)
    throw ESpreadSheetError("Invalid clipboard data");
  pasted = TRect{col, row, static_cast<int32_t>(col + width - 1),
                 static_cast<int32_t>(row + height - 1)};
  if (storage.MergedCells().Intersects(pasted))
    throw ESpreadSheetError("Cannot change part of merged cells");
  const int32_t dCol = col - source.Left;
  const int32_t dRow = row - source.Top;
  TSSRectsArray areas;
  for (int32_t i = 0; i < count; ++i) {
    TRect a{header.I32(), header.I32(), header.I32(), header.I32()};
    if (!header.Ok()) throw ESpreadSheetError("Invalid clipboard data");
    // Stored with exclusive ends, in source coordinates.
    areas.push_back(TRect{a.Left + dCol, a.Top + dRow, a.Right - 1 + dCol, a.Bottom - 1 + dRow});
  }
  size_t pos = header.Pos();
  FormulaEngine* formulas = storage.Host().FormulaCache();
  for (int64_t c = 0; c < width; ++c) {
    for (int64_t r = 0; r < height; ++r) {
      Reader lengthReader(block, pos, block.size());
      const int32_t length = lengthReader.I32();
      if (!lengthReader.Ok() || length < 0 ||
          static_cast<size_t>(length) > block.size() - lengthReader.Pos()) {
        c = width;  // a block that would run past the end stops the reading
        break;
      }
      Reader cell(block, lengthReader.Pos(), lengthReader.Pos() + static_cast<size_t>(length));
      pos = lengthReader.Pos() + static_cast<size_t>(length);
      StyleEntry entry;
      entry.Format = cell.U16();
      entry.HorzAlign = static_cast<THorzTextAlign>(std::min<uint8_t>(cell.U8(), haJUSTIFY));
      entry.VertAlign = static_cast<TVertTextAlign>(std::min<uint8_t>(cell.U8(), vaJUSTIFY));
      entry.WordBreak = cell.U8() != 0;
      entry.Reserved = cell.U8();
      entry.FillStyle =
          static_cast<TSSFillStyle>(std::min<uint8_t>(cell.U8(), fsThinThickCrossHatch));
      entry.ForegroundColor = cell.U16();
      entry.BackgroundColor = cell.U16();
      TSSFontRec font;
      font.Name = cell.Text();
      font.Color = NormalizeColor(cell.U16());
      font.Style = cell.U8();
      font.Charset = cell.U8();
      font.Size = cell.U8();
      for (EdgeRec& edge : entry.Borders) {
        edge.Style = static_cast<TSSEdgeLineStyle>(std::min<uint8_t>(cell.U8(), lsNone));
        edge.Color = cell.U16();
      }
      entry.Flags = cell.U8();
      const uint8_t type = cell.U8();
      double number = 0;
      uint16_t tokenCount = 0;
      std::string tokens;
      if (type == kCellNumber) number = cell.F64();
      if (type == kCellFormula) tokenCount = cell.U16();
      std::string text;
      if (type == kCellFormula) {
        // Token bytes are opaque here and the text closes the block: the split is where a
        // length prefix covers exactly the rest. Texts hold no zero bytes, so searching from
        // the end finds the real prefix first.
        const size_t here = cell.Pos();
        const size_t end = pos;
        bool found = false;
        for (size_t split = end >= 4 ? end - 4 : 0; split + 4 <= end && split >= here; --split) {
          Reader probe(block, split, end);
          const int32_t n = probe.I32();
          if (probe.Ok() && n >= 0 && split + 4 + static_cast<size_t>(n) == end) {
            tokens = block.substr(here, split - here);
            text = probe.Bytes(static_cast<size_t>(n));
            found = true;
            break;
          }
          if (split == 0) break;
        }
        if (!found) text = cell.Text();  // fails the block cleanly
      } else {
        text = cell.Text();
      }
      if (!cell.Ok()) {
        c = width;
        break;
      }
      const int32_t tc = static_cast<int32_t>(col + c);
      const int32_t tr = static_cast<int32_t>(row + r);
      if (!editable(tc, tr)) continue;
      {
        TSSCellStyle style(storage, tc, tr);
        entry.Flags = static_cast<uint8_t>(entry.Flags & ~kStyleMerged);
        style.SetWholeStyle(entry, font, false);
      }
      if (type == kCellFormula) {
        FormulaEngine::PasteResult result = FormulaEngine::PasteResult::NotSupported;
        if (formulas && tokenCount > 0)
          result = formulas->PasteFormula(storage, tc, tr, tokens, tokenCount, dCol, dRow);
        if (result == FormulaEngine::PasteResult::InvalidReference)
          storage.StoreCellText(tc, tr, false, false, ErrorText(kErrRef));
        else if (result == FormulaEngine::PasteResult::NotSupported)
          storage.StoreCellText(tc, tr, true, false, text);
      } else {
        const uint8_t kept =
            type == kCellNumber || type == kCellLiteralText ? type : uint8_t{kCellText};
        storage.RestoreCellContent(tc, tr, text, kept, number);
      }
    }
  }
  if (!areas.empty()) {
    if (CellHistory* history = storage.Host().History()) history->RecordMergedAreas(storage);
  }
  storage.MergedCells().AddAreas(areas);
  // Cells inside pasted areas carry the merged flag.
  for (const TRect& a : areas) {
    for (int32_t cc = a.Left; cc <= a.Right; ++cc)
      for (int32_t rr = a.Top; rr <= a.Bottom; ++rr) {
        if (storage.CellStyleEntry(cc, rr)->Flags & kStyleMerged) continue;
        TSSCellStyle style(storage, cc, rr);
        style.SetMerged(true);
      }
  }
}

}  // namespace workbook
