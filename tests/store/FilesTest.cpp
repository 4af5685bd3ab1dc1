// Directory entries, page maps and the file operations of a store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "StoreTestUtil.h"
#include "platform/Clock.h"
#include "store/Errors.h"
#include "store/PasswordPrompt.h"
#include "store/StoreVerifier.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = test::ScratchPath("files.sfs");
    fs_ = std::make_unique<TSingleFileSystem>(path_, kModeCreate);
  }
  void Reopen(uint16_t mode = kModeReadWrite) {
    fs_.reset();
    fs_ = std::make_unique<TSingleFileSystem>(path_, mode);
  }
  int32_t DataPages(const std::string& name) {
    const int32_t i = fs_->Directory().Resolve(name);
    const DirEntry& e = fs_->Directory().ReadItem(i);
    if (e.firstMapPageNo == -1) return 0;
    return int32_t(fs_->PageMaps().GetMaps(e).dataPages.size());
  }
  std::string path_;
  std::unique_ptr<TSingleFileSystem> fs_;
};

TEST_F(FilesTest, NamesCompareWithoutCaseAndReplaceClosedFiles) {
  {
    TSFSUserFileStream s(fs_.get(), "Book", kModeCreate);
    s.Write("old", 3);
  }
  EXPECT_TRUE(fs_->StoreFileExists("BOOK"));
  EXPECT_TRUE(fs_->StoreFileExists("/book"));
  EXPECT_FALSE(fs_->StoreFileExists("Boo"));
  {
    TSFSUserFileStream s(fs_.get(), "BOOK", kModeCreate);
    s.Write("newer", 5);
  }
  // The old slot was deleted and then reused: still one entry.
  EXPECT_EQ(fs_->Directory().Count(), 1);
  ASSERT_EQ(fs_->List().size(), 1u);
  EXPECT_EQ(fs_->List()[0].name, "BOOK");
  EXPECT_EQ(fs_->List()[0].size, 5);
}

TEST_F(FilesTest, CreatingAnOpenFileFails) {
  TSFSUserFileStream open(fs_.get(), "busy", kModeCreate);
  EXPECT_EQ(fs_->FileOpen("busy", kModeCreate), -1);
  EXPECT_EQ(fs_->LastError(), kErrOpen);
  EXPECT_FALSE(fs_->FileDelete("busy"));
  try {
    TSFSUserFileStream again(fs_.get(), "busy", kModeCreate);
    FAIL();
  } catch (const StoreError& e) {
    EXPECT_STREQ(e.what(), "TSFSUserFileStream.Create - unable to open file \"busy\"");
  }
  EXPECT_THROW(TSFSUserFileStream(nullptr, "x", kModeCreate), StoreError);
}

TEST_F(FilesTest, PathRules) {
  const std::string longName(260, 'n');
  { TSFSUserFileStream s(fs_.get(), longName, kModeCreate); }
  EXPECT_EQ(fs_->List()[0].name, std::string(259, 'n'));
  EXPECT_TRUE(fs_->StoreFileExists(std::string(259, 'n')));
  EXPECT_TRUE(fs_->StoreFileExists(longName));
  // A directory part that does not exist cannot be created.
  EXPECT_EQ(fs_->FileOpen("nodir\\file", kModeCreate), -1);
  EXPECT_EQ(fs_->LastError(), kErrNotFound);
  EXPECT_EQ(fs_->Directory().Resolve(""), kBadPath);
  EXPECT_EQ(fs_->Directory().Resolve("/"), kRootEntry);
  EXPECT_EQ(fs_->Directory().Resolve("//b"), kBadPath);
  EXPECT_EQ(fs_->Directory().Resolve(longName + "//b"), kBadPath);
  EXPECT_EQ(fs_->Directory().Resolve("a//b"), kNotFound);  // "a" is looked up first
  EXPECT_EQ(fs_->Directory().Resolve("missing"), kNotFound);
  EXPECT_EQ(fs_->Directory().Resolve("../" + longName), 0);
  EXPECT_EQ(fs_->FileOpen("missing", kModeReadWrite), -1);
}

TEST_F(FilesTest, SparseWriteReadsZerosAndEndReadsNothing) {
  const int h = fs_->FileOpen("gap", kModeCreate);
  ASSERT_GE(h, 0);
  EXPECT_EQ(fs_->FileSeek(h, 0, 5000), 5000);
  EXPECT_EQ(fs_->FileWrite(h, "Z", 1), 1u);
  EXPECT_EQ(fs_->FileSize(h), 5001);
  EXPECT_EQ(DataPages("gap"), 2);
  fs_->FileSeek(h, 0, 0);
  std::vector<uint8_t> out(6000, 0xEE);
  EXPECT_EQ(fs_->FileRead(h, out.data(), out.size()), 5001u);
  for (size_t i = 0; i < 5000; ++i) ASSERT_EQ(out[i], 0) << i;
  EXPECT_EQ(out[5000], 'Z');
  // At and beyond the end: nothing.
  EXPECT_EQ(fs_->FileRead(h, out.data(), 10), 0u);
  fs_->FileSeek(h, 2, 100);
  EXPECT_EQ(fs_->FileRead(h, out.data(), 10), 0u);
  // Seeking before the start stops at 0; unknown handles are harmless.
  EXPECT_EQ(fs_->FileSeek(h, 1, -1000000), 0);
  EXPECT_EQ(fs_->FileSeek(99, 0, 5), 0);
  EXPECT_EQ(fs_->FileRead(99, out.data(), 1), 0u);
  EXPECT_EQ(fs_->FileWrite(99, out.data(), 1), 0u);
  EXPECT_EQ(fs_->FileSetSize(99, 1), kErrUnknownHandle);
  fs_->FileClose(h);
}

TEST_F(FilesTest, SetSizeReleasesPagesAndMaps) {
  const int h = fs_->FileOpen("f", kModeCreate);
  const auto data = test::Pattern(10000, 11);
  fs_->FileWrite(h, data.data(), data.size());
  EXPECT_EQ(DataPages("f"), 3);
  const int32_t freeBefore = fs_->FreeSpace().IsFree(7) + fs_->FreeSpace().IsFree(8);
  EXPECT_EQ(fs_->FileSetSize(h, 4064), 4064);
  EXPECT_EQ(DataPages("f"), 1);
  EXPECT_EQ(fs_->FreeSpace().IsFree(7) + fs_->FreeSpace().IsFree(8), freeBefore + 2);
  EXPECT_EQ(fs_->FileSetSize(h, 0), 0);
  EXPECT_EQ(fs_->Directory().ReadItem(0).firstMapPageNo, -1);
  // Growing again shows zeros, not the bytes of the larger size before.
  EXPECT_EQ(fs_->FileSetSize(h, 3000), 3000);
  fs_->FileSeek(h, 0, 0);
  std::vector<uint8_t> out(3000, 1);
  EXPECT_EQ(fs_->FileRead(h, out.data(), out.size()), 3000u);
  EXPECT_EQ(out, std::vector<uint8_t>(3000, 0));
  fs_->FileClose(h);
}

TEST_F(FilesTest, ShrinkThenGrowInsideAPageShowsZeros) {
  const int h = fs_->FileOpen("f", kModeCreate);
  const auto data = test::Pattern(4000, 12);
  fs_->FileWrite(h, data.data(), data.size());
  fs_->FileSetSize(h, 1000);
  fs_->FileSeek(h, 0, 3000);
  fs_->FileWrite(h, "x", 1);
  fs_->FileSeek(h, 0, 0);
  std::vector<uint8_t> out(3001);
  ASSERT_EQ(fs_->FileRead(h, out.data(), out.size()), 3001u);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 1000, out.begin()));
  for (size_t i = 1000; i < 3000; ++i) ASSERT_EQ(out[i], 0) << i;
  fs_->FileClose(h);
}

TEST_F(FilesTest, EighthEntryStartsASecondDirectoryPage) {
  for (int i = 0; i < 7; ++i) TSFSUserFileStream(fs_.get(), "f" + std::to_string(i), kModeCreate);
  EXPECT_EQ(fs_->Pages().Header().dirPageCount, 1);
  TSFSUserFileStream(fs_.get(), "f7", kModeCreate);
  EXPECT_EQ(fs_->Pages().Header().dirPageCount, 2);
  EXPECT_EQ(fs_->Pages().Header().dirEntryCount, 8);
  Reopen();
  EXPECT_EQ(fs_->List().size(), 8u);
  EXPECT_TRUE(fs_->StoreFileExists("f7"));
  // A deleted entry keeps its slot and the next file reuses it.
  EXPECT_TRUE(fs_->FileDelete("f3"));
  EXPECT_FALSE(fs_->StoreFileExists("f3"));
  TSFSUserFileStream(fs_.get(), "g", kModeCreate);
  EXPECT_EQ(fs_->Directory().Resolve("g"), 3);
  EXPECT_EQ(fs_->Pages().Header().dirEntryCount, 8);
}

TEST_F(FilesTest, RenameChangesOnlyTheNameAndRefusesWhatWouldLoseAFile) {
  auto write = [&](const std::string& name, const std::string& text) {
    TSFSUserFileStream s(fs_.get(), name, kModeCreate);
    s.Write(text.data(), text.size());
  };
  auto read = [&](const std::string& name) {
    TSFSUserFileStream s(fs_.get(), name, kModeReadOnly);
    std::string text(size_t(s.Size()), '\0');
    s.Read(text.data(), text.size());
    return text;
  };
  write("old", "old contents");
  write("spare", "new contents");
  struct Case {
    const char* from;
    std::string to;
    bool renamed;
  };
  const Case cases[] = {
      {"spare", "old", false},  // the folder already holds the name
      {"spare", "OLD", false},  // ... in another letter case too
      {"missing", "x", false},  // no such file
      {"spare", "", false},     // empty name
      {"spare", "..", false},   // not a name
      {"spare", "a/b", false},  // a separator would move it
      {"spare", std::string(kMaxNameLength + 1, 'n'), false},
      {"spare", "Spare", true},  // its own name in another case
      {"Spare", "renamed", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fs_->FileRename(c.from, c.to), c.renamed) << c.from << " -> " << c.to;
  }
  EXPECT_EQ(read("old"), "old contents");
  EXPECT_EQ(read("renamed"), "new contents");
  EXPECT_FALSE(fs_->StoreFileExists("spare"));
  {
    TSFSUserFileStream busy(fs_.get(), "renamed", kModeReadOnly);
    EXPECT_FALSE(fs_->FileRename("renamed", "other"));  // an open file keeps its name
  }
  Reopen();
  EXPECT_EQ(read("renamed"), "new contents");
  ASSERT_EQ(fs_->List().size(), 2u);
  Reopen(kModeReadOnly);
  EXPECT_FALSE(fs_->FileRename("renamed", "other"));
}

TEST_F(FilesTest, HandlesAreNeverReused) {
  const int a = fs_->FileOpen("a", kModeCreate);
  const int b = fs_->FileOpen("b", kModeCreate);
  fs_->FileClose(a);
  const int c = fs_->FileOpen("a", kModeReadWrite);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 2);
  fs_->FileClose(b);
  fs_->FileClose(c);
  fs_->FileClose(c);  // twice: no effect
  EXPECT_TRUE(fs_->FileDelete("a"));
}

TEST_F(FilesTest, LargeFileRoundTripAcrossMapPagesAndReopen) {
  // 1100 data pages need two map pages; random overwrites in the middle.
  auto data = test::Pattern(1100 * 4064 + 77, 13);
  {
    TSFSUserFileStream s(fs_.get(), "big", kModeCreate);
    ASSERT_EQ(s.Write(data.data(), data.size()), data.size());
    const auto patch = test::Pattern(9000, 14);
    for (int64_t at : {int64_t(1), int64_t(4063), int64_t(2000000), int64_t(data.size() - 9000)}) {
      s.Seek(at, SeekOrigin::soBeginning);
      ASSERT_EQ(s.Write(patch.data(), patch.size()), patch.size());
      std::copy(patch.begin(), patch.end(), data.begin() + at);
    }
  }
  Reopen(kModeReadOnly);
  TSFSUserFileStream s(fs_.get(), "big", kModeReadOnly);
  EXPECT_EQ(s.Size(), int64_t(data.size()));
  std::vector<uint8_t> out(data.size());
  EXPECT_EQ(s.Read(out.data(), out.size()), out.size());
  EXPECT_EQ(out, data);
}

TEST_F(FilesTest, FreedExtentIsWholeAgainForDedicatedRequests) {
  {
    TSFSUserFileStream s(fs_.get(), "f", kModeCreate);
    const auto data = test::Pattern(20 * 4064, 15);
    s.Write(data.data(), data.size());
  }
  auto& free = fs_->FreeSpace();
  const int32_t extents = free.ExtentCount();
  const int32_t wholeBefore = free.FreeExtents();
  ASSERT_TRUE(fs_->FileDelete("f"));
  EXPECT_GT(free.FreeExtents(), wholeBefore);
  // A dedicated request of a whole extent is served without growing the store (asked
  // near no existing extent, so that only whole extents qualify).
  std::vector<int32_t> pages;
  ASSERT_TRUE(free.GetPages(8, 1 << 30, true, pages));
  EXPECT_EQ(free.ExtentCount(), extents);
  ASSERT_EQ(pages.size(), 8u);
  EXPECT_EQ((pages[0] - 1) % 8, 0);
  for (size_t i = 1; i < pages.size(); ++i) EXPECT_EQ(pages[i], pages[0] + int32_t(i));
  EXPECT_FALSE(free.GamBit((pages[0] - 1) / 8));
  EXPECT_FALSE(free.SgamBit((pages[0] - 1) / 8));
  free.FreePages(pages);
  EXPECT_TRUE(free.GamBit((pages[0] - 1) / 8));
}

TEST_F(FilesTest, GrowthAddsAnotherPfsPageAtItsPlace) {
  // 32512 pages fill the first PFS page's range; the next extent starts with PFS page 2.
  auto& free = fs_->FreeSpace();
  std::vector<int32_t> pages;
  ASSERT_TRUE(free.GetPages(33000, 1, false, pages));
  EXPECT_EQ(fs_->Pages().Header().pfsPageCount, 2);
  EXPECT_EQ(fs_->Pages().Header().gamPageCount, 1);
  EXPECT_TRUE(free.IsMapPage(1 + 32512));
  EXPECT_EQ(std::count(pages.begin(), pages.end(), 1 + 32512), 0);
  std::sort(pages.begin(), pages.end());
  EXPECT_EQ(std::adjacent_find(pages.begin(), pages.end()), pages.end());
  const int32_t extents = free.ExtentCount();
  const int32_t shared = free.SharedFree();
  Reopen();
  EXPECT_EQ(fs_->FreeSpace().ExtentCount(), extents);
  EXPECT_EQ(fs_->FreeSpace().SharedFree(), shared);
  EXPECT_FALSE(fs_->FreeSpace().IsFree(pages.back()));
  EXPECT_TRUE(fs_->FreeSpace().IsMapPage(1 + 32512));
}

class RecordingPrompt : public PasswordPrompt {
 public:
  bool Ask(const std::string& caption, const std::string& prompt, std::string& value) override {
    captions.push_back(caption + "|" + prompt);
    if (answers.empty()) return false;
    value = answers.front();
    answers.erase(answers.begin());
    return true;
  }
  std::vector<std::string> answers;
  std::vector<std::string> captions;
};

TEST_F(FilesTest, PerFilePasswordsAskAgainThroughCallbackOrPrompt) {
  {
    TSFSUserFileStream s(fs_.get(), "secret", kModeCreate, "filepw");
    s.Write("hidden text", 11);
  }
  EXPECT_TRUE(fs_->List()[0].hasPassword);
  // No callback: the store's prompt is asked until the right password or a cancel.
  RecordingPrompt prompt;
  prompt.answers = {"nope", "filepw"};
  fs_->passwordPrompt = &prompt;
  const int h = fs_->FileOpen("secret", kModeReadWrite, "wrong");
  fs_->passwordPrompt = nullptr;
  ASSERT_GE(h, 0);
  ASSERT_EQ(prompt.captions.size(), 2u);
  EXPECT_EQ(prompt.captions[0], "Password for \"secret\"|Enter password: ");
  char out[11];
  EXPECT_EQ(fs_->FileRead(h, out, 11), 11u);
  EXPECT_EQ(std::string(out, 11), "hidden text");
  fs_->FileClose(h);

  // A callback that cancels: -1.
  int asked = 0;
  fs_->OnPasswordRequest = [&](TSingleFileSystem&, const std::string& name, std::string&) {
    EXPECT_EQ(name, "secret");
    ++asked;
    return false;
  };
  EXPECT_EQ(fs_->FileOpen("secret", kModeReadWrite, "wrong"), -1);
  EXPECT_EQ(fs_->LastError(), kErrNotFound);
  EXPECT_EQ(asked, 1);
  fs_->OnPasswordRequest = nullptr;
  // No prompt installed at all counts as cancel, and so does the cancelling stand-in.
  EXPECT_EQ(fs_->FileOpen("secret", kModeReadOnly, ""), -1);
  fs_->passwordPrompt = &CancellingPasswordPrompt();
  EXPECT_EQ(fs_->FileOpen("secret", kModeReadOnly, ""), -1);
  fs_->passwordPrompt = nullptr;
}

TEST_F(FilesTest, WrongKeyReadsWrongBytesWithoutError) {
  {
    TSFSUserFileStream s(fs_.get(), "enc", kModeCreate, "k1");
    s.Write("plain words here", 16);
  }
  const DirEntry& e = fs_->Directory().ReadItem(0);
  const int32_t page = fs_->PageMaps().GetMaps(e).dataPages[0];
  std::vector<uint8_t> data(4064);
  PageHeader ph;
  const std::string wrongKey(33, 'w');
  ASSERT_TRUE(fs_->Pages().ReadPage(page, ph, data.data(), data.size(), false, &wrongKey));
  EXPECT_EQ(ph.encryptionKind, 1);
  EXPECT_NE(std::string(data.begin(), data.begin() + 16), "plain words here");
}

TEST_F(FilesTest, OutOfSpaceIsReportedWhenTheStoreCannotGrow) {
  // A store opened read/write whose parts cannot grow: simulate with a read-only reopen of
  // the file set and a direct page request.
  Reopen(kModeReadOnly);
  std::vector<int32_t> pages;
  EXPECT_FALSE(fs_->FreeSpace().GetPages(4, 1, false, pages));
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(fs_->FreeSpace().ExtentCount(), 0);
  EXPECT_EQ(fs_->Pages().Header().pfsPageCount, 0);
}

}  // namespace
}  // namespace store

#ifndef _WIN32
namespace store {
namespace {

// Pins the clock and the time zone for the time-stamp test, restoring both afterwards.
class PinnedTime {
 public:
  PinnedTime(double now, const char* zone) {
    const char* old = std::getenv("TZ");
    hadZone_ = old != nullptr;
    if (old) oldZone_ = old;
    setenv("TZ", zone, 1);
    tzset();
    platform::SetNowOverride([now] { return now; });
  }
  ~PinnedTime() {
    platform::SetNowOverride(nullptr);
    if (hadZone_)
      setenv("TZ", oldZone_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  bool hadZone_ = false;
  std::string oldZone_;
};

TEST(StoreTimeTest, LocalTimeInTwoSecondStepsStoredAsUtc) {
  // 2023-03-15 12:00:03 local time: the odd second is dropped.
  const double now = 45000.5 + 3.0 / 86400;
  const int64_t localStamp =
      (int64_t(45000) * 86400 + 43200 + 2 + int64_t(109205) * 86400) * 10000000;
  {
    PinnedTime pin(now, "UTC0");
    EXPECT_EQ(StoreTimeNow(), localStamp);
  }
  {
    PinnedTime pin(now, "EST5");  // five hours behind UTC, no daylight saving
    EXPECT_EQ(StoreTimeNow(), localStamp + int64_t(5) * 3600 * 10000000);
  }
}

}  // namespace
}  // namespace store
#endif

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>

namespace store {
namespace {

// Caps the size of files this process may write, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(FilesTest, FullDiskReportsNoSpaceAndKeepsTheStoreSound) {
  const auto small = test::Pattern(5000, 31);
  {
    TSFSUserFileStream s(fs_.get(), "kept", kModeCreate);
    s.Write(small.data(), small.size());
  }
  int notified = 0;
  fs_->OnOutOfSpace = [&](TSingleFileSystem& sender) {
    EXPECT_EQ(&sender, fs_.get());
    ++notified;
  };
  const int h = fs_->FileOpen("big", kModeCreate);
  ASSERT_GE(h, 0);
  const auto big = test::Pattern(1 << 20, 32);
  {
    FileSizeLimit limit(200000);
    EXPECT_EQ(fs_->FileWrite(h, big.data(), big.size()), 0u);
    EXPECT_EQ(fs_->LastError(), kErrNoSpace);
    EXPECT_EQ(fs_->FileSetSize(h, 1 << 20), kErrNoSpace);
  }
  EXPECT_EQ(notified, 2);
  fs_->FileClose(h);
  // Nothing was lost and the store still takes data once there is room again.
  Reopen();
  const auto report = VerifyStore(*fs_);
  EXPECT_TRUE(report.Ok()) << (report.damage.empty() ? "" : report.damage[0]);
  TSFSUserFileStream kept(fs_.get(), "kept", kModeReadOnly);
  std::vector<uint8_t> out(small.size());
  EXPECT_EQ(kept.Read(out.data(), out.size()), out.size());
  EXPECT_EQ(out, small);
  TSFSUserFileStream again(fs_.get(), "big", kModeReadWrite);
  EXPECT_EQ(again.Write(big.data(), big.size()), big.size());
}

}  // namespace
}  // namespace store
#endif
