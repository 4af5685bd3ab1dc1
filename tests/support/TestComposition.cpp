#include "support/TestComposition.h"

#include <gtest/gtest.h>

#include "store/PasswordPrompt.h"

namespace testsupport {
namespace {

// Installs the model services around the whole run of a binary.
class CompositionEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override { workbook::InstallBookServices(ModelServices()); }
  void TearDown() override { workbook::UninstallBookServices(); }
};

// Registered while the binary starts; GoogleTest owns the environment.
[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new CompositionEnvironment);

}  // namespace

workbook::BookServices ModelServices() {
  return ModelServices(workbook::BookServices::PlatformClipboard());
}

workbook::BookServices ModelServices(workbook::BookClipboard& clipboard) {
  workbook::BookServices services;
  services.formulaCache = workbook::BookServices::FormulasAsText();
  services.loadFile = workbook::BookServices::NoWorkbookFileReader();
  services.saveFile = workbook::BookServices::NoWorkbookFileWriter();
  services.showMessage = workbook::BookServices::NoMessageBox();
  services.clipboard = &clipboard;
  services.passwordPrompt = &store::CancellingPasswordPrompt();
  return services;
}

}  // namespace testsupport
