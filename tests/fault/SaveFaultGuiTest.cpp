// The document around a save whose k-th file system call fails: name, recent files and saved flag stay, the old
// archive stays byte for byte, and the full medium is reported as such.

#include "SyscallFaults.h"
#include "common/Dialogs.h"
#include "core/photo/photo_test_images.h"
#include "editor/TformMain.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformMain;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

model::Inventory withPhotos(int count) {
    model::Inventory inv;
    for (int i = 0; i < count; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.kategorie = model::listItems(model::field(u"kategorie")->list, 1).value(2);
        v.modell = "Modell " + QByteArray::number(i);
        v.bilder[0] = photo_test::jpeg(photo_test::noise(64, 48, std::uint32_t(i + 1)));
        inv.append(v);
    }
    return inv;
}

} // namespace

TEST(SaveFaultsInTheWindow, EveryCallFailsInTurn) {
    const struct {
        const char* name;
        int error;
        const char* start;
    } cases[] = {
        {"full medium", ENOSPC, "Die Datei konnte nicht gespeichert werden. Das Speichermedium ist voll."},
        {"i/o error", EIO, "Die Datei konnte nicht gespeichert werden. Ziellaufwerk überprüfen!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString target = dir.filePath("bestand.zip");
        TformMain w;
        w.setClock(fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0))));
        w.setInventory(withPhotos(2));
        Dialogs::queueFileName(target);
        w.actSaveFileAsExecute();
        ASSERT_TRUE(w.isSaved());
        const QByteArray old = fileBytes(target);
        const QStringList recent = w.recentFiles();
        w.setInventory(withPhotos(3));
        // The archive is written on a thread of its own: the faults are armed there.
        int failAt = 0;
        bool hit = false;
        faults::Call hitCall = faults::Call::Open;
        w.setSaveThreadHook([&](bool before) {
            if (before) {
                faults::arm(failAt, c.error);
                return;
            }
            faults::disarm();
            hit = faults::hit();
            hitCall = faults::hitCall();
        });
        int k = 1;
        for (; k <= 500; ++k) {
            SCOPED_TRACE("call " + std::to_string(k));
            w.SetFileName(target);
            w.SetOpenRecent(recent);
            w.setSaved(false);
            Dialogs::shown().clear();
            failAt = k;
            w.actSaveFileExecute();
            if (!hit) {
                EXPECT_TRUE(w.isSaved());
                EXPECT_TRUE(Dialogs::shown().isEmpty());
                break;
            }
            SCOPED_TRACE(std::string("failed ") + faults::name(hitCall));
            const QStringList entries =
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            // The archive, and the lock that keeps other windows from it.
            EXPECT_EQ(entries, QStringList({".bestand.zip.lock", "bestand.zip"}));
            if (w.isSaved()) {
                // The fault hit nothing the save needed.
                EXPECT_TRUE(Dialogs::shown().isEmpty());
                QFile::remove(target);
                QFile f(target);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(old);
                f.close();
                // Read again, so that the window does not take the old file back for a change made elsewhere.
                w.ReadFile(target, false);
                w.setInventory(withPhotos(3));
                continue;
            }
            ASSERT_EQ(Dialogs::shown().size(), 1);
            const QString text = Dialogs::shown()[0].text;
            // A fault in putting the new file in place is reported as a file that cannot be replaced.
            EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.start)) ||
                        (hitCall == faults::Call::Rename && text.startsWith("Eine Datei mit dem Namen")))
                << text.toStdString();
            EXPECT_EQ(w.documentName(), target);
            EXPECT_EQ(w.recentFiles(), recent);
            EXPECT_EQ(fileBytes(target), old);
        }
        EXPECT_LE(k, 500);
    }
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    Dialogs::setTestMode(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
