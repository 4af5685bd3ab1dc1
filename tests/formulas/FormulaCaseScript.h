#pragma once
// The setup commands of the formula case files (tests/data/formulas/README.md): `sheet`,
// `cell`, `clear` and `name`. Shared by the case test and by the formula_bits program, which
// evaluates the same files and prints every result with its exact bits.
#include <sstream>
#include <string>

#include "FormulaTestBook.h"

namespace formulas::test {

inline std::string TrimCaseLine(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) s.pop_back();
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

enum class SetupResult { NotSetup, Done, Failed };

// `line` is the raw line (note removed), `t` its trimmed form. On Failed, `message` says why.
// A cell reference the book cannot locate throws, as the book does.
inline SetupResult ApplySetupCommand(FormulaTestBook& book, const std::string& line,
                                     const std::string& t, std::string& message) {
  if (t.rfind("sheet ", 0) == 0) {
    book.AddSheet(t.substr(6));
    return SetupResult::Done;
  }
  if (t.rfind("cell ", 0) == 0) {
    const std::string rest = line.substr(line.find("cell ") + 5);
    size_t space;
    if (!rest.empty() && rest[0] == '\'')
      space = rest.find(' ', rest.find('\'', 1));
    else
      space = rest.find(' ');
    book.Set(rest.substr(0, space), space == std::string::npos ? "" : rest.substr(space + 1));
    return SetupResult::Done;
  }
  if (t == "clear") {
    book.ClearCells();
    return SetupResult::Done;
  }
  if (t.rfind("name ", 0) == 0) {
    std::istringstream words(t.substr(5));
    std::string name, ref;
    words >> name >> ref;
    uint16_t sheet = 0;
    workbook::TPoint a, b;
    std::string range = ref;
    std::string prefix;
    if (const size_t bang = ref.rfind('!'); bang != std::string::npos) {
      prefix = ref.substr(0, bang + 1);
      range = ref.substr(bang + 1);
    }
    const size_t colon = range.find(':');
    book.Locate(prefix + range.substr(0, colon), sheet, a);
    b = a;
    if (colon != std::string::npos) book.Locate(prefix + range.substr(colon + 1), sheet, b);
    if (book.Cache().AddName(name, static_cast<uint8_t>(sheet), true,
                             workbook::TRect{a.X, a.Y, b.X, b.Y}) < 0) {
      message = "name refused: " + name;
      return SetupResult::Failed;
    }
    return SetupResult::Done;
  }
  return SetupResult::NotSetup;
}

}  // namespace formulas::test
