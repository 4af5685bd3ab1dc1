#pragma once
// Input and pictures for publication scripts: clicks, double clicks and drags into a
// rectangle's attached window, keys and text to the window with the keyboard focus,
// answers for the next modal dialogs, and snapshots of a rectangle's window to PNG.
//
// Portable build: the windows are those of the process's portable window system, which the
// plug-in's toolkit forms register in with an input driver. Windows build: the real windows,
// driven by real window messages; a queued dialog answer is given to the next native dialog
// of this thread by finding its window and pressing its button.
//
// Every operation answers an empty text on success or the reason it could not be done.
#include <memory>
#include <string>

#include "platform/HostWindow.h"

namespace nbhost {

class HostInput {
 public:
  virtual ~HostInput() = default;

  // (x, y) relative to the rectangle's top-left corner; `twice` makes a double click.
  virtual std::string Click(platform::WindowHandle rectangle, int x, int y, bool twice) = 0;
  virtual std::string Drag(platform::WindowHandle rectangle, int x1, int y1, int x2, int y2) = 0;
  // `name` as ui::ParseShortcut reads it ("Ctrl+Right"); checked by the script runner.
  virtual std::string Key(const std::string& name) = 0;
  virtual std::string Type(const std::string& text) = 0;
  // `button` as ui::ParseDialogButton reads it; `value` a file name, colour or text.
  virtual void QueueAnswer(const std::string& button, const std::string& value) = 0;
  virtual size_t PendingAnswers() const = 0;
  // The host gave `rectangle` a new size and, as the real host does, sent every window
  // attached to it the message 0x4FA with lParam 4 (fill your parent again).
  virtual std::string Resize(platform::WindowHandle rectangle, int width, int height) = 0;
  // The top-level window holding `rectangle` became the active window (true) or another
  // program's window did (false).
  virtual std::string Activate(platform::WindowHandle rectangle, bool active) = 0;
  // `path` relative to the current directory.
  virtual std::string Snapshot(platform::WindowHandle rectangle, const std::string& path) = 0;

  // Around every action and action editor call and every input command: the Windows build
  // watches for the native dialogs the call opens and answers them (Cancel when no answer is
  // queued). Not nested: one BeforeCall, then its AfterCall.
  virtual void BeforeCall() {}
  virtual void AfterCall() {}
};

std::unique_ptr<HostInput> CreateHostInput();

}  // namespace nbhost
