#pragma once
// The book-building interfaces: how the workbook file reader fills a book and how the printing
// link reads one, without depending on the book's classes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "workbook/Geometry.h"
#include "workbook/SSPalette.h"
#include "workbook/SSStyleTypes.h"

namespace workbook {

class TSSCellObject;

class IBookSheet {
 public:
  virtual ~IBookSheet() = default;
  // Kind 0 columns, 1 rows: size, locked flag and visibility of one index.
  virtual void SetHeaderEntry(int kind, int32_t index, bool visible, bool locked,
                              uint16_t size) = 0;
  virtual void SetDefaultSize(int kind, uint16_t size) = 0;
  virtual void MergeCells(const TRect& rect, bool merge) = 0;
  virtual void SetCapacity(int32_t cols, int32_t rows) = 0;
  virtual void SetProtected(bool value) = 0;
  virtual void SetViewOptions(const TRect& selection, bool showFormulas, bool showHeaders,
                              bool showGrid) = 0;
  virtual std::unique_ptr<TSSCellObject> GetCell(int32_t col, int32_t row) = 0;
};

class ISpreadSheetBook {
 public:
  virtual ~ISpreadSheetBook() = default;
  virtual IBookSheet& AddSheetIntf(const std::string& caption) = 0;
  virtual void BeginUpdate() = 0;
  // A defined name for the formula cache.
  virtual void AddName(const std::string& name, const std::string& definition) = 0;
  virtual void EndUpdate() = 0;
  // Raises "Invalid page number" for a bad sheet index.
  virtual std::unique_ptr<TSSCellObject> GetCell(int sheet, int32_t col, int32_t row) = 0;
  virtual IBookSheet& GetSheet(int index) = 0;
  virtual int PageCount() const = 0;
  virtual void SetProtected(bool value) = 0;
  // Replaces entry 0 with a complete entry (its font given separately), keeping the entry's
  // identity and font record, reference count 1 plus its users.
  virtual void SetDefaultStyleEntry(const StyleEntry& entry, const TSSFontRec& font) = 0;
  virtual void SetPalette(const ColorPalette& palette) = 0;
  virtual void SetPageVisible(int index, bool visible) = 0;
};

}  // namespace workbook
