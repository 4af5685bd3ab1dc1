// Offsets beyond 4 GiB (the store's part files grow past 32 bits), the share modes that keep
// a store apart from other writers, and replacing a file that exists.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/File.h"

using namespace platform;

namespace {
std::string TempPath(const char* stem) {
  auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return (std::filesystem::temp_directory_path() / (std::string(stem) + info->name())).string();
}

struct Cleanup {
  std::string path;
  ~Cleanup() { RemoveFile(path); }
};
}  // namespace

TEST(FileLarge, WritesReadsAndTruncatesBeyondFourGigabytes) {
  Cleanup c{TempPath("ss_big_")};
  const int64_t beyond32Bits = (int64_t(1) << 32) + 16;  // past every 32-bit offset
  File f(c.path, FileAccess::ReadWrite, FileDisposition::CreateAlways);
  f.Seek(beyond32Bits);
  EXPECT_EQ(f.Position(), beyond32Bits);
  f.Write("tail", 4);
  EXPECT_EQ(f.Size(), beyond32Bits + 4);
  EXPECT_EQ(f.Position(), beyond32Bits + 4);
  f.Seek(beyond32Bits + 1);
  char buf[3];
  f.ReadExact(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "ail");
  f.Seek(0);
  char zero = 1;
  f.ReadExact(&zero, 1);
  EXPECT_EQ(zero, 0);  // the gap reads as zero bytes
  // Truncate keeps a position below the new size and pulls one beyond it back.
  f.Seek(10);
  f.Truncate(beyond32Bits);
  EXPECT_EQ(f.Size(), beyond32Bits);
  EXPECT_EQ(f.Position(), 10);
  f.Seek(beyond32Bits);
  f.Truncate(100);
  EXPECT_EQ(f.Size(), 100);
  EXPECT_EQ(f.Position(), 100);
}

TEST(FileLarge, NegativeSeekIsAnErrorAndKeepsTheFileUsable) {
  Cleanup c{TempPath("ss_neg_")};
  File f(c.path, FileAccess::ReadWrite, FileDisposition::CreateAlways);
  f.Write("abc", 3);
  EXPECT_THROW(f.Seek(-1), FileError);
  f.Seek(1);
  char b;
  f.ReadExact(&b, 1);
  EXPECT_EQ(b, 'b');
}

TEST(FileReplace, ReplacingFromAMissingFileFailsAndKeepsTheTarget) {
  Cleanup target{TempPath("ss_keep_")};
  {
    File f(target.path, FileAccess::Write, FileDisposition::CreateAlways);
    f.Write("keep", 4);
  }
  EXPECT_THROW(MoveFileOver(TempPath("ss_nosuch_"), target.path), FileError);
  File f(target.path, FileAccess::Read, FileDisposition::OpenExisting);
  EXPECT_EQ(f.Size(), 4);
}

TEST(FileReplace, ReplaceIntoANewNameAndOpenAlwaysKeepsContent) {
  Cleanup from{TempPath("ss_from_")}, to{TempPath("ss_to_")};
  {
    File f(from.path, FileAccess::Write, FileDisposition::CreateNew);
    f.Write("data", 4);
  }
  MoveFileOver(from.path, to.path);
  EXPECT_FALSE(FileExists(from.path));
  File f(to.path, FileAccess::ReadWrite, FileDisposition::OpenAlways);
  EXPECT_EQ(f.Size(), 4);
  EXPECT_NE(SiblingTempPath(to.path), to.path);
}

#ifdef _WIN32
TEST(FileShare, ExclusiveOpenKeepsEveryoneElseOut) {
  Cleanup c{TempPath("ss_excl_")};
  File owner(c.path, FileAccess::ReadWrite, FileDisposition::CreateAlways, FileShare::Exclusive);
  EXPECT_THROW(File(c.path, FileAccess::Read, FileDisposition::OpenExisting), FileError);
  EXPECT_THROW(File(c.path, FileAccess::ReadWrite, FileDisposition::OpenExisting), FileError);
  EXPECT_FALSE(RemoveFile(c.path));  // an open file without delete sharing stays
  owner.Close();
  EXPECT_NO_THROW(File(c.path, FileAccess::Read, FileDisposition::OpenExisting));
}

TEST(FileShare, DenyWriteAdmitsReadersOnly) {
  Cleanup c{TempPath("ss_denyw_")};
  {
    File f(c.path, FileAccess::Write, FileDisposition::CreateAlways);
    f.Write("x", 1);
  }
  File reader(c.path, FileAccess::Read, FileDisposition::OpenExisting, FileShare::DenyWrite);
  EXPECT_NO_THROW(File(c.path, FileAccess::Read, FileDisposition::OpenExisting));
  EXPECT_THROW(File(c.path, FileAccess::Write, FileDisposition::OpenExisting), FileError);
  try {
    File(c.path, FileAccess::ReadWrite, FileDisposition::OpenExisting);
    ADD_FAILURE() << "a writer got past DenyWrite";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("in use"), std::string::npos) << e.what();
  }
}

TEST(FileShare, DenyNoneLetsTwoWritersSeeEachOther) {
  Cleanup c{TempPath("ss_shared_")};
  File a(c.path, FileAccess::ReadWrite, FileDisposition::CreateAlways, FileShare::DenyNone);
  File b(c.path, FileAccess::ReadWrite, FileDisposition::OpenExisting, FileShare::DenyNone);
  a.Write("hello", 5);
  a.Flush();
  EXPECT_EQ(b.Size(), 5);
  char buf[5];
  b.ReadExact(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
}

TEST(FileShare, ReplaceFailsWhileTheTargetIsOpenExclusively) {
  Cleanup from{TempPath("ss_rfrom_")}, to{TempPath("ss_rto_")};
  {
    File f(from.path, FileAccess::Write, FileDisposition::CreateAlways);
    f.Write("new", 3);
  }
  {
    File locked(to.path, FileAccess::ReadWrite, FileDisposition::CreateAlways,
                FileShare::Exclusive);
    locked.Write("old!", 4);
    EXPECT_THROW(MoveFileOver(from.path, to.path), FileError);
    EXPECT_TRUE(FileExists(from.path));
  }
  MoveFileOver(from.path, to.path);
  File f(to.path, FileAccess::Read, FileDisposition::OpenExisting);
  EXPECT_EQ(f.Size(), 3);
}

TEST(Win32Volume, ReportsFileSystemAndVersion) {
  VolumeInfo v = VolumeOf(TempPath("ss_vol_"));
  EXPECT_FALSE(v.fileSystemName.empty());
  EXPECT_GT(v.freeBytes, 0u);
  OsVersion os = CurrentOsVersion();
  EXPECT_TRUE(os.isWindowsNT);
  EXPECT_GE(os.major, 5u);
}
#endif
