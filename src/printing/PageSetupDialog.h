#pragma once
// The page setup dialog as a model: its fields filled from the page settings and the link,
// validated so that the printable area stays positive, applied back on a confirmed exit. The
// controls come from one layout description (ui::FieldDialog) that both backends build.
#include <string>

#include "printing/PageSettings.h"
#include "ui/FieldDialog.h"

namespace printing {

class TCustomSpreadSheetReportLink;

// How the dialog was left.
enum class PageSetupExit { Cancel, Ok, Preview, Print };

class PageSetupModel {
 public:
  static constexpr const char* kCaption = "Page Setup";

  PageSetupModel(const PageSettings& settings, const TCustomSpreadSheetReportLink& link);

  // The dialog description with the current values and the validation hook.
  ui::FieldDialog Layout() const;
  // Reads the fields of a dialog; empty when they form usable settings, else why not.
  std::string Read(const ui::FieldDialog& dialog);
  // The values read last (valid only after Read returned empty).
  const PageSettings& Settings() const { return settings_; }
  bool Headings() const { return headings_; }
  bool GridLines() const { return gridLines_; }
  bool OnlySelected() const { return onlySelected_; }
  // Copies the values into the settings and the link (OptionsView and OnlySelected).
  void Apply(PageSettings& settings, TCustomSpreadSheetReportLink& link) const;

  // Runs the dialog; on OK, Preview and Print the values are applied.
  static PageSetupExit Run(PageSettings& settings, TCustomSpreadSheetReportLink& link,
                           ui::Form* owner);

 private:
  PageSettings settings_;
  bool headings_ = false;
  bool gridLines_ = false;
  bool onlySelected_ = false;
};

// A length in millimetres ("12.7", "12,7") to thousandths; false when it is no number.
bool ParseMillimetres(const std::string& text, int& thousandths);
std::string FormatMillimetres(int thousandths);

}  // namespace printing
