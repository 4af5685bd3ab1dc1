#include "formulas/BookFormulaCache.h"
#include "support/TestComposition.h"

namespace testsupport {

workbook::BookServices WithFormulaEngine(workbook::BookServices services) {
  services.formulaCache = &formulas::BookFormulaCache::Create;
  return services;
}

}  // namespace testsupport
