#include "xls/book/BookFiles.h"

#include <functional>

#include "platform/File.h"
#include "workbook/Errors.h"
#include "workbook/SSBookIO.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "xls/book/TExcelFileReader.h"
#include "xls/book/TExcelFileWriter.h"

namespace xls {

using workbook::TCustomSpreadSheetBook;

namespace {

std::vector<std::string>& SaveWarnings() {
  static std::vector<std::string> warnings;
  return warnings;
}

// The file reader as the book's load sequence drives it (TCustomSpreadSheetBook::LoadFromReader:
// locks, loading flag, clearing only after the check, restore on failure).
class ExcelReaderSeam : public workbook::WorkbookReader {
 public:
  ExcelReaderSeam(TCustomSpreadSheetBook& book, ByteSource& source)
      : book_(book), source_(source), reader_(book) {}
  bool IsWorkbook() override { return reader_.AssignStream(source_); }
  void Read(workbook::ISpreadSheetBook&, const std::function<void(uint8_t)>& progress) override {
    reader_.OnProgress = [&progress](int percent) { progress(static_cast<uint8_t>(percent)); };
    try {
      reader_.OpenStream();
    } catch (...) {
      // A book is never left without a sheet: the caller may still show it.
      if (book_.PageCount() == 0) book_.AddSheet();
      throw;
    }
  }
  std::vector<std::string> Warnings() const override { return reader_.Warnings(); }

 private:
  TCustomSpreadSheetBook& book_;
  ByteSource& source_;
  TExcelFileReader reader_;
};

}  // namespace

void LoadBookFromSource(TCustomSpreadSheetBook& book, ByteSource& source) {
  ExcelReaderSeam reader(book, source);
  // The book recalculates and repaints when the load ends its update; a second refresh here
  // would calculate every formula again.
  book.LoadFromReader(reader);
}

void LoadBookFromBytes(TCustomSpreadSheetBook& book, std::span<const uint8_t> bytes) {
  MemoryByteSource source(bytes);
  LoadBookFromSource(book, source);
}

void LoadBookFromFile(TCustomSpreadSheetBook& book, const std::string& fileName) {
  if (!platform::FileExists(fileName))
    throw workbook::ESpreadSheetError("Invalid file " + fileName + " name");
  platform::File file(fileName, platform::FileAccess::Read, platform::FileDisposition::OpenExisting,
                      platform::FileShare::DenyWrite);
  FileByteSource source(file);
  LoadBookFromSource(book, source);
}

namespace {

// Collects the book and hands the writer to `save`, with the book's history suspended and its
// progress reported; returns the writer's warnings.
std::vector<std::string> SaveBook(TCustomSpreadSheetBook& book,
                                  const std::function<void(TExcelFileWriter&)>& save) {
  TExcelFileWriter writer;
  writer.OnProgress = [&book](int percent) {
    if (book.events.OnProgress) book.events.OnProgress(book, static_cast<uint8_t>(percent));
  };
  book.History().Clear();
  book.History().Suspend();
  try {
    writer.AddBook(book);
    save(writer);
  } catch (...) {
    book.History().Resume();
    if (book.events.OnProgress) book.events.OnProgress(book, 100);
    throw;
  }
  book.History().Resume();
  return writer.Warnings();
}

}  // namespace

std::vector<std::string> SaveBookToBytes(TCustomSpreadSheetBook& book, std::vector<uint8_t>& out) {
  return SaveBook(book, [&out](TExcelFileWriter& writer) { out = writer.SaveToBytes(); });
}

std::vector<std::string> SaveBookToSink(TCustomSpreadSheetBook& book, ByteSink& sink) {
  return SaveBook(book, [&sink](TExcelFileWriter& writer) { writer.SaveToStream(sink); });
}

// The document goes straight into a temporary file beside the target, which replaces the
// target only once complete: the workbook stream is never held in memory a second time.
std::vector<std::string> SaveBookToFile(TCustomSpreadSheetBook& book, const std::string& fileName) {
  return SaveBook(book, [&fileName](TExcelFileWriter& writer) { writer.SaveToFile(fileName); });
}

void SaveBookKeepingWarnings(TCustomSpreadSheetBook& book, const std::string& fileName) {
  SaveWarnings() = SaveBookToFile(book, fileName);
}

const std::vector<std::string>& LastSaveWarnings() { return SaveWarnings(); }

}  // namespace xls
