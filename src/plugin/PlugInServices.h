#pragma once
// The plug-in's composition root: the one place that decides what the books and windows of
// the plug-in are made of. The export library runs ComposePlugin once when it is loaded,
// before the host calls anything; nothing else in the plug-in installs a service.
//
// What the plug-in wires:
// - books: the formula engine (formulas::BookFormulaCache), the workbook file reader and
//   writer (xls), the platform clipboard; engine messages go to the toolkit's message box
//   and the per-file password prompt to its masked input box (the headless backend records
//   both and answers from its queue);
// - windows: the factory that builds an attached spreadsheet window (MakeSpreadWindow: a
//   TNeoSpread whose book gets the services above).
#include "plugin/SpreadWindows.h"
#include "workbook/BookServices.h"

namespace plugin {

struct PlugInServices {
  workbook::BookServices book;
  SpreadFactory spreadFactory = nullptr;
};

// The services the plug-in runs with (built afresh on every call).
PlugInServices PlugInComposition();

// Installs PlugInComposition(). Raises (ESpreadSheetError) when a part is missing.
void ComposePlugin();

// Installs `services`: the book services for every book built from now on and the window
// factory for every Create. Raises ESpreadSheetError naming the unset parts, installing
// nothing then. Tests use it to put their own window factory in place.
void InstallPlugInServices(PlugInServices services);

// The installed window factory; raises std::runtime_error when the plug-in was not composed.
SpreadFactory ComposedSpreadFactory();

}  // namespace plugin
