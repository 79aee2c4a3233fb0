#include "model/Stock.h"

#include "model/Fahrzeug.h"

namespace tarmelo::model {

QString statusText(StockStatus s) {
    switch (s) {
    case StockStatus::Available:
        break;
    case StockStatus::Reserved:
        return QStringLiteral("reserviert");
    case StockStatus::Sold:
        return QStringLiteral("verkauft");
    }
    return QStringLiteral("verfügbar");
}

std::optional<StockStatus> statusFromText(const QString& text) {
    for (const StockStatus s : {StockStatus::Available, StockStatus::Reserved, StockStatus::Sold})
        if (text == statusText(s))
            return s;
    return std::nullopt;
}

double priceOf(const TFahrzeug& v, const QByteArray& field) {
    if (field == kPriceFields[0])
        return v.preis;
    if (field == kPriceFields[1])
        return v.hpreis;
    return 0;
}

std::array<double, kPriceFields.size()> pricesOf(const TFahrzeug& v) {
    return {v.preis, v.hpreis};
}

void setStatus(StockInfo& s, StockStatus status, QDate today) {
    s.status = status;
    if (status != StockStatus::Sold)
        s.sold = QDate();
    else if (!s.sold.isValid())
        s.sold = today;
}

std::optional<qint64> daysInStock(const StockInfo& s, QDate today) {
    if (!s.entered.isValid())
        return std::nullopt;
    const QDate until = s.status == StockStatus::Sold && s.sold.isValid() ? s.sold : today;
    return std::max<qint64>(0, s.entered.daysTo(until));
}

} // namespace tarmelo::model
