#include "workbook/TSSCellObject.h"

#include <cmath>

#include "workbook/SSUtils.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"

namespace workbook {

TSSCellObject::TSSCellObject(TSSBookSheet& sheet, int32_t col, int32_t row)
    : sheet_(sheet), col_(col), row_(row) {
  groupOpen_ = sheet.Book().History().BeginGroup("Change cells") != nullptr;
}

TSSCellObject::~TSSCellObject() {
  try {
    style_.reset();  // writes a changed entry back while the group is still open
    if (groupOpen_) sheet_.Book().History().EndGroup();
  } catch (...) {
  }
}

TSSDataStorage& TSSCellObject::Storage() const { return sheet_.Storage(); }

TSSCellStyle& TSSCellObject::Style() {
  if (!style_) style_ = std::make_unique<TSSCellStyle>(Storage(), col_, row_);
  return *style_;
}

void TSSCellObject::SetTextEx(const std::string& text, bool forceFormula, bool checkFormula) {
  if (col_ < 0 || row_ < 0) return;
  const uint16_t code = Storage().CellStyleEntry(col_, row_)->Format;
  const bool general = code == 0;
  double when = 0;
  int64_t amount = 0;
  if ((general || IsDateTimeFormatCode(code)) && TextToDateTime(text, when) &&
      !IsNumberText(text)) {
    SetDateTime(when);
  } else if ((!general && !IsCurrencyFormatCode(code)) || !TextToCurrency(text, amount) ||
             IsNumberText(text)) {
    Storage().StoreCellText(col_, row_, checkFormula, forceFormula, text);
  } else {
    Storage().StoreCellTextChecked(col_, row_, NumberText(static_cast<double>(amount) / 10000));
    if (general) Style().SetFormat(8);
  }
  AfterEntry();
}

void TSSCellObject::SetRawText(const std::string& text) {
  if (col_ < 0 || row_ < 0) return;
  Storage().RestoreCellContent(col_, row_, text, kCellText, 0);
  sheet_.AutoRowHeight(row_);
}

void TSSCellObject::SetLiteralText(const std::string& text) {
  if (col_ < 0 || row_ < 0) return;
  Storage().StoreLiteralText(col_, row_, text);
  sheet_.AutoRowHeight(row_);
}

void TSSCellObject::SetDateTime(double value) {
  if (col_ < 0 || row_ < 0) return;
  Storage().StoreCellValue(col_, row_, value);
  if (Storage().CellStyleEntry(col_, row_)->Format != 0) return;
  const double whole = std::trunc(value);
  if (whole == 0)
    Style().SetFormat(21);  // a pure time
  else if (value == whole)
    Style().SetFormat(14);  // a pure date
  else
    Style().SetFormat(22);
}

void TSSCellObject::AfterEntry() {
  sheet_.AutoRowHeight(row_);
  sheet_.Book().Refresh();
}

std::string TSSCellObject::EditText() const { return Storage().CellEditText(col_, row_); }
std::string TSSCellObject::ValueText() const { return Storage().CellValueText(col_, row_); }
std::string TSSCellObject::DisplayText() const { return Storage().CellDisplayText(col_, row_); }

int TSSCellObject::EffectiveAlignment() const {
  const StyleEntry* style = Storage().CellStyleEntry(col_, row_);
  if (style->HorzAlign != haGENERAL) return style->HorzAlign - 1;
  if (style->Format == 31) return 0;
  const CellContentType type = Storage().CellDataType(col_, row_);
  if (type == kCellLiteralText) return 0;  // a text, even when it reads as a number
  const std::string value = ValueText();
  if (type == kCellNumber || IsNumberText(value)) return 2;
  if (IsBooleanText(value)) return 1;
  return 0;
}

void TSSCellObject::Assign(TSSCellObject& other) {
  if (&other == this) return;
  if (other.Storage().IsLiteralText(other.col_, other.row_))
    SetLiteralText(other.EditText());
  else
    SetText(other.EditText());
  Style().Assign(other.Style());
}

}  // namespace workbook
