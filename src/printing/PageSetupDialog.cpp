#include "printing/PageSetupDialog.h"

#include <charconv>
#include <cmath>

#include "printing/TCustomSpreadSheetReportLink.h"

namespace printing {

namespace {

using Kind = ui::DialogField::Kind;

bool ParseInt(const std::string& text, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

const char* kLengthFields[][2] = {
    {"marginLeft", "Left margin (mm)"},   {"marginTop", "Top margin (mm)"},
    {"marginRight", "Right margin (mm)"}, {"marginBottom", "Bottom margin (mm)"},
    {"header", "Header distance (mm)"},   {"footer", "Footer distance (mm)"},
};

int* LengthOf(PageSettings& s, size_t i) {
  int* fields[] = {&s.marginLeft,   &s.marginTop,      &s.marginRight,
                   &s.marginBottom, &s.headerDistance, &s.footerDistance};
  return fields[i];
}

}  // namespace

bool ParseMillimetres(const std::string& text, int& thousandths) {
  std::string t = text;
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty() || t.size() > 12) return false;
  // Digits with at most three decimals, no sign: lengths are never negative here.
  int64_t whole = 0, frac = 0;
  int decimals = 0;
  bool dot = false, digit = false;
  for (char c : t) {
    if (c == '.' && !dot) {
      dot = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    digit = true;
    if (dot) {
      if (decimals == 3) continue;  // finer than a micrometre is dropped
      frac = frac * 10 + (c - '0');
      ++decimals;
    } else {
      whole = whole * 10 + (c - '0');
    }
  }
  if (!digit) return false;
  while (decimals < 3) frac *= 10, ++decimals;
  const int64_t value = whole * 1000 + frac;
  if (value > 10000000) return false;
  thousandths = static_cast<int>(value);
  return true;
}

std::string FormatMillimetres(int thousandths) {
  std::string s = std::to_string(thousandths / 1000);
  int frac = std::abs(thousandths % 1000);
  if (frac == 0) return s;
  std::string f = std::to_string(frac + 1000).substr(1);
  while (!f.empty() && f.back() == '0') f.pop_back();
  return s + "." + f;
}

PageSetupModel::PageSetupModel(const PageSettings& settings,
                               const TCustomSpreadSheetReportLink& link)
    : settings_(settings),
      headings_(link.OptionsView() & ssovRowAndColumnHeadings),
      gridLines_(link.OptionsView() & ssovGridLines),
      onlySelected_(link.OnlySelected()) {}

ui::FieldDialog PageSetupModel::Layout() const {
  ui::FieldDialog d;
  d.caption = kCaption;
  d.buttons = {"OK", "Cancel", "Preview", "Print"};
  ui::DialogField paper{"paper", "Paper", Kind::Choice, {}, "A4"};
  size_t count = 0;
  const PaperSize* papers = PaperSizes(count);
  for (size_t i = 0; i < count; ++i) {
    paper.choices.push_back(papers[i].name);
    if (papers[i].code == settings_.paperCode) paper.value = papers[i].name;
  }
  d.fields.push_back(paper);
  d.fields.push_back(
      ui::DialogField{"orientation",
                      "Orientation",
                      Kind::Choice,
                      {"Portrait", "Landscape"},
                      settings_.orientation == Orientation::Portrait ? "Portrait" : "Landscape"});
  PageSettings s = settings_;
  for (size_t i = 0; i < std::size(kLengthFields); ++i)
    d.fields.push_back(ui::DialogField{kLengthFields[i][0],
                                       kLengthFields[i][1],
                                       Kind::Edit,
                                       {},
                                       FormatMillimetres(*LengthOf(s, i))});
  d.fields.push_back(
      ui::DialogField{"headerText", "Header (&P page, &N pages)", Kind::Edit, {}, s.headerText});
  d.fields.push_back(
      ui::DialogField{"footerText", "Footer (&P page, &N pages)", Kind::Edit, {}, s.footerText});
  d.fields.push_back(
      ui::DialogField{"scale", "Scale (%)", Kind::Edit, {}, std::to_string(s.scalePercent)});
  d.fields.push_back(ui::DialogField{
      "fitWide", "Fit to pages wide (0: off)", Kind::Edit, {}, std::to_string(s.fitPagesWide)});
  d.fields.push_back(ui::DialogField{
      "fitTall", "Fit to pages tall (0: off)", Kind::Edit, {}, std::to_string(s.fitPagesTall)});
  d.fields.push_back(ui::DialogField{
      "headings", "Row and column headings", Kind::Check, {}, headings_ ? "1" : "0"});
  d.fields.push_back(
      ui::DialogField{"gridLines", "Grid lines", Kind::Check, {}, gridLines_ ? "1" : "0"});
  d.fields.push_back(ui::DialogField{
      "onlySelected", "Only the selected cells", Kind::Check, {}, onlySelected_ ? "1" : "0"});
  d.validate = [model = *this](const ui::FieldDialog& entered) mutable {
    return model.Read(entered);
  };
  return d;
}

std::string PageSetupModel::Read(const ui::FieldDialog& d) {
  PageSettings s = settings_;
  const auto value = [&](const char* id) -> std::string {
    const ui::DialogField* f = d.Field(id);
    return f ? f->value : std::string();
  };
  size_t count = 0;
  const PaperSize* papers = PaperSizes(count);
  bool found = false;
  for (size_t i = 0; i < count; ++i)
    if (value("paper") == papers[i].name) {
      s.paperCode = papers[i].code;
      s.paperWidth = papers[i].width;
      s.paperHeight = papers[i].height;
      found = true;
    }
  if (!found) return "Unknown paper size \"" + value("paper") + "\"";
  const std::string orientation = value("orientation");
  if (orientation != "Portrait" && orientation != "Landscape")
    return "Orientation must be Portrait or Landscape";
  s.orientation = orientation == "Portrait" ? Orientation::Portrait : Orientation::Landscape;
  for (size_t i = 0; i < std::size(kLengthFields); ++i) {
    if (!ParseMillimetres(value(kLengthFields[i][0]), *LengthOf(s, i)))
      return std::string(kLengthFields[i][1]) + ": \"" + value(kLengthFields[i][0]) +
             "\" is not a length in millimetres";
  }
  s.headerText = value("headerText");
  s.footerText = value("footerText");
  if (!ParseInt(value("scale"), s.scalePercent)) return "Scale: a whole number of percent";
  if (!ParseInt(value("fitWide"), s.fitPagesWide) || !ParseInt(value("fitTall"), s.fitPagesTall))
    return "Fit to pages: a whole number of pages";
  const std::string problem = ValidatePageSettings(s);
  if (!problem.empty()) return problem;
  settings_ = s;
  headings_ = value("headings") == "1";
  gridLines_ = value("gridLines") == "1";
  onlySelected_ = value("onlySelected") == "1";
  return std::string();
}

void PageSetupModel::Apply(PageSettings& settings, TCustomSpreadSheetReportLink& link) const {
  settings = settings_;
  ReportViewOptions options = link.OptionsView();
  options =
      headings_ ? (options | ssovRowAndColumnHeadings) : (options & ~ssovRowAndColumnHeadings);
  options = gridLines_ ? (options | ssovGridLines) : (options & ~ssovGridLines);
  link.SetOptionsView(options);
  link.SetOnlySelected(onlySelected_);
}

PageSetupExit PageSetupModel::Run(PageSettings& settings, TCustomSpreadSheetReportLink& link,
                                  ui::Form* owner) {
  PageSetupModel model(settings, link);
  ui::FieldDialog dialog = model.Layout();
  const std::string exit = dialog.Execute(owner);
  if (exit == "Cancel") return PageSetupExit::Cancel;
  // The backend validated already; reading again takes the values into the model.
  if (!model.Read(dialog).empty()) return PageSetupExit::Cancel;
  model.Apply(settings, link);
  if (exit == "Preview") return PageSetupExit::Preview;
  if (exit == "Print") return PageSetupExit::Print;
  return PageSetupExit::Ok;
}

}  // namespace printing
