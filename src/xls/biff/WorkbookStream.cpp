#include "xls/biff/WorkbookStream.h"

#include <map>

#include "platform/LittleEndian.h"
#include "xls/Errors.h"
#include "xls/biff/RecordIds.h"

namespace xls {

RecordList::iterator RecordList::Find(uint16_t id) {
  for (auto it = records_.begin(); it != records_.end(); ++it)
    if (it->Id() == id) return it;
  return records_.end();
}

RecordList::iterator RecordList::FindLast(uint16_t id) {
  auto found = records_.end();
  for (auto it = records_.begin(); it != records_.end(); ++it)
    if (it->Id() == id) found = it;
  return found;
}

WorkbookStreamBuilder::WorkbookStreamBuilder() { globals_.Append(BofRecord{}.Build()); }

size_t WorkbookStreamBuilder::AddSheet(const BoundSheetRecord& entry, RecordList::iterator before) {
  auto node = globals_.InsertBefore(before, entry.Build());
  sheets_.push_back({node, RecordList()});
  return sheets_.size() - 1;
}

std::vector<uint8_t> WorkbookStreamBuilder::Build() const {
  std::vector<uint8_t> out;
  RecordWriter w(out);
  // Where each sheet's BOUNDSHEET lands, to patch in its BOF position.
  std::map<const RecordBuilder*, size_t> sheetOf;
  for (size_t i = 0; i < sheets_.size(); ++i) sheetOf[&*sheets_[i].boundSheet] = i;
  std::vector<size_t> boundAt(sheets_.size(), 0);
  for (const RecordBuilder& r : globals_) {
    auto it = sheetOf.find(&r);
    if (it != sheetOf.end()) boundAt[it->second] = w.Offset();
    w.Write(r);
  }
  sst_.WriteTo(w);
  w.Write(RecordBuilder(rec::kEof));
  BofRecord bof;
  bof.type = rec::kBofWorksheet;
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (w.Offset() > 0xFFFFFFFFu) throw XlsError("The workbook stream exceeds 4 GB");
    platform::StoreU32(out.data() + boundAt[i] + 4, static_cast<uint32_t>(w.Offset()));
    w.Write(bof.Build());
    for (const RecordBuilder& r : sheets_[i].records) w.Write(r);
    w.Write(RecordBuilder(rec::kEof));
  }
  return out;
}

}  // namespace xls
