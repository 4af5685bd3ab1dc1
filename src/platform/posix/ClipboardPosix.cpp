// The portable clipboard: a process-wide store guarded by a mutex, with formats registered by
// name in first-come order (ids start above the range Windows keeps for its own formats, so ids
// look alike on both builds).
#include <map>
#include <mutex>

#include "platform/Clipboard.h"

namespace platform {
namespace {
constexpr ClipboardFormat kFirstPrivateFormat = 0xC000;

struct Store {
  std::mutex mutex;
  std::map<std::string, ClipboardFormat> formats;
  ClipboardFormat blockFormat = 0;
  std::optional<std::string> block;
  std::optional<std::string> text;
};

Store& TheStore() {
  static Store store;
  return store;
}
}  // namespace

ClipboardFormat Clipboard::RegisterFormat(const std::string& name) {
  if (name.empty()) return 0;
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  auto it = s.formats.find(name);
  if (it != s.formats.end()) return it->second;
  const ClipboardFormat id = kFirstPrivateFormat + static_cast<ClipboardFormat>(s.formats.size());
  s.formats.emplace(name, id);
  return id;
}

bool Clipboard::Write(ClipboardFormat format, const std::optional<std::string>& block,
                      const std::optional<std::string>& text) {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  s.blockFormat = (format != 0 && block) ? format : 0;
  s.block = s.blockFormat != 0 ? block : std::nullopt;
  // Like the system clipboard's text: it ends at its first zero.
  if (text)
    s.text = text->substr(0, text->find('\0'));
  else
    s.text.reset();
  return true;
}

bool Clipboard::Clear() { return Write(0, std::nullopt, std::nullopt); }

std::optional<std::string> Clipboard::ReadBlock(ClipboardFormat format) {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  if (format == 0 || format != s.blockFormat) return std::nullopt;
  return s.block;
}

std::optional<std::string> Clipboard::ReadText() {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  return s.text;
}

bool Clipboard::HasBlock(ClipboardFormat format) { return ReadBlock(format).has_value(); }
bool Clipboard::HasText() { return ReadText().has_value(); }

}  // namespace platform
