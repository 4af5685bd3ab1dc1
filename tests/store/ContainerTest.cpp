// Creating and opening stores, their files on disk, and every way a store file can be damaged.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "StoreTestUtil.h"
#include "store/Errors.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/engine/PartSize.h"
#include "store/engine/TDIRManager.h"
#include "store/engine/TFreeSpaceManager.h"
#include "store/engine/TPageFileManager.h"
#include "store/engine/TUserFilePageMapManager.h"

namespace store {
namespace {

using test::ScratchPath;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

void PutFile(TSingleFileSystem& fs, const std::string& name, const std::vector<uint8_t>& bytes,
             const std::string& password = {}) {
  TSFSUserFileStream s(&fs, name, kModeCreate, password);
  ASSERT_EQ(s.Write(bytes.data(), bytes.size()), bytes.size());
}

std::vector<uint8_t> GetFile(TSingleFileSystem& fs, const std::string& name,
                             const std::string& password = {}) {
  TSFSUserFileStream s(&fs, name, kModeReadOnly, password);
  std::vector<uint8_t> out(size_t(s.Size()));
  EXPECT_EQ(s.Read(out.data(), out.size()), out.size());
  return out;
}

TEST(StoreCreateTest, NewStoreLayoutOnDisk) {
  const std::string path = ScratchPath("new.sfs");
  { TSingleFileSystem fs(path, kModeCreate, "", "", "", 2); }
  EXPECT_EQ(test::FileLength(path), 536);
  const auto bytes = test::ReadAll(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "KXMVHFSS");
  EXPECT_EQ(std::string(bytes.begin() + 280, bytes.begin() + 288), "KXSFSSGN");
  EXPECT_EQ(test::Le32(bytes, 280 + 12), 0x40070A3Du);
  EXPECT_EQ(test::Le32(bytes, 280 + 16), 4096u);
  EXPECT_EQ(test::Le32(bytes, 280 + 20), 8u);
  EXPECT_EQ(test::Le32(bytes, 280 + 48), 1u);
  EXPECT_EQ(bytes[280 + 225], 2);

  {
    TSingleFileSystem fs(path, kModeReadWrite);
    EXPECT_EQ(fs.DefaultCompression(), 2);
    TSFSUserFileStream s(&fs, "first", kModeCreate);
    EXPECT_EQ(fs.Pages().Header().pfsPageCount, 1);
    EXPECT_EQ(fs.Pages().Header().gamPageCount, 1);
    EXPECT_EQ(fs.Pages().Header().firstDirPage, 4);
    EXPECT_TRUE(fs.FreeSpace().IsMapPage(1));
    EXPECT_TRUE(fs.FreeSpace().IsMapPage(2));
    EXPECT_TRUE(fs.FreeSpace().IsMapPage(3));
    EXPECT_FALSE(fs.FreeSpace().IsFree(4));
    EXPECT_TRUE(fs.FreeSpace().IsFree(5));
  }
  EXPECT_EQ(test::FileLength(path), 280 + 9 * 4096);
  const auto after = test::ReadAll(path);
  EXPECT_EQ(after[test::Logical(1 * 4096) + 8], 4);  // PFS
  EXPECT_EQ(after[test::Logical(2 * 4096) + 8], 2);  // GAM
  EXPECT_EQ(after[test::Logical(3 * 4096) + 8], 3);  // SGAM
  EXPECT_EQ(after[test::Logical(4 * 4096) + 8], 1);  // directory
}

TEST(StoreCreateTest, ReopenKeepsFilesWithAndWithoutPassword) {
  for (const std::string password : {"", "pa55"}) {
    const std::string path = ScratchPath(password.empty() ? "plain.sfs" : "locked.sfs");
    const auto data = test::Pattern(10000, 7);
    {
      TSingleFileSystem fs(path, kModeCreate, password);
      EXPECT_EQ(fs.HasPassword(), !password.empty());
      PutFile(fs, "book", data);
    }
    TSingleFileSystem fs(path, kModeReadWrite, password);
    EXPECT_EQ(GetFile(fs, "book"), data);
    // With a password the data and the directory are enciphered on disk.
    const auto raw = test::ReadAll(path);
    const bool plainName =
        std::search(raw.begin(), raw.end(), std::begin("book"), std::end("book") - 1) != raw.end();
    const bool plainData =
        std::search(raw.begin(), raw.end(), data.begin(), data.begin() + 64) != raw.end();
    EXPECT_EQ(plainName, password.empty());
    EXPECT_EQ(plainData, password.empty());
  }
}

TEST(StoreOpenTest, WrongPasswordIsRefused) {
  const std::string path = ScratchPath("pw.sfs");
  { TSingleFileSystem fs(path, kModeCreate, "right"); }
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadWrite, "wrong"); }),
            "TSingleFileSystem.Create - invalid password specified, file name = \"" + path + "\"");
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadWrite, ""); }),
            "TSingleFileSystem.Create - invalid password specified, file name = \"" + path + "\"");
  // A store without a password accepts any password.
  const std::string open = ScratchPath("open.sfs");
  { TSingleFileSystem fs(open, kModeCreate); }
  EXPECT_NO_THROW(TSingleFileSystem(open, kModeReadWrite, "anything"));
}

TEST(StoreOpenTest, MissingFileIsNamedWithItsPath) {
  const std::string missing = ScratchPath("missing.sfs");
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(missing, kModeReadWrite); }),
            "File '" + missing + "' not found");
}

TEST(StoreCorruptionTest, BadSignatureIsACorruptedHeader) {
  const std::string bad = ScratchPath("bad.sfs");
  test::WriteAll(bad, test::Pattern(5000, 1));
  const std::string bare = bad.substr(bad.find_last_of("/\\") + 1);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(bad, kModeReadWrite); }),
            "File " + bare + " has corrupted header.");
  test::WriteAll(bad, {});
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(bad, kModeReadWrite); }),
            "File " + bare + " has corrupted header.");
  // A sound part header over a store header with a wrong signature.
  { TSingleFileSystem fs(bad, kModeCreate); }
  auto bytes = test::ReadAll(bad);
  bytes[280] = 'X';
  test::WriteAll(bad, bytes);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(bad, kModeReadWrite); }),
            "TSingleFileSystem.LoadHeader - Invalid SFS file, header is corrupted.");
}

TEST(StoreOpenTest, ChangedHeaderByteIsRejected) {
  const std::string path = ScratchPath("hdr.sfs");
  { TSingleFileSystem fs(path, kModeCreate); }
  auto bytes = test::ReadAll(path);
  bytes[280 + 100] ^= 0x01;
  test::WriteAll(path, bytes);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadWrite); }),
            "TSingleFileSystem.LoadHeader - Invalid SFS file, header is corrupted.");
}

TEST(StoreOpenTest, HostileHeaderCountsAreRejected) {
  // A header whose checksum is right but whose counts cannot fit the file.
  const std::string path = ScratchPath("counts.sfs");
  { TSingleFileSystem fs(path, kModeCreate); }
  auto bytes = test::ReadAll(path);
  test::PutLe32(bytes, 280 + 32, 0x7FFFFFFF);  // PFSPageCount
  std::vector<uint8_t> header(bytes.begin() + 280, bytes.begin() + 280 + 256);
  uint32_t sum = 0;
  for (size_t i = 12; i + 4 <= 256; i += 4) sum ^= test::Le32(header, i);
  test::PutLe32(bytes, 280 + 8, sum);
  test::WriteAll(path, bytes);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadWrite); }),
            "TSingleFileSystem.LoadHeader - Invalid SFS file, header is corrupted.");
}

TEST(StoreOpenTest, ForeignPrefixBytesAreSkipped) {
  const std::string path = ScratchPath("inner.sfs");
  const auto data = test::Pattern(6000, 3);
  {
    TSingleFileSystem fs(path, kModeCreate);
    PutFile(fs, "x", data);
  }
  auto bytes = test::ReadAll(path);
  std::vector<uint8_t> prefixed(777 + bytes.size(), 'Z');
  prefixed[10] = 'K';
  prefixed[11] = 'X';
  prefixed[12] = 'M';
  prefixed[13] = 'V';  // a false start
  std::copy(bytes.begin(), bytes.end(), prefixed.begin() + 777);
  const std::string withPrefix = ScratchPath("prefixed.sfs");
  test::WriteAll(withPrefix, prefixed);
  TSingleFileSystem fs(withPrefix, kModeReadWrite);
  EXPECT_EQ(fs.Pages().File().Prefix(), 777);
  EXPECT_EQ(GetFile(fs, "x"), data);
  // Writing keeps the prefix in place.
  PutFile(fs, "y", test::Pattern(100, 4));
  EXPECT_EQ(GetFile(fs, "y"), test::Pattern(100, 4));
  const auto again = test::ReadAll(withPrefix);
  EXPECT_TRUE(std::equal(prefixed.begin(), prefixed.begin() + 777, again.begin()));
}

TEST(StoreOpenTest, ReadOnlyModeReadsButNeverWrites) {
  const std::string path = ScratchPath("ro.sfs");
  {
    TSingleFileSystem fs(path, kModeCreate);
    PutFile(fs, "doc", test::Pattern(300, 9));
  }
  const auto before = test::ReadAll(path);
  {
    TSingleFileSystem fs(path, kModeReadOnly);
    EXPECT_TRUE(fs.IsReadOnly());
    EXPECT_EQ(GetFile(fs, "doc"), test::Pattern(300, 9));
    const int h = fs.FileOpen("doc", kModeReadWrite);
    ASSERT_GE(h, 0);
    EXPECT_EQ(fs.FileWrite(h, "abc", 3), 0u);
    EXPECT_LT(fs.LastError(), 0);
    EXPECT_LT(fs.FileSetSize(h, 1), 0);
    fs.FileClose(h);
    EXPECT_EQ(fs.FileOpen("new", kModeCreate), -1);
    EXPECT_FALSE(fs.FileDelete("doc"));
  }
  EXPECT_EQ(test::ReadAll(path), before);
}

TEST(StoreCorruptionTest, CorruptPageChecksumFailsTheRead) {
  const std::string path = ScratchPath("sum.sfs");
  const auto data = test::Pattern(9000, 5);
  int32_t firstDataPage = -1;
  {
    TSingleFileSystem fs(path, kModeCreate);
    PutFile(fs, "f", data);
  }
  {
    TSingleFileSystem fs(path, kModeReadOnly);
    const auto& entry = fs.Directory().ReadItem(0);
    firstDataPage = fs.PageMaps().GetMaps(entry).dataPages[1];
  }
  auto bytes = test::ReadAll(path);
  bytes[test::Logical(size_t(firstDataPage) * 4096 + 32 + 100)] ^= 0xFF;
  test::WriteAll(path, bytes);
  TSingleFileSystem fs(path, kModeReadOnly);
  const int h = fs.FileOpen("f", kModeReadOnly);
  std::vector<uint8_t> out(data.size());
  // The first page reads, the damaged second one stops the read with the checksum code.
  EXPECT_EQ(fs.FileRead(h, out.data(), out.size()), 4064u);
  EXPECT_EQ(fs.LastError(), kErrChecksum);
  fs.FileClose(h);
}

TEST(StoreCorruptionTest, TruncatedFileFailsCleanly) {
  const std::string path = ScratchPath("trunc.sfs");
  const auto data = test::Pattern(20000, 6);
  {
    TSingleFileSystem fs(path, kModeCreate);
    PutFile(fs, "f", data);
  }
  auto bytes = test::ReadAll(path);
  // Cut in the middle of the data pages: the store opens, the lost pages read short.
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 280 + 8 * 4096 + 100);
  test::WriteAll(path, cut);
  {
    TSingleFileSystem fs(path, kModeReadOnly);
    const int h = fs.FileOpen("f", kModeReadOnly);
    ASSERT_GE(h, 0);
    std::vector<uint8_t> out(data.size());
    EXPECT_LT(fs.FileRead(h, out.data(), out.size()), data.size());
    EXPECT_LT(fs.LastError(), 0);
  }
  // Cut inside the map pages: opening fails with a map message.
  std::vector<uint8_t> tiny(bytes.begin(), bytes.begin() + 280 + 4096 + 50);
  test::WriteAll(path, tiny);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadOnly); }),
            "TFreeSpaceManager.LoadPFS - can not load page, pageNo = 1");
  // Cut inside the header.
  std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 300);
  test::WriteAll(path, header);
  EXPECT_NE(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadOnly); }), "(no error)");
}

TEST(StoreCorruptionTest, LoopingDirectoryChainIsReported) {
  const std::string path = ScratchPath("dirloop.sfs");
  int32_t secondDirPage = -1;
  {
    TSingleFileSystem fs(path, kModeCreate);
    for (int i = 0; i < 15; ++i) PutFile(fs, "f" + std::to_string(i), {uint8_t(i)});
    ASSERT_EQ(fs.Pages().Header().dirPageCount, 3);
    secondDirPage = fs.Directory().PageList()[1];
  }
  auto bytes = test::ReadAll(path);
  // The second directory page points back at the first.
  test::PutLe32(bytes, test::Logical(size_t(secondDirPage) * 4096), 4);
  test::WriteAll(path, bytes);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadOnly); }),
            "TDIRManager.Load - can not load page, pageNo = 4");
}

TEST(StoreCorruptionTest, LoopingPageMapChainIsReported) {
  const std::string path = ScratchPath("maploop.sfs");
  int32_t firstMap = -1;
  {
    TSingleFileSystem fs(path, kModeCreate);
    // More than 1016 data pages need a second map page.
    PutFile(fs, "big", std::vector<uint8_t>(1020 * 4064, 0x11));
    firstMap = fs.Directory().ReadItem(0).firstMapPageNo;
    ASSERT_EQ(fs.PageMaps().GetMaps(fs.Directory().ReadItem(0)).mapPages.size(), 2u);
  }
  auto bytes = test::ReadAll(path);
  test::PutLe32(bytes, test::Logical(size_t(firstMap) * 4096),
                uint32_t(firstMap));  // points at itself
  test::WriteAll(path, bytes);
  TSingleFileSystem fs(path, kModeReadOnly);
  const int h = fs.FileOpen("big", kModeReadOnly);
  uint8_t b[16];
  EXPECT_EQ(ErrorOf([&] { fs.FileRead(h, b, sizeof b); }),
            "TUserFilePageMapManager.GetMaps - Invalid page No in map chain.");
  fs.FileClose(h);
}

TEST(StoreCorruptionTest, LoopingPartChainIsRefused) {
  const std::string path = ScratchPath("parts.sfs");
  {
    TSingleFileSystem fs(path, kModeCreate, "", "", "", 0, 20000);
    PutFile(fs, "f", test::Pattern(60000, 2));
  }
  ASSERT_TRUE(platform::FileExists(path + "1"));
  // The second part names the first part as its successor.
  auto second = test::ReadAll(path + "1");
  const std::string bare = path.substr(path.find_last_of("/\\") + 1);
  std::memset(&second[16], 0, 261);
  std::memcpy(&second[16], bare.data(), bare.size());
  test::WriteAll(path + "1", second);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadOnly); }),
            "File " + bare + " has corrupted header.");
}

TEST(StoreCorruptionTest, PartNameLeavingTheFolderIsRefused) {
  const std::string path = ScratchPath("escape.sfs");
  { TSingleFileSystem fs(path, kModeCreate, "", "", "", 0, 20000); }
  auto bytes = test::ReadAll(path);
  const std::string evil = "../escape.sfs";
  std::memcpy(&bytes[16], evil.data(), evil.size());
  bytes.resize(20000, 0);  // a full part, as a part with a successor must be
  test::WriteAll(path, bytes);
  EXPECT_NE(ErrorOf([&] { TSingleFileSystem fs(path, kModeReadOnly); }), "(no error)");
}

TEST(StorePartsTest, DataSpreadsOverPartsAndShrinks) {
  const std::string path = ScratchPath("multi.sfs");
  const auto data = test::Pattern(100000, 8);
  {
    TSingleFileSystem fs(path, kModeCreate, "", "", "", 0, 30000);
    EXPECT_EQ(fs.PartSize(), 30000);
    PutFile(fs, "f", data);
    EXPECT_GT(fs.Pages().File().PartCount(), 3u);
  }
  EXPECT_EQ(test::FileLength(path), 30000);
  EXPECT_EQ(test::FileLength(path + "1"), 30000);
  TSingleFileSystem fs(path, kModeReadWrite);
  EXPECT_EQ(fs.PartSize(), 30000);
  EXPECT_EQ(GetFile(fs, "f"), data);
  // Shrinking the logical space drops trailing parts and clears the successor name.
  const size_t parts = fs.Pages().File().PartCount();
  fs.Pages().File().SetSize(40000);
  EXPECT_EQ(fs.Pages().File().PartCount(), 2u);
  EXPECT_FALSE(platform::FileExists(path + std::to_string(parts - 1)));
  EXPECT_EQ(fs.Pages().File().Size(), 40000);
  EXPECT_EQ(test::ReadAll(path + "1")[16], 0);
}

TEST(StorePartsTest, CreatingOverAStoreDeletesItsParts) {
  const std::string path = ScratchPath("recreate.sfs");
  {
    TSingleFileSystem fs(path, kModeCreate, "", "", "", 0, 20000);
    PutFile(fs, "f", test::Pattern(50000, 1));
  }
  ASSERT_TRUE(platform::FileExists(path + "2"));
  { TSingleFileSystem fs(path, kModeCreate); }
  EXPECT_FALSE(platform::FileExists(path + "1"));
  EXPECT_FALSE(platform::FileExists(path + "2"));
  EXPECT_EQ(test::FileLength(path), 536);
  // An over-long password fails before the existing store is touched.
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeCreate, std::string(33, 'x')); }),
            "Password length should be shorter then 32");
  EXPECT_EQ(test::FileLength(path), 536);
  EXPECT_EQ(ErrorOf([&] { TSingleFileSystem fs(path, kModeCreate, "", "", "", 0, 379); }),
            "File part size is too small. Minimal part size is 380");
}

TEST(PartSizeTest, VolumeTableWithLargeFileDefaults) {
  platform::VolumeInfo v;
  v.fileSystemName = "NTFS";
  EXPECT_EQ(PartSizeForVolume(v, "C:\\", 7), 0x7FFFFFFFFFFFFFFELL);
  v.fileSystemName = "FAT32";
  EXPECT_EQ(PartSizeForVolume(v, "C:\\", 6), 4294967295LL);
  EXPECT_EQ(PartSizeForVolume(v, "C:\\", 3), 2147483647LL);
  EXPECT_EQ(PartSizeForVolume(v, "C:\\", 9), 4294967295LL);
  v.fileSystemName = "FAT16";
  EXPECT_EQ(PartSizeForVolume(v, "C:\\", 7), 2147483647LL);
  v.fileSystemName = "FAT";
  EXPECT_EQ(PartSizeForVolume(v, "a:\\x.sfs", 7), 1457664LL);
  EXPECT_EQ(PartSizeForVolume(v, "D:\\x.sfs", 7), 2147483647LL);
  v.fileSystemName = "FS_UDF";
  v.freeBytes = 123456789;
  EXPECT_EQ(PartSizeForVolume(v, "E:\\", 7), 123456789LL);
  v.fileSystemName = "CDFS";
  EXPECT_EQ(PartSizeForVolume(v, "E:\\", 7), 0);
  // Unknown names and no volume facts count as large-file capable.
  for (const char* fs : {"ext4", "exFAT", "", "nfs"}) {
    v.fileSystemName = fs;
    EXPECT_EQ(PartSizeForVolume(v, "/home/x.sfs", 9), 0x7FFFFFFFFFFFFFFELL) << fs;
  }
  EXPECT_THROW(CheckPartSize(0), StoreError);
  EXPECT_NO_THROW(CheckPartSize(380));
}

TEST(PartSizeTest, OsGenerations) {
  auto gen = [](bool nt, unsigned major, unsigned minor) {
    return OsGeneration({nt, major, minor});
  };
  EXPECT_EQ(gen(false, 3, 10), 4);
  EXPECT_EQ(gen(false, 4, 0), 1);
  EXPECT_EQ(gen(true, 4, 0), 5);
  EXPECT_EQ(gen(false, 4, 10), 2);
  EXPECT_EQ(gen(false, 4, 90), 3);
  EXPECT_EQ(gen(true, 5, 0), 6);
  EXPECT_EQ(gen(true, 5, 1), 7);
  EXPECT_EQ(gen(true, 5, 2), 8);
  EXPECT_EQ(gen(true, 6, 1), 9);
  EXPECT_EQ(gen(true, 10, 0), 9);
  EXPECT_EQ(gen(false, 0, 0), 9);
  EXPECT_EQ(ErrorOf([&] { gen(false, 2, 0); }), "Can't Identify OS version");
  EXPECT_EQ(ErrorOf([&] { gen(false, 4, 3); }), "Can't Identify OS version");
}

}  // namespace
}  // namespace store
