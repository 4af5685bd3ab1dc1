// The record reader joining CONTINUE records and the record writer splitting into them:
// atomic values never split, string characters re-flagged at every CONTINUE.
#include <gtest/gtest.h>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/RecordWriter.h"
#include "xls/biff/XlsText.h"
#include "xls/compound/ByteSource.h"

namespace xls {
namespace {

// Raw stream assembly for hand-made records.
struct Raw {
  std::vector<uint8_t> bytes;
  Raw& Rec(uint16_t id, std::vector<uint8_t> data) {
    uint8_t h[4];
    platform::StoreU16(h, id);
    platform::StoreU16(h + 2, static_cast<uint16_t>(data.size()));
    bytes.insert(bytes.end(), h, h + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
};

std::vector<uint8_t> U16s(std::u16string_view s) {
  std::vector<uint8_t> v;
  for (char16_t c : s) {
    v.push_back(static_cast<uint8_t>(c));
    v.push_back(static_cast<uint8_t>(c >> 8));
  }
  return v;
}

template <typename... T>
std::vector<uint8_t> Cat(T... parts) {
  std::vector<uint8_t> out;
  (out.insert(out.end(), parts.begin(), parts.end()), ...);
  return out;
}

// The pieces of the records in a stream: (id, data length) in order.
std::vector<std::pair<uint16_t, uint16_t>> Headers(const std::vector<uint8_t>& s) {
  std::vector<std::pair<uint16_t, uint16_t>> out;
  for (size_t p = 0; p + 4 <= s.size();) {
    uint16_t len = platform::LoadU16(s.data() + p + 2);
    out.push_back({platform::LoadU16(s.data() + p), len});
    p += 4 + len;
  }
  return out;
}

TEST(RecordReader, WalksRecordsAndReportsOffsets) {
  Raw raw;
  raw.Rec(rec::kBof, std::vector<uint8_t>(16, 0))
      .Rec(rec::kNumber, std::vector<uint8_t>(14, 1))
      .Rec(rec::kEof, {});
  RecordReader r(raw.bytes);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kBof);
  EXPECT_EQ(r.Offset(), 0u);
  EXPECT_EQ(r.Length(), 16u);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kNumber);
  EXPECT_EQ(r.Offset(), 20u);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kEof);
  EXPECT_EQ(r.Length(), 0u);
  EXPECT_FALSE(r.Next());
  // Seek back to a remembered record start.
  ASSERT_TRUE(r.Seek(20));
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kNumber);
  EXPECT_FALSE(r.Seek(1000));
}

TEST(RecordReader, JoinsContinueRecordsIntoOneDataRun) {
  Raw raw;
  raw.Rec(0x00EC, {1, 2, 3})
      .Rec(rec::kContinue, {4, 5})
      .Rec(rec::kContinue, {})
      .Rec(rec::kContinue, {6, 7, 8})
      .Rec(rec::kEof, {});
  RecordReader r(raw.bytes);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Length(), 8u);
  EXPECT_EQ(r.SegmentCount(), 4u);
  EXPECT_EQ(r.NextOffset(), 4u + 3 + 4 + 2 + 4 + 4 + 3);
  // A 32-bit value read across the first boundary, then across the empty CONTINUE.
  EXPECT_EQ(r.U32(), 0x04030201u);
  EXPECT_EQ(r.U16(), 0x0605);
  EXPECT_EQ(r.Remaining(), 2u);
  EXPECT_THROW(r.U32(), XlsError);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kEof);
}

TEST(RecordReader, StringCharactersRereadTheOptionByteAtEachContinue) {
  // "abc" compressed in the record, then "dé€" as UTF-16 behind option byte 1, then "fg"
  // compressed again behind option byte 0.
  Raw raw;
  raw.Rec(rec::kLabel, {8, 0, 0, 'a', 'b', 'c'})
      .Rec(rec::kContinue, Cat(std::vector<uint8_t>{1}, U16s(u"d\u00e9\u20ac")))
      .Rec(rec::kContinue, {0, 'f', 'g'});
  RecordReader r(raw.bytes);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.String16(), u"abcd\u00e9\u20acfg");
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(RecordReader, RichTextRunsAndExtendedDataAreSkippedAcrossContinues) {
  // String 1: 5 wide characters, 2 runs, 3 bytes of extended data; the runs straddle a
  // CONTINUE (run bytes carry no option byte). String 2 follows.
  std::vector<uint8_t> head = {5, 0, 0x0D, 2, 0, 3, 0, 0, 0};
  Raw raw;
  raw.Rec(rec::kSst, Cat(head, U16s(u"hello"), std::vector<uint8_t>{1, 2, 3}))
      .Rec(rec::kContinue, {4, 5, 6, 7, 8, 9, 9, 9, 2, 0, 0, 'o', 'k'});
  RecordReader r(raw.bytes);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.String16(), u"hello");
  EXPECT_EQ(r.String16(), u"ok");
  EXPECT_EQ(r.Remaining(), 0u);
}

// Texts in the system code page come straight from the bytes for plain ASCII in one piece,
// and through UTF-16 otherwise: both ways must give what converting String16 gives, and leave
// the cursor at the same place.
TEST(RecordReader, SystemStringsAgreeWithTheirConvertedUtf16) {
  std::vector<std::vector<uint8_t>> streams;
  auto add = [&streams](Raw raw) { streams.push_back(raw.bytes); };
  add(Raw().Rec(rec::kSst, {5, 0, 0, 'h', 'e', 'l', 'l', 'o', 0, 0, 0, 2, 0, 0, 'o', 'k'}));
  add(Raw().Rec(rec::kSst,
                {4, 0, 0, 'c', 'a', 'f', 0xE9, 3, 0, 0, 'a', 0x80, 0x9F}));  // Latin-1 bytes
  add(Raw().Rec(rec::kSst, Cat(std::vector<uint8_t>{3, 0, 1}, U16s(u"abc"),
                               std::vector<uint8_t>{1, 0, 1}, U16s(u"\u20ac"))));
  add(Raw().Rec(rec::kSst,
                {2, 0, 0x08, 1, 0, 'h', 'i', 1, 2, 3, 4, 1, 0, 0, 'z'}));  // a formatting run
  add(Raw().Rec(rec::kSst,
                {2, 0, 0x04, 2, 0, 0, 0, 'h', 'i', 7, 7, 1, 0, 0, 'z'}));  // extended data
  add(Raw().Rec(rec::kSst, {6, 0, 0, 'a', 'b', 'c'}).Rec(rec::kContinue, {0, 'd', 'e', 'f'}));
  add(Raw()
          .Rec(rec::kSst, {3, 0, 0, 'a'})
          .Rec(rec::kContinue, Cat(std::vector<uint8_t>{1}, U16s(u"\u00e9z"))));
  for (size_t k = 0; k < streams.size(); ++k) {
    RecordReader wide(streams[k]), direct(streams[k]);
    ASSERT_TRUE(wide.Next());
    ASSERT_TRUE(direct.Next());
    while (wide.Remaining() > 0) {
      const std::string expected = ToSystemText(wide.String16());
      EXPECT_EQ(direct.SystemString16(), expected) << "stream " << k;
      ASSERT_EQ(direct.Position(), wide.Position()) << "stream " << k;
    }
    EXPECT_EQ(direct.Remaining(), 0u);
  }
}

TEST(RecordReader, HeaderAtTheEndOfARecordWithCharactersInTheContinue) {
  Raw raw;
  raw.Rec(rec::kSst, {3, 0, 0}).Rec(rec::kContinue, Cat(std::vector<uint8_t>{1}, U16s(u"xyz")));
  RecordReader r(raw.bytes);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.String16(), u"xyz");
}

TEST(RecordReader, MalformedRecordsFailWithTheirOffset) {
  {
    Raw raw;
    raw.Rec(rec::kBof, std::vector<uint8_t>(16, 0));
    raw.bytes.insert(raw.bytes.end(), {0x03, 0x02, 0xFF, 0x00, 1, 2});  // claims 255 bytes
    RecordReader r(raw.bytes);
    ASSERT_TRUE(r.Next());
    try {
      r.Next();
      FAIL() << "no error";
    } catch (const XlsError& e) {
      EXPECT_STREQ(
          e.what(),
          "Record 0x0203 at offset 20: claims 255 data bytes, only 2 remain in the stream");
    }
  }
  {
    // A string longer than its record.
    Raw raw;
    raw.Rec(rec::kLabel, {50, 0, 0, 'a', 'b'});
    RecordReader r(raw.bytes);
    ASSERT_TRUE(r.Next());
    EXPECT_THROW(r.String16(), XlsError);
  }
  {
    // A UTF-16 character cut in half by a CONTINUE.
    Raw raw;
    raw.Rec(rec::kLabel, {2, 0, 1, 'a', 0, 'b'}).Rec(rec::kContinue, {0, 'c'});
    RecordReader r(raw.bytes);
    ASSERT_TRUE(r.Next());
    EXPECT_THROW(r.String16(), XlsError);
  }
  {
    // A trailing fragment of fewer than 4 bytes ends the stream quietly.
    std::vector<uint8_t> tail = {0, 0, 0};
    RecordReader r(tail);
    EXPECT_FALSE(r.Next());
  }
}

// A stream read from a source through a window reads exactly as the same stream in memory:
// records larger than the window (long CONTINUE chains), records straddling the window's end,
// going back with Seek, and the errors of a malformed stream.
TEST(RecordReader, WindowedReadingMatchesTheStreamInMemory) {
  uint32_t x = 99;
  auto next = [&x](uint32_t bound) {
    x = x * 1103515245u + 12345u;
    return (x >> 8) % bound;
  };
  Raw raw;
  for (int i = 0; i < 400; ++i) {
    std::vector<uint8_t> data(next(300));
    for (auto& b : data) b = static_cast<uint8_t>(next(256));
    raw.Rec(static_cast<uint16_t>(0x200 + next(40)), data);
    if (next(5) == 0) {
      for (uint32_t c = next(30); c > 0; --c)
        raw.Rec(rec::kContinue, std::vector<uint8_t>(next(8225), 0x5A));
    }
  }
  MemoryByteSource source(raw.bytes);
  // Everything a record shows; at the 300th record the walk goes back to `backTo`, once.
  auto walk = [](RecordReader& r, uint32_t backTo) {
    std::vector<std::vector<uint8_t>> seen;
    int index = 0;
    while (r.Next()) {
      std::vector<uint8_t> rec = {static_cast<uint8_t>(r.Id()), static_cast<uint8_t>(r.Id() >> 8)};
      const auto first = r.FirstSegment();
      rec.insert(rec.end(), first.begin(), first.end());
      if (r.Remaining() >= 2) rec.push_back(static_cast<uint8_t>(r.U16()));
      const auto rest = r.Bytes(r.Remaining());
      rec.insert(rec.end(), rest.begin(), rest.end());
      for (uint32_t v :
           {r.Offset(), r.NextOffset(), r.Length(), static_cast<uint32_t>(r.SegmentCount())}) {
        rec.push_back(static_cast<uint8_t>(v));
        rec.push_back(static_cast<uint8_t>(v >> 8));
      }
      seen.push_back(std::move(rec));
      if (++index == 300) {
        EXPECT_TRUE(r.Seek(backTo));
      }
    }
    return seen;
  };
  uint32_t backTo = 0;  // the offset of the 120th record
  {
    RecordReader probe(raw.bytes);
    for (int index = 0; index < 120 && probe.Next(); ++index) backTo = probe.Offset();
  }
  RecordReader whole(raw.bytes);
  const auto expected = walk(whole, backTo);
  ASSERT_GT(expected.size(), 400u);
  for (size_t window : {size_t{16}, size_t{1000}, size_t{9000}, RecordReader::kDefaultWindow}) {
    SCOPED_TRACE(window);
    RecordReader windowed(source, window);
    EXPECT_EQ(windowed.StreamSize(), raw.bytes.size());
    EXPECT_EQ(walk(windowed, backTo), expected);
  }
  // A header that claims more than the stream holds fails alike.
  Raw bad;
  bad.Rec(rec::kBof, std::vector<uint8_t>(16, 0));
  bad.bytes.insert(bad.bytes.end(), {0x03, 0x02, 0xFF, 0x00, 1, 2});
  MemoryByteSource badSource(bad.bytes);
  RecordReader windowed(badSource, 16);
  ASSERT_TRUE(windowed.Next());
  try {
    windowed.Next();
    FAIL() << "no error";
  } catch (const XlsError& e) {
    EXPECT_STREQ(e.what(),
                 "Record 0x0203 at offset 20: claims 255 data bytes, only 2 remain in the stream");
  }
}

TEST(RecordWriter, ShortRecordIsWrittenAsIs) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b(rec::kNumber);
  b.U16(1).U16(2).U16(15).Double(2.5);
  w.Write(b);
  ASSERT_EQ(out.size(), 18u);
  EXPECT_EQ(platform::LoadU16(out.data()), rec::kNumber);
  EXPECT_EQ(platform::LoadU16(out.data() + 2), 14u);
  EXPECT_EQ(platform::LoadDouble(out.data() + 10), 2.5);
  EXPECT_EQ(RecordWriter::WrittenSize(b), out.size());
}

TEST(RecordWriter, AtomicValueMovesWholeIntoTheContinue) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b(0x00EC);
  b.Zeros(8222).U32(0xA1B2C3D4);
  w.Write(b);
  auto h = Headers(out);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0], std::make_pair(uint16_t{0x00EC}, uint16_t{8222}));
  EXPECT_EQ(h[1], std::make_pair(rec::kContinue, uint16_t{4}));
  RecordReader r(out);
  ASSERT_TRUE(r.Next());
  r.Skip(8222);
  EXPECT_EQ(r.U32(), 0xA1B2C3D4u);
  EXPECT_EQ(RecordWriter::WrittenSize(b), out.size());
}

TEST(RecordWriter, WideCharactersSplitBetweenCharactersBehindAnOptionByte) {
  std::u16string text(6000, u'\u0416');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(0x400 + i % 200);
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b(rec::kLabel);
  b.U16(7).String16(text);  // 2 + 3 header bytes: the room left for characters is odd
  w.Write(b);
  auto h = Headers(out);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].second, 8223u);  // 5 + 2 * 4109: the last odd byte stays empty
  EXPECT_EQ(out[4 + 8223 + 4], rec::kStrWide);
  EXPECT_EQ(h[1].second, 1 + 2 * (6000 - 4109));
  RecordReader r(out);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.U16(), 7);
  EXPECT_EQ(r.String16(), text);
  EXPECT_EQ(r.Remaining(), 0u);
}

TEST(RecordWriter, CompressedCharactersSplitWithOptionByteZero) {
  std::u16string text(20000, u'x');
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b(rec::kLabel);
  b.String16(text);
  w.Write(b);
  auto h = Headers(out);
  ASSERT_EQ(h.size(), 3u);
  EXPECT_EQ(h[0].second, rec::kMaxRecordData);
  EXPECT_EQ(out[4 + 8224 + 4], 0);
  RecordReader r(out);
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.String16(), text);
}

TEST(RecordWriter, StringHeaderStaysWithItsFirstCharacter) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  RecordBuilder b(rec::kSst);
  b.Zeros(8221).String16(u"abc");  // header (3) + first character (1) do not fit in 3 bytes
  w.Write(b);
  auto h = Headers(out);
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].second, 8221u);
  EXPECT_EQ(h[1].second, 6u);
  RecordReader r(out);
  ASSERT_TRUE(r.Next());
  r.Skip(8221);
  EXPECT_EQ(r.String16(), u"abc");
}

TEST(RecordWriter, EmptyRecordAndRawSplitting) {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  w.Write(RecordBuilder(rec::kEof));
  std::vector<uint8_t> big(20000, 0x5A);
  w.Write(0x00EB, big);
  auto h = Headers(out);
  ASSERT_EQ(h.size(), 4u);
  EXPECT_EQ(h[0], std::make_pair(rec::kEof, uint16_t{0}));
  EXPECT_EQ(h[1].second, 8224u);
  EXPECT_EQ(h[2].first, rec::kContinue);
  EXPECT_EQ(h[3].second, 20000u - 2 * 8224u);
  RecordReader r(out);
  ASSERT_TRUE(r.Next());
  ASSERT_TRUE(r.Next());
  EXPECT_EQ(r.Bytes(r.Length()), big);
}

TEST(RecordWriter, StringCountLimitsAreEnforced) {
  RecordBuilder b(rec::kFont);
  EXPECT_THROW(b.String8(std::u16string(256, u'a')), XlsError);
  EXPECT_NO_THROW(b.String8(std::u16string(255, u'a')));
  EXPECT_THROW(b.String16(std::u16string(65536, u'a')), XlsError);
}

}  // namespace
}  // namespace xls
