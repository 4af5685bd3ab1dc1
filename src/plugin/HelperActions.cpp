#include "plugin/HelperActions.h"

#include "plugin/HostLink.h"
#include "plugin/TextConventions.h"

namespace plugin {

bool FixColorStringAction(AttachedSpread&, const ActionParams& params) {
  int32_t value = ParseIntParam(params.at(1), "0");
  // The rectangle name as the author passed it, not the window's spelling.
  SetHostVariable(AuthorVariable(params.at(0), params.at(2)), FormatThreeDigits(value));
  return true;
}

}  // namespace plugin
