#include "workbook/TSSClipboard.h"

namespace workbook {
namespace {
IClipboard*& Installed() {
  static IClipboard* installed = nullptr;
  return installed;
}
}  // namespace

IClipboard& Clipboard() {
  static MemoryClipboard processWide;
  IClipboard* installed = Installed();
  return installed ? *installed : processWide;
}

void SetClipboard(IClipboard* clipboard) { Installed() = clipboard; }

}  // namespace workbook
