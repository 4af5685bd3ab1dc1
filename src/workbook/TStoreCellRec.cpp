#include "workbook/TStoreCellRec.h"

#include "workbook/TSSCellStyle.h"
#include "workbook/TSSDataStorage.h"

namespace workbook {

TStoreCellRec CaptureCell(TSSDataStorage& storage, int32_t col, int32_t row) {
  TStoreCellRec cell;
  TSSCellRec rec;
  if (storage.IsTextDerived(col, row)) {
    // Numbers keep no text of their own: capturing them needs no text either.
    rec.DataType = kCellNumber;
    rec.Value = storage.CellNumber(col, row);
    rec.Style = storage.CellStyleEntry(col, row);
    cell.DerivedText = true;
  } else {
    storage.GetCellRec(col, row, rec);
    // A formula's stored text can lag behind its entry (a sheet it names was renamed since):
    // the entry's own text is what compiles back to the same formula. A cell that keeps no
    // text of its own has the entry's text in its record already.
    if (rec.DataType == kCellFormula && rec.Formula != nullptr &&
        !storage.IsFormulaTextDerived(col, row)) {
      std::string text = storage.CellEditText(col, row);
      if (!text.empty()) rec.Text = std::move(text);
    }
  }
  cell.Text = rec.Text;
  cell.DataType = rec.DataType;
  cell.Value = rec.Value;
  cell.Style = *rec.Style;
  cell.Style.RefCount = 0;
  if (const TSSFontRec* font = rec.Style->Font) {
    cell.FontName = font->Name;
    cell.FontColor = font->Color;
    cell.FontStyle = font->Style;
    cell.FontCharset = font->Charset;
    cell.FontSize = font->Size;
  }
  cell.Style.Font = nullptr;
  return cell;
}

void RestoreCell(TSSDataStorage& storage, int32_t col, int32_t row, const TStoreCellRec& cell) {
  storage.RestoreCellContent(col, row, cell.Text, cell.DataType, cell.Value, cell.DerivedText);
  TSSFontRec font;
  font.Name = cell.FontName;
  font.Color = cell.FontColor;
  font.Style = cell.FontStyle;
  font.Charset = cell.FontCharset;
  font.Size = cell.FontSize;
  {
    TSSCellStyle style(storage, col, row);
    style.SetWholeStyle(cell.Style, font, true);
  }
  storage.Host().Listener().CellChanged(storage, col, row);
}

}  // namespace workbook
