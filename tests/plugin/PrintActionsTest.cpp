// The print actions on the real window, in process: the stored settings of the window's link,
// Print twice opening one preview, PrintHeaders keeping the grid-line option, page setup
// answered OK (values applied), with a refused value (message, next answer) and Cancel, its
// Preview and Print exits, and the preview closed with its window.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <vector>

#include "PlugInTestSupport.h"
#include "platform/WindowChannel.h"
#include "plugin/PlugInServices.h"
#include "plugin/SpreadWindows.h"
#include "plugin/TNeoSpread.h"
#include "ui/headless/FormRenderer.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using plugintest::PlugInTest;
using plugintest::Recorder;

class PrintActionsTest : public PlugInTest {
 protected:
  void SetUp() override {
    PlugInTest::SetUp();
    ConnectHost();
    plugin::ComposePlugin();
    parent_ = platform::WindowSystem().create_window(0, "Rect1", 0, 0, 400, 300);
    ASSERT_NE(parent_, 0u);
    Recorder().rectAnswer = std::to_string(parent_);
    ASSERT_TRUE(Exec(1, {"Rect1"}));
    ui::headless::HeadlessBackend::Instance().ClearDialogLog();
  }
  void TearDown() override {
    PlugInTest::TearDown();
    if (parent_ != 0) platform::WindowSystem().destroy_window(parent_);
  }
  static bool Exec(int32_t id, const std::vector<std::string>& texts) {
    std::vector<const char*> raw;
    for (const std::string& t : texts) raw.push_back(t.c_str());
    raw.resize(8, nullptr);
    return plugin::ExecAction(id, raw.data());
  }
  static std::string Code() {
    for (auto it = Writes().rbegin(); it != Writes().rend(); ++it)
      if (it->first == "[zkSSHError]") return it->second;
    return "<none>";
  }
  static plugin::TNeoSpread& Spread() { return plugin::SpreadOf(*plugin::SpreadAt(0)); }
  static std::vector<ui::headless::DialogRecord> Dialogs() {
    return ui::headless::HeadlessBackend::Instance().DialogLog();
  }
  static void Answer(const std::string& button, const std::string& value = "") {
    ui::headless::HeadlessBackend::Instance().QueueAnswer(button, value);
  }

  uintptr_t parent_ = 0;
};

TEST_F(PrintActionsTest, TheWindowsLinkHasTheStoredSettings) {
  const printing::TComponentPrinter& printer = *Spread().Printer1;
  EXPECT_EQ(printer.CurrentLink, &Spread().Printer1tPrinterLink1);
  EXPECT_EQ(Spread().Printer1tPrinterLink1.OptionsView(), 0);
  const printing::PageSettings& s = printer.Settings;
  EXPECT_EQ(s.paperCode, 9);
  EXPECT_EQ(s.paperWidth, 210000);
  EXPECT_EQ(s.paperHeight, 297000);
  EXPECT_EQ(s.marginLeft, 12700);
  EXPECT_EQ(s.marginBottom, 12700);
  EXPECT_EQ(s.headerDistance, 6350);
  EXPECT_EQ(s.footerDistance, 6350);
  EXPECT_EQ(printer.PreviewCaption, "Preview");
}

TEST_F(PrintActionsTest, PrintTwiceOpensOnePreviewAndChangesOnlySelected) {
  EXPECT_FALSE(Exec(57, {"Rect1", "0"})) << "an empty sheet has nothing to print";
  EXPECT_EQ(Code(), "zkSSH-026");
  EXPECT_FALSE(Spread().Printer1->PreviewShowing());
  ASSERT_TRUE(Exec(42, {"Rect1", "C3", "x"}));
  ASSERT_TRUE(Exec(57, {"Rect1", "0"}));
  EXPECT_EQ(Code(), "zkSSH-000");
  printing::PreviewWindow* first = Spread().Printer1->Preview();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(Spread().Printer1->PreviewShowing());
  EXPECT_EQ(first->Caption(), "Preview");
  EXPECT_EQ(first->PageCount(), 1u);
  // The page is drawn on the preview: white paper in the middle of the page area. The picture
  // is written beside the test program for looking at.
  const ui::Image shot = ui::headless::FormRenderer::Render(*first);
  const char* out = std::getenv("SS_TEST_OUTPUT");
  ui::WritePng(shot, (std::filesystem::path(out ? out : ".") / "print_preview.png").string());
  EXPECT_EQ(shot.At(shot.Width() / 2, 300).ToColor(), ui::colors::kWhite);
  ASSERT_TRUE(Exec(57, {"Rect1", "1"}));
  EXPECT_EQ(Spread().Printer1->Preview(), first) << "no second preview";
  EXPECT_TRUE(Spread().Printer1tPrinterLink1.OnlySelected());
  // Closed, the next request rebuilds: the new text is in the new report.
  first->btnClose->OnClick();
  EXPECT_FALSE(Spread().Printer1->PreviewShowing());
  ASSERT_TRUE(Exec(42, {"Rect1", "F9", "y"}));
  ASSERT_TRUE(Exec(57, {"Rect1", "1"}));
  ASSERT_NE(Spread().Printer1->Preview(), nullptr);
  EXPECT_TRUE(Spread().Printer1->PreviewShowing());
  // Navigation and zoom.
  printing::PreviewWindow& p = *Spread().Printer1->Preview();
  const double zoom = p.Zoom();
  p.btnZoomIn->OnClick();
  EXPECT_GT(p.Zoom(), zoom);
  p.btnLast->OnClick();
  EXPECT_EQ(p.CurrentPage() + 1, p.PageCount());
}

TEST_F(PrintActionsTest, PrintHeadersSwitchesOnlyTheHeadingOption) {
  printing::TSpreadSheetBookReportLink& link = Spread().Printer1tPrinterLink1;
  link.SetOptionsView(printing::ssovGridLines);
  ASSERT_TRUE(Exec(58, {"Rect1", "1"}));
  EXPECT_EQ(link.OptionsView(), printing::ssovGridLines | printing::ssovRowAndColumnHeadings);
  ASSERT_TRUE(Exec(58, {"Rect1", "0"}));
  EXPECT_EQ(link.OptionsView(), printing::ssovGridLines);
  ASSERT_TRUE(Exec(58, {"Rect1", "yes"}));
  EXPECT_EQ(link.OptionsView(), printing::ssovGridLines);
}

TEST_F(PrintActionsTest, PageSetupAppliesConfirmedValuesAndReportsSuccessEitherWay) {
  ASSERT_TRUE(Exec(42, {"Rect1", "A1", "x"}));
  Answer("Cancel");
  ASSERT_TRUE(Exec(56, {"Rect1"}));
  EXPECT_EQ(Code(), "zkSSH-000");
  EXPECT_EQ(Spread().Printer1->Settings, printing::PageSettings{});
  // A margin that leaves no width is refused with a message; the next answer is taken.
  Answer("OK", "marginLeft=200");
  Answer("OK");  // the message box
  Answer("OK", "orientation=Landscape;marginTop=20;headings=1;headerText=Page &P");
  ASSERT_TRUE(Exec(56, {"Rect1"}));
  EXPECT_EQ(Code(), "zkSSH-000");
  const auto log = Dialogs();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[1].kind, "Dialog");
  EXPECT_EQ(log[1].caption, "Page Setup");
  EXPECT_EQ(log[1].buttons, "OK|Cancel|Preview|Print");
  EXPECT_EQ(log[1].text, "The left and right margins leave no printable width");
  EXPECT_EQ(log[2].kind, "MessageBox");
  const printing::PageSettings& s = Spread().Printer1->Settings;
  EXPECT_EQ(s.orientation, printing::Orientation::Landscape);
  EXPECT_EQ(s.marginTop, 20000);
  EXPECT_EQ(s.marginLeft, 12700);
  EXPECT_EQ(s.headerText, "Page &P");
  EXPECT_TRUE(Spread().Printer1tPrinterLink1.OptionsView() & printing::ssovRowAndColumnHeadings);
  // The Preview exit opens a modal preview: the action returns once it is closed (its answer
  // pages on, then Cancel presses Close), and the preview is gone.
  Answer("Preview");
  Answer("Cancel", "btnNext=click");
  ASSERT_TRUE(Exec(56, {"Rect1"}));
  EXPECT_EQ(Code(), "zkSSH-000");
  EXPECT_EQ(ui::headless::HeadlessBackend::Instance().PendingAnswers(), 0u);
  EXPECT_FALSE(Spread().Printer1->PreviewShowing());
  EXPECT_EQ(Spread().Printer1->Preview(), nullptr);
}

TEST_F(PrintActionsTest, PrintExitWritesThePdfChosenInThePrintDialog) {
#ifdef _WIN32
  // The Windows build prints through the system's spooler and its own print dialog, which
  // the headless answers below do not reach; PDF output belongs to the portable build.
  GTEST_SKIP() << "the Windows build prints through the system spooler";
#endif
  ASSERT_TRUE(Exec(42, {"Rect1", "B2", "printed"}));
  const std::filesystem::path pdf =
      std::filesystem::temp_directory_path() /
      ("ss_print_actions_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".pdf");
  Answer("Print");
  Answer("OK", pdf.string());
  ASSERT_TRUE(Exec(56, {"Rect1"}));
  EXPECT_EQ(Code(), "zkSSH-000");
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_GT(std::filesystem::file_size(pdf), 500u);
  std::filesystem::remove(pdf);
  // Cancelled print dialog: nothing written, still success.
  Answer("Print");
  Answer("Cancel");
  ASSERT_TRUE(Exec(56, {"Rect1"}));
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintActionsTest, ThePreviewClosesWithItsWindow) {
  ASSERT_TRUE(Exec(42, {"Rect1", "A1", "x"}));
  ASSERT_TRUE(Exec(57, {"Rect1", "0"}));
  auto& backend = ui::headless::HeadlessBackend::Instance();
  const size_t withPreview = backend.Forms().size();
  ASSERT_TRUE(Exec(2, {"Rect1"}));
  EXPECT_EQ(backend.Forms().size(), withPreview - 2) << "the window and its preview are gone";
}

TEST_F(PrintActionsTest, AThrowingReportHookBecomesTheActionsError) {
  ASSERT_TRUE(Exec(42, {"Rect1", "A1", "x"}));
  printing::TSpreadSheetBookReportLink& link = Spread().Printer1tPrinterLink1;
  link.OnInitializeItem = [](printing::ReportItem&) { throw 7; };
  EXPECT_FALSE(Exec(57, {"Rect1", "0"}));
  EXPECT_EQ(Code(), "zkSSH-026");
  EXPECT_FALSE(Spread().Printer1->PreviewShowing());
  link.OnInitializeItem = nullptr;
  link.UseCustomPageBreaks = true;
  link.OnGetCustomPageBreaks = [](std::vector<int32_t>&, std::vector<int32_t>&) {
    throw std::runtime_error("no breaks today");
  };
  EXPECT_FALSE(Exec(56, {"Rect1"})) << "page setup builds the report first";
  EXPECT_EQ(Code(), "zkSSH-026");
  link.OnGetCustomPageBreaks = nullptr;
  ASSERT_TRUE(Exec(57, {"Rect1", "0"}));
  EXPECT_EQ(Code(), "zkSSH-000");
}

}  // namespace
