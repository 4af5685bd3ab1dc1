// The Windows clipboard. Another program may hold it open for a moment, so opening is retried a
// few times. Blocks are GMEM_MOVEABLE global memory, as SetClipboardData requires; once handed
// over, the system owns them.
#include <windows.h>

#include <cstring>

#include "platform/Clipboard.h"

namespace platform {
namespace {
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

// Opens the clipboard for the lifetime of the object.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      if (OpenClipboard(nullptr)) {
        open_ = true;
        return;
      }
      Sleep(kOpenRetryMs);
    }
  }
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

// A moveable block holding the bytes, plus `extra` zero bytes; null when memory is short.
HGLOBAL MakeBlock(const std::string& bytes, size_t extra) {
  HGLOBAL handle =
      GlobalAlloc(GMEM_MOVEABLE, bytes.size() + extra + (bytes.empty() && !extra ? 1 : 0));
  if (!handle) return nullptr;
  void* p = GlobalLock(handle);
  if (!p) {
    GlobalFree(handle);
    return nullptr;
  }
  if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
  std::memset(static_cast<char*>(p) + bytes.size(), 0, extra);
  GlobalUnlock(handle);
  return handle;
}

// Hands a block to the open clipboard; on refusal the block is still ours to free.
bool Put(UINT format, HGLOBAL handle) {
  if (!handle) return false;
  if (SetClipboardData(format, handle)) return true;
  GlobalFree(handle);
  return false;
}

std::optional<std::string> Get(UINT format) {
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) return std::nullopt;
  HANDLE handle = GetClipboardData(format);
  if (!handle) return std::nullopt;
  const SIZE_T size = GlobalSize(handle);
  const void* p = GlobalLock(handle);
  if (!p) return std::nullopt;
  std::string bytes(static_cast<const char*>(p), static_cast<size_t>(size));
  GlobalUnlock(handle);
  return bytes;
}
}  // namespace

ClipboardFormat Clipboard::RegisterFormat(const std::string& name) {
  if (name.empty()) return 0;
  return RegisterClipboardFormatA(name.c_str());
}

bool Clipboard::Write(ClipboardFormat format, const std::optional<std::string>& block,
                      const std::optional<std::string>& text) {
  OpenedClipboard clipboard;
  if (!clipboard.IsOpen()) return false;
  if (!EmptyClipboard()) return false;
  bool ok = true;
  if (format != 0 && block) ok = Put(format, MakeBlock(*block, 0)) && ok;
  if (text) ok = Put(CF_TEXT, MakeBlock(text->substr(0, text->find('\0')), 1)) && ok;
  return ok;
}

bool Clipboard::Clear() {
  OpenedClipboard clipboard;
  return clipboard.IsOpen() && EmptyClipboard();
}

std::optional<std::string> Clipboard::ReadBlock(ClipboardFormat format) {
  if (format == 0) return std::nullopt;
  return Get(format);
}

std::optional<std::string> Clipboard::ReadText() {
  auto bytes = Get(CF_TEXT);
  if (!bytes) return std::nullopt;
  const size_t end = bytes->find('\0');
  if (end != std::string::npos) bytes->resize(end);
  return bytes;
}

bool Clipboard::HasBlock(ClipboardFormat format) {
  return format != 0 && IsClipboardFormatAvailable(format);
}
bool Clipboard::HasText() { return IsClipboardFormatAvailable(CF_TEXT); }

}  // namespace platform
