#pragma once
// Builds a DLGTEMPLATE in memory for DialogBoxIndirectParam: the header words first, then
// one item per control. Items start on DWORD boundaries; texts are written as UTF-16 from
// 8-bit characters, as the dialogs' captions are.
#include <windows.h>

#include <string>
#include <vector>

namespace ui::win32 {

class DialogTemplate {
 public:
  void Word(WORD w) { words_.push_back(w); }
  void DWord(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const std::string& text) {
    for (unsigned char c : text) Word(c);
    Word(0);
  }
  void Align() {
    if (words_.size() % 2 != 0) Word(0);
  }
  // One control of a predefined class (`cls`: 0x0080 button, 0x0081 edit, 0x0082 static...).
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls,
            const std::string& text) {
    Align();
    DWord(style | WS_CHILD | WS_VISIBLE);
    DWord(0);
    for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    Word(id);
    Word(0xFFFF);
    Word(cls);
    Text(text);
    Word(0);
  }
  const WORD* Data() const { return words_.data(); }

 private:
  std::vector<WORD> words_;
};

}  // namespace ui::win32
