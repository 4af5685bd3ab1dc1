#pragma once
// Which editor dialog serves which action, and what it shows: one table row per action id
// with the dialog class, the window caption and the variable labels. The classes differ in
// their fields (EditorClass); most take their labels from the row, so one class serves
// several actions.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace plugin {

enum class EditorClass {
  Note,         // TEditForm1: only the rectangle field and a fixed note
  FilePath,     // TEditForm2: a file field with a browse button
  CheckState,   // TEditForm3: a label and a check box giving "1" or "0"
  OneEdit,      // TEditForm4: one edit
  Colour,       // TEditForm5: a colour swatch with a colour dialog
  FixColour,    // TEditForm6: two edits with fixed labels
  Rect,         // TEditForm8: four spin edits
  CellEdits,    // TEditForm9: three edits, the third labelled per action
  TwoEdits,     // TEditForm10: two edits, labelled per action
  RectClear,    // TEditForm18: four spin edits and one edit
  Stream,       // TEditForm21: file field, object name, password and compression
  RectVisible,  // TEditForm28: four spin edits and three edits
};

struct EditorSpec {
  int32_t id;
  EditorClass editorClass;
  const char* className;  // "TEditForm3"
  const char* caption;
  // Per-action texts: the labels of the variable fields in order, and for the check-box
  // class the box's caption, for the colour class the default colour text.
  const char* label1;
  const char* label2;
  const char* extra;
};

// The 45 rows, one per catalogue action.
std::span<const EditorSpec> EditorSpecs();
// The row of an action id; nullptr for ids without an editor.
const EditorSpec* FindEditorSpec(int32_t id);

// The fixed note of the note class.
inline constexpr const char* kEditorNote =
    "The object specified here must be of type Rectangle. Attaching controls to other types of "
    "objects is not recommended. This action requires NeoBook version 4.0.9 or higher.";

}  // namespace plugin
