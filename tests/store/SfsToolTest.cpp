// The sfs tool's actions, run in-process, and the store verifier behind `sfs verify`.
#include <gtest/gtest.h>

#include <sstream>

#include "SfsCommands.h"
#include "StoreTestUtil.h"
#include "store/StoreVerifier.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

struct Tool {
  std::ostringstream out, err;
  std::vector<std::string> secrets;  // answers for terminal prompts, in order
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    sfs::Context c{out, err, [this](const std::string&, std::string& value) {
                     if (secrets.empty()) return false;
                     value = secrets.front();
                     secrets.erase(secrets.begin());
                     return true;
                   }};
    return sfs::Run(c, args);
  }
};

TEST(SfsToolTest, CreatePutListGetRemove) {
  const std::string store = test::ScratchPath("tool.sfs");
  const std::string input = test::ScratchPath("in.bin");
  const std::string output = test::ScratchPath("out.bin");
  const auto data = test::Pattern(123457, 21);
  test::WriteAll(input, data);
  Tool t;
  ASSERT_EQ(t.Run({"create", store, "--part-size", "50000"}), 0) << t.err.str();
  ASSERT_EQ(t.Run({"put", store, "Sheet", input}), 0) << t.err.str();
  EXPECT_NE(t.out.str().find("123457 bytes"), std::string::npos);
  ASSERT_EQ(t.Run({"ls", store}), 0);
  EXPECT_NE(t.out.str().find("123457"), std::string::npos);
  EXPECT_NE(t.out.str().find("Sheet"), std::string::npos);
  ASSERT_EQ(t.Run({"get", store, "sheet", output}), 0) << t.err.str();
  EXPECT_EQ(test::ReadAll(output), data);
  ASSERT_EQ(t.Run({"verify", store}), 0) << t.out.str();
  EXPECT_NE(t.out.str().find("ok: 1 files"), std::string::npos);
  ASSERT_EQ(t.Run({"rm", store, "Sheet"}), 0);
  EXPECT_EQ(t.Run({"get", store, "Sheet", output}), 1);
  EXPECT_EQ(t.err.str(), "sfs: no file Sheet in " + store + "\n");
  EXPECT_EQ(test::ReadAll(output), data);  // a failed get leaves the target alone
  EXPECT_EQ(t.Run({"rm", store, "Sheet"}), 1);
}

TEST(SfsToolTest, CompressedStreams) {
  const std::string store = test::ScratchPath("packed.sfs");
  const std::string input = test::ScratchPath("in.txt");
  const std::string output = test::ScratchPath("out.txt");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "row " + std::to_string(i % 97) + "\n";
  test::WriteAll(input, std::vector<uint8_t>(text.begin(), text.end()));
  Tool t;
  ASSERT_EQ(t.Run({"create", store, "--compression", "1"}), 0);
  ASSERT_EQ(t.Run({"put", store, "default", input}), 0) << t.err.str();
  ASSERT_EQ(t.Run({"put", store, "bz", input, "--compression", "9"}), 0) << t.err.str();
  ASSERT_EQ(t.Run({"ls", store}), 0);
  // Stream size, stored size (smaller), code.
  const std::string listing = t.out.str();
  EXPECT_NE(listing.find(std::to_string(text.size())), std::string::npos);
  EXPECT_NE(listing.find(" 1  "), std::string::npos) << listing;
  EXPECT_NE(listing.find(" 9  "), std::string::npos) << listing;
  for (const char* name : {"default", "bz"}) {
    ASSERT_EQ(t.Run({"get", store, name, output}), 0) << t.err.str();
    const auto back = test::ReadAll(output);
    EXPECT_EQ(std::string(back.begin(), back.end()), text) << name;
  }
  EXPECT_EQ(t.Run({"verify", store}), 0) << t.out.str();
}

TEST(SfsToolTest, PasswordsFromOptionOrPrompt) {
  const std::string store = test::ScratchPath("locked.sfs");
  const std::string input = test::ScratchPath("in.bin");
  const std::string output = test::ScratchPath("out.bin");
  test::WriteAll(input, {'a', 'b', 'c'});
  Tool t;
  ASSERT_EQ(t.Run({"create", store, "--password", "s3"}), 0);
  // No password and nobody to ask: a clear error.
  EXPECT_EQ(t.Run({"ls", store}), 1);
  EXPECT_EQ(t.err.str(), "sfs: store " + store + " has a password; give it with --password\n");
  // Asked at the terminal.
  t.secrets = {"s3"};
  EXPECT_EQ(t.Run({"put", store, "f", input, "--file-password", "fp"}), 0) << t.err.str();
  EXPECT_EQ(t.Run({"ls", store, "--password", "bad"}), 1);
  EXPECT_NE(t.err.str().find("invalid password specified"), std::string::npos);
  // The file's own password: refused, then asked for.
  EXPECT_EQ(t.Run({"get", store, "f", output, "--password", "s3"}), 1);
  EXPECT_EQ(t.err.str(), "sfs: file f has its own password; the one given was refused\n");
  t.secrets = {"fp"};
  EXPECT_EQ(t.Run({"get", store, "f", output, "--password", "s3"}), 0) << t.err.str();
  EXPECT_EQ(test::ReadAll(output), std::vector<uint8_t>({'a', 'b', 'c'}));
}

TEST(SfsToolTest, BadArgumentsGiveOneLineErrors) {
  Tool t;
  EXPECT_EQ(t.Run({}), 2);  // usage errors exit with 2
  EXPECT_NE(t.err.str().find("usage: sfs create"), std::string::npos);
  for (const char* help : {"--help", "-h"}) {
    t.out.str("");
    EXPECT_EQ(t.Run({help}), 0) << help;
    EXPECT_EQ(t.out.str().rfind("usage: sfs create", 0), 0u) << help;
    EXPECT_EQ(t.Run({"ls", "x.sfs", help}), 0) << help;
  }
  EXPECT_EQ(t.Run({"frobnicate", "x.sfs"}), 2);
  EXPECT_EQ(t.err.str().rfind("usage: sfs", 0), 0u);
  EXPECT_EQ(t.Run({"create", "x.sfs", "--part-size"}), 1);
  EXPECT_EQ(t.err.str(), "sfs: --part-size needs a value\n");
  EXPECT_EQ(t.Run({"create", "x.sfs", "--part-size", "12"}), 1);
  EXPECT_EQ(t.err.str(), "sfs: part size must be at least 380 bytes, not 12\n");
  EXPECT_EQ(t.Run({"create", "x.sfs", "--compression", "z"}), 1);
  EXPECT_EQ(t.err.str(), "sfs: --compression needs a number, not \"z\"\n");
  EXPECT_EQ(t.Run({"create", "x.sfs", "--compression", "10"}), 1);
  EXPECT_EQ(t.Run({"ls", "x.sfs", "--colour"}), 2);
  EXPECT_EQ(t.err.str().rfind("sfs: unknown option --colour\nusage: sfs", 0), 0u) << t.err.str();
  EXPECT_EQ(t.Run({"ls", "x.sfs", "-q"}), 2);
  EXPECT_EQ(t.err.str().rfind("sfs: unknown option -q\n", 0), 0u) << t.err.str();
  // Missing files say which and why, for the store and for put's input alike.
  const std::string missing = test::ScratchPath("none.sfs");
  for (const char* action : {"ls", "verify"}) {
    EXPECT_EQ(t.Run({action, missing}), 1) << action;
    EXPECT_EQ(t.err.str(), "sfs: cannot open " + missing + ": No such file or directory\n");
  }
  const std::string store = test::ScratchPath("has.sfs");
  ASSERT_EQ(t.Run({"create", store}), 0) << t.err.str();
  const std::string input = test::ScratchPath("no-input.bin");
  EXPECT_EQ(t.Run({"put", store, "x", input}), 1);
  EXPECT_EQ(t.err.str(), "sfs: cannot open " + input + ": No such file or directory\n");
}

TEST(StoreVerifierTest, ReportsDamagedDataPageAndDoubleClaims) {
  const std::string path = test::ScratchPath("v.sfs");
  int32_t dataPage = -1;
  {
    TSingleFileSystem fs(path, kModeCreate, "pw");
    for (const char* name : {"a", "b"}) {
      TSFSUserFileStream s(&fs, name, kModeCreate);
      const auto data = test::Pattern(9000, 3);
      s.Write(data.data(), data.size());
    }
    const auto report = VerifyStore(fs);
    EXPECT_TRUE(report.Ok());
    EXPECT_EQ(report.filesChecked, 2);
    dataPage = fs.PageMaps().GetMaps(fs.Directory().ReadItem(1)).dataPages[2];
  }
  auto bytes = test::ReadAll(path);
  bytes[test::Logical(size_t(dataPage) * 4096 + 40)] ^= 0x40;
  test::WriteAll(path, bytes);
  {
    TSingleFileSystem fs(path, kModeReadOnly, "pw");
    const auto report = VerifyStore(fs);
    ASSERT_EQ(report.damage.size(), 1u);
    EXPECT_EQ(report.damage[0],
              "file \"b\" data page 2: page " + std::to_string(dataPage) + " checksum mismatch");
  }
  Tool t;
  EXPECT_EQ(t.Run({"verify", path, "--password", "pw"}), 1);
  EXPECT_NE(t.out.str().find("damaged: file \"b\" data page 2"), std::string::npos);
  // A store that does not open at all is reported as damaged too.
  bytes.resize(200);
  test::WriteAll(path, bytes);
  EXPECT_EQ(t.Run({"verify", path}), 1);
  EXPECT_NE(t.out.str().find("damaged: File "), std::string::npos);
}

}  // namespace
}  // namespace store
