#include "transfer/UploadRecord.h"
#include "transfer/TransferLog.h"

#include "inventory/CsvFile.h"
#include "support/TestVehicles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarmelo;
using namespace tarmelo::transfer;

namespace {

UploadManifest manifest(const QList<std::pair<const char*, const char*>>& keyAndDigest) {
    UploadManifest m;
    for (const auto& [key, digest] : keyAndDigest)
        m.vehicles.append({key, digest, QStringLiteral("Fahrzeug %1").arg(key), QString::fromLatin1(key)});
    return m;
}

QString rowsOf(const UploadPreview& p) {
    QStringList out;
    for (const PreviewRow& r : p.rows)
        out << changeText(r.change) + u' ' + QString::fromLatin1(r.key) +
                   (r.oldKey.isEmpty() ? QString() : u'<' + QString::fromLatin1(r.oldKey));
    return out.join(u',');
}

int fileMode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

} // namespace

TEST(UploadPreviewTest, DifferenceAgainstTheLastUpload) {
    const UploadManifest three = manifest({{"A", "1"}, {"B", "2"}, {"C", "3"}});
    const struct {
        const char* name;
        bool previous;
        UploadManifest last;
        UploadManifest next;
        const char* rows;
        bool confirm;
    } cases[] = {
        {"nothing known", false, {}, three, "neu A,neu B,neu C", false},
        {"the same again", true, three, three, "unverändert A,unverändert B,unverändert C", false},
        {"changed, new and withdrawn", true, three, manifest({{"A", "1"}, {"B", "9"}, {"D", "4"}}),
         "zurückgezogen C,neu D,geändert B,unverändert A", false},
        {"renamed keeps its content", true, three, manifest({{"A", "1"}, {"X", "2"}, {"C", "3"}}),
         "neue Nummer X<B,unverändert A,unverändert C", false},
        {"every key new, reset days", true, three, manifest({{"R1", "1"}, {"R2", "2"}, {"R3", "3"}}),
         "neue Nummer R1<A,neue Nummer R2<B,neue Nummer R3<C", false},
        {"more than half withdrawn", true, three, manifest({{"A", "1"}}),
         "zurückgezogen B,zurückgezogen C,unverändert A", true},
        {"exactly half withdrawn", true, manifest({{"A", "1"}, {"B", "2"}, {"C", "3"}, {"D", "4"}}),
         manifest({{"A", "1"}, {"B", "2"}}), "zurückgezogen C,zurückgezogen D,unverändert A,unverändert B", false},
        {"every listed vehicle withdrawn", true, three, manifest({{"N", "7"}}),
         "zurückgezogen A,zurückgezogen B,zurückgezogen C,neu N", true},
        {"empty inventory", true, three, {}, "zurückgezogen A,zurückgezogen B,zurückgezogen C", true},
        {"empty inventory, nothing known", false, {}, {}, "", true},
        {"two of the same content", true, manifest({{"A", "1"}, {"B", "1"}}), manifest({{"C", "1"}, {"B", "1"}}),
         "neue Nummer C<A,unverändert B", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const UploadPreview p = comparePreview(c.previous ? std::optional(c.last) : std::nullopt, c.next);
        EXPECT_EQ(rowsOf(p), QString::fromUtf8(c.rows));
        EXPECT_EQ(p.needsConfirmation(), c.confirm);
        EXPECT_EQ(p.previousKnown, c.previous);
        EXPECT_EQ(p.listed, c.last.vehicles.size());
        EXPECT_EQ(p.sending, c.next.vehicles.size());
    }
    const UploadPreview most = comparePreview(three, manifest({{"A", "1"}}));
    EXPECT_EQ(most.summary(), "0 neu, 0 geändert, 1 unverändert, 2 zurückgezogen, 0 mit neuer Nummer");
    EXPECT_EQ(most.confirmationQuestion(),
              QStringLiteral("Die Übertragung zieht 2 der 3 bei Karvento eingestellten Fahrzeuge zurück.\n"
                             "Karvento ersetzt Ihren gesamten Fahrzeugbestand durch die übertragenen Fahrzeuge.\n\n"
                             "Möchten Sie den Fahrzeugbestand trotzdem übertragen?"));
    EXPECT_EQ(most.refusal(), QStringLiteral("Die Übertragung zöge 2 der 3 bei Karvento eingestellten Fahrzeuge "
                                             "zurück; nichts wurde gesendet. Mit --allow-withdrawal wird trotzdem "
                                             "übertragen."));
    EXPECT_EQ(comparePreview(three, {}).confirmationQuestion(),
              QStringLiteral("Die Übertragung enthält kein Fahrzeug: Danach bieten Sie bei Karvento kein Fahrzeug "
                             "mehr an.\nKarvento ersetzt Ihren gesamten Fahrzeugbestand durch die übertragenen "
                             "Fahrzeuge.\n\nMöchten Sie den Fahrzeugbestand trotzdem übertragen?"));
}

// The digest follows what the marketplace receives: the line without position and key, and the photos sent.
TEST(UploadPreviewTest, DigestFollowsLineAndPhotosNotPositionOrKey) {
    model::Inventory inv;
    for (int i = 0; i < 2; ++i) {
        model::TFahrzeug v = test::validVehicle(1);
        v.inr = "N-" + QByteArray::number(i);
        v.modell = "Modell " + QByteArray::number(i);
        v.bilder[0] = QByteArray(1000, char('a' + i));
        inv.append(v);
    }
    const Clock clock = fixedClock(QDateTime(QDate(2024, 1, 31), QTime(14, 25)));
    const auto digests = [&](const model::Inventory& vehicles, inventory::KeyMode mode) {
        const inventory::CsvLines lines = inventory::buildLines(vehicles, 0, int(vehicles.size()) - 1, mode, clock);
        EXPECT_TRUE(lines.ok());
        QList<QByteArray> out;
        for (const ListedVehicle& v : manifestOf(lines.lines, vehicles, photoPrints(vehicles)).vehicles)
            out << v.digest;
        return out;
    };
    const QList<QByteArray> base = digests(inv, inventory::KeyMode::Typed);
    ASSERT_EQ(base.size(), 2);
    EXPECT_NE(base[0], base[1]);
    EXPECT_EQ(digests(inv, inventory::KeyMode::TimeStamp), base); // the key does not count
    model::Inventory swapped{inv[1], inv[0]};
    EXPECT_EQ(digests(swapped, inventory::KeyMode::Typed), (QList<QByteArray>{base[1], base[0]}));
    model::Inventory photo = inv;
    photo[0].bilder[0][500] = 'z';
    EXPECT_NE(digests(photo, inventory::KeyMode::Typed)[0], base[0]);
    model::Inventory afterGap = inv;
    afterGap[0].bilder[2] = "not sent"; // behind the empty second slot: not uploaded
    EXPECT_EQ(digests(afterGap, inventory::KeyMode::Typed)[0], base[0]);
    const UploadManifest m =
        manifestOf(inventory::buildLines(inv, 0, 1, inventory::KeyMode::Typed, clock).lines, inv, photoPrints(inv));
    EXPECT_EQ(m.vehicles[1].key, "N-1");
    EXPECT_EQ(m.vehicles[1].number, "N-1");
    EXPECT_EQ(m.vehicles[1].title, QString::fromLatin1(inv[1].marke) + " Modell 1");
}

// Kept per user and server, replaced atomically, readable by the owner alone.
TEST(UploadPreviewTest, LastUploadKeptPerUserAndServer) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(kUploadRecordFile);
    EXPECT_FALSE(lastUpload(path, "haendler", "ftp.example").has_value());
    UploadManifest first = manifest({{"A\xe4", "1"}, {"B", "2"}});
    first.time = QDateTime(QDate(2024, 1, 31), QTime(14, 25));
    UploadManifest other = manifest({{"Z", "9"}});
    ASSERT_TRUE(recordUpload(path, "haendler", "ftp.example", first));
    ASSERT_TRUE(recordUpload(path, "zweiter", "ftp.example", other));
    ASSERT_TRUE(recordUpload(path, "haendler", "test.example", other));
    EXPECT_EQ(fileMode(path), 0600);
    const auto back = lastUpload(path, "haendler", "ftp.example");
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->vehicles, first.vehicles);
    EXPECT_EQ(back->time, first.time);
    EXPECT_EQ(lastUpload(path, "zweiter", "ftp.example")->vehicles, other.vehicles);
    EXPECT_FALSE(lastUpload(path, "dritter", "ftp.example").has_value());
    QFile broken(path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{kaputt");
    broken.close();
    EXPECT_FALSE(lastUpload(path, "haendler", "ftp.example").has_value());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(TransferLogTest, AppendedRecordsReadNewestFirst) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(kTransferLogFile);
    EXPECT_TRUE(readTransferLog(path).isEmpty());
    QList<TransferRecord> written;
    for (int i = 0; i < 3; ++i) {
        TransferRecord r;
        r.time = QDateTime(QDate(2024, 2, 1 + i), QTime(9, 0, 0, 250));
        r.upload = i != 1;
        r.user = "haendler";
        r.server = "ftp.example:21";
        r.file = QStringLiteral("/home/h/bestand %1.zip").arg(i);
        r.added = r.upload ? i : -1;
        r.changed = r.upload ? 2 : -1;
        r.withdrawn = r.upload ? 0 : -1;
        r.bytes = 1234567890123LL + i;
        r.encrypted = i == 2;
        r.result = i == 0 ? QStringLiteral("übertragen") : QStringLiteral("fehlgeschlagen");
        r.reply = "226 Transfer complete.";
        ASSERT_TRUE(appendTransferRecord(path, r));
        written.prepend(r);
    }
    EXPECT_EQ(readTransferLog(path), written);
    EXPECT_EQ(fileMode(path), 0600);
    EXPECT_EQ(transferEncryptionText(written[1]), QStringLiteral("Verbindung unverschlüsselt"));
    EXPECT_EQ(transferKindText(written[1]), QStringLiteral("Herunterladen"));
    // A grown file keeps its newer half and stays readable from its end.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    const QByteArray filler = "{\"time\":\"2023-01-01T00:00:00.000\",\"result\":\"alt\"}\n";
    for (int i = 0; i < (5 << 20) / filler.size(); ++i)
        f.write(filler);
    f.close();
    ASSERT_TRUE(appendTransferRecord(path, written.first()));
    EXPECT_LT(QFileInfo(path).size(), 3 << 20);
    const QList<TransferRecord> back = readTransferLog(path);
    ASSERT_FALSE(back.isEmpty());
    EXPECT_EQ(back.first(), written.first());
    EXPECT_EQ(back.last().result, "alt");
}
