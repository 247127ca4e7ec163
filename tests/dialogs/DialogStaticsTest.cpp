// Every static of every dialog shows its whole text: at the font resolution this process runs
// at (96 DPI, and 120 DPI in a second run on an offscreen screen of that resolution, named in
// ORDVANE_TEST_FONT_DPI), each text fits its box and no other control covers it.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>

#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/AboutDlg.h"
#include "ui/AdvancedSettingsDlg.h"
#include "ui/EthernetConfigDlg.h"

namespace {

using ordvane::framework::ModalScript;

void ExpectWholeTexts(CDialog& dialog) {
    QWidget* window = dialog.GetWidget();
    const int expectedDpi = qEnvironmentVariableIntValue("ORDVANE_TEST_FONT_DPI");
    ASSERT_EQ(window->logicalDpiY(), expectedDpi > 0 ? expectedDpi : 96);
    SCOPED_TRACE(testing::Message() << window->logicalDpiY() << " DPI");
    const auto labels = window->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel* label : labels) {
        if (label->text().isEmpty()) {
            continue;  // the icon
        }
        SCOPED_TRACE(label->text().toStdString());
        const int flags =
            static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed =
            QFontMetrics(label->font())
                .boundingRect(QRect(0, 0, label->width(), 10000), flags, label->text());
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(needed.height(), label->height());
        const QRect text = needed.translated(label->pos());
        for (QWidget* other :
             window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != label && other->isVisible() &&
                qobject_cast<QGroupBox*>(other) == nullptr) {
                EXPECT_FALSE(text.intersects(other->geometry()))
                    << other->objectName().toStdString();
            }
        }
    }
}

TEST(DialogStatics, EveryStaticShowsItsWholeText) {
    struct Case {
        UINT templateId;
        std::function<std::unique_ptr<CDialog>()> make;
    };
    const Case cases[] = {
        {IDD_ABOUTBOX, [] { return std::make_unique<CAboutDlg>(); }},
        {IDD_ORDVANE_DIALOG, [] { return std::make_unique<CDialog>(IDD_ORDVANE_DIALOG); }},
        {IDD_ETHERNET_CONFIG, [] { return std::make_unique<CDialog>(IDD_ETHERNET_CONFIG); }},
        {IDD_ADVANCED_SETTINGS, [] { return std::make_unique<CDialog>(IDD_ADVANCED_SETTINGS); }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "template " << test.templateId);
        std::unique_ptr<CDialog> dialog = test.make();
        ModalScript script;
        int checked = 0;
        script.OnDialog([&](CDialog& shown) {
            ExpectWholeTexts(shown);
            ++checked;
            shown.EndDialog(IDCANCEL);
        });
        dialog->DoModal();
        EXPECT_EQ(checked, 1);
    }
}

}  // namespace
