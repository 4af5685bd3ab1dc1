#pragma once
// The Format Cells dialog: a form built from the layout table, driving FormatCellsModel.
// Execute loads the model from the cells, runs the form modally over its owner and, on OK,
// applies the touched groups to the sheet; it keeps nothing of the cells afterwards.
#include <map>
#include <memory>
#include <string>

#include "dialogs/FormatCellsModel.h"
#include "ui/Form.h"
#include "ui/ModalForm.h"
#include "workbook/TSSFormatDialog.h"

namespace ui {
class CheckBox;
class ComboBox;
class Control;
class Label;
class TabControl;
}  // namespace ui

namespace dialogs {

class TSSStyleDesigner : public workbook::TSSFormatDialog {
 public:
  // `owner`: the form the dialog is centred over and modal to (may be nullptr).
  explicit TSSStyleDesigner(ui::Form* owner);
  ~TSSStyleDesigner() override;

  bool Execute(const workbook::TRect& cells, workbook::TSSBookSheet* sheet) override;

  FormatCellsModel& Model() { return model_; }
  ui::Form& GetForm() { return *form_; }
  // A control of the form by its layout name (nullptr when there is none).
  ui::Control* Find(const std::string& name) const;
  // The tab control of the four pages ("pcFormat").
  ui::TabControl& Pages() const;
  // Shows one page (by name) as the program does (no event); the page shown.
  void ShowPage(const std::string& page);
  std::string CurrentPage() const;

 private:
  void Build();
  void Wire();
  void FillControls();
  void ShowCategory();
  void Repaint(const char* name);
  // The font dialog on the font group: the choice goes to the model, the sample repaints.
  void PickFont();

  ui::Form* owner_;
  FormatCellsModel model_;
  std::unique_ptr<ui::Form> form_;
  ui::ModalForm modal_;
  std::map<std::string, ui::Control*, std::less<>> controls_;
  bool filling_ = false;
};

}  // namespace dialogs
