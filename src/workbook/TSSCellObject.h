#pragma once
// The accessor through which everything outside the model reads and writes one cell. It
// applies the text-entry rules and groups everything done through it into one undo step
// ("Change cells", opened on creation, closed on destruction).
#include <memory>
#include <string>

#include "workbook/TSSCellStyle.h"

namespace workbook {

class TSSBookSheet;
class TSSDataStorage;

class TSSCellObject {
 public:
  TSSCellObject(TSSBookSheet& sheet, int32_t col, int32_t row);
  ~TSSCellObject();
  TSSCellObject(const TSSCellObject&) = delete;
  TSSCellObject& operator=(const TSSCellObject&) = delete;

  // Dates and times become numbers with a date format, currency amounts become numbers in
  // text with format 8, formulas go to the formula cache, everything else is text.
  void SetText(const std::string& text) { SetTextEx(text, false, true); }
  void SetTextEx(const std::string& text, bool forceFormula, bool checkFormula);
  // Plain text, no conversions, any formula released.
  void SetRawText(const std::string& text);
  // The text exactly as a file stores it (kCellLiteralText): shown, edited, evaluated and
  // saved as text even when it reads as a number or a date.
  void SetLiteralText(const std::string& text);
  void SetDateTime(double value);
  std::string EditText() const;
  std::string ValueText() const;
  std::string DisplayText() const;
  // 0 left, 1 centre, 2 right, 3 fill, 4 justify.
  int EffectiveAlignment() const;
  TSSCellStyle& Style();
  // The other cell's edit text through SetText and its whole style.
  void Assign(TSSCellObject& other);

  int32_t Col() const { return col_; }
  int32_t Row() const { return row_; }
  TSSBookSheet& Sheet() const { return sheet_; }

 private:
  TSSDataStorage& Storage() const;
  void AfterEntry();

  TSSBookSheet& sheet_;
  int32_t col_;
  int32_t row_;
  bool groupOpen_ = false;
  std::unique_ptr<TSSCellStyle> style_;
};

}  // namespace workbook
