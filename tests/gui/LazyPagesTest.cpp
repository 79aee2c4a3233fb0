// The editing pages of a class are built on demand. Whatever the order, the result must be as if every page had
// been there from the start: controls found by name, Tab order, switches set earlier, photo commands connected.
#include "common/Dialogs.h"
#include "core/photo/photo_test_images.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "model/FieldSchema.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelo;
using gui::TformMain;

namespace {

// The class whose page holds the widget, 0 for the window's other widgets.
int classOf(gui::VehiclePages* pages, QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->parentWidget() == pages)
            return pages->indexOf(w) / 2 + 1;
    return 0;
}

struct Stop {
    QString name;
    int klasse;
    bool operator==(const Stop&) const = default;
};

// The pages between two edits, as the window holds them between the vehicle list and the controls after them.
struct Host {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    gui::VehiclePages* pages = new gui::VehiclePages(&window);
    QLineEdit* after = new QLineEdit(&window);
    Host() {
        before->setObjectName(QStringLiteral("before"));
        after->setObjectName(QStringLiteral("after"));
    }
};

// The widgets that take the Tab key, in the window's focus chain, starting at the edit before the pages.
QList<Stop> tabChain(Host& h) {
    QList<Stop> stops;
    QWidget* start = h.before;
    QWidget* at = start;
    do {
        if (at->focusPolicy() & Qt::TabFocus)
            stops.append({at->objectName(), classOf(h.pages, at)});
        at = at->nextInFocusChain();
    } while (at && at != start);
    return stops;
}

TEST(LazyPagesTest, TabChainDoesNotDependOnTheOrderClassesAreBuilt) {
    const QList<int> orders[] = {
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
        {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
        {7, 1, 12, 3, 9, 2, 5, 11, 4, 8, 6, 10},
    };
    QList<Stop> reference;
    for (const QList<int>& order : orders) {
        SCOPED_TRACE(order.first());
        Host h;
        for (int c : order)
            h.pages->ensureBuilt(c);
        const QList<Stop> chain = tabChain(h);
        if (reference.isEmpty())
            reference = chain;
        EXPECT_TRUE(chain == reference);
        // The pages' widgets sit together, class after class, between the edits before and after them.
        ASSERT_FALSE(chain.isEmpty());
        EXPECT_EQ(chain.first().name, "before");
        EXPECT_EQ(chain.last().name, "after");
        int previous = 0;
        for (qsizetype i = 1; i + 1 < chain.size(); ++i) {
            EXPECT_GE(chain[i].klasse, std::max(previous, 1)) << chain[i].name.toStdString();
            previous = chain[i].klasse;
        }
        EXPECT_EQ(previous, model::kClassCount);
    }
}

TEST(LazyPagesTest, AskingForAControlBuildsOnlyItsClass) {
    const struct {
        const char* name;
        int klasse; // 0: no class is built
        bool exists;
    } cases[] = {
        {"le_5_modell", 5, true},     {"GroupBox_3_4", 3, true}, {"cap_1_kombiniert", 1, true},
        {"lbl_12_zeichen", 12, true}, {"grp_2_bilder", 2, true}, {"le_9_gibtsnicht", 9, false},
        {"plNavigation", 0, false},   {"pcVehicle", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gui::VehiclePages own;
        gui::VehiclePages* pages = &own;
        for (int k = 1; k <= model::kClassCount; ++k)
            ASSERT_FALSE(pages->isBuilt(k)) << k;
        QWidget* found = pages->control(QLatin1StringView(c.name));
        EXPECT_EQ(found != nullptr, c.exists);
        for (int k = 1; k <= model::kClassCount; ++k)
            EXPECT_EQ(pages->isBuilt(k), k == c.klasse) << k;
        if (found) {
            EXPECT_EQ(pages->findChild<QWidget*>(QLatin1StringView(c.name)), found);
        }
    }
}

TEST(LazyPagesTest, SwitchesSetBeforeTheClassIsBuiltApplyToIt) {
    const struct {
        bool automatic;
        bool envkv;
    } cases[] = {{true, false}, {false, false}, {true, true}, {false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.automatic << c.envkv);
        gui::VehiclePages own;
        gui::VehiclePages* pages = &own;
        pages->setAutomaticIntNr(c.automatic);
        pages->applyEnvkv(c.envkv);
        ASSERT_FALSE(pages->isBuilt(1));
        for (int k : {1, 4}) {
            pages->ensureBuilt(k);
            EXPECT_EQ(pages->control(model::controlName(u"inr", k))->isHidden(), c.automatic) << k;
            EXPECT_EQ(pages->control(QStringLiteral("lbl_%1_hint_1").arg(k))->isHidden(), !c.automatic) << k;
            EXPECT_EQ(static_cast<QGroupBox*>(pages->control(QStringLiteral("GroupBox_%1_4").arg(k)))->title(),
                      c.automatic ? " Hinweis " : " Interne Nummer ")
                << k;
        }
        EXPECT_EQ(static_cast<QLabel*>(pages->control(QStringLiteral("cap_1_kombiniert")))->text(),
                  c.envkv ? "Kombiniert:" : "Verbr. ca.:");
        EXPECT_EQ(pages->control(QStringLiteral("lbl_1_co2"))->isHidden(), !c.envkv);
        // And a change afterwards reaches the built classes.
        pages->setAutomaticIntNr(!c.automatic);
        EXPECT_EQ(pages->control(model::controlName(u"inr", 4))->isHidden(), !c.automatic);
    }
}

TEST(LazyPagesTest, PhotoCommandsOfALaterClassReachTheWindow) {
    gui::Dialogs::setTestMode(true);
    for (int k : {1, 7, 12}) {
        SCOPED_TRACE(k);
        TformMain w;
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        model::TFahrzeug v = test::validVehicle(k);
        v.bilder[0] = photo_test::jpeg(photo_test::noise(64, 48));
        w.setInventory({v});
        w.setSaved(true);
        ASSERT_EQ(w.findChild<QLabel*>(QStringLiteral("lblBild"))->text(), "Ja");
        QTest::mouseClick(w.findChild<QAbstractButton*>(QStringLiteral("sp_%1_del").arg(k)), Qt::LeftButton);
        EXPECT_TRUE(w.vehicles()[0].bilder[0].isEmpty());
        EXPECT_FALSE(w.isSaved()) << "the deletion marks the inventory modified";
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblBild"))->text(), "Nein");
    }
    gui::Dialogs::setTestMode(false);
}

// Adds a vehicle of every class through the commands; the window keeps the size it was shown with.
void addEveryClass(TformMain& w, QSize shown);

// The first start measures the designed size on the classes with the largest pages and keeps it; the next start takes
// it from there and builds no page before the window is painted. Either way the window keeps the size it showed with.
TEST(LazyPagesTest, WindowKeepsItsShownSizeWhenEveryClassIsAdded) {
    gui::Dialogs::setTestMode(true);
    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("daten/fenster.cache"));
    QSize firstStart;
    for (const bool kept : {false, true}) {
        SCOPED_TRACE(kept ? "size kept from the first start" : "first start");
        TformMain w(nullptr, cache);
        for (int c = 1; c <= model::kClassCount; ++c)
            EXPECT_EQ(w.pages()->isBuilt(c), !kept && (c == 3 || c == 4 || c == 11)) << c;
        EXPECT_TRUE(QFileInfo::exists(cache));
        if (kept) {
            EXPECT_EQ(w.size(), firstStart);
        }
        firstStart = w.size();
        w.show();
        // Laid out by show(): what the first paint shows.
        const QSize shown = w.size();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        addEveryClass(w, shown);
    }
    gui::Dialogs::setTestMode(false);
}

TEST(LazyPagesTest, AKeptSizeOfAnotherSetupIsMeasuredAnew) {
    QTemporaryDir dir;
    const QString cache = dir.filePath(QStringLiteral("fenster.cache"));
    QSize measured;
    {
        TformMain w(nullptr, cache);
        measured = w.size();
    }
    QFile f(cache);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray kept = f.readAll();
    f.close();
    // Another setup (the first field of the key), and a size no window was designed with.
    for (const QByteArray& changed : {QByteArray("2") + kept.mid(1), kept.left(kept.indexOf('\n') + 1) + "5000 9\n"}) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(changed);
        f.close();
        TformMain w(nullptr, cache);
        EXPECT_TRUE(w.pages()->isBuilt(4)) << changed.toStdString();
        EXPECT_EQ(w.size(), measured);
    }
}

void addEveryClass(TformMain& w, QSize shown) {
    const char* commands[] = {"actAddPkw",         "actAddKrad", "actAddWomo",    "actAddLkw_k",
                              "actAddLkw_g",       "actAddSZM",  "actAddHaenger", "actAddAuflieger",
                              "actAddBaumaschine", "actAddBus",  "actAddAgrar",   "actAddStapler"};
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        // As the menu item is chosen: only when a person could choose it.
        QAction* add = w.action(QLatin1StringView(command));
        ASSERT_TRUE(add->isEnabled());
        const qsizetype before = w.vehicles().size();
        add->trigger();
        QTest::qWait(20);
        ASSERT_EQ(w.vehicles().size(), before + 1);
        EXPECT_EQ(w.size(), shown) << "a later built class must not make the window grow";
    }
}

} // namespace
