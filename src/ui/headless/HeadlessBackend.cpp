#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/WindowChannel.h"
#include "ui/FieldDialog.h"
#include "ui/HotKeyManager.h"
#include "ui/ModalScope.h"
#include "ui/Timer.h"
#include "ui/headless/HeadlessInput.h"

namespace ui::headless {

namespace {

// The faces the portable font metrics map to real font files; the font box lists these.
const std::vector<std::string> kScreenFonts{
    "Arial", "Courier New", "Helvetica", "MS Sans Serif", "Tahoma", "Times New Roman", "Verdana"};

std::optional<Color> ParseColor(const std::string& text) {
  auto component = [](std::string_view part) -> std::optional<uint8_t> {
    int value = 0;
    auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (error != std::errc() || end != part.data() + part.size() || part.empty()) return {};
    if (value < 0 || value > 255) return {};
    return static_cast<uint8_t>(value);
  };
  std::string_view all(text);
  std::optional<uint8_t> r, g, b;
  if (size_t c1 = all.find(','); c1 != std::string_view::npos) {
    size_t c2 = all.find(',', c1 + 1);
    if (c2 == std::string_view::npos) return {};
    r = component(all.substr(0, c1));
    g = component(all.substr(c1 + 1, c2 - c1 - 1));
    b = component(all.substr(c2 + 1));
  } else if (all.size() == 9) {
    r = component(all.substr(0, 3));
    g = component(all.substr(3, 3));
    b = component(all.substr(6, 3));
  }
  if (!r || !g || !b) return {};
  return Color{*r, *g, *b};
}

std::string ColorText(Color c) {
  char text[16];
  std::snprintf(text, sizeof text, "%03u%03u%03u", c.r, c.g, c.b);
  return text;
}

bool HasExtension(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

// ---- control peers ----

class HeadlessPeer final : public ControlPeer {
 public:
  HeadlessPeer(HeadlessBackend& backend, Control& control) : backend_(backend), control_(control) {
    if (control.Kind() == ControlKind::Form) {
      Form& form = static_cast<Form&>(control);
      window_ = platform::WindowSystem().create_window(form.ForeignParent(), form.Name().c_str(), 0,
                                                       0, 0, 0);
      if (window_ != 0) {
        static const SSWindowDriver kDriver{sizeof(SSWindowDriver), &HeadlessPeer::DriverInput,
                                            &HeadlessPeer::DriverSnapshot};
        platform::WindowSystem().set_driver(window_, &kDriver, this);
      }
      backend_.FormCreated(form);
    }
  }
  ~HeadlessPeer() override {
    if (control_.Kind() == ControlKind::Form) {
      if (window_ != 0) {
        platform::WindowSystem().set_driver(window_, nullptr, nullptr);
        platform::WindowSystem().destroy_window(window_);
      }
      backend_.FormDestroyed(static_cast<Form&>(control_));
    }
  }

  void Changed(Property what) override {
    if (what == Property::Bounds && window_ != 0) {
      const Rect& b = control_.Bounds();
      platform::WindowSystem().set_geometry(window_, b.left, b.top, b.Width(), b.Height());
    }
  }
  void Invalidate(const Rect*) override { ++backend_.invalidations_; }
  void Focus() override {
    Form* form = control_.OwnerForm();
    if (form == nullptr) return;
    backend_.NoteFormFocused(form);
    form->NoteFocus(&control_);
  }
  void Capture(bool) override {}
  uintptr_t NativeHandle() const override { return window_; }

 private:
  // The window system's driver entry points: no exception leaves them.
  static int32_t DriverInput(void* context, const SSInputEvent* event) {
    try {
      auto* peer = static_cast<HeadlessPeer*>(context);
      return HeadlessInput::Deliver(static_cast<Form&>(peer->control_), *event);
    } catch (...) {
      return SS_FAILED;
    }
  }
  static int32_t DriverSnapshot(void* context, const char* path) {
    try {
      auto* peer = static_cast<HeadlessPeer*>(context);
      return HeadlessInput::Snapshot(static_cast<Form&>(peer->control_), path) ? SS_OK : SS_FAILED;
    } catch (...) {
      return SS_FAILED;
    }
  }

  HeadlessBackend& backend_;
  Control& control_;
  uintptr_t window_ = 0;
};

class HeadlessTimerPeer final : public TimerPeer {
 public:
  HeadlessTimerPeer(HeadlessBackend& backend, Timer& timer) : backend_(backend), timer_(timer) {}
  ~HeadlessTimerPeer() override { Stop(); }
  void Start(uint32_t intervalMs) override {
    Stop();
    backend_.timers_.push_back(HeadlessBackend::TimerEntry{
        &timer_, intervalMs, backend_.now_ + intervalMs, backend_.timerOrder_++});
  }
  void Stop() override {
    auto& timers = backend_.timers_;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [this](const auto& entry) { return entry.timer == &timer_; }),
                 timers.end());
  }

 private:
  HeadlessBackend& backend_;
  Timer& timer_;
};

class HeadlessHotKeyPeer final : public HotKeyPeer {
 public:
  HeadlessHotKeyPeer(HeadlessBackend& backend, HotKeyManager& manager)
      : backend_(backend), manager_(manager) {}
  uint32_t AddAtom(const std::string& name) override {
    for (auto& [atom, entry] : backend_.atoms_) {
      if (entry.name == name) {
        ++entry.references;
        return atom;
      }
    }
    if (backend_.nextAtom_ == 0xFFFF) return 0;  // the atom table is full
    uint32_t atom = backend_.nextAtom_++;
    backend_.atoms_[atom] = HeadlessBackend::AtomEntry{name, 1};
    return atom;
  }
  void DeleteAtom(uint32_t atom) override {
    auto found = backend_.atoms_.find(atom);
    if (found != backend_.atoms_.end() && --found->second.references <= 0) {
      backend_.atoms_.erase(found);
    }
  }
  bool Register(uint32_t id, Shortcut code) override {
    if (backend_.hotKeys_.count(code) != 0) return false;
    backend_.hotKeys_[code] = HeadlessBackend::HotKeyEntry{id, &manager_};
    return true;
  }
  void Unregister(uint32_t id) override {
    for (auto it = backend_.hotKeys_.begin(); it != backend_.hotKeys_.end();) {
      if (it->second.id == id && it->second.manager == &manager_) {
        it = backend_.hotKeys_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  HeadlessBackend& backend_;
  HotKeyManager& manager_;
};

// ---- the backend ----

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

HeadlessBackend& HeadlessBackend::Instance() {
  static HeadlessBackend backend;
  return backend;
}

std::unique_ptr<ControlPeer> HeadlessBackend::CreatePeer(Control& control) {
  return std::make_unique<HeadlessPeer>(*this, control);
}

std::unique_ptr<TimerPeer> HeadlessBackend::CreateTimerPeer(Timer& timer) {
  return std::make_unique<HeadlessTimerPeer>(*this, timer);
}

std::unique_ptr<HotKeyPeer> HeadlessBackend::CreateHotKeyPeer(HotKeyManager& manager) {
  return std::make_unique<HeadlessHotKeyPeer>(*this, manager);
}

void HeadlessBackend::FormCreated(Form& form) { forms_.push_back(&form); }

void HeadlessBackend::FormDestroyed(Form& form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
  if (focusedForm_ == &form) {
    focusedForm_ = nullptr;
    platform::WindowSystem().set_focus_window(0);
  }
}

void HeadlessBackend::NoteFormFocused(Form* form) {
  if (focusedForm_ == form) return;
  if (focusedForm_ != nullptr) focusedForm_->NoteFocus(nullptr);
  focusedForm_ = form;
  platform::WindowSystem().set_focus_window(form != nullptr ? form->Peer().NativeHandle() : 0);
}

void HeadlessBackend::QueueAnswer(const std::string& button, const std::string& value) {
  platform::WindowSystem().push_answer(button.c_str(), value.c_str());
}

size_t HeadlessBackend::PendingAnswers() const {
  return platform::WindowSystem().pending_answers();
}

HeadlessBackend::Answer HeadlessBackend::TakeAnswer() {
  Answer answer;
  platform::WindowSystem().pop_answer(
      [](void* context, const char* button, const char* value) {
        auto* out = static_cast<Answer*>(context);
        out->present = true;
        out->button = button;
        out->value = value;
      },
      &answer);
  return answer;
}

void HeadlessBackend::Record(DialogRecord record) {
  std::string line = record.kind + " \"" + record.caption + "\"";
  if (!record.text.empty()) line += " \"" + record.text + "\"";
  if (!record.buttons.empty()) line += " [" + record.buttons + "]";
  line += " -> " + record.answer;
  if (!record.value.empty()) line += " \"" + record.value + "\"";
  platform::WindowSystem().note_dialog(line.c_str());
  log_.push_back(std::move(record));
}

bool HeadlessBackend::RunFileDialog(FileDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  DialogRecord record{dialog.mode == FileDialog::Mode::Open ? "Open" : "Save",
                      dialog.title,
                      dialog.filter,
                      "",
                      "Cancel",
                      ""};
  record.owner = owner;
  if (OnDialogShown) OnDialogShown(record);
  Answer answer = TakeAnswer();
  std::optional<DialogButton> button =
      answer.present ? ParseDialogButton(answer.button) : std::nullopt;
  std::string name = answer.value.empty() ? dialog.fileName : answer.value;
  bool confirmed = button == DialogButton::Ok && !name.empty();
  if (confirmed) {
    if (dialog.mode == FileDialog::Mode::Save && !dialog.defaultExt.empty() &&
        !HasExtension(name)) {
      name += "." + dialog.defaultExt;
    }
    dialog.fileName = name;
    record.answer = "OK";
    record.value = name;
  }
  Record(std::move(record));
  return confirmed;
}

bool HeadlessBackend::RunColorDialog(ColorDialog& dialog, Form*) {
  ModalScope modal(modalDepth_);
  DialogRecord record{"Color", "", "", "", "Cancel", ""};
  if (OnDialogShown) OnDialogShown(record);
  Answer answer = TakeAnswer();
  bool confirmed = false;
  if (answer.present && ParseDialogButton(answer.button) == DialogButton::Ok) {
    std::optional<Color> color = answer.value.empty() ? dialog.color : ParseColor(answer.value);
    if (color) {
      dialog.color = *color;
      confirmed = true;
      record.answer = "OK";
      record.value = ColorText(*color);
    }
  }
  Record(std::move(record));
  return confirmed;
}

namespace {

// "Face;size;styles;#RRGGBB": styles are letters b, i, u, s; later parts may be left out and
// keep what the dialog showed. Nothing when the text does not read so.
bool ReadFontAnswer(const std::string& value, FontDialog& font) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t semi = value.find(';', start);
    parts.push_back(value.substr(start, semi == std::string::npos ? semi : semi - start));
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  if (parts.size() > 4) return false;
  FontDialog chosen = font;
  if (!parts[0].empty()) chosen.name = parts[0];
  if (parts.size() > 1 && !parts[1].empty()) {
    int size = 0;
    const auto [end, ec] =
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), size);
    if (ec != std::errc() || end != parts[1].data() + parts[1].size() || size < 1) return false;
    chosen.size = size;
  }
  if (parts.size() > 2) {
    chosen.bold = chosen.italic = chosen.underline = chosen.strikeOut = false;
    for (char c : parts[2]) {
      switch (std::tolower(static_cast<unsigned char>(c))) {
        case 'b':
          chosen.bold = true;
          break;
        case 'i':
          chosen.italic = true;
          break;
        case 'u':
          chosen.underline = true;
          break;
        case 's':
          chosen.strikeOut = true;
          break;
        default:
          return false;
      }
    }
  }
  if (parts.size() > 3 && !parts[3].empty()) {
    std::optional<Color> color = ParseColor(parts[3]);
    if (!color) return false;
    chosen.color = *color;
  }
  font = chosen;
  return true;
}

}  // namespace

bool HeadlessBackend::RunFontDialog(FontDialog& dialog, Form*) {
  ModalScope modal(modalDepth_);
  DialogRecord record{"Font", "", dialog.name, "", "Cancel", ""};
  if (OnDialogShown) OnDialogShown(record);
  Answer answer = TakeAnswer();
  bool confirmed = false;
  if (answer.present && ParseDialogButton(answer.button) == DialogButton::Ok &&
      ReadFontAnswer(answer.value, dialog)) {
    confirmed = true;
    record.answer = "OK";
    record.value = dialog.name + ";" + std::to_string(dialog.size);
  }
  Record(std::move(record));
  return confirmed;
}

DialogButton HeadlessBackend::RunMessageBox(const MessageBoxSpec& spec, Form* owner) {
  ModalScope modal(modalDepth_);
  std::vector<DialogButton> shown = ButtonsOf(spec.buttons);
  std::string names;
  for (DialogButton b : shown)
    names += (names.empty() ? "" : "|") + std::string(DialogButtonName(b));
  DialogRecord record{"MessageBox", spec.caption, spec.text, names, "Cancel", ""};
  record.owner = owner;
  if (OnDialogShown) OnDialogShown(record);
  Answer answer = TakeAnswer();
  DialogButton result = DialogButton::Cancel;
  if (answer.present) {
    std::optional<DialogButton> button = ParseDialogButton(answer.button);
    if (button && std::find(shown.begin(), shown.end(), *button) != shown.end()) result = *button;
  }
  record.answer = DialogButtonName(result);
  Record(std::move(record));
  return result;
}

std::string HeadlessBackend::RunFieldDialog(FieldDialog& dialog, Form* owner) {
  ModalScope modal(modalDepth_);
  std::string names;
  for (const std::string& b : dialog.buttons) names += (names.empty() ? "" : "|") + b;
  while (true) {
    DialogRecord record{"Dialog", dialog.caption, "", names, "Cancel", ""};
    record.owner = owner;
    if (OnDialogShown) OnDialogShown(record);
    Answer answer = TakeAnswer();
    std::string exit = "Cancel";
    if (answer.present) {
      for (const std::string& b : dialog.buttons) {
        std::string a = answer.button, c = b;
        for (char& ch : a) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (char& ch : c) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (a == c) exit = b;
      }
    }
    if (exit == "Cancel") {
      Record(std::move(record));
      return exit;
    }
    FieldDialog entered = dialog;
    ApplyFieldAnswers(entered, answer.value);
    const std::string refusal = entered.validate ? entered.validate(entered) : std::string();
    record.answer = exit;
    record.value = answer.value;
    if (refusal.empty()) {
      dialog.fields = std::move(entered.fields);
      Record(std::move(record));
      return exit;
    }
    record.text = refusal;
    Record(std::move(record));
    RunMessageBox(MessageBoxSpec{dialog.caption, refusal, MessageButtons::Ok, MessageIcon::Error},
                  owner);
  }
}

bool HeadlessBackend::RunInputBox(InputBox& box, Form*) {
  ModalScope modal(modalDepth_);
  DialogRecord record{"InputBox", box.caption, box.prompt, "", "Cancel", ""};
  if (OnDialogShown) OnDialogShown(record);
  Answer answer = TakeAnswer();
  bool confirmed = answer.present && ParseDialogButton(answer.button) == DialogButton::Ok;
  if (confirmed) {
    box.value = answer.value;
    record.answer = "OK";
    // A password never goes into the log.
    record.value = box.masked ? std::string(answer.value.size(), '*') : answer.value;
  }
  Record(std::move(record));
  return confirmed;
}

std::vector<std::string> HeadlessBackend::ScreenFonts() { return kScreenFonts; }

void HeadlessBackend::AdvanceTime(uint32_t ms) {
  uint64_t target = now_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == timers_.end() || next->due > target) break;
    now_ = next->due;
    next->due += std::max<uint32_t>(next->interval, 1);
    next->order = timerOrder_++;
    Timer* timer = next->timer;
    // The handler may stop, re-time or destroy its timer: nothing of `next` is used after.
    timer->Fire();
  }
  now_ = target;
}

size_t HeadlessBackend::RunningTimers() const { return timers_.size(); }

bool HeadlessBackend::DeliverHotKey(Shortcut code) {
  auto found = hotKeys_.find(code);
  if (found == hotKeys_.end()) return false;
  HotKeyEntry entry = found->second;
  entry.manager->NoteHotKey(entry.id, code);
  return true;
}

}  // namespace ui::headless
