#include "inventory/DocumentController.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <deque>

using namespace tarmelo;
using inventory::DocumentView;

namespace {

// Answers the controller's questions from queues and records what it was shown: the controller is driven as a
// window would drive it, without one.
struct RecordingView : DocumentView {
    std::deque<Answer> saveAnswers;
    std::deque<bool> confirmations;
    std::deque<QString> openNames, saveNames;
    QStringList shown; // "store N" / "show N" / "error ..." in order
    model::Inventory* vehicles = nullptr;

    Answer askSave(const QString& q) override {
        shown << QStringLiteral("ask ") + q;
        return take(saveAnswers, Answer::Cancel);
    }
    bool confirm(const QString& q) override {
        shown << QStringLiteral("confirm ") + q;
        return take(confirmations, false);
    }
    void error(const QString& m) override { shown << QStringLiteral("error ") + m; }
    void warning(const QString& m) override { shown << QStringLiteral("warning ") + m; }
    QString openFileName(const QString&) override { return take(openNames, QString()); }
    QString saveFileName() override { return take(saveNames, QString()); }
    void storeShown() override { shown << QStringLiteral("store"); }
    void showVehicle(int row) override { shown << QStringLiteral("show %1").arg(row); }
    void selectVehicle(int row) override { shown << QStringLiteral("select %1").arg(row); }
    void reportFailure(const csv::InventoryFailure& f) override {
        shown << QStringLiteral("failure %1 %2").arg(f.index).arg(f.failure.message);
    }
    void clearStatus() override {}
    void hold(bool) override {}
    void showImport(bool) override {}
    void progress(int) override {}

    template <class T> static T take(std::deque<T>& q, T otherwise) {
        if (q.empty())
            return otherwise;
        T t = q.front();
        q.pop_front();
        return t;
    }
};

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return instance;
}

class DocumentControllerTest : public testing::Test {
protected:
    void SetUp() override {
        app();
        control.setClock(fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0))));
        doc.setName(QStringLiteral("Unbenannt"));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1StringView(name)); }
    // A saved archive of n valid cars, read back into the controller's document.
    void openSaved(int n) {
        for (int i = 0; i < n; ++i)
            doc.append({test::validVehicle(1)});
        view.saveNames.push_back(path("bestand.zip"));
        control.save(0, doc.count() - 1, true, false);
        ASSERT_TRUE(doc.isSaved());
        view.shown.clear();
    }
    QTemporaryDir dir;
    inventory::Document doc;
    RecordingView view;
    inventory::DocumentController control{&doc, &view};
};

TEST_F(DocumentControllerTest, SelectionStoresTheRecordLeftBeforeShowingTheNextOne) {
    doc.append({test::validVehicle(1), test::validVehicle(2)});
    control.selectionChanged(0);
    control.selectionChanged(0); // the same row again: nothing to store or show
    control.selectionChanged(1);
    control.selectionChanged(7); // beyond the list: nothing shown
    EXPECT_EQ(view.shown, QStringList({"store", "show 0", "store", "show 1", "store", "show -1"}));
    EXPECT_EQ(control.shownRow(), -1);
}

TEST_F(DocumentControllerTest, TheUnsavedChangesQuestionDecidesWhetherANewDocumentStarts) {
    struct Case {
        DocumentView::Answer answer;
        bool emptied;
        bool savedAfter;
    };
    const Case cases[] = {
        {DocumentView::Answer::Cancel, false, false},
        {DocumentView::Answer::No, true, false},
        {DocumentView::Answer::Yes, true, false}, // saved first, then a new unsaved document
    };
    for (const Case& c : cases) {
        openSaved(2);
        doc.markModified();
        view.saveAnswers.push_back(c.answer);
        control.newDocument();
        EXPECT_EQ(doc.count() == 0, c.emptied) << int(c.answer);
        EXPECT_EQ(doc.isSaved(), c.savedAfter) << int(c.answer);
        EXPECT_TRUE(
            view.shown.value(0).startsWith(QStringLiteral("ask Möchten Sie die Änderungen in \"bestand.zip\"")));
        if (c.answer == DocumentView::Answer::Yes) {
            EXPECT_EQ(doc.name(), "Unbenannt");
            EXPECT_TRUE(QFile::exists(path("bestand.zip")));
        }
        doc.clear();
        doc.setName(QStringLiteral("Unbenannt"));
    }
}

TEST_F(DocumentControllerTest, OpenSaveAndTheLockAgainstAnotherInstance) {
    openSaved(3);
    RecordingView otherView;
    inventory::Document otherDoc;
    inventory::DocumentController other(&otherDoc, &otherView);
    other.read(path("bestand.zip"), false);
    EXPECT_EQ(otherDoc.count(), 0);
    ASSERT_EQ(otherView.shown.size(), 1);
    EXPECT_TRUE(otherView.shown[0].startsWith(QStringLiteral("error Die Datei \"bestand.zip\" ist bereits")));

    // Once this one lets the file go, the other opens it: every vehicle, saved, the first one selected.
    EXPECT_TRUE(control.close());
    otherView.shown.clear();
    other.read(path("bestand.zip"), false);
    EXPECT_EQ(otherDoc.count(), 3);
    EXPECT_TRUE(otherDoc.isSaved());
    EXPECT_EQ(otherDoc.name(), path("bestand.zip"));
    EXPECT_EQ(otherView.shown, QStringList({"select 0"}));
}

TEST_F(DocumentControllerTest, ASaveNeverReplacesWhatItShouldNot) {
    openSaved(1);
    const QByteArray before = [&] {
        QFile f(path("bestand.zip"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    // A vehicle that breaks a rule stops the save before any file is touched.
    doc.edit(0).marke.clear();
    doc.markModified();
    control.save(0, 0, false, false);
    ASSERT_EQ(view.shown.size(), 2);
    EXPECT_EQ(view.shown[0], "store");
    EXPECT_TRUE(view.shown[1].startsWith(QStringLiteral("failure 0 ")));

    // Changed outside since it was written here: the person is asked, and "Nein" keeps the file as it is.
    doc.edit(0).marke = "andere";
    QFile outside(path("bestand.zip"));
    ASSERT_TRUE(outside.open(QIODevice::Append));
    outside.write("x");
    outside.close();
    view.shown.clear();
    view.confirmations.push_back(false);
    control.save(0, 0, false, false);
    EXPECT_TRUE(view.shown.value(1).startsWith(QStringLiteral("confirm Die Datei \"bestand.zip\" wurde")));
    EXPECT_FALSE(doc.isSaved());
    QFile after(path("bestand.zip"));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before + "x");
}

} // namespace
