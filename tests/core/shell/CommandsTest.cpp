#include "shell/Commands.h"
#include "shell/WebLinks.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace tarmelo::shell;

namespace {

CommandState state(bool busy, int rows, bool selected, bool saved = false, bool automatic = true) {
    CommandState s;
    s.busy = busy;
    s.rowCount = rows;
    s.selected = selected;
    s.saved = saved;
    s.automaticIntNr = automatic;
    return s;
}

} // namespace

TEST(CommandsTest, EveryCommandIsListedOnceWithItsCaption) {
    const QList<CommandInfo>& table = commandTable();
    QSet<QString> names;
    for (const CommandInfo& c : table) {
        EXPECT_FALSE(names.contains(c.name)) << c.name.toStdString();
        names.insert(c.name);
        EXPECT_TRUE(c.caption.contains('&')) << c.name.toStdString();
    }
    // open, recent, save/transfer history/print/restore/exit, add, vehicle, numbers, extras, help, web links
    EXPECT_EQ(table.size(), 3 + 4 + 7 + 12 + 4 + 6 + 2 + 3 + 12);
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
    } samples[] = {
        {"actSaveFile", "&Datei", "Speichert den Fahrzeugbestand"},
        {"actOpenRecent3", "&3 - (keine)", ""},
        {"actExit", "&Beenden", "Beendet die Anwendung"},
        {"actAddLkw_g", "Lk&w über 7,5t", ""},
        {"actHelp", "&Hilfe", "Öffnet die Hilfe"},
        {"actUpdate", "Online-&Update ...", ""},
        {"actTransferLog", "Übertragungs&protokoll ...", "Zeigt die bisherigen Übertragungen zu und von Karvento"},
        {"actSearchKrad", "&Motorräder", ""},
    };
    for (const auto& s : samples) {
        const CommandInfo* c = findCommand(s.name);
        ASSERT_NE(c, nullptr) << s.name;
        EXPECT_EQ(c->caption, QString::fromUtf8(s.caption)) << s.name;
        EXPECT_EQ(c->hint, QString::fromUtf8(s.hint)) << s.name;
    }
    EXPECT_EQ(findCommand("actUnknown"), nullptr);
    EXPECT_FALSE(commandEnabled("actUnknown", CommandState{}));
}

TEST(CommandsTest, EnablingFollowsTheMoment) {
    const CommandState idleEmpty = state(false, 0, false);
    const CommandState busy = state(true, 3, true);
    const CommandState rows = state(false, 3, false);
    const CommandState selected = state(false, 3, true);
    const CommandState savedRows = state(false, 3, true, true);
    const CommandState typedNumbers = state(false, 3, false, false, false);
    const CommandState typedEmpty = state(false, 0, false, false, false);
    const CommandState staleSelection = state(false, 0, true);
    const struct {
        const char* command;
        const CommandState& s;
        bool enabled;
    } cases[] = {
        {"actNeu", idleEmpty, true},
        {"actNeu", busy, false},
        {"actSaveMobile", idleEmpty, false},
        {"actSaveMobile", rows, true},
        {"actSaveMobile", busy, false},
        {"actSaveFile", rows, true},
        {"actSaveFile", savedRows, false},
        {"actSaveFile", idleEmpty, false},
        {"actSaveFileAs", savedRows, true},
        {"actPrint", idleEmpty, false},
        {"actPrint", rows, true},
        {"actCheckErrors", rows, true},
        {"actCheckErrors", idleEmpty, false},
        {"actCopy", rows, false},
        {"actCopy", selected, true},
        {"actCopy", busy, false},
        {"actRemove", staleSelection, false},
        {"actSaveVehicle", selected, true},
        {"actUpdateIntNr", rows, false},
        {"actUpdateIntNr", typedNumbers, true},
        {"actUpdateIntNr", typedEmpty, false},
        {"actAutomaticIntNr", busy, false},
        {"actExit", busy, false},
        {"actUpdate", busy, false},
        {"actResetArea", idleEmpty, true},
        {"actInfo", busy, false},
        {"actHelp", busy, true},
        {"actTipps", busy, true},
        {"actDealerArea", busy, true},
        {"actAdStatistic", busy, true},
        {"actAddStapler", busy, false},
        {"actOpenVehicle", idleEmpty, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandEnabled(c.command, c.s), c.enabled) << c.command;
}

TEST(CommandsTest, WhileBusyOnlyHelpTipsAndLinksStayOn) {
    const CommandState busy = state(true, 5, true);
    QSet<QString> alwaysOn = {"actHelp", "actTipps"};
    for (const WebLink& l : webLinks())
        alwaysOn.insert(l.name);
    for (const CommandInfo& c : commandTable())
        EXPECT_EQ(ruleAllows(c, busy), alwaysOn.contains(c.name)) << c.name.toStdString();
}

TEST(CommandsTest, RecentCommandNeedsItsOwnSlot) {
    for (int slot = 1; slot <= 4; ++slot) {
        for (int set = 0; set < 4; ++set) {
            CommandState s;
            s.recent[size_t(set)] = true;
            const QString name = QStringLiteral("actOpenRecent%1").arg(slot);
            EXPECT_EQ(commandEnabled(name, s), slot - 1 == set) << slot << " " << set;
            s.busy = true;
            EXPECT_FALSE(commandEnabled(name, s));
        }
    }
}

TEST(CommandsTest, WebLinksUseHttpsUnlessConfiguredOtherwise) {
    for (const WebLink& l : webLinks())
        EXPECT_EQ(webLinkUrl(l, defaultServers()).scheme(), "https") << l.name.toStdString();
    EXPECT_EQ(makerWebUrl(defaultServers()).scheme(), "https");
}

TEST(CommandsTest, WebLinksOpenTheirPathsOnTheConfiguredHosts) {
    Servers servers = defaultServers();
    servers.WebSite = "http://www.kelvard.test/";
    servers.DealerArea = "http://dealer.test:8080";
    servers.VehicleSearch = "http://suche.test";
    const char* expected[][2] = {
        {"actTarmeloOnline", "http://www.kelvard.test/tarmelo.php"},
        {"actKelvardOnline", "http://www.kelvard.test/"},
        {"actDealerArea", "http://dealer.test:8080/dealer-admin/"},
        {"actVehiclesOnline", "http://dealer.test:8080/dealer-admin/inventory.html?resetFilter=1"},
        {"actSearchPkw", "http://suche.test/fahrzeuge/search.html?scopeId=C&lang=de"},
        {"actSearchWomo", "http://suche.test/fahrzeuge/search.html?scopeId=MH&lang=de"},
        {"actSearchKrad", "http://suche.test/fahrzeuge/search.html?scopeId=MB&lang=de"},
        {"actSearchLkw", "http://suche.test/fahrzeuge/search.html?scopeId=AT&lang=de"},
        {"actAveragePrice", "http://dealer.test:8080/dealer-admin/averagePrice.html"},
        {"actParking", "http://dealer.test:8080/dealer-admin/parking.html"},
        {"actBusinessCockpit", "http://dealer.test:8080/dealer-admin/reporting/businessCockpit.html"},
        {"actAdStatistic", "http://dealer.test:8080/dealer-admin/reporting/vehicleCockpit.html"},
    };
    const QList<WebLink>& links = webLinks();
    ASSERT_EQ(links.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(links[i].name, expected[i][0]);
        const QUrl url = webLinkUrl(links[i], servers);
        EXPECT_TRUE(url.isValid()) << expected[i][0];
        EXPECT_EQ(url.toString(QUrl::FullyEncoded), expected[i][1]);
    }
}
