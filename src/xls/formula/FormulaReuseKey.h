#pragma once
// Most formulas of a sheet repeat one pattern row after row ("=A5+B5", "=A6+B6", ...). The
// engine keeps a relative reference as its distance from the formula's cell, so such
// formulas compile to the same tokens; the reader compiles each pattern once and hands the
// compiled tokens to the next cells. The key names the pattern: the token bytes with every
// relative row and column of a plain reference replaced by its distance from the cell.
#include <cstdint>
#include <span>
#include <string>

namespace xls {

// Empty when the formula must be compiled on its own: tokens that cannot be walked to their
// end, a pointer to a shared or table formula, or an array constant (whose values lie
// outside the token bytes).
std::string FormulaReuseKey(std::span<const uint8_t> tokens, int32_t column, int32_t row);
// The same into `key`, whose memory is reused from call to call (one call per formula cell
// of a file); false when it is empty.
bool FormulaReuseKey(std::span<const uint8_t> tokens, int32_t column, int32_t row,
                     std::string& key);

}  // namespace xls
