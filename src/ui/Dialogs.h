#pragma once
// The common dialogs: open and save file, colour, message box and a modal text input box
// (masked for passwords). Each runs modally on the current backend; the headless backend
// takes the user's answers from its queue.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/Geometry.h"

namespace ui {

class Form;

enum class DialogButton { None, Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// "OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore" (any letter case) and back.
std::optional<DialogButton> ParseDialogButton(std::string_view text);
const char* DialogButtonName(DialogButton button);

struct FileFilter {
  std::string description;
  std::string pattern;  // "*.xls" or "*.xls;*.xlt"
};

// "XLS|*.xls|All|*.*": description and pattern pairs separated by '|'. A trailing lone
// description without a pattern is dropped.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

struct FileDialog {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string title;
  std::string filter;      // as ParseFileFilter reads it
  std::string fileName;    // in: proposed name; out: the chosen path
  std::string defaultExt;  // without the dot; empty: none added
  int filterIndex = 1;     // 1-based, as the native dialogs count

  // Runs the dialog; true with `fileName` set when the user confirmed.
  bool Execute(Form* owner = nullptr);
};

struct ColorDialog {
  Color color;  // in: the colour shown first; out: the chosen one

  bool Execute(Form* owner = nullptr);
};

// The font dialog: a face, a size in points, the four styles and a colour; in: what is shown
// first; out: the choice.
struct FontDialog {
  std::string name;
  int size = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  Color color;

  bool Execute(Form* owner = nullptr);
};

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MessageIcon { None, Information, Warning, Error, Question };

// The buttons a message box of this kind shows, left to right.
std::vector<DialogButton> ButtonsOf(MessageButtons buttons);

struct MessageBoxSpec {
  std::string caption;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
};

DialogButton ShowMessageBox(const MessageBoxSpec& spec, Form* owner = nullptr);

struct InputBox {
  std::string caption;
  std::string prompt;
  std::string value;  // in: the text shown first; out: the text entered
  bool masked = false;

  bool Execute(Form* owner = nullptr);
};

}  // namespace ui
