#pragma once
// The commands of sstool. Each returns the process exit code: 0 success, 1 a file could not
// be read, written or edited (one line on `err`), 2 a usage error.
#include <iosfwd>
#include <string>
#include <vector>

namespace sstool {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sstool
