#pragma once
// Internal formula tokens (the engine's compiled stream) to the token bytes of a FORMULA
// record. Most internal tokens already have the file's layout and are copied; names and
// references are rewritten:
//
//   INTERNAL              FILE BYTES
//   ptgName  (35, 3)      43 (ptgNameV), index + 1 (2), 00 00
//   ptgRef   (36, 11)     44 (ptgRefV), row (2), column word (2)
//   ptgArea  (37, 21)     25 (ptgArea), first row, last row, first column word, last column word
//   ptgRef3d (58, 13)     5A (ptgRef3dV), sheet = EXTERNSHEET index (2), row, column word
//   ptgArea3d(59, 23)     3B (ptgArea3d), sheet, first row, last row, two column words
//
// A relative part stores an offset from the owning cell: the cell's row or column is added
// and the part's bit is set in the column word (0x8000 row, 0x4000 column). The 3D kinds
// always store indexes, so they are written unchanged with the relative bits still set.
// Rows and columns are written as their low 16 bits (columns 14 bits).
//
// Other spreadsheets read file tokens back as infix text with their own operator order, in
// which ^ binds tighter than * and / and & tighter than the comparisons. Wherever that would
// group the engine's operands differently, a ptgParen token follows the operand, so =2*3^2
// typed here (36) is written as the tokens of =(2*3)^2 (OperatorBinding.h).
#include <cstdint>
#include <span>
#include <vector>

namespace xls {

// Returns false (and leaves `out` empty) when the internal stream is broken (a token runs
// past its end); the writer then leaves the formula out rather than write garbage.
bool ToFileTokens(std::span<const uint8_t> internal, int32_t col, int32_t row,
                  std::vector<uint8_t>& out);

}  // namespace xls
