#include "plugin/editors/EditorSpecs.h"

#include <algorithm>

namespace plugin {

namespace {

using C = EditorClass;

constexpr const char* kPlugin = "Plugin Properties";
constexpr const char* kChart = "Chart Properties";
constexpr const char* kTable = "Table Name Properties";
constexpr const char* kShift = "Style: 0 (Shift Col) 1 (Shift Row) 2 (Insert Col) 3 (Insert Row)";
constexpr const char* kDelete = "Style: 0 (Shift Col) 1 (Shift Row) 2 (Delete Col) 3 (Delete Row)";
constexpr const char* kLock = "State: 0 Free 1 Lock";

// clang-format off
constexpr EditorSpec kSpecs[] = {
  {1, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {2, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {34, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {38, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {39, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {56, C::Note, "TEditForm1", kPlugin, "", "", ""},
  {6, C::FilePath, "TEditForm2", kChart, "Full path of the SpreadSheet file", "", ""},
  {7, C::FilePath, "TEditForm2", kChart, "Full path of the SpreadSheet file", "", ""},
  {5, C::CheckState, "TEditForm3", kTable, "ToolBar", "", "Visible"},
  {9, C::CheckState, "TEditForm3", kTable, "Headers", "", "Show"},
  {10, C::CheckState, "TEditForm3", kTable, "Grid Lines", "", "Show"},
  {11, C::CheckState, "TEditForm3", kTable, "Caption Bar", "", "Show"},
  {12, C::CheckState, "TEditForm3", kTable, "Scroll Bars", "", "Show"},
  {14, C::CheckState, "TEditForm3", kTable, "R1C1 Style", "", "On"},
  {17, C::CheckState, "TEditForm3", kTable, "Status Bar", "", "Show"},
  {57, C::CheckState, "TEditForm3", kTable, "Print Only selected", "", "Only Selected area"},
  {58, C::CheckState, "TEditForm3", kTable, "Headers", "", "Print"},
  {8, C::OneEdit, "TEditForm4", kChart, "SheetName", "", ""},
  {29, C::OneEdit, "TEditForm4", kChart, "SheetName", "", ""},
  {15, C::OneEdit, "TEditForm4", kChart, kShift, "", ""},
  {22, C::OneEdit, "TEditForm4", kChart, kDelete, "", ""},
  {30, C::OneEdit, "TEditForm4", kChart, "Sheet Index", "", ""},
  {35, C::OneEdit, "TEditForm4", kChart, "Sheet Index", "", ""},
  {43, C::OneEdit, "TEditForm4", kChart, "Cell", "", ""},
  {100, C::OneEdit, "TEditForm4", kChart, "VariableName", "", ""},
  {18, C::Colour, "TEditForm5", kChart, "Header Color", "", "236233216"},
  {19, C::Colour, "TEditForm5", kChart, "Selection Color", "", "049106197"},
  {20, C::Colour, "TEditForm5", kChart, "Grid Lines Color", "", "236233216"},
  {21, C::Colour, "TEditForm5", kChart, "Grid BG Color", "", "255255255"},
  {101, C::FixColour, "TEditForm6", "Fix Color Function Properties", "Value or Var to be converted",
   "Destination Variable: Just the name, without the [ ] brackets. Will be joined with Rectangle "
   "name. Final result example: [Rectangle1.YourVar]", ""},
  {13, C::CellEdits, "TEditForm9", kPlugin, "Value", "", ""},
  {16, C::CellEdits, "TEditForm9", kPlugin, "Edit Mode: 0 normal 1-Edit", "", ""},
  {27, C::TwoEdits, "TEditForm10", kPlugin, "Column", kLock, ""},
  {28, C::TwoEdits, "TEditForm10", kPlugin, "Row", kLock, ""},
  {31, C::TwoEdits, "TEditForm10", kPlugin, "Sheet Index", "New Name", ""},
  {40, C::TwoEdits, "TEditForm10", kPlugin, "Column", "New Width", ""},
  {41, C::TwoEdits, "TEditForm10", kPlugin, "Row", "New Height", ""},
  {42, C::TwoEdits, "TEditForm10", kPlugin, "Cell", "Value", ""},
  {23, C::Rect, "TEditForm8", kPlugin, "", "", ""},
  {24, C::Rect, "TEditForm8", kPlugin, "", "", ""},
  {50, C::Rect, "TEditForm8", kPlugin, "", "", ""},
  {25, C::RectClear, "TEditForm18", kPlugin, "", "", ""},
  {26, C::RectVisible, "TEditForm28", kPlugin, "", "", ""},
  {36, C::Stream, "TEditForm21", "PlugIn Properties", "", "", ""},
  {37, C::Stream, "TEditForm21", "PlugIn Properties", "", "", ""},
};
// clang-format on

}  // namespace

std::span<const EditorSpec> EditorSpecs() { return kSpecs; }

const EditorSpec* FindEditorSpec(int32_t id) {
  auto found = std::find_if(std::begin(kSpecs), std::end(kSpecs),
                            [id](const EditorSpec& spec) { return spec.id == id; });
  return found != std::end(kSpecs) ? found : nullptr;
}

}  // namespace plugin
