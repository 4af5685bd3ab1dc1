#pragma once
// The seam to the workbook file reader: the book drives a load through this interface and
// the reader fills the book through ISpreadSheetBook / IBookSheet.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace workbook {

class ISpreadSheetBook;

class WorkbookReader {
 public:
  virtual ~WorkbookReader() = default;
  // The stream holds a workbook this reader understands.
  virtual bool IsWorkbook() = 0;
  // Fills the book; progress receives 0..100.
  virtual void Read(ISpreadSheetBook& book, const std::function<void(uint8_t)>& progress) = 0;
  // What the load could not take over as it is, one line each, for the user (a formula using
  // a function the engine does not know keeps the result the file stored). The load succeeds.
  virtual std::vector<std::string> Warnings() const = 0;
};

}  // namespace workbook
