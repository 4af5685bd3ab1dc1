#include "platform/FontMetrics.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

namespace platform {

int FontDescription::PixelSize() const {
  const int pixels = sizeInPixels ? size : (size * kScreenPixelsPerInch + 36) / 72;
  return std::max(1, pixels);
}

namespace {
class EstimatedFontMetrics : public FontMetrics {
 public:
  explicit EstimatedFontMetrics(const FontDescription& font)
      : em_(font.PixelSize()), bold_(font.bold) {}
  TextMetrics Metrics() const override {
    TextMetrics m;
    m.height = em_ * 6 / 5 + 1;
    m.descent = std::max(1, m.height / 5);
    m.ascent = m.height - m.descent;
    return m;
  }
  int TextWidth(std::string_view text) const override {
    const int perChar = std::max(1, em_ * 3 / 4) + (bold_ ? 1 : 0);
    return static_cast<int>(std::min<size_t>(text.size(), 1u << 20)) * perChar;
  }
  bool IsMeasured() const override { return false; }

 private:
  int em_;
  bool bold_;
};

// Longest prefix of word (at least one character) that fits in width.
size_t FittingPrefix(const FontMetrics& metrics, std::string_view word, int width) {
  size_t lo = 1, hi = word.size();
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (metrics.TextWidth(word.substr(0, mid)) <= width)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

void BreakParagraph(const FontMetrics& metrics, std::string_view paragraph, int width,
                    std::vector<std::string>& lines) {
  std::string line;
  size_t i = 0;
  bool any = false;
  while (i <= paragraph.size()) {
    size_t end = paragraph.find(' ', i);
    if (end == std::string_view::npos) end = paragraph.size();
    std::string_view word = paragraph.substr(i, end - i);
    const std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (line.empty() || metrics.TextWidth(candidate) <= width) {
      line = candidate;
    } else {
      lines.push_back(line);
      any = true;
      line = std::string(word);
    }
    // A word wider than the line is broken between characters.
    while (line.size() > 1 && metrics.TextWidth(line) > width) {
      const size_t fit = FittingPrefix(metrics, line, width);
      lines.push_back(line.substr(0, fit));
      any = true;
      line.erase(0, fit);
    }
    if (end == paragraph.size()) break;
    i = end + 1;
  }
  if (!line.empty() || !any) lines.push_back(line);
}
}  // namespace

std::unique_ptr<FontMetrics> CreateEstimatedFontMetrics(const FontDescription& font) {
  return std::make_unique<EstimatedFontMetrics>(font);
}

const FontMetrics& SharedFontMetrics(const FontDescription& font) {
  using Key = std::tuple<std::string, int, bool, bool, bool>;
  static std::mutex mutex;
  static std::map<Key, std::unique_ptr<FontMetrics>> cache;
  std::lock_guard lock(mutex);
  auto& slot = cache[Key{font.face, font.size, font.sizeInPixels, font.bold, font.italic}];
  if (!slot) slot = CreateFontMetrics(font);
  return *slot;
}

std::vector<std::string> BreakLines(const FontMetrics& metrics, std::string_view text, int width) {
  width = std::max(1, width);
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    std::string_view paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    BreakParagraph(metrics, paragraph, width, lines);
    if (last) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace platform
