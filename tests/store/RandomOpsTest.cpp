// Random file operations checked against an in-memory model: contents, sizes, and after
// every reopen a full verification with no damage and no leaked pages.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "StoreTestUtil.h"
#include "store/StoreVerifier.h"
#include "store/TSingleFileSystem.h"

namespace store {
namespace {

void CheckAgainstModel(TSingleFileSystem& fs,
                       const std::map<std::string, std::vector<uint8_t>>& model) {
  EXPECT_EQ(fs.List().size(), model.size());
  for (const auto& [name, bytes] : model) {
    const int h = fs.FileOpen(name, kModeReadOnly);
    ASSERT_GE(h, 0) << name;
    EXPECT_EQ(fs.FileSize(h), int64_t(bytes.size())) << name;
    std::vector<uint8_t> got(bytes.size() + 10);
    EXPECT_EQ(fs.FileRead(h, got.data(), got.size()), bytes.size()) << name;
    got.resize(bytes.size());
    EXPECT_TRUE(got == bytes) << name;
    fs.FileClose(h);
  }
  const auto report = VerifyStore(fs);
  EXPECT_TRUE(report.damage.empty()) << report.damage.front();
  EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
}

void RunRandomOps(const std::string& path, const std::string& password, uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](uint32_t n) { return uint32_t(rng() % n); };
  std::map<std::string, std::vector<uint8_t>> model;
  auto fs = std::make_unique<TSingleFileSystem>(path, kModeCreate, password);
  for (int step = 0; step < 240; ++step) {
    const std::string name = "file" + std::to_string(pick(6));
    const uint32_t op = pick(10);
    if (op < 5) {  // write at a random place (possibly past the end)
      if (!model.count(name)) {
        const int h = fs->FileOpen(name, kModeCreate);
        ASSERT_GE(h, 0);
        fs->FileClose(h);
        model[name];
      }
      auto& bytes = model[name];
      const int64_t at = pick(uint32_t(bytes.size() + 9000));
      const auto data = test::Pattern(1 + pick(30000), rng());
      const int h = fs->FileOpen(name, kModeReadWrite);
      fs->FileSeek(h, 0, at);
      ASSERT_EQ(fs->FileWrite(h, data.data(), data.size()), data.size()) << fs->LastError();
      fs->FileClose(h);
      if (bytes.size() < size_t(at) + data.size()) bytes.resize(size_t(at) + data.size(), 0);
      std::copy(data.begin(), data.end(), bytes.begin() + at);
    } else if (op < 7 && model.count(name)) {  // set size
      auto& bytes = model[name];
      const int64_t size = pick(uint32_t(bytes.size() * 2 + 5000));
      const int h = fs->FileOpen(name, kModeReadWrite);
      ASSERT_EQ(fs->FileSetSize(h, size), size);
      fs->FileClose(h);
      bytes.resize(size_t(size), 0);
    } else if (op < 8 && model.count(name)) {  // delete
      ASSERT_TRUE(fs->FileDelete(name));
      model.erase(name);
    } else if (op == 9) {  // reopen and check everything
      fs.reset();
      fs = std::make_unique<TSingleFileSystem>(path, kModeReadWrite, password);
      CheckAgainstModel(*fs, model);
      if (::testing::Test::HasFailure()) return;
    }
  }
  CheckAgainstModel(*fs, model);
}

TEST(RandomOpsTest, PlainStoreMatchesTheModel) {
  RunRandomOps(test::ScratchPath("random.sfs"), "", 1234);
}

TEST(RandomOpsTest, ProtectedStoreMatchesTheModel) {
  RunRandomOps(test::ScratchPath("random_pw.sfs"), "pw", 99);
}

}  // namespace
}  // namespace store
