// Starting and closing the real program.
#include <gtest/gtest.h>
#include "driver.h"
#include "hwtest.h"
#include "resources/resource.h"

// The started programs write the prefix's registry; the checks here read that one.
static const bool sharedregistry = (hwtest::privateregistry = false, true);

namespace {

using hwtest::cwd;

TEST(E2EStart, TitleThenExitCommandEndsWithCodeZero) {
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(drv::text(w), "Hostwarden 5.3.3");
    drv::command(w, IDM_EXIT);
    EXPECT_EQ(drv::waitexit(p), 0);
}

TEST(E2EStart, WindowCloseEndsWithCodeZeroAndWritesTheSettings) {
    drv::Program p;
    ASSERT_TRUE(drv::start(cwd(), &p));
    HWND w = drv::mainwindow(p);
    ASSERT_NE(w, nullptr);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(drv::waitexit(p), 0);
    EXPECT_TRUE(drv::dialogs(p).empty());
}

}  // namespace
