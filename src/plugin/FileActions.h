#pragma once
// File and stream actions: load and save workbook files, start a new book, load and save a
// workbook as a named stream inside an existing single-file store.
#include "plugin/ActionCatalogue.h"

namespace plugin {

inline constexpr const char* kCodeNoFile = "zkSSH-004";
inline constexpr const char* kCodeEditing = "zkSSH-100";

bool LoadAction(AttachedSpread& window, const ActionParams& params);
bool SaveAction(AttachedSpread& window, const ActionParams& params);
bool NewAction(AttachedSpread& window, const ActionParams& params);
bool LoadFromStreamAction(AttachedSpread& window, const ActionParams& params);
bool SaveToStreamAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
