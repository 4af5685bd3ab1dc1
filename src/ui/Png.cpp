// PNG files through zlib, on both builds. Written files are 8-bit RGBA without interlacing;
// read files may be 8-bit grey, RGB, palette, grey+alpha or RGBA without interlacing, which
// covers every file this system writes and the icon files it is given.
//
// File layout (all integers big-endian):
//   offset 0   8 bytes  signature 89 50 4E 47 0D 0A 1A 0A
//   then chunks: length (4), type (4), data (length), CRC-32 of type and data (4)
//   IHDR (13): width (4), height (4), bit depth (1), colour type (1), compression (1, 0),
//              filter method (1, 0), interlace (1, 0 = none)
//   PLTE: RGB triples; tRNS: alpha per palette entry; IDAT: zlib stream, concatenated;
//   IEND: empty, last.
// The inflated data is one filter byte (0 none, 1 sub, 2 up, 3 average, 4 Paeth) per row,
// then the row's bytes.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ui/Image.h"

namespace ui {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Larger images are refused before anything is allocated.
constexpr uint64_t kMaxPixels = 64u * 1024 * 1024;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Get32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
  Put32(out, static_cast<uint32_t>(crc));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

Image Fail(std::string* error, const std::string& what) {
  if (error) *error = what;
  return Image();
}

}  // namespace

std::vector<uint8_t> EncodePng(const Image& image) {
  const int w = image.Width(), h = image.Height();
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(h) * (1 + static_cast<size_t>(w) * 4));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < w; ++x) {
      const Rgba p = image.At(x, y);
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    return {};
  packed.resize(packedSize);

  std::vector<uint8_t> out(std::begin(kSignature), std::end(kSignature));
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(w));
  Put32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const Image& image, const std::string& path) {
  const std::vector<uint8_t> bytes = EncodePng(image);
  if (bytes.empty()) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

Image ReadPng(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(error, path + ": cannot be opened");
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  std::string why;
  Image image = DecodePng(bytes, &why);
  if (image.IsEmpty()) return Fail(error, path + ": " + why);
  return image;
}

Image DecodePng(std::span<const uint8_t> bytes, std::string* error) {
  if (bytes.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
    return Fail(error, "not a PNG file (signature)");
  size_t at = 8;
  uint32_t width = 0, height = 0;
  int depth = 0, colourType = -1;
  std::vector<uint8_t> palette, alpha, packed;
  bool ended = false;
  while (!ended) {
    if (bytes.size() - at < 12)
      return Fail(error, "truncated chunk at offset " + std::to_string(at));
    const uint32_t length = Get32(&bytes[at]);
    if (length > bytes.size() - at - 12)
      return Fail(error, "chunk length " + std::to_string(length) + " beyond the file at offset " +
                             std::to_string(at));
    const uint8_t* type = &bytes[at + 4];
    const uint8_t* data = type + 4;
    const uLong crc = crc32(0L, type, length + 4);
    if (crc != Get32(data + length))
      return Fail(error, "CRC mismatch in chunk at offset " + std::to_string(at));
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if (name == "IHDR") {
      if (length != 13) return Fail(error, "IHDR of length " + std::to_string(length));
      width = Get32(data);
      height = Get32(data + 4);
      depth = data[8];
      colourType = data[9];
      if (data[10] != 0 || data[11] != 0)
        return Fail(error, "unknown compression or filter method");
      if (data[12] != 0) return Fail(error, "interlaced images are not read");
    } else if (name == "PLTE") {
      palette.assign(data, data + length);
    } else if (name == "tRNS") {
      alpha.assign(data, data + length);
    } else if (name == "IDAT") {
      packed.insert(packed.end(), data, data + length);
    } else if (name == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (colourType < 0) return Fail(error, "no IHDR chunk");
  if (depth != 8) return Fail(error, "bit depth " + std::to_string(depth) + " is not read");
  int channels = 0;
  switch (colourType) {
    case 0:
      channels = 1;
      break;
    case 2:
      channels = 3;
      break;
    case 3:
      channels = 1;
      break;
    case 4:
      channels = 2;
      break;
    case 6:
      channels = 4;
      break;
    default:
      return Fail(error, "colour type " + std::to_string(colourType) + " is unknown");
  }
  if (width == 0 || height == 0 || uint64_t{width} * height > kMaxPixels)
    return Fail(error,
                "size " + std::to_string(width) + " x " + std::to_string(height) + " refused");
  const size_t rowBytes = static_cast<size_t>(width) * channels;
  std::vector<uint8_t> raw(static_cast<size_t>(height) * (rowBytes + 1));
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      rawSize != raw.size())
    return Fail(error, "image data does not inflate to " + std::to_string(raw.size()) + " bytes");

  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  std::vector<uint8_t> previous(rowBytes, 0), row(rowBytes);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* line = &raw[y * (rowBytes + 1)];
    const uint8_t filter = line[0];
    if (filter > 4)
      return Fail(error, "row " + std::to_string(y) + " has filter " + std::to_string(filter));
    for (size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= static_cast<size_t>(channels) ? row[i - channels] : 0;
      const int b = previous[i];
      const int c = i >= static_cast<size_t>(channels) ? previous[i - channels] : 0;
      int predictor = 0;
      if (filter == 1) predictor = a;
      if (filter == 2) predictor = b;
      if (filter == 3) predictor = (a + b) / 2;
      if (filter == 4) predictor = Paeth(a, b, c);
      row[i] = static_cast<uint8_t>(line[1 + i] + predictor);
    }
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* out = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      const uint8_t* in = &row[static_cast<size_t>(x) * channels];
      switch (colourType) {
        case 0:
          out[0] = out[1] = out[2] = in[0];
          out[3] = 255;
          break;
        case 2:
          out[0] = in[0];
          out[1] = in[1];
          out[2] = in[2];
          out[3] = 255;
          break;
        case 4:
          out[0] = out[1] = out[2] = in[0];
          out[3] = in[1];
          break;
        case 6:
          std::copy(in, in + 4, out);
          break;
        case 3: {
          const size_t index = in[0];
          if (index * 3 + 2 >= palette.size())
            return Fail(error, "palette index " + std::to_string(index) + " beyond the palette");
          out[0] = palette[index * 3];
          out[1] = palette[index * 3 + 1];
          out[2] = palette[index * 3 + 2];
          out[3] = index < alpha.size() ? alpha[index] : 255;
          break;
        }
      }
    }
    previous.swap(row);
  }
  return Image::FromRgbaBytes(static_cast<int>(width), static_cast<int>(height), rgba);
}

}  // namespace ui
