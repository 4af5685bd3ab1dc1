// Font metrics from font files read with FreeType. The usual Windows faces map to
// metric-compatible free faces (Arial and Helvetica to Liberation Sans, Times New Roman to
// Liberation Serif, Courier New to Liberation Mono) or, for the user-interface faces (Tahoma,
// MS Sans Serif, Verdana), to DejaVu Sans; other names try Liberation Sans, then DejaVu Sans.
// Files are looked up in the directories of SS_FONT_DIRS (colon-separated) and then in the
// usual system font directories. The advance widths of all 256 characters of the code page
// are read once, so measuring needs no FreeType state afterwards.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>

#include "platform/CodePage.h"
#include "platform/FontMetrics.h"

namespace platform {
namespace {

const char* const kSystemFontDirs[] = {
    "/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/dejavu",     "/usr/share/fonts/TTF",
    "/usr/share/fonts/liberation",          "/usr/share/fonts/dejavu",
};

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> FontDirs() {
  std::vector<std::string> dirs;
  if (const char* env = std::getenv("SS_FONT_DIRS")) {
    std::string list(env);
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      if (end > start) dirs.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const char* d : kSystemFontDirs) dirs.emplace_back(d);
  return dirs;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Families to try, in order: file name stems without the style suffix.
std::vector<std::string> Families(const std::string& face) {
  const std::string f = Lower(face);
  if (f == "times new roman" || f == "times") return {"LiberationSerif", "DejaVuSerif"};
  if (f == "courier new" || f == "courier") return {"LiberationMono", "DejaVuSansMono"};
  if (f == "tahoma" || f == "ms sans serif" || f == "verdana" || f == "ms shell dlg")
    return {"DejaVuSans", "LiberationSans"};
  return {"LiberationSans", "DejaVuSans"};
}

// Style suffixes for a family: Liberation uses Italic, DejaVu Oblique.
std::vector<std::string> Suffixes(const std::string& family, bool bold, bool italic) {
  const bool dejavu = family.rfind("DejaVu", 0) == 0;
  const std::string slant = dejavu ? "Oblique" : "Italic";
  std::vector<std::string> out;
  if (bold && italic) out.push_back("-Bold" + slant);
  if (bold) out.emplace_back("-Bold");
  if (italic) out.push_back("-" + slant);
  out.push_back(dejavu ? "" : "-Regular");
  return out;
}

struct Found {
  std::string path;
  bool bold = false;  // the file has the weight asked for
};

Found FindFontFile(const FontDescription& font) {
  const auto dirs = FontDirs();
  for (const auto& family : Families(font.face)) {
    for (const auto& suffix : Suffixes(family, font.bold, font.italic)) {
      for (const auto& dir : dirs) {
        const std::string path = dir + "/" + family + suffix + ".ttf";
        if (FileExists(path)) return Found{path, suffix.find("Bold") != std::string::npos};
      }
    }
  }
  return {};
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

class FreeTypeFontMetrics : public IFontMetrics {
 public:
  TextMetrics Metrics() const override { return metrics_; }
  int TextWidth(std::string_view text) const override {
    int64_t width = 0;
    for (char c : text) width += advances_[static_cast<unsigned char>(c)];
    return static_cast<int>(std::min<int64_t>(width, INT32_MAX));
  }
  bool IsMeasured() const override { return true; }

  // False when the file cannot be read as a scalable font.
  bool Load(const std::string& path, const FontDescription& font, bool syntheticBold) {
    std::lock_guard lock(LibraryMutex());
    FT_Library lib = Library();
    if (!lib) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) return false;
    bool ok = FT_IS_SCALABLE(face) && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.PixelSize())) == 0;
    if (ok) {
      // Rounded outwards, as a screen font's cell is.
      metrics_.ascent = static_cast<int>((face->size->metrics.ascender + 63) / 64);
      metrics_.descent = static_cast<int>((-face->size->metrics.descender + 63) / 64);
      metrics_.height = metrics_.ascent + metrics_.descent;
      for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const std::u16string unit = AnsiToUtf16(std::string_view(&ch, 1));
        int advance = 0;
        if (c >= 32 && !unit.empty() && FT_Load_Char(face, unit[0], FT_LOAD_DEFAULT) == 0)
          advance = static_cast<int>((face->glyph->advance.x + 32) / 64);
        // A bold face made from the regular one is one pixel wider per character.
        advances_[c] = advance + (syntheticBold && advance > 0 ? 1 : 0);
      }
    }
    FT_Done_Face(face);
    return ok && metrics_.height > 0;
  }

 private:
  TextMetrics metrics_;
  std::array<int, 256> advances_{};
};

}  // namespace

FontFile LocateFontFile(const FontDescription& font) {
  const Found file = FindFontFile(font);
  if (file.path.empty()) return {};
  return FontFile{file.path, font.bold && !file.bold};
}

std::unique_ptr<IFontMetrics> CreateFontMetrics(const FontDescription& font) {
  const Found file = FindFontFile(font);
  if (!file.path.empty()) {
    auto metrics = std::make_unique<FreeTypeFontMetrics>();
    if (metrics->Load(file.path, font, font.bold && !file.bold)) return metrics;
  }
  return CreateEstimatedFontMetrics(font);
}

}  // namespace platform
