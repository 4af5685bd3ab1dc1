// Recalculation benchmarks of the formula engine:
//   chain: A1 = 1, A2 = A1 + 1, ... A100001 = A100000 + 1 (100,000 formulas)
//   sums:  A1..A100009 numbers, B1 = SUM(A1:A10), ... B100000 = SUM(A100000:A100009)
// Each is timed for building (entering every formula), a full recalculation, and a
// recalculation after one input changed: A1 for the chain (every formula depends on it), A6
// for the sums (six formulas read it). After the Google Benchmark runs, the same workloads run
// once more next to HyperFormula (bench/peers/hyperformula_recalc.js, found in the source tree
// with the packages scripts/peers.sh installs) and the ratios are printed, with the memory the
// dependency graph takes per formula.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "formulas/TSSFormulasCache.h"
#include "workbook/SSUtils.h"

#ifndef SS_SOURCE_DIR
#define SS_SOURCE_DIR "."
#endif

namespace {

constexpr int kRows = 100000;

// A dense two-column sheet: the least a book can cost, so that the engine is what is timed.
class DenseBook : public formulas::FormulaBook {
 public:
  struct Cell {
    std::string text;
    formulas::CellDataType type = formulas::CellDataType::Text;
    formulas::FormulaEntry* formula = nullptr;
    bool present = false;
  };
  DenseBook()
      : cells_(2 * (kRows + 16)), cache_(std::make_unique<formulas::TSSFormulasCache>(*this)) {}
  formulas::TSSFormulasCache& Cache() { return *cache_; }

  // What a storage's write path does: the cache hears of the change.
  void Set(int32_t col, int32_t row, const std::string& text) {
    Cell& c = At(col, row);
    if (c.formula) cache_->Remove(c.formula);
    c = Cell{text, formulas::CellDataType::Text, nullptr, true};
    cache_->CellChanged(0, col, row);
    if (!text.empty() && text[0] == '=') cache_->SetFormula(0, col, row);
  }
  formulas::FormulaEntry* Entry(int32_t col, int32_t row) { return At(col, row).formula; }

  int32_t SheetCount() const override { return 1; }
  std::string SheetCaption(int32_t) const override { return "Sheet1"; }
  bool R1C1ReferenceStyle() const override { return false; }
  bool ShowFormulas() const override { return false; }
  workbook::TRect UsedArea(uint16_t) const override { return {0, 0, 1, kRows + 15}; }
  bool ReadCell(uint16_t, int32_t col, int32_t row, formulas::CellView& view) override {
    if (col < 0 || col > 1 || row < 0 || row >= kRows + 16) return false;
    const Cell& c = At(col, row);
    if (!c.present) return false;
    view.text = c.text;
    view.dataType = c.type;
    view.formula = c.formula;
    return true;
  }
  void WriteCell(uint16_t, int32_t col, int32_t row, const std::string& text,
                 formulas::CellDataType type, formulas::FormulaEntry* formula) override {
    At(col, row) = Cell{text, type, formula, true};
  }
  std::string FormatCellNumber(uint16_t, int32_t, int32_t, double value) override {
    return workbook::NumberText(value);
  }
  void ShowMessage(std::string_view message) override {
    std::fprintf(stderr, "message: %.*s\n", static_cast<int>(message.size()), message.data());
  }

 private:
  Cell& At(int32_t col, int32_t row) { return cells_[static_cast<size_t>(row) * 2 + col]; }
  const Cell& At(int32_t col, int32_t row) const {
    return cells_[static_cast<size_t>(row) * 2 + col];
  }
  std::vector<Cell> cells_;
  std::unique_ptr<formulas::TSSFormulasCache> cache_;
};

std::unique_ptr<DenseBook> BuildChain() {
  auto book = std::make_unique<DenseBook>();
  book->Set(0, 0, "1");
  for (int r = 1; r <= kRows; ++r) book->Set(0, r, "=A" + std::to_string(r) + "+1");
  return book;
}

std::unique_ptr<DenseBook> BuildSums() {
  auto book = std::make_unique<DenseBook>();
  for (int r = 0; r < kRows + 9; ++r) book->Set(0, r, std::to_string(r % 97));
  for (int r = 0; r < kRows; ++r)
    book->Set(1, r, "=SUM(A" + std::to_string(r + 1) + ":A" + std::to_string(r + 10) + ")");
  return book;
}

void CheckChain(DenseBook& book, double first) {
  const std::string shown = book.Cache().FormulaDisplayText(book.Entry(0, kRows), false);
  if (shown != workbook::NumberText(first + kRows))
    std::fprintf(stderr, "chain wrong: %s\n", shown.c_str());
}

void BM_ChainBuild(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildChain());
}
void BM_ChainRecalculate(benchmark::State& state) {
  auto book = BuildChain();
  for (auto _ : state) book->Cache().RecalculateAll();
  CheckChain(*book, 1);
}
void BM_ChainChangeOne(benchmark::State& state) {
  auto book = BuildChain();
  int v = 1;
  for (auto _ : state) {
    book->Set(0, 0, std::to_string(++v));
    book->Cache().Recalculate();
  }
  CheckChain(*book, v);
}
void BM_SumsBuild(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildSums());
}
void BM_SumsRecalculate(benchmark::State& state) {
  auto book = BuildSums();
  for (auto _ : state) book->Cache().RecalculateAll();
}
void BM_SumsChangeOne(benchmark::State& state) {
  auto book = BuildSums();
  int v = 0;
  for (auto _ : state) {
    book->Set(0, 5, std::to_string(++v));
    book->Cache().Recalculate();
  }
}

BENCHMARK(BM_ChainBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainRecalculate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainChangeOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumsBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumsRecalculate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumsChangeOne)->Unit(benchmark::kMillisecond);

// Best of three wall-clock runs of f() after setup(), in milliseconds.
template <typename Setup, typename F>
double BestMs(Setup&& setup, F&& f) {
  double best = 1e300;
  for (int i = 0; i < 3; ++i) {
    setup();
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

struct Times {
  double build = 0, full = 0, change = 0;  // milliseconds
};

// Runs the peer script (best of three per measurement); false when node or the package is
// missing. Its "rebuild" (rebuildAndRecalculate) is its full recalculation.
bool RunPeer(std::map<std::string, Times>& peer) {
  const std::string script = std::string(SS_SOURCE_DIR) + "/bench/peers/hyperformula_recalc.js";
  const std::string command = "node '" + script + "' --tsv --repeat 3 --change-row 5 --n " +
                              std::to_string(kRows) + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream in(line);
    std::string who, workload, what, formulas, ms;
    if (!std::getline(in, who, '\t') || !std::getline(in, workload, '\t') ||
        !std::getline(in, what, '\t') || !std::getline(in, formulas, '\t') ||
        !std::getline(in, ms, '\t'))
      continue;
    Times& t = peer[workload == "sum" ? "sums" : workload];
    double& slot = what == "build" ? t.build : what == "change" ? t.change : t.full;
    const double value = std::strtod(ms.c_str(), nullptr);
    if (value > 0 && (slot == 0 || value < slot)) slot = value;
  }
  return pclose(pipe) == 0 && peer.size() == 2;
}

void ComparePeer() {
  struct Workload {
    const char* name;
    std::unique_ptr<DenseBook> (*build)();
    int32_t changeRow;
  };
  const Workload workloads[] = {{"chain", BuildChain, 0}, {"sums", BuildSums, 5}};
  std::map<std::string, Times> peer;
  const bool havePeer = RunPeer(peer);
  if (!havePeer)
    std::printf("peer not available: node, or the hyperformula package (scripts/peers.sh)\n");
  std::printf("%-6s %-32s %10s %10s %10s\n", "", "", "ours ms", "peer ms", "peer/ours");
  for (const auto& w : workloads) {
    Times ours;
    std::unique_ptr<DenseBook> book;
    ours.build = BestMs([&] { book.reset(); },
                        [&] {
                          book = w.build();
                          book->Cache().RecalculateAll();
                        });
    ours.full = BestMs([] {}, [&] { book->Cache().RecalculateAll(); });
    int value = 1000;
    // The first change after a full pass builds the graph; the timed ones use it.
    book->Set(0, w.changeRow, std::to_string(++value));
    book->Cache().Recalculate();
    ours.change = BestMs([] {},
                         [&] {
                           book->Set(0, w.changeRow, std::to_string(++value));
                           book->Cache().Recalculate();
                         });
    const size_t recalculated = book->Cache().LastRecalculated();
    const Times& p = peer[w.name];
    const auto row = [&](const char* what, double o, double q) {
      if (havePeer)
        std::printf("%-6s %-32s %10.3f %10.3f %10.2f\n", w.name, what, o, q, q / o);
      else
        std::printf("%-6s %-32s %10.3f %10s %10s\n", w.name, what, o, "-", "-");
    };
    row("build + calculate", ours.build, p.build);
    row("full recalculation", ours.full, p.full);
    const std::string change = "change one input (" + std::to_string(recalculated) + " dirty)";
    row(change.c_str(), ours.change, p.change);
    const size_t entries = book->Cache().EntryCount();
    std::printf("%-6s graph: %zu edges, %zu bytes, %.1f bytes per formula\n", w.name,
                book->Cache().GraphEdges(), book->Cache().GraphBytes(),
                static_cast<double>(book->Cache().GraphBytes()) / static_cast<double>(entries));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ComparePeer();
  return 0;
}
