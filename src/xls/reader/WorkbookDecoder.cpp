#include "xls/reader/WorkbookDecoder.h"

#include <algorithm>
#include <cmath>

#include "xls/biff/CellRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/SizeUnits.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/biff/XlsText.h"

namespace xls {

WorkbookDecoder::WorkbookDecoder(std::span<const uint8_t> stream, IWorkbookSink& sink)
    : stream_(stream), sink_(sink), formulas_(*this) {}

void WorkbookDecoder::ReportProgress(uint32_t offset) {
  if (stream_.empty()) return;
  int percent = static_cast<int>(std::lround(offset * 100.0 / static_cast<double>(stream_.size())));
  if (percent == lastProgress_) return;
  lastProgress_ = percent;
  sink_.Progress(percent);
}

void WorkbookDecoder::Decode() {
  RecordReader r(stream_);
  bool globalsSeen = false;
  while (r.Next()) {
    ReportProgress(r.Offset());
    if (r.Id() == rec::kBof) {
      if (!globalsSeen) {
        globalsSeen = true;
        continue;
      }
      // Pass over substreams that are no sheet of the book, up to the next sheet's BOF.
      auto isSheetStart = [&](uint32_t offset) {
        return std::find(sheetPositions_.begin(), sheetPositions_.end(), offset) != sheetPositions_.end();
      };
      while (!isSheetStart(r.Offset())) {
        if (!r.Next()) {
          ReportProgress(static_cast<uint32_t>(stream_.size()));
          return;
        }
      }
      currentSheet_ = static_cast<int32_t>(
          std::find(sheetPositions_.begin(), sheetPositions_.end(), r.Offset()) - sheetPositions_.begin());
      sink_.BeginSheet(static_cast<size_t>(currentSheet_));
      continue;
    }
    Dispatch(r);
    // After the last sheet's EOF nothing more belongs to the book.
    if (r.Id() == rec::kEof && currentSheet_ + 1 >= static_cast<int32_t>(sheetPositions_.size()) &&
        currentSheet_ >= 0)
      break;
  }
  ReportProgress(static_cast<uint32_t>(stream_.size()));
}

std::string WorkbookDecoder::FormulaText(int32_t column, int32_t row, const std::vector<uint8_t>& tokens) {
  std::string text;
  formulas_.TokensToText(column, row, text, static_cast<uint16_t>(std::min<size_t>(tokens.size(), 0xFFFF)),
                         tokens.data());
  unknownFunction_ |= formulas_.UnknownFunctionMet();
  return text;
}

void WorkbookDecoder::Cell(int32_t column, int32_t row, std::string text, bool blank, bool formula,
                           int32_t xf) {
  if (currentSheet_ < 0) return;  // cells belong to sheets
  if (formula && text.find("#REF!") != std::string::npos) {
    text = "#REF!";
    formula = false;
  }
  sink_.SetCell(DecodedCell{column, row, std::move(text), blank, formula, xf});
}

void WorkbookDecoder::CheckRange(RecordReader& r, uint16_t firstRow, uint16_t lastRow, uint8_t firstColumn,
                                 uint8_t lastColumn) {
  // Every cell of the range gets its own conversion: a hostile range must not turn one record
  // into millions of them.
  int64_t cells = (int64_t{lastRow} - firstRow + 1) * (int64_t{lastColumn} - firstColumn + 1);
  if (cells > kMaxRangeCells)
    r.Fail("formula range of " + std::to_string(cells) + " cells is larger than " +
           std::to_string(kMaxRangeCells));
}

void WorkbookDecoder::Dispatch(RecordReader& r) {
  switch (r.Id()) {
    case rec::kFilePass:
      throw EXlsError("Invalid stream format");
    case rec::kBoundSheet: {
      BoundSheetRecord b = BoundSheetRecord::Read(r);
      std::string name = ToSystemText(b.name);
      sheetNames_.push_back(name);
      if (b.sheetType == 0 || b.sheetType == 1) {
        sheetPositions_.push_back(b.position);
        sink_.AddSheet(name, b.visibility == 1 || b.visibility == 2);
      }
      break;
    }
    case rec::kSst: sst_ = ReadSharedStrings(r); break;
    case rec::kExternSheet:
      for (const auto& e : ExternSheetRecord::Read(r).entries) externFirst_.push_back(e.firstSheet);
      break;
    case rec::kName: {
      NameRecord n = NameRecord::Read(r);
      std::string text = ToSystemText(n.name);
      names_.push_back(text);
      sink_.AddName(text, DecodeNameTarget(n, currentSheet_, externFirst_));
      break;
    }
    case rec::kFont: sink_.AddFont(FontRecord::Read(r)); break;
    case rec::kXf: sink_.AddXf(XfRecord::Read(r)); break;
    case rec::kFormat: {
      FormatRecord f = FormatRecord::Read(r);
      sink_.AddFormat(f.index, f.text);
      break;
    }
    case rec::kPalette: sink_.SetPalette(PaletteRecord::Read(r)); break;
    case rec::kProtect: sink_.SetProtection(currentSheet_, (r.U16() & 1) != 0); break;
    case rec::kDefColWidth: sink_.SetDefaultColumnWidth(r.U16()); break;
    case rec::kStandardWidth: sink_.SetStandardWidth(r.U16()); break;
    case rec::kDefaultRowHeight: r.U16(); sink_.SetDefaultRowHeight(r.U16()); break;
    case rec::kColInfo: sink_.SetColumns(ColInfoRecord::Read(r)); break;
    case rec::kRow: sink_.SetRow(RowRecord::Read(r)); break;
    case rec::kDimensions: sink_.SetDimensions(DimensionsRecord::Read(r)); break;
    case rec::kWindow2: sink_.SetView(Window2Record::Read(r)); break;
    case rec::kMergedCells:
      for (const auto& a : MergedCellsRecord::Read(r).areas) sink_.Merge(a);
      break;
    case rec::kNumber: {
      NumberRecord n = NumberRecord::Read(r);
      Cell(n.cell.column, n.cell.row, ShortestNumberText(n.value), false, false, n.cell.xf);
      break;
    }
    case rec::kRk: {
      RkRecord n = RkRecord::Read(r);
      Cell(n.cell.column, n.cell.row, ShortestNumberText(DecodeRk(n.rk)), false, false, n.cell.xf);
      break;
    }
    case rec::kMulRk: {
      MulRkRecord m = MulRkRecord::Read(r);
      for (size_t i = 0; i < m.cells.size(); ++i)
        Cell(static_cast<int32_t>(m.firstColumn + i), m.row, ShortestNumberText(DecodeRk(m.cells[i].rk)), false,
             false, m.cells[i].xf);
      break;
    }
    case rec::kMulBlank: {
      MulBlankRecord m = MulBlankRecord::Read(r);
      for (size_t i = 0; i < m.xfs.size(); ++i)
        Cell(static_cast<int32_t>(m.firstColumn + i), m.row, std::string(), true, false, m.xfs[i]);
      break;
    }
    case rec::kBlank: {
      BlankRecord b = BlankRecord::Read(r);
      Cell(b.cell.column, b.cell.row, std::string(), true, false, b.cell.xf);
      break;
    }
    case rec::kLabel:
    case rec::kRString: {
      LabelRecord l = LabelRecord::Read(r);
      Cell(l.cell.column, l.cell.row, ToSystemText(l.text), false, false, l.cell.xf);
      break;
    }
    case rec::kLabelSst: {
      LabelSstRecord l = LabelSstRecord::Read(r);
      Cell(l.cell.column, l.cell.row, ToSystemText(SharedString(sst_, l.index)), false, false, l.cell.xf);
      break;
    }
    case rec::kBoolErr: {
      BoolErrRecord b = BoolErrRecord::Read(r);
      std::string text = b.isError ? sink_.ErrorText(b.value) : (b.value ? "TRUE" : "FALSE");
      Cell(b.cell.column, b.cell.row, text, false, false, b.cell.xf);
      break;
    }
    case rec::kFormula: {
      FormulaRecord f = FormulaRecord::Read(r);
      std::string text = FormulaText(f.cell.column, f.cell.row, f.tokens);
      // An empty text (the cell shares a formula) leaves the cell to the SHRFMLA or ARRAY record.
      if (!text.empty()) Cell(f.cell.column, f.cell.row, std::move(text), false, true, f.cell.xf);
      break;
    }
    case rec::kArray: {
      ArrayRecord a = ArrayRecord::Read(r);
      CheckRange(r, a.firstRow, a.lastRow, a.firstColumn, a.lastColumn);
      for (int32_t row = a.firstRow; row <= a.lastRow; ++row)
        for (int32_t col = a.firstColumn; col <= a.lastColumn; ++col)
          sink_.SetArrayCell(col, row, FormulaText(col, row, a.tokens));
      break;
    }
    case rec::kShrFmla: {
      SharedFormulaRecord s = SharedFormulaRecord::Read(r);
      CheckRange(r, s.firstRow, s.lastRow, s.firstColumn, s.lastColumn);
      for (int32_t row = s.firstRow; row <= s.lastRow; ++row)
        for (int32_t col = s.firstColumn; col <= s.lastColumn; ++col)
          sink_.SetSharedFormulaCell(col, row, FormulaText(col, row, s.tokens));
      break;
    }
    default: break;
  }
}

}  // namespace xls
