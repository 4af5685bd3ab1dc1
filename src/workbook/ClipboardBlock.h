#pragma once
// The private clipboard block of copied cells (all integers little-endian):
//
// | OFFSET | SIZE   | DESCRIPTION                                                        |
// |--------|--------|--------------------------------------------------------------------|
// | 0      | 16     | source rectangle Left, Top, Right, Bottom (int32, inclusive)       |
// | 16     | 4      | merged-area count n (int32)                                        |
// | 20     | 16 * n | areas meeting the source (int32 x4, exclusive right/bottom)        |
// | ...    | ...    | per column Left..Right, per row Top..Bottom: int32 length + block  |
//
// Cell block: format u16, horz u8, vert u8, word break u8, reserved u8, fill u8, foreground
// u16, background u16, font name (int32 length + bytes), font colour u16, font style u8,
// charset u8, size u8, 4 borders (style u8 + colour u16), style flags u8, data type u8,
// [number: double], [formula: token count u16 + token bytes], text (int32 length + bytes).
#include <cstdint>
#include <functional>
#include <string>

#include "workbook/Errors.h"
#include "workbook/Geometry.h"

namespace workbook {

class TSSDataStorage;

// Sections 1 to 3 of the block for a rectangle of a storage.
std::string CopyBlock(TSSDataStorage& storage, const TRect& rect);

// Writes a block into a storage with its top-left cell at (col, row); `editable` decides per
// target cell. Raises ESpreadSheetError "Cannot change part of merged cells" when the target
// meets an existing merged area and "Invalid clipboard data" for a block too short for its own
// header (nothing changed in either case). Cell blocks that would run past the end stop the
// reading. pasted receives the target rectangle.
void PasteBlock(TSSDataStorage& storage, const std::string& block, int32_t col, int32_t row,
                const std::function<bool(int32_t, int32_t)>& editable, TRect& pasted);

}  // namespace workbook
