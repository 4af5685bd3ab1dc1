#include "dialogs/TSSStyleDesigner.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/BorderGlyphs.h"
#include "dialogs/BorderPreview.h"
#include "dialogs/FormatCellsLayout.h"
#include "dialogs/FormatCellsLists.h"
#include "ui/BasicControls.h"
#include "ui/ColorGrid.h"
#include "ui/ComboBox.h"
#include "ui/CustomControl.h"
#include "ui/Dialogs.h"
#include "ui/Keys.h"
#include "ui/ListBox.h"
#include "ui/SystemColors.h"
#include "ui/TabControl.h"
#include "workbook/SSStyleTypes.h"

namespace dialogs {
namespace {

constexpr int kAutomaticItem = 56;  // the colour grids show the palette, then "Automatic"
constexpr int kLineCellWidth = 60;
constexpr int kLineCellHeight = 18;
constexpr int kTabWidth = 90;

const char* const kHorzItems[] = {"General", "Left", "Center", "Right", "Fill", "Justify"};
const char* const kVertItems[] = {"Top", "Center", "Bottom", "Justify"};
const char* const kFillNames[] = {"Solid",
                                  "75% gray",
                                  "50% gray",
                                  "25% gray",
                                  "12.5% gray",
                                  "6.25% gray",
                                  "Horizontal stripe",
                                  "Vertical stripe",
                                  "Reverse diagonal stripe",
                                  "Diagonal stripe",
                                  "Diagonal crosshatch",
                                  "Thick diagonal crosshatch",
                                  "Thin horizontal stripe",
                                  "Thin vertical stripe",
                                  "Thin reverse diagonal stripe",
                                  "Thin diagonal stripe",
                                  "Thin diagonal crosshatch",
                                  "Thin thick crosshatch"};

// A palette index from a colour box item; the automatic item gives the box's own automatic.
uint16_t ColorOfItem(int item, uint16_t automatic) {
  return item >= 0 && item < kAutomaticItem ? static_cast<uint16_t>(item) : automatic;
}

int ItemOfColor(uint16_t color) { return color < kAutomaticItem ? color : kAutomaticItem; }

// The dotted frame that marks the line-style chooser's cell while the chooser has the focus.
void FocusMark(ui::Canvas& canvas, const ui::Rect& r) {
  const ui::Pen dotted{ui::colors::kWindowText, 1, ui::PenStyle::Dot};
  const ui::Point corners[5] = {{r.left, r.top},
                                {r.right - 1, r.top},
                                {r.right - 1, r.bottom - 1},
                                {r.left, r.bottom - 1},
                                {r.left, r.top}};
  canvas.Polyline(corners, dotted);
}

}  // namespace

TSSStyleDesigner::TSSStyleDesigner(ui::Form* owner)
    : owner_(owner),
      model_([] {
        const LayoutItem* preview = FindLayoutItem("ppPaintBorders");
        return ui::Size{preview->width, preview->height};
      }()),
      form_(std::make_unique<ui::Form>(0, "SSStyleDesigner")),
      modal_(*form_) {
  Build();
  Wire();
}

TSSStyleDesigner::~TSSStyleDesigner() = default;

ui::Control* TSSStyleDesigner::Find(const std::string& name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second;
}

void TSSStyleDesigner::Build() {
  ui::Form& form = *form_;
  form.SetVisible(false);
  form.SetCaption("Format cells");
  form.SetBounds(ui::Rect{0, 0, kDialogWidth, kDialogHeight});
  form.SetColor(ui::colors::kButtonFace);
  form.SetFont(ui::Font{"MS Sans Serif", 8});
  form.SetKeyPreview(true);
  for (const LayoutItem& item : FormatCellsLayout()) {
    ui::Control* parent =
        item.page.empty() ? static_cast<ui::Control*>(&form) : Find(std::string(item.page));
    if (parent == nullptr) continue;
    const std::string name(item.name);
    const ui::Rect bounds = ui::Rect::FromSize(item.x, item.y, item.width, item.height);
    ui::Control* control = nullptr;
    switch (item.kind) {
      case ItemKind::Tabs: {
        auto& tabs = parent->Add<ui::TabControl>(name);
        tabs.SetTabWidth(kTabWidth);
        control = &tabs;
        break;
      }
      case ItemKind::Page: {
        if (parent->Kind() != ui::ControlKind::TabControl) continue;
        // The tab control places its pages itself.
        controls_[name] =
            &static_cast<ui::TabControl*>(parent)->AddPage(name, std::string(item.caption));
        continue;
      }
      case ItemKind::Label:
        control = &parent->Add<ui::Label>(name);
        break;
      case ItemKind::Button:
        control = &parent->Add<ui::Button>(name);
        break;
      case ItemKind::CheckBox:
        control = &parent->Add<ui::CheckBox>(name);
        break;
      case ItemKind::Radio:
        control = &parent->Add<ui::RadioButton>(name);
        break;
      case ItemKind::Combo:
        control = &parent->Add<ui::ComboBox>(name, ui::ComboStyle::DropDownList);
        break;
      case ItemKind::List:
        control = &parent->Add<ui::ListBox>(name);
        break;
      case ItemKind::Colors:
        control = &parent->Add<ui::ColorGrid>(name);
        break;
      case ItemKind::PaintBox:
        control = &parent->Add<ui::CustomControl>(name);
        break;
    }
    control->SetBounds(bounds);
    if (item.kind != ItemKind::Tabs && item.kind != ItemKind::PaintBox &&
        item.kind != ItemKind::Colors && item.kind != ItemKind::List)
      control->SetCaption(std::string(item.caption));
    controls_[name] = control;
  }
  static_cast<ui::Button*>(Find("btnOk"))->SetDefault(true);
  static_cast<ui::Button*>(Find("btnCancel"))->SetCancel(true);

  auto* horz = static_cast<ui::ComboBox*>(Find("cbxHorzAlign"));
  horz->SetItems({std::begin(kHorzItems), std::end(kHorzItems)});
  auto* vert = static_cast<ui::ComboBox*>(Find("cbxVertAlign"));
  vert->SetItems({std::begin(kVertItems), std::end(kVertItems)});
  auto* pattern = static_cast<ui::ComboBox*>(Find("cbxPattern"));
  pattern->SetItems({std::begin(kFillNames), std::end(kFillNames)});
  ShowPage("tbsCellStyle");
}

ui::TabControl& TSSStyleDesigner::Pages() const {
  return *static_cast<ui::TabControl*>(Find("pcFormat"));
}

void TSSStyleDesigner::ShowPage(const std::string& page) {
  Pages().SetTabIndex(Pages().IndexOfPage(page));
}

std::string TSSStyleDesigner::CurrentPage() const {
  const ui::Panel* page = Pages().Page(Pages().TabIndex());
  return page != nullptr ? page->Name() : std::string();
}

void TSSStyleDesigner::Repaint(const char* name) {
  if (ui::Control* c = Find(name)) c->Invalidate();
}

void TSSStyleDesigner::Wire() {
  form_->OnKeyDown = [this](int& key, ui::ShiftState) {
    if (key == ui::keys::kEscape) {
      key = 0;
      modal_.End(ui::DialogButton::Cancel);
    }
  };
  Find("btnOk")->OnClick = [this] { modal_.End(ui::DialogButton::Ok); };
  Find("btnCancel")->OnClick = [this] { modal_.End(ui::DialogButton::Cancel); };

  static constexpr const char* kRadios[] = {"rbGeneral", "rbNumber", "rbCurrency", "rbDateTime",
                                            "rbText"};
  for (int category = 0; category < kCategoryCount; ++category) {
    Find(kRadios[category])->OnClick = [this, category] {
      if (filling_) return;
      model_.ChooseCategory(category);
      ShowCategory();
    };
  }
  auto* list = static_cast<ui::ListBox*>(Find("lbStyleTypes"));
  list->OnChange = [this, list] {
    if (!filling_) model_.ChooseFormatItem(list->ItemIndex());
  };
  auto* horz = static_cast<ui::ComboBox*>(Find("cbxHorzAlign"));
  horz->OnChange = [this, horz] {
    if (filling_) return;
    model_.SetHorzAlign(horz->ItemIndex());
    Repaint("ppFontPaint");
  };
  auto* vert = static_cast<ui::ComboBox*>(Find("cbxVertAlign"));
  vert->OnChange = [this, vert] {
    if (filling_) return;
    model_.SetVertAlign(vert->ItemIndex());
    Repaint("ppFontPaint");
  };
  auto* wrap = static_cast<ui::CheckBox*>(Find("chxWordWrap"));
  wrap->OnClick = [this, wrap] {
    if (filling_) return;
    model_.SetWordWrap(wrap->Checked());
    Repaint("ppFontPaint");
  };

  Find("btnFont")->OnClick = [this] { PickFont(); };

  static constexpr struct {
    const char* name;
    int tag;
  } kBorderButtons[] = {
      {"btnNone", kTagNone}, {"btnOuter", kTagOutline},   {"btnInner", kTagInside},
      {"btnTop", kTagTop},   {"btnVMiddle", kTagVMiddle}, {"btnDown", kTagBottom},
      {"btnLeft", kTagLeft}, {"btnMiddle", kTagMiddle},   {"btnRight", kTagRight}};
  for (const auto& b : kBorderButtons) {
    const int tag = b.tag;
    auto* button = static_cast<ui::Button*>(Find(b.name));
    // The glyph fills the button but for its bevel and focus frame.
    button->SetGlyph(BorderGlyph(tag, std::min(button->Width(), button->Height()) - 10));
    button->OnClick = [this, tag] {
      model_.ClickBorderButton(tag);
      Repaint("ppPaintBorders");
    };
  }
  // The previews react to no key (the border preview takes clicks, and the nine border
  // buttons are its keyboard), so the focus passes them by.
  for (const char* name : {"ppPaintBorders", "ppFontPaint", "ppPattern"})
    static_cast<ui::CustomControl*>(Find(name))->SetTakesFocus(false);
  auto* preview = static_cast<ui::CustomControl*>(Find("ppPaintBorders"));
  preview->OnPaint = [this](ui::Canvas& canvas) { PaintBorderPreview(canvas, model_); };
  preview->OnMouseDown = [this](const ui::MouseEvent& e) {
    model_.ClickPreview(e.pos);
    Repaint("ppPaintBorders");
  };
  auto* chooser = static_cast<ui::CustomControl*>(Find("drwgLineStyle"));
  chooser->OnPaint = [this, chooser](ui::Canvas& canvas) {
    canvas.FillRect(ui::Rect{0, 0, chooser->Width(), chooser->Height()}, ui::Color{255, 255, 255});
    const ui::Font font{"Arial", 8};
    for (int col = 0; col < kLineChooserCols; ++col) {
      for (int row = 0; row < kLineChooserRows; ++row) {
        const ui::Rect cell = ui::Rect::FromSize(col * kLineCellWidth, row * kLineCellHeight,
                                                 kLineCellWidth, kLineCellHeight);
        const uint8_t style = LineChooserStyle(col, row);
        if (style == model_.LineStyle()) {
          canvas.FrameRect(cell, ui::Color{0, 0, 128});
          if (chooser->Focused()) FocusMark(canvas, cell.Inflate(-2));
        }
        if (style == 0) {
          ui::TextFormat centred;
          centred.horz = ui::HorzAlign::Center;
          centred.vert = ui::VertAlign::Center;
          canvas.DrawTextBlock(cell, "None", font, ui::Color{0, 0, 0}, centred);
          continue;
        }
        const int thick = LineThickness(style);
        const int y = cell.top + (cell.Height() - thick) / 2;
        canvas.DrawEdge(ui::Rect{cell.left + 5, y, cell.right - 5, y + thick},
                        static_cast<ui::LineStyle>(style), ui::Orientation::Horizontal,
                        ui::Color{0, 0, 0}, ui::Color{255, 255, 255});
      }
    }
  };
  chooser->OnEnter = [chooser] { chooser->Invalidate(); };
  chooser->OnExit = [chooser] { chooser->Invalidate(); };
  chooser->OnMouseDown = [this](const ui::MouseEvent& e) {
    model_.SetLineStyle(LineChooserStyle(e.pos.x / kLineCellWidth, e.pos.y / kLineCellHeight));
    Repaint("drwgLineStyle");
  };
  // Arrow keys move the choice over the chooser's cells, as in a grid of drawn cells.
  chooser->OnKeyDown = [this](int& key, ui::ShiftState) {
    int col = 0, row = 0;
    for (int c = 0; c < kLineChooserCols; ++c)
      for (int r = 0; r < kLineChooserRows; ++r)
        if (LineChooserStyle(c, r) == model_.LineStyle()) col = c, row = r;
    if (key == ui::keys::kLeft) {
      col = std::max(0, col - 1);
    } else if (key == ui::keys::kRight) {
      col = std::min(kLineChooserCols - 1, col + 1);
    } else if (key == ui::keys::kUp) {
      row = std::max(0, row - 1);
    } else if (key == ui::keys::kDown) {
      row = std::min(kLineChooserRows - 1, row + 1);
    } else {
      return;
    }
    key = 0;
    model_.SetLineStyle(LineChooserStyle(col, row));
    Repaint("drwgLineStyle");
  };
  auto* borderColor = static_cast<ui::ColorGrid*>(Find("cbxBorderColor"));
  borderColor->OnChange = [this, borderColor] {
    model_.SetBorderColor(ColorOfItem(borderColor->ItemIndex(), kAutomaticColor));
  };
  auto* fill = static_cast<ui::ColorGrid*>(Find("cplPatColor"));
  auto* pattern = static_cast<ui::ComboBox*>(Find("cbxPattern"));
  auto* patternColor = static_cast<ui::ColorGrid*>(Find("cbxPatternColor"));
  fill->OnChange = [this, fill] {
    if (filling_) return;
    model_.SetFillColor(ColorOfItem(fill->ItemIndex(), kAutomaticColor));
    Repaint("ppPattern");
    Repaint("ppPaintBorders");
  };
  const auto patternChanged = [this, pattern, patternColor] {
    if (filling_) return;
    model_.SetPattern(static_cast<uint8_t>(std::max(0, pattern->ItemIndex())),
                      ColorOfItem(patternColor->ItemIndex(), 0));
    Repaint("ppPattern");
    Repaint("ppPaintBorders");
  };
  pattern->OnChange = patternChanged;
  patternColor->OnChange = patternChanged;
  auto* sample = static_cast<ui::CustomControl*>(Find("ppPattern"));
  sample->OnPaint = [this, sample](ui::Canvas& canvas) {
    PaintPatternSample(canvas, ui::Size{sample->Width(), sample->Height()}, model_);
  };
  auto* fontSample = static_cast<ui::CustomControl*>(Find("ppFontPaint"));
  fontSample->OnPaint = [this, fontSample](ui::Canvas& canvas) {
    PaintFontSample(canvas, ui::Size{fontSample->Width(), fontSample->Height()}, model_);
  };
}

void TSSStyleDesigner::ShowCategory() {
  static constexpr const char* kRadios[] = {"rbGeneral", "rbNumber", "rbCurrency", "rbDateTime",
                                            "rbText"};
  const bool wasFilling = filling_;
  filling_ = true;
  for (int category = 0; category < kCategoryCount; ++category) {
    if (category == model_.Category())
      static_cast<ui::RadioButton*>(Find(kRadios[category]))->SetChecked(true);
  }
  Find("lbStyleDescription")->SetCaption(std::string(CategoryDescription(model_.Category())));
  auto* list = static_cast<ui::ListBox*>(Find("lbStyleTypes"));
  std::vector<std::string> texts;
  for (const FormatItem& item : FormatItems(model_.Category())) texts.emplace_back(item.text);
  list->SetVisible(!texts.empty());
  list->SetItems(std::move(texts));
  list->SetItemIndex(model_.FormatItemIndex());
  filling_ = wasFilling;
}

void TSSStyleDesigner::FillControls() {
  filling_ = true;
  ShowCategory();
  static_cast<ui::ComboBox*>(Find("cbxHorzAlign"))->SetItemIndex(model_.HorzAlign());
  static_cast<ui::ComboBox*>(Find("cbxVertAlign"))->SetItemIndex(model_.VertAlign());
  static_cast<ui::CheckBox*>(Find("chxWordWrap"))->SetChecked(model_.WordWrap());
  std::vector<ui::Color> colors;
  for (workbook::ColorValue c : model_.Palette()) colors.push_back(ui::Color::FromColorRef(c));
  // Each grid's automatic entry shows what automatic means there: the window text colour for
  // lines, the window colour for the fill, the first palette colour for the pattern.
  const struct {
    const char* name;
    ui::Color automatic;
    uint16_t chosen;
  } grids[] = {
      {"cbxBorderColor", ui::colors::kWindowText, model_.BorderColor()},
      {"cplPatColor", ui::colors::kWhite, model_.FillColor()},
      {"cbxPatternColor", colors.front(), model_.PatternColor()},
  };
  for (const auto& g : grids) {
    auto* grid = static_cast<ui::ColorGrid*>(Find(g.name));
    grid->SetColors(colors);
    grid->SetAutomatic("Automatic", g.automatic);
    grid->SetItemIndex(ItemOfColor(g.chosen));
  }
  static_cast<ui::ComboBox*>(Find("cbxPattern"))->SetItemIndex(model_.PatternStyle());
  Find("btnVMiddle")->SetEnabled(model_.VMiddleEnabled());
  Find("btnMiddle")->SetEnabled(model_.MiddleEnabled());
  Find("btnInner")->SetEnabled(model_.InsideEnabled());
  filling_ = false;
}

void TSSStyleDesigner::PickFont() {
  const FontChoice& current = model_.Font();
  ui::FontDialog dialog;
  dialog.name = current.name;
  dialog.size = current.size;
  dialog.bold = (current.style & workbook::kFontBold) != 0;
  dialog.italic = (current.style & workbook::kFontItalic) != 0;
  dialog.underline = (current.style & workbook::kFontUnderline) != 0;
  dialog.strikeOut = (current.style & workbook::kFontStrikeOut) != 0;
  // A system colour (the automatic font colour) is shown as black; it changes only when the
  // user picks another colour, so choosing a face alone keeps "automatic".
  const bool system = (current.color & 0x80000000u) != 0;
  const ui::Color shown = system ? ui::colors::kBlack : ui::Color::FromColorRef(current.color);
  dialog.color = shown;
  if (!dialog.Execute(form_.get())) return;
  FontChoice chosen = current;
  chosen.name = dialog.name;
  chosen.size = dialog.size;
  chosen.style = static_cast<uint8_t>((dialog.bold ? workbook::kFontBold : 0) |
                                      (dialog.italic ? workbook::kFontItalic : 0) |
                                      (dialog.underline ? workbook::kFontUnderline : 0) |
                                      (dialog.strikeOut ? workbook::kFontStrikeOut : 0));
  if (dialog.color != shown) {
    chosen.color = dialog.color.ToColorRef();
  }
  model_.SetFont(chosen);
  Repaint("ppFontPaint");
}

bool TSSStyleDesigner::Execute(const workbook::TRect& cells, workbook::TSSBookSheet* sheet) {
  if (sheet == nullptr) return false;
  model_.Load(cells, *sheet);
  FillControls();
  const bool ok = modal_.Run(owner_) == ui::DialogButton::Ok;
  if (ok) model_.Apply(*sheet);
  return ok;
}

}  // namespace dialogs
