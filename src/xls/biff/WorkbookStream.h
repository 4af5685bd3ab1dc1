#pragma once
// Assembles a workbook stream from record lists: the globals, the shared string table and one
// list per sheet. Records can be inserted anywhere in a list while the book is fed in (a new
// FONT after the last FONT, a BOUNDSHEET before SUPBOOK); Build lays everything out and fills
// every BOUNDSHEET with the stream position of its sheet's BOF.
//
// Stream layout: globals records (the list starts with the globals BOF, put there when the
// builder is made), SST with its CONTINUEs, EXTSST, EOF; then for every sheet in order a
// worksheet BOF, its records, EOF.
#include <cstdint>
#include <list>
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
  // The records of a sheet between its BOF and EOF.
  RecordList& Sheet(size_t index) { return sheets_.at(index).records; }

  // The whole stream. Throws XlsError when it would exceed the 32-bit positions of the format.
  std::vector<uint8_t> Build() const;

 private:
  struct SheetPart {
    RecordList::iterator boundSheet;
    RecordList records;
  };
  RecordList globals_;
  TSSTStringTable sst_;
  std::vector<SheetPart> sheets_;
};

}  // namespace xls
