#include "support/TestComposition.h"
#include "xls/book/BookFiles.h"

namespace testsupport {

workbook::BookServices WithWorkbookFiles(workbook::BookServices services) {
  services.loadFile = &xls::LoadBookFromFile;
  services.saveFile = &xls::SaveBookKeepingWarnings;
  return services;
}

}  // namespace testsupport
