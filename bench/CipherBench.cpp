// Enciphering throughput of the store's cipher object (Rijndael, 256-bit key, with the
// store's block chaining) against a plain memcpy of the same buffer in the same run, so the
// printed ratio says how far the cipher is from the machine's memory bandwidth. The target
// is at least 150 MB/s without special instructions.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "store/cipher/Rijndael.h"
#include "store/cipher/TCipher.h"

namespace {

constexpr size_t kBytes = 8u << 20;

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> in(kBytes, 0xA5), out(kBytes);
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), kBytes);
    benchmark::DoNotOptimize(out.data());
  }
  SetBytes(state);
}

void BM_RijndaelBlocks(benchmark::State& state) {
  std::vector<uint8_t> data(kBytes, 0xA5);
  uint8_t key[32] = {1, 2, 3};
  store::Rijndael aes(key, sizeof key);
  for (auto _ : state) {
    for (size_t i = 0; i < kBytes; i += 16) aes.EncryptBlock(&data[i], &data[i]);
    benchmark::DoNotOptimize(data.data());
  }
  SetBytes(state);
}

void BM_CipherEncode(benchmark::State& state) {
  std::vector<uint8_t> data(kBytes, 0xA5);
  store::TCipher_Rijndael cipher("benchmark password");
  for (auto _ : state) {
    cipher.EncodeBuffer(data.data(), data.data(), data.size());
    benchmark::DoNotOptimize(data.data());
  }
  SetBytes(state);
}

void BM_CipherDecode(benchmark::State& state) {
  std::vector<uint8_t> data(kBytes, 0xA5);
  store::TCipher_Rijndael cipher("benchmark password");
  for (auto _ : state) {
    cipher.DecodeBuffer(data.data(), data.data(), data.size());
    benchmark::DoNotOptimize(data.data());
  }
  SetBytes(state);
}

}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RijndaelBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CipherEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CipherDecode)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
