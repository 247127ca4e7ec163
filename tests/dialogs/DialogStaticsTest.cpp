// Every static of every dialog shows its whole text: at the font resolution this process runs
// at (96 DPI, and 120 DPI in a second run on an offscreen screen of that resolution, named in
// ORDVANE_TEST_FONT_DPI), each text fits its box and no other control covers it. Each label's
// access key leads to its field, and one button per dialog is drawn as the default.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "res/ids/Resource.h"
#include "tests/dialogs/DialogScript.h"
#include "ui/AboutDlg.h"
#include "ui/AdvancedSettingsDlg.h"
#include "ui/EthernetConfigDlg.h"

using ordvane::CAboutDlg;

namespace {

using ordvane::framework::ModalScript;

// The window in a language for as long as it lives: English (the texts as written, as the test
// main installs them) or German from the program's own catalogue.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const std::string& language) {
        if (language != "en") {
            EXPECT_TRUE(m_translator.load(
                QString::fromStdString(":/ordvane/translations/ordvane_" + language)));
            QCoreApplication::installTranslator(&m_translator);
        }
    }
    ~ScopedLanguage() { QCoreApplication::removeTranslator(&m_translator); }

private:
    QTranslator m_translator;
};

const char* const kLanguages[] = {"en", "de"};

// The access key of a text ("&Set" gives 's'); 0 without one.
QChar AccessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return text[i + 1].toLower();
            }
            ++i;
        }
    }
    return QChar();
}

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
        const int flags = static_cast<int>(label->alignment()) |
                          (label->wordWrap() ? Qt::TextWordWrap : 0) |
                          (label->buddy() != nullptr ? Qt::TextShowMnemonic : 0);
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
    for (const char* language : kLanguages) {
        const ScopedLanguage shownIn(language);
        for (const Case& test : cases) {
            SCOPED_TRACE(testing::Message() << language << ", template " << test.templateId);
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
}

// Each label's access key leads to the field beside it (and names it for screen readers), and
// of the buttons that templates mark as default only the dialog's default is drawn so.
TEST(DialogStatics, AccessKeysLeadToTheirFieldsAndOneButtonIsTheDefault) {
    struct Case {
        UINT templateId;
        std::vector<std::pair<const char*, int>> labelToField;
        int defaultButton;
    };
    const Case cases[] = {
        {IDD_ETHERNET_CONFIG,
         {{"&IP address:", IDC_IP_ADDRESS},
          {"S&ubnet mask:", IDC_SUBNET_MASK},
          {"Default &gateway:", IDC_DEFAULT_GATEWAY},
          {"P&rimary DNS:", IDC_PRIMARY_DNS},
          {"Secon&dary DNS:", IDC_SECONDARY_DNS},
          {"&Hostname:", IDC_HOSTNAME},
          {"&Password:", IDC_PASSWORD},
          {"&New password:", IDC_NEW_PASSWORD},
          {"Confir&m:", IDC_CONFIRM_PASSWORD}},
         IDOK},
        {IDD_ORDVANE_DIALOG, {}, IDC_SCAN},
        {IDD_ADVANCED_SETTINGS, {}, IDOK},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "template " << test.templateId);
        for (const char* language : {"de"}) {
            // Every shown access key of the dialog is its own, in each language.
            const ScopedLanguage shownIn(language);
            CDialog dialog(test.templateId);
            ModalScript script;
            script.OnDialog([&](CDialog& shown) {
                std::map<QChar, std::string> owners;
                for (QWidget* control : shown.GetWidget()->findChildren<QWidget*>()) {
                    QString text;
                    if (auto* label = qobject_cast<QLabel*>(control); label && label->buddy()) {
                        text = label->text();
                    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                        text = button->isHidden() ? QString() : button->text();
                    }
                    const QChar key = AccessKey(text);
                    if (!key.isNull()) {
                        const auto [owner, added] = owners.emplace(key, text.toStdString());
                        EXPECT_TRUE(added)
                            << language << ": " << text.toStdString() << " and " << owner->second;
                    }
                }
                shown.EndDialog(IDCANCEL);
            });
            dialog.DoModal();
        }
        CDialog dialog(test.templateId);
        ModalScript script;
        script.OnDialog([&](CDialog& shown) {
            QWidget* window = shown.GetWidget();
            std::vector<std::pair<std::string, int>> found;
            for (QLabel* label : window->findChildren<QLabel*>()) {
                if (label->buddy() != nullptr) {
                    found.emplace_back(label->text().toStdString(),
                                       CWnd::FromWidget(label->buddy())->GetDlgCtrlID());
                }
            }
            std::vector<std::pair<std::string, int>> expected;
            for (const auto& [text, id] : test.labelToField) {
                expected.emplace_back(text, id);
            }
            EXPECT_EQ(found, expected);
            for (QPushButton* button : window->findChildren<QPushButton*>()) {
                EXPECT_EQ(button->isDefault(),
                          CWnd::FromWidget(button)->GetDlgCtrlID() == test.defaultButton)
                    << button->text().toStdString();
            }
            shown.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
    }
}

}  // namespace
