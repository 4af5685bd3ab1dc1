// Recalculation benchmarks of the formula engine:
//   chain: A1 = 1, A2 = A1 + 1, ... A100000 = A99999 + 1
//   sums:  A1..A100009 numbers, B1 = SUM(A1:A10), ... B100000 = SUM(A100000:A100009)
// Each is timed for building (entering every formula), a full recalculation, and a
// recalculation after one input changed. When node and the hyperformula package can be found
// (SS_HYPERFORMULA_DIR, or NODE_PATH), the same workloads run there in the same process run
// and the ratios are printed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "formulas/TSSFormulasCache.h"
#include "workbook/SSUtils.h"

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

  void Set(int32_t col, int32_t row, const std::string& text) {
    Cell& c = At(col, row);
    if (c.formula) cache_->Remove(c.formula);
    c = Cell{text, formulas::CellDataType::Text, nullptr, true};
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
  for (int r = 1; r < kRows; ++r) book->Set(0, r, "=A" + std::to_string(r) + "+1");
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
  const std::string shown = book.Cache().FormulaDisplayText(book.Entry(0, kRows - 1), false);
  if (shown != workbook::NumberText(first + kRows - 1))
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

// Best of three wall-clock runs, in milliseconds.
template <typename F>
double BestMs(F&& f) {
  double best = 1e300;
  for (int i = 0; i < 3; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

// Runs the peer script; returns false when node or the package is missing.
bool RunPeer(const std::string& workload, double& buildAndCalcMs) {
  const char* dir = std::getenv("SS_HYPERFORMULA_DIR");
  const char* source = std::getenv("SS_SOURCE_DIR");
  const std::string script =
      std::string(source ? source : ".") + "/bench/formulas/hyperformula_bench.js";
  std::string command = "node '" + script + "' " + workload + " " + std::to_string(kRows);
  if (dir) command = "NODE_PATH='" + std::string(dir) + "/node_modules' " + command;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return false;
  char line[256] = {};
  const bool got = std::fgets(line, sizeof line, pipe) != nullptr;
  const int rc = pclose(pipe);
  if (!got || rc != 0) return false;
  buildAndCalcMs = std::strtod(line, nullptr);
  return buildAndCalcMs > 0;
}

void ComparePeer() {
  struct Workload {
    const char* name;
    std::unique_ptr<DenseBook> (*build)();
  };
  const Workload workloads[] = {{"chain", BuildChain}, {"sums", BuildSums}};
  for (const auto& w : workloads) {
    // Ours: build every formula, then the full recalculation.
    const double ours = BestMs([&] {
      auto book = w.build();
      book->Cache().RecalculateAll();
    });
    double peer = 0;
    if (!RunPeer(w.name, peer)) {
      std::printf("%s: ours %.1f ms (build + full recalculation); peer not available\n", w.name,
                  ours);
      continue;
    }
    std::printf("%s: ours %.1f ms, peer %.1f ms (build + full recalculation): peer/ours = %.2f\n",
                w.name, ours, peer, peer / ours);
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
