#pragma once
// Assembles a workbook stream from record lists: the globals, the shared string table and one
// list per sheet. Records can be inserted anywhere in a list while the book is fed in (a new
// FONT after the last FONT, a BOUNDSHEET before SUPBOOK); Build lays everything out and fills
// every BOUNDSHEET with the stream position of its sheet's BOF.
//
// Stream layout: globals records (the list starts with the globals BOF, put there when the
// builder is made), SST with its CONTINUEs, EXTSST, EOF; then for every sheet in order a
// worksheet BOF, its records, its laid-out records, EOF.
//
// A sheet's cells are by far the most records of a book; keeping each as a RecordBuilder in a
// list costs some 250 bytes a cell. They go into the sheet's laid-out bytes instead (about 20
// bytes a cell), and WriteTo hands the stream on in pieces, so that a save holds the stream
// once and never the whole container image besides.
#include <cstdint>
#include <functional>
#include <list>
#include <span>
#include <vector>

#include "xls/biff/SheetRecords.h"
#include "xls/biff/TSSTStringTable.h"

namespace xls {

class RecordList {
 public:
  using iterator = std::list<RecordBuilder>::iterator;
  using const_iterator = std::list<RecordBuilder>::const_iterator;

  iterator Append(RecordBuilder record) {
    return records_.insert(records_.end(), std::move(record));
  }
  iterator InsertAfter(iterator at, RecordBuilder record) {
    return records_.insert(std::next(at), std::move(record));
  }
  iterator InsertBefore(iterator at, RecordBuilder record) {
    return records_.insert(at, std::move(record));
  }
  // The first record with `id`, or end().
  iterator Find(uint16_t id);
  // The last record with `id`, or end().
  iterator FindLast(uint16_t id);
  iterator begin() { return records_.begin(); }
  iterator end() { return records_.end(); }
  const_iterator begin() const { return records_.begin(); }
  const_iterator end() const { return records_.end(); }
  size_t size() const { return records_.size(); }

 private:
  std::list<RecordBuilder> records_;
};

class WorkbookStreamBuilder {
 public:
  WorkbookStreamBuilder();

  RecordList& Globals() { return globals_; }
  TSSTStringTable& SharedStrings() { return sst_; }

  // Adds a sheet: its BOUNDSHEET goes into the globals before `before` (or at their end).
  // Returns the sheet's index.
  size_t AddSheet(const BoundSheetRecord& entry, RecordList::iterator before);
  size_t AddSheet(const BoundSheetRecord& entry) { return AddSheet(entry, globals_.end()); }
  size_t SheetCount() const { return sheets_.size(); }
  // The records of a sheet after its BOF, still open to change.
  RecordList& Sheet(size_t index) { return sheets_.at(index).records; }
  // Records of a sheet already laid out (append with a RecordWriter); they follow the
  // sheet's record list in the stream, before its EOF.
  std::vector<uint8_t>& SheetLaidOut(size_t index) { return sheets_.at(index).laidOut; }

  // The stream's size in bytes, as WriteTo will write it.
  uint64_t Size() const;
  // Writes the whole stream to `emit` in pieces of about 64 KiB (laid-out records in one
  // piece per sheet), in order. Throws XlsError, before emitting anything, when the stream
  // would exceed the 32-bit positions of the format; an exception from `emit` is passed on.
  void WriteTo(const std::function<void(std::span<const uint8_t>)>& emit) const;
  // The whole stream in memory.
  std::vector<uint8_t> Build() const;

 private:
  struct SheetPart {
    RecordList::iterator boundSheet;
    RecordList records;
    std::vector<uint8_t> laidOut;
  };
  // Stream position of every sheet's BOF, and the stream size at the end.
  std::vector<uint64_t> SheetPositions(uint64_t& size) const;

  RecordList globals_;
  TSSTStringTable sst_;
  std::vector<SheetPart> sheets_;
};

}  // namespace xls
