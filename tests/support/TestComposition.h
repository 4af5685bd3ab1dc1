#pragma once
// The composition of the test binaries. Every binary that builds books links the environment
// of TestComposition.cpp, which installs ModelServices() before the first test and removes it
// after the last, so a book built in any test has its services. Tests that want more (the
// formula engine, the workbook files, a clipboard of their own) hold a
// workbook::ScopedBookServices built from the helpers below for as long as they build books;
// the books keep the services they were built with.
#include "workbook/BookServices.h"

namespace workbook {
class BookClipboard;
}

namespace testsupport {

// Formulas kept as text, no workbook files, the platform clipboard, no message box, a
// password prompt that cancels: what the lower layers' tests expect of a book.
workbook::BookServices ModelServices();
// The same with a clipboard of the test's own (not owned).
workbook::BookServices ModelServices(workbook::BookClipboard& clipboard);

// `services` with the formula engine as formula cache (binaries linking the formula layer;
// TestEngine.cpp).
workbook::BookServices WithFormulaEngine(workbook::BookServices services);
// `services` with the workbook file reader and writer (binaries linking the xls layer;
// TestFiles.cpp).
workbook::BookServices WithWorkbookFiles(workbook::BookServices services);

// Everything a program's book has: engine and files (binaries linking the xls layer).
inline workbook::BookServices FullServices() {
  return WithWorkbookFiles(WithFormulaEngine(ModelServices()));
}

}  // namespace testsupport
