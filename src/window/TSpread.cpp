#include "window/TSpread.h"

#include <algorithm>

#include "dialogs/TSSStyleDesigner.h"
#include "ui/Backend.h"
#include "ui/SystemColors.h"
#include "ui/ToolbarImages.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace window {

using workbook::TRect;
using workbook::TSSBookSheet;

namespace {

constexpr int kDesignWidth = 694;
constexpr int kDesignHeight = 513;
constexpr int kCellBarHeight = 28;
// "Automatic" in the palette: the default fill and font colours follow the system.
constexpr int kAutomaticColor = 57;
constexpr uint8_t kAnsiCharset = 0;
constexpr const char* kFileFilter = "XLS|*.xls|All|*.*";
constexpr ui::Color kAqua{0, 255, 255};
constexpr ui::Color kWhite{255, 255, 255};

}  // namespace

TSpread::TSpread(uintptr_t parentWindow)
    : ui::Form(parentWindow, "TSpread"), book_(std::make_unique<view::TSpreadSheetBook>()) {
  SetBounds(ui::Rect{0, 0, kDesignWidth, kDesignHeight});
  SetColor(ui::colors::kButtonFace);
  SetFont(ui::Font{"MS Sans Serif", 8});
  SetKeyPreview(true);

  Open1.mode = ui::FileDialog::Mode::Open;
  Open1.title = "Open SpreadSheet";
  Open1.filter = kFileFilter;
  Save1.mode = ui::FileDialog::Mode::Save;
  Save1.title = "Save SpreadSheet";
  Save1.filter = kFileFilter;

  ApplyBookSettings();
  BuildCommands();
  BuildToolbars();
  BuildCellBar();
  sp1 = &Add<BookControl>(*book_);
  sp1->SetAlign(ui::Align::Client);
  sp1->SetTabStop(true);
  sp1->SetColor(kWhite);

  Printer1tPrinterLink1.SetOptionsView(0);
  Printer1 = std::make_unique<printing::TComponentPrinter>(*book_, this);
  Printer1->CurrentLink = &Printer1tPrinterLink1;
  Printer1->PreviewCaption = "Preview";

  Hot1.OnHotKeyPressed = [this](ui::Shortcut code, uint32_t id) { Hot1HotKeyPressed(code, id); };
  SubscribeBookEvents();
  WireCommands();
  WireFormatting();
  FormCreate();
}

TSpread::~TSpread() {
  BeginTeardown();
  Printer1.reset();  // closes a preview before anything it could call goes
  // Controls go before the book they show (Form's destructor would run after book_ is
  // gone otherwise only for members; children are destroyed here explicitly).
  DestroyChildren();
}

void TSpread::BeginTeardown() {
  if (tearingDown_) return;
  tearingDown_ = true;
  // No handler of this window may run against a half-destroyed window.
  book_->events = workbook::BookEvents{};
  Hot1.OnHotKeyPressed = nullptr;
  OnActivation = nullptr;
  OnForeignMessage = nullptr;
}

void TSpread::ApplyBookSettings() {
  view::TSpreadSheetBook& book = *book_;
  book.BackgroundColor = workbook::RGBColor(255, 255, 255);
  book.PainterType = view::TSSPainterType::ptXP;
  workbook::TSSDefaultStyle& style = book.DefaultStyle();
  style.Brush().SetBackgroundColor(kAutomaticColor);
  style.Brush().SetForegroundColor(kAutomaticColor);
  style.Font().SetName("Tahoma");
  style.Font().SetSize(10);
  style.Font().SetCharset(kAnsiCharset);
  // The sheets' FormatCells opens the Format Cells dialog, modal to this window.
  book.FormatDialogClass = [this] { return std::make_unique<dialogs::TSSStyleDesigner>(this); };
}

void TSpread::BuildCommands() {
  alMain = &AddCommandList("alMain");
  struct Row {
    const char* name;
    const char* caption;
    const char* hint;
    ui::Shortcut shortcut;
  };
  // The commands the toolbars and shortcuts reach; WireCommands gives them their bodies.
  static constexpr Row kRows[] = {
      {"actOpenSpreadSheet", "&Open SpreadSheet", "Open Spread Sheet", ui::kCtrlBit | 'O'},
      {"actSaveSpeadSheet", "&Save SpeadSheet", "Save Spead Sheet", ui::kCtrlBit | 'S'},
      {"actNew", "&New", "New Spread Sheet", 0},
      {"actCut", "Cu&t", "", ui::kCtrlBit | 'X'},
      {"actCopy", "&Copy", "", ui::kCtrlBit | 'C'},
      {"actPaste", "&Paste", "", ui::kCtrlBit | 'V'},
      {"actCellLeftAlign", "", "Align Left", 0},
      {"actCellCenterAlign", "", "Center", 0},
      {"actCellRightAlign", "", "Align Right", 0},
      {"actFormatCells", "Format Cells...", "", 0},
      {"actFont", "", "", 0},
      {"actFontSize", "", "", 0},
      {"actBeveledLookandFeel", "", "", 0},
      {"actBufferedpaint", "", "", 0},
      {"actShowcaptions", "", "", 0},
      {"actShowgrid", "", "", 0},
      {"actShowheaders", "", "", 0},
      {"actShowformulas", "", "", 0},
      {"actR1C1Referencestyle", "", "", 0},
      {"actAutomaticCalc", "", "", 0},
  };
  for (const Row& row : kRows) {
    ui::Command& command = alMain->Add(row.name);
    command.SetCaption(row.caption);
    command.SetHint(row.hint);
    command.SetShortcut(row.shortcut);
  }
}

void TSpread::BuildToolbars() {
  cbMain = &Add<ui::ControlBar>("cbMain");
  cbMain->SetAlign(ui::Align::Top);
  cbMain->SetAutoSize(true);

  std::vector<ui::Image> images;
  for (int i = 0; i < ui::kToolbarImageCount; ++i) {
    images.push_back(ui::ToolbarImageOf(static_cast<ui::ToolbarImage>(i)));
  }

  tbsStandart = &cbMain->Add<ui::ToolBar>("tbsStandart");
  tbsStandart->SetCaption("Standard");
  tbsStandart->SetBounds(ui::Rect{0, 0, 200, 26});
  tbsStandart->SetImages(images);
  auto addButton = [](ui::ToolBar& bar, const char* name, ui::ToolbarImage image,
                      ui::ToolButtonStyle style = ui::ToolButtonStyle::Button) -> ui::ToolButton& {
    ui::ToolButton& button = bar.AddButton(name, style);
    button.SetImageIndex(static_cast<int>(image));
    return button;
  };
  addButton(*tbsStandart, "btnOpen", ui::ToolbarImage::Open)
      .SetCommand(alMain->Find("actOpenSpreadSheet"));
  addButton(*tbsStandart, "btnSave", ui::ToolbarImage::Save)
      .SetCommand(alMain->Find("actSaveSpeadSheet"));
  tbsStandart->AddSeparator();
  addButton(*tbsStandart, "tbsCut", ui::ToolbarImage::Cut).SetHint("Cut");
  addButton(*tbsStandart, "btnNew", ui::ToolbarImage::New).SetCommand(alMain->Find("actNew"));
  addButton(*tbsStandart, "tbsCopy", ui::ToolbarImage::Copy).SetHint("Copy");
  addButton(*tbsStandart, "tbsPaste", ui::ToolbarImage::Paste).SetHint("Paste");

  tbsFormatting = &cbMain->Add<ui::ToolBar>("tbsFormatting");
  tbsFormatting->SetCaption("Formatting");
  tbsFormatting->SetImages(images);
  tbsFormatting->SetButtonSize(ui::Size{24, 23});
  tbsFormatting->SetBounds(ui::Rect{0, 0, kDesignWidth, 27});
  cbxFont = &tbsFormatting->Add<ui::ComboBox>("cbxFont", ui::ComboStyle::DropDown);
  cbxFont->SetBounds(ui::Rect{0, 0, 132, 21});
  tbsFormatting->AddControl(*cbxFont);
  cbxSize = &tbsFormatting->Add<ui::ComboBox>("cbxSize", ui::ComboStyle::DropDown);
  cbxSize->SetBounds(ui::Rect{0, 0, 44, 21});
  cbxSize->SetItems({"8", "9", "10", "11", "12", "14", "16", "18", "20 ", "22", "24", "26", "28",
                     "36", "48", "72"});
  tbsFormatting->AddControl(*cbxSize);
  tbsFormatting->AddSeparator();
  constexpr int kAlignGroup = 1;
  struct Toggle {
    const char* name;
    ui::ToolbarImage image;
    const char* command;
    int group;
  };
  static constexpr Toggle kAlign[] = {
      {"tbLeftAlign", ui::ToolbarImage::AlignLeft, "actCellLeftAlign", kAlignGroup},
      {"tbCenterAlign", ui::ToolbarImage::AlignCenter, "actCellCenterAlign", kAlignGroup},
      {"tbRightAlign", ui::ToolbarImage::AlignRight, "actCellRightAlign", kAlignGroup},
  };
  for (const Toggle& t : kAlign) {
    ui::ToolButton& b = addButton(*tbsFormatting, t.name, t.image, ui::ToolButtonStyle::Check);
    b.SetGroup(t.group);
    b.SetHint(alMain->Find(t.command)->Hint());
  }
  tbsFormatting->AddSeparator();
  addButton(*tbsFormatting, "tbBold", ui::ToolbarImage::Bold, ui::ToolButtonStyle::Check);
  addButton(*tbsFormatting, "tbItalic", ui::ToolbarImage::Italic, ui::ToolButtonStyle::Check);
  addButton(*tbsFormatting, "tbUnderline", ui::ToolbarImage::Underline, ui::ToolButtonStyle::Check);
  addButton(*tbsFormatting, "tbStrikeOut", ui::ToolbarImage::StrikeOut, ui::ToolButtonStyle::Check);
  tbsFormatting->AddSeparator();
  addButton(*tbsFormatting, "tbMerge", ui::ToolbarImage::Merge);
  addButton(*tbsFormatting, "tgSplit", ui::ToolbarImage::Split);
  tbsFormatting->AddSeparator();
  addButton(*tbsFormatting, "tbSortAscending", ui::ToolbarImage::SortAscending);
  addButton(*tbsFormatting, "tbSortDescending", ui::ToolbarImage::SortDescending);
  tbsFormatting->AddSeparator();
  addButton(*tbsFormatting, "ToolButton2", ui::ToolbarImage::FormatCells)
      .SetHint("Format Cells...");

  cbxFont->SetItems(ui::CurrentBackend().ScreenFonts());
  cbxFont->SetText("MS Sans Serif");
  cbxSize->SetText("8");
  cbMain->SetVisible(false);
}

void TSpread::BuildCellBar() {
  panel = &Add<ui::Panel>("panel");
  panel->SetAlign(ui::Align::Top);
  panel->SetBounds(ui::Rect{0, 0, kDesignWidth, kCellBarHeight});
  panel->SetBevelOuter(ui::Bevel::None);
  panel->SetCaption("");
  pnCellRect = &panel->Add<ui::Panel>("pnCellRect");
  pnCellRect->SetBounds(ui::Rect{3, 3, 3 + 66, 3 + 22});
  pnCellRect->SetBevelOuter(ui::Bevel::Lowered);
  pnCellRect->SetCaption("A1");
  pnCellRect->SetColor(kWhite);
  pnCellText = &panel->Add<ui::Label>("pnCellText");
  pnCellText->SetBounds(ui::Rect{72, 7, 72 + 70, 7 + 14});
  pnCellText->SetTextAlignment(ui::TextAlign::Right);
  pnCellText->SetCaption("Cell text = ");
  edtCellEdit = &panel->Add<ui::Edit>("edtCellEdit");
  edtCellEdit->SetBounds(ui::Rect{146, 3, kDesignWidth - 3, 3 + 21});
  edtCellEdit->SetTabStop(false);
  panel->OnResize = [this] {
    ui::Rect r = edtCellEdit->Bounds();
    edtCellEdit->SetBounds(ui::Rect{r.left, r.top, std::max(r.left, panel->Width() - 3), r.bottom});
  };
  panel->SetVisible(false);
}

void TSpread::SubscribeBookEvents() {
  workbook::BookEvents& events = book_->events;
  events.OnSetSelection = [this](workbook::TCustomSpreadSheetBook&, TSSBookSheet& sheet) {
    sp1SetSelection(sheet);
  };
  events.OnEditing = [this](TSSBookSheet&, int32_t, int32_t, bool&) { sp1Editing(); };
  events.OnEndEdit = [this](workbook::TCustomSpreadSheetBook&) { sp1EndEdit(); };
  events.OnActiveSheetChanging = [this](workbook::TCustomSpreadSheetBook&, int, bool&) {
    sp1ActiveSheetChanging();
  };
  events.OnProgress = [this](workbook::TCustomSpreadSheetBook&, uint8_t percent) {
    sp1Progress(percent);
  };
}

void TSpread::FormCreate() {
  static constexpr int kMoves[] = {ui::keys::kRight, ui::keys::kLeft, ui::keys::kUp,
                                   ui::keys::kDown};
  for (int key : kMoves) hotKeyIds_.push_back(Hot1.AddHotKey(ui::kCtrlBit | key));
  // The keys are held only while the host's window is the active one.
  OnActivation = [this](bool active) { ActivationChanged(active); };
  ActivationChanged(Active());
  book_->ActiveSheet()->SelectCell(0, 0, false);
  UpdateToolbarState();
  tbsFormatting->SetEnabled(true);
  book_->Sheets(0).SetCaption("NeoSheet1");
  book_->Refresh();
}

void TSpread::SetRectangleName(const std::string& name) { recname_ = name; }

std::string TSpread::Variable(const std::string& suffix) const {
  return "[" + recname_ + ".zkSpreadSheet" + suffix + "]";
}

void TSpread::Write(const std::string& suffix, const std::string& value) {
  if (MayWrite()) writer_(Variable(suffix), value);
}

void TSpread::WriteAction(const char* code) {
  Write("Action", "");
  Write("Action", code);
}

void TSpread::PublishInitialState() {
  Write("Mode", "OFF");
  Write("Reference",
        SelectionReference(book_->ActiveSheet()->Selection(), book_->R1C1ReferenceStyle()));
  Write("Active", "S: " + std::to_string(book_->ActivePage()));
  Write("Total", "T: " + std::to_string(book_->PageCount()));
}

std::string TSpread::SelectionReference(const TRect& s, bool r1c1) {
  using workbook::TSSUtils;
  std::string text = TSSUtils::ColumnCaption(s.Left, r1c1) + TSSUtils::RowCaption(s.Top);
  if (s.Left != s.Right || s.Top != s.Bottom) {
    text += " x " + TSSUtils::ColumnCaption(s.Right, r1c1) + TSSUtils::RowCaption(s.Bottom);
  }
  return text;
}

void TSpread::settextClick() {
  try {
    // The labels hold whatever the action passed; a text that is no integer ends here.
    size_t used = 0;
    long long col = std::stoll(labcol.caption, &used);
    if (used != labcol.caption.size()) return;
    long long row = std::stoll(labrow.caption, &used);
    if (used != labrow.caption.size()) return;
    if (col < 0 || row < 0 || col >= workbook::kFarEdge || row >= workbook::kFarEdge) return;
    SetCellText(static_cast<int32_t>(col), static_cast<int32_t>(row), labtext.caption);
  } catch (...) {
    // The command swallows every failure by design; SetCellValue reports success anyway.
  }
}

void TSpread::SetCellText(int32_t col, int32_t row, const std::string& text) {
  std::unique_ptr<workbook::TSSCellObject> cell = book_->ActiveSheet()->CellObject(col, row);
  cell->SetText(text);
}

void TSpread::UpdateToolbarState() {
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  const TRect& s = sheet->Selection();
  std::unique_ptr<workbook::TSSCellObject> cell = sheet->CellObject(s.Left, s.Top);
  const int align = cell->EffectiveAlignment();
  tbsFormatting->FindButton("tbLeftAlign")->SetDown(align == 0 || align == 3 || align == 4);
  tbsFormatting->FindButton("tbCenterAlign")->SetDown(align == 1);
  tbsFormatting->FindButton("tbRightAlign")->SetDown(align == 2);
  workbook::TSSFont& font = cell->Style().Font();
  const uint8_t style = font.Style();
  tbsFormatting->FindButton("tbBold")->SetDown(style & workbook::kFontBold);
  tbsFormatting->FindButton("tbItalic")->SetDown(style & workbook::kFontItalic);
  tbsFormatting->FindButton("tbUnderline")->SetDown(style & workbook::kFontUnderline);
  tbsFormatting->FindButton("tbStrikeOut")->SetDown(style & workbook::kFontStrikeOut);
  ShowCellInBar(cell->EditText());
  cbxFont->SetText(font.Name());
  cbxSize->SetText(std::to_string(font.Size()));
  const view::TSpreadSheetBook& book = *book_;
  alMain->Find("actBeveledLookandFeel")->SetChecked(book.PainterType == view::TSSPainterType::ptXP);
  alMain->Find("actBufferedpaint")->SetChecked(book.BufferedPaint);
  alMain->Find("actShowcaptions")->SetChecked(book.ShowCaptionBar);
  alMain->Find("actShowgrid")->SetChecked(book.ShowGrid());
  alMain->Find("actShowheaders")->SetChecked(book.ShowHeaders());
  alMain->Find("actShowformulas")->SetChecked(book.ShowFormulas());
  alMain->Find("actR1C1Referencestyle")->SetChecked(book.R1C1ReferenceStyle());
  alMain->Find("actAutomaticCalc")->SetChecked(book.AutoRecalc());
}

void TSpread::sp1SetSelection(TSSBookSheet& sheet) {
  if (tearingDown_) return;
  const TRect s = sheet.Selection();
  std::unique_ptr<workbook::TSSCellObject> cell = book_->ActiveSheet()->CellObject(s.Left, s.Top);
  const std::string text = cell->EditText();
  const std::string reference = SelectionReference(s, book_->R1C1ReferenceStyle());
  WriteAction("ZKSS04");
  Write("CellText", text);
  Write("Reference", reference);
  ShowCellInBar(text);
  pnCellRect->SetCaption(reference);
  UpdateToolbarState();
  tbsFormatting->SetEnabled(true);
}

void TSpread::ReportSelection() {
  if (TSSBookSheet* sheet = book_->ActiveSheet()) sp1SetSelection(*sheet);
}

void TSpread::sp1Editing() {
  if (tearingDown_) return;
  WriteAction("ZKSS02");
  Write("Mode", "ON");
  pnCellRect->SetColor(kAqua);
  edit.checked = true;
  // The editor opens in the grid: typing must reach it also when the editing was started
  // by an action while the focus was elsewhere (in the host, or in the cell bar).
  if (sp1 != nullptr) sp1->SetFocus();
}

void TSpread::sp1EndEdit() {
  if (tearingDown_) return;
  edit.checked = false;
  book_->Refresh();
  WriteAction("ZKSS03");
  Write("Mode", "OFF");
  pnCellRect->SetColor(kWhite);
  tbsFormatting->SetEnabled(true);
}

void TSpread::sp1ActiveSheetChanging() {
  if (tearingDown_) return;
  WriteAction("ZKSS01");
}

void TSpread::CommitEditing() {
  if (sp1 != nullptr && sp1->IsEditing()) sp1->CommitEdit();
  // A flag left set without an open editor (the editor was vetoed away) must not lock New.
  if (edit.checked && (sp1 == nullptr || !sp1->IsEditing())) sp1EndEdit();
}

void TSpread::ActivationChanged(bool active) {
  if (active) {
    Hot1.Resume();
  } else {
    Hot1.Suspend();
  }
}

void TSpread::Hot1HotKeyPressed(ui::Shortcut, uint32_t id) {
  if (tearingDown_ || id == 0 || hotKeyIds_.size() != 4) return;
  TSSBookSheet* sheet = book_->ActiveSheet();
  if (sheet == nullptr) return;
  const int32_t col = sheet->Storage().ActiveCol();
  const int32_t row = sheet->Storage().ActiveRow();
  if (id == hotKeyIds_[0]) {
    if (col + 1 < workbook::kFarEdge) sheet->SelectCell(col + 1, row, false);
  } else if (id == hotKeyIds_[1]) {
    if (col > 0) sheet->SelectCell(col - 1, row, false);
  } else if (id == hotKeyIds_[2]) {
    if (row > 0) sheet->SelectCell(col, row - 1, false);
  } else if (id == hotKeyIds_[3]) {
    if (row + 1 < workbook::kFarEdge) sheet->SelectCell(col, row + 1, false);
  }
}

void TSpread::BeginProgress(const std::string& what) {
  if (progressActive_) return;
  progressActive_ = true;
  progressWhat_ = what;
  progressLog_.clear();
  progressSavedText_ = pnCellText->Caption();
}

void TSpread::EndProgress() {
  if (!progressActive_) return;
  progressActive_ = false;
  pnCellText->SetCaption(progressSavedText_);
}

void TSpread::sp1Progress(uint8_t percent) {
  if (tearingDown_ || !progressActive_) return;
  progressLog_.push_back(percent);
  pnCellText->SetCaption(progressWhat_ + " " + std::to_string(percent) + "% ");
}

bool TSpread::RunColorDialog() {
  ++modalDepth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{modalDepth_};
  return Color1.Execute(this);
}

}  // namespace window
