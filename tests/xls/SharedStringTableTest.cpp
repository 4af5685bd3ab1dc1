// The shared string table: duplicates, block boundaries, characters split into CONTINUE
// blocks, EXTSST positions, and reading back (also the error texts of a broken table).
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/LittleEndian.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/TSSTStringTable.h"

namespace xls {
namespace {

std::vector<uint8_t> Written(const TSSTStringTable& t, size_t lead = 0) {
  std::vector<uint8_t> out(lead, 0);
  RecordWriter w(out);
  t.WriteTo(w);
  EXPECT_EQ(out.size() - lead, t.WrittenSize());
  return out;
}

std::vector<std::u16string> ReadBack(const std::vector<uint8_t>& stream) {
  RecordReader r(stream);
  EXPECT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kSst);
  auto strings = ReadSharedStrings(r);
  EXPECT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kExtSst);
  return strings;
}

std::u16string Text(size_t n, char16_t base) {
  std::u16string s(n, base);
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char16_t>(base + i % 26);
  return s;
}

TEST(SharedStringTable, EqualTextsShareANumberAndCountsAreKept) {
  TSSTStringTable t;
  EXPECT_EQ(t.Add(u"alpha"), 0u);
  EXPECT_EQ(t.Add(u"beta"), 1u);
  EXPECT_EQ(t.Add(u"alpha"), 0u);
  EXPECT_EQ(t.Add(u""), 2u);
  EXPECT_EQ(t.TotalCount(), 4u);
  EXPECT_EQ(t.UniqueCount(), 3u);
  auto stream = Written(t);
  EXPECT_EQ(platform::LoadU32(stream.data() + 4), 4u);
  EXPECT_EQ(platform::LoadU32(stream.data() + 8), 3u);
  EXPECT_EQ(ReadBack(stream), (std::vector<std::u16string>{u"alpha", u"beta", u""}));
}

TEST(SharedStringTable, TextsAreCutTo32768Characters) {
  TSSTStringTable t;
  std::u16string longText(40000, u'q');
  t.Add(longText);
  auto back = ReadBack(Written(t));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].size(), 32768u);
  // The cut text is the same string as the text of 32768 characters.
  EXPECT_EQ(t.Add(longText.substr(0, 32768)), 0u);
}

TEST(SharedStringTable, StringEndingExactlyAtTheBlockEndStartsTheNextCleanly) {
  TSSTStringTable t;
  t.Add(u"a");              // 8 + 3 + 2 = 13 bytes
  t.Add(Text(4088, u'A'));  // 13 + 3 + 8176 = 8192: block full
  t.Add(u"next");
  ASSERT_EQ(t.Blocks().size(), 2u);
  EXPECT_EQ(t.Blocks()[0].size(), 8192u);
  EXPECT_EQ(platform::LoadU16(t.Blocks()[1].data()), 4u);  // a string header, no option byte first
  EXPECT_EQ(ReadBack(Written(t)), (std::vector<std::u16string>{u"a", Text(4088, u'A'), u"next"}));
}

TEST(SharedStringTable, HeaderNeverStartsInTheLastFourBytes) {
  TSSTStringTable t;
  t.Add(Text(4089, u'B'));  // 8 + 3 + 8178 = 8189 bytes: more than 8188
  t.Add(u"xy");
  ASSERT_EQ(t.Blocks().size(), 2u);
  EXPECT_EQ(t.Blocks()[0].size(), 8189u);
  EXPECT_EQ(platform::LoadU16(t.Blocks()[1].data()), 2u);
  EXPECT_EQ(ReadBack(Written(t)), (std::vector<std::u16string>{Text(4089, u'B'), u"xy"}));
}

TEST(SharedStringTable, HeaderAtTheBlockEndPutsAllCharactersInTheContinue) {
  TSSTStringTable t;
  t.Add(u"a");              // 13
  t.Add(Text(4086, u'C'));  // 13 + 3 + 8172 = 8188: a header still fits
  t.Add(u"tail");           // header 8188..8191, no room for a character
  ASSERT_EQ(t.Blocks().size(), 2u);
  EXPECT_EQ(t.Blocks()[0].size(), 8191u);
  EXPECT_EQ(t.Blocks()[1][0], rec::kStrWide);
  EXPECT_EQ(t.Blocks()[1].size(), 1u + 8u);
  EXPECT_EQ(ReadBack(Written(t)), (std::vector<std::u16string>{u"a", Text(4086, u'C'), u"tail"}));
}

TEST(SharedStringTable, LongUtf16StringsSplitIntoSeveralContinues) {
  TSSTStringTable t;
  std::u16string cyrillic = Text(10000, u'\u0410');
  std::u16string greek = Text(5000, u'\u0391');
  t.Add(u"start");
  t.Add(cyrillic);
  t.Add(greek);
  // Every continuation block: option byte 1, then at most 8190 character bytes.
  for (size_t i = 1; i < t.Blocks().size(); ++i) EXPECT_LE(t.Blocks()[i].size(), 8192u);
  ASSERT_GE(t.Blocks().size(), 3u);
  EXPECT_EQ(t.Blocks()[1][0], rec::kStrWide);
  EXPECT_EQ(t.Blocks()[1].size(), 8191u);
  EXPECT_EQ(ReadBack(Written(t)), (std::vector<std::u16string>{u"start", cyrillic, greek}));
}

TEST(SharedStringTable, ExtSstPointsAtTheFirstStringOfEveryBucket) {
  TSSTStringTable t;
  std::vector<std::u16string> texts;
  for (int i = 0; i < 3000; ++i) {
    std::string s = "string number " + std::to_string(i) + std::string(i % 37, '.');
    texts.emplace_back(s.begin(), s.end());
    t.Add(texts.back());
  }
  const uint32_t bucket = t.BucketSize();
  EXPECT_EQ(bucket % 8, 0u);
  EXPECT_LE((3000 + bucket - 1) / bucket, 128u);
  auto stream = Written(t, 100);  // the table does not start at offset 0
  // Find EXTSST, the last record.
  RecordReader r(stream);
  r.Seek(100);
  std::vector<uint32_t> recordStarts;
  uint32_t extStart = 0;
  while (r.Next()) {
    if (r.Id() == rec::kExtSst) extStart = r.Offset();
  }
  // Record starts: walk raw headers (SST and CONTINUEs are separate records in the stream).
  for (size_t p = 100; p < extStart;) {
    recordStarts.push_back(static_cast<uint32_t>(p));
    p += 4 + platform::LoadU16(stream.data() + p + 2);
  }
  ASSERT_NE(extStart, 0u);
  EXPECT_EQ(platform::LoadU16(stream.data() + extStart + 4), bucket);
  size_t buckets = (platform::LoadU16(stream.data() + extStart + 2) - 2) / 8;
  ASSERT_EQ(buckets, (3000 + bucket - 1) / bucket);
  for (size_t b = 0; b < buckets; ++b) {
    const uint8_t* e = stream.data() + extStart + 6 + 8 * b;
    uint32_t pos = platform::LoadU32(e);
    uint16_t inRecord = platform::LoadU16(e + 4);
    ASSERT_LT(pos + 2, stream.size());
    EXPECT_EQ(platform::LoadU16(stream.data() + pos), texts[b * bucket].size()) << "bucket " << b;
    auto start = std::upper_bound(recordStarts.begin(), recordStarts.end(), pos) - 1;
    EXPECT_EQ(inRecord, pos - *start) << "bucket " << b;
  }
  EXPECT_EQ(ReadBack(std::vector<uint8_t>(stream.begin() + 100, stream.end())), texts);
}

std::vector<uint8_t> Record(uint16_t id, std::vector<uint8_t> data) {
  std::vector<uint8_t> out(4 + data.size());
  platform::StoreU16(out.data(), id);
  platform::StoreU16(out.data() + 2, static_cast<uint16_t>(data.size()));
  std::copy(data.begin(), data.end(), out.begin() + 4);
  return out;
}

TEST(SharedStringTable, StringCrossingIntoContinueChangesFrom8To16Bit) {
  // "ab" compressed in the SST, "\u0100c" as UTF-16 in the CONTINUE.
  std::vector<uint8_t> s = Record(rec::kSst, {1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 'a', 'b'});
  auto c = Record(rec::kContinue, {1, 0x00, 0x01, 'c', 0});
  s.insert(s.end(), c.begin(), c.end());
  RecordReader r(s);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(ReadSharedStrings(r), std::vector<std::u16string>{u"ab\u0100c"});
}

TEST(SharedStringTable, RecordEndingInsideAStringIsAnError) {
  std::vector<uint8_t> s = Record(rec::kSst, {1, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 'a', 'b'});
  auto eof = Record(rec::kEof, {});
  s.insert(s.end(), eof.begin(), eof.end());
  RecordReader r(s);
  ASSERT_TRUE(r.Next());
  try {
    ReadSharedStrings(r);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Reading SST record error");
  }
}

TEST(SharedStringTable, AbsurdUniqueCountReadsWhatIsThere) {
  std::vector<uint8_t> s = Record(rec::kSst, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 'z'});
  RecordReader r(s);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(ReadSharedStrings(r), std::vector<std::u16string>{u"z"});
}

TEST(SharedStringTable, UnknownStringNumberIsAnError) {
  std::vector<std::u16string> table{u"one"};
  EXPECT_EQ(SharedString(table, 0), u"one");
  try {
    SharedString(table, 1);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Undefined string in shared string table!");
  }
}

}  // namespace
}  // namespace xls
