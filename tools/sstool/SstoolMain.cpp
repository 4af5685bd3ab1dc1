// sstool: workbook files from the command line (see SstoolCommands.h for the exit codes).
#include <iostream>
#include <string>
#include <vector>

#include "SstoolCommands.h"
#include "ToolComposition.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    tools::ComposeCommandLineTool();
    return sstool::Run(args, std::cout, std::cerr);
  } catch (...) {
    std::cerr << "sstool: unexpected failure\n";
    return 1;
  }
}
