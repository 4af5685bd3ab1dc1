#include "workbook/BookServices.h"

#include <mutex>

#include "workbook/Errors.h"
#include "workbook/SSIntf.h"
#include "workbook/TSSClipboard.h"

namespace workbook {
namespace {

// The installed services. Books copy the pointer, so replacing the services never changes
// a book that already exists. Guarded because a book may be built on any thread.
struct Installed {
  std::mutex lock;
  std::shared_ptr<const BookServices> services;
};

Installed& Current() {
  static Installed installed;
  return installed;
}

std::shared_ptr<const BookServices> Exchange(std::shared_ptr<const BookServices> services) {
  Installed& installed = Current();
  std::lock_guard<std::mutex> guard(installed.lock);
  installed.services.swap(services);
  return services;
}

// Raises before anything is exchanged, so a refused set leaves the installed one in place.
std::shared_ptr<const BookServices> Validated(BookServices services) {
  const std::vector<std::string> missing = services.Missing();
  if (!missing.empty()) {
    std::string parts;
    for (const std::string& part : missing) parts += (parts.empty() ? "" : ", ") + part;
    throw ESpreadSheetError("Book services incomplete: " + parts);
  }
  return std::make_shared<const BookServices>(std::move(services));
}

}  // namespace

std::vector<std::string> BookServices::Missing() const {
  std::vector<std::string> missing;
  if (!formulaCache) missing.emplace_back("formula cache factory");
  if (!loadFile) missing.emplace_back("file reader");
  if (!saveFile) missing.emplace_back("file writer");
  if (!showMessage) missing.emplace_back("message handler");
  if (clipboard == nullptr) missing.emplace_back("clipboard");
  if (passwordPrompt == nullptr) missing.emplace_back("password prompt");
  return missing;
}

BookServices::FormulaCacheFactory BookServices::FormulasAsText() {
  return [](TCustomSpreadSheetBook&) { return std::unique_ptr<FormulaEngine>(); };
}

BookServices::FileHandler BookServices::NoWorkbookFileReader() {
  return [](TCustomSpreadSheetBook&, const std::string&) {
    throw ESpreadSheetError("Workbook files cannot be read in this build");
  };
}

BookServices::FileHandler BookServices::NoWorkbookFileWriter() {
  return [](TCustomSpreadSheetBook&, const std::string&) {
    throw ESpreadSheetError("Workbook files cannot be written in this build");
  };
}

BookServices::MessageHandler BookServices::NoMessageBox() {
  return [](std::string_view) {};
}

BookClipboard& BookServices::PlatformClipboard() {
  static workbook::PlatformClipboard clipboard;
  return clipboard;
}

void InstallBookServices(BookServices services) { Exchange(Validated(std::move(services))); }

void UninstallBookServices() { Exchange(nullptr); }

bool BookServicesInstalled() {
  Installed& installed = Current();
  std::lock_guard<std::mutex> guard(installed.lock);
  return installed.services != nullptr;
}

std::shared_ptr<const BookServices> InstalledBookServices() {
  Installed& installed = Current();
  std::lock_guard<std::mutex> guard(installed.lock);
  if (!installed.services)
    throw ESpreadSheetError(
        "No book services installed: the program must run its composition function at start-up");
  return installed.services;
}

ScopedBookServices::ScopedBookServices(BookServices services)
    : previous_(Exchange(Validated(std::move(services)))) {}

ScopedBookServices::~ScopedBookServices() { Exchange(std::move(previous_)); }

}  // namespace workbook
