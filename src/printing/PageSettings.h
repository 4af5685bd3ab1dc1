#pragma once
// What a page looks like: paper, orientation, margins, header and footer, scaling. Lengths are
// in thousandths of a millimetre, as the window's printer settings store them. The settings
// live with the window (nothing is written to the registry or to disk).
#include <cstdint>
#include <string>

namespace printing {

enum class Orientation : uint8_t { Portrait, Landscape };

struct PaperSize {
  int code;  // the system's paper code (9 = A4)
  const char* name;
  int width;  // portrait, 1/1000 mm
  int height;
};

// The paper sizes the page setup offers, A4 first.
const PaperSize* PaperSizes(size_t& count);
const PaperSize* FindPaper(int code);

struct PageSettings {
  int paperCode = 9;  // A4
  int paperWidth = 210000;
  int paperHeight = 297000;
  Orientation orientation = Orientation::Portrait;
  int marginLeft = 12700;
  int marginTop = 12700;
  int marginRight = 12700;
  int marginBottom = 12700;
  int headerDistance = 6350;  // from the paper's top edge to the header text
  int footerDistance = 6350;  // from the paper's bottom edge to the footer text
  // "&P" is replaced by the page number and "&N" by the page count.
  std::string headerText;
  std::string footerText;
  int scalePercent = 100;  // 10..400; ignored when fitting to pages
  int fitPagesWide = 0;    // 0: no fitting
  int fitPagesTall = 0;

  // The paper's size as printed (turned for landscape).
  int PageWidth() const;
  int PageHeight() const;
  // The printable area inside the margins, 1/1000 mm.
  int PrintableWidth() const { return PageWidth() - marginLeft - marginRight; }
  int PrintableHeight() const { return PageHeight() - marginTop - marginBottom; }
  bool operator==(const PageSettings&) const = default;
};

constexpr int kMinScalePercent = 10;
constexpr int kMaxScalePercent = 400;
// The smallest printable side the page setup accepts: 10 mm.
constexpr int kMinPrintable = 10000;

// Empty when the settings are usable; otherwise a message naming the first field at fault
// ("The left and right margins leave no printable width", ...).
std::string ValidatePageSettings(const PageSettings& settings);

// 1/1000 mm to screen pixels (96 per inch) and to points (72 per inch).
double MmToPixels(int thousandths);
double MmToPoints(int thousandths);

// The header or footer text of a page: "&P" the 1-based page number, "&N" the page count,
// "&&" one ampersand.
std::string ExpandPageText(const std::string& text, size_t page, size_t pageCount);

}  // namespace printing
