// Layout dialogs in the headless backend: a form of the toolkit's controls built from the
// layout, driven by the dialog queue (control actions, then the closing button) the way a
// user would drive it, pressing buttons through the same click path as every other input.
#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "platform/WindowChannel.h"
#include "ui/BasicControls.h"
#include "ui/CustomControl.h"
#include "ui/Image.h"
#include "ui/Keys.h"
#include "ui/ModalScope.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"

namespace ui::headless {

namespace {

constexpr int kArrowWidth = 15;

std::string ArrowsName(const std::string& spinName) { return spinName + ".Arrows"; }

// Builds the form's controls from the layout and reaches them by item name.
class HeadlessDialog final : public DialogControls {
 public:
  HeadlessDialog(const DialogLayout& layout, DialogHandler& handler)
      : layout_(layout), handler_(handler), form_(0, "LayoutDialog") {
    form_.SetCaption(layout.caption);
    form_.SetBounds(Rect::FromSize(0, 0, layout.clientWidth, layout.clientHeight));
    ui::Font font{layout.fontName, layout.fontSize};
    form_.SetFont(font);
    for (const DialogItem& item : layout.items) Build(item, font);
  }

  Form& GetForm() { return form_; }
  bool Closed() const { return closed_; }
  DialogButton Result() const { return result_; }

  std::string Text(const std::string& name) const override {
    const Control& control = Find(name, {DialogItemKind::Label, DialogItemKind::Note,
                                         DialogItemKind::Edit, DialogItemKind::SpinEdit});
    return control.Caption();
  }
  void SetText(const std::string& name, const std::string& text) override {
    Control& control = Find(name, {DialogItemKind::Label, DialogItemKind::Note,
                                   DialogItemKind::Edit, DialogItemKind::SpinEdit});
    if (auto* edit = dynamic_cast<Edit*>(&control)) {
      edit->SetText(text);
    } else {
      control.SetCaption(text);
    }
  }
  bool Checked(const std::string& name) const override {
    return static_cast<const CheckBox&>(Find(name, {DialogItemKind::CheckBox})).Checked();
  }
  void SetChecked(const std::string& name, bool checked) override {
    static_cast<CheckBox&>(Find(name, {DialogItemKind::CheckBox})).SetChecked(checked);
  }
  Color SwatchColor(const std::string& name) const override {
    Find(name, {DialogItemKind::Swatch});
    return swatches_.at(name);
  }
  void SetSwatchColor(const std::string& name, Color color) override {
    Control& control = Find(name, {DialogItemKind::Swatch});
    swatches_[name] = color;
    control.Invalidate();
  }

  // One queued control action, as the user would do it; false when it names no item that
  // takes it.
  bool Apply(const DialogAction& action, const std::string& value) {
    const DialogItem* item = layout_.Find(action.item);
    if (item == nullptr) return false;
    Control* control = form_.FindByName(item->name);
    switch (action.kind) {
      case DialogAction::Kind::Set: {
        auto* edit = dynamic_cast<Edit*>(control);
        if (edit == nullptr) return false;
        // Typing stops at the control's limit, as in a native edit.
        int limit = edit->MaxLength();
        edit->NoteText(limit > 0 && static_cast<int>(value.size()) > limit
                           ? value.substr(0, static_cast<size_t>(limit))
                           : value);
        return true;
      }
      case DialogAction::Kind::Check: {
        auto* box = dynamic_cast<CheckBox*>(control);
        if (box == nullptr || (value != "1" && value != "0")) return false;
        if (box->Checked() != (value == "1")) Press(*box);
        return true;
      }
      case DialogAction::Kind::Click:
        if (item->kind != DialogItemKind::Button) return false;
        Press(*control);
        return true;
    }
    return false;
  }

  // Presses the closing button with this result; false when the layout has none.
  bool PressClosing(DialogButton result) {
    for (const DialogItem& item : layout_.items) {
      if (item.kind == DialogItemKind::Button && item.result == result) {
        Press(*form_.FindByName(item.name));
        return true;
      }
    }
    return false;
  }

 private:
  void Build(const DialogItem& item, const ui::Font& font) {
    Control* control = nullptr;
    switch (item.kind) {
      case DialogItemKind::Label: {
        // A static text: '&' marks the mnemonic letter and is not shown ("&&" shows one).
        auto& label = form_.Add<CustomControl>(item.name);
        label.SetCaption(item.caption);
        label.SetTabStop(false);
        label.SetEnabled(false);
        label.SetColor(form_.BackColor());
        label.OnPaint = [&label](Canvas& canvas) {
          TextFormat format;
          format.singleLine = true;
          canvas.FillRect(label.ClientRect(), label.BackColor());
          canvas.DrawTextBlock(label.ClientRect(), WithoutMnemonic(label.Caption()), label.Font(),
                               colors::kWindowText, format);
        };
        control = &label;
        break;
      }
      case DialogItemKind::Note: {
        auto& note = form_.Add<CustomControl>(item.name);
        note.SetCaption(item.caption);
        note.SetTabStop(false);
        note.SetEnabled(false);
        note.SetColor(form_.BackColor());
        note.OnPaint = [&note](Canvas& canvas) {
          TextFormat format;
          format.wordBreak = true;
          canvas.FillRect(note.ClientRect(), note.BackColor());
          canvas.DrawTextBlock(note.ClientRect(), note.Caption(), note.Font(), colors::kWindowText,
                               format);
        };
        control = &note;
        break;
      }
      case DialogItemKind::Edit:
      case DialogItemKind::SpinEdit: {
        auto& edit = form_.Add<Edit>(item.name);
        if (item.maxLength > 0) edit.SetMaxLength(item.maxLength);
        control = &edit;
        if (item.kind == DialogItemKind::SpinEdit) AddArrows(item, edit, font);
        break;
      }
      case DialogItemKind::CheckBox: {
        auto& box = form_.Add<CheckBox>(item.name);
        box.SetCaption(item.caption);
        control = &box;
        break;
      }
      case DialogItemKind::Button: {
        auto& button = form_.Add<Button>(item.name);
        button.SetCaption(item.caption);
        button.SetDefault(item.isDefault);
        button.SetCancel(item.result == DialogButton::Cancel);
        DialogButton result = item.result;
        std::string name = item.name;
        button.OnClick = [this, result, name] {
          if (result != DialogButton::None) {
            closed_ = true;
            result_ = result;
          } else {
            handler_.Clicked(*this, name);
          }
        };
        control = &button;
        break;
      }
      case DialogItemKind::Swatch: {
        auto& swatch = form_.Add<CustomControl>(item.name);
        swatch.SetTabStop(false);
        swatches_[item.name] = colors::kWhite;
        std::string name = item.name;
        swatch.OnPaint = [this, &swatch, name](Canvas& canvas) {
          canvas.FillRect(swatch.ClientRect(), swatches_[name]);
          canvas.FrameRect(swatch.ClientRect(), colors::kBlack);
        };
        control = &swatch;
        break;
      }
    }
    control->SetFont(font);
    control->SetHint(item.hint);
    if (item.kind != DialogItemKind::SpinEdit) control->SetBounds(item.bounds);
  }

  // The edit keeps the left part of the item's bounds, the arrows the right.
  void AddArrows(const DialogItem& item, Edit& edit, const ui::Font& font) {
    const Rect& r = item.bounds;
    edit.SetBounds(Rect{r.left, r.top, r.right - kArrowWidth, r.bottom});
    auto& arrows = form_.Add<CustomControl>(ArrowsName(item.name));
    arrows.SetBounds(Rect{r.right - kArrowWidth, r.top, r.right, r.bottom});
    arrows.SetTabStop(false);
    arrows.SetFont(font);
    int minValue = item.minValue, maxValue = item.maxValue;
    arrows.OnMouseDown = [&edit, &arrows, minValue, maxValue](const MouseEvent& event) {
      int delta = event.pos.y < arrows.Height() / 2 ? 1 : -1;
      edit.NoteText(StepSpinText(edit.Text(), delta, minValue, maxValue));
    };
    arrows.OnPaint = [&arrows](Canvas& canvas) {
      Rect all = arrows.ClientRect();
      int middle = all.Height() / 2;
      for (int half = 0; half < 2; ++half) {
        Rect r{all.left, half == 0 ? all.top : middle, all.right, half == 0 ? middle : all.bottom};
        canvas.FillRect(r, colors::kButtonFace);
        canvas.FrameRect(r, colors::kButtonShadow);
        int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        int tip = half == 0 ? -2 : 2;
        Point arrow[3] = {{cx - 3, cy - tip / 2}, {cx + 3, cy - tip / 2}, {cx, cy + tip}};
        canvas.FillPolygon(arrow, colors::kWindowText);
      }
    };
  }

  const Control& Find(const std::string& name, std::initializer_list<DialogItemKind> kinds) const {
    const DialogItem* item = layout_.Find(name);
    bool fits = item != nullptr && std::find(kinds.begin(), kinds.end(), item->kind) != kinds.end();
    Control* control = fits ? const_cast<Form&>(form_).FindByName(name) : nullptr;
    if (control == nullptr) throw std::out_of_range("the dialog has no control \"" + name + "\"");
    return *control;
  }
  Control& Find(const std::string& name, std::initializer_list<DialogItemKind> kinds) {
    return const_cast<Control&>(std::as_const(*this).Find(name, kinds));
  }

  // A click at the control's centre, through the routing every injected click takes.
  void Press(Control& control) {
    Rect b = control.Bounds();
    Point centre = control.Parent()->ToForm(Point{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    HeadlessInput::Click(form_, centre);
  }

  const DialogLayout& layout_;
  DialogHandler& handler_;
  Form form_;
  std::map<std::string, Color> swatches_;
  bool closed_ = false;
  DialogButton result_ = DialogButton::Cancel;
};

}  // namespace

DialogButton HeadlessBackend::RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler,
                                              uintptr_t owner) {
  ModalScope modal(modalDepth_);
  DialogRecord record{"Dialog",    layout.caption, "owner " + std::to_string(owner),
                      "OK|Cancel", "Cancel",       ""};
  DialogButton result = DialogButton::Cancel;
  try {
    HeadlessDialog dialog(layout, handler);
    Form* previous = layoutDialog_;
    layoutDialog_ = &dialog.GetForm();
    struct Restore {
      Form*& slot;
      Form* previous;
      ~Restore() { slot = previous; }
    } restore{layoutDialog_, previous};
    handler.Init(dialog);
    if (OnDialogShown) OnDialogShown(record);
    while (!dialog.Closed()) {
      Answer answer = TakeAnswer();
      if (!answer.present) break;
      if (std::optional<DialogAction> action = ParseDialogAction(answer.button)) {
        if (!dialog.Apply(*action, answer.value)) {
          record.value = "no control takes \"" + answer.button + "\"";
          break;
        }
        continue;
      }
      if (answer.button.rfind("Snapshot:", 0) == 0) {
        WritePng(FormRenderer::Render(dialog.GetForm()), answer.button.substr(9));
        continue;
      }
      std::optional<DialogButton> button = ParseDialogButton(answer.button);
      if (!button || !dialog.PressClosing(*button)) break;
    }
    if (dialog.Closed()) {
      result = dialog.Result();
      handler.Closing(dialog, result);
    } else {
      handler.Closing(dialog, DialogButton::Cancel);
    }
  } catch (const std::exception& error) {
    result = DialogButton::Cancel;
    record.value = error.what();
  }
  record.answer = DialogButtonName(result);
  Record(std::move(record));
  return result;
}

}  // namespace ui::headless
