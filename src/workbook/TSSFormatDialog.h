#pragma once
// The book's dialog base for formatting cells: what a sheet's FormatCells opens. The model
// cannot name the dialog itself (it lives in a layer above); the program that builds the
// window installs the dialog class on the book, and the OnFormatCells event may replace it
// or veto the dialog.
#include <functional>
#include <memory>

#include "workbook/Geometry.h"

namespace workbook {

class TSSBookSheet;

class TSSFormatDialog {
 public:
  virtual ~TSSFormatDialog() = default;
  // Loads the styles of `cells` (a normalised rectangle inside the sheet), shows the dialog
  // modally and, on OK, applies what the user changed. True exactly when it ended with OK.
  virtual bool Execute(const TRect& cells, TSSBookSheet* sheet) = 0;
};

// Makes one dialog for one FormatCells call; an empty class means there is no dialog.
using FormatDialogFactory = std::function<std::unique_ptr<TSSFormatDialog>()>;

}  // namespace workbook
