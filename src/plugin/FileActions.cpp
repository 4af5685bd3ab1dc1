#include "plugin/FileActions.h"

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/HostWindow.h"
#include "plugin/ActionSupport.h"
#include "plugin/HostLink.h"
#include "plugin/TextConventions.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/TSFSFileStream.h"
#include "ui/Backend.h"
#include "xls/book/BookFiles.h"

namespace plugin {

namespace {

bool FileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(std::filesystem::u8path(path), error);
}

// "zkSSH-004" and an empty FileName: the file (or store) the action needs is not there.
bool NoFile(const ActionParams& params) {
  SetResultCode(kCodeNoFile);
  SetHostVariable(WindowVariable(params.at(0), "FileName"), "");
  return false;
}

// Loading replaces the book the window shows: an open dialog's caller still uses it.
void RefuseWhileModal(TNeoSpread& spread) {
  if (InModal(spread)) throw ParameterError("a dialog of this window is open");
}

// The hourglass and the window's progress display for the length of a load or save.
class ProgressScope {
 public:
  ProgressScope(TNeoSpread& spread, const char* what)
      : spread_(spread), cursor_(ui::CursorShape::Wait) {
    spread_.BeginProgress(what);
  }
  ~ProgressScope() {
    spread_.EndProgress();
    ViewChanged(spread_);
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  TNeoSpread& spread_;
  ui::ScopedScreenCursor cursor_;
};

std::vector<uint8_t> ReadWhole(store::Stream& stream) {
  const int64_t size = stream.Size();
  if (size < 0) throw ParameterError("the stream has no size");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

// The writer's pieces go straight into a stream of the store.
class StoreStreamSink final : public xls::ByteSink {
 public:
  explicit StoreStreamSink(store::TSFSFileStream& stream) : stream_(stream) {}
  void Write(const uint8_t* data, size_t size) override {
    if (size != 0) stream_.WriteBuffer(data, size);
  }

 private:
  store::TSFSFileStream& stream_;
};

}  // namespace

bool LoadAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const std::string& path = params.at(1);
  if (!FileExists(path)) return NoFile(params);
  RefuseWhileModal(spread);
  spread.CommitEditing();
  spread.Book().Refresh();
  {
    ProgressScope scope(spread, "Loading");
    spread.Book().LoadFromFile(path);
  }
  SetHostVariable(WindowVariable(params.at(0), "FileName"), path);
  return true;
}

bool SaveAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const std::string& path = params.at(1);
  if (path.empty()) throw ParameterError("no file name");
  // The text being typed is part of what the author saves.
  spread.CommitEditing();
  spread.Book().Refresh();
  // The file handler writes a sibling file and moves it over the target when complete.
  {
    ProgressScope scope(spread, "Saving");
    spread.Book().SaveToFile(path);
  }
  SetHostVariable(WindowVariable(params.at(0), "FileName"), path);
  return true;
}

bool NewAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  if (spread.IsEditing()) {
    SetResultCode(kCodeEditing);
    return false;
  }
  RefuseWhileModal(spread);
  view::TSpreadSheetBook& book = spread.Book();
  book.Refresh();
  {
    // No window message may run while the book has no sheet: the clear and the first sheet
    // happen inside one lock, and pending messages are let through only afterwards.
    BookUpdate lock(book);
    book.ClearBook();
    if (params.at(1).empty()) {
      book.AddSheet();
    } else {
      book.AddSheet(params.at(1));
    }
  }
  ViewChanged(spread);
  platform::HostWindow::ProcessMessages();
  SetHostVariable(WindowVariable(params.at(0), "FileName"), "");
  return true;
}

bool LoadFromStreamAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const std::string& storePath = params.at(1);
  if (!FileExists(storePath)) return NoFile(params);
  RefuseWhileModal(spread);
  spread.CommitEditing();
  const uint8_t compression = params.at(4) != "0" ? 2 : 0;
  std::vector<uint8_t> bytes;
  {
    // Stream first, then store: both are released on every path, before the outcome.
    store::TSingleFileSystem fs(storePath, store::kModeReadOnly, params.at(3), "", "", compression);
    store::TSFSFileStream stream(&fs, params.at(2), 0, "", "", "", 0);
    bytes = ReadWhole(stream);
  }
  {
    ProgressScope scope(spread, "Loading");
    xls::LoadBookFromBytes(spread.Book(), bytes);
  }
  SetHostVariable(WindowVariable(params.at(0), "FileName"), storePath + "." + params.at(2));
  return true;
}

bool SaveToStreamAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const std::string& storePath = params.at(1);
  const std::string& streamName = params.at(2);
  if (!FileExists(storePath)) return NoFile(params);
  spread.CommitEditing();
  spread.Book().Refresh();
  const uint8_t compression = params.at(4) != "0" ? 2 : 0;
  store::TSingleFileSystem fs(storePath, store::kModeReadWrite, params.at(3), "", "", compression);
  // The workbook is written as it is made into a spare stream, never whole in memory. The
  // old stream stays whole until the spare is complete; only then do two directory-entry
  // updates swap them. A failed write removes the spare, so the store keeps what it had.
  const std::string spare = streamName + ".~new";
  try {
    ProgressScope scope(spread, "Saving");
    store::TSFSFileStream stream(&fs, spare, store::kModeCreate, "", "", "", 0);
    StoreStreamSink sink(stream);
    xls::SaveBookToSink(spread.Book(), sink);
    stream.Flush();
  } catch (...) {
    fs.FileDelete(spare);
    throw;
  }
  const size_t split = streamName.find_last_of("/\\");
  const std::string leaf = split == std::string::npos ? streamName : streamName.substr(split + 1);
  if (fs.StoreFileExists(streamName) && !fs.FileDelete(streamName)) {
    fs.FileDelete(spare);
    throw ParameterError("the old stream cannot be replaced");
  }
  if (!fs.FileRename(spare, leaf))
    throw ParameterError("the new stream was saved as " + spare + " but cannot be renamed");
  SetHostVariable(WindowVariable(params.at(0), "FileName"), storePath + "." + streamName);
  return true;
}

}  // namespace plugin
