#include "plugin/ViewActions.h"

#include "plugin/ActionSupport.h"
#include "plugin/HostLink.h"
#include "plugin/TextConventions.h"

namespace plugin {

namespace {

// Exactly "1" switches on; every other text, empty included, switches off.
bool SwitchOn(const ActionParams& params) { return params.at(1) == "1"; }

template <typename Apply>
bool Switch(AttachedSpread& window, const ActionParams& params, Apply apply) {
  TNeoSpread& spread = SpreadOf(window);
  apply(spread, SwitchOn(params));
  ViewChanged(spread);
  return true;
}

struct ColorRule {
  const char* defaultText;
  ColorValue fallback;
};

constexpr ColorRule kHeaderColor{"192192192", MakeColor(236, 233, 216)};
constexpr ColorRule kSelectionColor{"049106197", MakeColor(49, 106, 197)};
constexpr ColorRule kGridColor{"236233216", MakeColor(255, 255, 255)};
constexpr ColorRule kBackgroundColor{"255255255", MakeColor(255, 255, 255)};

template <typename Assign>
bool SetColor(AttachedSpread& window, const ActionParams& params, const ColorRule& rule,
              Assign assign) {
  TNeoSpread& spread = SpreadOf(window);
  ColorValue color = ParseColorString(params.at(1), rule.defaultText, rule.fallback);
  assign(spread.Book(), static_cast<workbook::ColorValue>(color));
  ViewChanged(spread);
  return true;
}

}  // namespace

bool ToolBarAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.cbMain->SetVisible(on); });
}

bool ShowHeadersAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetShowHeaders(on); });
}

bool ShowGridLinesAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetShowGrid(on); });
}

bool ShowCaptionBarAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().ShowCaptionBar = on; });
}

bool ShowScrollBarAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) {
    s.Book().ScrollBars = on ? view::TScrollBars::sbsBoth : view::TScrollBars::sbsNone;
  });
}

bool SetStyleAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetR1C1ReferenceStyle(on); });
}

bool StatusBarAction(AttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.panel->SetVisible(on); });
}

bool SetHeaderColorAction(AttachedSpread& window, const ActionParams& params) {
  return SetColor(window, params, kHeaderColor,
                  [](view::TSpreadSheetBook& b, workbook::ColorValue c) { b.HeaderColor = c; });
}

bool SetSelectionColorAction(AttachedSpread& window, const ActionParams& params) {
  return SetColor(window, params, kSelectionColor,
                  [](view::TSpreadSheetBook& b, workbook::ColorValue c) { b.SelectionColor = c; });
}

bool SetGridLinesColorAction(AttachedSpread& window, const ActionParams& params) {
  return SetColor(window, params, kGridColor,
                  [](view::TSpreadSheetBook& b, workbook::ColorValue c) { b.GridColor = c; });
}

bool SetBGColorAction(AttachedSpread& window, const ActionParams& params) {
  return SetColor(window, params, kBackgroundColor,
                  [](view::TSpreadSheetBook& b, workbook::ColorValue c) { b.BackgroundColor = c; });
}

bool PickColorAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  // A second dialog over the first would leave the first one's caller without its answer.
  if (InModal(spread)) throw ParameterError("a dialog of this window is already open");
  // Whatever the author did, the dialog's current colour is the answer (black at first).
  spread.RunColorDialog();
  const ui::Color c = spread.ColorDialog().color;
  SetHostVariable(AuthorVariable(params.at(0), params.at(1)),
                  FormatColorString(MakeColor(c.r, c.g, c.b)));
  return true;
}

}  // namespace plugin
