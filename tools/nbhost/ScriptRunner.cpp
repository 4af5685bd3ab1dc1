#include "ScriptRunner.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "ui/Dialogs.h"
#include "ui/Keys.h"

namespace nbhost {

namespace {

// True when `actual` names the file that `wanted` names relative to the current folder. A
// file dialog on Windows answers the full path of what was typed into it, the portable one
// the text as typed; both name the same file.
bool NamesSameFile(const std::string& actual, const std::string& wanted) {
  if (actual == wanted) return true;
  if (actual.empty() || wanted.empty()) return false;
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path a = fs::absolute(fs::path(actual), error);
  if (error) return false;
  const fs::path w = fs::absolute(fs::path(wanted), error);
  if (error) return false;
  if (fs::exists(a, error) && fs::exists(w, error)) return fs::equivalent(a, w, error);
  return a.lexically_normal() == w.lexically_normal();
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

void RequireArgs(const Script& script, const ScriptCommand& command, size_t count,
                 const char* usage) {
  if (command.args.size() != count) {
    throw ScriptError(script.file, command.line,
                      command.name + " takes " + std::to_string(count) + " argument" +
                          (count == 1 ? "" : "s") + ": " + usage);
  }
}

void RequireInts(const Script& script, const ScriptCommand& command, size_t first) {
  for (size_t i = first; i < command.args.size(); ++i) {
    if (!ParseInt(command.args[i].text)) {
      throw ScriptError(script.file, command.line,
                        command.name + ": \"" + command.args[i].text + "\" is not an integer");
    }
  }
}

// The input and picture commands and their argument checks.
bool CheckInputCommand(const Script& script, const ScriptCommand& command) {
  const std::string& name = command.name;
  if (name == "Click" || name == "DoubleClick") {
    RequireArgs(script, command, 3, "\"rect\" x y");
    RequireInts(script, command, 1);
  } else if (name == "Drag") {
    RequireArgs(script, command, 5, "\"rect\" x1 y1 x2 y2");
    RequireInts(script, command, 1);
  } else if (name == "Key") {
    RequireArgs(script, command, 1, "\"Ctrl+Right\"");
    if (!ui::ParseShortcut(command.args[0].text)) {
      throw ScriptError(script.file, command.line,
                        "Key: unknown key \"" + command.args[0].text + "\"");
    }
  } else if (name == "Type") {
    RequireArgs(script, command, 1, "\"text\"");
  } else if (name == "DialogAnswer") {
    if (command.args.empty() || command.args.size() > 2) {
      throw ScriptError(script.file, command.line,
                        "DialogAnswer takes a button and an optional value: \"OK\" \"file.xls\"");
    }
    // A standard button, or one of the other exits the plug-in's dialogs have (page setup).
    std::string button = command.args[0].text;
    for (char& c : button) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool otherExit = button == "preview" || button == "print";
    if (!ui::ParseDialogButton(command.args[0].text) && !otherExit) {
      throw ScriptError(script.file, command.line,
                        "DialogAnswer: unknown button \"" + command.args[0].text + "\"");
    }
  } else if (name == "Snapshot") {
    RequireArgs(script, command, 2, "\"rect\" \"file.png\"");
  } else if (name == "Resize") {
    RequireArgs(script, command, 3, "\"rect\" width height");
    RequireInts(script, command, 1);
  } else if (name == "Activate") {
    RequireArgs(script, command, 2, "\"rect\" 1|0");
    RequireInts(script, command, 1);
  } else if (name == "DialogSet") {
    RequireArgs(script, command, 2, "\"control\" \"text\"");
  } else if (name == "DialogCheck") {
    RequireArgs(script, command, 2, "\"control\" 1|0");
    if (command.args[1].text != "1" && command.args[1].text != "0") {
      throw ScriptError(script.file, command.line, "DialogCheck takes 1 or 0");
    }
  } else if (name == "DialogClick" || name == "DialogSnapshot") {
    RequireArgs(script, command, 1, name == "DialogClick" ? "\"control\"" : "\"file.png\"");
  } else {
    return false;
  }
  return true;
}

}  // namespace

void ScriptRunner::Check(const Script& script) const {
  bool afterAction = false;
  for (const ScriptCommand& command : script.commands) {
    const std::string& name = command.name;
    bool isAction = false;
    if (name == "Rectangle") {
      RequireArgs(script, command, 5, "\"name\" x y w h");
      for (size_t i = 1; i < 5; ++i) {
        std::optional<int> value = ParseInt(command.args[i].text);
        if (!value) {
          throw ScriptError(script.file, command.line,
                            "Rectangle: \"" + command.args[i].text + "\" is not an integer");
        }
        if (i >= 3 && *value < 0) {
          throw ScriptError(script.file, command.line, "Rectangle: a size cannot be negative");
        }
      }
    } else if (name == "SetVar" || name == "Expect" || name == "ExpectFile") {
      RequireArgs(script, command, 2, "\"[name]\" \"value\"");
    } else if (name == "Print") {
      RequireArgs(script, command, 1, "\"[name]\"");
    } else if (name == "PickAnswer") {
      RequireArgs(script, command, 1, "\"name\"");
    } else if (name == "Message") {
      RequireArgs(script, command, 1, "code");
      if (!ParseInt(command.args[0].text)) {
        throw ScriptError(script.file, command.line, "Message: the code must be an integer");
      }
    } else if (name == "ExpectEdit" || name == "ExpectEditFiles") {
      if (command.args.empty()) {
        throw ScriptError(script.file, command.line, "ExpectEdit takes the expected texts");
      }
    } else if (name == "ExpectResult") {
      RequireArgs(script, command, 1, "true|false");
      if (!afterAction) {
        throw ScriptError(script.file, command.line, "ExpectResult must follow an action line");
      }
      if (command.args[0].text != "true" && command.args[0].text != "false") {
        throw ScriptError(script.file, command.line, "ExpectResult takes true or false");
      }
    } else if (CheckInputCommand(script, command)) {
    } else if (name == "Edit") {
      isAction = true;
      if (command.args.empty()) {
        throw ScriptError(script.file, command.line, "Edit takes an action name and its texts");
      }
      const CatalogueRow* action = host_.FindAction(command.args[0].text);
      if (action == nullptr) {
        throw ScriptError(script.file, command.line,
                          "Edit: unknown action \"" + command.args[0].text + "\"");
      }
      if (command.args.size() - 1 > action->count) {
        throw ScriptError(script.file, command.line,
                          "Edit " + action->name + " takes at most " +
                              std::to_string(action->count) + " parameters, got " +
                              std::to_string(command.args.size() - 1));
      }
    } else if (const CatalogueRow* action = host_.FindAction(name)) {
      isAction = true;
      if (command.args.size() > action->count) {
        throw ScriptError(script.file, command.line,
                          name + " takes at most " + std::to_string(action->count) +
                              " parameters, got " + std::to_string(command.args.size()));
      }
    } else {
      throw ScriptError(script.file, command.line, "unknown command or action \"" + name + "\"");
    }
    afterAction = isAction;
  }
}

int ScriptRunner::Run(const Script& script) {
  Check(script);
  failures_ = 0;
  bool lastResult = false;
  for (const ScriptCommand& command : script.commands) RunCommand(script, command, lastResult);
  return failures_;
}

void ScriptRunner::Fail(const Script& script, const ScriptCommand& command,
                        const std::string& message) {
  ++failures_;
  out_ << script.file << ":" << command.line << ": " << message << "\n";
}

void ScriptRunner::RunCommand(const Script& script, const ScriptCommand& command,
                              bool& lastResult) {
  const std::string& name = command.name;
  const auto& args = command.args;
  if (RunInputCommand(script, command)) return;
  if (name == "Rectangle") {
    try {
      host_.AddRectangle(args[0].text, *ParseInt(args[1].text), *ParseInt(args[2].text),
                         *ParseInt(args[3].text), *ParseInt(args[4].text));
    } catch (const std::exception& error) {
      throw ScriptError(script.file, command.line, std::string("Rectangle: ") + error.what());
    }
  } else if (name == "SetVar") {
    host_.SetVariable(args[0].text, args[1].text, WriteSource::Script);
  } else if (name == "Print") {
    out_ << args[0].text << "=" << QuoteScriptText(host_.Variable(args[0].text)) << "\n";
  } else if (name == "Expect") {
    std::string actual = host_.Variable(args[0].text);
    if (actual != args[1].text) {
      Fail(script, command,
           "Expect " + args[0].text + ": wanted " + QuoteScriptText(args[1].text) + ", found " +
               QuoteScriptText(actual));
    }
  } else if (name == "ExpectFile") {
    std::string actual = host_.Variable(args[0].text);
    if (!NamesSameFile(actual, args[1].text)) {
      Fail(script, command,
           "ExpectFile " + args[0].text + ": wanted the file " + QuoteScriptText(args[1].text) +
               ", found " + QuoteScriptText(actual));
    }
  } else if (name == "PickAnswer") {
    host_.QueuePickAnswer(args[0].text);
  } else if (name == "Message") {
    host_.Message(*ParseInt(args[0].text));
  } else if (name == "ExpectEdit" || name == "ExpectEditFiles") {
    std::vector<std::string> wanted;
    for (const auto& arg : args) wanted.push_back(arg.text);
    // ExpectEditFiles: each text may also be the full path of the file the wanted one names.
    const bool files = name == "ExpectEditFiles";
    bool same = wanted.size() == lastEdit_.size();
    for (size_t i = 0; same && i < wanted.size(); ++i) {
      same = files ? NamesSameFile(lastEdit_[i], wanted[i]) : lastEdit_[i] == wanted[i];
    }
    if (!same) {
      std::string found;
      for (const std::string& text : lastEdit_) found += " " + QuoteScriptText(text);
      Fail(script, command, "ExpectEdit: the host holds" + (found.empty() ? " nothing" : found));
    }
  } else if (name == "ExpectResult") {
    bool wanted = args[0].text == "true";
    if (wanted != lastResult) {
      Fail(script, command,
           std::string("ExpectResult: wanted ") + (wanted ? "true" : "false") +
               ", the action answered " + (lastResult ? "true" : "false"));
    }
  } else if (name == "Edit") {
    const CatalogueRow* action = host_.FindAction(args[0].text);
    std::vector<std::string> params(action->count);
    for (size_t i = 1; i < args.size(); ++i) params[i - 1] = args[i].text;
    input_->BeforeCall();
    lastResult = host_.Edit(action->id, params);
    input_->AfterCall();
    lastEdit_ = params;
    if (lastResult) {
      out_ << "Edit " << action->name << ":";
      for (const std::string& param : params) out_ << " " << QuoteScriptText(param);
      out_ << "\n";
    }
  } else {
    const CatalogueRow* action = host_.FindAction(name);
    std::vector<std::optional<std::string>> params(action->count);
    for (size_t i = 0; i < args.size(); ++i) params[i] = args[i].text;
    input_->BeforeCall();
    lastResult = host_.Execute(action->id, params);
    input_->AfterCall();
  }
}

platform::WindowHandle ScriptRunner::RectangleWindow(const Script& script,
                                                     const ScriptCommand& command) {
  const std::string& rect = command.args[0].text;
  if (!host_.HasRectangle(rect)) {
    Fail(script, command, command.name + ": no rectangle \"" + rect + "\"");
    return 0;
  }
  return static_cast<platform::WindowHandle>(
      std::strtoull(host_.RectangleHandleText(rect).c_str(), nullptr, 10));
}

bool ScriptRunner::RunInputCommand(const Script& script, const ScriptCommand& command) {
  const std::string& name = command.name;
  const auto& args = command.args;
  auto number = [&](size_t i) { return *ParseInt(args[i].text); };
  std::string problem;
  // A click, key or resize can open a modal dialog as well as an action can (a toolbar
  // button's Save or Format Cells): the same watch answers it, or the script would hang.
  struct Watch {
    HostInput& input;
    explicit Watch(HostInput& in) : input(in) { input.BeforeCall(); }
    ~Watch() { input.AfterCall(); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
  } watch(*input_);
  if (name == "Click" || name == "DoubleClick") {
    platform::WindowHandle window = RectangleWindow(script, command);
    if (window == 0) return true;
    problem = input_->Click(window, number(1), number(2), name == "DoubleClick");
  } else if (name == "Drag") {
    platform::WindowHandle window = RectangleWindow(script, command);
    if (window == 0) return true;
    problem = input_->Drag(window, number(1), number(2), number(3), number(4));
  } else if (name == "Key") {
    problem = input_->Key(args[0].text);
  } else if (name == "Type") {
    problem = input_->Type(args[0].text);
  } else if (name == "DialogAnswer") {
    input_->QueueAnswer(args[0].text, args.size() > 1 ? args[1].text : "");
  } else if (name == "DialogSet") {
    // Control actions travel in the dialog queue before the answer that closes the dialog
    // (ui/DialogLayout.h).
    input_->QueueAnswer("Set:" + args[0].text, args[1].text);
  } else if (name == "DialogCheck") {
    input_->QueueAnswer("Check:" + args[0].text, args[1].text);
  } else if (name == "DialogClick") {
    input_->QueueAnswer("Click:" + args[0].text, "");
  } else if (name == "DialogSnapshot") {
    input_->QueueAnswer("Snapshot:" + args[0].text, "");
  } else if (name == "Snapshot") {
    platform::WindowHandle window = RectangleWindow(script, command);
    if (window == 0) return true;
    problem = input_->Snapshot(window, args[1].text);
  } else if (name == "Resize") {
    platform::WindowHandle window = RectangleWindow(script, command);
    if (window == 0) return true;
    problem = input_->Resize(window, number(1), number(2));
  } else if (name == "Activate") {
    platform::WindowHandle window = RectangleWindow(script, command);
    if (window == 0) return true;
    problem = input_->Activate(window, number(1) != 0);
  } else {
    return false;
  }
  if (!problem.empty()) Fail(script, command, name + ": " + problem);
  return true;
}

}  // namespace nbhost
