// The platform seams the host stands on: loading the plug-in library and the host windows.
#include <gtest/gtest.h>

#include <set>

#include "platform/DynamicLibrary.h"
#include "platform/HostWindow.h"

namespace {

using platform::DynamicLibrary;
using platform::DynamicLibraryError;
using platform::HostWindow;

TEST(DynamicLibrary, ThePlugInShowsExactlyItsSevenExports) {
  DynamicLibrary library(SS_PLUGIN_PATH);
  for (const char* name :
       {"nbInitPlugIn", "nbRegisterPlugIn", "nbRegisterScriptProcessor",
        "nbRegisterInterfaceAccess", "nbExecAction", "nbEditAction", "nbMessage"}) {
    EXPECT_NE(library.Symbol(name), nullptr) << name;
  }
  // Internals stay private, under their C++ names and decorated ones alike.
  for (const char* name : {"_ZN6plugin9CatalogueEv", "_ZN6plugin4HostEv", "nbInitPlugIn@16",
                           "_nbInitPlugIn@16", "AssignHostString"}) {
    EXPECT_EQ(library.Symbol(name), nullptr) << name;
  }
}

TEST(DynamicLibrary, FailuresNameThePathOrTheSymbol) {
  try {
    DynamicLibrary missing("no-such-dir/zkSpreadSheet2.nbp");
    ADD_FAILURE() << "a missing library loaded";
  } catch (const DynamicLibraryError& error) {
    EXPECT_NE(std::string(error.what()).find("no-such-dir/zkSpreadSheet2.nbp"), std::string::npos)
        << error.what();
  }
  EXPECT_THROW(DynamicLibrary(""), DynamicLibraryError);
  DynamicLibrary library(SS_PLUGIN_PATH);
  try {
    library.RequireSymbol("nbNoSuchExport");
    ADD_FAILURE() << "a missing symbol was found";
  } catch (const DynamicLibraryError& error) {
    EXPECT_NE(std::string(error.what()).find("\"nbNoSuchExport\""), std::string::npos);
  }
  DynamicLibrary moved(std::move(library));
  EXPECT_NE(moved.Symbol("nbMessage"), nullptr);
  EXPECT_EQ(moved.Path(), SS_PLUGIN_PATH);
}

TEST(DynamicLibrary, ExecutablePathNamesThisProgram) {
  std::string path = platform::ExecutablePath();
  EXPECT_NE(path.find("plugin_tests"), std::string::npos) << path;
}

TEST(HostWindow, HandlesAreUniqueNonZeroAndKnowTheirSize) {
  auto top = HostWindow::CreateTopLevel("host", 800, 600);
  auto a = top->CreateChild("Rect1", 10, 20, 300, 200);
  auto b = top->CreateChild("Rect2", 0, 0, 0, 0);
  std::set<platform::WindowHandle> handles{top->Handle(), a->Handle(), b->Handle()};
  EXPECT_EQ(handles.size(), 3u);
  EXPECT_EQ(handles.count(0), 0u);
  platform::WindowSize size;
  ASSERT_TRUE(HostWindow::ClientSize(a->Handle(), size));
  EXPECT_EQ(size.width, 300);
  EXPECT_EQ(size.height, 200);
  ASSERT_TRUE(HostWindow::ClientSize(b->Handle(), size));
  EXPECT_EQ(size.width, 0);
  platform::WindowHandle gone = a->Handle();
  a.reset();
  EXPECT_FALSE(HostWindow::ClientSize(gone, size));
  EXPECT_FALSE(HostWindow::ClientSize(0, size));
  HostWindow::ProcessMessages();
  EXPECT_THROW(top->CreateChild("Bad", 0, 0, -1, 10), platform::HostWindowError);
}

}  // namespace
