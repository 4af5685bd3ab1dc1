#pragma once
// Everything a book takes from the layers above it and from the program that builds it: the
// formula engine, the workbook file procedures, where engine messages go, the clipboard and
// the password prompt for protected files in a single-file store.
//
// Each program kind fills one BookServices in its composition function at start-up and
// installs it (plugin::ComposePlugin, tools::ComposeCommandLineTool, the test environment);
// every book takes a shared snapshot of the installed services when it is constructed and
// uses only that snapshot afterwards. Nothing is optional: InstallBookServices refuses a
// BookServices with an unset part, naming it, and a book constructed before any services are
// installed raises ESpreadSheetError instead of quietly keeping formulas as text. Programs
// and tests of the lower layers, which cannot link the engine or the file layer, choose the
// stand-ins below by name (FormulasAsText, NoWorkbookFiles, ...), never by omission.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace store {
class PasswordPrompt;
}

namespace workbook {

class BookClipboard;
class FormulaEngine;
class TCustomSpreadSheetBook;

struct BookServices {
  // Builds the formula cache of a new book; may return nullptr only for the stand-in
  // FormulasAsText.
  using FormulaCacheFactory =
      std::function<std::unique_ptr<FormulaEngine>(TCustomSpreadSheetBook&)>;
  using FileHandler = std::function<void(TCustomSpreadSheetBook&, const std::string& fileName)>;
  using MessageHandler = std::function<void(std::string_view)>;

  FormulaCacheFactory formulaCache;
  FileHandler loadFile;
  FileHandler saveFile;
  // Engine messages (a circular reference found by a recalculation); the window shows a
  // message box, the tools have nowhere to show them.
  MessageHandler showMessage;
  // Not owned: the composition keeps it alive for as long as books exist.
  BookClipboard* clipboard = nullptr;
  // Not owned. Handed to the single-file stores opened for a book, which ask it when a
  // protected file is opened with a wrong password.
  store::PasswordPrompt* passwordPrompt = nullptr;

  // The names of the unset parts, in declaration order; empty when complete.
  std::vector<std::string> Missing() const;

  // Stand-ins, for programs and tests that deliberately build books without a part.
  // A factory giving no cache: formula cells keep their text and are never evaluated.
  static FormulaCacheFactory FormulasAsText();
  // Handlers raising ESpreadSheetError "Workbook files cannot be read in this build" (or
  // "... written ...").
  static FileHandler NoWorkbookFileReader();
  static FileHandler NoWorkbookFileWriter();
  // Drops the message (the engine's cache still keeps its last messages).
  static MessageHandler NoMessageBox();
  // The platform clipboard: the system clipboard on Windows, one process-wide store elsewhere.
  static BookClipboard& PlatformClipboard();
  // (The store offers store::CancellingPasswordPrompt for programs without a prompt.)
};

// Makes `services` the ones every book constructed from now on takes. Raises
// ESpreadSheetError "Book services incomplete: <parts>" when a part is unset; the services
// installed before stay in place then.
void InstallBookServices(BookServices services);
// Removes the installed services (books already built keep theirs).
void UninstallBookServices();
bool BookServicesInstalled();
// The installed services; raises ESpreadSheetError when none are installed, with a message
// saying that the program did not run its composition function.
std::shared_ptr<const BookServices> InstalledBookServices();

// Installs services for the lifetime of the object and puts the previous ones (or none) back
// afterwards; for tests and for a program part that needs a different clipboard.
class ScopedBookServices {
 public:
  explicit ScopedBookServices(BookServices services);
  ~ScopedBookServices();
  ScopedBookServices(const ScopedBookServices&) = delete;
  ScopedBookServices& operator=(const ScopedBookServices&) = delete;

 private:
  std::shared_ptr<const BookServices> previous_;
};

}  // namespace workbook
