// Cell storage throughput and memory: one million numeric cells written through the storage's
// write path with undo recording suspended, then read back.
//
// Prints cells per second (Google Benchmark's items_per_second) and bytes per cell, measured
// as resident memory growth where the system reports it and as live heap bytes otherwise.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "workbook/SSIntf.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TSSStyleCache.h"

// Live heap bytes, counted by replacing the global allocation functions.
namespace {
std::atomic<int64_t> gLiveHeap{0};
}
void* operator new(std::size_t size) {
  void* p = std::malloc(size + sizeof(std::max_align_t));
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  gLiveHeap += static_cast<int64_t>(size);
  return static_cast<char*>(p) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* base = static_cast<char*>(p) - sizeof(std::max_align_t);
  gLiveHeap -= static_cast<int64_t>(*reinterpret_cast<std::size_t*>(base));
  std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace workbook;

constexpr int32_t kCols = 1000;
constexpr int32_t kRows = 1000;
constexpr int64_t kCells = int64_t{kCols} * kRows;

// Resident set size in bytes, or -1 where the system does not say.
int64_t ResidentBytes() {
#ifdef __linux__
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return -1;
  long pages = 0, resident = 0;
  const int n = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return n == 2 ? int64_t{resident} * 4096 : -1;
#else
  return -1;
#endif
}

class SuspendedHistory : public CellHistory {
 public:
  void RecordCellChange(TSSDataStorage&, int32_t, int32_t) override {
    if (suspend_ == 0) ++recorded_;
  }
  void RecordMergeSplit(TSSDataStorage&, const TRect&, bool) override {}
  void Suspend() override { ++suspend_; }
  void Resume() override { --suspend_; }
  bool IsSuspended() const override { return suspend_ > 0; }
  int64_t recorded_ = 0;

 private:
  int suspend_ = 0;
};

class CountingListener : public ModelListener {
 public:
  void CellChanged(TSSDataStorage&, int32_t, int32_t) override { ++changes; }
  int64_t changes = 0;
};

class BenchHost : public StorageHost {
 public:
  BenchHost() : styles_(&listener_) {}
  TSSStyleCache& StyleCache() override { return styles_; }
  ModelListener& Listener() override { return listener_; }
  CellHistory* History() override { return &history_; }
  FormulaEngine* FormulaCache() override { return nullptr; }
  int32_t SheetIndex() const override { return 0; }
  const void* BookIdentity() const override { return this; }
  SuspendedHistory history_;
  CountingListener listener_;

 private:
  TSSStyleCache styles_;
};

void Fill(TSSDataStorage& storage) {
  for (int32_t col = 0; col < kCols; ++col)
    for (int32_t row = 0; row < kRows; ++row) storage.StoreCellValue(col, row, col * 0.5 + row);
}

void BM_WriteNumericCells(benchmark::State& state) {
  double heapPerCell = 0, rssPerCell = 0;
  for (auto _ : state) {
    BenchHost host;
    host.history_.Suspend();
    const int64_t heap0 = gLiveHeap.load();
    const int64_t rss0 = ResidentBytes();
    auto storage = std::make_unique<TSSDataStorage>(host);
    Fill(*storage);
    state.PauseTiming();
    heapPerCell = static_cast<double>(gLiveHeap.load() - heap0) / kCells;
    const int64_t rss1 = ResidentBytes();
    rssPerCell = rss0 >= 0 && rss1 >= 0 ? static_cast<double>(rss1 - rss0) / kCells : -1;
    if (host.listener_.changes != kCells || host.history_.recorded_ != 0)
      state.SkipWithError("write path did not run as expected");
    storage.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kCells);
  state.counters["heap_bytes_per_cell"] = heapPerCell;
  state.counters["rss_bytes_per_cell"] = rssPerCell;
}
BENCHMARK(BM_WriteNumericCells)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadNumericCells(benchmark::State& state) {
  BenchHost host;
  host.history_.Suspend();
  TSSDataStorage storage(host);
  Fill(storage);
  for (auto _ : state) {
    double sum = 0;
    for (int32_t col = 0; col < kCols; ++col)
      for (int32_t row = 0; row < kRows; ++row) sum += storage.CellNumber(col, row);
    benchmark::DoNotOptimize(sum);
    // The same numbers summed directly: a wrong read would change the total.
    double expected = 0;
    for (int32_t col = 0; col < kCols; ++col)
      for (int32_t row = 0; row < kRows; ++row) expected += col * 0.5 + row;
    if (sum != expected) state.SkipWithError("read back a different value");
  }
  state.SetItemsProcessed(state.iterations() * kCells * 2);
}
BENCHMARK(BM_ReadNumericCells)->Unit(benchmark::kMillisecond);

void BM_ReadCellRecords(benchmark::State& state) {
  BenchHost host;
  host.history_.Suspend();
  TSSDataStorage storage(host);
  Fill(storage);
  TSSCellRec rec;
  for (auto _ : state) {
    int64_t textBytes = 0;
    for (int32_t row = 0; row < 100; ++row) {
      storage.GetCellRec(7, row, rec);
      textBytes += static_cast<int64_t>(rec.Text.size());
    }
    benchmark::DoNotOptimize(textBytes);
  }
  state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ReadCellRecords);

}  // namespace

BENCHMARK_MAIN();
