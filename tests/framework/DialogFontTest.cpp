// The dialogs' font: the nearest face to the templates' "MS Sans Serif" 8 pt that is installed,
// so that a tight static such as the About box's copyright line keeps its words on its line.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>

#include "platform/framework/Afx.h"
#include "res/ids/Resource.h"
#include "tests/support/ModalTestHooks.h"

using ordvane::framework::ModalScript;

TEST(DialogFontTest, AnArialWideFaceIsPreferredAndTheCopyrightLineFitsItsStatic) {
    const QStringList narrowFaces{"Liberation Sans", "Arimo", "Arial", "Nimbus Sans"};
    QString installed;
    for (const QString& face : narrowFaces) {
        if (QFontDatabase::hasFamily(face)) {
            installed = face;
            break;
        }
    }
    CDialog dialog(IDD_ABOUTBOX);
    ModalScript script;
    QString shownFamily;
    int pointSize = 0;
    int copyrightWidth = 0;
    int staticWidth = 0;
    script.OnDialog([&](CDialog&) {
        QWidget* copyright = dialog.GetDlgItem(IDC_COPYRIGHT_TEXT)->GetWidget();
        shownFamily = QFontInfo(copyright->font()).family();
        pointSize = copyright->font().pointSize();
        // The text of the program's version resource, with its trailing blank.
        copyrightWidth = QFontMetrics(copyright->font())
                             .horizontalAdvance("Copyright (C) 2024-2026 Ordvane developers ");
        staticWidth = copyright->width();
        dialog.EndDialog(IDOK);
    });
    dialog.DoModal();
    EXPECT_EQ(pointSize, 8);
    if (installed.isEmpty()) {
        GTEST_SKIP() << "no face with Arial's widths is installed; the desktop's sans-serif "
                        "is used";
    }
    // The family may carry its foundry: "Nimbus Sans [urw]".
    EXPECT_TRUE(shownFamily.startsWith(installed))
        << shownFamily.toStdString() << " instead of " << installed.toStdString();
    EXPECT_LE(copyrightWidth, staticWidth);
}

// The desktop's font sets the dialogs' font and their dialog units: a 50-unit button is 75
// pixels at Qt's standard 9 points and grows with a larger desktop font.
TEST(DialogFontTest, TheDesktopsFontScalesTheFontAndTheDialogUnits) {
    struct Case {
        double desktopPoints;
        double dialogPoints;
        int buttonWidth;
    };
    const Case cases[] = {{9, 8, 75}, {18, 16, 150}, {13.5, 12, 113}};
    const QFont desktop = QApplication::font();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktopPoints);
        QFont font = desktop;
        font.setPointSizeF(c.desktopPoints);
        QApplication::setFont(font);
        CDialog dialog(IDD_ABOUTBOX);
        ModalScript script;
        script.OnDialog([&](CDialog& shown) {
            QWidget* ok = shown.GetDlgItem(IDOK)->GetWidget();
            EXPECT_DOUBLE_EQ(ok->font().pointSizeF(), c.dialogPoints);
            EXPECT_EQ(ok->width(), c.buttonWidth);
            shown.EndDialog(IDOK);
        });
        dialog.DoModal();
    }
    QApplication::setFont(desktop);
}
