#pragma once
// The seam to the workbook file reader: the book drives a load through this interface and
// the reader fills the book through ISpreadSheetBook / IBookSheet.
#include <cstdint>
#include <functional>

namespace workbook {

class ISpreadSheetBook;

class WorkbookReader {
 public:
  virtual ~WorkbookReader() = default;
  // The stream holds a workbook this reader understands.
  virtual bool IsWorkbook() = 0;
  // Fills the book; progress receives 0..100.
  virtual void Read(ISpreadSheetBook& book, const std::function<void(uint8_t)>& progress) = 0;
  // The file used a worksheet function the engine does not know.
  virtual bool HasUnknownFunctions() const = 0;
};

}  // namespace workbook
