#pragma once
// The actions of the sfs tool. Each returns the process exit code (0 ok, 1 failure, 2 a usage
// error: the usage follows on `err`; --help and -h print it on `out` with 0) and
// writes its results to `out` and its one-line errors to `err`.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace sfs {

struct Options {
  std::optional<std::string> password;      // the store's password
  std::optional<std::string> filePassword;  // a file's own password (put, get)
  std::optional<int> compression;
  std::optional<int64_t> partSize;
};

// Asks the person at the terminal; false when nobody can answer.
using SecretReader = std::function<bool(const std::string& prompt, std::string& value)>;

struct Context {
  std::ostream& out;
  std::ostream& err;
  SecretReader askSecret;
};

int Create(Context& c, const std::string& store, const Options& o);
int List(Context& c, const std::string& store, const Options& o);
int Put(Context& c, const std::string& store, const std::string& name, const std::string& file,
        const Options& o);
int Get(Context& c, const std::string& store, const std::string& name, const std::string& file,
        const Options& o);
int Remove(Context& c, const std::string& store, const std::string& name, const Options& o);
int Verify(Context& c, const std::string& store, const Options& o);

// Parses the command line (without the program name) and runs the action.
int Run(Context& c, const std::vector<std::string>& args);

}  // namespace sfs
