#pragma once
// Reading publication scripts: one command a line, words separated by blanks or tabs,
// arguments either bare words (numbers, true/false) or texts in double quotes where "" stands
// for one quote character. A '#' that starts a word begins a comment to the end of the line.
// Bytes are kept as they are (8-bit texts, as the host passes them).
//
// Reading never runs anything: a malformed script is rejected as a whole, with the file,
// line and problem, before a single command has had an effect.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace nbhost {

class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& file, int line, const std::string& problem)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + problem),
        file_(file),
        line_(line),
        problem_(problem) {}

  const std::string& File() const { return file_; }
  int Line() const { return line_; }
  const std::string& Problem() const { return problem_; }

 private:
  std::string file_;
  int line_;
  std::string problem_;
};

struct ScriptWord {
  std::string text;
  bool quoted = false;
};

struct ScriptCommand {
  int line = 0;
  std::string name;
  std::vector<ScriptWord> args;
};

struct Script {
  std::string file;
  std::vector<ScriptCommand> commands;
};

// Splits one line into words; throws ScriptError naming `file` and `line`.
std::vector<ScriptWord> SplitScriptLine(std::string_view text, const std::string& file, int line);

Script ReadScript(std::string_view text, const std::string& file);
// Throws ScriptError (line 0) when the file cannot be read.
Script ReadScriptFile(const std::string& path);

// The script spelling of a text: in quotes, inner quotes doubled.
std::string QuoteScriptText(std::string_view text);

}  // namespace nbhost
