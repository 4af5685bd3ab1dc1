#include "workbook/TSSDataStorage.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/Locale.h"
#include "workbook/DateTime.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSCellStyle.h"
#include "workbook/TSSStyleCache.h"

namespace workbook {

TSSDataStorage::TSSDataStorage(StorageHost& host)
    : host_(host),
      defaultStyle_(host.StyleCache().DefaultEntry()),
      colHeader_(std::make_unique<TSSHeader>(this, host.DefaultColWidth(), HeaderKind::Columns)),
      rowHeader_(std::make_unique<TSSHeader>(this, host.DefaultRowHeight(), HeaderKind::Rows)),
      merged_(std::make_unique<TSSMergedCellsStorage>(this)) {}

TSSDataStorage::~TSSDataStorage() {
  // Formula entries and style references must go back to the book even when it is torn down.
  try {
    ClearAll();
  } catch (...) {
  }
}

TSSStyleCache& TSSDataStorage::StyleCache() const { return host_.StyleCache(); }

void TSSDataStorage::FillRec(const CellSlot* slot, TSSCellRec& rec) const {
  if (!slot) {
    rec = TSSCellRec{};
    rec.Style = defaultStyle_;
    return;
  }
  rec.Style = slot->Style();
  rec.DataType = static_cast<CellContentType>(slot->Type());
  rec.Value = slot->Type() == kCellNumber ? slot->number : 0;
  rec.Formula = slot->Type() == kCellFormula ? slot->formula : nullptr;
  if (slot->DerivedText())
    rec.Text = DerivedText(slot->Type(), rec.Value, rec.Formula);
  else
    rec.Text.assign(slot->text.View());
}

std::string TSSDataStorage::DerivedText(uint8_t type, double number, FormulaHandle* formula) const {
  if (type != kCellFormula) return NumberText(number);
  FormulaEngine* formulas = host_.FormulaCache();
  return formulas && formula ? formulas->FormulaText(formula) : std::string();
}

void TSSDataStorage::GetCellRec(int32_t col, int32_t row, TSSCellRec& rec) const {
  FillRec(Slot(col, row), rec);
}

TSSCellRec TSSDataStorage::CellRec(int32_t col, int32_t row) const {
  TSSCellRec rec;
  GetCellRec(col, row, rec);
  return rec;
}

TSSDataStorage::Content TSSDataStorage::CurrentContent(int32_t col, int32_t row) const {
  Content c;
  const CellSlot* slot = Slot(col, row);
  if (!slot) {
    c.style = defaultStyle_;
    return c;
  }
  c.text = slot->text;
  c.derivedText = slot->DerivedText();
  c.style = slot->Style();
  c.type = slot->Type();
  if (slot->Type() == kCellNumber) c.number = slot->number;
  if (slot->Type() == kCellFormula) c.formula = slot->formula;
  return c;
}

bool TSSDataStorage::SameContent(const Content& a, const Content& b) const {
  if (a.style != b.style || a.type != b.type || a.number != b.number || a.formula != b.formula)
    return false;
  if (a.derivedText && b.derivedText) return true;  // same number, same derived text
  if (!a.derivedText && !b.derivedText)
    return a.text.SameBlock(b.text) || a.text.View() == b.text.View();
  const Content& derived = a.derivedText ? a : b;
  const Content& plain = a.derivedText ? b : a;
  return DerivedText(derived.type, derived.number, derived.formula) == plain.text.View();
}

void TSSDataStorage::SetCellRec(int32_t col, int32_t row, const TSSCellRec& rec) {
  Content c;
  c.text = SharedText(rec.Text);
  c.style = rec.Style ? rec.Style : defaultStyle_;
  c.type = rec.DataType;
  if (rec.DataType == kCellNumber) c.number = rec.Value;
  if (rec.DataType == kCellFormula) c.formula = rec.Formula;
  Write(col, row, std::move(c));
}

void TSSDataStorage::Write(int32_t col, int32_t row, Content content) {
  if (col < 0 || row < 0 || col >= kFarEdge || row >= kFarEdge) return;
  // An empty position holds the empty-cell template: content of another type or style
  // differs from it without a comparison (most writes of a load land there).
  if ((Slot(col, row) != nullptr ||
       (content.type == kCellText && content.style == defaultStyle_)) &&
      SameContent(CurrentContent(col, row), content))
    return;
  host_.Listener().BookModified();
  RecordChange(col, row);
  const int32_t newCols = std::max(usedCols_, col + 1);
  const int32_t newRows = std::max(usedRows_, row + 1);
  try {
    if (col >= colCapacity_) SetCapacity(col + kColumnStep, rowCapacity_);
    if (row >= rowCapacity_) SetCapacity(colCapacity_, row + kRowStep);
  } catch (const std::bad_alloc&) {
    throw ESpreadSheetError("Not enough memory for cell " + TSSUtils::ColumnCaption(col) +
                            TSSUtils::RowCaption(row));
  }
  ColumnSlot& column = columns_[static_cast<size_t>(col)];
  CellSlot*& slot = column.rows[static_cast<size_t>(row)];
  const bool asTemplate = content.type == kCellText && content.text.Empty() &&
                          !content.derivedText && content.style == defaultStyle_;
  if (asTemplate) {
    // A record equal to the empty-cell template reads exactly like no record: keep none, so
    // that clearing and undo give back memory and style references.
    if (slot) {
      FreeSlot(slot);
      slot = nullptr;
    }
    usedCols_ = newCols;
    usedRows_ = newRows;
    if (row >= column.rowsInUse) column.rowsInUse = row + 1;
    NoteChanged(col, row);
    host_.Listener().CellChanged(*this, col, row);
    return;
  }
  if (!slot) slot = pool_.Allocate();
  TSSStyleCache& styles = StyleCache();
  if (slot->Style() != content.style) {
    styles.AddRef(content.style);
    styles.Release(slot->Style());
    slot->SetStyle(content.style);
  }
  slot->text = std::move(content.text);
  slot->SetDerivedText(content.derivedText);
  slot->SetType(content.type);
  if (content.type == kCellFormula)
    slot->formula = content.formula;
  else
    slot->number = content.number;
  if (row >= column.rowsInUse) column.rowsInUse = row + 1;
  usedCols_ = newCols;
  usedRows_ = newRows;
  NoteChanged(col, row);
  host_.Listener().CellChanged(*this, col, row);
}

void TSSDataStorage::NoteChanged(int32_t col, int32_t row) {
  if (FormulaEngine* formulas = host_.FormulaCache()) formulas->CellChanged(*this, col, row);
}

void TSSDataStorage::NoteRearranged() {
  if (FormulaEngine* formulas = host_.FormulaCache()) formulas->CellsRearranged();
}

void TSSDataStorage::NoteChangedArea(const TRect& area) {
  constexpr int64_t kMaxNotedCells = int64_t{1} << 16;
  const int64_t cells = int64_t{area.Right - area.Left + 1} * (int64_t{area.Bottom} - area.Top + 1);
  if (area.Right < area.Left || area.Bottom < area.Top) return;
  if (cells > kMaxNotedCells) {
    NoteRearranged();
    return;
  }
  for (int32_t col = area.Left; col <= area.Right; ++col)
    for (int32_t row = area.Top; row <= area.Bottom; ++row) NoteChanged(col, row);
}

void TSSDataStorage::NoteShifted(const TRect& r, int mode) {
  if (mode == 0)
    NoteChangedArea(TRect{r.Left, r.Top, std::max(usedCols_, r.Right) + r.Width(), r.Bottom});
  else if (mode == 1)
    NoteChangedArea(TRect{r.Left, r.Top, r.Right, std::max(usedRows_, r.Bottom) + r.Height()});
  else
    NoteRearranged();
}

void TSSDataStorage::RecordChange(int32_t col, int32_t row) {
  if (bulk_) return;
  if (CellHistory* history = host_.History()) history->RecordCellChange(*this, col, row);
}

void TSSDataStorage::SetCapacity(int32_t cols, int32_t rows) {
  // Every column carries the full row capacity: refuse a grid that no memory could hold
  // before touching anything, rather than failing half-way or exhausting the machine.
  const int64_t newCols = std::max(cols, colCapacity_);
  const int64_t newRows = std::max(rows, rowCapacity_);
  const int64_t bytes = newCols * (static_cast<int64_t>(sizeof(ColumnSlot)) +
                                   newRows * static_cast<int64_t>(sizeof(CellSlot*)));
  constexpr int64_t kMaxGridBytes = int64_t{1} << (sizeof(void*) >= 8 ? 31 : 29);
  if (bytes > kMaxGridBytes) throw ESpreadSheetError("Not enough memory for the cell grid");
  if (rows > rowCapacity_) {
    std::vector<SlotArray> grown = SlotArray::Many(columns_.size(), static_cast<size_t>(rows));
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (rowCapacity_ > 0)
        std::memcpy(grown[c].get(), columns_[c].rows.get(),
                    sizeof(CellSlot*) * static_cast<size_t>(rowCapacity_));
      columns_[c].rows = std::move(grown[c]);
    }
    rowCapacity_ = rows;
  }
  if (cols > colCapacity_) {
    std::vector<SlotArray> added = SlotArray::Many(static_cast<size_t>(cols - colCapacity_),
                                                   static_cast<size_t>(rowCapacity_));
    columns_.resize(static_cast<size_t>(cols));
    for (int32_t c = colCapacity_; c < cols; ++c)
      columns_[static_cast<size_t>(c)].rows =
          std::move(added[static_cast<size_t>(c - colCapacity_)]);
    colCapacity_ = cols;
  }
}

void TSSDataStorage::FreeSlot(CellSlot* slot) {
  if (slot->Type() == kCellFormula && slot->formula) {
    if (FormulaEngine* formulas = host_.FormulaCache()) formulas->Remove(slot->formula);
  }
  StyleCache().Release(slot->Style());
  pool_.Free(slot);
}

void TSSDataStorage::ClearAll() {
  if (!columns_.empty()) NoteRearranged();
  for (int32_t c = 0; c < static_cast<int32_t>(columns_.size()); ++c) {
    ColumnSlot& column = columns_[static_cast<size_t>(c)];
    for (int32_t r = 0; r < rowCapacity_; ++r) {
      CellSlot*& slot = column.rows[static_cast<size_t>(r)];
      if (slot) {
        FreeSlot(slot);
        slot = nullptr;
      }
    }
  }
  columns_.clear();
  pool_.Clear();
  colCapacity_ = rowCapacity_ = 0;
  usedCols_ = usedRows_ = 0;
  merged_->ClearAreas();
}

void TSSDataStorage::RemoveFormula(int32_t col, int32_t row) {
  CellSlot* slot = Slot(col, row);
  if (!slot || slot->Type() != kCellFormula || !slot->formula) return;
  FormulaHandle* entry = slot->formula;
  // The record stops pointing at the entry before the cache frees it.
  slot->formula = nullptr;
  slot->number = 0;
  slot->SetType(kCellText);
  if (FormulaEngine* formulas = host_.FormulaCache()) formulas->Remove(entry);
}

uint16_t TSSDataStorage::FormatCode(int32_t col, int32_t row) const {
  return CellStyleEntry(col, row)->Format;
}

void TSSDataStorage::StoreCellText(int32_t col, int32_t row, bool checkFormula, bool forceFormula,
                                   std::string_view text) {
  if (col < 0 || row < 0) return;
  const uint16_t code = FormatCode(col, row);
  Content c = CurrentContent(col, row);
  FormulaHandle* oldFormula = c.type == kCellFormula ? c.formula : nullptr;
  FormulaEngine* formulas = host_.FormulaCache();
  const bool formula =
      forceFormula || (checkFormula && IsFormulaText(text) && code != kTextFormatCode);
  c.derivedText = false;
  c.type = kCellText;
  c.number = 0;
  c.formula = nullptr;
  if (formula) {
    c.text = SharedText(text);
    if (oldFormula) {
      // Keep the entry attached until the write has recorded the old content.
      c.type = kCellFormula;
      c.formula = oldFormula;
    }
    Write(col, row, std::move(c));
    RemoveFormula(col, row);
    if (formulas) formulas->SetFormula(*this, col, row);
    return;
  }
  c.text = SharedText(text);
  if (code == 9 || code == 10) {
    // A percentage typed into a percent-formatted cell is kept as its fraction.
    const size_t percent = text.find('%');
    if (percent != std::string::npos) {
      std::string rest(text);
      rest.erase(percent, 1);
      double number = 0;
      if (TextToNumber(rest, number)) c.text = SharedText(NumberText(number / 100));
    }
  }
  WriteOverFormula(col, row, std::move(c), oldFormula);
}

void TSSDataStorage::StoreCellValue(int32_t col, int32_t row, double value) {
  if (col < 0 || row < 0) return;
  const CellSlot* slot = Slot(col, row);
  Content c;
  c.style = slot ? slot->Style() : defaultStyle_;
  c.type = kCellNumber;
  c.number = value;
  c.derivedText = true;
  WriteOverFormula(col, row, std::move(c),
                   slot && slot->Type() == kCellFormula ? slot->formula : nullptr);
}

void TSSDataStorage::StoreLiteralText(int32_t col, int32_t row, std::string_view text) {
  if (col < 0 || row < 0) return;
  const CellSlot* slot = Slot(col, row);
  Content c;
  c.style = slot ? slot->Style() : defaultStyle_;
  c.type = text.empty() ? kCellText : kCellLiteralText;
  c.text = SharedText(text);
  WriteOverFormula(col, row, std::move(c),
                   slot && slot->Type() == kCellFormula ? slot->formula : nullptr);
}

void TSSDataStorage::StoreFormulaEntry(int32_t col, int32_t row, FormulaHandle* entry) {
  if (col < 0 || row < 0 || entry == nullptr) return;
  Content c;
  c.style = CellStyleEntry(col, row);
  c.type = kCellFormula;
  c.formula = entry;
  c.derivedText = true;
  Write(col, row, std::move(c));
}

void TSSDataStorage::WriteOverFormula(int32_t col, int32_t row, Content content,
                                      FormulaHandle* oldFormula) {
  if (!oldFormula) {
    Write(col, row, std::move(content));
    return;
  }
  // The undo record must see the formula the cell held, so the entry stays attached while the
  // new content is written and goes only afterwards; the record then gets its final type.
  const uint8_t type = content.type;
  const double number = content.number;
  content.type = kCellFormula;
  content.formula = oldFormula;
  Write(col, row, std::move(content));
  RemoveFormula(col, row);
  if (CellSlot* slot = Slot(col, row)) {
    slot->SetType(type);
    slot->number = number;
  }
}

void TSSDataStorage::StoreCellStyle(int32_t col, int32_t row, StyleEntry* style) {
  Content c = CurrentContent(col, row);
  c.style = style ? style : defaultStyle_;
  Write(col, row, std::move(c));
}

void TSSDataStorage::RestoreCellContent(int32_t col, int32_t row, const std::string& text,
                                        uint8_t dataType, double value, bool derivedText) {
  if (col < 0 || row < 0) return;
  if (dataType == kCellFormula) {
    StoreCellText(col, row, false, true, text);
    return;
  }
  RemoveFormula(col, row);
  Content c;
  c.style = CellStyleEntry(col, row);
  c.type = dataType == kCellNumber                         ? kCellNumber
           : dataType == kCellLiteralText && !text.empty() ? kCellLiteralText
                                                           : kCellText;
  if (c.type == kCellNumber) {
    c.number = value;
    c.derivedText = derivedText || text == NumberText(value);
  }
  if (!c.derivedText) c.text = SharedText(text);
  Write(col, row, std::move(c));
}

double TSSDataStorage::CellNumber(int32_t col, int32_t row) const {
  const CellSlot* slot = Slot(col, row);
  return slot && slot->Type() == kCellNumber ? slot->number : 0;
}

std::string TSSDataStorage::CellEditText(int32_t col, int32_t row) const {
  const TSSCellRec rec = CellRec(col, row);
  if (rec.DataType == kCellLiteralText) return rec.Text;
  const uint16_t code = rec.Style->Format;
  double number = 0;
  if (IsDateTimeFormatCode(code) && TextToNumber(rec.Text, number)) {
    const auto& locale = platform::Locale::Current();
    const std::string date = FormatDateTime(locale.shortDateFormat, number);
    if (!date.empty()) return date + " " + FormatDateTime(ShortTimePattern(), number);
  }
  if (rec.DataType == kCellFormula) {
    // The entry's text; a cell that keeps no text of its own got exactly that in its record.
    FormulaEngine* formulas = host_.FormulaCache();
    if (formulas && rec.Formula && !IsFormulaTextDerived(col, row))
      return formulas->FormulaText(rec.Formula);
    return rec.Text;
  }
  if ((code == 9 || code == 10) && TextToNumber(rec.Text, number))
    return NumberText(number * 100) + "%";
  return rec.Text;
}

std::string TSSDataStorage::CellValueText(int32_t col, int32_t row) const {
  const CellSlot* slot = Slot(col, row);
  if (!slot) return std::string();
  if (slot->Type() == kCellNumber) return NumberText(slot->number);
  if (slot->Type() == kCellFormula) {
    FormulaEngine* formulas = host_.FormulaCache();
    if (formulas && slot->formula) return formulas->FormulaDisplayText(slot->formula);
  }
  return std::string(slot->text.View());
}

std::string TSSDataStorage::CellDisplayText(int32_t col, int32_t row) const {
  const CellSlot* slot = Slot(col, row);
  const uint16_t code = FormatCode(col, row);
  const int precision = host_.Precision();
  // Numbers format from the value itself, without a detour through 15-digit text.
  if (slot && slot->Type() == kCellNumber && code != kTextFormatCode)
    return TSSUtils::FormatNumber(code, precision, slot->number);
  // A literal text shows as stored: "0001" stays "0001" whatever the format.
  if (slot && slot->Type() == kCellLiteralText) return std::string(slot->text.View());
  std::string value = CellValueText(col, row);
  if (slot && slot->Type() == kCellFormula && slot->formula) {
    // A formula's text result is shown as it is, like a literal text ("0001" from =A1).
    FormulaEngine* formulas = host_.FormulaCache();
    if (formulas) {
      const FormulaValue result = formulas->FormulaResult(slot->formula);
      if (result.kind == FormulaValue::Kind::Text && result.text == value) return value;
    }
  }
  return FormatCellText(value, code, precision);
}

std::unique_ptr<TSSCellStyle> TSSDataStorage::CellStyle(int32_t col, int32_t row) {
  return std::make_unique<TSSCellStyle>(*this, col, row);
}

TSSCellRec TSSDataStorage::CloneCellRec(const TSSCellRec& rec) {
  TSSCellRec copy = rec;
  TSSStyleCache& styles = StyleCache();
  StyleEntry* source = rec.Style ? rec.Style : defaultStyle_;
  if (styles.Owns(source)) {
    styles.AddRef(source);
    copy.Style = source;
  } else {
    copy.Style = styles.ImportEntry(*source);
  }
  if (rec.DataType == kCellFormula && rec.Formula) {
    FormulaEngine* formulas = host_.FormulaCache();
    copy.Formula = formulas ? formulas->Clone(rec.Formula, *this) : nullptr;
    if (!copy.Formula) copy.DataType = kCellText;
  }
  return copy;
}

int32_t TSSDataStorage::RowsInColumn(int32_t col) const {
  if (col < 0 || col >= usedCols_) return 0;
  return columns_[static_cast<size_t>(col)].rowsInUse;
}

}  // namespace workbook
