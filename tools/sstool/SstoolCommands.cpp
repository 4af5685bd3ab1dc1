#include "SstoolCommands.h"

#include <ostream>
#include <stdexcept>

#include "SstoolPrint.h"
#include "platform/File.h"
#include "workbook/CellReference.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/book/BookDump.h"
#include "xls/book/BookFiles.h"

namespace sstool {

namespace {

constexpr const char* kUsage =
    "usage: sstool dump FILE [--json]\n"
    "       sstool convert IN OUT\n"
    "       sstool set IN OUT REF=TEXT...   (REF: B3 or Sheet!B3)\n"
    "       sstool print BOOK.xls OUT.pdf [--sheet N] [--headings] [--gridlines]\n"
    "                    [--range A1:D20] [--landscape] [--repeat-headings]\n"
    "                    [--scale PERCENT | --fit-wide PAGES --fit-tall PAGES]\n"
    "                    [--no-scale-fonts] [--col-breaks C,F] [--row-breaks 20,40]\n"
    "                    [--header TEXT] [--footer TEXT]   (OUT.png: the first page as an image)\n"
    "       sstool --help | -h\n";

int Usage(std::ostream& err) {
  err << kUsage;
  return 2;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// An argument that looks like an option but is none of this command's.
// print names its own unknown options (it has several, some with values).
bool IsUnknownOption(const std::string& arg, const std::string& command) {
  if (arg.size() < 2 || arg[0] != '-' || command == "print") return false;
  return !(command == "dump" && arg == "--json");
}

// One line: messages of the file layers may carry line breaks of their own.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void Load(workbook::Workbook& book, const std::string& path, std::ostream& err) {
  const std::string problem = platform::ReadProblem(path);
  if (!problem.empty()) throw std::runtime_error("cannot open " + path + ": " + problem);
  xls::LoadBookFromFile(book, path);
  for (const std::string& w : book.LoadWarnings()) err << "sstool: warning: " << OneLine(w) << "\n";
  book.Recalculate();
}

void Save(workbook::Workbook& book, const std::string& path, std::ostream& err) {
  for (const std::string& w : xls::SaveBookToFile(book, path))
    err << "sstool: warning: " << OneLine(w) << "\n";
}

// "B3" on the first sheet, or "Caption!B3" on the sheet of that caption.
workbook::TSSBookSheet& TargetSheet(workbook::Workbook& book, const std::string& ref,
                                    std::string& cellName) {
  const size_t bang = ref.rfind('!');
  if (bang == std::string::npos) {
    cellName = ref;
    return book.Sheets(0);
  }
  std::string caption = ref.substr(0, bang);
  if (caption.size() >= 2 && caption.front() == '\'' && caption.back() == '\'')
    caption = caption.substr(1, caption.size() - 2);
  cellName = ref.substr(bang + 1);
  for (int i = 0; i < book.PageCount(); ++i)
    if (book.Sheets(i).Caption() == caption) return book.Sheets(i);
  throw std::runtime_error("no sheet named " + caption);
}

int Set(const std::vector<std::string>& args, std::ostream& err) {
  workbook::Workbook book;
  Load(book, args[1], err);
  for (size_t i = 3; i < args.size(); ++i) {
    const size_t eq = args[i].find('=');
    if (eq == std::string::npos || eq == 0)
      throw std::runtime_error("expected REF=TEXT, got " + args[i]);
    std::string cellName;
    workbook::TSSBookSheet& sheet = TargetSheet(book, args[i].substr(0, eq), cellName);
    workbook::TPoint cell;
    if (!workbook::CellNameToPoint(cellName, cell))
      throw std::runtime_error("invalid cell reference " + cellName);
    sheet.CellObject(cell.X, cell.Y)->SetText(args[i].substr(eq + 1));
  }
  book.Recalculate();
  Save(book, args[2], err);
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err);
  for (const std::string& arg : args) {
    if (IsHelp(arg)) {
      out << kUsage;
      return 0;
    }
  }
  const std::string& command = args[0];
  for (size_t i = 1; i < args.size(); ++i) {
    if (IsUnknownOption(args[i], command)) {
      err << "sstool: unknown option " << args[i] << "\n";
      return Usage(err);
    }
  }
  try {
    if (command == "dump") {
      if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--json"))
        return Usage(err);
      workbook::Workbook book;
      Load(book, args[1], err);
      out << (args.size() == 3 ? xls::DumpJson(book) : xls::DumpText(book));
      return 0;
    }
    if (command == "convert") {
      if (args.size() != 3) return Usage(err);
      workbook::Workbook book;
      Load(book, args[1], err);
      Save(book, args[2], err);
      return 0;
    }
    if (command == "set") {
      if (args.size() < 4) return Usage(err);
      return Set(args, err);
    }
    if (command == "print") {
      const int code = Print(args, out, err);
      return code == 2 ? Usage(err) : code;
    }
  } catch (const std::exception& e) {
    err << "sstool: " << OneLine(e.what()) << "\n";
    return 1;
  } catch (...) {
    err << "sstool: unexpected failure\n";
    return 1;
  }
  return Usage(err);
}

}  // namespace sstool
