#pragma once
// Reading and writing cell and range references in A1 and R1C1 notation.
//
// A reference part is either absolute (it holds the column or row index itself) or relative
// (it holds the offset from the cell that holds the formula). A1 texts are read relative to a
// holding cell: "B3" read in C5 gives column offset -1 and row offset -2. R1C1 texts carry
// their offsets explicitly ("R[-2]C[-1]"). Sheet-qualified references are read and written
// relative to the origin (holder (0, 0)) so that their parts are plain indices.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "workbook/Geometry.h"

namespace workbook {

enum class RefNotation : uint8_t { A1, R1C1 };

struct CellReference {
  int32_t col = 0;  // index when colAbsolute, otherwise offset from the holding cell
  int32_t row = 0;
  bool colAbsolute = false;
  bool rowAbsolute = false;
  friend bool operator==(const CellReference&, const CellReference&) = default;

  // The referenced cell as seen from a holding cell; a negative coordinate means the reference
  // is invalid there ("#REF!"). Sums beyond the 32-bit range also give -1.
  TPoint Resolve(TPoint holder) const;
  bool IsValidFrom(TPoint holder) const;
  // A reference with the given parts that points at `target` from `holder`.
  static CellReference To(TPoint target, TPoint holder, bool colAbsolute, bool rowAbsolute);
};

struct RangeReference {
  CellReference first;
  CellReference last;  // equal to first for a single cell
  bool isRange = false;
  friend bool operator==(const RangeReference&, const RangeReference&) = default;
};

// Reads one cell reference at text[pos...] (upper-casing as it goes). Returns the number of
// characters taken, or 0 when no reference starts there. A reference must not run on into a
// letter, digit, "_" or "$" (so "A1B" or "R1C1X" are no references).
size_t ScanCellReference(std::string_view text, size_t pos, TPoint holder, RefNotation notation,
                         CellReference& ref);
// Reads a cell reference or a range "ref:ref" at text[pos...]; returns the characters taken.
size_t ScanRangeReference(std::string_view text, size_t pos, TPoint holder, RefNotation notation,
                          RangeReference& range);

// The whole text must be one cell reference / one cell or range reference.
bool ParseCellReference(std::string_view text, TPoint holder, RefNotation notation,
                        CellReference& ref);
bool ParseRangeReference(std::string_view text, TPoint holder, RefNotation notation,
                         RangeReference& range);

std::string CellReferenceText(const CellReference& ref, TPoint holder, RefNotation notation);
std::string RangeReferenceText(const RangeReference& range, TPoint holder, RefNotation notation);

// A reference with an optional sheet prefix: Sheet2!B4, 'My sheet'!A1:B2.
struct QualifiedReference {
  std::optional<std::string> sheet;  // the name as written, quotes removed
  RangeReference range;
};

// Reads [sheet!]ref[:ref] as a whole text. With a sheet prefix the parts are read relative to
// the origin; without one, relative to holder. Inside quotes '' stands for one quote.
bool ParseQualifiedReference(std::string_view text, TPoint holder, RefNotation notation,
                             QualifiedReference& ref);
// The sheet caption as a prefix "Caption!"; quoted when it holds a blank, a quote or "!".
std::string SheetPrefix(std::string_view caption);
// Caption!ref written relative to the origin.
std::string QualifiedReferenceText(std::string_view caption, const RangeReference& range,
                                   RefNotation notation);

// A single absolute cell name such as "B2" (upper or lower case) to its coordinates; false for
// anything else. Used where host actions name a cell.
bool CellNameToPoint(std::string_view name, TPoint& cell);
std::string PointToCellName(TPoint cell);

}  // namespace workbook
