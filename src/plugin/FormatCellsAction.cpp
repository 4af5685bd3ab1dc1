#include "plugin/FormatCellsAction.h"

#include "plugin/ActionSupport.h"
#include "plugin/Errors.h"
#include "plugin/TNeoSpread.h"

namespace plugin {

bool FormatCellDialogAction(AttachedSpread& window, const ActionParams&) {
  TNeoSpread& spread = SpreadOf(window);
  // A second dialog over the first would leave the first one's caller without its answer.
  if (InModal(spread)) throw ParameterError("a dialog of this window is already open");
  spread.FormatSelection();
  ViewChanged(spread);
  return true;
}

}  // namespace plugin
