#pragma once
// Text measuring for layout decisions such as automatic row heights: the vertical metrics of a
// font, the width of an 8-bit text (system code page) and line breaking at a width. Windows
// measures with the system's fonts on a screen-compatible device; the portable build reads
// font files (faces of the usual Windows names map to metric-compatible free faces). When no
// font can be opened, an estimate from the size stands in and IsMeasured() says so.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Screen resolution the measurements assume.
constexpr int kScreenPixelsPerInch = 96;

struct FontDescription {
  std::string face;       // "Arial", "Tahoma", ...; empty means the default face
  int size = 10;          // points, or pixels when sizeInPixels
  bool sizeInPixels = false;
  bool bold = false;
  bool italic = false;

  // Em height in screen pixels (at least 1).
  int PixelSize() const;
  bool operator==(const FontDescription&) const = default;
};

struct TextMetrics {
  int height = 0;  // ascent + descent, pixels
  int ascent = 0;
  int descent = 0;
};

class IFontMetrics {
 public:
  virtual ~IFontMetrics() = default;
  virtual TextMetrics Metrics() const = 0;
  // Width in pixels of a single-line text.
  virtual int TextWidth(std::string_view text) const = 0;
  // False when the numbers are an estimate because no font could be opened.
  virtual bool IsMeasured() const = 0;
};

// Metrics of a font; never null (falls back to the estimate).
std::unique_ptr<IFontMetrics> CreateFontMetrics(const FontDescription& font);
// A process-wide cached instance per description, alive until the process ends.
const IFontMetrics& SharedFontMetrics(const FontDescription& font);

// The font file the portable build measures a font with (and the canvas paints it with), and
// whether that file lacks the weight asked for so that bold is made from the regular face.
// Empty on Windows, which measures with the system's fonts, and when no file is found.
struct FontFile {
  std::string path;
  bool syntheticBold = false;
};
FontFile LocateFontFile(const FontDescription& font);

// The estimate used without a font: height 6/5 of the em plus 1, average character half the
// width of "Wg" (3/2 em), one pixel more per character when bold.
std::unique_ptr<IFontMetrics> CreateEstimatedFontMetrics(const FontDescription& font);

// Lines of a text at a width: a line feed (CR LF or LF) ends a paragraph, lines break at
// blanks, and a word wider than the width is broken between characters. Every paragraph gives
// at least one line; a width below 1 is taken as 1.
std::vector<std::string> BreakLines(const IFontMetrics& metrics, std::string_view text, int width);

}  // namespace platform
