#pragma once
// Record numbers of the BIFF8 workbook stream and the fixed values of their fields that the
// reader and writer share.
#include <cstdint>

namespace xls::rec {

constexpr uint16_t kFormula = 0x0006;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kCalcCount = 0x000C;
constexpr uint16_t kCalcMode = 0x000D;
constexpr uint16_t kRefMode = 0x000F;
constexpr uint16_t kProtect = 0x0012;
constexpr uint16_t kPassword = 0x0013;
constexpr uint16_t kExternSheet = 0x0017;
constexpr uint16_t kName = 0x0018;
constexpr uint16_t kWindowProtect = 0x0019;
constexpr uint16_t kSelection = 0x001D;
constexpr uint16_t kDateMode = 0x0022;
constexpr uint16_t kPrintHeaders = 0x002A;
constexpr uint16_t kPrintGridlines = 0x002B;
constexpr uint16_t kFilePass = 0x002F;
constexpr uint16_t kFont = 0x0031;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kWindow1 = 0x003D;
constexpr uint16_t kCodePage = 0x0042;
constexpr uint16_t kDefColWidth = 0x0055;
constexpr uint16_t kColInfo = 0x007D;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kPalette = 0x0092;
constexpr uint16_t kStandardWidth = 0x0099;
constexpr uint16_t kMulRk = 0x00BD;
constexpr uint16_t kMulBlank = 0x00BE;
constexpr uint16_t kRString = 0x00D6;
constexpr uint16_t kDbCell = 0x00D7;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kMergedCells = 0x00E5;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kExtSst = 0x00FF;
constexpr uint16_t kTabId = 0x013D;
constexpr uint16_t kSupBook = 0x01AE;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kBlank = 0x0201;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kBoolErr = 0x0205;
constexpr uint16_t kString = 0x0207;
constexpr uint16_t kRow = 0x0208;
constexpr uint16_t kIndex = 0x020B;
constexpr uint16_t kArray = 0x0221;
constexpr uint16_t kDefaultRowHeight = 0x0225;
constexpr uint16_t kWindow2 = 0x023E;
constexpr uint16_t kRk = 0x027E;
constexpr uint16_t kStyle = 0x0293;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kShrFmla = 0x04BC;
constexpr uint16_t kBof = 0x0809;

// Largest data part of one record; longer data continues in CONTINUE records.
constexpr uint32_t kMaxRecordData = 8224;

// BOF: version and substream types.
constexpr uint16_t kBiff8Version = 0x0600;
constexpr uint16_t kBofGlobals = 0x0005;
constexpr uint16_t kBofWorksheet = 0x0010;
constexpr uint16_t kBofChart = 0x0020;
constexpr uint16_t kBofMacroSheet = 0x0040;

// Option byte of a unicode string.
constexpr uint8_t kStrWide = 0x01;      // characters are UTF-16, else the low byte only
constexpr uint8_t kStrExtended = 0x04;  // a 32-bit size of extended (phonetic) data follows
constexpr uint8_t kStrRich = 0x08;      // a 16-bit count of 4-byte formatting runs follows

}  // namespace xls::rec
