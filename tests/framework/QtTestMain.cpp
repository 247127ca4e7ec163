// Test entry for the window tests: one QApplication for the whole run, on the offscreen
// platform that CMake selects for these tests.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
