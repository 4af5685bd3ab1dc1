// Host windows on both builds: real Win32 windows on Windows, the portable registry elsewhere.
#include <gtest/gtest.h>

#include <set>

#include "platform/HostWindow.h"

using namespace platform;

TEST(HostWindow, TopLevelAndChildrenReportTheirClientSizes) {
  auto frame = HostWindow::CreateTopLevel("host", 640, 480);
  ASSERT_NE(frame->Handle(), 0u);
  WindowSize size;
  ASSERT_TRUE(HostWindow::ClientSize(frame->Handle(), size));
  EXPECT_EQ(size.width, 640);
  EXPECT_EQ(size.height, 480);
  auto rect1 = frame->CreateChild("Rect1", 10, 20, 300, 200);
  auto rect2 = frame->CreateChild("Rect2", 0, 0, 1, 1);
  std::set<WindowHandle> handles{frame->Handle(), rect1->Handle(), rect2->Handle()};
  EXPECT_EQ(handles.size(), 3u);
  ASSERT_TRUE(HostWindow::ClientSize(rect1->Handle(), size));
  EXPECT_EQ(size.width, 300);
  EXPECT_EQ(size.height, 200);
  HostWindow::ProcessMessages();
  WindowHandle gone = rect1->Handle();
  rect1.reset();
  EXPECT_FALSE(HostWindow::ClientSize(gone, size));
  EXPECT_TRUE(HostWindow::ClientSize(rect2->Handle(), size));
}

TEST(HostWindow, ZeroSizeIsAllowedNegativeSizeIsAnError) {
  auto frame = HostWindow::CreateTopLevel("host", 100, 100);
  auto empty = frame->CreateChild("Empty", 5, 5, 0, 0);
  WindowSize size{-1, -1};
  ASSERT_TRUE(HostWindow::ClientSize(empty->Handle(), size));
  EXPECT_EQ(size.width, 0);
  EXPECT_EQ(size.height, 0);
  EXPECT_THROW(frame->CreateChild("Bad", 0, 0, -1, 10), HostWindowError);
  EXPECT_THROW(frame->CreateChild("Bad", 0, 0, 10, -1), HostWindowError);
}

TEST(HostWindow, UnknownHandlesAreRejected) {
  WindowSize size;
  EXPECT_FALSE(HostWindow::ClientSize(0, size));
  EXPECT_FALSE(HostWindow::ClientSize(1, size));
}

TEST(HostWindow, ChildrenOutlivedByTheirParentObjectAreHarmless) {
  auto frame = HostWindow::CreateTopLevel("host", 200, 200);
  auto child = frame->CreateChild("Rect1", 0, 0, 50, 50);
  WindowHandle handle = child->Handle();
  frame.reset();  // on Windows this destroys the child window with it
#ifdef _WIN32
  WindowSize size;
  EXPECT_FALSE(HostWindow::ClientSize(handle, size));
#else
  (void)handle;
#endif
  child.reset();  // must not crash or touch a foreign window
}
