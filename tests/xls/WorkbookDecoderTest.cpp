// A workbook stream decoded into a recording sink: sheets and substreams, cell kinds, formulas
// (plain, shared, #REF!), names, protection and progress.
#include <gtest/gtest.h>

#include <map>

#include "platform/Locale.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/Rk.h"
#include "xls/biff/SizeUnits.h"
#include "xls/biff/WorkbookStream.h"
#include "xls/reader/WorkbookDecoder.h"

namespace xls {
namespace {

class RecordingSink : public IWorkbookSink {
 public:
  std::vector<std::pair<std::string, bool>> sheets;
  std::vector<size_t> begun;
  std::map<std::tuple<size_t, int, int>, DecodedCell> cells;
  std::map<std::tuple<size_t, int, int>, std::string> shared;
  std::vector<std::pair<std::string, std::optional<NameTarget>>> names;
  std::vector<std::pair<int32_t, bool>> protection;
  std::vector<MergedArea> merged;
  std::vector<int> progress;

  std::optional<FormulaFunctionInfo> Function(uint16_t n) const override {
    if (n == 4) return FormulaFunctionInfo{"SUM", 0};
    return std::nullopt;
  }
  std::string ColumnCaption(int32_t c) const override { return std::string(1, static_cast<char>('A' + c)); }
  std::string NumberText(double v) const override { return ShortestNumberText(v); }
  std::string ErrorText(uint8_t code) const override { return code == 7 ? "#DIV/0!" : "#N/A"; }
  void ReportInvalidName(const std::string&) override {}
  void AddSheet(const std::string& name, bool hidden) override { sheets.push_back({name, hidden}); }
  void BeginSheet(size_t index) override { begun.push_back(index); }
  void SetCell(const DecodedCell& c) override { cells[{begun.back(), c.column, c.row}] = c; }
  void SetArrayCell(int32_t, int32_t, const std::string&) override {}
  void SetSharedFormulaCell(int32_t c, int32_t r, const std::string& t) override { shared[{begun.back(), c, r}] = t; }
  void SetProtection(int32_t sheet, bool on) override { protection.push_back({sheet, on}); }
  void AddName(const std::string& n, const std::optional<NameTarget>& t) override { names.push_back({n, t}); }
  void Merge(const MergedArea& a) override { merged.push_back(a); }
  void Progress(int p) override { progress.push_back(p); }
};

std::vector<uint8_t> SampleStream() {
  WorkbookStreamBuilder book;
  RecordList& g = book.Globals();
  g.Append(RecordBuilder(rec::kProtect).U16(1));
  book.AddSheet(BoundSheetRecord{0, 0, 0, u"Data"});
  book.AddSheet(BoundSheetRecord{0, 0, 2, u"Chart"});   // a chart: its substream is passed over
  book.AddSheet(BoundSheetRecord{0, 1, 0, u"Hidden"});
  g.Append(ExternSheetRecord{{{0, 0, 0}, {0, 2, 2}}}.Build());
  g.Append(NameRecord{0, 0, 0, u"Block", {0x3B, 1, 0, 0, 0, 4, 0, 1, 0, 2, 0}}.Build());
  book.SharedStrings().Add(u"shared \u00e9");

  RecordList& s = book.Sheet(0);
  s.Append(NumberRecord{{0, 0, 15}, 1.5}.Build());
  s.Append(RkRecord{{0, 1, 15}, *EncodeRk(12.34)}.Build());
  s.Append(MulRkRecord{1, 0, {{15, *EncodeRk(7.0)}, {16, *EncodeRk(-2.0)}}}.Build());
  s.Append(LabelRecord{{2, 0, 15}, u"=not a formula"}.Build());
  s.Append(LabelSstRecord{{2, 1, 15}, 0}.Build());
  s.Append(BoolErrRecord{{3, 0, 15}, 1, false}.Build());
  s.Append(BoolErrRecord{{3, 1, 15}, 7, true}.Build());
  s.Append(BlankRecord{{4, 0, 20}}.Build());
  FormulaRecord f;
  f.cell = {5, 0, 15};
  f.tokens = {0x44, 0, 0, 0, 0xC0, 0x1E, 1, 0, 0x03};  // A1+1
  s.Append(f.Build());
  f.cell = {6, 0, 15};
  f.tokens = {0x01, 6, 0, 0, 0};  // shares the formula below: nothing is set
  s.Append(f.Build());
  s.Append(SharedFormulaRecord{6, 7, 0, 1, 4, {0x4C, 0xFF, 0xFF, 0x00, 0xC0}, {}}.Build());  // cell above
  f.cell = {8, 0, 15};
  f.tokens = {0x3C, 0, 0, 0, 0, 0, 0};  // Data#REF!
  s.Append(f.Build());
  f.cell = {9, 0, 15};
  f.tokens = {0x44, 0, 0, 0, 0xC0, 0x41, 99, 0};  // an unknown function
  s.Append(f.Build());
  s.Append(RecordBuilder(rec::kProtect).U16(1));
  for (auto& m : MergedCellsRecord::BuildAll({{0, 1, 2, 3}})) s.Append(std::move(m));
  book.Sheet(1).Append(NumberRecord{{0, 0, 15}, 99}.Build());  // inside the chart: not read
  book.Sheet(2).Append(NumberRecord{{0, 0, 15}, 3}.Build());
  return book.Build();
}

TEST(WorkbookDecoder, DecodesSheetsCellsFormulasAndNames) {
  platform::ScopedLocale us(platform::LocaleSettings::EnglishUS());
  auto stream = SampleStream();
  RecordingSink sink;
  WorkbookDecoder decoder(stream, sink);
  decoder.Decode();

  ASSERT_EQ(sink.sheets.size(), 2u);
  EXPECT_EQ(sink.sheets[0], (std::pair<std::string, bool>{"Data", false}));
  EXPECT_EQ(sink.sheets[1], (std::pair<std::string, bool>{"Hidden", true}));
  EXPECT_EQ(sink.begun, (std::vector<size_t>{0, 1}));

  auto text = [&](size_t sheet, int col, int row) { return sink.cells.at({sheet, col, row}).text; };
  EXPECT_EQ(text(0, 0, 0), "1.5");
  EXPECT_EQ(text(0, 1, 0), "12.34");
  EXPECT_EQ(text(0, 0, 1), "7");
  EXPECT_EQ(text(0, 1, 1), "-2");
  EXPECT_EQ(sink.cells.at({0, 1, 1}).xf, 16);
  EXPECT_EQ(text(0, 0, 2), "=not a formula");
  EXPECT_FALSE(sink.cells.at({0, 0, 2}).formula);
  EXPECT_EQ(text(0, 1, 2), "shared \xE9");
  EXPECT_EQ(text(0, 0, 3), "TRUE");
  EXPECT_EQ(text(0, 1, 3), "#DIV/0!");
  EXPECT_TRUE(sink.cells.at({0, 0, 4}).blank);
  EXPECT_EQ(text(0, 0, 5), "=A1+1");
  EXPECT_TRUE(sink.cells.at({0, 0, 5}).formula);
  EXPECT_EQ(sink.cells.count({0, 0, 6}), 0u);
  EXPECT_EQ(sink.shared.at({0, 0, 6}), "=A6");
  EXPECT_EQ(sink.shared.at({0, 1, 7}), "=B7");
  EXPECT_EQ(text(0, 0, 8), "#REF!");
  EXPECT_FALSE(sink.cells.at({0, 0, 8}).formula);
  EXPECT_EQ(text(0, 0, 9), "Unknown function");
  EXPECT_TRUE(decoder.UnknownFunctionMet());
  EXPECT_EQ(text(1, 0, 0), "3");
  EXPECT_EQ(sink.cells.size(), 13u);  // the chart's cell was not read

  ASSERT_EQ(sink.names.size(), 1u);
  EXPECT_EQ(sink.names[0].first, "Block");
  EXPECT_EQ(sink.names[0].second, (NameTarget{2, 1, 0, 2, 4}));
  EXPECT_EQ(sink.protection, (std::vector<std::pair<int32_t, bool>>{{-1, true}, {0, true}}));
  EXPECT_EQ(sink.merged, (std::vector<MergedArea>{{0, 1, 2, 3}}));
  ASSERT_FALSE(sink.progress.empty());
  EXPECT_TRUE(std::is_sorted(sink.progress.begin(), sink.progress.end()));
  EXPECT_EQ(sink.progress.back(), 100);
  EXPECT_EQ(std::adjacent_find(sink.progress.begin(), sink.progress.end()), sink.progress.end());
}

TEST(WorkbookDecoder, RefusesEncryptedAndOversizedInput) {
  RecordingSink sink;
  WorkbookStreamBuilder encrypted;
  encrypted.Globals().Append(RecordBuilder(rec::kFilePass).U16(1));
  auto stream = encrypted.Build();
  try {
    WorkbookDecoder(stream, sink).Decode();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Invalid stream format");
  }
  WorkbookStreamBuilder huge;
  huge.AddSheet(BoundSheetRecord{0, 0, 0, u"S"});
  huge.Sheet(0).Append(SharedFormulaRecord{0, 65535, 0, 255, 1, {0x1E, 1, 0}, {}}.Build());
  auto big = huge.Build();
  EXPECT_THROW(WorkbookDecoder(big, sink).Decode(), EXlsError);
}

}  // namespace
}  // namespace xls
