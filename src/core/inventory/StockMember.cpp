#include "inventory/StockMember.h"

#include "csv/LineWriter.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace tarmelo::inventory {

namespace {

const QString kStatus = QStringLiteral("status");
const QString kEntered = QStringLiteral("eingang");
const QString kGuessed = QStringLiteral("eingang_geschaetzt");
const QString kSold = QStringLiteral("verkauft");
const QString kHistory = QStringLiteral("preisverlauf");

QJsonValue dateValue(QDate d) {
    return d.isValid() ? QJsonValue(d.toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QString shown(const QJsonValue& v) {
    if (v.isString())
        return QStringLiteral("\"%1\"").arg(v.toString());
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 17);
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.isNull())
        return QStringLiteral("null");
    return v.isArray() ? QStringLiteral("eine Liste") : QStringLiteral("ein Objekt");
}

// A date as JJJJ-MM-TT, or null for none.
std::optional<QDate> readDate(const QJsonValue& v) {
    if (v.isNull())
        return QDate();
    if (!v.isString())
        return std::nullopt;
    const QString text = v.toString();
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid() || d.toString(Qt::ISODate) != text)
        return std::nullopt;
    return d;
}

bool isPriceField(const QString& name) {
    for (const char* f : model::kPriceFields)
        if (name == QLatin1StringView(f))
            return true;
    return false;
}

std::optional<StockJsonError> readHistory(const QJsonValue& value, QList<model::PriceRecord>& out) {
    const auto refuse = [](const QString& what) { return StockJsonError{kHistory, what}; };
    if (!value.isArray())
        return refuse(QStringLiteral("Liste von Preisänderungen erwartet, nicht %1.").arg(shown(value)));
    QList<model::PriceRecord> list;
    const QJsonArray a = value.toArray();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QJsonObject e = a[i].toObject();
        const QString at = QStringLiteral("Eintrag %1: ").arg(i + 1);
        if (!a[i].isObject() || e.size() != 4)
            return refuse(at + QStringLiteral("\"datum\", \"feld\", \"alt\" und \"neu\" erwartet."));
        model::PriceRecord c;
        const std::optional<QDate> d = readDate(e.value(QStringLiteral("datum")));
        if (!d || !d->isValid())
            return refuse(at + QStringLiteral("%1 ist kein Datum (JJJJ-MM-TT).").arg(shown(e.value("datum"))));
        c.date = *d;
        const QJsonValue field = e.value(QStringLiteral("feld"));
        if (!field.isString() || !isPriceField(field.toString()))
            return refuse(at + QStringLiteral("%1 ist kein Preisfeld (preis, hpreis).").arg(shown(field)));
        c.field = field.toString().toLatin1();
        for (const auto& [key, target] : {std::pair{"alt", &c.from}, std::pair{"neu", &c.to}}) {
            const QJsonValue n = e.value(QLatin1StringView(key));
            if (!n.isDouble() || !std::isfinite(n.toDouble()))
                return refuse(at + QStringLiteral("\"%1\": %2 ist kein Betrag.").arg(QLatin1StringView(key), shown(n)));
            *target = n.toDouble();
        }
        list.append(c);
    }
    out = list;
    return std::nullopt;
}

} // namespace

QJsonObject stockToJson(const model::StockInfo& s) {
    QJsonArray history;
    for (const model::PriceRecord& c : s.prices)
        history.append(QJsonObject{{"datum", c.date.toString(Qt::ISODate)},
                                   {"feld", QString::fromLatin1(c.field)},
                                   {"alt", c.from},
                                   {"neu", c.to}});
    return QJsonObject{{kStatus, model::statusText(s.status)},
                       {kEntered, dateValue(s.entered)},
                       {kGuessed, s.enteredGuessed},
                       {kSold, dateValue(s.sold)},
                       {kHistory, history}};
}

bool isStockKey(const QString& key) {
    return key == kStatus || key == kEntered || key == kGuessed || key == kSold || key == kHistory;
}

std::optional<StockJsonError> stockFromJson(const QJsonObject& o, model::StockInfo& s) {
    model::StockInfo r = s;
    if (o.contains(kStatus)) {
        const QJsonValue v = o.value(kStatus);
        const auto status = model::statusFromText(v.toString());
        if (!v.isString() || !status)
            return StockJsonError{
                kStatus, QStringLiteral("%1 ist kein Status (verfügbar, reserviert, verkauft).").arg(shown(v))};
        r.status = *status;
    }
    for (const auto& [key, target] : {std::pair{&kEntered, &r.entered}, std::pair{&kSold, &r.sold}}) {
        if (!o.contains(*key))
            continue;
        const std::optional<QDate> d = readDate(o.value(*key));
        if (!d)
            return StockJsonError{*key, QStringLiteral("%1 ist kein Datum (JJJJ-MM-TT).").arg(shown(o.value(*key)))};
        *target = *d;
    }
    if (o.contains(kGuessed)) {
        if (!o.value(kGuessed).isBool())
            return StockJsonError{kGuessed,
                                  QStringLiteral("true oder false erwartet, nicht %1.").arg(shown(o[kGuessed]))};
        r.enteredGuessed = o.value(kGuessed).toBool();
    }
    if (o.contains(kHistory))
        if (auto e = readHistory(o.value(kHistory), r.prices))
            return e;
    if (r.sold.isValid() && r.status != model::StockStatus::Sold)
        return StockJsonError{kSold, QStringLiteral("%1 passt nicht zum Status \"%2\".")
                                         .arg(shown(dateValue(r.sold)), model::statusText(r.status))};
    if (r.enteredGuessed && !r.entered.isValid())
        return StockJsonError{kGuessed, QStringLiteral("true ohne Datum im Feld \"eingang\".")};
    if (r.entered.isValid() && r.sold.isValid() && r.sold < r.entered)
        return StockJsonError{
            kSold,
            QStringLiteral("%1 liegt vor dem Eingang %2.").arg(shown(dateValue(r.sold)), shown(dateValue(r.entered)))};
    s = r;
    return std::nullopt;
}

QByteArray stockMemberData(const model::Inventory& inv, int first, int last, const QByteArray& csvFile) {
    bool keep = false;
    for (int j = first; j <= last && !keep; ++j)
        keep = !inv[j].bestand.isEmpty();
    if (!keep)
        return {};
    const QList<QByteArray> lines = splitLines(csvFile);
    QJsonArray entries;
    for (int j = first; j <= last && j - first < lines.size(); ++j) {
        QJsonObject e = stockToJson(inv[j].bestand);
        e.insert(QStringLiteral("schluessel"), model::fromCp1252(csv::GetIntNr(lines[j - first])));
        e.insert(QStringLiteral("inr"), model::fromCp1252(inv[j].inr));
        entries.append(e);
    }
    return QJsonDocument(QJsonObject{{"version", kStockVersion}, {"fahrzeuge", entries}})
        .toJson(QJsonDocument::Indented);
}

StockRead damagedStockMember() {
    return {true, QStringLiteral("Die Zusatzdaten der Fahrzeuge in dieser Datei (Status, Eingangsdatum, "
                                 "Preisverlauf) sind beschädigt.\nDie Datei wird schreibgeschützt geöffnet. "
                                 "Speichern Sie den Bestand unter einem anderen Namen,\ndamit die Datei "
                                 "erhalten bleibt.")};
}

StockRead applyStockMember(model::Inventory& vehicles, const QList<QByteArray>& keys,
                           const std::optional<QByteArray>& member, QDate archiveDate) {
    StockRead result;
    // The line key finds the entry: it is unique in a saved file, and reading gives it as the internal number.
    // Equal keys (a file edited by hand) are taken in order.
    QHash<QByteArray, QList<model::StockInfo>> byKey;
    if (member) {
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(*member, &pe);
        const QJsonValue version = doc.object().value(QStringLiteral("version"));
        const double n = version.toDouble(0);
        if (pe.error != QJsonParseError::NoError || !doc.isObject() || !version.isDouble() || n < 1 ||
            n != std::floor(n)) {
            result = damagedStockMember();
        } else if (n > kStockVersion) {
            result = {true, QStringLiteral("Die Datei wurde mit einer neueren Version von Tarmelo gespeichert. "
                                           "Deren Zusatzdaten der Fahrzeuge\n(Status, Eingangsdatum, Preisverlauf) "
                                           "kann diese Version nicht lesen.\nDie Datei wird schreibgeschützt "
                                           "geöffnet. Speichern Sie den Bestand unter einem anderen Namen,\ndamit "
                                           "die Datei erhalten bleibt.")};
        } else {
            const QJsonValue list = doc.object().value(QStringLiteral("fahrzeuge"));
            bool ok = list.isArray();
            for (const auto& e : list.toArray()) {
                const QJsonObject o = e.toObject();
                const QJsonValue key = o.value(QStringLiteral("schluessel")), inr = o.value(QStringLiteral("inr"));
                const auto keyBytes = model::toCp1252(key.toString());
                model::StockInfo s;
                ok = ok && e.isObject() && key.isString() && inr.isString() && keyBytes && !stockFromJson(o, s);
                if (!ok)
                    break;
                byKey[*keyBytes].append(s);
            }
            if (!ok) {
                result = damagedStockMember();
                byKey.clear();
            }
        }
    }
    for (qsizetype i = 0; i < vehicles.size(); ++i) {
        model::TFahrzeug& v = vehicles[i];
        auto it = byKey.find(keys.value(i));
        if (it != byKey.end() && !it->isEmpty()) {
            v.bestand = it->takeFirst();
        } else {
            v.bestand = {};
            v.bestand.entered = archiveDate;
            v.bestand.enteredGuessed = archiveDate.isValid();
        }
        v.bestand.savedPrices = model::pricesOf(v);
    }
    return result;
}

QList<int> recordStockChanges(model::Inventory& inv, QDate today) {
    QList<int> rows;
    for (qsizetype i = 0; i < inv.size(); ++i) {
        const model::TFahrzeug& peek = inv.at(i);
        const auto now = model::pricesOf(peek);
        const model::StockInfo& old = peek.bestand;
        if (old.entered.isValid() && old.savedPrices == now &&
            (old.status != model::StockStatus::Sold || old.sold.isValid()))
            continue; // untouched: the array stays shared with the caller's copies
        model::StockInfo s = old;
        if (!s.entered.isValid()) {
            s.entered = today;
            s.enteredGuessed = false;
        }
        if (s.status == model::StockStatus::Sold && !s.sold.isValid())
            s.sold = today;
        if (s.savedPrices) {
            for (size_t k = 0; k < now.size(); ++k) {
                const double before = (*s.savedPrices)[k];
                if (before == now[k])
                    continue;
                const QByteArray field = model::kPriceFields[k];
                qsizetype lastOfField = -1;
                for (qsizetype e = s.prices.size() - 1; e >= 0 && lastOfField < 0; --e)
                    if (s.prices[e].field == field)
                        lastOfField = e;
                if (lastOfField >= 0 && s.prices[lastOfField].date == today) {
                    s.prices[lastOfField].to = now[k];
                    if (s.prices[lastOfField].from == now[k])
                        s.prices.removeAt(lastOfField);
                } else {
                    s.prices.append({today, field, before, now[k]});
                }
            }
        }
        s.savedPrices = now;
        if (s != old) {
            inv[i].bestand = std::move(s);
            rows.append(int(i));
        }
    }
    return rows;
}

} // namespace tarmelo::inventory
