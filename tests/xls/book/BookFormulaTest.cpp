// Formulas and defined names through a whole save and load, with a formula cache double that
// "compiles" the texts of a fixed table into known internal token streams. What is under test
// is the file side: the writer's FORMULA records (tokens converted for their cell, flagged to
// calculate on load, the cached result) and NAME records, and the reader turning them back
// into formula texts and names.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "formulas/TokenBlock.h"
#include "workbook/DefinedNames.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/book/BookFiles.h"
#include "xls/compound/CompoundReader.h"

namespace xls {
namespace {

using formulas::TokenBlock;

class TableFormulaCache : public workbook::FormulaEngine, public workbook::DefinedNames {
 public:
  struct Entry : workbook::FormulaHandle {
    std::string text;
    TokenBlock tokens;
  };
  std::map<std::string, TokenBlock> table;
  std::vector<workbook::DefinedNameRecord> names;
  std::vector<std::string> compiled;  // texts handed over, in order

  void Remove(workbook::FormulaHandle* entry) override {
    std::erase_if(entries_, [entry](const auto& e) { return e.get() == entry; });
  }
  void SetFormula(workbook::TSSDataStorage& s, int32_t col, int32_t row) override {
    workbook::TSSCellRec rec = s.CellRec(col, row);
    compiled.push_back(rec.Text);
    auto e = std::make_unique<Entry>();
    e->text = rec.Text;
    auto it = table.find(rec.Text);
    if (it != table.end()) e->tokens = it->second;
    rec.DataType = workbook::kCellFormula;
    rec.Formula = e.get();
    entries_.push_back(std::move(e));
    s.SetCellRec(col, row, rec);
  }
  workbook::FormulaHandle* Clone(workbook::FormulaHandle* entry,
                                 workbook::TSSDataStorage&) override {
    entries_.push_back(std::make_unique<Entry>(*static_cast<Entry*>(entry)));
    return entries_.back().get();
  }
  std::string FormulaText(workbook::FormulaHandle* entry) override {
    return static_cast<Entry*>(entry)->text;
  }
  std::string FormulaDisplayText(workbook::FormulaHandle*) override { return "7"; }
  std::string FormulaTokenBytes(workbook::FormulaHandle* entry, uint16_t& count) override {
    const TokenBlock& t = static_cast<Entry*>(entry)->tokens;
    count = t.Length();
    return std::string(reinterpret_cast<const char*>(t.Data()), t.Length());
  }
  size_t DefinedNameCount() const override { return names.size(); }
  workbook::DefinedNameRecord DefinedName(size_t index) const override { return names.at(index); }
  bool AddDefinedName(const workbook::DefinedNameRecord& name) override {
    names.push_back(name);
    return true;
  }

 private:
  std::vector<std::unique_ptr<Entry>> entries_;
};

TableFormulaCache& InstallCache(workbook::TCustomSpreadSheetBook& book) {
  auto cache = std::make_unique<TableFormulaCache>();
  TableFormulaCache& ref = *cache;
  // =A1+1 as the parser compiles it in B2 (offsets from the cell), and =SUM(Data!A1:A3).
  TokenBlock add = formulas::MakeRefToken({false, false, -1, -1});
  add.Append(formulas::MakeNumberToken(1));
  add.AppendByte(formulas::ptgAdd);
  TokenBlock sum = formulas::MakeArea3dToken(1, {false, false, false, false, 0, 2, 0, 0});
  sum.Append(formulas::MakeFuncVarToken(1, 4));
  ref.table = {{"=A1+1", add}, {"=SUM(Data!A1:A3)", sum}};
  book.SetFormulaCache(std::move(cache));
  return ref;
}

TEST(BookFormulas, FormulasAndNamesSurviveSaveAndLoad) {
  workbook::Workbook book;
  TableFormulaCache& cache = InstallCache(book);
  book.AddSheet("Data");
  book.Sheets(0).CellObject(0, 0)->SetText("6");
  book.Sheets(0).CellObject(1, 1)->SetText("=A1+1");
  book.Sheets(0).CellObject(2, 2)->SetText("=SUM(Data!A1:A3)");
  cache.names.push_back({"Total", 0, {0, 0, 2, 4}, false});
  cache.names.push_back({"Other", 1, {3, 9, 3, 9}, false});
  ASSERT_EQ(book.Sheets(0).Storage().CellDataType(1, 1), workbook::kCellFormula);

  std::vector<uint8_t> file;
  SaveBookToBytes(book, file);

  // The FORMULA record: tokens for B2, calculate on load, the cached result 7.
  MemoryByteSource source(file);
  CompoundReader container(source);
  std::vector<uint8_t> stream = container.ReadStream(*container.FindWorkbookStream());
  RecordReader r(stream);
  std::vector<FormulaRecord> formulas;
  while (r.Next())
    if (r.Id() == rec::kFormula) formulas.push_back(FormulaRecord::Read(r));
  ASSERT_EQ(formulas.size(), 2u);
  EXPECT_EQ(formulas[0].cell.row, 1);
  EXPECT_EQ(formulas[0].cell.column, 1);
  EXPECT_EQ(formulas[0].tokens,
            (std::vector<uint8_t>{0x44, 0, 0, 0, 0xC0, 0x1F, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0x03}));
  EXPECT_EQ(formulas[0].options & (FormulaRecord::kAlwaysCalc | FormulaRecord::kCalcOnLoad),
            FormulaRecord::kAlwaysCalc | FormulaRecord::kCalcOnLoad);
  double cached = 0;
  std::memcpy(&cached, formulas[0].result.data(), 8);
  EXPECT_EQ(cached, 7.0);

  workbook::Workbook back;
  TableFormulaCache& backCache = InstallCache(back);
  LoadBookFromBytes(back, file);
  EXPECT_EQ(backCache.compiled, (std::vector<std::string>{"=A1+1", "=SUM(Data!A1:A3)"}));
  EXPECT_EQ(back.Sheets(0).Storage().CellDataType(1, 1), workbook::kCellFormula);
  EXPECT_EQ(back.Sheets(0).CellObject(1, 1)->EditText(), "=A1+1");
  ASSERT_EQ(backCache.names.size(), 2u);
  EXPECT_EQ(backCache.names[0].Name, "Total");
  EXPECT_EQ(backCache.names[0].Sheet, 0);
  EXPECT_EQ(backCache.names[0].Rect, (workbook::TRect{0, 0, 2, 4}));
  EXPECT_EQ(backCache.names[1].Name, "Other");
  EXPECT_EQ(backCache.names[1].Sheet, 1);
  EXPECT_EQ(backCache.names[1].Rect, (workbook::TRect{3, 9, 3, 9}));
}

TEST(BookFormulas, AFormulaWithoutTokensIsNotWrittenAsGarbage) {
  workbook::Workbook book;
  InstallCache(book);
  book.Sheets(0).CellObject(0, 0)->SetText("=NOT.IN.TABLE()");  // compiles to no tokens
  std::vector<uint8_t> file;
  const std::vector<std::string> warnings = SaveBookToBytes(book, file);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0], "Sheet Sheet1: 1 formulas have no form in the file and were not saved");
  workbook::Workbook back;
  InstallCache(back);
  LoadBookFromBytes(back, file);
  EXPECT_FALSE(back.Sheets(0).Storage().HasRecord(0, 0));
}

}  // namespace
}  // namespace xls
