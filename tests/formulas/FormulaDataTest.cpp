// Runs the formula cases of tests/data/formulas/*.txt (the format is described in the README
// beside them). Every file is one test; every failing line is reported with its file and line.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "FormulaCaseScript.h"
#include "FormulaTestBook.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

namespace formulas::test {
namespace {

// The files are listed when CTest asks the program for its cases, where SS_TEST_DATA is not
// set: the tree the program was built from is the fallback, so every file is a case of its own.
std::filesystem::path DataDir() {
  const char* root = std::getenv("SS_TEST_DATA");
  return (root ? std::filesystem::path(root)
               : std::filesystem::path(SS_SOURCE_DIR_DEFAULT) / "tests" / "data") /
         "formulas";
}

std::string KindName(uint8_t kind) {
  switch (kind) {
    case ptgNum:
      return "num";
    case ptgStr:
      return "text";
    case ptgBool:
      return "bool";
    case 0:
      return "parse-error";
    default:
      return "err";
  }
}

bool NumbersMatch(double got, double want) {
  if (got == want) return true;
  const double tolerance = 1e-12 * std::max(1.0, std::fabs(want));
  return std::fabs(got - want) <= tolerance;
}

std::optional<double> ParseExactDouble(const std::string& text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// Runs one file; returns the failures as "file:line: message".
std::vector<std::string> RunFile(const std::filesystem::path& path, size_t& cases) {
  std::vector<std::string> failures;
  std::ifstream in(path);
  FormulaTestBook book;
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& message) {
    failures.push_back(path.filename().string() + ":" + std::to_string(lineNo) + ": " + message);
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (const size_t note = line.find("   ## "); note != std::string::npos) line.resize(note);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const std::string t = TrimCaseLine(line);
    if (t.empty() || t[0] == '#') continue;
    try {
      std::string message;
      const SetupResult setup = ApplySetupCommand(book, line, t, message);
      if (setup == SetupResult::Failed) fail(message);
      if (setup != SetupResult::NotSetup) {
        continue;
      } else if (t[0] == '=') {
        ++cases;
        const size_t arrow = t.find(" => ");
        if (arrow == std::string::npos) {
          fail("no expectation: " + t);
          continue;
        }
        const std::string formula = t.substr(0, arrow);
        std::string expect = line.substr(line.find(" => ") + 4);
        const size_t space = expect.find(' ');
        const std::string kind = expect.substr(0, space);
        const std::string want = space == std::string::npos ? "" : expect.substr(space + 1);
        book.Messages().clear();
        const EvalResult r = Evaluate(book, formula);
        const std::string got = KindName(r.kind) + " " +
                                (r.kind == ptgNum    ? workbook::NumberText(r.number)
                                 : r.kind == ptgBool ? std::string(r.boolean ? "TRUE" : "FALSE")
                                                     : r.text);
        bool ok = false;
        if (kind == "num") {
          double w = 0;
          ok = r.kind == ptgNum && workbook::TextToNumber(want, w) && NumbersMatch(r.number, w);
        } else if (kind == "exact") {
          // The double to the last bit, written in its shortest round-trip form.
          const std::optional<double> w = ParseExactDouble(want);
          ok = r.kind == ptgNum && w && std::memcmp(&*w, &r.number, sizeof r.number) == 0;
          if (!ok && r.kind == ptgNum) {
            char buf[40];
            const auto end = std::to_chars(buf, buf + sizeof buf, r.number).ptr;
            fail(formula + " => expected " + expect + ", got exact " + std::string(buf, end));
            continue;
          }
        } else if (kind == "text") {
          ok = r.kind == ptgStr && r.text == want;
        } else if (kind == "bool") {
          ok = r.kind == ptgBool && (r.boolean ? "TRUE" : "FALSE") == want;
        } else if (kind == "err") {
          ok = r.kind >= 1 && r.kind <= 7 && r.text == want;
        } else if (kind == "shown") {
          ok = r.shown == want;
        } else if (kind == "parse-error") {
          ok = r.kind == 0 && !book.Messages().empty();
        } else {
          fail("unknown expectation kind: " + kind);
          continue;
        }
        if (!ok)
          fail(formula + " => expected " + expect + ", got " + got + " (shown " + r.shown + ")");
      } else {
        fail("unknown command: " + t);
      }
    } catch (const std::exception& e) {
      fail(std::string("exception: ") + e.what());
    }
  }
  return failures;
}

class FormulaDataFile : public ::testing::TestWithParam<std::string> {};

TEST_P(FormulaDataFile, EveryCaseHolds) {
  platform::ScopedLocale locale(platform::LocaleSettings::EnglishUS());
  platform::SetNowOverride([] { return 45292.5; });  // 1 January 2024, noon
  size_t cases = 0;
  const auto failures = RunFile(DataDir() / GetParam(), cases);
  platform::SetNowOverride(nullptr);
  for (const auto& f : failures) ADD_FAILURE() << f;
  EXPECT_GT(cases, 0u) << "no cases in " << GetParam();
}

std::vector<std::string> DataFiles() {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(DataDir(), ec))
    if (e.path().extension() == ".txt") files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, FormulaDataFile, ::testing::ValuesIn(DataFiles()),
                         [](const auto& info) {
                           std::string name = info.param.substr(0, info.param.size() - 4);
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace formulas::test
