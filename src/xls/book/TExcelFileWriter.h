#pragma once
// Writes a book as a binary workbook file: the globals and one record list per sheet are
// collected in memory (cells already laid out as stream bytes), then the "Workbook" stream
// is written straight into a compound document (stream positions of the sheets filled into
// their BOUNDSHEET records), piece by piece, never held whole a second time.
//
// XF indexes: 0-16 are the fixed default XFs (15 the default cell format); every distinct
// style of the book gets the next index from 17 on, the default style's own XF first. Fonts:
// 0-3 the fixed Arial fonts, index 4 does not exist in the format, written fonts from 5 on.
//
// Limits of the format: 256 columns, 65536 rows. Cells, merged areas, column and row entries
// beyond them cannot be stored; they are left out and each sheet that lost something adds a
// line to Warnings(), so the caller can tell the user instead of losing data without a word.
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "workbook/SSStyleTypes.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/WorkbookStream.h"
#include "xls/compound/ByteSource.h"
#include "xls/compound/CompoundWriter.h"

namespace workbook {
class TCustomSpreadSheetBook;
class TSSBookSheet;
}  // namespace workbook

namespace xls {

class TExcelFileWriter {
 public:
  static constexpr int32_t kMaxColumns = 256;
  static constexpr int32_t kMaxRows = 65536;

  // `scale`: screen pixels per inch / 96, the same as the reader's.
  explicit TExcelFileWriter(double scale = 1.0);

  // Collects the whole book; progress 0..100 goes to onProgress when set.
  void AddBook(workbook::TCustomSpreadSheetBook& book);
  // The compound document with the "Workbook" stream, in memory, to a sink or to a file
  // (replaced only once the new one is complete, see WriteCompoundFile). Throws
  // EExcelDataWriter when there is nothing to write. One of them may be called, once.
  std::vector<uint8_t> SaveToBytes();
  void SaveToStream(ByteSink& sink);
  void SaveToFile(const std::string& path);

  const std::vector<std::string>& Warnings() const { return warnings_; }
  std::function<void(int)> OnProgress;

 private:
  void AddSheet(workbook::TCustomSpreadSheetBook& book, workbook::TSSBookSheet& sheet,
                size_t index);
  void AddCells(workbook::TSSBookSheet& sheet, RecordWriter& cells, size_t& lost, bool formulas,
                uint16_t& endCol, uint32_t& endRow);
  // Completes the globals; returns the "Workbook" stream to be written by the container.
  CompoundStream FinishStream();
  uint16_t FontIndex(const workbook::TSSFontRec* font);
  uint16_t XfIndex(const workbook::StyleEntry* style);
  RecordBuilder MakeXf(const workbook::StyleEntry& style, bool invertLocked);

  double scale_;
  WorkbookStreamBuilder builder_;
  std::vector<RecordBuilder> fontRecords_;
  std::vector<const workbook::TSSFontRec*> fonts_;
  std::vector<RecordBuilder> xfRecords_;  // from index 17 on
  std::map<const workbook::StyleEntry*, uint16_t> xfOf_;
  uint16_t defaultXf_ = 15;
  bool defaultLocked_ = true;
  XfRecord defaultCellXf_;
  std::vector<RecordBuilder> names_;
  std::vector<std::string> warnings_;
  std::vector<uint32_t> palette_;
  bool bookProtected_ = false;
  bool added_ = false;
  bool saved_ = false;
  size_t droppedFormulas_ = 0;  // of the sheet being added
};

}  // namespace xls
