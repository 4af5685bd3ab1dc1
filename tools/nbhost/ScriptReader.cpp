#include "ScriptReader.h"

#include <fstream>
#include <sstream>

namespace nbhost {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<ScriptWord> SplitScriptLine(std::string_view text, const std::string& file, int line) {
  std::vector<ScriptWord> words;
  size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    if (text[at] == '#') break;
    ScriptWord word;
    if (text[at] == '"') {
      word.quoted = true;
      ++at;
      bool closed = false;
      while (at < text.size()) {
        if (text[at] == '"') {
          if (at + 1 < text.size() && text[at + 1] == '"') {
            word.text += '"';
            at += 2;
            continue;
          }
          closed = true;
          ++at;
          break;
        }
        word.text += text[at++];
      }
      if (!closed) throw ScriptError(file, line, "unterminated quoted text");
      if (at < text.size() && !IsBlank(text[at])) {
        throw ScriptError(file, line, "a closing quote must be followed by a blank");
      }
    } else {
      while (at < text.size() && !IsBlank(text[at])) {
        if (text[at] == '"') {
          throw ScriptError(file, line, "a quote inside the word \"" + word.text + "\"");
        }
        word.text += text[at++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

Script ReadScript(std::string_view text, const std::string& file) {
  Script script;
  script.file = file;
  int line = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view lineText = text.substr(start, end - start);
    if (!lineText.empty() && lineText.back() == '\r') lineText.remove_suffix(1);
    ++line;
    std::vector<ScriptWord> words = SplitScriptLine(lineText, file, line);
    if (!words.empty()) {
      if (words[0].quoted) throw ScriptError(file, line, "a command must start with its name");
      ScriptCommand command;
      command.line = line;
      command.name = std::move(words[0].text);
      command.args.assign(std::make_move_iterator(words.begin() + 1),
                          std::make_move_iterator(words.end()));
      script.commands.push_back(std::move(command));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return script;
}

Script ReadScriptFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScriptError(path, 0, "cannot open the script");
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw ScriptError(path, 0, "cannot read the script");
  return ReadScript(content.str(), path);
}

std::string QuoteScriptText(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace nbhost
