#include "inventory/DocumentController.h"
#include "inventory/StockMember.h"
#include "support/TestVehicles.h"
#include "support/ZipMembers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
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
    static QByteArray bytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    qsizetype shownStarting(const char* prefix) const {
        return std::count_if(view.shown.cbegin(), view.shown.cend(),
                             [&](const QString& s) { return s.startsWith(QString::fromUtf8(prefix)); });
    }
    void editAndSave(const QByteArray& modell) {
        doc.edit(0).modell = modell;
        doc.markModified();
        control.save(0, doc.count() - 1, false, false);
    }
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

TEST_F(DocumentControllerTest, ASaveKeepsTheArchiveItReplacesAndWarnsOnceWhenItCannot) {
    inventory::BackupPlace place;
    place.dataFolder = path("daten");
    place.clock = control.clock();
    control.setBackupPlace(place);
    openSaved(2); // nothing there yet: nothing to keep
    EXPECT_TRUE(inventory::listBackups(place.dataFolder, path("bestand.zip")).isEmpty());
    EXPECT_EQ(doc.at(1).bestand.entered, QDate(2026, 12, 1)) << "the first save notes the entry";
    const QByteArray before = bytes(path("bestand.zip"));
    const QByteArray modellBefore = doc.at(0).modell;
    editAndSave("anders");
    ASSERT_TRUE(doc.isSaved());
    const QList<inventory::BackupEntry> backups = inventory::listBackups(place.dataFolder, path("bestand.zip"));
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(backups[0].cause, QStringLiteral("Speichern"));
    EXPECT_EQ(bytes(backups[0].file), before);
    // A renaming (then a price change) since the last save names the backup of the next one; the save after, again
    // "Speichern".
    control.noteChangeBefore(inventory::BackupCause::BeforeRename);
    control.noteChangeBefore(inventory::BackupCause::BeforePriceChange);
    editAndSave("umbenannt");
    editAndSave("danach");
    const QList<inventory::BackupEntry> named = inventory::listBackups(place.dataFolder, path("bestand.zip"));
    ASSERT_EQ(named.size(), 3);
    EXPECT_EQ(named[0].cause + '|' + named[1].cause, QStringLiteral("Speichern|vor Umbenennen"));

    // Restored, a backup is a new document of no file: the backup itself is never saved over.
    control.openCopy(backups[0].file);
    EXPECT_EQ(doc.count(), 2);
    EXPECT_EQ(doc.at(0).modell, modellBefore);
    EXPECT_EQ(doc.name(), QStringLiteral("Unbenannt"));
    EXPECT_FALSE(doc.isSaved());
    EXPECT_TRUE(control.lockedArchive().isEmpty());
    view.saveNames.push_back(path("bestand.zip"));
    control.save(0, doc.count() - 1, false, false);
    ASSERT_TRUE(doc.isSaved());

    // A data folder that cannot be made: every save goes on, the warning comes once.
    place.dataFolder = path("bestand.zip") + QStringLiteral("/daten");
    control.setBackupPlace(place);
    view.shown.clear();
    for (const char* m : {"eins", "zwei"}) {
        editAndSave(m);
        EXPECT_TRUE(doc.isSaved()) << m;
    }
    EXPECT_EQ(shownStarting("warning "), 1) << view.shown.join('|').toStdString();
    EXPECT_EQ(shownStarting("error "), 0);
}

TEST_F(DocumentControllerTest, AFileOfALaterVersionIsNeverSavedOver) {
    openSaved(1);
    auto members = test::zipMembers(path("bestand.zip"));
    ASSERT_EQ(members.count(inventory::kStockMember), 1u);
    members[inventory::kStockMember] = R"({"version": 99, "fahrzeuge": []})";
    test::makeZip(path("neuer.zip"), members);
    const QByteArray written = bytes(path("neuer.zip"));
    view.openNames.push_back(path("neuer.zip"));
    control.openFile();
    ASSERT_EQ(doc.count(), 1);
    EXPECT_TRUE(control.isReadOnly());
    EXPECT_EQ(shownStarting("warning Die Datei wurde mit einer neueren Version"), 1);

    // "Speichern" asks for a name; the file itself is refused, another one is written and then is the document.
    view.shown.clear();
    view.saveNames.push_back(path("neuer.zip"));
    editAndSave("anders");
    EXPECT_EQ(shownStarting("error Die Datei \"neuer.zip\" ist schreibgeschützt"), 1);
    EXPECT_FALSE(doc.isSaved());
    EXPECT_EQ(bytes(path("neuer.zip")), written);
    view.saveNames.push_back(path("kopie.zip"));
    control.save(0, 0, false, false);
    EXPECT_TRUE(doc.isSaved());
    EXPECT_EQ(doc.name(), path("kopie.zip"));
    EXPECT_FALSE(control.isReadOnly());
}

} // namespace
