#pragma once
// Reads a binary workbook file into a book: the records of the compound document's "Workbook"
// stream are read through a window (never the whole stream at once) and walked once, creating
// sheets and setting cells, styles, sizes, merged areas, names, protection and the palette.
// Formula records become formula text (TFormulaReader) that the book's formula cache parses
// and recalculates; the results stored in the file are not used.
//
// Protocol: AssignStream (false: not a workbook; nothing in the book was touched), then
// OpenStream (throws XlsError on a broken or encrypted stream; the book is then partly
// filled). The book's load procedure (BookFiles) clears the book between the two.
//
// Substreams: the first BOF is the globals; every later BOF either stands at the position a
// BOUNDSHEET named for a worksheet (then that sheet becomes current) or starts a substream of
// another kind (chart, macro sheet), whose records are passed over up to its EOF.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "workbook/SSStyleTypes.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/StyleMapping.h"
#include "xls/compound/ByteSource.h"
#include "xls/compound/CompoundReader.h"
#include "xls/formula/TFormulaReader.h"

namespace workbook {
class TCustomSpreadSheetBook;
class TSSBookSheet;
}  // namespace workbook

namespace xls {

// The 8 result bytes of a FORMULA record.
using FormulaResultBytes = std::array<uint8_t, 8>;

class TExcelFileReader : public FormulaTextSource {
 public:
  // `scale`: screen pixels per inch / 96, applied to column widths and row heights.
  explicit TExcelFileReader(workbook::TCustomSpreadSheetBook& book, double scale = 1.0);
  ~TExcelFileReader() override;

  bool AssignStream(ByteSource& source);
  void OpenStream();

  bool UnknownFunction() const { return unknownFunction_; }
  // What the load could not take over as it is, for the user: one line for the formula cells
  // whose functions the engine does not know (they keep the results the file stored).
  std::vector<std::string> Warnings() const;
  // Called with 0..100 when the percentage of the stream read changes.
  std::function<void(int)> OnProgress;

  // FormulaTextSource
  size_t NameCount() const override { return nameTexts_.size(); }
  std::string NameText(size_t index) const override { return nameTexts_.at(index); }
  size_t ExternSheetCount() const override { return externFirst_.size(); }
  uint16_t ExternSheetFirst(size_t index) const override { return externFirst_.at(index); }
  size_t SheetCount() const override { return sheetNames_.size(); }
  std::string SheetName(size_t index) const override { return sheetNames_.at(index); }
  std::optional<FormulaFunctionInfo> Function(uint16_t number) const override;
  std::string ColumnCaption(int32_t column) const override;
  std::string NumberText(double value) const override;
  std::string ErrorText(uint8_t code) const override;
  void ReportInvalidName(const std::string& message) override;

 private:
  struct SheetEntry {
    uint32_t position = 0;
    int bookIndex = -1;  // -1: not a worksheet (chart, macro, module)
  };

  void Dispatch(RecordReader& r);
  void OnBof(RecordReader& r);
  void OnBoundSheet(RecordReader& r);
  void OnFont(RecordReader& r);
  void OnXf(RecordReader& r);
  void OnName(RecordReader& r);
  void OnFormula(RecordReader& r);
  void OnSharedOrArray(RecordReader& r, bool shared);
  void OnColInfo(RecordReader& r);
  void OnRow(RecordReader& r);
  void OnWindow2(RecordReader& r);
  void SetCell(int32_t col, int32_t row, const std::string& text, bool blank, bool formula, int xf);
  // A text record's cell: a literal text (workbook::kCellLiteralText), no entry rules.
  void SetTextCell(int32_t col, int32_t row, const std::string& text, int xf);
  // SetCell without the style: the text as the cell's content.
  void SetCellText(int32_t col, int32_t row, const std::string& text, bool blank, bool formula);
  // A formula cell from its file tokens; a pattern met before is not compiled again.
  void SetFormulaCell(int32_t col, int32_t row, const std::vector<uint8_t>& tokens, int xf,
                      const FormulaResultBytes& result);
  // After FormulaText: when the formula used an unknown function, the cell takes the result
  // the file stored instead (a number, a boolean, an error, or a text that the next STRING
  // record holds) and true is returned.
  bool KeepStoredResult(int32_t col, int32_t row, const FormulaResultBytes& result);
  void RememberCompiled(std::string key, int32_t col, int32_t row);
  void SetNumber(int32_t col, int32_t row, double value, int xf);
  // The cell takes over the style of an XF (no index, or one beyond those read: nothing).
  void ApplyXf(int32_t col, int32_t row, int xf);
  workbook::StyleEntry* FreshCellStyle(size_t xf);
  void ReleaseFreshStyles();
  std::string FormulaText(int32_t col, int32_t row, const std::vector<uint8_t>& tokens);
  const workbook::StyleEntry& StyleOfXf(size_t index);
  uint16_t FormatCodeOf(uint16_t fileIndex) const;
  void Progress(uint32_t offset);
  void ReleaseStream();

  workbook::TCustomSpreadSheetBook& book_;
  double scale_;
  // The container and its "Workbook" stream, from AssignStream to the end of OpenStream. The
  // stream is read through the record reader's window, never whole.
  std::unique_ptr<CompoundReader> container_;
  std::unique_ptr<CompoundStreamSource> stream_;
  uint32_t streamSize_ = 0;
  TFormulaReader formulaReader_;
  workbook::TSSBookSheet* sheet_ = nullptr;
  int sheetIndex_ = -1;
  bool inGlobals_ = false;
  bool seenFirstBof_ = false;
  bool skippingSubstream_ = false;
  std::vector<SheetEntry> sheets_;
  std::vector<std::string> sheetNames_;
  std::vector<std::u16string> sharedStrings_;
  std::vector<uint16_t> externFirst_;
  std::vector<std::string> nameTexts_;
  std::vector<FontStyle> fonts_;
  std::vector<XfRecord> xfs_;
  // Style entries made from the XFs on first use; fonts point into the book's style cache.
  std::vector<std::optional<workbook::StyleEntry>> xfStyles_;
  // Per XF, the cache entry a cell with the default style ends on when it takes the XF over,
  // made on first use; the reader holds one reference to each until it is done.
  std::vector<workbook::StyleEntry*> freshStyles_;
  std::vector<std::pair<uint16_t, std::string>> formats_;
  bool unknownFunction_ = false;
  // Compiled tokens of the formula patterns met so far, by FormulaReuseKey.
  struct CompiledFormula {
    std::string tokens;
    uint16_t count = 0;
  };
  std::unordered_map<std::string, CompiledFormula> compiled_;
  std::string reuseKey_;  // the key of the formula cell being read, its memory kept
  // (sheet, row, column) of formula cells waiting for their shared or array formula, with the
  // result their FORMULA record stored.
  std::map<std::tuple<int, int32_t, int32_t>, FormulaResultBytes> sharedCells_;
  // Formula cells that use a function the engine does not know keep the file's result.
  size_t unknownCells_ = 0;
  std::vector<std::string> unknownRefs_;  // the first few of them, as Sheet!A1
  // The cell whose text result the next STRING record holds (sheet -1: none).
  int pendingStringSheet_ = -1;
  int32_t pendingStringCol_ = 0;
  int32_t pendingStringRow_ = 0;
  int lastProgress_ = -1;
  uint32_t nextProgressOffset_ = 0;  // the first record offset that may give a new percent
  FormulaRecord formulaRecord_;      // every FORMULA record is read into this one
};

}  // namespace xls
