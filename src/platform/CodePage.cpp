#include "platform/CodePage.h"

namespace platform {

namespace {
#ifndef _WIN32
// Unicode code points of bytes 0x80..0x9F in Windows-1252; the rest map to themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ByteToUnicode(unsigned char b) {
  if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return b;
}

int UnicodeToByte(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == u) return 0x80 + i;
  return -1;
}
#endif

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}
}  // namespace

#ifndef _WIN32
std::u16string AnsiToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (unsigned char b : text) out += ByteToUnicode(b);
  return out;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  std::string out(text.size(), '\0');
  size_t length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t u = text[i];
    if (u < 0x80) {  // the same in both
      out[length++] = static_cast<char>(u);
      continue;
    }
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size()) ++i;  // a pair is never in 1252
    int b = UnicodeToByte(u);
    out[length++] = b < 0 ? '?' : static_cast<char>(b);
  }
  out.resize(length);
  return out;
}
#endif

std::string AnsiToUtf8(std::string_view text) {
  std::string out;
  for (char16_t u : AnsiToUtf16(text)) AppendUtf8(out, u);
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  std::u16string wide;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = text[i];
    char32_t u = 0;
    int extra = 0;
    if (c < 0x80) {
      u = c;
    } else if ((c & 0xE0) == 0xC0) {
      u = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      u = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      u = c & 0x07;
      extra = 3;
    } else {
      wide += u'?';
      ++i;
      continue;
    }
    if (i + extra >= text.size() + (extra ? 0 : 1)) {
      wide += u'?';
      break;
    }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = text[i + k];
      if ((d & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      u = (u << 6) | (d & 0x3F);
    }
    if (!ok) {
      wide += u'?';
      ++i;
      continue;
    }
    i += extra + 1;
    if (u >= 0x10000) {
      u -= 0x10000;
      wide += static_cast<char16_t>(0xD800 + (u >> 10));
      wide += static_cast<char16_t>(0xDC00 + (u & 0x3FF));
    } else {
      wide += static_cast<char16_t>(u);
    }
  }
  return Utf16ToAnsi(wide);
}

#ifndef _WIN32
// Windows-1252 case mapping; the Windows build asks the system for its own code page.
char UpperChar(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  // Latin-1 letters of the 8-bit page (not the multiplication/division signs or y-diaeresis).
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
  if (b == 0x9A || b == 0x9C || b == 0x9E) return static_cast<char>(b - 16);
  if (b == 0xFF) return static_cast<char>(0x9F);
  return c;
}

char LowerChar(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  if (b == 0x8A || b == 0x8C || b == 0x8E) return static_cast<char>(b + 16);
  if (b == 0x9F) return static_cast<char>(0xFF);
  return c;
}
#endif

std::string AnsiUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar(c);
  return out;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(UpperChar(a[i]));
    unsigned char y = static_cast<unsigned char>(UpperChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

}  // namespace platform
