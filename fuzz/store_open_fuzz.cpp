// libFuzzer entry: the input bytes are a store file. Opening it, listing, reading every file
// and verifying must end in a clean result or an exception, never a crash, hang or leak.
// Build with clang, -fsanitize=fuzzer,address,undefined, against ss_store and ss_platform;
// seeds are in fuzz/corpus/store_open/. The scratch file goes to $TMPDIR, else the current folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/File.h"
#include "store/StoreVerifier.h"
#include "store/TSFSUserFileStream.h"
#include "store/TSingleFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return dir ? std::string(dir) + "/store_open_fuzz.sfs" : std::string("store_open_fuzz.sfs");
  }();
  {
    platform::File f(path, platform::FileAccess::Write, platform::FileDisposition::CreateAlways);
    if (size) f.Write(data, size);
  }
  try {
    store::TSingleFileSystem fs(path, store::kModeReadOnly);
    std::vector<uint8_t> buffer(1 << 16);
    for (const auto& info : fs.List()) {
      try {
        store::TSFSUserFileStream s(&fs, info.name, store::kModeReadOnly);
        for (int i = 0; i < 64 && s.Read(buffer.data(), buffer.size()) > 0; ++i) {
        }
      } catch (const std::exception&) {
      }
    }
    store::VerifyStore(fs);
  } catch (const std::exception&) {
  }
  return 0;
}
