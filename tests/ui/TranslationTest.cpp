// The German catalogue covers the window's texts that live as constants in code shared with the
// command line (their list in i18n/SharedTexts.cpp must follow the constants), and its plural
// forms count as German counts. The sentences the window builds from shared code's parts (a
// row's warnings, why a recovery ended) read in English as the command line's do, and in German.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <string>

#include "config/ConfigureRequestBuilder.h"
#include "config/ConfigureValidation.h"
#include "dhcp/Port67Helper.h"
#include "modlist/ModuleWarningText.h"
#include "platform/framework/Translate.h"
#include "ui/AdvancedOptionsCommand.h"
#include "ui/RecoveryFailureText.h"
#include "ui/ScanDlg.h"

using ordvane::kDhcpServerInitFailedMessage;
using ordvane::kDhcpServerRunningMark;
using ordvane::RecoveryFailureText;

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

TEST(TranslationTest, BuiltSentencesReadAsTheCommandLinesInEnglishAndAreGerman) {
    using ordvane::ModuleWarning;
    using ordvane::ModuleWarningKind;
    using Failure = ordvane::RecoveryFlow::Failure;
    struct WarningCase {
        ModuleWarning warning;
        const char* german;
    };
    const WarningCase warnings[] = {
        {{.kind = ModuleWarningKind::kDuplicateIp,
          .address = "10.0.0.9",
          .others = 1,
          .namedOthers = {"0A-51-4D-00-00-02"}},
         "Die IP-Adresse 10.0.0.9 wird auch von 1 anderen Modul verwendet: 0A-51-4D-00-00-02."},
        {{.kind = ModuleWarningKind::kSharedRecoveryAddress,
          .address = "10.200.1.2",
          .others = 4,
          .namedOthers = {"", "0A-51-4D-00-01-02", "0A-51-4D-00-02-02"}},
         "Der Wiederherstellungs-DHCP-Server würde dieselbe Adresse 10.200.1.2 auch 4 anderen "
         "Modulen geben, darunter ein Modul ohne MAC, 0A-51-4D-00-01-02, 0A-51-4D-00-02-02."},
        // A card's name that looks like a placeholder is shown as it is.
        {{.kind = ModuleWarningKind::kOffSubnet,
          .address = "172.16.0.1",
          .networks = {{"eth%3", "10.0.0.0", -1, "255.0.255.0"}, {"eth1", "10.1.0.0", 16}},
          .moreNetworks = 2,
          .reachedThrough = "eth9"},
         "Die IP-Adresse 172.16.0.1 liegt in keinem Netzwerk dieses Computers (eth%3 10.0.0.0 "
         "Maske 255.0.255.0, eth1 10.1.0.0/16 und 2 weitere); die Antwort des Moduls kam über "
         "eth9."},
        {{.kind = ModuleWarningKind::kOffSubnet, .address = "0.0.0.0"},
         "Die IP-Adresse 0.0.0.0 liegt in keinem Netzwerk dieses Computers (er hat kein "
         "IPv4-Netzwerk)."},
    };
    struct FailureCase {
        Failure failure;
        std::string detail;
        const char* german;
    };
    const FailureCase failures[] = {
        {Failure::kRefusedValue, ordvane::kLastOctet255Message,
         "Die letzte Zahl der IP-Adresse darf nicht 255 sein."},
        {Failure::kServerNotStarted, "bind: Address already in use",
         "Der DHCP-Server konnte nicht gestartet werden: bind: Address already in use"},
        {Failure::kNotDelivered, "the module did not answer the configure request",
         "Das Modul hat auf die Konfigurationsanfrage nicht geantwortet"},
        {Failure::kMacClaimedTwice, "",
         "Zwei Geräte beanspruchen die MAC-Adresse; es wurde nichts gesendet"},
    };
    for (const WarningCase& c : warnings) {
        EXPECT_EQ(ordvane::WindowWarningSentence(c.warning), ordvane::EnglishSentence(c.warning));
    }
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/ordvane/translations/ordvane_de")));
    QCoreApplication::installTranslator(&german);
    for (const WarningCase& c : warnings) {
        EXPECT_EQ(ordvane::WindowWarningSentence(c.warning), c.german);
    }
    for (const FailureCase& c : failures) {
        EXPECT_EQ(RecoveryFailureText(c.failure, c.detail, "English"), c.german);
    }
    QCoreApplication::removeTranslator(&german);
}

TEST(TranslationTest, FillInPutsEachValueInOnceWhereverTheTranslationMovesIt) {
    struct Case {
        const char* text;
        const char* filled;
    };
    for (const Case& c :
         {Case{"%1 on %2", "eth%2 on 10.0.0.1"}, Case{"%2 (%1)", "10.0.0.1 (eth%2)"},
          Case{"%1 and %1, 100%", "eth%2 and eth%2, 100%"}}) {
        EXPECT_EQ(ordvane::FillIn(c.text, {"eth%2", "10.0.0.1"}).Str(), c.filled);
    }
}
