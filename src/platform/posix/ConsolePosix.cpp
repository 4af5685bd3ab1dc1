#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "platform/Console.h"

namespace platform {

bool ReadSecretLine(const std::string& prompt, std::string& line) {
  if (!::isatty(STDIN_FILENO)) return false;
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  termios saved{};
  const bool haveMode = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (haveMode) {
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  }
  const bool ok = static_cast<bool>(std::getline(std::cin, line));
  if (haveMode) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  std::fputs("\n", stderr);
  return ok;
}

}  // namespace platform
