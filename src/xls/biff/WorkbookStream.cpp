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

namespace {

constexpr size_t kPiece = 64 * 1024;
constexpr uint64_t kEofSize = 4;

uint64_t ListSize(const RecordList& list) {
  uint64_t size = 0;
  for (const RecordBuilder& r : list) size += RecordWriter::WrittenSize(r);
  return size;
}

RecordBuilder WorksheetBof() {
  BofRecord bof;
  bof.type = rec::kBofWorksheet;
  return bof.Build();
}

}  // namespace

std::vector<uint64_t> WorkbookStreamBuilder::SheetPositions(uint64_t& size) const {
  size = ListSize(globals_) + sst_.WrittenSize() + kEofSize;
  const uint64_t bofSize = RecordWriter::WrittenSize(WorksheetBof());
  std::vector<uint64_t> at;
  at.reserve(sheets_.size());
  for (const SheetPart& s : sheets_) {
    if (size > 0xFFFFFFFFu) throw XlsError("The workbook stream exceeds 4 GB");
    at.push_back(size);
    size += bofSize + ListSize(s.records) + s.laidOut.size() + kEofSize;
  }
  return at;
}

uint64_t WorkbookStreamBuilder::Size() const {
  uint64_t size = 0;
  SheetPositions(size);
  return size;
}

void WorkbookStreamBuilder::WriteTo(
    const std::function<void(std::span<const uint8_t>)>& emit) const {
  uint64_t size = 0;
  const std::vector<uint64_t> bofAt = SheetPositions(size);
  std::map<const RecordBuilder*, size_t> sheetOf;
  for (size_t i = 0; i < sheets_.size(); ++i) sheetOf[&*sheets_[i].boundSheet] = i;

  std::vector<uint8_t> buffer;
  buffer.reserve(kPiece + rec::kMaxRecordData + 4);
  RecordWriter w(buffer);
  auto write = [&](const RecordBuilder& r) {
    w.Write(r);
    if (buffer.size() >= kPiece) w.HandOn(emit);
  };
  for (const RecordBuilder& r : globals_) {
    auto it = sheetOf.find(&r);
    if (it == sheetOf.end()) {
      write(r);
      continue;
    }
    // A BOUNDSHEET starts with the stream position of its sheet's BOF.
    RecordBuilder bound = r;
    bound.PatchU32(0, static_cast<uint32_t>(bofAt[it->second]));
    write(bound);
  }
  sst_.WriteTo(w);
  write(RecordBuilder(rec::kEof));
  const RecordBuilder bof = WorksheetBof();
  for (const SheetPart& s : sheets_) {
    write(bof);
    for (const RecordBuilder& r : s.records) write(r);
    // Only the SST needs the writer's offset, so the laid-out bytes may go past it.
    w.HandOn(emit);
    if (!s.laidOut.empty()) emit(s.laidOut);
    write(RecordBuilder(rec::kEof));
  }
  w.HandOn(emit);
}

std::vector<uint8_t> WorkbookStreamBuilder::Build() const {
  std::vector<uint8_t> out;
  WriteTo(
      [&](std::span<const uint8_t> piece) { out.insert(out.end(), piece.begin(), piece.end()); });
  return out;
}

}  // namespace xls
