#include "workbook/TSSClipboard.h"

#include "platform/Clipboard.h"
#include "platform/CodePage.h"

namespace workbook {

void PlatformClipboard::Clear() {
  format_.clear();
  data_.reset();
  text_.reset();
  platform::Clipboard::Clear();
}

void PlatformClipboard::WritePending() {
  const platform::ClipboardFormat id = data_ ? platform::Clipboard::RegisterFormat(format_) : 0;
  platform::Clipboard::Write(id, data_, text_);
}

void PlatformClipboard::SetData(const std::string& format, const std::string& bytes) {
  format_ = format;
  data_ = bytes;
  WritePending();
}

std::optional<std::string> PlatformClipboard::GetData(const std::string& format) const {
  const platform::ClipboardFormat id = platform::Clipboard::RegisterFormat(format);
  if (id == 0) return std::nullopt;
  return platform::Clipboard::ReadBlock(id);
}

void PlatformClipboard::SetText(const std::u16string& text) {
  text_ = platform::Utf16ToAnsi(text);
  WritePending();
}

std::optional<std::u16string> PlatformClipboard::GetText() const {
  auto text = platform::Clipboard::ReadText();
  if (!text) return std::nullopt;
  return platform::AnsiToUtf16(*text);
}

std::optional<std::string> PlatformClipboard::GetAnsiText() const {
  return platform::Clipboard::ReadText();
}

}  // namespace workbook
