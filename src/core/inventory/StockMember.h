#pragma once

#include "model/Fahrzeug.h"

#include <QByteArray>
#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace tarmelo::inventory {

// The archive member with what the marketplace's columns do not hold: status, entry and sale dates, price history.
// The upload and the line files never carry it.
inline constexpr char kStockMember[] = "tarmelo.json";
// The version this program writes; a member of a later one opens the archive read-only.
inline constexpr int kStockVersion = 1;
// Thousands of vehicles with years of price changes stay far below.
inline constexpr qint64 kStockMemberLimit = 32LL << 20;

// One vehicle's stock data as dump shows and build takes it: "status", "eingang", "eingang_geschaetzt",
// "verkauft" (dates JJJJ-MM-TT, null when unknown) and "preisverlauf" [{"datum", "feld", "alt", "neu"}].
QJsonObject stockToJson(const model::StockInfo& s);
bool isStockKey(const QString& key);

struct StockJsonError {
    QString field; // the key refused
    QString what;  // German, naming the value
};
// Takes the stock keys of a vehicle object (others are ignored; absent ones keep their value). A value that does
// not fit (an unknown status, a date that is none, a sale date without the status "verkauft", ...) is refused.
std::optional<StockJsonError> stockFromJson(const QJsonObject& o, model::StockInfo& s);

// The member for vehicles first..last saved with the lines of `csvFile` (position;"key";...): one entry per vehicle
// with its line's key, by which reading finds it, and its internal number beside it. Empty when none of them has
// anything to keep: such an archive stays as it always was.
QByteArray stockMemberData(const model::Inventory& inv, int first, int last, const QByteArray& csvFile);

struct StockRead {
    bool readOnly = false; // the member is of a newer version or damaged: saving over the file would lose it
    QString message;       // German, why; empty when readOnly is false
};

// Gives the vehicles read from an archive their stock data: by line key from `member` (nullopt:
// the archive has none). A vehicle the member does not name gets `archiveDate` as its entry date, marked as a
// guess. Every vehicle's prices become its saved state. `keys` holds each vehicle's line key.
StockRead applyStockMember(model::Inventory& vehicles, const QList<QByteArray>& keys,
                           const std::optional<QByteArray>& member, QDate archiveDate);
// The message for a member that could not be read at all (too big, damaged in the archive).
StockRead damagedStockMember();

// What a save of the whole inventory records, the one call before it: the entry date of vehicles new to the stock,
// the sale date of a sold vehicle without one, and every price field that differs from its saved state (several
// changes of one field on one day are one entry). The saved state becomes the current prices. Returns the rows
// changed.
QList<int> recordStockChanges(model::Inventory& inv, QDate today);

} // namespace tarmelo::inventory
