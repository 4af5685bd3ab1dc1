#include <windows.h>

#include <cstdio>
#include <iostream>

#include "platform/Console.h"

namespace platform {

bool ReadSecretLine(const std::string& prompt, std::string& line) {
  HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &mode)) return false;
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  ::SetConsoleMode(input, mode & ~DWORD(ENABLE_ECHO_INPUT));
  const bool ok = static_cast<bool>(std::getline(std::cin, line));
  ::SetConsoleMode(input, mode);
  std::fputs("\n", stderr);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return ok;
}

}  // namespace platform
