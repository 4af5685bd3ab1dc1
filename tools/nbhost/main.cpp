// nbhost: the substitute host. Loads the plug-in, makes the start-up calls and runs a
// publication script, or prints the catalogue as the plug-in announced it.
//
// Exit codes: 0 success, 1 an Expect or ExpectResult failed, 2 usage, load or script error.
#include <filesystem>
#include <iostream>
#include <string>

#include "HostServices.h"
#include "ScriptReader.h"
#include "ScriptRunner.h"

namespace {

constexpr int kExitFailedExpectation = 1;
constexpr int kExitError = 2;
constexpr const char* kPlugInFile = "zkSpreadSheet2.nbp";

void Usage(std::ostream& out) {
  out << "usage: nbhost [--plugin PATH] [--trace] [--catalogue] [SCRIPT.nbs]\n"
         "  --plugin PATH  the plug-in library (default: beside nbhost, else the build tree)\n"
         "  --trace        log every host variable write, in order, on standard output\n"
         "  --catalogue    print the catalogue as announced: id, name, hint, count, kinds\n";
}

// Beside the program first, then the build tree's plug-in folder (tools/nbhost -> src/plugin).
std::string DefaultPlugInPath() {
  namespace fs = std::filesystem;
  fs::path program = platform::ExecutablePath();
  if (program.empty()) return kPlugInFile;
  fs::path beside = program.parent_path() / kPlugInFile;
  std::error_code error;
  if (fs::exists(beside, error)) return beside.string();
  return (program.parent_path() / ".." / ".." / "src" / "plugin" / kPlugInFile)
      .lexically_normal()
      .string();
}

int Main(int argc, char** argv) {
  std::string plugInPath;
  std::string scriptPath;
  bool trace = false;
  bool catalogue = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--plugin") {
      if (i + 1 >= argc) {
        std::cerr << "nbhost: --plugin needs the path of the plug-in library\n";
        return kExitError;
      }
      plugInPath = argv[++i];
    } else if (arg == "--trace") {
      trace = true;
    } else if (arg == "--catalogue") {
      catalogue = true;
    } else if (arg == "--help" || arg == "-h") {
      Usage(std::cout);
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "nbhost: unknown option " << arg << "\n";
      Usage(std::cerr);
      return kExitError;
    } else if (scriptPath.empty()) {
      scriptPath = arg;
    } else {
      std::cerr << "nbhost: only one script may be given\n";
      return kExitError;
    }
  }
  if (scriptPath.empty() && !catalogue) {
    Usage(std::cerr);
    return kExitError;
  }
  if (plugInPath.empty()) plugInPath = DefaultPlugInPath();

  // Read the script before loading anything: a malformed file fails without side effects.
  nbhost::Script script;
  if (!scriptPath.empty()) script = nbhost::ReadScriptFile(scriptPath);

  nbhost::HostServices host;
  host.Load(plugInPath);
  if (trace) {
    host.SetWriteObserver(
        [](const std::string& name, const std::string& value, nbhost::WriteSource source) {
          std::cout << "trace: " << name << " := " << nbhost::QuoteScriptText(value)
                    << (source == nbhost::WriteSource::Script ? " (script)" : "") << "\n";
        });
  }
  host.Start();
  if (catalogue) {
    for (const nbhost::CatalogueRow& row : host.Catalogue()) {
      std::cout << nbhost::FormatCatalogueRow(row) << "\n";
    }
  }
  int failures = 0;
  if (!scriptPath.empty()) {
    nbhost::ScriptRunner runner(host, std::cout);
    failures = runner.Run(script);
  }
  host.Stop();
  if (host.CallbackFailures() > 0) {
    std::cerr << "nbhost: " << host.CallbackFailures() << " callback(s) failed\n";
    return kExitError;
  }
  std::cout.flush();
  return failures > 0 ? kExitFailedExpectation : 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const nbhost::ScriptError& error) {
    std::cout.flush();
    std::cerr << error.what() << "\n";
    return kExitError;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "nbhost: " << error.what() << "\n";
    return kExitError;
  }
}
