// The book's services: a set with a part missing is refused by name, a book built without
// services fails at construction, and a book keeps the services it was built with.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/TestComposition.h"
#include "workbook/BookServices.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ESpreadSheetError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(BookServices, EveryMissingPartIsRefusedByName) {
  MemoryClipboard installed;
  ScopedBookServices keep{testsupport::ModelServices(installed)};
  struct Case {
    const char* part;
    void (*unset)(BookServices&);
  };
  const Case cases[] = {
      {"formula cache factory", [](BookServices& s) { s.formulaCache = nullptr; }},
      {"file reader", [](BookServices& s) { s.loadFile = nullptr; }},
      {"file writer", [](BookServices& s) { s.saveFile = nullptr; }},
      {"message handler", [](BookServices& s) { s.showMessage = nullptr; }},
      {"clipboard", [](BookServices& s) { s.clipboard = nullptr; }},
      {"password prompt", [](BookServices& s) { s.passwordPrompt = nullptr; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    MemoryClipboard other;
    BookServices services = testsupport::ModelServices(other);
    EXPECT_TRUE(services.Missing().empty());
    c.unset(services);
    EXPECT_EQ(services.Missing(), std::vector<std::string>{c.part});
    const std::string expected = std::string("Book services incomplete: ") + c.part;
    EXPECT_EQ(ErrorOf([&] { InstallBookServices(services); }), expected);
    EXPECT_EQ(ErrorOf([&] { ScopedBookServices scoped{services}; }), expected);
    // The refused set changed nothing: a new book still takes the installed clipboard.
    Workbook book;
    EXPECT_EQ(book.Services().clipboard, &installed);
  }
  BookServices none;
  EXPECT_EQ(none.Missing().size(), 6u);
  EXPECT_EQ(ErrorOf([&] { InstallBookServices(none); }),
            "Book services incomplete: formula cache factory, file reader, file writer, message "
            "handler, clipboard, password prompt");
}

TEST(BookServices, ABookBuiltWithoutServicesFailsAtConstruction) {
  UninstallBookServices();
  EXPECT_FALSE(BookServicesInstalled());
  const std::string error = ErrorOf([] { Workbook book; });
  InstallBookServices(testsupport::ModelServices());  // the environment's, for the next tests
  EXPECT_EQ(error,
            "No book services installed: the program must run its composition function at "
            "start-up");
  EXPECT_TRUE(BookServicesInstalled());
  Workbook book;
  EXPECT_EQ(book.PageCount(), 1);
}

TEST(BookServices, ABookKeepsTheServicesItWasBuiltWith) {
  platform::ScopedLocale locale{test::EnglishUS()};
  MemoryClipboard first;
  std::unique_ptr<Workbook> early;
  {
    ScopedBookServices scoped{testsupport::ModelServices(first)};
    early = std::make_unique<Workbook>();
  }
  // The scope put the environment's services back; the early book still copies to its own.
  Workbook later;
  EXPECT_EQ(later.Services().clipboard, &BookServices::PlatformClipboard());
  EXPECT_EQ(early->Services().clipboard, &first);
  early->Sheets(0).CellObject(0, 0)->SetText("kept");
  early->Sheets(0).CopyToClipboard(TRect{0, 0, 0, 0}, false);
  ASSERT_TRUE(first.GetData(kPrivateClipboardFormat).has_value());
  EXPECT_EQ(first.GetText(), std::optional<std::u16string>(u"kept\r\n"));
}

TEST(BookServices, TheStandInsKeepFormulasAsTextAndRefuseFiles) {
  Workbook book;
  EXPECT_EQ(book.FormulaCache(), nullptr);
  book.Sheets(0).CellObject(0, 0)->SetText("=1+2");
  EXPECT_EQ(book.Sheets(0).CellObject(0, 0)->DisplayText(), "=1+2");
  EXPECT_EQ(ErrorOf([&] { book.SaveToFile("out.xls"); }),
            "Workbook files cannot be written in this build");
  const std::string self = std::string(testing::UnitTest::GetInstance()->original_working_dir());
  EXPECT_EQ(ErrorOf([&] { BookServices::NoWorkbookFileReader()(book, self); }),
            "Workbook files cannot be read in this build");
}

}  // namespace
}  // namespace workbook
