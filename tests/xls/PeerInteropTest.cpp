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

#include "platform/LittleEndian.h"
#include "platform/Locale.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/DefaultRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/SizeUnits.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/biff/WorkbookStream.h"
#include "xls/biff/XlsText.h"
#include "xls/compound/CompoundReader.h"
#include "xls/compound/CompoundWriter.h"
#include "xls/formula/TFormulaReader.h"

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

// The peer scripts that write and read the shared files live in tests/tools/.
std::string ToolFile(const std::string& name) {
  const char* root = std::getenv("SS_SOURCE_DIR");
  return std::string(root ? root : SS_SOURCE_DIR_DEFAULT) + "/tests/tools/" + name;
}

std::string TempFile(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name))
      .string();
}

using Value = std::variant<double, std::u16string, bool>;
struct Sheet {
  std::u16string name;
  std::map<std::pair<int, int>, Value> cells;
};

std::optional<Value> At(const std::map<std::pair<int, int>, Value>& cells, int col, int row) {
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
        case rec::kNumber: {
          auto at = cell();
          sheet.cells[at] = r.Double();
          break;
        }
        case rec::kRk: {
          auto at = cell();
          sheet.cells[at] = DecodeRk(r.U32());
          break;
        }
        case rec::kLabelSst: {
          auto at = cell();
          sheet.cells[at] = SharedString(sst, r.U32());
          break;
        }
        case rec::kLabel: {
          auto at = cell();
          sheet.cells[at] = r.String16();
          break;
        }
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
        default:
          break;
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
  RunCommand(Quote(PeerPython()) + " " + Quote(ToolFile("xlwt_write.py")) + " " + Quote(path), &rc);
  ASSERT_EQ(rc, 0) << "xlwt could not write the workbook";

  platform::File file(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
  FileByteSource source(file);
  CompoundReader compound(source);
  auto index = compound.FindWorkbookStream();
  ASSERT_TRUE(index);
  auto sheets = ReadCells(compound.ReadStream(*index));
  file.Close();
  platform::RemoveFile(path);

  ASSERT_EQ(sheets.size(), 2u);
  EXPECT_EQ(sheets[0].name, u"Numbers");
  EXPECT_EQ(sheets[1].name, u"Texte \u00e4\u00f6\u00fc");
  auto& n = sheets[0].cells;
  EXPECT_EQ(At(n, 0, 0), Value(1.0));
  EXPECT_EQ(At(n, 1, 0), Value(2.5));
  EXPECT_EQ(At(n, 2, 0), Value(-12.34));
  EXPECT_EQ(At(n, 0, 1), Value(123456789.125));
  EXPECT_EQ(At(n, 1, 1), Value(1e-7));
  for (int col = 0; col < 5; ++col) EXPECT_EQ(At(n, col, 2), Value(col * 10.0)) << col;
  EXPECT_EQ(At(n, 0, 3), Value(true));
  auto& t = sheets[1].cells;
  EXPECT_EQ(At(t, 0, 0), Value(u"hello"));
  EXPECT_EQ(At(t, 0, 1), Value(u"\u00dcn\u00efc\u00f6d\u00e9 \u20ac"));
  EXPECT_EQ(At(t, 0, 2), Value(u"\u041f\u0440\u0438\u0432\u0435\u0442"));
  EXPECT_EQ(At(t, 0, 3), Value(std::u16string(9000, u'x') + u"\u0416"));
  EXPECT_EQ(At(t, 0, 4), Value(u"hello"));
  for (int row = 5; row < 405; ++row) {
    std::string s = "row " + std::to_string(row) + " ";
    std::u16string expected(s.begin(), s.end());
    expected += std::u16string(row % 50, u'\u00e9');
    EXPECT_EQ(At(t, 1, row), Value(expected)) << row;
  }
}

// Names, sheets and functions of the xlwt formula workbook, for the text conversion.
class PeerWorkbookSource : public FormulaTextSource {
 public:
  std::vector<std::string> sheets;
  std::vector<uint16_t> externFirst;
  size_t NameCount() const override { return 0; }
  std::string NameText(size_t) const override { return {}; }
  size_t ExternSheetCount() const override { return externFirst.size(); }
  uint16_t ExternSheetFirst(size_t i) const override { return externFirst[i]; }
  size_t SheetCount() const override { return sheets.size(); }
  std::string SheetName(size_t i) const override { return sheets[i]; }
  std::optional<FormulaFunctionInfo> Function(uint16_t n) const override {
    switch (n) {
      case 1:
        return FormulaFunctionInfo{"IF", 0};
      case 4:
        return FormulaFunctionInfo{"SUM", 0};
      case 5:
        return FormulaFunctionInfo{"AVERAGE", 0};
      default:
        return std::nullopt;
    }
  }
  std::string ColumnCaption(int32_t c) const override {
    std::string s;
    for (++c; c > 0; c = (c - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (c - 1) % 26));
    return s;
  }
  std::string NumberText(double v) const override { return ShortestNumberText(v); }
  std::string ErrorText(uint8_t) const override { return "#ERR"; }
  void ReportInvalidName(const std::string& message) override { ADD_FAILURE() << message; }
};

TEST(PeerInterop, FormulasWrittenByXlwtComeBackAsTheirText) {
  if (PeerPython().empty()) GTEST_SKIP() << "no python3 with xlrd and xlwt on the PATH";
  std::string path = TempFile("xlwt_formulas.xls");
  int rc = -1;
  RunCommand(Quote(PeerPython()) + " " + Quote(ToolFile("xlwt_formulas.py")) + " " + Quote(path),
             &rc);
  ASSERT_EQ(rc, 0) << "xlwt could not write the workbook";
  platform::File file(path, platform::FileAccess::Read, platform::FileDisposition::OpenExisting);
  FileByteSource source(file);
  CompoundReader compound(source);
  std::vector<uint8_t> stream = compound.ReadStream(*compound.FindWorkbookStream());
  file.Close();
  platform::RemoveFile(path);

  platform::ScopedLocale us(platform::LocaleSettings::EnglishUS());
  PeerWorkbookSource book;
  TFormulaReader converter(book);
  std::map<int, std::string> texts;
  RecordReader r(stream);
  int sheet = -1;
  while (r.Next()) {
    switch (r.Id()) {
      case rec::kBoundSheet:
        book.sheets.push_back(ToSystemText(BoundSheetRecord::Read(r).name));
        break;
      case rec::kExternSheet:
        for (const auto& e : ExternSheetRecord::Read(r).entries)
          book.externFirst.push_back(e.firstSheet);
        break;
      case rec::kBof:
        ++sheet;
        break;
      case rec::kFormula:
        if (sheet == 1) {
          FormulaRecord f = FormulaRecord::Read(r);
          std::string text;
          converter.TokensToText(f.cell.column, f.cell.row, text,
                                 static_cast<uint16_t>(f.tokens.size()), f.tokens.data());
          texts[f.cell.row] = text;
        }
        break;
      default:
        break;
    }
  }
  const std::vector<std::string> expected = {"=A1+B1*2",
                                             "=(A1+B1)*2",
                                             "=SUM(A1:A3)",
                                             "=IF(A1>0,1,0)",
                                             "=-A1%",
                                             "=$A$1&\"x\"\"y\"",
                                             "=Other!C3+'My Sheet'!$B$2",
                                             "=SUM(Other!A1:B4)",
                                             "=AVERAGE(1.5,A1,TRUE)",
                                             "=A1<>B1"};
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(texts[static_cast<int>(i)], expected[i]) << "row " << i;
  EXPECT_FALSE(converter.UnknownFunctionMet());
}

// --- A workbook of our own for xlrd ---------------------------------------------------------

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string ManyString(int i) {
  std::u16string s = Ascii("shared " + std::to_string(i) + " ");
  // Some wide, some compressible, lengths that land string ends all over the blocks.
  for (int k = 0; k < (i * 37) % 300; ++k)
    s += static_cast<char16_t>(i % 3 ? u'a' + k % 26 : 0x3B1 + k % 20);
  return s;
}

std::vector<uint8_t> AssembleWorkbookStream() {
  WorkbookStreamBuilder book;
  RecordList& g = book.Globals();
  g.Append(RecordBuilder(rec::kCodePage).U16(1200));
  g.Append(defaults::Window1());
  for (int i = 0; i < 4; ++i) g.Append(defaults::Font().Build());
  for (const auto& f : defaults::Formats()) g.Append(f.Build());
  for (const auto& x : defaults::Xfs()) g.Append(x.Build());
  auto supBook = g.Append(BuildInternalSupBook(3));
  // Added while the book is fed in: a fifth font after the last FONT, one more XF after the
  // last XF, the styles after that.
  FontRecord times;
  times.name = u"Times New Roman";
  times.height = 240;
  times.weight = 700;
  times.options = FontRecord::kBold;  // readers take bold from this bit or the weight
  g.InsertAfter(g.FindLast(rec::kFont), times.Build());  // font index 5
  XfRecord formatted = defaults::Xfs()[15];
  formatted.font = 5;
  formatted.format = 166;
  formatted.usedAttributes = 0x3F;
  auto lastXf = g.InsertAfter(g.FindLast(rec::kXf), formatted.Build());  // XF 17
  for (auto& style : defaults::Styles()) lastXf = g.InsertAfter(lastXf, std::move(style));
  g.InsertAfter(g.Find(rec::kFormat), FormatRecord{166, u"0.000"}.Build());

  const std::vector<std::u16string> names = {u"Values", u"Zweite Seite \u00e4", u"Shared"};
  for (size_t i = 0; i < names.size(); ++i)
    book.AddSheet(BoundSheetRecord{0, static_cast<uint8_t>(i == 1 ? 1 : 0), 0, names[i]}, supBook);
  g.Append(ExternSheetRecord{{{0, 0, 0}, {0, 1, 1}, {0, 2, 2}}}.Build());

  TSSTStringTable& sst = book.SharedStrings();
  sst.Add(u"first shared");
  sst.Add(std::u16string(9000, u'\u0436') + u"end");
  for (int i = 0; i < 400; ++i) sst.Add(ManyString(i));

  auto dims = [](uint32_t rows, uint16_t cols) {
    return DimensionsRecord{0, rows, 0, cols}.Build();
  };
  Window2Record window;
  window.options = 0x06B6;
  window.gridColour = 64;

  RecordList& s0 = book.Sheet(0);
  s0.Append(dims(8, 3));
  s0.Append(NumberRecord{{0, 0, 15}, 1.5}.Build());
  s0.Append(RkRecord{{0, 1, 15}, *EncodeRk(12.34)}.Build());
  s0.Append(MulRkRecord{1, 0, {{15, *EncodeRk(1.0)}, {15, *EncodeRk(2.0)}, {15, *EncodeRk(-3.0)}}}
                .Build());
  s0.Append(LabelSstRecord{{2, 0, 15}, 0}.Build());
  s0.Append(LabelSstRecord{{2, 1, 15}, 1}.Build());
  s0.Append(LabelRecord{{3, 0, 15}, u"Gr\u00fc\u00dfe"}.Build());
  s0.Append(LabelRecord{{3, 1, 15}, u"\u041f\u0440\u0438\u0432\u0435\u0442"}.Build());
  s0.Append(BoolErrRecord{{4, 0, 15}, 1, false}.Build());
  s0.Append(BoolErrRecord{{4, 1, 15}, 7, true}.Build());
  s0.Append(BlankRecord{{5, 0, 17}}.Build());
  for (auto& m : MergedCellsRecord::BuildAll({{6, 7, 0, 1}})) s0.Append(std::move(m));
  s0.Append(window.Build());

  RecordList& s1 = book.Sheet(1);
  s1.Append(dims(1, 1));
  s1.Append(NumberRecord{{0, 0, 17}, 3.14159}.Build());
  window.options = 0x00B6;
  s1.Append(window.Build());

  RecordList& s2 = book.Sheet(2);
  s2.Append(dims(400, 1));
  for (uint16_t i = 0; i < 400; ++i) s2.Append(LabelSstRecord{{i, 0, 15}, 2u + i}.Build());
  s2.Append(window.Build());
  return book.Build();
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
  std::string dump = RunCommand(
      Quote(PeerPython()) + " " + Quote(ToolFile("xlrd_dump.py")) + " " + Quote(path) + " 2>&1",
      &rc);
  platform::RemoveFile(path);
  ASSERT_EQ(rc, 0) << dump;

  std::string expected =
      "sheet\t\"Values\"\t0\n"
      "cell\t0\t0\tnumber\t1.5\n"
      "cell\t0\t1\tnumber\t12.34\n"
      "cell\t1\t0\tnumber\t1.0\n"
      "cell\t1\t1\tnumber\t2.0\n"
      "cell\t1\t2\tnumber\t-3.0\n"
      "cell\t2\t0\ttext\t\"first shared\"\n"
      "cell\t2\t1\ttext\t" +
      JsonText(std::u16string(9000, u'\u0436') + u"end") +
      "\n"
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
