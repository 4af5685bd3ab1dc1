// The layout of every editor class, in client pixels of a dialog 385 pixels wide: the shared
// frame (the rectangle field with its picker button at the top, OK and Cancel at the bottom
// right) around the class's own fields, stacked from the top, each under its label.
#include <algorithm>
#include <string>

#include "plugin/editors/ActionEditorForm.h"

namespace plugin {

namespace {

// 385 pixels of window less the two 3-pixel borders of a dialog frame.
constexpr int kClientWidth = 379;
constexpr int kMargin = 8;
constexpr int kContentWidth = kClientWidth - 2 * kMargin;
constexpr int kLineHeight = 13;
// Lines of a text broken into several: with the line gap of the font, and one line to spare
// so that the estimate below can never cut the last line off.
constexpr int kNoteLineHeight = 15;
constexpr int kEditHeight = 21;
constexpr int kGap = 8;
constexpr int kSmallButton = 23;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// Room a character of the 8-point dialog font may take: generous, so that a label broken
// into lines by the estimate never needs a line more than it was given.
constexpr int kCharWidthEstimate = 6;
// The largest text an edit takes; a longer parameter stays whole unless the author edits it.
constexpr int kEditLimit = 32767;
constexpr int kSpinMax = 32000;

constexpr const char* kRectLabel = "&Rectangle Object of the Attached Control";

class LayoutBuilder {
 public:
  LayoutBuilder(ui::DialogLayout& layout, std::vector<EditorBinding>& bindings)
      : layout_(layout), bindings_(bindings) {}

  int Y() const { return y_; }
  void Skip(int pixels) { y_ += pixels; }

  // A label across `width` pixels at x; one line, or a note broken into as many lines as
  // the text needs. Returns its height.
  int Label(const std::string& text, int x, int width) {
    int perLine = std::max(1, width / kCharWidthEstimate);
    int lines = std::max<int>(1, static_cast<int>((text.size() + perLine - 1) / perLine));
    ui::DialogItem item;
    int height = lines > 1 ? (lines + 1) * kNoteLineHeight : kLineHeight;
    item.kind = lines > 1 ? ui::DialogItemKind::Note : ui::DialogItemKind::Label;
    item.name = "Label" + std::to_string(++labels_);
    item.caption = text;
    item.bounds = ui::Rect::FromSize(x, y_, width, height);
    layout_.items.push_back(item);
    return height;
  }

  void Edit(const std::string& name, size_t param, int x, int width, int top) {
    ui::DialogItem item;
    item.kind = ui::DialogItemKind::Edit;
    item.name = name;
    item.bounds = ui::Rect::FromSize(x, top, width, kEditHeight);
    item.maxLength = kEditLimit;
    layout_.items.push_back(item);
    bindings_.push_back({EditorBinding::Kind::Text, name, param});
  }

  void Spin(const std::string& name, size_t param, int x, int width, int top) {
    ui::DialogItem item;
    item.kind = ui::DialogItemKind::SpinEdit;
    item.name = name;
    item.bounds = ui::Rect::FromSize(x, top, width, kEditHeight);
    item.maxLength = kEditLimit;
    item.minValue = 0;
    item.maxValue = kSpinMax;
    layout_.items.push_back(item);
    bindings_.push_back({EditorBinding::Kind::Text, name, param});
  }

  void Button(const std::string& name, const std::string& caption, ui::Rect bounds,
              const std::string& hint = "", bool flat = false) {
    ui::DialogItem item;
    item.kind = ui::DialogItemKind::Button;
    item.name = name;
    item.caption = caption;
    item.hint = hint;
    item.flat = flat;
    item.bounds = bounds;
    layout_.items.push_back(item);
  }

  // Label above a full-width edit.
  void LabelledEdit(const std::string& label, const std::string& name, size_t param) {
    int height = Label(label, kMargin, kContentWidth);
    Edit(name, param, kMargin, kContentWidth, y_ + height + 3);
    y_ += height + 3 + kEditHeight + kGap;
  }

  // Label above an edit with a browse button at its right.
  void FileField(const std::string& label, const std::string& name, size_t param) {
    int height = Label(label, kMargin, kContentWidth);
    int top = y_ + height + 3;
    int editWidth = kContentWidth - kSmallButton - 4;
    Edit(name, param, kMargin, editWidth, top);
    Button(name + ".Browse", "...",
           ui::Rect::FromSize(kMargin + editWidth + 4, top, kSmallButton, kEditHeight));
    y_ = top + kEditHeight + kGap;
  }

  // "Left", "Top", "Right", "Bottom" side by side over parameters 2 to 5.
  void SpinRow() {
    constexpr const char* kNames[] = {"Left", "Top", "Right", "Bottom"};
    int width = (kContentWidth - 3 * kGap) / 4;
    for (int i = 0; i < 4; ++i) {
      int x = kMargin + i * (width + kGap);
      Label(kNames[i], x, width);
      Spin("SpinEdit" + std::to_string(i + 1), static_cast<size_t>(i + 1), x, width,
           y_ + kLineHeight + 3);
    }
    y_ += kLineHeight + 3 + kEditHeight + kGap;
  }

  // Labelled edits side by side, each over its own half.
  void EditPair(const std::string& label1, const std::string& name1, size_t param1,
                const std::string& label2, const std::string& name2, size_t param2) {
    int width = (kContentWidth - kGap) / 2;
    int first = Label(label1, kMargin, width);
    int height = std::max(first, Label(label2, kMargin + width + kGap, width));
    int top = y_ + height + 3;
    Edit(name1, param1, kMargin, width, top);
    Edit(name2, param2, kMargin + width + kGap, width, top);
    y_ = top + kEditHeight + kGap;
  }

 private:
  ui::DialogLayout& layout_;
  std::vector<EditorBinding>& bindings_;
  int y_ = kMargin;
  int labels_ = 0;
};

}  // namespace

void ActionEditorForm::BuildLayout() {
  layout_ = ui::DialogLayout{};
  bindings_.clear();
  layout_.caption = spec_.caption;
  layout_.clientWidth = kClientWidth;
  LayoutBuilder b(layout_, bindings_);

  // The frame's rectangle field and picker button.
  bool colon =
      spec_.editorClass == EditorClass::OneEdit || spec_.editorClass == EditorClass::CellEdits;
  int height = b.Label(std::string(kRectLabel) + (colon ? ":" : ""), kMargin, kContentWidth);
  int top = b.Y() + height + 3;
  int editWidth = kContentWidth - kSmallButton - 4;
  b.Edit("Edit1", 0, kMargin, editWidth, top);
  b.Button("SpeedButton1", "...",
           ui::Rect::FromSize(kMargin + editWidth + 4, top - 1, kSmallButton, kEditHeight + 2),
           "Select an Object", true);
  b.Skip(top + kEditHeight + kGap + 4 - b.Y());

  switch (spec_.editorClass) {
    case EditorClass::Note: {
      ui::DialogItem note;
      note.kind = ui::DialogItemKind::Note;
      note.name = "Memo1";
      note.caption = kEditorNote;
      int lines =
          static_cast<int>(std::string(kEditorNote).size()) * kCharWidthEstimate / kContentWidth +
          2;
      note.bounds = ui::Rect::FromSize(kMargin, b.Y(), kContentWidth, lines * kNoteLineHeight);
      layout_.items.push_back(note);
      b.Skip(lines * kNoteLineHeight);
      break;
    }
    case EditorClass::FilePath:
      b.FileField(spec_.label1, "fileedit1", 1);
      break;
    case EditorClass::CheckState: {
      int labelHeight = b.Label(spec_.label1, kMargin, kContentWidth);
      b.Skip(labelHeight + 3);
      ui::DialogItem box;
      box.kind = ui::DialogItemKind::CheckBox;
      box.name = "CheckBox1";
      box.caption = spec_.extra;
      box.bounds = ui::Rect::FromSize(kMargin, b.Y(), kContentWidth, 17);
      layout_.items.push_back(box);
      bindings_.push_back({EditorBinding::Kind::Check, "CheckBox1", 1});
      b.Skip(17 + kGap);
      break;
    }
    case EditorClass::OneEdit:
      b.LabelledEdit(spec_.label1, "Edit2a", 1);
      break;
    case EditorClass::Colour: {
      int labelHeight = b.Label(spec_.label1, kMargin, kContentWidth);
      b.Skip(labelHeight + 3);
      ui::DialogItem swatch;
      swatch.kind = ui::DialogItemKind::Swatch;
      swatch.name = "Shape1";
      swatch.bounds = ui::Rect::FromSize(kMargin, b.Y(), 65, kEditHeight);
      layout_.items.push_back(swatch);
      bindings_.push_back({EditorBinding::Kind::Colour, "Shape1", 1});
      b.Button("Shape1.Choose", "...",
               ui::Rect::FromSize(kMargin + 65 + 6, b.Y(), kSmallButton, kEditHeight));
      b.Skip(kEditHeight + kGap);
      break;
    }
    case EditorClass::FixColour:
      b.LabelledEdit(spec_.label1, "Edit2", 1);
      b.LabelledEdit(spec_.label2, "Edit3", 2);
      break;
    case EditorClass::CellEdits:
      b.LabelledEdit("Column", "Edit2", 1);
      b.LabelledEdit("Row", "Edit3", 2);
      b.LabelledEdit(spec_.label1, "Edit4", 3);
      break;
    case EditorClass::TwoEdits:
      b.LabelledEdit(spec_.label1, "Edit2", 1);
      b.LabelledEdit(spec_.label2, "Edit3", 2);
      break;
    case EditorClass::Rect:
      b.SpinRow();
      break;
    case EditorClass::RectClear:
      b.SpinRow();
      b.LabelledEdit("Style: 1-Reset Styles 0-Maintain Styles", "Edit6", 5);
      break;
    case EditorClass::RectVisible:
      b.SpinRow();
      b.LabelledEdit("1:Affect Cols 0:NoCols", "Edit6", 5);
      b.LabelledEdit("1:Affect Rows 0:NoRows", "Edit7", 6);
      b.LabelledEdit("1: Affect All 0:No", "Edit8", 7);
      break;
    case EditorClass::Stream:
      b.FileField("Full path of the Stream", "fileedit1", 1);
      b.LabelledEdit("Filename of the object inside the stream", "Edit3", 2);
      b.EditPair("Password", "Edit4", 3, "Compression 0 or 1", "Edit5", 4);
      break;
  }

  // OK and Cancel at the bottom right.
  int buttonsTop = b.Y() + 4;
  int cancelLeft = kClientWidth - kMargin - kButtonWidth;
  int okLeft = cancelLeft - 6 - kButtonWidth;
  ui::DialogItem ok;
  ok.kind = ui::DialogItemKind::Button;
  ok.name = "OKButton";
  ok.caption = "OK";
  ok.result = ui::DialogButton::Ok;
  ok.isDefault = true;
  ok.bounds = ui::Rect::FromSize(okLeft, buttonsTop, kButtonWidth, kButtonHeight);
  ui::DialogItem cancel = ok;
  cancel.name = "CancelButton";
  cancel.caption = "Cancel";
  cancel.result = ui::DialogButton::Cancel;
  cancel.isDefault = false;
  cancel.bounds = ui::Rect::FromSize(cancelLeft, buttonsTop, kButtonWidth, kButtonHeight);
  layout_.items.push_back(ok);
  layout_.items.push_back(cancel);
  layout_.clientHeight = buttonsTop + kButtonHeight + kMargin;
}

}  // namespace plugin
