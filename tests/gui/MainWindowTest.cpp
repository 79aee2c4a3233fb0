#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "editor/VehiclePages.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"
#include "support/TestVehicles.h"
#include "support/ViewClicks.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace tarmelo;
using gui::TformMain;
using model::FieldSpec;

namespace {

QByteArray cp(const char* utf8) {
    return *model::toCp1252(QString::fromUtf8(utf8));
}

template <class W = QWidget> W* find(const TformMain& w, const QString& name) {
    W* child = w.findChild<W*>(name);
    EXPECT_NE(child, nullptr) << name.toStdString();
    return child;
}

// Types each character as a key press, umlauts included.
void type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

QString labelText(const TformMain& w, const QString& name) {
    auto* l = find<QLabel>(w, name);
    return l ? l->text() : QString();
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        gui::Dialogs::setTestMode(true);
        w.setClock(fixedClock(QDateTime(QDate(2009, 5, 15), QTime(10, 0))));
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    QString currentPage() const { return w.pages()->currentWidget()->objectName(); }
    TformMain w;
};

TEST_F(MainWindowTest, StartsEmpty) {
    EXPECT_EQ(w.windowTitle(), "Tarmelo");
    EXPECT_EQ(labelText(w, "lblEintrag"), "-");
    EXPECT_EQ(labelText(w, "lblBild"), "-");
    EXPECT_FALSE(find(w, "sbAllgemein")->isEnabled());
    EXPECT_FALSE(w.action("actCopy")->isEnabled());
    EXPECT_FALSE(w.action("actCheckErrors")->isEnabled());
    EXPECT_EQ(w.pages()->count(), 25);
}

// Every class gets its pages, with a control of the right name for every field its table row lists.
TEST_F(MainWindowTest, AddingEachClassShowsItsPages) {
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        w.AddFahrzeug(c);
        EXPECT_EQ(currentPage(), model::generalPageName(c));
        EXPECT_EQ(w.pages()->indexOf(w.pages()->currentWidget()), 2 * c - 2);
        EXPECT_EQ(w.pages()->indexOf(w.findChild<QWidget*>(model::equipmentPageName(c))), 2 * c - 1);
        EXPECT_EQ(labelText(w, "lblEintrag"), QStringLiteral("%1/%1").arg(c));
        EXPECT_EQ(labelText(w, "lblTyp"), model::className(c));
        EXPECT_EQ(labelText(w, "lblBild"), "Nein");
        for (const FieldSpec& f : model::fields()) {
            const QString name = model::controlName(f, c);
            if (name.isEmpty())
                continue;
            QWidget* control = w.pages()->control(name);
            if (!model::hasControl(f, c)) {
                EXPECT_EQ(control, nullptr) << name.toStdString();
                continue;
            }
            ASSERT_NE(control, nullptr) << name.toStdString();
            if (f.control == model::Control::Check) {
                EXPECT_EQ(static_cast<QCheckBox*>(control)->text(), model::label(f, c)) << name.toStdString();
            } else if (auto* cap = w.findChild<QLabel*>(QStringLiteral("cap_%1_%2").arg(c).arg(f.name))) {
                EXPECT_TRUE(cap->text() == model::label(f, c) || qstrcmp(f.name, "kombiniert") == 0 ||
                            f.control == model::Control::Radio)
                    << name.toStdString();
            }
        }
        EXPECT_NE(w.pages()->control(QStringLiteral("rb_%1_nounf").arg(c)) != nullptr,
                  !model::hasControl(*model::field(u"unf"), c));
        EXPECT_NE(w.pages()->control(QStringLiteral("lbl_%1_zeichen").arg(c)), nullptr);
        EXPECT_EQ(w.pages()->featureTabs(c) != nullptr, model::classLayout(c).hasTabs());
    }
    EXPECT_EQ(w.list()->topLevelItemCount(), 12);
    EXPECT_FALSE(w.isSaved());
}

// A record of each class, with values its controls cannot show too, survives show and store unchanged.
TEST_F(MainWindowTest, ShowThenStoreKeepsEveryField) {
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        model::TFahrzeug v = model::newVehicle(c);
        for (const FieldSpec& f : model::fields()) {
            if (qstrcmp(f.name, "klasse") == 0)
                continue;
            switch (f.kind) {
            case model::FieldKind::Flag:
                v.*f.byte = 1;
                break;
            case model::FieldKind::Code:
                v.*f.byte = model::hasControl(f, c) ? model::storeCode(f.list, c, 1) : 7;
                break;
            case model::FieldKind::Amount:
                v.*f.amount = qstrcmp(f.name, "overpass") == 0 ? 120 : 12345.67;
                break;
            case model::FieldKind::LongText:
                v.*f.text = "Zeile 1\r\nZeile 2";
                break;
            case model::FieldKind::Text:
                if (f.list != model::ListId::None && model::hasControl(f, c))
                    v.*f.text = model::listItems(f.list, c).value(1, model::listItems(f.list, c).value(0));
                else if (f.control == model::Control::Mask)
                    v.*f.text = f.width == 7 ? "0 -20 7" : f.width == 10 ? "24.12.2009" : "2005";
                else
                    v.*f.text = QByteArray("12AB").left(f.width);
                break;
            case model::FieldKind::Photos:
                break;
            }
        }
        v.farbe = cp("dunkelgrün");
        v.kwps = 1;
        v.bn = 1;
        v.unf = 0;
        v.kennung = "17";
        v.bilder[0] = "jpeg";
        w.setInventory({v});
        model::TFahrzeug stored = w.vehicles()[0];
        w.pages()->store(stored);
        for (const FieldSpec& f : model::fields()) {
            if (f.text) {
                EXPECT_EQ((stored.*f.text).toStdString(), (v.*f.text).toStdString()) << f.name;
            } else if (f.byte) {
                EXPECT_EQ(stored.*f.byte, v.*f.byte) << f.name;
            } else if (f.amount) {
                EXPECT_EQ(stored.*f.amount, v.*f.amount) << f.name;
            }
        }
        EXPECT_EQ(stored, v);
    }
}

TEST_F(MainWindowTest, ShowingAVehicleDoesNotModifyTheInventory) {
    model::TFahrzeug v = model::newVehicle(1);
    v.envkv = 1;
    w.setInventory({v, model::newVehicle(5)});
    w.setSaved(true);
    test::clickRow(w.list(), 1);
    test::clickRow(w.list(), 0);
    EXPECT_TRUE(w.isSaved());
    EXPECT_EQ(labelText(w, "cap_1_kombiniert"), "Kombiniert:");
    EXPECT_FALSE(find(w, "lbl_1_co2")->isHidden());
}

TEST_F(MainWindowTest, NewVehicleShowsListDefaultsAndStoresThem) {
    w.AddFahrzeug(1);
    auto combo = [&](const char* name) { return find<QComboBox>(w, name)->currentText(); };
    EXPECT_EQ(combo("combo_1_marke"), QString::fromUtf8("Bitte auswählen"));
    EXPECT_EQ(combo("combo_1_kraftstoff"), "keine Angabe");
    EXPECT_EQ(combo("combo_1_typ"), "Gebrauchtwagen");
    EXPECT_EQ(combo("combo_1_mwst"), "MwSt nicht ausweisbar");
    EXPECT_EQ(combo("combo_1_tueren"), "keine Angabe");
    EXPECT_EQ(combo("combo_1_farbe"), "keine Farbangabe");
    w.RefreshList();
    const model::TFahrzeug& v = w.vehicles()[0];
    EXPECT_EQ(v.marke, cp("Bitte auswählen"));
    EXPECT_EQ(v.typ, "Gebrauchtwagen");
    EXPECT_EQ(v.mwst, "MwSt nicht ausweisbar");
    EXPECT_EQ(v.lieferdatum, "  .  .    ");

    w.AddFahrzeug(4);
    EXPECT_EQ(combo("combo_4_bn"), "netto");
    EXPECT_EQ(combo("combo_4_mwst"), "19%");
}

TEST_F(MainWindowTest, TypingTheModelUpdatesItsColumn) {
    w.AddFahrzeug(3);
    auto* edit = find<QLineEdit>(w, "le_3_modell");
    QString typed;
    for (QChar ch : QStringLiteral("B 544")) {
        QTest::keyClick(edit, ch.toLatin1());
        typed += ch;
        EXPECT_EQ(w.list()->cellText(0, 2), typed.trimmed()) << "the model is stored trimmed";
    }
    EXPECT_EQ(w.vehicles()[0].modell, "B 544");
    // An equipment switch reaches the record only at the next store step.
    w.setSaved(true);
    find<QCheckBox>(w, "cb_3_wc")->setChecked(true);
    EXPECT_FALSE(w.isSaved());
    EXPECT_EQ(w.vehicles()[0].wc, 0);
    w.RefreshList();
    EXPECT_EQ(w.vehicles()[0].wc, 1);
}

TEST_F(MainWindowTest, PriceCells) {
    struct Case {
        int bn;
        const char* mwst;
        const char* net;
        const char* gross;
    } cases[] = {
        {0, "19%", "8.403 EUR", "10.000 EUR"},
        {1, "19%", "10.000 EUR", "11.900 EUR"},
        {1, "MwSt nicht ausweisbar", "10.000 EUR", "kein MwSt-Satz angegeben"},
        {0, "MwSt nicht ausweisbar", "", "10.000 EUR"},
    };
    w.AddFahrzeug(1);
    for (const Case& c : cases) {
        find<QComboBox>(w, "combo_1_bn")->setCurrentIndex(c.bn);
        find<QComboBox>(w, "combo_1_mwst")->setCurrentText(QString::fromLatin1(c.mwst));
        find<QDoubleSpinBox>(w, "ce_1_preis")->setValue(10000);
        EXPECT_EQ(w.list()->cellText(0, 8), c.net) << c.mwst;
        EXPECT_EQ(w.list()->cellText(0, 9), c.gross) << c.mwst;
    }
    find<QDoubleSpinBox>(w, "ce_1_preis")->setValue(0);
    EXPECT_EQ(w.list()->cellText(0, 8), "");
    find<QDoubleSpinBox>(w, "ce_1_preis")->setValue(600000000);
    EXPECT_EQ(w.vehicles()[0].preis, 500000000);
}

TEST_F(MainWindowTest, RemovingRows) {
    for (int i = 0; i < 5; ++i)
        w.AddFahrzeug(1);
    test::clickRow(w.list(), 1);
    gui::Dialogs::queueAnswer(QMessageBox::No);
    w.actRemoveExecute();
    EXPECT_EQ(w.vehicles().size(), 5);
    EXPECT_EQ(gui::Dialogs::shown().last().text, "Wirklich löschen?");

    gui::Dialogs::queueAnswer(QMessageBox::Yes);
    w.actRemoveExecute();
    ASSERT_EQ(w.vehicles().size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w.list()->cellText(i, 0), QString::number(i + 1));
    EXPECT_EQ(w.list()->selectedRow(), 1);
    EXPECT_EQ(labelText(w, "lblEintrag"), "2/4");

    test::clickRow(w.list(), 3);
    gui::Dialogs::queueAnswer(QMessageBox::Yes);
    w.actRemoveExecute();
    EXPECT_EQ(w.list()->selectedRow(), 2);
    while (!w.vehicles().isEmpty()) {
        gui::Dialogs::queueAnswer(QMessageBox::Yes);
        w.actRemoveExecute();
    }
    EXPECT_EQ(labelText(w, "lblEintrag"), "-");
    EXPECT_EQ(w.list()->topLevelItemCount(), 0);
}

TEST_F(MainWindowTest, CopyKeepsEveryFieldAndPhotos) {
    w.AddFahrzeug(2);
    QTest::keyClicks(find<QLineEdit>(w, "le_2_modell"), "CB 500");
    w.document()->edit(0).bilder[0] = "jpeg";
    w.sbAusstattungClick();
    w.actCopyExecute();
    ASSERT_EQ(w.vehicles().size(), 2);
    EXPECT_EQ(w.vehicles()[1], w.vehicles()[0]);
    EXPECT_EQ(currentPage(), "aKrad") << "copying returns to the general page";
    EXPECT_EQ(labelText(w, "lblBild"), "Ja");
}

TEST_F(MainWindowTest, PageSwitchSurvivesSelection) {
    w.AddFahrzeug(1);
    w.AddFahrzeug(9);
    w.sbAusstattungClick();
    EXPECT_EQ(currentPage(), "bBauma");
    EXPECT_EQ(find<QAbstractButton>(w, "sbAusstattung")->text(), ":: Ausstattung ::");
    test::clickRow(w.list(), 0);
    EXPECT_EQ(currentPage(), "bPkw");
    w.AddFahrzeug(3);
    EXPECT_EQ(currentPage(), "aWomo");
    EXPECT_EQ(find<QAbstractButton>(w, "sbAllgemein")->text(), ":: Allgemein ::");
}

TEST_F(MainWindowTest, KeyFiltersAndPaste) {
    w.AddFahrzeug(1);
    struct Case {
        const char* control;
        const char* typed;
        const char* result;
    } cases[] = {
        {"le_1_kilometer", "12a3", "123"},
        {"le_1_leistung", "12,5", "125"},
        {"le_1_vin", "AB 12-\xc3\xa4/\xc3\x9f", "AB 12-"},
        {"le_1_innerorts", "5.9", "59"},
        {"le_1_co2", "5,9", "5,9"},
        {"le_1_modell", "Golf \"GTI\"; 1", "Golf \"GTI\"; 1"},
    };
    for (const Case& c : cases) {
        auto* e = find<QLineEdit>(w, c.control);
        e->clear();
        type(e, QString::fromUtf8(c.typed));
        EXPECT_EQ(e->text(), QString::fromUtf8(c.result)) << c.control;
    }
    // Pasted text passes the same filters, so no separator or foreign character reaches a line.
    auto* km = find<QLineEdit>(w, "le_1_kilometer");
    km->clear();
    QApplication::clipboard()->setText(QStringLiteral("12;3\"4"));
    km->paste();
    EXPECT_EQ(km->text(), "1234");
    auto* model = find<QLineEdit>(w, "le_1_modell");
    model->clear();
    QApplication::clipboard()->setText(QString::fromUtf8("Łada €"));
    model->paste();
    EXPECT_EQ(model->text(), QString::fromUtf8("ada €"));
    EXPECT_EQ(find<QLineEdit>(w, "le_1_modell")->maxLength(), 48);
}

TEST_F(MainWindowTest, FreeTextCounter) {
    w.AddFahrzeug(7);
    auto* memo = find<QPlainTextEdit>(w, "Memo7");
    memo->setPlainText(QString(1990, QLatin1Char('x')));
    EXPECT_EQ(labelText(w, "lbl_7_zeichen"), "10");
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(labelText(w, "lbl_7_zeichen"), "8");
    QTest::keyClicks(memo, QStringLiteral("0123456789"));
    EXPECT_EQ(labelText(w, "lbl_7_zeichen"), "0") << "the text stops at 2000";
    EXPECT_EQ(w.vehicles()[0].memo.size(), 2000);
    EXPECT_TRUE(w.list()->detailText(0).endsWith("x, 01234567")) << "the line break shows as a comma";
}

TEST_F(MainWindowTest, ConsumptionSwitch) {
    w.AddFahrzeug(1);
    w.sbAusstattungClick();
    auto* envkv = find<QCheckBox>(w, "cb_1_envkv");
    EXPECT_EQ(labelText(w, "cap_1_kombiniert"), "Verbr. ca.:");
    EXPECT_TRUE(find(w, "lbl_1_kraftstoff")->isHidden());
    envkv->click();
    EXPECT_EQ(labelText(w, "cap_1_kombiniert"), "Kombiniert:");
    for (const char* star :
         {"lbl_1_innerorts", "lbl_1_ausserorts", "lbl_1_kombiniert", "lbl_1_co2", "lbl_1_kraftstoff"})
        EXPECT_FALSE(find(w, star)->isHidden()) << star;
    EXPECT_TRUE(find(w, "le_1_kombiniert")->toolTip().startsWith("Kraftstoffverbrauch kombiniert"));
}

TEST_F(MainWindowTest, StatusMessageLastsSixSeconds) {
    w.ShowInStatus(QStringLiteral(" Fehler: x"));
    auto* timer = w.findChild<QTimer*>("TimerStat");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 6000);
    EXPECT_EQ(w.statusMessage(), " Fehler: x");
    QTest::qWait(1200);
    w.ShowInStatus(QStringLiteral(" Fehler: y"));
    EXPECT_GT(timer->remainingTime(), 5500) << "a new message restarts the full interval";
    timer->start(1);
    QTest::qWait(50);
    EXPECT_EQ(w.statusMessage(), "");
}

class ErrorCheckTest : public MainWindowTest {
protected:
    model::TFahrzeug valid(int c) {
        model::TFahrzeug v = tarmelo::test::validVehicle(c);
        v.inr = "N" + QByteArray::number(c);
        return v;
    }
    void SetUp() override {
        MainWindowTest::SetUp();
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
};

TEST_F(ErrorCheckTest, ReportsTheFirstFailure) {
    struct Case {
        const char* what;
        int klasse;
        std::function<void(model::TFahrzeug&)> breakIt;
        const char* page;
        int tab; // -1: no tab to check
        const char* status;
        const char* focus;
    } cases[] = {
        {"no make", 1, [](auto& v) { v.marke.clear(); }, "aPkw", -1, " Fehler: keine Marke angegeben", "combo_1_marke"},
        {"new with HU & AU neu", 1, [](auto& v) { v.typ = "Neuwagen", v.ez = model::kEmptyMonth, v.tuev_neu = 1; },
         "bPkw", 0, " Fehler: Option \"HU & AU neu\" bei Neufahrzeugen unzulässig", "cb_1_tuev_neu"},
        {"delivery for a used one", 4, [](auto& v) { v.lieferfrist = "2 Wochen"; }, "bLkw_k", 1,
         " Fehler: Angabe der Lieferfrist ist nur bei Neuwagen zulässig", "combo_4_lieferfrist"},
        {"year of a motor home", 3, [](auto& v) { v.bj = "2020"; }, "bWomo", 1, " Fehler: Baujahr ungültig", "me_3_bj"},
        {"year of a forklift", 12, [](auto& v) { v.bj = "2020"; }, "aStapler", -1, " Fehler: Baujahr ungültig",
         "me_12_bj"},
        {"mileage read from a file on a machine", 9,
         [](auto& v) { v.typ = "Neuwagen", v.ez = model::kEmptyMonth, v.kilometer = "900"; }, "aBauma", -1,
         " Fehler: Neufahrzeug darf max. 500 km Laufleistung haben", "VehicleList"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model::TFahrzeug bad = valid(c.klasse);
        c.breakIt(bad);
        w.setInventory({valid(1), bad, valid(2)});
        w.actCheckErrorsExecute();
        EXPECT_EQ(w.list()->selectedRow(), 1);
        EXPECT_EQ(currentPage(), c.page);
        if (c.tab >= 0) {
            EXPECT_EQ(w.pages()->featureTabs(c.klasse)->currentIndex(), c.tab);
        }
        EXPECT_EQ(w.statusMessage(), QString::fromUtf8(c.status));
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
    }
}

TEST_F(ErrorCheckTest, InternalNumbersOnlyWhenTyped) {
    model::TFahrzeug a = valid(1), b = valid(5);
    b.inr = "n1";
    w.setInventory({a, b});
    gui::Dialogs::shown().clear();
    w.actCheckErrorsExecute();
    ASSERT_FALSE(gui::Dialogs::shown().isEmpty());
    EXPECT_EQ(gui::Dialogs::shown().last().text, "Keine Fehler gefunden!");

    w.setAutomaticIntNr(false);
    w.actCheckErrorsExecute();
    EXPECT_EQ(w.statusMessage(), " Fehler: interne Nummer darf nicht mehrfach vorkommen");
    EXPECT_EQ(w.list()->selectedRow(), 1);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "le_5_inr");
    EXPECT_EQ(currentPage(), "aLkw_g");
}

} // namespace
