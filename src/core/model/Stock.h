#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace tarmelo::model {

struct TFahrzeug;

// What the dealer's own stock keeps about a vehicle beyond the marketplace's columns.
enum class StockStatus : quint8 { Available, Reserved, Sold };

// "verfügbar", "reserviert", "verkauft": the texts of the list, the JSON and the archive.
QString statusText(StockStatus s);
std::optional<StockStatus> statusFromText(const QString& text);

struct PriceRecord {
    QDate date;
    QByteArray field; // "preis" or "hpreis"
    double from = 0;
    double to = 0;
    bool operator==(const PriceRecord&) const = default;
};

// The price fields whose changes are recorded, by name.
inline constexpr std::array<const char*, 2> kPriceFields = {"preis", "hpreis"};
// The value of a price field by name; 0 for a name not in kPriceFields.
double priceOf(const TFahrzeug& v, const QByteArray& field);

struct StockInfo {
    StockStatus status = StockStatus::Available;
    QDate entered;               // invalid until the first save or import
    bool enteredGuessed = false; // taken from an archive that did not know it
    QDate sold;                  // set with the status "verkauft"
    QList<PriceRecord> prices;   // oldest first
    // The price fields as last saved or opened, in kPriceFields order; a change against them is recorded at the
    // next save. Not stored: the archive's lines hold them.
    std::optional<std::array<double, kPriceFields.size()>> savedPrices;

    bool operator==(const StockInfo&) const = default;
    // Nothing to keep: a vehicle never saved, without status or history.
    bool isEmpty() const {
        return status == StockStatus::Available && !entered.isValid() && !sold.isValid() && prices.isEmpty();
    }
};

// Sets the status; "verkauft" notes the day unless a sale is noted already, any other status forgets it.
void setStatus(StockInfo& s, StockStatus status, QDate today);
// Days since the vehicle entered the stock (until its sale); nullopt while that date is unknown.
std::optional<qint64> daysInStock(const StockInfo& s, QDate today);
// The prices of the vehicle in kPriceFields order.
std::array<double, kPriceFields.size()> pricesOf(const TFahrzeug& v);

} // namespace tarmelo::model
