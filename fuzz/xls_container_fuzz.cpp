// libFuzzer entry for the compound document reader and the BIFF8 record layer. Any input must
// end in a result or a clear exception: no crash, no hang, memory bounded by the input size.
// The input is opened as a compound document; its workbook stream (or, when the container is
// refused, the input itself) is then walked record by record through every record decoder.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "xls/biff/RecordIds.h"
#include "xls/biff/RecordReader.h"
#include "xls/biff/SheetRecords.h"
#include "xls/biff/StyleRecords.h"
#include "xls/biff/TSSTStringTable.h"
#include "xls/compound/CompoundReader.h"

namespace {

void WalkRecords(std::span<const uint8_t> stream) {
  xls::RecordReader r(stream);
  std::vector<std::u16string> sst;
  try {
    while (r.Next()) {
      switch (r.Id()) {
        case xls::rec::kBof: xls::BofRecord::Read(r); break;
        case xls::rec::kBoundSheet: {
          auto b = xls::BoundSheetRecord::Read(r);
          // Sheet positions come from the file: seeking to them must be safe too.
          xls::RecordReader sheet(stream);
          if (sheet.Seek(b.position) && sheet.Next()) sheet.Skip(std::min<size_t>(sheet.Remaining(), 4));
          break;
        }
        case xls::rec::kFont: xls::FontRecord::Read(r); break;
        case xls::rec::kXf: xls::XfRecord::Read(r); break;
        case xls::rec::kFormat: xls::FormatRecord::Read(r); break;
        case xls::rec::kPalette: xls::PaletteRecord::Read(r); break;
        case xls::rec::kSst: sst = xls::ReadSharedStrings(r); break;
        case xls::rec::kLabel: r.Skip(6); r.String16(); break;
        case xls::rec::kLabelSst: r.Skip(6); xls::SharedString(sst, r.U32()); break;
        default: r.Skip(r.Remaining()); break;
      }
    }
  } catch (const std::runtime_error&) {
    // EXlsError and the shared-string errors: a clear refusal is the expected outcome.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> input(data, size);
  try {
    xls::MemoryByteSource source(input);
    xls::CompoundReader reader(source);
    for (size_t i = 0; i < reader.Entries().size(); ++i) {
      if (reader.Entries()[i].type != xls::compound::EntryType::Stream) continue;
      try {
        reader.ReadStream(i);
      } catch (const xls::ECompoundError&) {
      }
    }
    if (auto index = reader.FindWorkbookStream()) {
      std::vector<uint8_t> stream = reader.ReadStream(*index);
      WalkRecords(stream);
    }
  } catch (const xls::ECompoundError&) {
    WalkRecords(input);
  }
  return 0;
}
