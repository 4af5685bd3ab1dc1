// libFuzzer entry for the compound document reader and the BIFF8 record layer. Any input must
// end in a result or a clear exception: no crash, no hang, memory bounded by the input size.
// The input is opened as a compound document; its workbook stream (or, when the container is
// refused, the input itself) is then walked record by record through every record decoder,
// and read again through a tiny window that must show the same records.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <vector>

#include "xls/biff/FormulaRecords.h"
#include "xls/biff/LayoutRecords.h"
#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/compound/CompoundReader.h"
#include "xls/formula/FileTokens.h"
#include "xls/formula/TFormulaReader.h"
#ifndef SS_FUZZ_ENTRY_IN_TEST
#include "ToolComposition.h"
#endif
#include "formulas/BookFormulaCache.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/Workbook.h"
#include "xls/Errors.h"
#include "xls/book/BookFiles.h"

namespace {

// Answers for the formula text conversion: a few names and sheets, every function known
// with a fixed argument count taken from its number.
class FuzzSource : public xls::FormulaTextSource {
 public:
  size_t NameCount() const override { return 2; }
  std::string NameText(size_t i) const override { return "N" + std::to_string(i); }
  size_t ExternSheetCount() const override { return 2; }
  uint16_t ExternSheetFirst(size_t i) const override { return static_cast<uint16_t>(i * 7); }
  size_t SheetCount() const override { return 3; }
  std::string SheetName(size_t i) const override { return i == 1 ? "My Sheet" : "S"; }
  std::optional<xls::FormulaFunctionInfo> Function(uint16_t n) const override {
    if (n > 400) return std::nullopt;
    return xls::FormulaFunctionInfo{"F", n % 4};
  }
  std::string ColumnCaption(int32_t c) const override { return std::to_string(c); }
  std::string NumberText(double) const override { return "1"; }
  std::string ErrorText(uint8_t) const override { return "#E"; }
  void ReportInvalidName(const std::string&) override {}
};

// The whole reader as a program uses it: the bytes load into a real book with the formula
// engine installed, so every record decoder, the formula conversion and the book's own
// rules all see the hostile input.
void LoadIntoBook(std::span<const uint8_t> file) {
#ifndef SS_FUZZ_ENTRY_IN_TEST
  // The fuzzer is a program of its own; inside the test suite the test's services serve.
  static const bool composed = [] {
    tools::ComposeCommandLineTool();
    return true;
  }();
  (void)composed;
#endif
  workbook::Workbook book;
  try {
    xls::LoadBookFromBytes(book, file);
  } catch (const std::exception&) {
  }
}

void ToText(const std::vector<uint8_t>& tokens) {
  static FuzzSource source;
  static xls::TFormulaReader reader(source);
  std::string text;
  reader.TokensToText(3, 5, text, static_cast<uint16_t>(std::min<size_t>(tokens.size(), 0xFFFF)),
                      tokens.data());
}

void WalkRecords(std::span<const uint8_t> stream) {
  xls::RecordReader r(stream);
  std::vector<std::u16string> sst;
  try {
    while (r.Next()) {
      switch (r.Id()) {
        case xls::rec::kBof:
          xls::BofRecord::Read(r);
          break;
        case xls::rec::kBoundSheet: {
          auto b = xls::BoundSheetRecord::Read(r);
          // Sheet positions come from the file: seeking to them must be safe too.
          xls::RecordReader sheet(stream);
          if (sheet.Seek(b.position) && sheet.Next())
            sheet.Skip(std::min<size_t>(sheet.Remaining(), 4));
          break;
        }
        case xls::rec::kFont:
          xls::FontRecord::Read(r);
          break;
        case xls::rec::kXf:
          xls::XfRecord::Read(r);
          break;
        case xls::rec::kFormat:
          xls::FormatRecord::Read(r);
          break;
        case xls::rec::kPalette:
          xls::PaletteRecord::Read(r);
          break;
        case xls::rec::kSst:
          sst = xls::ReadSharedStrings(r);
          break;
        case xls::rec::kLabel:
          xls::LabelRecord::Read(r);
          break;
        case xls::rec::kNumber:
          xls::NumberRecord::Read(r);
          break;
        case xls::rec::kRk:
          xls::RkRecord::Read(r);
          break;
        case xls::rec::kMulRk:
          xls::MulRkRecord::Read(r);
          break;
        case xls::rec::kMulBlank:
          xls::MulBlankRecord::Read(r);
          break;
        case xls::rec::kBoolErr:
          xls::BoolErrRecord::Read(r);
          break;
        case xls::rec::kRow:
          xls::RowRecord::Read(r);
          break;
        case xls::rec::kColInfo:
          xls::ColInfoRecord::Read(r);
          break;
        case xls::rec::kDimensions:
          xls::DimensionsRecord::Read(r);
          break;
        case xls::rec::kMergedCells:
          xls::MergedCellsRecord::Read(r);
          break;
        case xls::rec::kWindow2:
          xls::Window2Record::Read(r);
          break;
        case xls::rec::kExternSheet:
          xls::ExternSheetRecord::Read(r);
          break;
        case xls::rec::kName:
          xls::ParseFileTokens(xls::NameRecord::Read(r).tokens);
          break;
        case xls::rec::kShrFmla:
          xls::ParseFileTokens(xls::SharedFormulaRecord::Read(r).tokens);
          break;
        case xls::rec::kArray:
          xls::ParseFileTokens(xls::ArrayRecord::Read(r).tokens);
          break;
        case xls::rec::kLabelSst:
          r.Skip(6);
          xls::SharedString(sst, r.U32());
          break;
        case xls::rec::kFormula: {
          auto tokens = xls::FormulaRecord::Read(r).tokens;
          xls::ParseFileTokens(tokens);
          ToText(tokens);
          break;
        }
        default:
          r.Skip(r.Remaining());
          break;
      }
    }
  } catch (const std::runtime_error&) {
    // XlsError and the shared-string errors: a clear refusal is the expected outcome.
  }
}

// The same stream read through a tiny window must show exactly what it shows in memory:
// every record's header, its joined data, and a failure at the same record. A difference is a
// fault of the window and stops the fuzzer.
void CompareWindowed(std::span<const uint8_t> stream) {
  xls::MemoryByteSource source(stream);
  xls::RecordReader whole(stream);
  xls::RecordReader windowed(source, 64);
  for (;;) {
    bool more = false, moreWindowed = false, failed = false, failedWindowed = false;
    std::vector<uint8_t> data, dataWindowed;
    try {
      more = whole.Next();
      if (more) data = whole.Bytes(whole.Remaining());
    } catch (const std::runtime_error&) {
      failed = true;
    }
    try {
      moreWindowed = windowed.Next();
      if (moreWindowed) dataWindowed = windowed.Bytes(windowed.Remaining());
    } catch (const std::runtime_error&) {
      failedWindowed = true;
    }
    if (failed != failedWindowed || more != moreWindowed || data != dataWindowed) std::abort();
    if (failed || !more) return;
    if (whole.Id() != windowed.Id() || whole.Offset() != windowed.Offset() ||
        whole.SegmentCount() != windowed.SegmentCount())
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> input(data, size);
  LoadIntoBook(input);
  try {
    xls::MemoryByteSource source(input);
    xls::CompoundReader reader(source);
    for (size_t i = 0; i < reader.Entries().size(); ++i) {
      if (reader.Entries()[i].type != xls::compound::EntryType::Stream) continue;
      try {
        reader.ReadStream(i);
      } catch (const xls::CompoundError&) {
      }
    }
    if (auto index = reader.FindWorkbookStream()) {
      std::vector<uint8_t> stream = reader.ReadStream(*index);
      WalkRecords(stream);
      CompareWindowed(stream);
    }
  } catch (const xls::CompoundError&) {
    WalkRecords(input);
    CompareWindowed(input);
  }
  return 0;
}
