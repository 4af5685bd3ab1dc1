#pragma once
// The workbook: an ordered list of sheets with one active sheet, the book-wide settings, the
// shared style cache, the formula cache (made by the factory of the book's services), the
// undo history and the listener that raises the public events. The book never paints; the
// view attaches through the listener and the repaint counter.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "workbook/BookServices.h"
#include "workbook/SSBookIO.h"
#include "workbook/SSBookIntf.h"
#include "workbook/SSIntf.h"
#include "workbook/SSPalette.h"
#include "workbook/TSSFormatDialog.h"
#include "workbook/TSSListener.h"
#include "workbook/TSSStyleCache.h"
#include "workbook/TSpreadSheetHistory.h"

namespace workbook {

class TSSBookSheet;
class TSSCellStyle;
class TSSCellObject;
class TSSDefaultStyle;

class TCustomSpreadSheetBook : public ISpreadSheetBook {
 public:
  // Takes the installed BookServices (formula cache, file procedures, clipboard, ...) for
  // its whole life; raises ESpreadSheetError when the program installed none, before
  // anything is built.
  TCustomSpreadSheetBook();
  ~TCustomSpreadSheetBook() override;
  TCustomSpreadSheetBook(const TCustomSpreadSheetBook&) = delete;
  TCustomSpreadSheetBook& operator=(const TCustomSpreadSheetBook&) = delete;

  BookEvents events;

  // ---- sheets
  int PageCount() const override { return static_cast<int>(sheets_.size()); }
  // Fewer: sheets go from the end (no delete event, formula cache not told), sheet 0 active.
  // More: sheets are added without caption.
  void SetPageCount(int count);
  // Raises ESpreadSheetError "Invalid page number" for a bad index. Inline: formulas reach
  // every cell they read through it.
  TSSBookSheet& Sheets(int index) const {
    if (index < 0 || index >= PageCount()) ThrowInvalidPage();
    return *sheets_[static_cast<size_t>(index)];
  }
  TSSBookSheet* ActiveSheet() const;
  int ActivePage() const { return activePage_; }
  void SetActiveSheet(int index);
  bool PageVisible(int index) const;
  void SetPageVisible(int index, bool visible) override;
  // The caption as given (no uniqueness test); none: "Sheet" + (PageCount + 1).
  TSSBookSheet& AddSheet();
  TSSBookSheet& AddSheet(const std::string& caption);
  // The first sheet of a new book: added without undo record, the book left unmodified.
  void AddFirstSheet();
  void DeleteSheet(int index);
  void ExchangeSheets(int index1, int index2);
  // Position of a sheet, -1 when it is not one of this book's.
  int IndexOfSheet(const TSSBookSheet* sheet) const;

  // ---- whole-book operations
  void ClearBook();
  void BeginUpdate() override;
  void EndUpdate() override;
  bool IsLocked() const { return listener_.IsLocked(); }
  void Recalculate();
  void Refresh();
  void Assign(const TCustomSpreadSheetBook& source);
  // The workbook file reader and writer are not part of this layer: they are the file
  // handlers of the book's services.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  // The load sequence around a reader: history cleared and stopped, book locked and marked as
  // loading, "Invalid stream format" for a stream that is no workbook, the book cleared and
  // filled, the reader's warnings kept (LoadWarnings), then row heights, sheet 0 active and
  // the history cleared again. On failure the lock, the loading flag and history recording
  // are restored; the book stays cleared or partly filled.
  void LoadFromReader(WorkbookReader& reader);
  // The warnings of the last load (empty when it took everything over): a file whose
  // formulas use functions the engine does not know loads with their stored results, and
  // says so here instead of failing.
  const std::vector<std::string>& LoadWarnings() const { return loadWarnings_; }

  // Keys with a meaning of their own (virtual-key codes): Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z,
  // Ctrl+Y, F9; then the active sheet's editing keys. True when the key was used.
  bool KeyDown(uint16_t key, bool shift, bool ctrl);

  // ---- settings
  bool AutoRecalc() const { return autoRecalc_; }
  void SetAutoRecalc(bool on);
  uint16_t DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(uint16_t width);
  uint16_t DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(uint16_t height);
  TSSDefaultStyle& DefaultStyle() { return styles_.DefaultStyle(); }
  bool ExcelProtectionStyle = true;
  // What a sheet's FormatCells opens (the window installs the Format Cells dialog); empty:
  // FormatCells does nothing.
  FormatDialogFactory FormatDialogClass;
  uint8_t Precision() const { return precision_; }
  void SetPrecision(uint8_t precision);
  bool Protected = false;
  bool R1C1ReferenceStyle() const { return r1c1_; }
  void SetR1C1ReferenceStyle(bool on);
  bool ReadOnly() const { return readOnly_; }
  // Also sets or clears the read-only flag of the default style.
  void SetReadOnly(bool readOnly);
  bool ShowFormulas() const { return showFormulas_; }
  void SetShowFormulas(bool on);
  bool ShowGrid() const { return showGrid_; }
  void SetShowGrid(bool on);
  // Stored per sheet; reads the active sheet.
  bool ShowHeaders() const;
  void SetShowHeaders(bool on);
  bool Loading() const { return loading_; }
  void SetLoading(bool loading) { loading_ = loading; }
  bool Modified() const { return listener_.modified; }
  void SetModified(bool modified) { listener_.modified = modified; }

  // ---- book-building interface
  IBookSheet& AddSheetIntf(const std::string& caption) override;
  void AddName(const std::string& name, const std::string& definition) override;
  std::unique_ptr<TSSCellObject> GetCell(int sheet, int32_t col, int32_t row) override;
  IBookSheet& GetSheet(int index) override;
  void SetProtected(bool value) override { Protected = value; }
  void SetDefaultStyleEntry(const StyleEntry& entry, const TSSFontRec& font) override;
  void SetPalette(const ColorPalette& palette) override;

  // ---- parts
  // The services taken at construction; the same for the book's whole life.
  const BookServices& Services() const { return *services_; }
  TSSStyleCache& StyleCache() { return styles_; }
  ColorPalette& Palette() { return styles_.Palette(); }
  TSpreadSheetHistory& History() { return *history_; }
  TSSListener& Listener() { return listener_; }
  FormulaEngine* FormulaCache() const { return formulas_.get(); }
  void SetFormulaCache(std::unique_ptr<FormulaEngine> cache);

 protected:
  void ActivateSheet(int index);

 private:
  [[noreturn]] static void ThrowInvalidPage();
  std::shared_ptr<const BookServices> services_;  // first: checked before anything is built
  TSSListener listener_;
  std::unique_ptr<TSpreadSheetHistory> history_;
  TSSStyleCache styles_;
  std::unique_ptr<FormulaEngine> formulas_;
  std::vector<std::unique_ptr<TSSBookSheet>> sheets_;
  std::vector<bool> pageVisible_;
  int activePage_ = 0;
  bool autoRecalc_ = true;
  uint16_t defaultColWidth_ = 85;
  uint16_t defaultRowHeight_ = 20;
  uint8_t precision_ = 2;
  bool r1c1_ = false;
  bool readOnly_ = false;
  bool showFormulas_ = false;
  bool showGrid_ = true;
  bool loading_ = false;
  std::vector<std::string> loadWarnings_;
};

}  // namespace workbook
