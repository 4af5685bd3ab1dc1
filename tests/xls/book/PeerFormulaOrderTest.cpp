// A workbook written by another program, with formulas in the standard operator order (^ above
// * and /, & above the comparisons, no brackets where that order needs none), computes that
// order's results with the real engine: after loading, after an unrelated cell changed, and
// after an input changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/biff/CellRecords.h"
#include "xls/biff/DefaultRecords.h"
#include "xls/biff/FormulaRecords.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/WorkbookStream.h"
#include "xls/book/BookFiles.h"
#include "xls/compound/CompoundWriter.h"

namespace xls {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Relative references in row 1 (A1..D1) as a peer writes them, and small integers.
Bytes Ref(uint8_t col) { return {0x44, 0, 0, col, 0xC0}; }
Bytes Int(uint8_t v) { return {0x1E, v, 0}; }
Bytes Str(const std::string& s) {
  Bytes out = {0x17, static_cast<uint8_t>(s.size()), 0};
  out.insert(out.end(), s.begin(), s.end());
  return out;
}
const Bytes A1 = Ref(0), B1 = Ref(1), C1 = Ref(2), D1 = Ref(3);
const Bytes kAdd = {0x03}, kSub = {0x04}, kMul = {0x05}, kDiv = {0x06}, kPow = {0x07},
            kCat = {0x08}, kEq = {0x0B}, kNe = {0x0E}, kNeg = {0x13}, kParen = {0x15};

struct PeerFormula {
  Bytes tokens;
  const char* shown;       // the standard order's result with A1=2, B1=3, C1="ab", D1="a"
  const char* afterInput;  // ... after A1 became 4
};

const PeerFormula kFormulas[] = {
    // (A1+B1)*(A1-B1)/A1^2
    {Cat({A1, B1, kAdd, kParen, A1, B1, kSub, kParen, kMul, A1, Int(2), kPow, kDiv}), "-1.25",
     "0.4375"},
    {Cat({Int(2), Int(3), Int(2), kPow, kMul}), "18", "18"},  // 2*3^2
    {Cat({Int(12), A1, Int(2), kPow, kDiv}), "3", "0.75"},    // 12/A1^2
    {Cat({A1, kNeg, Int(2), kPow}), "4", "16"},               // -A1^2
    {Cat({A1, Int(2), kPow, kNeg}), "-4", "-16"},             // -(A1^2) written without brackets
    {Cat({Int(8), A1, Int(1), kNeg, kPow, kMul}), "4", "2"},  // 8*A1^-1
    {Cat({C1, D1, Str("b"), kCat, kEq}), "1", "1"},           // C1=D1&"b"
    {Cat({D1, Str("b"), kCat, C1, kNe}), "0", "0"},           // D1&"b"<>C1
    {Cat({C1, D1, A1, kCat, kEq}), "0", "0"},                 // C1=D1&A1
    // A1&B1^2&C1: ^ first, then & from the left
    {Cat({A1, B1, Int(2), kPow, kCat, C1, kCat}), "29ab", "49ab"},
};

Bytes PeerFile() {
  WorkbookStreamBuilder b;
  for (int i = 0; i < 4; ++i) b.Globals().Append(defaults::Font().Build());
  for (const XfRecord& x : defaults::Xfs()) b.Globals().Append(x.Build());
  BoundSheetRecord sheet;
  sheet.name = u"Peer";
  RecordList& s = b.Sheet(b.AddSheet(sheet));
  s.Append(NumberRecord{{0, 0, 15}, 2}.Build());
  s.Append(NumberRecord{{0, 1, 15}, 3}.Build());
  s.Append(LabelRecord{{0, 2, 15}, u"ab"}.Build());
  s.Append(LabelRecord{{0, 3, 15}, u"a"}.Build());
  uint16_t row = 2;
  for (const PeerFormula& f : kFormulas) {
    FormulaRecord r;
    r.cell = {row++, 0, 15};
    r.tokens = f.tokens;
    s.Append(r.Build());
  }
  const Bytes stream = b.Build();
  CompoundStream c{u"Workbook", stream};
  return BuildCompoundDocument(std::span<const CompoundStream>(&c, 1));
}

TEST(PeerFormulaOrder, FileFormulasComputeInTheFilesOrderAfterLoadEditAndRecalculation) {
  platform::ScopedLocale locale{platform::LocaleSettings::EnglishUS()};
  workbook::ScopedBookServices engine{testsupport::WithFormulaEngine(testsupport::ModelServices())};
  workbook::Workbook book;
  LoadBookFromBytes(book, PeerFile());
  auto& sheet = book.Sheets(0);
  auto shown = [&](int row) { return sheet.CellObject(0, row)->DisplayText(); };
  auto check = [&](const char* when, bool inputChanged) {
    int row = 2;
    for (const PeerFormula& f : kFormulas) {
      EXPECT_EQ(shown(row), inputChanged ? f.afterInput : f.shown)
          << when << ": " << sheet.CellObject(0, row)->EditText();
      ++row;
    }
  };
  check("loaded", false);
  sheet.CellObject(5, 20)->SetText("99");  // an unrelated cell
  book.Recalculate();
  check("after an unrelated edit", false);
  // The loaded text is what the user edits: it must compute the same when typed again.
  for (int row = 2; row < 2 + static_cast<int>(std::size(kFormulas)); ++row)
    sheet.CellObject(0, row)->SetText(sheet.CellObject(0, row)->EditText());
  check("typed again", false);
  sheet.CellObject(0, 0)->SetText("4");
  book.Recalculate();
  check("after an input changed", true);
}

}  // namespace
}  // namespace xls
