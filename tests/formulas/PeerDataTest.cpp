// Runs every case of tests/data/formulas/peer/formulas.tsv (the results of another spreadsheet
// beside the results our rules give; format in docs/interop.md) through a real book with the
// engine installed: the input cells and then the formula in H1 are typed through the cell
// object, the book is recalculated and H1's result is compared.
//
// engine.tsv beside it says, for each case listed, which result this engine gives and why:
//   mended     a "mendable" case where the engine mends the rule and gives the peer's value
//              (a "mendable" case not listed must give the rule's value);
//   corrected  the data's expected value is not what the engine is decided to do;
//   fault      a known engine fault: the value it gives today, kept so the list goes stale
//              (and the test fails) as soon as the fault is fixed.
// The listed value is the one checked, so a case cannot pass with either of two results.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "formulas/BookFormulaCache.h"
#include "formulas/EngineErrors.h"
#include "formulas/FormulaEntry.h"
#include "formulas/TokenBlock.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"

namespace formulas::test {
namespace {

namespace fs = std::filesystem;

struct Value {
  std::string type;  // number, text, boolean, error
  std::string text;
};

struct PeerCase {
  int line = 0;
  std::string id, group, cells, formula, status, reason;
  Value peer, expected;
};

struct Listed {
  std::string outcome;  // mended, corrected, fault
  Value value;
  std::string reason;
};

fs::path PeerDir() {
  const char* root = std::getenv("SS_TEST_DATA");
  return fs::path(root ? root : "tests/data") / "formulas" / "peer";
}

// Splits on tabs, keeping empty fields.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return out;
    start = tab + 1;
  }
}

std::vector<std::vector<std::string>> ReadTable(const fs::path& path, size_t columns) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot open " << path.string();
  std::vector<std::vector<std::string>> rows;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> f = Fields(line);
    EXPECT_EQ(f.size(), columns) << path.filename().string() << ": " << line;
    f.resize(columns);
    rows.push_back(std::move(f));
  }
  return rows;
}

std::vector<PeerCase> LoadCases() {
  std::vector<PeerCase> cases;
  int line = 1;
  for (auto& f : ReadTable(PeerDir() / "formulas.tsv", 10)) {
    PeerCase c;
    c.line = ++line;
    c.id = f[0];
    c.group = f[1];
    c.cells = f[2];
    c.formula = f[3];
    c.peer = {f[4], f[5]};
    c.expected = {f[6], f[7]};
    c.status = f[8];
    c.reason = f[9];
    cases.push_back(std::move(c));
  }
  return cases;
}

std::map<std::string, Listed> LoadListed() {
  std::map<std::string, Listed> listed;
  for (auto& f : ReadTable(PeerDir() / "engine.tsv", 5)) {
    EXPECT_TRUE(listed.emplace(f[0], Listed{f[1], {f[2], f[3]}, f[4]}).second)
        << "listed twice: " << f[0];
  }
  return listed;
}

bool NumbersMatch(double got, double want) {
  if (got == want) return true;
  return std::fabs(got - want) <= 1e-12 * std::max(1.0, std::fabs(want));
}

bool Matches(const Value& got, const Value& want) {
  if (got.type != want.type) return false;
  if (got.type != "number") return got.text == want.text;
  char* end = nullptr;
  const double w = std::strtod(want.text.c_str(), &end);
  if (end == want.text.c_str() || *end != '\0') return false;
  return NumbersMatch(std::strtod(got.text.c_str(), nullptr), w);
}

std::string Show(const Value& v) { return v.type + " " + v.text; }

// Column letters and a row number ("B12") to zero-based positions.
bool ParseRef(const std::string& ref, int32_t& col, int32_t& row) {
  size_t i = 0;
  col = 0;
  while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])))
    col = col * 26 + (std::toupper(static_cast<unsigned char>(ref[i++])) - 'A' + 1);
  if (i == 0 || i == ref.size()) return false;
  row = 0;
  for (; i < ref.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(ref[i]))) return false;
    row = row * 10 + (ref[i] - '0');
  }
  --col;
  --row;
  return row >= 0;
}

class PeerData : public ::testing::Test {
 protected:
  PeerData() {
    // Volatile cases are written as properties of the clock; any fixed moment after 2023 holds.
    platform::SetNowOverride([] { return 46000.375; });
  }
  ~PeerData() override { platform::SetNowOverride(nullptr); }
  workbook::ScopedBookServices engine_{
      testsupport::WithFormulaEngine(testsupport::ModelServices())};

  // H1's result after typing the case into a fresh book; "error" on a setup problem.
  Value Run(const PeerCase& c, std::string& problem) {
    workbook::Workbook book;
    workbook::TSSBookSheet& sheet = book.Sheets(0);
    std::stringstream cells(c.cells);
    std::string item;
    while (!c.cells.empty() && std::getline(cells, item, ';')) {
      const size_t eq = item.find('=');
      int32_t col = 0, row = 0;
      if (eq == std::string::npos || !ParseRef(item.substr(0, eq), col, row)) {
        problem = "bad cell item '" + item + "'";
        return {};
      }
      sheet.CellObject(col, row)->SetText(item.substr(eq + 1));
    }
    sheet.CellObject(7, 0)->SetText(c.formula);
    book.FormulaCache()->RecalculateAll();
    const workbook::TSSCellRec rec = sheet.Storage().CellRec(7, 0);
    if (rec.DataType != workbook::kCellFormula || rec.Formula == nullptr) {
      problem = "H1 holds no formula (kept as the text '" + rec.Text + "')";
      return {};
    }
    const FormulaEntry* e = static_cast<const FormulaEntry*>(rec.Formula);
    if (e->Result.Empty()) {
      problem = "H1 has no result";
      return {};
    }
    const uint8_t* p = e->Result.Data();
    if (e->State == EntryState::Error) return {"error", std::string(EngineErrorText(p[0]))};
    switch (p[0]) {
      case ptgNum: {
        std::ostringstream out;
        out.precision(17);
        out << ReadNumberToken(p);
        return {"number", out.str()};
      }
      case ptgStr:
        return {"text", ReadStringToken(p)};
      case ptgBool:
        return {"boolean", ReadBoolToken(p) ? "TRUE" : "FALSE"};
      default:
        problem = "H1's result token " + std::to_string(p[0]) + " is no value";
        return {};
    }
  }

  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
};

// The data and the engine's list fit together, so no listed case hides a typing slip.
TEST_F(PeerData, ListsAgreeWithTheCases) {
  const std::vector<PeerCase> cases = LoadCases();
  const std::map<std::string, Listed> listed = LoadListed();
  ASSERT_EQ(cases.size(), 583u);
  std::map<std::string, const PeerCase*> byId;
  for (const PeerCase& c : cases) {
    EXPECT_TRUE(byId.emplace(c.id, &c).second) << "id twice: " << c.id;
    EXPECT_TRUE(c.status == "same" || c.status == "differs" || c.status == "mendable") << c.id;
    EXPECT_EQ(c.status == "same", c.reason.empty())
        << c.id << ": a reason exactly where the peer differs";
    if (c.status == "same") {
      EXPECT_TRUE(Matches(c.expected, c.peer)) << c.id << " is 'same' but differs";
    }
  }
  for (const auto& [id, l] : listed) {
    SCOPED_TRACE(id);
    auto it = byId.find(id);
    ASSERT_NE(it, byId.end()) << "listed id is no case";
    EXPECT_FALSE(l.reason.empty());
    if (l.outcome == "mended") {
      EXPECT_EQ(it->second->status, "mendable");
      EXPECT_TRUE(Matches(l.value, it->second->peer)) << "a mended case gives the peer's value";
    } else if (l.outcome == "corrected" || l.outcome == "fault") {
      EXPECT_FALSE(Matches(l.value, it->second->expected)) << "listed value equals the data's";
    } else {
      ADD_FAILURE() << "unknown outcome '" << l.outcome << "'";
    }
  }
}

TEST_F(PeerData, EveryCaseGivesItsResult) {
  const std::vector<PeerCase> cases = LoadCases();
  const std::map<std::string, Listed> listed = LoadListed();
  ASSERT_FALSE(cases.empty());
  std::map<std::string, int> tally;
  std::vector<std::string> failures;
  for (const PeerCase& c : cases) {
    std::string problem;
    Value got;
    try {
      got = Run(c, problem);
    } catch (const std::exception& e) {
      problem = std::string("exception: ") + e.what();
    }
    auto l = listed.find(c.id);
    const Value& want = l != listed.end() ? l->second.value : c.expected;
    const std::string kind = l != listed.end() ? l->second.outcome : c.status;
    ++tally[kind];
    if (!problem.empty()) {
      failures.push_back(c.id + " " + c.formula + ": " + problem);
    } else if (!Matches(got, want)) {
      std::string note = " [" + kind + "]";
      if (l == listed.end() && c.status == "mendable" && Matches(got, c.peer))
        note = " [engine mends this rule: list it as mended]";
      failures.push_back(c.id + " (line " + std::to_string(c.line) + ") cells '" + c.cells + "' " +
                         c.formula + ": want " + Show(want) + ", got " + Show(got) + note);
    }
  }
  std::string summary;
  for (const auto& [kind, n] : tally) summary += " " + kind + "=" + std::to_string(n);
  std::string all;
  for (const std::string& f : failures) all += f + "\n";
  EXPECT_TRUE(failures.empty()) << failures.size() << " of " << cases.size() << " cases fail:\n"
                                << all;
  std::cout << "[ peer data ] " << cases.size() << " cases:" << summary << "\n";
}

}  // namespace
}  // namespace formulas::test
