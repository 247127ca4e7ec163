// The German catalogue covers the window's texts that live as constants in code shared with the
// command line (their list in i18n/SharedTexts.cpp must follow the constants), and its plural
// forms count as German counts.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <string>

#include "config/ConfigureRequestBuilder.h"
#include "config/ConfigureValidation.h"
#include "dhcp/Port67Helper.h"
#include "platform/framework/Translate.h"
#include "ui/AdvancedOptionsCommand.h"
#include "ui/ScanDlg.h"

TEST(TranslationTest, SharedTextsAndPluralsHaveTheirGerman) {
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/ordvane/translations/ordvane_de")));
    QCoreApplication::installTranslator(&german);
    struct Case {
        const char* context;
        const char* english;
    };
    const Case shared[] = {{"SharedText", ordvane::kIllegalHostnameMessage},
                           {"SharedText", ordvane::kLastOctet255Message},
                           {"SharedText", ordvane::kWinkNotSupportedMessage},
                           {"SharedText", kDhcpServerInitFailedMessage},
                           {"SharedText", kDhcpServerRunningMark},
                           {"SharedText", ordvane::kNotInGroupAdvice},
                           {"CScanDlg", kMacClaimedTwiceMessage},
                           {"CScanDlg", kPasswordDowngradeMessage}};
    for (const Case& c : shared) {
        EXPECT_NE(ordvane::translate(c.context, c.english).Str(), c.english);
    }
    struct Plural {
        int count;
        const char* german;
    };
    for (const Plural& p : {Plural{0, "Ordvane - 0 Module"}, Plural{1, "Ordvane - 1 Modul"},
                            Plural{2, "Ordvane - 2 Module"}}) {
        EXPECT_EQ(
            ordvane::FillIn(ordvane::translate("CScanDlg", "%1 - %n module(s)", nullptr, p.count),
                            {"Ordvane"})
                .Str(),
            p.german);
    }
    QCoreApplication::removeTranslator(&german);
}
