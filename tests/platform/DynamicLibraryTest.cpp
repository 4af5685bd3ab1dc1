// Loading a library by path and finding exports by undecorated name, with the system's own
// libraries as subjects.
#include <gtest/gtest.h>

#include "platform/DynamicLibrary.h"

using namespace platform;

namespace {
#ifdef _WIN32
constexpr const char* kSystemLibrary = "kernel32.dll";
constexpr const char* kKnownExport = "GetTickCount";
#else
constexpr const char* kSystemLibrary = "libc.so.6";
constexpr const char* kKnownExport = "strlen";
#endif
}  // namespace

TEST(DynamicLibrary, FindsKnownExportsAndReportsMissingOnes) {
  DynamicLibrary lib(kSystemLibrary);
  EXPECT_NE(lib.Symbol(kKnownExport), nullptr);
  EXPECT_EQ(lib.Symbol("NoSuchExportAnywhere"), nullptr);
  EXPECT_EQ(lib.Symbol(""), nullptr);
  try {
    lib.RequireSymbol("NoSuchExportAnywhere");
    ADD_FAILURE() << "a missing symbol was found";
  } catch (const DynamicLibraryError& e) {
    EXPECT_NE(std::string(e.what()).find("NoSuchExportAnywhere"), std::string::npos);
  }
  DynamicLibrary moved(std::move(lib));
  EXPECT_NE(moved.Symbol(kKnownExport), nullptr);
  EXPECT_EQ(moved.Path(), kSystemLibrary);
}

TEST(DynamicLibrary, MissingFilesAndEmptyPathsAreErrorsNamingThePath) {
  EXPECT_THROW(DynamicLibrary(""), DynamicLibraryError);
  try {
    DynamicLibrary lib("no-such-library-here.nbp");
    ADD_FAILURE() << "a missing library loaded";
  } catch (const DynamicLibraryError& e) {
    EXPECT_NE(std::string(e.what()).find("no-such-library-here.nbp"), std::string::npos);
  }
}

TEST(DynamicLibrary, ExecutablePathNamesThisProgram) {
  std::string path = ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.find("platform_tests"), std::string::npos) << path;
}
