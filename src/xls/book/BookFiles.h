#pragma once
// The book's load and save procedures over workbook files. The book (one layer below) calls
// them through the file handlers of its services (LoadBookFromFile and SaveBookKeepingWarnings,
// put there by the composition functions); callers holding a stream of bytes (the
// single-file store actions, tools) call the byte forms directly.
//
// Loading runs the book's own load sequence (TCustomSpreadSheetBook::LoadFromReader) around
// TExcelFileReader: the container is checked before the book is touched; a file that is not
// a workbook raises ESpreadSheetError "Invalid stream format" and leaves the book as it was.
// A stream that breaks while its records are read leaves the book cleared or partly filled
// (never without a sheet) and raises the reader's message; the book restores its update
// lock, loading flag, formula cache lock and history recording.
//
// Saving to a file writes a sibling temporary file first and moves it over the target only
// when it is complete, so a failure midway (a full disk) never destroys the previous file.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xls/compound/ByteSource.h"

namespace workbook {
class TCustomSpreadSheetBook;
}

namespace xls {

void LoadBookFromSource(workbook::TCustomSpreadSheetBook& book, ByteSource& source);
void LoadBookFromBytes(workbook::TCustomSpreadSheetBook& book, std::span<const uint8_t> bytes);
void LoadBookFromFile(workbook::TCustomSpreadSheetBook& book, const std::string& fileName);

// Each returns the writer's warnings (data beyond the format's limits that was left out).
std::vector<std::string> SaveBookToBytes(workbook::TCustomSpreadSheetBook& book,
                                         std::vector<uint8_t>& out);
std::vector<std::string> SaveBookToFile(workbook::TCustomSpreadSheetBook& book,
                                        const std::string& fileName);
// The document written into `sink` as the container is laid out, as the file save does: no
// copy of the whole document is made in memory. When
// the writer or the sink throws, the exception goes on and the sink holds a partial
// document: the caller discards it. The book is unchanged either way.
std::vector<std::string> SaveBookToSink(workbook::TCustomSpreadSheetBook& book, ByteSink& sink);

// SaveBookToFile as a file handler of the book services: the warnings of the last save
// through it are kept for the caller in LastSaveWarnings.
void SaveBookKeepingWarnings(workbook::TCustomSpreadSheetBook& book, const std::string& fileName);
const std::vector<std::string>& LastSaveWarnings();

}  // namespace xls
