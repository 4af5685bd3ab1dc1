// Throughput of stored streams against the bare codec on the same bytes, measured in the
// same run: for each compression code, writing and reading a stream through a store on disk
// versus the plain library call over the same blocks (zlib, libbz2; the PPMd coder without
// framing; memcpy for code 0, plus a plain file write for the machine's file throughput).
// Counters: store_MB/s, peer_MB/s and overhead_% = (store time / peer time - 1) * 100, all
// from the thread's CPU time, so that other work on a shared machine does not skew the
// ratio; the iteration time Google Benchmark reports is wall-clock time of the store side.
//
// The store goes to the folder named by SS_BENCH_DIR, else the system temporary folder.
#include <benchmark/benchmark.h>
#include <bzlib.h>
#include <time.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/File.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/BlockCodec.h"
#include "store/stream/PpmdCodec.h"
#include "store/stream/TSFSFileStream.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr size_t kDataSize = 6 << 20;
constexpr size_t kChunk = 64 << 10;  // how a workbook writer hands its bytes over

std::string BenchPath(const std::string& leaf) {
  const char* dir = std::getenv("SS_BENCH_DIR");
  const std::filesystem::path base =
      dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
  return (base / ("ss_bench_" + leaf)).string();
}

// Spreadsheet-like content: words, numbers and some binary record noise.
const std::vector<uint8_t>& Sample() {
  static const std::vector<uint8_t> data = [] {
    std::vector<uint8_t> v;
    v.reserve(kDataSize);
    static const char* words[] = {"Total ",  "Revenue ", "=SUM(B2:B40) ", "2026-12-09 ",
                                  "Sheet1 ", "0.125 ",   "Region North ", "\r\n"};
    uint32_t x = 2026;
    while (v.size() < kDataSize) {
      x = x * 1103515245u + 12345u;
      if ((x >> 28) == 0) {
        for (int i = 0; i < 12 && v.size() < kDataSize; i++)
          v.push_back(static_cast<uint8_t>(x >> (i % 4 * 8)));
      } else {
        for (const char* w = words[(x >> 16) & 7]; *w && v.size() < kDataSize; ++w)
          v.push_back(uint8_t(*w));
      }
    }
    return v;
  }();
  return data;
}

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

double CpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The bare codec over the same blocks the stream makes. Returns the packed blocks.
std::vector<std::vector<uint8_t>> PeerCompress(uint8_t code, const std::vector<uint8_t>& data) {
  const store::CompressionSettings s = store::SettingsFor(code);
  std::vector<std::vector<uint8_t>> blocks;
  for (size_t at = 0; at < data.size(); at += s.blockSize) {
    const size_t n = std::min<size_t>(s.blockSize, data.size() - at);
    std::vector<uint8_t> out;
    switch (s.method) {
      case store::CompressionMethod::Zlib: {
        uLongf size = compressBound(static_cast<uLong>(n));
        out.resize(size);
        compress2(out.data(), &size, data.data() + at, static_cast<uLong>(n), s.level);
        out.resize(size);
        break;
      }
      case store::CompressionMethod::BZip2: {
        unsigned int size = static_cast<unsigned int>(n + n / 100 + 601);
        out.resize(size);
        BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &size,
                                 reinterpret_cast<char*>(const_cast<uint8_t*>(data.data() + at)),
                                 static_cast<unsigned int>(n), s.level, 0, 0);
        out.resize(size);
        break;
      }
      case store::CompressionMethod::Ppmd:
        out = store::PpmdCompress({data.data() + at, n}, s.level, s.megabytes);
        break;
      default:
        out.resize(n);
        std::memcpy(out.data(), data.data() + at, n);
        break;
    }
    blocks.push_back(std::move(out));
  }
  return blocks;
}

void PeerDecompress(uint8_t code, const std::vector<std::vector<uint8_t>>& blocks,
                    std::vector<uint8_t>& out) {
  const store::CompressionSettings s = store::SettingsFor(code);
  size_t at = 0;
  for (const auto& b : blocks) {
    const size_t n = std::min<size_t>(s.blockSize, out.size() - at);
    switch (s.method) {
      case store::CompressionMethod::Zlib: {
        uLongf size = static_cast<uLongf>(n);
        uncompress(out.data() + at, &size, b.data(), static_cast<uLong>(b.size()));
        break;
      }
      case store::CompressionMethod::BZip2: {
        unsigned int size = static_cast<unsigned int>(n);
        BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data() + at), &size,
                                   reinterpret_cast<char*>(const_cast<uint8_t*>(b.data())),
                                   static_cast<unsigned int>(b.size()), 0, 0);
        break;
      }
      case store::CompressionMethod::Ppmd: {
        std::vector<uint8_t> d = store::PpmdDecompress(b, s.level, s.megabytes, n);
        std::memcpy(out.data() + at, d.data(), d.size());
        break;
      }
      default:
        std::memcpy(out.data() + at, b.data(), n);
        break;
    }
    at += n;
  }
}

void Report(benchmark::State& state, double storeSec, double peerSec) {
  const double mb = static_cast<double>(kDataSize) * static_cast<double>(state.iterations()) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(kDataSize) * state.iterations());
  state.counters["store_MB/s"] = mb / storeSec;
  state.counters["peer_MB/s"] = mb / peerSec;
  state.counters["overhead_%"] = (storeSec / peerSec - 1.0) * 100.0;
}

void BM_StreamWrite(benchmark::State& state) {
  const uint8_t code = static_cast<uint8_t>(state.range(0));
  const std::vector<uint8_t>& data = Sample();
  const std::string path = BenchPath("write.sfs");
  double storeSec = 0, peerSec = 0, fileSec = 0, wallSec = 0;
  for (auto _ : state) {
    store::TSingleFileSystem fs(path, store::kModeCreate);
    const auto t0 = Clock::now();
    const double c0 = CpuNow();
    {
      store::TSFSFileStream s(&fs, "Book1.xls", 0xFFFF, "", "", "", code);
      for (size_t at = 0; at < data.size(); at += kChunk)
        s.WriteBuffer(data.data() + at, std::min(kChunk, data.size() - at));
      s.Flush();
    }
    const auto t1 = Clock::now();
    const double c1 = CpuNow();
    benchmark::DoNotOptimize(PeerCompress(code, data));
    const auto t2 = Clock::now();
    const double c2 = CpuNow();
    if (code == 0) {
      platform::File f(BenchPath("plain.bin"), platform::FileAccess::ReadWrite,
                       platform::FileDisposition::CreateAlways);
      for (size_t at = 0; at < data.size(); at += kChunk)
        f.Write(data.data() + at, std::min(kChunk, data.size() - at));
      f.Flush();
      fileSec += Seconds(t2, Clock::now());
    }
    state.SetIterationTime(Seconds(t0, t1));
    wallSec += Seconds(t0, t1);
    storeSec += c1 - c0;
    peerSec += c2 - c1;
  }
  Report(state, storeSec, peerSec);
  if (code == 0) {
    // Plain streams against writing the same bytes to a plain file, both wall-clock.
    state.counters["store_wall_MB/s"] =
        static_cast<double>(kDataSize) * static_cast<double>(state.iterations()) / 1e6 / wallSec;
    state.counters["file_MB/s"] =
        static_cast<double>(kDataSize) * static_cast<double>(state.iterations()) / 1e6 / fileSec;
    platform::RemoveFile(BenchPath("plain.bin"));
  }
  platform::RemoveFile(path);
}

void BM_StreamRead(benchmark::State& state) {
  const uint8_t code = static_cast<uint8_t>(state.range(0));
  const std::vector<uint8_t>& data = Sample();
  const std::string path = BenchPath("read.sfs");
  {
    store::TSingleFileSystem fs(path, store::kModeCreate);
    store::TSFSFileStream s(&fs, "Book1.xls", 0xFFFF, "", "", "", code);
    s.WriteBuffer(data.data(), data.size());
  }
  const auto blocks = PeerCompress(code, data);
  std::vector<uint8_t> back(data.size());
  double storeSec = 0, peerSec = 0;
  for (auto _ : state) {
    store::TSingleFileSystem fs(path, store::kModeReadOnly);
    const auto t0 = Clock::now();
    const double c0 = CpuNow();
    {
      store::TSFSFileStream s(&fs, "Book1.xls", 0);
      for (size_t at = 0; at < back.size(); at += kChunk)
        s.ReadBuffer(back.data() + at, std::min(kChunk, back.size() - at));
    }
    const auto t1 = Clock::now();
    const double c1 = CpuNow();
    PeerDecompress(code, blocks, back);
    const double c2 = CpuNow();
    state.SetIterationTime(Seconds(t0, t1));
    storeSec += c1 - c0;
    peerSec += c2 - c1;
  }
  if (back != data) state.SkipWithError("read back differs");
  Report(state, storeSec, peerSec);
  platform::RemoveFile(path);
}

void Codes(benchmark::internal::Benchmark* b) {
  for (int code : {0, 1, 2, 5, 7, 9, 3, 4}) b->Arg(code);
  b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
}
}  // namespace

BENCHMARK(BM_StreamWrite)->Apply(Codes);
BENCHMARK(BM_StreamRead)->Apply(Codes);
BENCHMARK_MAIN();
