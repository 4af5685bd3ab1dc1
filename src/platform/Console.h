#pragma once
// The terminal of command-line tools.
#include <string>

namespace platform {

// Shows `prompt` on the terminal and reads one line without echoing it. False when there is
// no terminal to ask (input redirected) or the input ended.
bool ReadSecretLine(const std::string& prompt, std::string& line);

}  // namespace platform
