#include "plugin/ViewActions.h"

#include "plugin/ActionSupport.h"
#include "plugin/HostLink.h"
#include "plugin/TextConventions.h"

namespace plugin {

namespace {

// Exactly "1" switches on; every other text, empty included, switches off.
bool SwitchOn(const ActionParams& params) { return params.at(1) == "1"; }

template <typename Apply>
bool Switch(IAttachedSpread& window, const ActionParams& params, Apply apply) {
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
bool SetColor(IAttachedSpread& window, const ActionParams& params, const ColorRule& rule,
              Assign assign) {
  TNeoSpread& spread = SpreadOf(window);
  ColorValue color = ParseColorString(params.at(1), rule.defaultText, rule.fallback);
  assign(spread.Book(), static_cast<workbook::TColorValue>(color));
  ViewChanged(spread);
  return true;
}

}  // namespace

bool ToolBarAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.cbMain->SetVisible(on); });
}

bool ShowHeadersAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetShowHeaders(on); });
}

bool ShowGridLinesAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetShowGrid(on); });
}

bool ShowCaptionBarAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().ShowCaptionBar = on; });
}

bool ShowScrollBarAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) {
    s.Book().ScrollBars = on ? workbook::TScrollBars::sbsBoth : workbook::TScrollBars::sbsNone;
  });
}

bool SetStyleAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.Book().SetR1C1ReferenceStyle(on); });
}

bool StatusBarAction(IAttachedSpread& window, const ActionParams& params) {
  return Switch(window, params, [](TNeoSpread& s, bool on) { s.panel->SetVisible(on); });
}

bool SetHeaderColorAction(IAttachedSpread& window, const ActionParams& params) {
  return SetColor(
      window, params, kHeaderColor,
      [](workbook::TSpreadSheetBook& b, workbook::TColorValue c) { b.HeaderColor = c; });
}

bool SetSelectionColorAction(IAttachedSpread& window, const ActionParams& params) {
  return SetColor(
      window, params, kSelectionColor,
      [](workbook::TSpreadSheetBook& b, workbook::TColorValue c) { b.SelectionColor = c; });
}

bool SetGridLinesColorAction(IAttachedSpread& window, const ActionParams& params) {
  return SetColor(window, params, kGridColor,
                  [](workbook::TSpreadSheetBook& b, workbook::TColorValue c) { b.GridColor = c; });
}

bool SetBGColorAction(IAttachedSpread& window, const ActionParams& params) {
  return SetColor(
      window, params, kBackgroundColor,
      [](workbook::TSpreadSheetBook& b, workbook::TColorValue c) { b.BackgroundColor = c; });
}

bool PickColorAction(IAttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  // A second dialog over the first would leave the first one's caller without its answer.
  if (InModal(spread)) throw EParameterError("a dialog of this window is already open");
  // Whatever the author did, the dialog's current colour is the answer (black at first).
  spread.RunColorDialog();
  const ui::Color c = spread.ColorDialog().color;
  SetHostVariable(AuthorVariable(params.at(0), params.at(1)),
                  FormatColorString(MakeColor(c.r, c.g, c.b)));
  return true;
}

}  // namespace plugin
