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
//
// `Check` validates the whole script first (commands, argument counts, integers, where
// ExpectResult may stand), so a malformed script fails before any command has run.
#include <ostream>
#include <string>

#include "HostServices.h"
#include "ScriptReader.h"

namespace nbhost {

class ScriptRunner {
 public:
  ScriptRunner(HostServices& host, std::ostream& out) : host_(host), out_(out) {}

  // Throws ScriptError for the first malformed command.
  void Check(const Script& script) const;

  // Checks, then runs every command. Returns the number of failed expectations; each
  // failure is reported on the output as "file:line: ..." and the run continues.
  int Run(const Script& script);

 private:
  void RunCommand(const Script& script, const ScriptCommand& command, bool& lastResult);
  void Fail(const Script& script, const ScriptCommand& command, const std::string& message);

  HostServices& host_;
  std::ostream& out_;
  int failures_ = 0;
};

}  // namespace nbhost
