#pragma once
// A model book that creates its first sheet ("Sheet1") as the published book of the view
// does: what programs and tests without a screen (the tools, the file and formula layers'
// tests) work with.
#include "workbook/TCustomSpreadSheetBook.h"

namespace workbook {

class Workbook : public TCustomSpreadSheetBook {
 public:
  Workbook() { AddFirstSheet(); }
};

}  // namespace workbook
