#include "xls/book/BookFiles.h"

#include "platform/File.h"
#include "workbook/SSPalette.h"
#include "workbook/SSTypes.h"
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

// Holds the book in its loading state and restores it on every way out.
class LoadingState {
 public:
  explicit LoadingState(TCustomSpreadSheetBook& book) : book_(book) {
    book_.SetReadOnly(false);
    book_.History().Clear();
    book_.History().Suspend();
    book_.BeginUpdate();
    book_.SetR1C1ReferenceStyle(false);
    book_.SetLoading(true);
  }
  void LockFormulas() {
    if (book_.FormulaCache() && !formulasLocked_) {
      book_.FormulaCache()->Lock();
      formulasLocked_ = true;
    }
  }
  ~LoadingState() {
    book_.SetLoading(false);
    if (formulasLocked_) book_.FormulaCache()->Unlock();
    book_.EndUpdate();
    book_.History().Resume();
    book_.History().Clear();
  }
  LoadingState(const LoadingState&) = delete;
  LoadingState& operator=(const LoadingState&) = delete;

 private:
  TCustomSpreadSheetBook& book_;
  bool formulasLocked_ = false;
};

}  // namespace

void LoadBookFromSource(TCustomSpreadSheetBook& book, IByteSource& source) {
  TExcelFileReader reader(book);
  bool unknownFunction = false;
  {
    LoadingState state(book);
    if (!reader.AssignStream(source)) throw workbook::ESpreadSheetError("Invalid stream format");
    book.ClearBook();
    state.LockFormulas();
    book.Palette() = workbook::DefaultPalette();
    reader.OnProgress = [&book](int percent) {
      if (book.events.OnProgress) book.events.OnProgress(book, static_cast<uint8_t>(percent));
    };
    try {
      reader.OpenStream();
    } catch (...) {
      // A book is never left without a sheet: the caller may still show it.
      if (book.PageCount() == 0) book.AddSheet();
      throw;
    }
    // A workbook of chart sheets only has no worksheet the book can show.
    if (book.PageCount() == 0) book.AddSheet();
    unknownFunction = reader.UnknownFunction();
    book.SetLoading(false);
    // Automatic row heights follow word-wrapping texts; rows without one keep their size.
    for (const auto& [sheet, row] : reader.WrapRows())
      if (sheet >= 0 && sheet < book.PageCount()) book.Sheets(sheet).AutoRowHeight(row);
    book.SetActiveSheet(0);
  }
  if (unknownFunction) throw workbook::ESpreadSheetError("Stream has unknown function's");
  book.Refresh();
}

void LoadBookFromBytes(TCustomSpreadSheetBook& book, std::span<const uint8_t> bytes) {
  MemoryByteSource source(bytes);
  LoadBookFromSource(book, source);
}

void LoadBookFromFile(TCustomSpreadSheetBook& book, const std::string& fileName) {
  if (!platform::FileExists(fileName)) throw workbook::ESpreadSheetError("Invalid file " + fileName + " name");
  platform::File file(fileName, platform::FileAccess::Read, platform::FileDisposition::OpenExisting,
                      platform::FileShare::DenyWrite);
  FileByteSource source(file);
  LoadBookFromSource(book, source);
}

std::vector<std::string> SaveBookToBytes(TCustomSpreadSheetBook& book, std::vector<uint8_t>& out) {
  TExcelFileWriter writer;
  writer.OnProgress = [&book](int percent) {
    if (book.events.OnProgress) book.events.OnProgress(book, static_cast<uint8_t>(percent));
  };
  book.History().Clear();
  book.History().Suspend();
  try {
    writer.AddBook(book);
    out = writer.SaveToBytes();
  } catch (...) {
    book.History().Resume();
    if (book.events.OnProgress) book.events.OnProgress(book, 100);
    throw;
  }
  book.History().Resume();
  return writer.Warnings();
}

std::vector<std::string> SaveBookToFile(TCustomSpreadSheetBook& book, const std::string& fileName) {
  std::vector<uint8_t> bytes;
  std::vector<std::string> warnings = SaveBookToBytes(book, bytes);
  const std::string temp = platform::SiblingTempPath(fileName);
  try {
    {
      platform::File file(temp, platform::FileAccess::Write, platform::FileDisposition::CreateAlways,
                          platform::FileShare::Exclusive);
      file.Write(bytes.data(), bytes.size());
      file.Flush();
    }
    platform::ReplaceFile(temp, fileName);
  } catch (...) {
    platform::DeleteFile(temp);
    throw;
  }
  return warnings;
}

void InstallBookFileHandlers() {
  TCustomSpreadSheetBook::SetFileHandlers(
      [](TCustomSpreadSheetBook& book, const std::string& name) { LoadBookFromFile(book, name); },
      [](TCustomSpreadSheetBook& book, const std::string& name) { SaveWarnings() = SaveBookToFile(book, name); });
}

const std::vector<std::string>& LastSaveWarnings() { return SaveWarnings(); }

}  // namespace xls
