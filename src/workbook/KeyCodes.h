#pragma once
// Virtual-key codes of the keys the model gives a meaning (the values of the Windows API, used
// on every platform).
#include <cstdint>

namespace workbook {

constexpr uint16_t kKeyTab = 0x09;
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyInsert = 0x2D;
constexpr uint16_t kKeyDelete = 0x2E;
constexpr uint16_t kKeyF2 = 0x71;
constexpr uint16_t kKeyF9 = 0x78;

}  // namespace workbook
