#include "ToolComposition.h"

#include <iostream>

#include "formulas/BookFormulaCache.h"
#include "platform/Console.h"
#include "store/PasswordPrompt.h"
#include "xls/book/BookFiles.h"

namespace tools {
namespace {

// Shows the caption on the error stream (the standard output may be a dump being written)
// and reads the password without echo.
class TerminalPasswordPrompt final : public store::PasswordPrompt {
 public:
  bool Ask(const std::string& caption, const std::string& prompt, std::string& value) override {
    std::cerr << caption << '\n';
    return platform::ReadSecretLine(prompt, value);
  }
};

}  // namespace

workbook::BookServices CommandLineToolServices() {
  static TerminalPasswordPrompt prompt;
  workbook::BookServices services;
  services.formulaCache = &formulas::BookFormulaCache::Create;
  services.loadFile = &xls::LoadBookFromFile;
  services.saveFile = &xls::SaveBookKeepingWarnings;
  services.showMessage = workbook::BookServices::NoMessageBox();
  services.clipboard = &workbook::BookServices::PlatformClipboard();
  services.passwordPrompt = &prompt;
  return services;
}

void ComposeCommandLineTool() { workbook::InstallBookServices(CommandLineToolServices()); }

}  // namespace tools
