#include "plugin/PlugInServices.h"

#include <stdexcept>

#include "formulas/BookFormulaCache.h"
#include "plugin/TNeoSpread.h"
#include "store/PasswordPrompt.h"
#include "workbook/Errors.h"
#include "xls/book/BookFiles.h"

namespace plugin {
namespace {

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
  book.showMessage = workbook::BookServices::NoMessageBox();
  book.clipboard = &workbook::BookServices::PlatformClipboard();
  book.passwordPrompt = &store::CancellingPasswordPrompt();
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
