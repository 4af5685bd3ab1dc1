#include "xls/biff/DefaultRecords.h"

#include "xls/biff/RecordIds.h"

namespace xls::defaults {

namespace {
XfRecord Xf(const std::array<uint8_t, 20>& bytes) { return XfRecord::Parse(bytes.data()); }
}  // namespace

RecordBuilder Window1() {
  static constexpr std::array<uint8_t, 18> kData = {0xE0, 0x01, 0x69, 0x00, 0xCC, 0x42,
                                                    0x7F, 0x26, 0x38, 0x00, 0x00, 0x00,
                                                    0x00, 0x00, 0x01, 0x00, 0x58, 0x02};
  RecordBuilder b(rec::kWindow1);
  b.Bytes(kData);
  return b;
}

FontRecord Font() { return FontRecord{}; }

std::vector<FormatRecord> Formats() {
  return {FormatRecord{164, u"dd/mm/yy"}, FormatRecord{165, u"dd\\.mmmm\\.yy"}};
}

const std::array<XfRecord, 17>& Xfs() {
  static const std::array<XfRecord, 17> kXfs = [] {
    constexpr std::array<uint8_t, 20> kFirst = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20,
                                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr std::array<uint8_t, 20> kStyle = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20,
                                                0x00, 0x00, 0xF4, 0x00, 0x00, 0x00, 0x00,
                                                0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr std::array<uint8_t, 20> kCell = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20,
                                               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                               0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    constexpr std::array<uint8_t, 20> kBuiltIn = {0x01, 0x00, 0x2B, 0x00, 0xF5, 0xFF, 0x20,
                                                  0x00, 0x00, 0xF8, 0x00, 0x00, 0x00, 0x00,
                                                  0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    std::array<XfRecord, 17> xfs;
    xfs[0] = Xf(kFirst);
    for (int i = 1; i <= 14; ++i) xfs[i] = Xf(kStyle);
    // XF 1 and 2 use font 1, XF 3 and 4 font 2.
    xfs[1].font = xfs[2].font = 1;
    xfs[3].font = xfs[4].font = 2;
    xfs[15] = Xf(kCell);
    xfs[16] = Xf(kBuiltIn);
    return xfs;
  }();
  return kXfs;
}

std::vector<RecordBuilder> Styles() {
  static constexpr uint8_t kStyles[6][4] = {{0x10, 0x80, 0x03, 0xFF}, {0x11, 0x80, 0x06, 0xFF},
                                            {0x12, 0x80, 0x04, 0xFF}, {0x13, 0x80, 0x07, 0xFF},
                                            {0x00, 0x80, 0x00, 0xFF}, {0x14, 0x80, 0x05, 0xFF}};
  std::vector<RecordBuilder> out;
  for (const auto& s : kStyles) {
    RecordBuilder b(rec::kStyle);
    b.Bytes(s);
    out.push_back(std::move(b));
  }
  return out;
}

}  // namespace xls::defaults
