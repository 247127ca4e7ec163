// The main window against a libzeva.so whose FileVersion is not 1.1: it warns and ends at once,
// before any call into the library.

#include <gtest/gtest.h>

#include <dirent.h>

#include "tests/support/ModalTestHooks.h"
#include "ui/ScanDlg.h"

using ordvane::CScanDlg;

namespace {

int ThreadCount() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(tasks);
    }
    return count;
}

}  // namespace

TEST(RefusedLibraryTest, AWrongLibraryVersionEndsTheWindowWithIncorrectDllVersion) {
    ordvane::framework::ModalScript script;
    bool windowRan = false;
    script.OnDialog([&](CDialog&) { windowRan = true; });
    const int threadsBefore = ThreadCount();
    CScanDlg window;
    EXPECT_EQ(window.DoModal(), IDCANCEL);
    EXPECT_FALSE(windowRan);
    ASSERT_EQ(script.MessageBoxes().size(), 1U);
    EXPECT_EQ(script.MessageBoxes()[0].text, "Incorrect DLL version");
    EXPECT_EQ(script.MessageBoxes()[0].caption, "Warning");
    EXPECT_EQ(script.MessageBoxes()[0].type, MB_ICONEXCLAMATION | MB_OK);
    // The library was never started: it would have started its worker thread.
    EXPECT_EQ(ThreadCount(), threadsBefore);
}
