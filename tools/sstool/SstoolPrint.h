#pragma once
// sstool print: the report link and the PDF output from the command line.
#include <iosfwd>
#include <string>
#include <vector>

namespace sstool {

// args: "print", BOOK, OUT.pdf, then options. Returns the exit code (0, 1 failure, 2 usage).
int Print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sstool
