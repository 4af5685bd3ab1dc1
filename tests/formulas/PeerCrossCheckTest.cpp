// Cross-check against a real peer: every case of tests/data/formulas/*.txt is evaluated by
// Gnumeric's ssconvert as well (when it is installed) and compared with our result. A case
// whose results differ must say why in its note ("## peer ..."): a deliberate
// behaviour. Cases that test the parser's refusals, or that need sheets or names, which a
// CSV file cannot carry, are left out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FormulaTestBook.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

namespace formulas::test {
namespace {

namespace fs = std::filesystem;

struct Case {
  int line = 0;
  std::string formula;
  std::string note;
  std::string ours;  // normalised
};

struct Segment {
  std::vector<std::pair<std::string, std::string>> cells;  // A1-name, text
  std::vector<Case> cases;
  bool usable = true;
};

std::string Normalise(std::string s) {
  if (!s.empty() && s[0] == '#' && (s.back() == '!' || s.back() == '?')) s.pop_back();
  return s;
}

std::string CsvField(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::vector<std::vector<std::string>> ReadCsv(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted) {
        if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else if (c == '"') {
          quoted = false;
        } else {
          field += c;
        }
      } else if (c == '"') {
        quoted = true;
      } else if (c == ',') {
        row.push_back(field);
        field.clear();
      } else {
        field += c;
      }
    }
    row.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

bool SameValue(const std::string& ours, const std::string& peer) {
  if (ours == peer) return true;
  double a = 0, b = 0;
  if (workbook::TextToNumber(ours, a) && workbook::TextToNumber(peer, b))
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
  return false;
}

// Splits one data file into independent segments and evaluates our side of every case.
std::vector<Segment> LoadSegments(const fs::path& path) {
  std::vector<Segment> segments(1);
  FormulaTestBook book;
  std::ifstream in(path);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    std::string note;
    if (const size_t at = line.find("   ## "); at != std::string::npos) {
      note = line.substr(at + 6);
      line.resize(at);
      while (!line.empty() && line.back() == ' ') line.pop_back();
    }
    if (line.empty() || line[0] == '#') continue;
    Segment& seg = segments.back();
    if (line.rfind("sheet ", 0) == 0 || line.rfind("name ", 0) == 0) {
      seg.usable = false;
      if (line.rfind("sheet ", 0) == 0) book.AddSheet(line.substr(6));
    } else if (line == "clear") {
      book.ClearCells();
      segments.emplace_back();
    } else if (line.rfind("cell '", 0) == 0) {
      seg.usable = false;  // a cell on another sheet
    } else if (line.rfind("cell ", 0) == 0) {
      const std::string rest = line.substr(5);
      const size_t space = rest.find(' ');
      const std::string ref = rest.substr(0, space);
      const std::string value = space == std::string::npos ? "" : rest.substr(space + 1);
      if (ref.find('!') != std::string::npos) {
        seg.usable = false;
        continue;
      }
      book.Set(ref, value);
      seg.cells.emplace_back(ref, value);
    } else if (line[0] == '=') {
      const size_t arrow = line.find(" => ");
      if (arrow == std::string::npos || line.substr(arrow + 4).rfind("parse-error", 0) == 0)
        continue;
      Case c;
      c.line = lineNo;
      c.formula = line.substr(0, arrow);
      c.note = note;
      const EvalResult r = Evaluate(book, c.formula);
      if (r.kind == ptgNum)
        c.ours = workbook::NumberText(r.number);
      else if (r.kind == ptgBool)
        c.ours = r.boolean ? "TRUE" : "FALSE";
      else
        c.ours = r.text;
      c.ours = Normalise(c.ours);
      seg.cases.push_back(c);
    }
  }
  return segments;
}

TEST(PeerCrossCheck, ResultsMatchGnumericOrSayWhyNot) {
#ifdef _WIN32
  GTEST_SKIP() << "the peer runs on the Linux build only";
#else
  if (std::system("command -v ssconvert > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "ssconvert (Gnumeric) is not installed";
  platform::ScopedLocale locale(platform::LocaleSettings::EnglishUS());
  platform::SetNowOverride([] { return 45292.5; });
  const char* root = std::getenv("SS_TEST_DATA");
  const fs::path dir = fs::path(root ? root : "tests/data") / "formulas";
  const fs::path work = fs::temp_directory_path() / ("ss_peer_" + std::to_string(::getpid()));
  fs::create_directories(work);
  constexpr int kFormulaColumn = 52;  // BA: far from every cell the cases use
  size_t compared = 0;
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".txt") files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    const auto segments = LoadSegments(dir / file);
    for (size_t s = 0; s < segments.size(); ++s) {
      const Segment& seg = segments[s];
      if (!seg.usable || seg.cases.empty()) continue;
      // The grid: the segment's cells, and formula i in row i of column BA.
      std::map<std::pair<int, int>, std::string> grid;
      int rows = static_cast<int>(seg.cases.size()), cols = kFormulaColumn + 1;
      for (const auto& [ref, value] : seg.cells) {
        workbook::TPoint p;
        ASSERT_TRUE(workbook::CellNameToPoint(ref, p)) << ref;
        grid[{p.Y, p.X}] = value;
        rows = std::max(rows, p.Y + 1);
      }
      for (size_t i = 0; i < seg.cases.size(); ++i)
        grid[{static_cast<int>(i), kFormulaColumn}] = seg.cases[i].formula;
      // The export covers the used area only: a marker in column A, in row 1200, below every cell
      // the cases read, keeps the columns where they are.
      rows = std::max(rows, 1200);
      grid[{rows - 1, 0}] = "end";
      const fs::path in = work / (file + std::to_string(s) + ".csv");
      const fs::path out = work / (file + std::to_string(s) + ".out.csv");
      {
        std::ofstream csv(in);
        for (int r = 0; r < rows; ++r) {
          for (int c = 0; c < cols; ++c) {
            if (c > 0) csv << ',';
            const auto it = grid.find({r, c});
            if (it != grid.end()) csv << CsvField(it->second);
          }
          csv << '\n';
        }
      }
      const std::string command =
          "LC_ALL=C ssconvert --export-type=Gnumeric_stf:stf_assistant "
          "-O 'format=raw quoting-mode=always' '" +
          in.string() + "' '" + out.string() + "' > /dev/null 2>&1";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      const auto table = ReadCsv(out);
      for (size_t i = 0; i < seg.cases.size(); ++i) {
        const Case& c = seg.cases[i];
        std::string peer;
        if (i < table.size() && table[i].size() > kFormulaColumn) peer = table[i][kFormulaColumn];
        peer = Normalise(peer);
        ++compared;
        if (SameValue(c.ours, peer)) continue;
        if (c.note.find("peer") != std::string::npos) continue;  // a documented difference
        ADD_FAILURE() << file << ":" << c.line << ": " << c.formula << " ours=" << c.ours
                      << " peer=" << peer;
      }
    }
  }
  platform::SetNowOverride(nullptr);
  fs::remove_all(work);
  EXPECT_GE(compared, 300u);
#endif
}

}  // namespace
}  // namespace formulas::test
