#include "xls/book/TExcelFileWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>

#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "xls/Errors.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/DefaultRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/SizeUnits.h"
#include "xls/biff/StyleMapping.h"
#include "xls/biff/XlsText.h"
#include "xls/book/BookNames.h"
#include "xls/book/FileTokenWriter.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {

using workbook::StyleEntry;

namespace {

// Texts up to this length go into LABEL records, longer ones into the shared string table.
constexpr size_t kLabelLimit = 250;
// Format code of the text format: its cells are never written as numbers.
constexpr uint16_t kTextFormat = 49;

XfStyle StyleTerms(const StyleEntry& e) {
  XfStyle s;
  s.format = e.Format;
  s.horzAlign = e.HorzAlign;
  s.vertAlign = e.VertAlign;
  s.wordWrap = e.WordBreak ? 1 : 0;
  s.flags = e.Flags & XfStyle::kLocked;
  s.pattern = e.FillStyle;
  s.colours = {e.ForegroundColor, e.BackgroundColor};
  for (size_t i = 0; i < 4; ++i)
    s.edges[i] = {static_cast<uint8_t>(e.Borders[i].Style), e.Borders[i].Color};
  return s;
}

// The cached result of a formula: the 8 result bytes of a FORMULA record (a number, a
// boolean, an error code, an empty text, or the mark of a text that the STRING record after
// the formula holds) and that text.
struct CachedResult {
  std::array<uint8_t, 8> bytes{};
  std::optional<std::u16string> text;  // set: a STRING record follows the formula
};

CachedResult TextResult(const std::string& text) {
  CachedResult out;
  out.bytes[0] = text.empty() ? 3 : 0;  // 3: an empty text; 0: the text follows
  out.bytes[6] = out.bytes[7] = 0xFF;
  if (!text.empty()) out.text = FromSystemText(text);
  return out;
}

// From the cell's value text, where the engine has no result to give.
CachedResult ResultFromText(const std::string& value) {
  CachedResult out;
  double number = 0;
  bool boolean = false;
  uint8_t error = 0;
  if (workbook::TextToNumber(value, number)) {
    std::memcpy(out.bytes.data(), &number, 8);
    return out;
  }
  if (workbook::TextToBoolean(value, boolean)) {
    out.bytes[0] = 1, out.bytes[2] = boolean ? 1 : 0;
  } else if (workbook::TextToErrorCode(value, error)) {
    out.bytes[0] = 2, out.bytes[2] = error;
  } else {
    return TextResult(value);
  }
  out.bytes[6] = out.bytes[7] = 0xFF;
  return out;
}

// The same from the engine's result, so a number keeps every bit the engine computed (the
// display text would round it); without a result the cell's value text is read as above.
CachedResult ResultOf(const workbook::FormulaValue& result, const std::string& text) {
  using Kind = workbook::FormulaValue::Kind;
  CachedResult out;
  switch (result.kind) {
    case Kind::Number:
      std::memcpy(out.bytes.data(), &result.number, 8);
      return out;
    case Kind::Boolean:
      out.bytes[0] = 1, out.bytes[2] = result.number != 0 ? 1 : 0;
      break;
    case Kind::Error: {
      uint8_t error = 0;
      if (!workbook::TextToErrorCode(result.text, error)) return ResultFromText(text);
      out.bytes[0] = 2, out.bytes[2] = error;
      break;
    }
    case Kind::Text:
      return TextResult(result.text);
    case Kind::None:
      return ResultFromText(text);
  }
  out.bytes[6] = out.bytes[7] = 0xFF;
  return out;
}

}  // namespace

TExcelFileWriter::TExcelFileWriter(double scale) : scale_(scale) {}

uint16_t TExcelFileWriter::FontIndex(const workbook::TSSFontRec* font) {
  if (!font) return 0;
  for (size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i] == font || fonts_[i]->SameFont(*font)) return static_cast<uint16_t>(i + 5);
  FontStyle f;
  f.name = font->Name;
  f.size = font->Size;
  f.charset = font->Charset;
  f.colour = font->Color;
  f.flags = font->Style;
  fonts_.push_back(font);
  fontRecords_.push_back(RecordFromFont(f).Build());
  return static_cast<uint16_t>(fonts_.size() + 4);
}

RecordBuilder TExcelFileWriter::MakeXf(const StyleEntry& style, bool invertLocked) {
  XfStyle s = StyleTerms(style);
  if (invertLocked) s.flags ^= XfStyle::kLocked;
  return XfFromStyle(s, FontIndex(style.Font)).Build();
}

uint16_t TExcelFileWriter::XfIndex(const StyleEntry* style) {
  if (!style) return 15;
  auto it = xfOf_.find(style);
  if (it != xfOf_.end()) return it->second;
  if (17 + xfRecords_.size() >= 4050) return 15;  // the format's XF limit: fall back to the default
  const auto index = static_cast<uint16_t>(17 + xfRecords_.size());
  xfRecords_.push_back(MakeXf(*style, false));
  xfOf_[style] = index;
  return index;
}

void TExcelFileWriter::AddBook(workbook::TCustomSpreadSheetBook& book) {
  if (added_) throw EExcelDataWriter("Error store workbook stream");
  added_ = true;
  if (OnProgress) OnProgress(0);
  palette_.assign(book.Palette().begin(), book.Palette().end());
  bookProtected_ = book.Protected;
  const int count = book.PageCount();

  {
    for (const workbook::DefinedNameRecord& n : BookNames(book)) {
      NameRecord rec;
      rec.options = n.Deleted ? 1 : 0;
      rec.name = FromSystemText(n.Name);
      const uint16_t sheet = n.Sheet < count ? n.Sheet : 0;
      RecordBuilder t(0);
      t.U8(0x3B).U16(sheet).U16(uint16_t(n.Rect.Top)).U16(uint16_t(n.Rect.Bottom));
      t.U16(uint16_t(n.Rect.Left & 0xFF)).U16(uint16_t(n.Rect.Right & 0xFF));
      rec.tokens = t.Data();
      names_.push_back(rec.Build());
    }
  }

  // The default style: XF 15 takes its font and locked flag; its own XF (locked inverted)
  // serves the columns whose locked flag differs from it.
  const StyleEntry& def = *book.StyleCache().DefaultEntry();
  defaultLocked_ = def.Flags & workbook::kStyleLocked;
  // XF 15 is what every reader takes for the default cell format: it is the default style.
  defaultCellXf_ = XfFromStyle(StyleTerms(def), FontIndex(def.Font));
  defaultXf_ = static_cast<uint16_t>(17 + xfRecords_.size());
  xfRecords_.push_back(MakeXf(def, true));
  xfOf_[&def] = XfIndex(nullptr);

  for (int i = 0; i < count; ++i) {
    if (OnProgress) OnProgress(i * 100 / count);
    AddSheet(book, book.Sheets(i), size_t(i));
  }
  if (OnProgress) OnProgress(100);
}

void TExcelFileWriter::AddSheet(workbook::TCustomSpreadSheetBook& book,
                                workbook::TSSBookSheet& sheet, size_t index) {
  BoundSheetRecord bound;
  bound.name = FromSystemText(sheet.Caption());
  // Hidden pages are written hidden: a reader that shows them all still finds them.
  bound.visibility = book.PageVisible(int(index)) ? 0 : 1;
  const size_t k = builder_.AddSheet(bound);
  RecordList& list = builder_.Sheet(k);

  list.Append(RecordBuilder(rec::kRefMode).U16(1));
  if (sheet.SheetProtected) list.Append(RecordBuilder(rec::kProtect).U16(1));
  workbook::TSSHeader& cols = sheet.ColumnHeader();
  workbook::TSSHeader& rows = sheet.RowHeader();
  list.Append(RecordBuilder(rec::kDefColWidth).U16(PixelsToDefColWidth(cols.DefaultSize())));
  // STANDARDWIDTH keeps the default width exactly (DEFCOLWIDTH counts whole characters).
  const long standard =
      std::clamp(std::lround(cols.DefaultSize() * 262.0 / 8.25 / scale_), 1L, 0xFFFFL);
  list.Append(RecordBuilder(rec::kStandardWidth).U16(static_cast<uint16_t>(standard)));
  list.Append(RecordBuilder(rec::kDefaultRowHeight)
                  .U16(0)
                  .U16(static_cast<uint16_t>(std::lround(rows.DefaultSize() * 12.7))));

  size_t lostHeaders = 0;
  for (int32_t c = 0; c < cols.Count(); ++c) {
    const bool hidden = !cols.IsVisible(c), own = !cols.IsDefaultState(c),
               unlocked = !cols.IsProtectionLocked(c);
    if (!hidden && !own && !unlocked) continue;
    if (c >= kMaxColumns) {
      ++lostHeaders;
      continue;
    }
    ColInfoRecord ci;
    ci.firstColumn = ci.lastColumn = uint16_t(c);
    ci.width = PixelsToColInfoWidth(cols.Size(c), scale_);
    ci.xf = (cols.IsProtectionLocked(c) != defaultLocked_) ? defaultXf_ : 15;
    ci.options = hidden ? ColInfoRecord::kHidden : 0;
    list.Append(ci.Build());
  }
  auto dims = list.Append(DimensionsRecord{}.Build());
  for (int32_t r = 0; r < rows.Count(); ++r) {
    const bool hidden = !rows.IsVisible(r), own = !rows.IsDefaultState(r);
    if (!hidden && !own) continue;
    if (r >= kMaxRows) {
      ++lostHeaders;
      continue;
    }
    RowRecord row;
    row.row = uint16_t(r);
    row.firstColumn = 0;
    row.endColumn = 256;
    row.height = PixelsToRowHeight(rows.Size(r), scale_);
    row.options = uint16_t(0x0140 | (hidden ? RowRecord::kHidden : 0));
    row.xf = 15;
    list.Append(row.Build());
  }

  // Nothing behind the row records changes once made: it goes straight into stream bytes.
  RecordWriter laidOut(builder_.SheetLaidOut(k));
  size_t lostCells = 0;
  droppedFormulas_ = 0;
  uint32_t endRow = 0;
  uint16_t endCol = 0;
  AddCells(sheet, laidOut, lostCells, false, endCol, endRow);
  AddCells(sheet, laidOut, lostCells, true, endCol, endRow);
  DimensionsRecord d;
  d.endRow = endRow;
  d.endColumn = endCol;
  *dims = d.Build();

  Window2Record w;
  w.options = index == 0 ? 0x06B6 : 0x00B6;
  if (!sheet.ShowGrid) w.options &= uint16_t(~Window2Record::kShowGrid);
  if (sheet.ShowFormulas) w.options |= Window2Record::kShowFormulas;
  laidOut.Write(w.Build());

  std::vector<MergedArea> areas;
  size_t lostAreas = 0;
  for (const workbook::TRect& a : sheet.Storage().MergedCells().AllAreas()) {
    if (a.Right >= kMaxColumns || a.Bottom >= kMaxRows || a.Left < 0 || a.Top < 0) {
      ++lostAreas;
      continue;
    }
    areas.push_back({uint16_t(a.Top), uint16_t(a.Bottom), uint16_t(a.Left), uint16_t(a.Right)});
  }
  for (const RecordBuilder& r : MergedCellsRecord::BuildAll(areas)) laidOut.Write(r);

  if (lostCells || lostAreas || lostHeaders) {
    warnings_.push_back("Sheet " + sheet.Caption() + ": " + std::to_string(lostCells) + " cells, " +
                        std::to_string(lostAreas) + " merged areas and " +
                        std::to_string(lostHeaders) +
                        " column or row sizes beyond column IV or row 65536 were not saved");
  }
  if (droppedFormulas_) {
    warnings_.push_back("Sheet " + sheet.Caption() + ": " + std::to_string(droppedFormulas_) +
                        " formulas have no form in the file and were not saved");
  }
}

void TExcelFileWriter::AddCells(workbook::TSSBookSheet& sheet, RecordWriter& cells, size_t& lost,
                                bool formulas, uint16_t& endCol, uint32_t& endRow) {
  workbook::TSSDataStorage& storage = sheet.Storage();
  workbook::FormulaEngine* cache = sheet.FormulaCache();
  for (int32_t col = 0; col < storage.UsedCols(); ++col) {
    const int32_t rowCount = storage.RowsInColumn(col);
    for (int32_t row = 0; row < rowCount; ++row) {
      if (!storage.HasRecord(col, row)) continue;
      workbook::TSSCellRec rec;
      const workbook::CellContentType type = storage.CellDataType(col, row);
      if (workbook::IsTextType(type)) {
        rec = storage.CellRec(col, row);
      } else {
        // A number is written from its value and a formula from its entry's tokens: building
        // their texts would be wasted.
        rec.DataType = type;
        rec.Style = storage.CellStyleEntry(col, row);
        rec.Value = storage.CellNumber(col, row);     // 0 for a formula
        rec.Formula = storage.CellFormula(col, row);  // null for a number
      }
      const bool isFormula = rec.DataType == workbook::kCellFormula;
      if (isFormula != formulas) continue;
      if (col >= kMaxColumns || row >= kMaxRows) {
        if (!rec.Text.empty() || !workbook::IsTextType(rec.DataType)) ++lost;
        continue;
      }
      CellHeader h{uint16_t(row), uint16_t(col), XfIndex(rec.Style)};
      bool written = true;
      if (rec.DataType == workbook::kCellNumber) {
        cells.Write(NumberRecord{h, rec.Value}.Build());
      } else if (isFormula) {
        std::vector<uint8_t> tokens;
        uint16_t count = 0;
        std::string internal =
            cache && rec.Formula ? cache->FormulaTokenBytes(rec.Formula, count) : std::string();
        const auto* bytes = reinterpret_cast<const uint8_t*>(internal.data());
        if (!internal.empty() && ToFileTokens({bytes, internal.size()}, col, row, tokens) &&
            !tokens.empty()) {
          FormulaRecord f;
          f.cell = h;
          CachedResult result =
              ResultOf(cache->FormulaResult(rec.Formula), storage.CellValueText(col, row));
          f.result = result.bytes;
          f.options = FormulaRecord::kAlwaysCalc | FormulaRecord::kCalcOnLoad;
          f.tokens = std::move(tokens);
          cells.Write(f.Build());
          if (result.text) cells.Write(StringRecord{std::move(*result.text)}.Build());
        } else {
          written = false;
          ++droppedFormulas_;
        }
      } else if (rec.Text.empty()) {
        cells.Write(BlankRecord{h}.Build());
      } else {
        double number = 0;
        bool boolean = false;
        uint8_t error = 0;
        const uint16_t format = rec.Style ? rec.Style->Format : 0;
        // A literal text is text whatever it reads as; a typed one that reads as a number, a
        // boolean or an error is written as the value the engine takes it for (the model
        // keeps a boolean or error cell as its text), so that it reads back as that value.
        const bool typed = format != kTextFormat && rec.DataType != workbook::kCellLiteralText;
        if (typed && workbook::TextToNumber(rec.Text, number)) {
          cells.Write(NumberRecord{h, number}.Build());
        } else if (typed && workbook::TextToBoolean(rec.Text, boolean)) {
          cells.Write(BoolErrRecord{h, uint8_t(boolean ? 1 : 0), false}.Build());
        } else if (typed && workbook::TextToErrorCode(rec.Text, error)) {
          cells.Write(BoolErrRecord{h, error, true}.Build());
        } else {
          const std::u16string text = FromSystemText(rec.Text);
          if (text.size() <= kLabelLimit) {
            cells.Write(LabelRecord{h, text}.Build());
          } else {
            cells.Write(LabelSstRecord{h, builder_.SharedStrings().Add(text)}.Build());
          }
        }
      }
      if (written) {
        endRow = std::max<uint32_t>(endRow, uint32_t(row) + 1);
        endCol = std::max<uint16_t>(endCol, uint16_t(col + 1));
      }
    }
  }
}

CompoundStream TExcelFileWriter::FinishStream() {
  const size_t sheetCount = builder_.SheetCount();
  if (!added_ || saved_ || sheetCount == 0) throw EExcelDataWriter("Error store workbook stream");
  saved_ = true;
  RecordList& g = builder_.Globals();
  // Everything before the first BOUNDSHEET, in the order readers expect.
  auto firstBound = g.Find(rec::kBoundSheet);
  auto before = [&](RecordBuilder r) { g.InsertBefore(firstBound, std::move(r)); };
  RecordBuilder tabId(rec::kTabId);
  for (size_t i = 0; i < sheetCount; ++i) tabId.U16(uint16_t(i + 1));
  before(std::move(tabId));
  if (bookProtected_) before(RecordBuilder(rec::kProtect).U16(1));
  before(defaults::Window1());
  for (int i = 0; i < 4; ++i) before(defaults::Font().Build());
  for (RecordBuilder& f : fontRecords_) before(std::move(f));
  for (const FormatRecord& f : defaults::Formats()) before(f.Build());
  std::array<XfRecord, 17> xfs = defaults::Xfs();
  xfs[15] = defaultCellXf_;
  for (const XfRecord& x : xfs) before(x.Build());
  for (RecordBuilder& x : xfRecords_) before(std::move(x));
  for (RecordBuilder& s : defaults::Styles()) before(std::move(s));
  PaletteRecord palette;
  for (size_t i = 0; i < PaletteRecord::kColours && i < palette_.size(); ++i)
    palette.colours[i] = palette_[i];
  before(palette.Build());

  g.Append(BuildInternalSupBook(uint16_t(sheetCount)));
  ExternSheetRecord extern_;
  for (size_t i = 0; i < sheetCount; ++i) extern_.entries.push_back({0, uint16_t(i), uint16_t(i)});
  g.Append(extern_.Build());
  for (RecordBuilder& n : names_) g.Append(std::move(n));
  fontRecords_.clear();
  xfRecords_.clear();
  names_.clear();

  CompoundStream workbook;
  workbook.name = u"Workbook";
  workbook.size = builder_.Size();
  workbook.produce = [this](ByteSink& sink) {
    builder_.WriteTo(
        [&sink](std::span<const uint8_t> piece) { sink.Write(piece.data(), piece.size()); });
  };
  return workbook;
}

std::vector<uint8_t> TExcelFileWriter::SaveToBytes() {
  std::vector<uint8_t> out;
  VectorByteSink sink(out);
  SaveToStream(sink);
  return out;
}

void TExcelFileWriter::SaveToStream(ByteSink& sink) {
  const CompoundStream workbook = FinishStream();
  WriteCompoundDocument(sink, std::span<const CompoundStream>(&workbook, 1));
}

void TExcelFileWriter::SaveToFile(const std::string& path) {
  const CompoundStream workbook = FinishStream();
  WriteCompoundFile(path, std::span<const CompoundStream>(&workbook, 1));
}

}  // namespace xls
