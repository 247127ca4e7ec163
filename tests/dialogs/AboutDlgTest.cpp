// The About box reads the version resource of the running executable. Built into two test
// executables: one carries the program's own block, the other a block without LegalCopyright
// and with a product version that has no commas (ORDVANE_ABOUT_BARE_BLOCK).
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/AboutDlg.h"

using ordvane::CAboutDlg;

namespace {

using ordvane::framework::ModalScript;
using ordvane::framework::PressButton;
using ordvane::testing::ControlText;

struct AboutTexts {
    std::string caption;
    std::string version;
    std::string copyright;
    INT_PTR result = 0;
};

AboutTexts ShowAbout(const char* screenshotPath = nullptr) {
    AboutTexts shown;
    CAboutDlg dialog;
    ModalScript script;
    shown.result = ordvane::testing::RunScripted<CAboutDlg>(dialog, script, [&](CAboutDlg& about) {
        CString caption;
        about.GetWindowText(caption);
        shown.caption = caption.Str();
        shown.version = ControlText(about, IDC_VERSION_TEXT);
        shown.copyright = ControlText(about, IDC_COPYRIGHT_TEXT);
        if (screenshotPath != nullptr) {
            QDir().mkpath(QFileInfo(screenshotPath).absolutePath());
            about.GetWidget()->grab().save(screenshotPath);
        }
        PressButton(about, IDOK);
    });
    return shown;
}

#ifndef ORDVANE_ABOUT_BARE_BLOCK

TEST(AboutDlg, ShowsDottedProductVersionAndCopyrightWithTrailingBlank) {
    const AboutTexts shown = ShowAbout(ORDVANE_SCREENSHOT_DIR "/about-box.png");
    EXPECT_EQ(shown.result, IDOK);
    EXPECT_EQ(shown.caption, "About Ordvane");
    // ProductVersion "1, 4, 0, 0": blanks removed, commas turned into dots.
    EXPECT_EQ(shown.version, "Version: 1.5.0.0");
    EXPECT_EQ(shown.copyright, "Copyright (C) 2024-2026 Ordvane developers ");
}

#else

TEST(AboutDlg, MissingCopyrightGivesASingleBlankAndPlainVersionsStayAsTheyAre) {
    const AboutTexts shown = ShowAbout();
    EXPECT_EQ(shown.caption, "About Ordvane");
    EXPECT_EQ(shown.version, "Version: 2.0-beta");
    EXPECT_EQ(shown.copyright, " ");
}

#endif

}  // namespace
