#pragma once
// Cursor shapes a control or the whole process can show.
namespace ui {

enum class CursorShape {
  Default,
  Arrow,
  IBeam,
  Wait,
  Cross,
  SizeWE,
  SizeNS,
  SizeAll,
  HandPoint,
  No
};

const char* CursorShapeName(CursorShape shape);

}  // namespace ui
