// Interoperability with independent peers: a workbook written by xlwt is opened with our
// compound reader and record reader, and a workbook we assemble with our record writer, shared
// string table and compound writer is read by xlrd. Skipped when no python3 with both modules
// is on the PATH (Debian packages python3-xlrd and python3-xlwt); SS_PYTHON names one
// explicitly.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <variant>

#include "xls/LittleEndian.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/compound/CompoundReader.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {
namespace {

std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  int rc = pclose(pipe);
  if (status) *status = rc;
  return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// The first python3 on the PATH that has both peers.
const std::string& PeerPython() {
  static const std::string found = [] {
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("SS_PYTHON")) candidates.push_back(env);
    if (const char* path = std::getenv("PATH")) {
      std::stringstream dirs(path);
      for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty()) candidates.push_back(dir + "/python3");
    }
    for (const auto& c : candidates) {
      if (access(c.c_str(), X_OK) != 0) continue;
      int rc = -1;
      RunCommand(Quote(c) + " -c 'import xlrd, xlwt' 2>/dev/null", &rc);
      if (rc == 0) return c;
    }
    return std::string();
  }();
  return found;
}

std::string DataFile(const std::string& name) {
  const char* root = std::getenv("SS_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/xls/" + name;
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name)).string();
}

using Value = std::variant<double, std::u16string, bool>;
struct Sheet {
  std::u16string name;
  std::map<std::pair<int, int>, Value> cells;
};

std::optional<Value> At(const std::map<std::pair<int, int>, Value>& cells, int row, int col) {
  auto it = cells.find({row, col});
  if (it == cells.end()) return std::nullopt;
  return it->second;
}

// Reads the workbook stream's sheets and cell values with our readers.
std::vector<Sheet> ReadCells(const std::vector<uint8_t>& stream) {
  RecordReader r(stream);
  std::vector<BoundSheetRecord> bound;
  std::vector<std::u16string> sst;
  EXPECT_TRUE(r.Next());
  EXPECT_EQ(r.Id(), rec::kBof);
  EXPECT_EQ(BofRecord::Read(r).type, rec::kBofGlobals);
  while (r.Next() && r.Id() != rec::kEof) {
    if (r.Id() == rec::kBoundSheet) bound.push_back(BoundSheetRecord::Read(r));
    if (r.Id() == rec::kSst) sst = ReadSharedStrings(r);
  }
  std::vector<Sheet> sheets;
  for (const auto& b : bound) {
    Sheet sheet{b.name, {}};
    EXPECT_TRUE(r.Seek(b.position));
    EXPECT_TRUE(r.Next());
    EXPECT_EQ(r.Id(), rec::kBof);
    while (r.Next() && r.Id() != rec::kEof) {
      auto cell = [&]() -> std::pair<int, int> {
        int row = r.U16();
        int col = r.U16();
        r.U16();  // XF
        return {row, col};
      };
      switch (r.Id()) {
        case rec::kNumber: { auto at = cell(); sheet.cells[at] = r.Double(); break; }
        case rec::kRk: { auto at = cell(); sheet.cells[at] = DecodeRk(r.U32()); break; }
        case rec::kLabelSst: { auto at = cell(); sheet.cells[at] = SharedString(sst, r.U32()); break; }
        case rec::kLabel: { auto at = cell(); sheet.cells[at] = r.String16(); break; }
        case rec::kBoolErr: {
          auto at = cell();
          uint8_t v = r.U8();
          if (r.U8() == 0) sheet.cells[at] = v != 0;
          break;
        }
        case rec::kMulRk: {
          int row = r.U16();
          int col = r.U16();
          while (r.Remaining() > 2) {
            r.U16();
            sheet.cells[{row, col++}] = DecodeRk(r.U32());
          }
          EXPECT_EQ(r.U16(), col - 1);  // last column
          break;
        }
        default: break;
      }
    }
    sheets.push_back(std::move(sheet));
  }
  return sheets;
}

TEST(PeerInterop, WorkbookWrittenByXlwtReadsWithOurReaders) {
  if (PeerPython().empty()) GTEST_SKIP() << "no python3 with xlrd and xlwt on the PATH";
  std::string path = TempFile("xlwt_written.xls");
  int rc = -1;
  RunCommand(Quote(PeerPython()) + " " + Quote(DataFile("xlwt_write.py")) + " " + Quote(path), &rc);
  ASSERT_EQ(rc, 0) << "xlwt could not write the workbook";

  platform::File file(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
  FileByteSource source(file);
  CompoundReader compound(source);
  auto index = compound.FindWorkbookStream();
  ASSERT_TRUE(index);
  auto sheets = ReadCells(compound.ReadStream(*index));
  file.Close();
  platform::DeleteFile(path);

  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].name, u"Numbers");
  EXPECT_EQ(sheets[1].name, u"Texte \u00e4\u00f6\u00fc");
  auto& n = sheets[0].cells;
  EXPECT_EQ(At(n, 0, 0), Value(1.0));
  EXPECT_EQ(At(n, 0, 1), Value(2.5));
  EXPECT_EQ(At(n, 0, 2), Value(-12.34));
  EXPECT_EQ(At(n, 1, 0), Value(123456789.125));
  EXPECT_EQ(At(n, 1, 1), Value(1e-7));
  for (int col = 0; col < 5; ++col) EXPECT_EQ(At(n, 2, col), Value(col * 10.0)) << col;
  EXPECT_EQ(At(n, 3, 0), Value(true));
  auto& t = sheets[1].cells;
  EXPECT_EQ(At(t, 0, 0), Value(u"hello"));
  EXPECT_EQ(At(t, 1, 0), Value(u"\u00dcn\u00efc\u00f6d\u00e9 \u20ac"));
  EXPECT_EQ(At(t, 2, 0), Value(u"\u041f\u0440\u0438\u0432\u0435\u0442"));
  EXPECT_EQ(At(t, 3, 0), Value(std::u16string(9000, u'x') + u"\u0416"));
  EXPECT_EQ(At(t, 4, 0), Value(u"hello"));
  for (int row = 5; row < 405; ++row) {
    std::string s = "row " + std::to_string(row) + " ";
    std::u16string expected(s.begin(), s.end());
    expected += std::u16string(row % 50, u'\u00e9');
    EXPECT_EQ(At(t, row, 1), Value(expected)) << row;
  }
}

// --- A workbook of our own for xlrd ---------------------------------------------------------

std::vector<uint8_t> HexBytes(const char* s) {
  std::vector<uint8_t> out;
  for (const char* p = s; *p; ++p)
    if (*p != ' ') {
      out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
      ++p;
    }
  return out;
}

RecordBuilder CellHead(uint16_t id, int row, int col, int xf) {
  RecordBuilder b(id);
  b.U16(static_cast<uint16_t>(row)).U16(static_cast<uint16_t>(col)).U16(static_cast<uint16_t>(xf));
  return b;
}

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string ManyString(int i) {
  std::u16string s = Ascii("shared " + std::to_string(i) + " ");
  // Some wide, some compressible, lengths that land string ends all over the blocks.
  for (int k = 0; k < (i * 37) % 300; ++k) s += static_cast<char16_t>(i % 3 ? u'a' + k % 26 : 0x3B1 + k % 20);
  return s;
}

std::vector<uint8_t> AssembleWorkbookStream() {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  BofRecord bof;
  w.Write(bof.Build());
  w.Write(RecordBuilder(rec::kCodePage).U16(1200));
  w.Write(rec::kWindow1, HexBytes("E0 01 69 00 CC 42 7F 26 38 00 00 00 00 00 01 00 58 02"));
  for (int i = 0; i < 4; ++i) w.Write(FontRecord{}.Build());
  FontRecord times;
  times.name = u"Times New Roman";
  times.height = 240;
  times.weight = 700;
  times.options = FontRecord::kBold;  // readers take bold from this bit or the weight
  w.Write(times.Build());  // font index 5
  w.Write(FormatRecord{164, u"0.000"}.Build());
  const char* styleXf = "00 00 00 00 F5 FF 20 00 00 F4 00 00 00 00 00 00 00 00 C0 20";
  w.Write(XfRecord::Parse(HexBytes("00 00 00 00 F5 FF 20 00 00 00 00 00 00 00 00 00 00 00 C0 20").data()).Build());
  for (int i = 1; i < 15; ++i) w.Write(XfRecord::Parse(HexBytes(styleXf).data()).Build());
  XfRecord cellXf = XfRecord::Parse(HexBytes("00 00 00 00 01 00 20 00 00 00 00 00 00 00 00 00 00 00 C0 20").data());
  w.Write(cellXf.Build());  // 15
  XfRecord formatted = cellXf;
  formatted.font = 5;
  formatted.format = 164;
  formatted.usedAttributes = 0x3F;
  w.Write(formatted.Build());  // 16
  w.Write(RecordBuilder(rec::kStyle).Bytes(HexBytes("00 80 00 FF")));

  const std::vector<std::u16string> names = {u"Values", u"Zweite Seite \u00e4", u"Shared"};
  std::vector<size_t> boundAt;
  for (size_t i = 0; i < names.size(); ++i) {
    boundAt.push_back(w.Offset());
    w.Write(BoundSheetRecord{0, static_cast<uint8_t>(i == 1 ? 1 : 0), 0, names[i]}.Build());
  }
  TSSTStringTable sst;
  sst.Add(u"first shared");
  sst.Add(std::u16string(9000, u'\u0436') + u"end");
  for (int i = 0; i < 400; ++i) sst.Add(ManyString(i));
  sst.WriteTo(w);
  w.Write(RecordBuilder(rec::kEof));

  auto sheetStart = [&](size_t i) {
    StoreU32(out.data() + boundAt[i] + 4, static_cast<uint32_t>(out.size()));
    BofRecord sb;
    sb.type = rec::kBofWorksheet;
    w.Write(sb.Build());
  };
  auto dims = [&](uint32_t rows, uint16_t cols) {
    w.Write(RecordBuilder(rec::kDimensions).U32(0).U32(rows).U16(0).U16(cols).U16(0));
  };
  auto sheetEnd = [&] {
    w.Write(rec::kWindow2, HexBytes("B6 06 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00"));
    w.Write(RecordBuilder(rec::kEof));
  };

  sheetStart(0);
  dims(8, 3);
  w.Write(CellHead(rec::kNumber, 0, 0, 15).Double(1.5));
  w.Write(CellHead(rec::kRk, 0, 1, 15).U32(*EncodeRk(12.34)));
  {
    RecordBuilder m(rec::kMulRk);
    m.U16(1).U16(0);
    for (double v : {1.0, 2.0, -3.0}) m.U16(15).U32(*EncodeRk(v));
    m.U16(2);
    w.Write(m);
  }
  w.Write(CellHead(rec::kLabelSst, 2, 0, 15).U32(0));
  w.Write(CellHead(rec::kLabelSst, 2, 1, 15).U32(1));
  w.Write(CellHead(rec::kLabel, 3, 0, 15).String16(u"Gr\u00fc\u00dfe"));
  w.Write(CellHead(rec::kLabel, 3, 1, 15).String16(u"\u041f\u0440\u0438\u0432\u0435\u0442"));
  w.Write(CellHead(rec::kBoolErr, 4, 0, 15).U8(1).U8(0));
  w.Write(CellHead(rec::kBoolErr, 4, 1, 15).U8(7).U8(1));
  w.Write(CellHead(rec::kBlank, 5, 0, 16));
  w.Write(RecordBuilder(rec::kMergedCells).U16(1).U16(6).U16(7).U16(0).U16(1));
  sheetEnd();

  sheetStart(1);
  dims(1, 1);
  w.Write(CellHead(rec::kNumber, 0, 0, 16).Double(3.14159));
  sheetEnd();

  sheetStart(2);
  dims(400, 1);
  for (int i = 0; i < 400; ++i) w.Write(CellHead(rec::kLabelSst, i, 0, 15).U32(2 + i));
  sheetEnd();
  return out;
}

std::string JsonText(std::u16string_view s) {
  // json.dumps with its default ASCII escaping.
  std::string out = "\"";
  char buf[8];
  for (char16_t c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
      out += buf;
    }
  }
  return out + "\"";
}

TEST(PeerInterop, WorkbookAssembledByOurWritersOpensInXlrd) {
  if (PeerPython().empty()) GTEST_SKIP() << "no python3 with xlrd and xlwt on the PATH";
  std::vector<uint8_t> stream = AssembleWorkbookStream();
  // Our own reader agrees first.
  auto ours = ReadCells(stream);
  ASSERT_EQ(ours.size(), 3u);
  EXPECT_EQ(ours[2].cells.size(), 400u);

  std::string path = TempFile("our_written.xls");
  {
    platform::File f(path, platform::FileAccess::Write, platform::FileDisposition::CreateAlways);
    FileByteSink sink(f);
    CompoundStream s{u"Workbook", stream};
    WriteCompoundDocument(sink, std::span(&s, 1));
  }
  int rc = -1;
  std::string dump =
      RunCommand(Quote(PeerPython()) + " " + Quote(DataFile("xlrd_dump.py")) + " " + Quote(path) + " 2>&1", &rc);
  platform::DeleteFile(path);
  ASSERT_EQ(rc, 0) << dump;

  std::string expected =
      "sheet\t\"Values\"\t0\n"
      "cell\t0\t0\tnumber\t1.5\n"
      "cell\t0\t1\tnumber\t12.34\n"
      "cell\t1\t0\tnumber\t1.0\n"
      "cell\t1\t1\tnumber\t2.0\n"
      "cell\t1\t2\tnumber\t-3.0\n"
      "cell\t2\t0\ttext\t\"first shared\"\n"
      "cell\t2\t1\ttext\t" + JsonText(std::u16string(9000, u'\u0436') + u"end") + "\n"
      "cell\t3\t0\ttext\t\"Gr\\u00fc\\u00dfe\"\n"
      "cell\t3\t1\ttext\t\"\\u041f\\u0440\\u0438\\u0432\\u0435\\u0442\"\n"
      "cell\t4\t0\tbool\t1\n"
      "cell\t4\t1\terror\t7\n"
      "cell\t5\t0\tblank\t\"\"\n"
      "format\t5\t0\t\"0.000\"\t\"Times New Roman\"\t240\t1\n"
      "merged\t6\t8\t0\t2\n"
      "sheet\t\"Zweite Seite \\u00e4\"\t1\n"
      "cell\t0\t0\tnumber\t3.14159\n"
      "format\t0\t0\t\"0.000\"\t\"Times New Roman\"\t240\t1\n"
      "sheet\t\"Shared\"\t0\n";
  for (int i = 0; i < 400; ++i)
    expected += "cell\t" + std::to_string(i) + "\t0\ttext\t" + JsonText(ManyString(i)) + "\n";
  // Line by line, so a mismatch shows the line and not both whole dumps.
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  auto got = lines(dump), want = lines(expected);
  EXPECT_EQ(got.size(), want.size());
  int shown = 0;
  for (size_t i = 0; i < std::min(got.size(), want.size()) && shown < 5; ++i)
    if (got[i] != want[i]) {
      ADD_FAILURE() << "line " << i + 1 << "\n  xlrd: " << got[i].substr(0, 200)
                    << "\n  want: " << want[i].substr(0, 200);
      ++shown;
    }
}

}  // namespace
}  // namespace xls

#else
TEST(PeerInterop, NeedsThePosixBuild) { GTEST_SKIP() << "the peers run on the Linux build"; }
#endif
