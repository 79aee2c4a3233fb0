// What the keyboard does on the editing pages: the Tab key walks each group in the order of the field table, and
// an amount beyond its range is typed as it comes and limited when it is read.
#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehiclePages.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using namespace tarmelo;
using gui::TformMain;

namespace {

// The field whose control holds the focus: "<kind>_<class>_<field>", the inner edit of a spin box or combo box
// counting as its control, the "Nein" button of the accident question as that question.
QString focusedField(int c) {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const QString n = w->objectName();
        const QString infix = QStringLiteral("_%1_").arg(c);
        const qsizetype at = n.indexOf(infix);
        if (at > 0) {
            const QString field = n.mid(at + infix.size());
            return field == QLatin1StringView("nounf") ? QStringLiteral("unf") : field;
        }
    }
    return {};
}

class PageKeyboardTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    void TearDown() override { gui::Dialogs::setTestMode(false); }

    // Tabs through a group from its first field and returns the fields in the order the focus reached them.
    QString walk(int c, std::span<const char* const> names) {
        QStringList expected;
        for (const char* n : names) {
            const model::FieldSpec* f = model::field(QLatin1StringView(n));
            if (f && model::hasControl(*f, c))
                expected << QString::fromLatin1(n);
        }
        QWidget* first = w.pages()->control(model::controlName(QString(expected.first()), c));
        EXPECT_NE(first, nullptr);
        if (!first)
            return {};
        first->setFocus(Qt::TabFocusReason);
        QStringList seen{focusedField(c)};
        for (int presses = 0; presses < 3 * expected.size() + 10 && seen.size() < expected.size(); ++presses) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString f = focusedField(c);
            if (f != seen.last())
                seen << f;
        }
        return seen.mid(0, expected.size()).join(QLatin1Char(','));
    }
    static QString expectedOrder(int c, std::span<const char* const> names) {
        QStringList out;
        for (const char* n : names) {
            const model::FieldSpec* f = model::field(QLatin1StringView(n));
            if (f && model::hasControl(*f, c))
                out << model::controlName(*f, c).section(QLatin1Char('_'), 2);
        }
        return out.join(QLatin1Char(','));
    }

    TformMain w;
};

TEST_F(PageKeyboardTest, TabFollowsTheFieldTable) {
    for (int c = 1; c <= model::kClassCount; ++c) {
        SCOPED_TRACE(c);
        w.setInventory({test::validVehicle(c)});
        const model::ClassLayout& layout = model::classLayout(c);
        QTest::mouseClick(w.findChild<QAbstractButton*>("sbAllgemein"), Qt::LeftButton);
        EXPECT_EQ(walk(c, layout.vehicle).toStdString(), expectedOrder(c, layout.vehicle).toStdString());
        QTest::mouseClick(w.findChild<QAbstractButton*>("sbAusstattung"), Qt::LeftButton);
        QTabWidget* tabs = w.pages()->featureTabs(c);
        if (tabs)
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(0).center());
        EXPECT_EQ(walk(c, layout.seite1).toStdString(), expectedOrder(c, layout.seite1).toStdString());
        if (tabs) {
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
            EXPECT_EQ(walk(c, layout.seite2).toStdString(), expectedOrder(c, layout.seite2).toStdString());
        }
    }
}

TEST_F(PageKeyboardTest, AmountsBeyondTheirRangeAreLimitedNotRefused) {
    const struct {
        const char* control;
        const char* typed;
        double stored;
        const char* shown;
    } cases[] = {
        {"ce_1_preis", "600000000", 500000000, "500.000.000,00"},
        {"ce_1_hpreis", "12345,5", 12345.5, "12.345,50"},
        {"ce_1_overpass", "12000", 9999, "9.999"},
    };
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        w.setInventory({test::validVehicle(1)});
        auto* box = w.findChild<QDoubleSpinBox*>(c.control);
        ASSERT_NE(box, nullptr);
        box->setLocale(QLocale());
        const bool equipment = QLatin1StringView(c.control) == QLatin1StringView("ce_1_overpass");
        QTest::mouseClick(w.findChild<QAbstractButton*>(equipment ? "sbAusstattung" : "sbAllgemein"), Qt::LeftButton);
        if (equipment) {
            QTabBar* bar = w.pages()->featureTabs(1)->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        }
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(c.typed));
        EXPECT_EQ(box->findChild<QLineEdit*>()->text(), QString::fromLatin1(c.typed)) << "every keystroke is taken";
        // Leaving the field reads it.
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(box->findChild<QLineEdit*>()->text(), QString::fromLatin1(c.shown));
        w.RefreshList();
        const model::FieldSpec* f = model::field(QString::fromLatin1(c.control).mid(5));
        EXPECT_EQ(w.vehicles()[0].*f->amount, c.stored);
    }
}

} // namespace
