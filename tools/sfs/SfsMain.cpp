// sfs: create, list, fill, read and check single-file stores from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "SfsCommands.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  sfs::Context context{std::cout, std::cerr, [](const std::string& prompt, std::string& value) {
                         return platform::ReadSecretLine(prompt, value);
                       }};
  return sfs::Run(context, args);
}
