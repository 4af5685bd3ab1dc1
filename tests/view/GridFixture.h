#pragma once
// A book in a form with a workbook control measured by fixed metrics: every character 7
// pixels wide, every line 16 pixels high. Columns 85 wide and rows 20 high by default;
// headers 85 wide and 20 high.
#include <memory>
#include <string>

#include "ui/Form.h"
#include "view/BookControl.h"
#include "view/TSpreadSheetBook.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

namespace viewtest {

struct Grid {
  explicit Grid(int width = 640, int height = 400) : form(0, "GridTest") {
    form.SetBounds(ui::Rect{0, 0, width, height});
    book.ScrollBars = view::TScrollBars::sbsNone;
    control = &form.Add<view::BookControl>(book);
    control->SetMeasurer(metrics);
    control->SetBounds(ui::Rect{0, 0, width, height});
  }
  workbook::TSSBookSheet& Sheet() { return *book.ActiveSheet(); }
  void Put(int32_t col, int32_t row, const std::string& text) {
    Sheet().CellObject(col, row)->SetText(text);
    control->BookChanged();
  }
  const view::CellView& Cell(int32_t col, int32_t row) {
    const view::GridLayout& l = control->Layout();
    return l.At(static_cast<size_t>(l.ColumnPosition(col)),
                static_cast<size_t>(l.RowPosition(row)));
  }

  view::FixedMeasurer metrics{7, 16};
  view::TSpreadSheetBook book;
  ui::Form form;
  view::BookControl* control = nullptr;
};

}  // namespace viewtest
