#pragma once
// sstool print: the report link and the PDF output from the command line.
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "printing/PageSettings.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "workbook/Geometry.h"

namespace sstool {

// What the options of sstool print ask for; the defaults are the window's stored settings.
struct PrintOptions {
  printing::ReportViewOptions viewOptions = 0;
  printing::PageSettings settings;
  int sheet = 1;                        // from 1
  workbook::TRect range{0, 0, -1, -1};  // empty: the used range
  bool headersOnEveryPage = false;
  bool scaleFonts = true;
  std::vector<int32_t> columnBreaks;  // sheet indices a new page starts before
  std::vector<int32_t> rowBreaks;
};

class PrintOptionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The options from args[first] on. A malformed one throws PrintOptionError with a message that
// names the option and, for a list, the item at fault (Print reports it and exits with 2).
PrintOptions ParsePrintOptions(const std::vector<std::string>& args, size_t first);

// args: "print", BOOK, OUT.pdf, then options. Returns the exit code (0, 1 failure, 2 usage).
int Print(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sstool
