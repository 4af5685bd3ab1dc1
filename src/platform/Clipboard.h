#pragma once
// The system clipboard as the spreadsheet uses it: one private block format, registered by
// name, written together with an 8-bit text (the system code page), and read back either way.
// Windows uses the system clipboard; the portable build keeps one process-wide store, so a copy
// in one book pastes into another book of the same process.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// A registered format; 0 is "no format".
using ClipboardFormat = uint32_t;

class Clipboard {
 public:
  // Registers (or looks up) a private format by name; the same name gives the same id.
  // Returns 0 when the name is empty or the system refuses it.
  static ClipboardFormat RegisterFormat(const std::string& name);

  // Replaces the clipboard's contents with the block (when format is not 0) and the text (when
  // given) together. False when the clipboard could not be opened or memory was short; the
  // previous contents may then be gone, never half-written.
  static bool Write(ClipboardFormat format, const std::optional<std::string>& block,
                    const std::optional<std::string>& text);
  // Empties the clipboard.
  static bool Clear();

  // The block of a format, byte for byte as written (the system may round its size up; callers'
  // block formats carry their own end marker). nullopt when absent or unreadable.
  static std::optional<std::string> ReadBlock(ClipboardFormat format);
  // The 8-bit text, without its terminating zero. nullopt when there is no text.
  static std::optional<std::string> ReadText();

  static bool HasBlock(ClipboardFormat format);
  static bool HasText();
};

}  // namespace platform
