#pragma once
// The headless backend: a complete toolkit without a display. Controls keep their whole
// state in the control tree; this backend adds what a window system would: the process's
// forms and which one has the keyboard, the behaviour of the standard controls under
// keys and clicks (HeadlessInput), a virtual clock for timers, system-wide hot keys with
// global atoms, modal dialogs answered from the queue, and the log of every dialog shown.
//
// Forms parented on a window of the portable window system (a host rectangle) register a
// child window there with an input driver, so the substitute host in another module can
// find them, click and type into them and take their snapshots.
//
// Dialog answers come from the process's window system queue (WindowChannel.h): the next
// modal dialog takes the first answer; an empty queue answers Cancel. An answer is a button
// name ("OK", "Cancel", "Yes", ...) and an optional value: the file name of a file dialog,
// the colour of a colour dialog (nine digits RRRGGGBBB, or "r,g,b"), the text of an input
// box. An answer of the wrong shape (a colour that is not one, a button the message box does
// not show) answers Cancel and is logged as such.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui::headless {

struct DialogRecord {
  std::string kind;     // "MessageBox", "Open", "Save", "Color", "InputBox", "Dialog"
  std::string caption;  // the caption or title
  std::string text;     // message text or prompt
  std::string buttons;  // message boxes: "OK|Cancel" and so on
  std::string answer;   // the button pressed
  std::string value;    // the file name, colour or text returned (empty on Cancel)
  // The form that owns the dialog (file dialogs, message boxes and field dialogs); compared,
  // never used: it may be gone by the time a test reads the log.
  const Form* owner = nullptr;
};

class HeadlessBackend final : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override;
  std::unique_ptr<TimerPeer> CreateTimerPeer(Timer& timer) override;
  std::unique_ptr<HotKeyPeer> CreateHotKeyPeer(HotKeyManager& manager) override;

  bool RunFileDialog(FileDialog& dialog, Form* owner) override;
  bool RunColorDialog(ColorDialog& dialog, Form* owner) override;
  bool RunFontDialog(FontDialog& dialog, Form* owner) override;
  DialogButton RunMessageBox(const MessageBoxSpec& spec, Form* owner) override;
  bool RunInputBox(InputBox& box, Form* owner) override;
  DialogButton RunLayoutDialog(const DialogLayout& layout, DialogHandler& handler,
                               uintptr_t owner) override;
  std::string RunFieldDialog(FieldDialog& dialog, Form* owner) override;
  bool InModalDialog() const override { return modalDepth_ > 0; }

  std::vector<std::string> ScreenFonts() override;
  void SetScreenCursor(CursorShape shape) override { screenCursor_ = shape; }
  CursorShape ScreenCursor() const override { return screenCursor_; }
  int ScrollBarSize() const override { return 17; }

  // ---- for tests and the input driver ----
  static HeadlessBackend& Instance();

  // The answer queue (the process's, see above).
  void QueueAnswer(const std::string& button, const std::string& value = "");
  size_t PendingAnswers() const;
  // Takes the next queued answer; `present` is false when the queue was empty.
  struct Answer {
    bool present = false;
    std::string button;
    std::string value;
  };
  static Answer TakeAnswer();
  // Dialogs shown by this module, in order.
  const std::vector<DialogRecord>& DialogLog() const { return log_; }
  void ClearDialogLog() { log_.clear(); }
  // Runs while a modal dialog is "open" (before it takes its answer): a test can check
  // what a caller does re-entrantly.
  std::function<void(const DialogRecord&)> OnDialogShown;

  // The form of the layout dialog running now (the innermost), nullptr when none: tests
  // take its picture or look at its controls from OnDialogShown.
  Form* LayoutDialogForm() const { return layoutDialog_; }

  // Live forms in creation order; the one with the keyboard (nullptr when none).
  const std::vector<Form*>& Forms() const { return forms_; }
  Form* FocusedForm() const { return focusedForm_; }
  void NoteFormFocused(Form* form);

  // Virtual time: fires every running timer whose period ends within `ms`, in time order.
  void AdvanceTime(uint32_t ms);
  uint64_t Now() const { return now_; }
  size_t RunningTimers() const;

  // Hot keys held in the process: code -> (id, manager).
  bool DeliverHotKey(Shortcut code);
  size_t RegisteredHotKeys() const { return hotKeys_.size(); }

  // Repaints asked for per control since the last reset (invalidation is recorded, the
  // picture is made on demand by FormRenderer).
  size_t InvalidationCount() const { return invalidations_; }

 private:
  friend class HeadlessPeer;
  friend class HeadlessTimerPeer;
  friend class HeadlessHotKeyPeer;

  void FormCreated(Form& form);
  void FormDestroyed(Form& form);
  void Record(DialogRecord record);

  std::vector<Form*> forms_;
  Form* focusedForm_ = nullptr;
  CursorShape screenCursor_ = CursorShape::Default;
  int modalDepth_ = 0;
  Form* layoutDialog_ = nullptr;
  std::vector<DialogRecord> log_;
  uint64_t now_ = 0;
  struct TimerEntry {
    Timer* timer;
    uint32_t interval;
    uint64_t due;
    uint64_t order;
  };
  std::vector<TimerEntry> timers_;
  uint64_t timerOrder_ = 0;
  struct HotKeyEntry {
    uint32_t id;
    HotKeyManager* manager;
  };
  std::map<Shortcut, HotKeyEntry> hotKeys_;
  struct AtomEntry {
    std::string name;
    int references;
  };
  std::map<uint32_t, AtomEntry> atoms_;
  uint32_t nextAtom_ = 0xC000;
  size_t invalidations_ = 0;
};

}  // namespace ui::headless
