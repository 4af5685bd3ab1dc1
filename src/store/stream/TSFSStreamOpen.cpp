// The constructors that open a file inside a store. Kept apart from the framing code so that
// the framing can be used (and tested) over any raw stream.
#include "store/Errors.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"
#include "store/stream/TSFSAdvancedFileStream.h"
#include "store/stream/TSFSFileStream.h"

namespace store {

namespace {
std::unique_ptr<Stream> OpenRaw(TSingleFileSystem* store, const std::string& name, uint16_t mode,
                                const std::string& password, const std::string& question,
                                const std::string& answer) {
  if (store == nullptr) throw StoreError("TSFSAdvancedFileStream.Create - SingleFileSystem = nil.");
  return std::make_unique<TSFSUserFileStream>(store, name, mode, password, question, answer);
}
}  // namespace

TSFSAdvancedFileStream::TSFSAdvancedFileStream(TSingleFileSystem* store, const std::string& name,
                                               uint16_t mode, const std::string& password,
                                               const std::string& question,
                                               const std::string& answer, uint8_t compression)
    : raw_(OpenRaw(store, name, mode, password, question, answer)) {
  Setup(mode == 0xFFFF, compression != 0 ? compression : store->DefaultCompression());
}

TSFSFileStream::TSFSFileStream(TSingleFileSystem* store, const std::string& streamName,
                               uint16_t mode, const std::string& password,
                               const std::string& question, const std::string& answer,
                               uint8_t compression)
    : TSFSFileStream(std::make_unique<TSFSAdvancedFileStream>(store, streamName, mode, password,
                                                              question, answer, compression),
                     streamName, mode) {
  password_ = password;
}

}  // namespace store
