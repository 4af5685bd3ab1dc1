#include "plugin/PlugInServices.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "formulas/BookFormulaCache.h"
#include "plugin/TNeoSpread.h"
#include "store/PasswordPrompt.h"
#include "ui/Dialogs.h"
#include "workbook/Errors.h"
#include "xls/book/BookFiles.h"

namespace plugin {
namespace {

// Engine messages (a circular reference found by a recalculation) go to a message box.
void ShowEngineMessage(std::string_view text) {
  try {
    ui::ShowMessageBox(ui::MessageBoxSpec{"Spreadsheet", std::string(text), ui::MessageButtons::Ok,
                                          ui::MessageIcon::Warning});
  } catch (...) {
    // A message that cannot be shown is dropped; the cache keeps its last messages anyway.
  }
}

// The password of a protected file in a single-file store, asked in a masked input box.
class DialogPasswordPrompt final : public store::PasswordPrompt {
 public:
  bool Ask(const std::string& caption, const std::string& prompt, std::string& value) override {
    try {
      ui::InputBox box{caption, prompt, "", true};
      if (!box.Execute()) return false;
      value = box.value;
      return true;
    } catch (...) {
      // A prompt that cannot be shown counts as cancelled.
      return false;
    }
  }
};

DialogPasswordPrompt& PlugInPasswordPrompt() {
  static DialogPasswordPrompt prompt;
  return prompt;
}

SpreadFactory& InstalledFactory() {
  static SpreadFactory factory = nullptr;
  return factory;
}

}  // namespace

PlugInServices PlugInComposition() {
  PlugInServices services;
  workbook::BookServices& book = services.book;
  book.formulaCache = &formulas::BookFormulaCache::Create;
  book.loadFile = &xls::LoadBookFromFile;
  book.saveFile = &xls::SaveBookKeepingWarnings;
  book.showMessage = &ShowEngineMessage;
  book.clipboard = &workbook::BookServices::PlatformClipboard();
  book.passwordPrompt = &PlugInPasswordPrompt();
  services.spreadFactory = &MakeSpreadWindow;
  return services;
}

void ComposePlugin() { InstallPlugInServices(PlugInComposition()); }

void InstallPlugInServices(PlugInServices services) {
  if (services.spreadFactory == nullptr)
    throw workbook::ESpreadSheetError("Plug-in services incomplete: spreadsheet window factory");
  workbook::InstallBookServices(std::move(services.book));  // raises before installing
  InstalledFactory() = services.spreadFactory;
}

SpreadFactory ComposedSpreadFactory() {
  if (InstalledFactory() == nullptr)
    throw std::runtime_error("the plug-in was not composed: no spreadsheet window factory");
  return InstalledFactory();
}

}  // namespace plugin
