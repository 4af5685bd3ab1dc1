#include "xls/book/TExcelFileReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formulas/FunctionTable.h"
#include "workbook/CellReference.h"
#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"
#include "xls/Errors.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/SizeUnits.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/biff/XlsText.h"
#include "xls/book/BookNames.h"
#include "xls/compound/CompoundReader.h"
#include "xls/formula/FileTokens.h"
#include "xls/formula/FormulaReuseKey.h"

namespace xls {

using workbook::StyleEntry;
using workbook::TCustomSpreadSheetBook;

namespace {

// Storage is reserved up front for at most this many columns and rows; it grows on demand.
constexpr int32_t kReserveCols = 50;
constexpr int32_t kReserveRows = 50001;
// Formula patterns remembered at once; a sheet of ever new patterns starts over beyond this.
constexpr size_t kMaxCompiledPatterns = 50000;

}  // namespace

TExcelFileReader::TExcelFileReader(TCustomSpreadSheetBook& book, double scale)
    : book_(book), scale_(scale), formulaReader_(*this) {}

TExcelFileReader::~TExcelFileReader() { ReleaseFreshStyles(); }

void TExcelFileReader::ReleaseFreshStyles() {
  for (workbook::StyleEntry*& e : freshStyles_) {
    if (e) book_.StyleCache().Release(e);
    e = nullptr;
  }
}

bool TExcelFileReader::AssignStream(ByteSource& source) {
  try {
    container_ = std::make_unique<CompoundReader>(source);
    std::optional<size_t> entry = container_->FindWorkbookStream();
    if (!entry) {
      ReleaseStream();
      return false;
    }
    // Laying the stream out checks all of its chain against the file now, before the book is
    // touched; the records are read later, a window at a time.
    stream_ = std::make_unique<CompoundStreamSource>(*container_, *entry);
    if (stream_->Size() == 0 || stream_->Size() > UINT32_MAX) {
      ReleaseStream();
      return false;
    }
    streamSize_ = static_cast<uint32_t>(stream_->Size());
  } catch (const std::exception&) {
    // A container that cannot be opened is simply not a workbook.
    ReleaseStream();
    return false;
  }
  return true;
}

void TExcelFileReader::OpenStream() {
  unknownFunction_ = false;
  unknownCells_ = 0;
  unknownRefs_.clear();
  pendingStringSheet_ = -1;
  sheetIndex_ = -1;
  sheet_ = nullptr;
  // Cells arrive into sheets that the load made and whose undo history is suspended: the
  // storages skip recording them while the stream is read, and record again afterwards.
  struct EndBulk {
    TCustomSpreadSheetBook& book;
    ~EndBulk() {
      for (int i = 0; i < book.PageCount(); ++i) book.Sheets(i).Storage().SetBulk(false);
    }
  } endBulk{book_};
  if (!stream_) return;
  RecordReader r(*stream_);
  while (r.Next()) {
    Progress(r.Offset());
    Dispatch(r);
    if (sheetIndex_ >= book_.PageCount()) break;
  }
  Progress(streamSize_);
  ReleaseStream();
}

void TExcelFileReader::ReleaseStream() {
  stream_.reset();
  container_.reset();
  streamSize_ = 0;
}

void TExcelFileReader::Progress(uint32_t offset) {
  // This runs once per record: between two percents it is one comparison.
  if (offset < nextProgressOffset_ || !OnProgress || streamSize_ == 0) return;
  // Rounded to the nearest percent in integers.
  const uint64_t size = streamSize_;
  const int percent = static_cast<int>((uint64_t{offset} * 200 + size) / (2 * size));
  // The first offset that rounds to the next percent: offset * 200 + size >= (percent + 1) * 2 *
  // size.
  const uint64_t next = ((uint64_t(percent) + 1) * 2 * size - size + 199) / 200;
  nextProgressOffset_ = static_cast<uint32_t>(std::min<uint64_t>(next, UINT32_MAX));
  if (percent == lastProgress_) return;
  lastProgress_ = percent;
  OnProgress(percent);
}

void TExcelFileReader::Dispatch(RecordReader& r) {
  const uint16_t id = r.Id();
  if (id == rec::kBof) return OnBof(r);
  if (skippingSubstream_) {
    if (id == rec::kEof) skippingSubstream_ = false;
    return;
  }
  switch (id) {
    case rec::kFilePass:
      throw XlsError("Invalid stream format");
    case rec::kBoundSheet:
      return OnBoundSheet(r);
    case rec::kFont:
      return OnFont(r);
    case rec::kXf:
      return OnXf(r);
    case rec::kFormat: {
      FormatRecord f = FormatRecord::Read(r);
      if (f.index > 49) formats_.emplace_back(f.index, ToSystemText(f.text));
      return;
    }
    case rec::kPalette: {
      PaletteRecord p = PaletteRecord::Read(r);
      workbook::ColorPalette& palette = book_.Palette();
      for (size_t i = 0; i < palette.size(); ++i) palette[i] = p.colours[i] & 0x00FFFFFF;
      return;
    }
    case rec::kSst:
      sharedStrings_ = ReadSharedStrings(r);
      return;
    case rec::kExternSheet: {
      externFirst_.clear();
      for (const ExternSheetEntry& e : ExternSheetRecord::Read(r).entries)
        externFirst_.push_back(e.firstSheet);
      return;
    }
    case rec::kName:
      return OnName(r);
    case rec::kProtect: {
      const bool on = r.U16() & 1;
      if (sheet_)
        sheet_->SheetProtected = on;
      else
        book_.Protected = on;
      return;
    }
    default:
      break;
  }
  if (!sheet_) return;  // cell and layout records outside a worksheet mean nothing
  switch (id) {
    case rec::kNumber: {
      NumberRecord n = NumberRecord::Read(r);
      return SetNumber(n.cell.column, n.cell.row, n.value, n.cell.xf);
    }
    case rec::kRk: {
      RkRecord k = RkRecord::Read(r);
      return SetNumber(k.cell.column, k.cell.row, DecodeRk(k.rk), k.cell.xf);
    }
    case rec::kMulRk: {
      MulRkRecord m = MulRkRecord::Read(r);
      for (size_t i = 0; i < m.cells.size(); ++i)
        SetNumber(m.firstColumn + int32_t(i), m.row, DecodeRk(m.cells[i].rk), m.cells[i].xf);
      return;
    }
    case rec::kLabel:
    case rec::kRString: {
      const CellHeader cell = CellHeader::Read(r);
      return SetTextCell(cell.column, cell.row, r.SystemString16(), cell.xf);
    }
    case rec::kLabelSst: {
      LabelSstRecord l = LabelSstRecord::Read(r);
      return SetTextCell(l.cell.column, l.cell.row,
                         ToSystemText(SharedString(sharedStrings_, l.index)), l.cell.xf);
    }
    case rec::kBoolErr: {
      BoolErrRecord b = BoolErrRecord::Read(r);
      const std::string text =
          b.isError ? workbook::ErrorText(b.value) : workbook::BooleanText(b.value != 0);
      return SetCell(b.cell.column, b.cell.row, text, false, false, b.cell.xf);
    }
    case rec::kBlank: {
      BlankRecord b = BlankRecord::Read(r);
      return SetCell(b.cell.column, b.cell.row, std::string(), true, false, b.cell.xf);
    }
    case rec::kMulBlank: {
      MulBlankRecord m = MulBlankRecord::Read(r);
      for (size_t i = 0; i < m.xfs.size(); ++i)
        SetCell(m.firstColumn + int32_t(i), m.row, std::string(), true, false, m.xfs[i]);
      return;
    }
    case rec::kFormula:
      return OnFormula(r);
    case rec::kString:
      if (pendingStringSheet_ == sheetIndex_) {
        // The text result of a formula kept as its stored value.
        const std::string text = r.SystemString16();
        if (!text.empty())
          sheet_->Storage().StoreLiteralText(pendingStringCol_, pendingStringRow_, text);
      }
      pendingStringSheet_ = -1;
      return;
    case rec::kShrFmla:
      return OnSharedOrArray(r, true);
    case rec::kArray:
      return OnSharedOrArray(r, false);
    case rec::kDefColWidth:
      sheet_->ColumnHeader().SetDefaultSize(
          static_cast<uint16_t>(std::clamp(DefColWidthToPixels(r.U16(), scale_), 1, 0xFFFF)));
      return;
    case rec::kStandardWidth:
      sheet_->ColumnHeader().SetDefaultSize(
          static_cast<uint16_t>(std::clamp(StandardWidthToPixels(r.U16(), scale_), 1, 0xFFFF)));
      return;
    case rec::kDefaultRowHeight: {
      r.U16();  // options
      sheet_->RowHeader().SetDefaultSize(
          static_cast<uint16_t>(std::clamp(DefaultRowHeightToPixels(r.U16()), 1, 0xFFFF)));
      return;
    }
    case rec::kColInfo:
      return OnColInfo(r);
    case rec::kRow:
      return OnRow(r);
    case rec::kMergedCells: {
      for (const MergedArea& a : MergedCellsRecord::Read(r).areas) {
        if (a.lastRow < a.firstRow || a.lastColumn < a.firstColumn) continue;
        sheet_->Storage().MergeCells(
            workbook::TRect{a.firstColumn, a.firstRow, a.lastColumn, a.lastRow}, true);
      }
      return;
    }
    case rec::kDimensions: {
      DimensionsRecord d = DimensionsRecord::Read(r);
      sheet_->Storage().SetCapacity(
          std::min<int32_t>(d.endColumn, kReserveCols),
          static_cast<int32_t>(std::min<uint32_t>(d.endRow, kReserveRows)));
      return;
    }
    case rec::kWindow2:
      return OnWindow2(r);
    default:
      return;
  }
}

void TExcelFileReader::OnBof(RecordReader& r) {
  if (!seenFirstBof_) {
    seenFirstBof_ = true;
    inGlobals_ = true;
    return;
  }
  inGlobals_ = false;
  if (skippingSubstream_) return;  // a BOF nested in a skipped substream
  for (const SheetEntry& s : sheets_) {
    if (s.position != r.Offset()) continue;
    if (s.bookIndex < 0) break;
    sheetIndex_ = s.bookIndex;
    sheet_ = sheetIndex_ < book_.PageCount() ? &book_.Sheets(sheetIndex_) : nullptr;
    if (sheet_) sheet_->Storage().SetBulk(true);
    return;
  }
  // A chart, macro or module substream, or one no BOUNDSHEET names.
  sheet_ = nullptr;
  skippingSubstream_ = true;
}

void TExcelFileReader::OnBoundSheet(RecordReader& r) {
  BoundSheetRecord b = BoundSheetRecord::Read(r);
  const std::string name = ToSystemText(b.name);
  sheetNames_.push_back(name);
  SheetEntry entry;
  entry.position = b.position;
  if (b.sheetType == 0 || b.sheetType == 1) {
    book_.AddSheet(name);
    entry.bookIndex = book_.PageCount() - 1;
    if (b.visibility == 1 || b.visibility == 2) book_.SetPageVisible(entry.bookIndex, false);
  }
  sheets_.push_back(entry);
}

void TExcelFileReader::OnFont(RecordReader& r) {
  fonts_.push_back(FontFromRecord(FontRecord::Read(r)));
}

void TExcelFileReader::OnXf(RecordReader& r) {
  xfs_.push_back(XfRecord::Read(r));
  xfStyles_.emplace_back();
  freshStyles_.push_back(nullptr);
  if (xfs_.size() == 16) {
    ReleaseFreshStyles();  // they were merged into the default entry that changes now
    // The 16th XF is the default cell format: it becomes the book's default style.
    const StyleEntry entry = StyleOfXf(15);
    book_.StyleCache().OverwriteDefault(entry);
    book_.DefaultStyle().Rebind();
    xfStyles_[15] = *book_.StyleCache().DefaultEntry();
  }
}

uint16_t TExcelFileReader::FormatCodeOf(uint16_t fileIndex) const {
  for (const auto& [index, text] : formats_) {
    if (index != fileIndex) continue;
    // Some writers store the general format under an index of their own; its name must not be
    // taken for a pattern (its "e" reads as an exponent).
    if (workbook::UpperText(workbook::TrimText(text)) == "GENERAL") return 0;
    uint16_t code = 0;
    workbook::FormatFromPattern(text, code);
    return code;
  }
  return 0;
}

const StyleEntry& TExcelFileReader::StyleOfXf(size_t index) {
  if (xfStyles_[index]) return *xfStyles_[index];
  const XfStyle s =
      StyleFromXf(xfs_[index], fonts_.size(), [this](uint16_t i) { return FormatCodeOf(i); });
  StyleEntry e;
  e.Format = s.format;
  e.HorzAlign =
      static_cast<workbook::THorzTextAlign>(std::min<uint8_t>(s.horzAlign, workbook::haJUSTIFY));
  e.VertAlign =
      static_cast<workbook::TVertTextAlign>(std::min<uint8_t>(s.vertAlign, workbook::vaJUSTIFY));
  e.WordBreak = s.wordWrap != 0;
  e.Flags = s.flags;
  e.FillStyle = static_cast<workbook::TSSFillStyle>(
      std::min<uint8_t>(s.pattern, workbook::fsThinThickCrossHatch));
  e.ForegroundColor = s.colours[0];
  e.BackgroundColor = s.colours[1];
  // A cell without a fill pattern in the file shows the book's own "no fill" colour, so that
  // unformatted cells equal the default style again.
  if (xfs_[index].pattern == 0) e.ForegroundColor = e.BackgroundColor = workbook::kDefaultFillColor;
  for (size_t i = 0; i < 4; ++i) {
    e.Borders[i].Style =
        static_cast<workbook::TSSEdgeLineStyle>(std::min<uint8_t>(s.edges[i].lineStyle, 13));
    e.Borders[i].Color = workbook::NormalizeColor(s.edges[i].colour);
  }
  if (!fonts_.empty()) {
    const FontStyle& f = fonts_[std::min(s.font, fonts_.size() - 1)];
    e.Font = book_.StyleCache().FindOrAddFont(f.name, f.flags, workbook::NormalizeColor(f.colour),
                                              static_cast<uint8_t>(std::clamp(f.size, 1, 255)),
                                              f.charset);
  } else {
    e.Font = book_.StyleCache().DefaultEntry()->Font;
  }
  xfStyles_[index] = e;
  return *xfStyles_[index];
}

workbook::StyleEntry* TExcelFileReader::FreshCellStyle(size_t xf) {
  if (freshStyles_[xf]) return freshStyles_[xf];
  workbook::TSSStyleCache& cache = book_.StyleCache();
  const StyleEntry& source = StyleOfXf(xf);
  StyleEntry merged = *cache.DefaultEntry();
  if (source.Font) {
    const workbook::TSSFontRec& f = *source.Font;
    merged.Font =
        cache.FindOrAddFont(f.Name, f.Style, workbook::NormalizeColor(f.Color), f.Size, f.Charset);
  }
  workbook::TSSCellStyle::MergeEntryFields(merged, source, false);
  freshStyles_[xf] = cache.FindOrAddEntry(merged);
  return freshStyles_[xf];
}

void TExcelFileReader::ApplyXf(int32_t col, int32_t row, int xf) {
  if (xf < 0 || static_cast<size_t>(xf) >= xfs_.size()) return;
  workbook::TSSDataStorage& storage = sheet_->Storage();
  workbook::StyleEntry* current = storage.CellStyleEntry(col, row);
  // Nearly every cell arrives once, still on the default style: the merged entry is the same
  // for every such cell of an XF, so it is made once. A cell met again, or a read-only sheet,
  // goes the general way through the cell's style object.
  if (current == storage.DefaultStyleEntry() && !sheet_->IsReadOnly() &&
      !(current->Flags & workbook::kStyleReadOnly)) {
    workbook::StyleEntry* fresh = FreshCellStyle(size_t(xf));
    if (fresh != current) storage.StoreCellStyle(col, row, fresh);
    return;
  }
  sheet_->CellObject(col, row)->Style().ApplyEntry(StyleOfXf(size_t(xf)), false);
}

void TExcelFileReader::SetCell(int32_t col, int32_t row, const std::string& text, bool blank,
                               bool formula, int xf) {
  ApplyXf(col, row, xf);
  SetCellText(col, row, text, blank, formula);
}

void TExcelFileReader::SetCellText(int32_t col, int32_t row, const std::string& text, bool blank,
                                   bool formula) {
  // The cell object lives on the stack: one per cell of the file.
  if (formula && text.find("#REF!") != std::string::npos) {
    workbook::TSSCellObject(*sheet_, col, row).SetTextEx("#REF!", false, false);
    return;
  }
  if (!text.empty() || blank)
    workbook::TSSCellObject(*sheet_, col, row).SetTextEx(text, formula, false);
}

void TExcelFileReader::SetTextCell(int32_t col, int32_t row, const std::string& text, int xf) {
  ApplyXf(col, row, xf);
  // The file says text: it stays text, however much it looks like a number or a date.
  if (!text.empty()) sheet_->Storage().StoreLiteralText(col, row, text);
}

void TExcelFileReader::SetNumber(int32_t col, int32_t row, double value, int xf) {
  if (!std::isfinite(value)) {
    // No number cell can hold it: its text, as the user would have typed it.
    SetCell(col, row, ShortestNumberText(value), false, false, xf);
    return;
  }
  // A number in the file stays a number cell with its exact value (its text is derived).
  ApplyXf(col, row, xf);
  sheet_->Storage().StoreCellValue(col, row, value);
}

std::string TExcelFileReader::FormulaText(int32_t col, int32_t row,
                                          const std::vector<uint8_t>& tokens) {
  std::string text;
  formulaReader_.TokensToText(col, row, text,
                              static_cast<uint16_t>(std::min<size_t>(tokens.size(), 0xFFFF)),
                              tokens.data());
  if (formulaReader_.UnknownFunctionMet()) unknownFunction_ = true;
  return text;
}

std::vector<std::string> TExcelFileReader::Warnings() const {
  std::vector<std::string> warnings;
  if (unknownCells_ == 0) return warnings;
  std::string text = std::to_string(unknownCells_) +
                     (unknownCells_ == 1 ? " formula uses" : " formulas use") +
                     " functions this program does not know and keep the values stored in the "
                     "file: ";
  for (size_t i = 0; i < unknownRefs_.size(); ++i) text += (i ? ", " : "") + unknownRefs_[i];
  if (unknownCells_ > unknownRefs_.size()) text += ", ...";
  warnings.push_back(std::move(text));
  return warnings;
}

bool TExcelFileReader::KeepStoredResult(int32_t col, int32_t row,
                                        const FormulaResultBytes& result) {
  if (!formulaReader_.UnknownFunctionMet()) return false;
  constexpr size_t kNamedCells = 5;
  ++unknownCells_;
  if (unknownRefs_.size() < kNamedCells)
    unknownRefs_.push_back(workbook::SheetPrefix(sheet_->Caption()) +
                           workbook::PointToCellName({col, row}));
  workbook::TSSDataStorage& storage = sheet_->Storage();
  if (result[6] != 0xFF || result[7] != 0xFF) {
    double value = 0;
    std::memcpy(&value, result.data(), sizeof value);
    if (std::isfinite(value))
      storage.StoreCellValue(col, row, value);
    else
      storage.StoreCellText(col, row, false, false, ShortestNumberText(value));
    return true;
  }
  switch (result[0]) {
    case 0:  // a text, in the STRING record that follows
      pendingStringSheet_ = sheetIndex_;
      pendingStringCol_ = col;
      pendingStringRow_ = row;
      break;
    case 1:
      storage.StoreCellText(col, row, false, false, workbook::BooleanText(result[2] != 0));
      break;
    case 2:
      storage.StoreCellText(col, row, false, false, workbook::ErrorText(result[2]));
      break;
    default:  // an empty text
      break;
  }
  return true;
}

void TExcelFileReader::SetFormulaCell(int32_t col, int32_t row, const std::vector<uint8_t>& tokens,
                                      int xf, const FormulaResultBytes& result) {
  workbook::FormulaEngine* formulas = book_.FormulaCache();
  std::string& key = reuseKey_;
  if (!formulas || !FormulaReuseKey(tokens, col, row, key)) key.clear();
  ApplyXf(col, row, xf);
  if (!key.empty()) {
    // Relative references are distances in the compiled tokens: they fit this cell unchanged.
    const auto it = compiled_.find(key);
    if (it != compiled_.end() &&
        formulas->PasteFormula(sheet_->Storage(), col, row, it->second.tokens, it->second.count, 0,
                               0) == workbook::FormulaEngine::PasteResult::Pasted)
      return;
  }
  const std::string text = FormulaText(col, row, tokens);
  if (KeepStoredResult(col, row, result)) return;
  SetCellText(col, row, text, false, true);
  if (!key.empty()) RememberCompiled(key, col, row);
}

void TExcelFileReader::RememberCompiled(std::string key, int32_t col, int32_t row) {
  // Only a formula that compiled is worth remembering; one kept as text (it did not compile,
  // or it reads "#REF!") goes the whole way at every cell.
  const workbook::TSSCellRec rec = sheet_->Storage().CellRec(col, row);
  if (rec.DataType != workbook::kCellFormula || rec.Formula == nullptr) return;
  CompiledFormula compiled;
  compiled.tokens = book_.FormulaCache()->FormulaTokenBytes(rec.Formula, compiled.count);
  if (compiled.count == 0) return;
  if (compiled_.size() >= kMaxCompiledPatterns) compiled_.clear();
  compiled_.emplace(std::move(key), std::move(compiled));
}

void TExcelFileReader::OnFormula(RecordReader& r) {
  FormulaRecord& f = formulaRecord_;
  FormulaRecord::Read(r, f);
  pendingStringSheet_ = -1;
  // A cell that shares a SHRFMLA or ARRAY formula (its only token is ptgExp) waits for it.
  if (!f.tokens.empty() && f.tokens[0] == 0x01) {
    sharedCells_[{sheetIndex_, f.cell.row, f.cell.column}] = f.result;
    const std::string text = FormulaText(f.cell.column, f.cell.row, f.tokens);
    ApplyXf(f.cell.column, f.cell.row, f.cell.xf);
    if (!KeepStoredResult(f.cell.column, f.cell.row, f.result))
      SetCellText(f.cell.column, f.cell.row, text, false, true);
    return;
  }
  SetFormulaCell(f.cell.column, f.cell.row, f.tokens, f.cell.xf, f.result);
}

void TExcelFileReader::OnSharedOrArray(RecordReader& r, bool shared) {
  uint16_t firstRow, lastRow;
  uint8_t firstCol, lastCol;
  std::vector<uint8_t> tokens;
  if (shared) {
    SharedFormulaRecord s = SharedFormulaRecord::Read(r);
    firstRow = s.firstRow, lastRow = s.lastRow, firstCol = s.firstColumn, lastCol = s.lastColumn;
    tokens = std::move(s.tokens);
  } else {
    ArrayRecord a = ArrayRecord::Read(r);
    firstRow = a.firstRow, lastRow = a.lastRow, firstCol = a.firstColumn, lastCol = a.lastColumn;
    tokens = std::move(a.tokens);
  }
  // Only the cells whose FORMULA record pointed here get the formula: a range in the file
  // may be far larger than the cells that use it, and a hostile one would fill a whole sheet.
  auto it = sharedCells_.lower_bound({sheetIndex_, firstRow, 0});
  while (it != sharedCells_.end() && std::get<0>(it->first) == sheetIndex_ &&
         std::get<1>(it->first) <= lastRow) {
    const auto [sheet, row, col] = it->first;
    if (col < firstCol || col > lastCol) {
      ++it;
      continue;
    }
    const FormulaResultBytes result = it->second;
    it = sharedCells_.erase(it);
    // The cell keeps the style its FORMULA record gave it.
    if (shared) {
      SetFormulaCell(col, row, tokens, -1, result);
      continue;
    }
    // An array formula's text is set as if typed.
    const std::string text = FormulaText(col, row, tokens);
    if (KeepStoredResult(col, row, result)) continue;
    if (!text.empty()) sheet_->CellObject(col, row)->SetText(text);
  }
}

void TExcelFileReader::OnName(RecordReader& r) {
  NameRecord n = NameRecord::Read(r);
  const std::string text = ToSystemText(n.name);
  nameTexts_.push_back(text);
  if (n.tokens.empty() || n.options != 0) return;
  ParsedFormula parsed = ParseFileTokens(n.tokens);
  if (parsed.tokens.empty()) return;
  const FileToken& t = parsed.tokens.front();
  workbook::DefinedNameRecord name;
  name.Name = text;
  name.Sheet = sheetIndex_ < 0 ? 255 : static_cast<uint8_t>(sheetIndex_);
  const uint8_t base = t.base;
  auto externSheet = [this](uint16_t index) -> uint8_t {
    return index < externFirst_.size() ? static_cast<uint8_t>(externFirst_[index]) : 255;
  };
  if (base == 0x24) {
    name.Rect = {t.column & 0x3FFF, t.row, t.column & 0x3FFF, t.row};
  } else if (base == 0x25) {
    name.Rect = {t.column & 0x3FFF, t.row, t.lastColumn & 0x3FFF, t.lastRow};
  } else if (base == 0x3A) {
    name.Sheet = externSheet(t.externSheet);
    name.Rect = {t.column & 0x3FFF, t.row, t.column & 0x3FFF, t.row};
  } else if (base == 0x3B) {
    name.Sheet = externSheet(t.externSheet);
    name.Rect = {t.column & 0x3FFF, t.row, t.lastColumn & 0x3FFF, t.lastRow};
  } else {
    return;
  }
  AddBookName(book_, name);
}

void TExcelFileReader::OnColInfo(RecordReader& r) {
  ColInfoRecord c = ColInfoRecord::Read(r);
  bool locked = true;
  if (c.xf < xfs_.size()) locked = (StyleOfXf(c.xf).Flags & workbook::kStyleLocked) != 0;
  const int size = std::clamp(ColInfoWidthToPixels(c.width, scale_), 0, 0xFFFF);
  // Columns beyond the format's 256 are not addressed; a hostile range stops there.
  for (int32_t col = c.firstColumn; col <= std::min<int32_t>(c.lastColumn, 255); ++col) {
    workbook::TSSHeader& h = sheet_->ColumnHeader();
    h.SetSize(col, size);
    h.SetProtectionLocked(col, locked);
    h.SetVisible(col, !(c.options & ColInfoRecord::kHidden));
  }
}

void TExcelFileReader::OnRow(RecordReader& r) {
  RowRecord row = RowRecord::Read(r);
  workbook::TSSHeader& h = sheet_->RowHeader();
  const bool hidden = row.options & RowRecord::kHidden;
  if (!(row.height & 0x8000) || hidden) {
    h.SetSize(row.row, std::clamp(RowHeightToPixels(row.height & 0x7FFF, scale_), 0, 0xFFFF));
  }
  h.SetProtectionLocked(row.row, false);
  h.SetVisible(row.row, !hidden);
}

void TExcelFileReader::OnWindow2(RecordReader& r) {
  Window2Record w = Window2Record::Read(r);
  sheet_->ShowFormulas = w.options & Window2Record::kShowFormulas;
  sheet_->ShowHeaders = true;
  sheet_->ShowGrid = w.options & Window2Record::kShowGrid;
  sheet_->SetSelection(workbook::TRect{0, 0, 0, 0});
}

std::optional<FormulaFunctionInfo> TExcelFileReader::Function(uint16_t number) const {
  const formulas::TFuncDefinition* def = formulas::FindFunctionByNumber(number);
  if (!def) return std::nullopt;
  return FormulaFunctionInfo{std::string(def->Name), def->FixedArgs};
}

std::string TExcelFileReader::ColumnCaption(int32_t column) const {
  return workbook::TSSUtils::ColumnCaption(column);
}

std::string TExcelFileReader::NumberText(double value) const { return ShortestNumberText(value); }

std::string TExcelFileReader::ErrorText(uint8_t code) const { return workbook::ErrorText(code); }

void TExcelFileReader::ReportInvalidName(const std::string&) {
  // Loading records formula problems silently; the name shows as its message text.
}

}  // namespace xls
