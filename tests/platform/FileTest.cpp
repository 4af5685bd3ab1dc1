#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/File.h"

using namespace platform;

namespace {
std::string TempName(const char* stem) {
  return (std::filesystem::temp_directory_path() /
          (std::string(stem) + std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
      .string();
}
}  // namespace

TEST(File, WriteSeekTruncateAndReadBack) {
  std::string path = TempName("ss_file_");
  {
    File f(path, FileAccess::ReadWrite, FileDisposition::CreateAlways);
    f.Write("hello world", 11);
    EXPECT_EQ(f.Size(), 11);
    f.Seek(6);
    char buf[5];
    f.ReadExact(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "world");
    f.Truncate(5);
    EXPECT_EQ(f.Size(), 5);
    EXPECT_LE(f.Position(), 5);
    f.Seek(int64_t(5) << 32 >> 32);  // 64-bit offsets are accepted
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0u);
    EXPECT_THROW(f.ReadExact(&c, 1), FileError);
  }
  EXPECT_TRUE(FileExists(path));
  EXPECT_TRUE(RemoveFile(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(RemoveFile(path));
}

TEST(File, MissingFileAndCreateNewConflictsAreErrors) {
  std::string path = TempName("ss_missing_");
  EXPECT_THROW(File(path, FileAccess::Read, FileDisposition::OpenExisting), FileError);
  { File f(path, FileAccess::Write, FileDisposition::CreateNew); }
  EXPECT_THROW(File(path, FileAccess::Write, FileDisposition::CreateNew), FileError);
  RemoveFile(path);
}

TEST(File, ReplaceMovesOverAnExistingFile) {
  std::string a = TempName("ss_a_"), b = TempName("ss_b_");
  {
    File f(a, FileAccess::Write, FileDisposition::CreateAlways);
    f.Write("new", 3);
  }
  {
    File f(b, FileAccess::Write, FileDisposition::CreateAlways);
    f.Write("old!", 4);
  }
  MoveFileOver(a, b);
  EXPECT_FALSE(FileExists(a));
  File f(b, FileAccess::Read, FileDisposition::OpenExisting);
  EXPECT_EQ(f.Size(), 3);
  f.Close();
  RemoveFile(b);
}

TEST(File, VolumeReportsFreeSpace) {
  VolumeInfo v = VolumeOf(TempName("ss_vol_"));
  EXPECT_GT(v.freeBytes, 0u);
}
