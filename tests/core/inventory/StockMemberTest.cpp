// The stock member: status, dates and price history travel with the inventory archive and nowhere else.

#include "inventory/StockMember.h"
#include "core/photo/photo_test_images.h"
#include "intnr/Renaming.h"
#include "inventory/Archive.h"
#include "inventory/Document.h"
#include "inventory/VehicleJson.h"
#include "model/FieldSchema.h"
#include "support/TestVehicles.h"
#include "support/ZipMembers.h"
#include "transfer/Upload.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace tarmelo;
using namespace tarmelo::inventory;
using model::StockStatus;

namespace {

const QDate kToday(2026, 12, 10);
const Clock kClock = fixedClock(QDateTime(kToday, QTime(10, 0)));

model::TFahrzeug vehicle(int c, const char* inr, double preis) {
    model::TFahrzeug v = test::validVehicle(c);
    v.kategorie = model::listItems(model::field(u"kategorie")->list, c).value(2);
    v.lieferdatum = model::kEmptyDate;
    v.inr = inr;
    v.preis = preis;
    v.bilder[0] = photo_test::jpeg(photo_test::noise(64, 48, std::uint32_t(preis)));
    return v;
}

SaveResult save(const QString& path, model::Inventory& inv, KeyMode mode = KeyMode::Typed) {
    recordStockChanges(inv, kClock().date());
    const CsvLines lines = buildLines(inv, 0, int(inv.size()) - 1, mode, kClock);
    EXPECT_TRUE(lines.ok());
    return writeArchive(path, lines.fileData(), inv, 0, int(inv.size()) - 1);
}

// Stock data as the member keeps it: the saved prices are the lines' own.
model::StockInfo kept(model::StockInfo s) {
    s.savedPrices.reset();
    return s;
}

model::Inventory stockOfEveryKind() {
    model::Inventory inv{vehicle(1, "A-1", 10000), vehicle(3, "A-2", 20000), vehicle(9, "A-3", 30000)};
    inv[0].bestand.entered = QDate(2026, 1, 5);
    model::setStatus(inv[1].bestand, StockStatus::Reserved, kToday);
    inv[1].bestand.entered = QDate(2025, 3, 1);
    inv[1].bestand.enteredGuessed = true;
    model::setStatus(inv[2].bestand, StockStatus::Sold, QDate(2026, 11, 30));
    inv[2].bestand.entered = QDate(2026, 2, 1);
    inv[2].bestand.prices = {{QDate(2026, 5, 1), "preis", 32000, 31000}, {QDate(2026, 6, 1), "hpreis", 0, 29000.5}};
    return inv;
}

TEST(StockMember, RoundTripInEveryKeyMode) {
    QTemporaryDir dir;
    for (const KeyMode mode : {KeyMode::Automatic, KeyMode::Typed, KeyMode::TimeStamp}) {
        model::Inventory inv = stockOfEveryKind();
        const QString path = dir.filePath("bestand.zip");
        ASSERT_TRUE(save(path, inv, mode).ok());
        const OpenResult back = readInventoryFile(path);
        ASSERT_TRUE(back.ok());
        EXPECT_FALSE(back.readOnly);
        ASSERT_EQ(back.vehicles.size(), inv.size());
        for (int i = 0; i < inv.size(); ++i) {
            EXPECT_EQ(kept(back.vehicles[i].bestand), kept(inv[i].bestand)) << "vehicle " << i + 1;
            EXPECT_EQ(back.vehicles[i].bestand.savedPrices, model::pricesOf(inv[i]));
        }
    }
}

// A file of the older program: opened as always, the entry date guessed from the archive, and saved again its
// line file and photos stay byte for byte; only the member joins them, to keep the guess.
TEST(StockMember, ArchiveWithoutTheMemberOpensAsBefore) {
    QTemporaryDir dir;
    const QString path = dir.filePath("alt.zip");
    model::Inventory inv{vehicle(1, "A-1", 10000), vehicle(2, "A-2", 5000)};
    const CsvLines lines = buildLines(inv, 0, 1, KeyMode::Automatic, kClock);
    ASSERT_TRUE(writeArchive(path, lines.fileData(), inv, 0, 1).ok()) << "nothing to keep yet";
    const auto before = test::zipMembers(path);
    ASSERT_EQ(before.count(kStockMember), 0u);

    // The same vehicles with stock data read back as the same records: the member changes nothing else.
    model::Inventory withStock = inv;
    model::setStatus(withStock[1].bestand, StockStatus::Sold, kToday);
    const QString other = dir.filePath("neu.zip");
    ASSERT_TRUE(writeArchive(other, lines.fileData(), withStock, 0, 1).ok());
    const OpenResult r = readInventoryFile(path);
    const OpenResult s = readInventoryFile(other);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.readOnly);
    for (int i = 0; i < 2; ++i) {
        model::TFahrzeug plain = r.vehicles[i], stocked = s.vehicles[i];
        EXPECT_EQ(plain.bestand.entered, QDate::currentDate()) << "the archive's own date";
        EXPECT_TRUE(plain.bestand.enteredGuessed);
        EXPECT_EQ(plain.bestand.status, StockStatus::Available);
        EXPECT_EQ(stocked.bestand.status, i == 1 ? StockStatus::Sold : StockStatus::Available);
        plain.bestand = stocked.bestand = {};
        EXPECT_EQ(plain, stocked);
    }
    model::Inventory again = r.vehicles;
    EXPECT_TRUE(recordStockChanges(again, kToday).isEmpty()) << "opening changed nothing to record";
    const CsvLines same = buildLines(again, 0, 1, KeyMode::Automatic, kClock);
    ASSERT_TRUE(writeArchive(path, same.fileData(), again, 0, 1).ok());
    auto after = test::zipMembers(path);
    ASSERT_EQ(after.count(kStockMember), 1u);
    after.erase(kStockMember);
    EXPECT_EQ(after, before);
}

TEST(StockMember, SurvivesEditSaveAndRenaming) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bestand.zip");
    model::Inventory inv = stockOfEveryKind();
    ASSERT_TRUE(save(path, inv).ok());

    // Edit: the price of the first vehicle drops twice on one day and once later; the second is moved in the list.
    model::Inventory open = readInventoryFile(path).vehicles;
    open[0].preis = 9500;
    ASSERT_TRUE(save(path, open).ok());
    open = readInventoryFile(path).vehicles;
    open[0].preis = 9000;
    open.move(1, 2);
    ASSERT_TRUE(save(path, open).ok());
    open = readInventoryFile(path).vehicles;
    EXPECT_EQ(open[0].bestand.prices, (QList<model::PriceRecord>{{kToday, "preis", 10000, 9000}}));
    EXPECT_EQ(kept(open[2].bestand), kept(inv[1].bestand)) << "found by its key, not its position";

    // Renaming changes every key and number; the member follows.
    intnr::RenameOptions o;
    o.maskMode = true;
    o.mask = QStringLiteral("B-[N]");
    const QList<bool> all(open.size(), true);
    intnr::applyNumbers(open, intnr::previewNumbers(intnr::oldNumbers(open), all, o, kClock()), all);
    const model::Inventory renamed = open;
    ASSERT_TRUE(save(path, open).ok());
    const model::Inventory back = readInventoryFile(path).vehicles;
    for (int i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].inr, renamed[i].inr);
        EXPECT_EQ(kept(back[i].bestand), kept(renamed[i].bestand));
    }
}

TEST(StockMember, SoldVehiclesStayOutOfTheUpload) {
    QTemporaryDir dir;
    model::Inventory inv = stockOfEveryKind(); // the third is sold
    recordStockChanges(inv, kToday);
    const QString path = dir.filePath("tmq_upload.zip");
    const transfer::BuildResult built = transfer::buildUploadFile(path, inv, KeyMode::Typed, kClock, {}, nullptr);
    ASSERT_TRUE(built.ok()) << built.message.toStdString();
    ASSERT_EQ(built.lines.size(), 2);
    const auto members = test::zipMembers(path);
    EXPECT_EQ(members.size(), 3u) << "fzg.csv and two photos";
    EXPECT_EQ(members.count(kStockMember), 0u);
    EXPECT_FALSE(members.at("fzg.csv").contains("A-3"));
    const model::Inventory sent = transfer::forUpload(inv);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[1].inr, "A-2") << "the reserved one goes";

    // The upload's check sees the vehicles sent alone and names a failure by its position in the stock.
    EXPECT_FALSE(transfer::checkForUpload(inv, false, kToday));
    inv[2].marke.clear(); // the sold one breaks a rule: no reason to keep the others back
    EXPECT_FALSE(transfer::checkForUpload(inv, false, kToday));
    inv.append(inv[1]);
    inv[3].inr = "A-4";
    inv[3].marke.clear();
    const auto f = transfer::checkForUpload(inv, false, kToday);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->index, 3);
}

TEST(StockMember, NewerOrDamagedMemberOpensReadOnly) {
    QTemporaryDir dir;
    model::Inventory inv = stockOfEveryKind();
    const QString path = dir.filePath("bestand.zip");
    ASSERT_TRUE(save(path, inv).ok());
    auto members = test::zipMembers(path);
    QJsonObject newer = QJsonDocument::fromJson(members[kStockMember]).object();
    newer["version"] = kStockVersion + 1;
    const struct {
        const char* name;
        QByteArray member;
        qint64 limit;
        const char* says;
    } cases[] = {
        {"newer version", QJsonDocument(newer).toJson(), 32 << 20, "neueren Version"},
        {"not JSON", "{\"version\": 1, \"fahr", 32 << 20, "beschädigt"},
        {"bad status", R"({"version":1,"fahrzeuge":[{"schluessel":"A-1","inr":"A-1","status":"weg"}]})", 32 << 20,
         "beschädigt"},
        {"beyond the limit", members[kStockMember], 100, "beschädigt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        members[kStockMember] = c.member;
        const QString file = dir.filePath(QStringLiteral("f.zip"));
        test::makeZip(file, members);
        ReadLimits limits;
        limits.stockBytes = c.limit;
        const OpenResult r = readInventoryFile(file, {}, limits);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.vehicles.size(), 3) << "every vehicle is there";
        EXPECT_TRUE(r.readOnly);
        EXPECT_TRUE(r.readOnlyMessage.contains(QString::fromUtf8(c.says))) << r.readOnlyMessage.toStdString();
        EXPECT_TRUE(r.readOnlyMessage.contains(QStringLiteral("schreibgeschützt")));
    }
}

// Nothing is recorded unless a price changed; every changed price field gives one entry, and a second call
// finds nothing more.
TEST(StockMember, PriceChangesOverRandomRecords) {
    QRandomGenerator rng(2210);
    for (int round = 0; round < 300; ++round) {
        model::Inventory inv;
        for (int i = 0; i < 5; ++i) {
            inv.append(vehicle(int(rng.bounded(1, 13)), "X", rng.bounded(2, 99999)));
            inv.last().hpreis = rng.bounded(3) == 0 ? 0 : rng.bounded(2, 99999);
        }
        recordStockChanges(inv, kToday.addDays(-3));
        const model::Inventory saved = inv;
        int expected = 0;
        for (model::TFahrzeug& v : inv) {
            if (rng.bounded(2)) {
                v.preis += 1 + rng.bounded(500);
                ++expected;
            }
            if (rng.bounded(3) == 0) {
                v.hpreis += 1;
                ++expected;
            }
            if (rng.bounded(4) == 0)
                v.modell = "geändert"; // not a price
        }
        recordStockChanges(inv, kToday);
        int recorded = 0;
        for (int i = 0; i < inv.size(); ++i) {
            for (const model::PriceRecord& c : inv[i].bestand.prices) {
                EXPECT_EQ(c.date, kToday);
                EXPECT_EQ(c.from, model::priceOf(saved[i], c.field));
                EXPECT_EQ(c.to, model::priceOf(inv[i], c.field));
            }
            recorded += int(inv[i].bestand.prices.size());
            EXPECT_EQ(inv[i].bestand.entered, kToday.addDays(-3));
        }
        EXPECT_EQ(recorded, expected);
        EXPECT_TRUE(recordStockChanges(inv, kToday).isEmpty());
    }
}

// The document's two calls: the status marks it modified and notes the sale; a save's record announces the rows.
TEST(StockMember, DocumentStatusAndRecord) {
    Document doc;
    doc.append({vehicle(1, "A-1", 100), vehicle(2, "A-2", 200)});
    doc.setSaved(true);
    QList<int> changed;
    QObject::connect(&doc, &Document::rowChanged, [&changed](int row) { changed.append(row); });
    doc.setStatus(1, StockStatus::Sold, kToday);
    EXPECT_FALSE(doc.isSaved());
    EXPECT_EQ(doc.at(1).bestand.sold, kToday);
    doc.recordStockChanges(kToday);
    EXPECT_EQ(changed, (QList<int>{1, 0, 1}));
    changed.clear();
    doc.recordStockChanges(kToday);
    EXPECT_TRUE(changed.isEmpty());
    doc.setStatus(1, StockStatus::Available, kToday);
    EXPECT_FALSE(doc.at(1).bestand.sold.isValid());
    // A copy is a vehicle new to the stock.
    doc.setStatus(0, StockStatus::Reserved, kToday);
    EXPECT_EQ(doc.at(doc.appendCopy(0)).bestand, model::StockInfo{});
}

TEST(StockMember, BuildTakesTheStockOrRefusesNamingTheValue) {
    const QString car = R"("klasse": 1, "marke": "VW", "modell": "Golf", "kategorie": "Kombi", )";
    const struct {
        QString stock;
        QString error;
    } cases[] = {
        {R"("status": "verkauft", "verkauft": "2026-11-02", "eingang": "2026-01-02", "eingang_geschaetzt": true,
            "preisverlauf": [{"datum": "2026-03-01", "feld": "preis", "alt": 1000, "neu": 900}])",
         ""},
        {R"("status": "weg")", R"(Fahrzeug 1, Feld "status": "weg" ist kein Status)"},
        {R"("eingang": "2026-02-30")", R"(Fahrzeug 1, Feld "eingang": "2026-02-30" ist kein Datum)"},
        {R"("verkauft": "2026-02-03")", R"(Feld "verkauft": "2026-02-03" passt nicht zum Status "verfügbar")"},
        {R"("status": "verkauft", "verkauft": "2026-01-01", "eingang": "2026-02-01")", "liegt vor dem Eingang"},
        {R"("eingang_geschaetzt": true)", R"(Feld "eingang_geschaetzt": true ohne Datum)"},
        {R"("preisverlauf": [{"datum": "2026-03-01", "feld": "kilometer", "alt": 1, "neu": 2}])",
         R"(Eintrag 1: "kilometer" ist kein Preisfeld)"},
        {R"("preisverlauf": [{"datum": "2026-03-01", "feld": "preis", "alt": "1", "neu": 2}])",
         R"("alt": "1" ist kein Betrag)"},
    };
    for (const auto& c : cases) {
        const JsonRead r = vehiclesFromJson(QStringLiteral("[{%1%2}]").arg(car, c.stock).toUtf8());
        if (c.error.isEmpty()) {
            ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
            const QJsonObject dumped = vehicleToJson(r.vehicles[0].vehicle);
            const QJsonObject given = QJsonDocument::fromJson(("{" + c.stock + "}").toUtf8()).object();
            for (auto it = given.begin(); it != given.end(); ++it)
                EXPECT_EQ(dumped.value(it.key()), it.value()) << it.key().toStdString();
        } else {
            EXPECT_TRUE(r.error.contains(c.error)) << r.error.toStdString();
        }
    }
}

} // namespace
