#pragma once
// Runs a publication script against a started HostServices.
//
// Commands (names case-sensitive, as in the catalogue):
//   Rectangle "name" x y w h     declare a rectangle; it gets a child of the host window
//   SetVar "[name]" "value"      the publication writes a variable
//   Print "[name]"               prints  [name]="value"  on the output
//   Expect "[name]" "value"      compares; a mismatch is reported and fails the run
//   PickAnswer "name"            queues the object picker's next answer
//   Message code                 sends nbMessage with the code
//   <action> "p1" "p2" ...       any announced action name: nbExecAction with the texts;
//                                parameters left out travel as null entries
//   Edit <action> "p1" ...       nbEditAction on the texts; when confirmed, prints
//                                Edit <action>: "p1" "p2" ... with the edited texts
//   ExpectResult true|false      right after an action or Edit: its Boolean result must match
//   ExpectEdit "p1" "p2" ...     the texts the host holds after the last Edit must match
//   Click "rect" x y             a left click into the rectangle's window, (x, y) relative to
//   DoubleClick "rect" x y       the rectangle's top-left corner
//   Drag "rect" x1 y1 x2 y2      press at (x1, y1), move, release at (x2, y2)
//   Key "Ctrl+Right"             a key (with Ctrl+, Shift+, Alt+) to the focused window
//   Type "text"                  characters to the focused window
//   DialogAnswer "OK" ["value"]  answers the next modal dialog (a button: OK, Cancel, Yes,
//                                No, Abort, Retry, Ignore; a file name, colour or text)
//   DialogSet "name" "text"      in the next editor dialog, the author types the text into
//                                the named edit (queued before its DialogAnswer)
//   DialogCheck "name" 1|0       ... checks or clears the named check box
//   DialogClick "name"           ... presses the named button; the dialogs it opens take the
//                                answers queued after it
//   DialogSnapshot "file.png"    ... a picture of the editor dialog as it is at that point
//   Snapshot "rect" "file.png"   a picture of the rectangle's window, relative to the
//                                current directory
//   Resize "rect" width height   the host resizes the rectangle and sends its windows the
//                                message 0x4FA with lParam 4, so they fill it again
//   Activate "rect" 1|0          the top-level window holding the rectangle becomes the
//                                active window (1) or another program's window does (0)
// An input or snapshot that cannot be done is a failure, reported as an Expect is.
//
// `Check` validates the whole script first (commands, argument counts, integers, where
// ExpectResult may stand), so a malformed script fails before any command has run.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "HostInput.h"
#include "HostServices.h"
#include "ScriptReader.h"

namespace nbhost {

class ScriptRunner {
 public:
  ScriptRunner(HostServices& host, std::ostream& out)
      : host_(host), out_(out), input_(CreateHostInput()) {}

  // Throws ScriptError for the first malformed command.
  void Check(const Script& script) const;

  // Checks, then runs every command. Returns the number of failed expectations; each
  // failure is reported on the output as "file:line: ..." and the run continues.
  int Run(const Script& script);

 private:
  void RunCommand(const Script& script, const ScriptCommand& command, bool& lastResult);
  void Fail(const Script& script, const ScriptCommand& command, const std::string& message);
  bool RunInputCommand(const Script& script, const ScriptCommand& command);
  platform::WindowHandle RectangleWindow(const Script& script, const ScriptCommand& command);

  HostServices& host_;
  std::ostream& out_;
  int failures_ = 0;
  std::unique_ptr<HostInput> input_;
  // The parameter texts the host holds after the last Edit (edited or as they were).
  std::vector<std::string> lastEdit_;
};

}  // namespace nbhost
