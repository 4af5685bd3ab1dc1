#pragma once
// Walks a workbook stream and hands its content to a sink in the book's terms: sheets, cell
// texts (numbers as their shortest text, shared strings resolved, formulas as formula text),
// styles, sizes, merged areas, names, protection and progress. The sink is the book-level
// reader; it owns the book and the engine, and answers what formula text needs from the engine.
//
// Substreams: the globals come first; every later BOF that starts a worksheet named by a
// BOUNDSHEET begins that sheet; other substreams (charts, macro sheets without a BOUNDSHEET
// entry of type 0 or 1) are passed over record by record. Reading stops after the last sheet.
// Errors: "Invalid stream format" for an encrypted (FILEPASS) stream, the shared-string texts,
// and EXlsError for malformed records; the sink has then received everything before the fault.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/formula/DefinedNames.h"
#include "xls/formula/TFormulaReader.h"

namespace xls {

struct DecodedCell {
  int32_t column = 0;
  int32_t row = 0;
  std::string text;     // system code page
  bool blank = false;   // an empty cell that carries a style
  bool formula = false; // text is formula text from a FORMULA record
  int32_t xf = -1;      // XF index, -1 for none
};

class IWorkbookSink {
 public:
  virtual ~IWorkbookSink() = default;
  // What formula text needs from the engine (see IFormulaTextSource).
  virtual std::optional<FormulaFunctionInfo> Function(uint16_t number) const = 0;
  virtual std::string ColumnCaption(int32_t column) const = 0;
  virtual std::string NumberText(double value) const = 0;
  virtual std::string ErrorText(uint8_t code) const = 0;
  virtual void ReportInvalidName(const std::string& message) = 0;

  virtual void AddSheet(const std::string& name, bool hidden) = 0;
  virtual void BeginSheet(size_t index) = 0;
  virtual void SetCell(const DecodedCell& cell) = 0;
  // A cell of an ARRAY range (text set as typed) and of a SHRFMLA range (formula, style kept).
  virtual void SetArrayCell(int32_t column, int32_t row, const std::string& text) = 0;
  virtual void SetSharedFormulaCell(int32_t column, int32_t row, const std::string& text) = 0;
  virtual void AddFont(const FontRecord&) {}
  virtual void AddXf(const XfRecord&) {}
  virtual void AddFormat(uint16_t, const std::u16string&) {}
  virtual void SetPalette(const PaletteRecord&) {}
  // Sheet -1: the book.
  virtual void SetProtection(int32_t, bool) {}
  virtual void AddName(const std::string&, const std::optional<NameTarget>&) {}
  virtual void SetColumns(const ColInfoRecord&) {}
  virtual void SetRow(const RowRecord&) {}
  virtual void SetDefaultColumnWidth(uint16_t) {}      // DEFCOLWIDTH, characters
  virtual void SetStandardWidth(uint16_t) {}           // STANDARDWIDTH, 1/256 characters
  virtual void SetDefaultRowHeight(uint16_t) {}        // DEFAULTROWHEIGHT, twips
  virtual void Merge(const MergedArea&) {}
  virtual void SetDimensions(const DimensionsRecord&) {}
  virtual void SetView(const Window2Record&) {}
  virtual void Progress(int) {}
};

class WorkbookDecoder : private IFormulaTextSource {
 public:
  WorkbookDecoder(std::span<const uint8_t> stream, IWorkbookSink& sink);
  // Reads the whole stream. Throws as described above.
  void Decode();
  bool UnknownFunctionMet() const { return unknownFunction_; }

 private:
  // IFormulaTextSource: the file's side here, the engine's side from the sink.
  size_t NameCount() const override { return names_.size(); }
  std::string NameText(size_t i) const override { return names_[i]; }
  size_t ExternSheetCount() const override { return externFirst_.size(); }
  uint16_t ExternSheetFirst(size_t i) const override { return externFirst_[i]; }
  size_t SheetCount() const override { return sheetNames_.size(); }
  std::string SheetName(size_t i) const override { return sheetNames_[i]; }
  std::optional<FormulaFunctionInfo> Function(uint16_t n) const override { return sink_.Function(n); }
  std::string ColumnCaption(int32_t c) const override { return sink_.ColumnCaption(c); }
  std::string NumberText(double v) const override { return sink_.NumberText(v); }
  std::string ErrorText(uint8_t code) const override { return sink_.ErrorText(code); }
  void ReportInvalidName(const std::string& m) override { sink_.ReportInvalidName(m); }

  static constexpr int64_t kMaxRangeCells = 65536;
  void CheckRange(RecordReader& r, uint16_t firstRow, uint16_t lastRow, uint8_t firstColumn, uint8_t lastColumn);
  void Dispatch(RecordReader& r);
  void Cell(int32_t column, int32_t row, std::string text, bool blank, bool formula, int32_t xf);
  std::string FormulaText(int32_t column, int32_t row, const std::vector<uint8_t>& tokens);
  void ReportProgress(uint32_t offset);

  std::span<const uint8_t> stream_;
  IWorkbookSink& sink_;
  TFormulaReader formulas_;
  std::vector<std::string> sheetNames_;  // every BOUNDSHEET, all types
  std::vector<uint32_t> sheetPositions_; // BOF positions of the worksheets added, in order
  std::vector<std::u16string> sst_;
  std::vector<uint16_t> externFirst_;
  std::vector<std::string> names_;
  int32_t currentSheet_ = -1;
  bool unknownFunction_ = false;
  int lastProgress_ = -1;
};

}  // namespace xls
