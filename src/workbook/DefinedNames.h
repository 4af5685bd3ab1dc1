#pragma once
// The book's defined names as the workbook file reader and writer see them. The formula layer
// keeps the names in its cache; the object it installs as the book's FormulaEngine offers them
// through this interface as well (found with dynamic_cast), so the file code, which sits above
// the book, reaches them without knowing the formula layer's types. A book without it loads
// and saves workbooks without names.
#include <cstdint>
#include <string>

#include "workbook/Geometry.h"

namespace workbook {

struct DefinedNameRecord {
  std::string Name;
  uint8_t Sheet = 0;       // 255: the name belongs to no sheet
  TRect Rect{0, 0, 0, 0};  // inclusive
  bool Deleted = false;
};

class DefinedNames {
 public:
  virtual ~DefinedNames() = default;
  virtual size_t DefinedNameCount() const = 0;
  virtual DefinedNameRecord DefinedName(size_t index) const = 0;
  // Adds a name with the cache's checks; false when it was refused (a bad or duplicate name).
  virtual bool AddDefinedName(const DefinedNameRecord& name) = 0;
};

}  // namespace workbook
