#include "inventory/StockFilter.h"

#include "csv/VehicleChecks.h"
#include "model/Cp1252.h"
#include "model/Prices.h"
#include "model/ValueLists.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tarmelo::inventory {

namespace {

// "MM-YYYY" as year * 12 + month; nullopt when unfilled or not a month.
std::optional<int> monthIndex(const QByteArray& s) {
    if (s.size() != 7 || s[2] != '-')
        return std::nullopt;
    int mm = 0, yyyy = 0;
    for (int i : {0, 1})
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        else
            mm = mm * 10 + (s[i] - '0');
    for (int i : {3, 4, 5, 6})
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        else
            yyyy = yyyy * 10 + (s[i] - '0');
    if (mm < 1 || mm > 12)
        return std::nullopt;
    return yyyy * 12 + mm;
}

std::optional<double> wholeNumber(const QByteArray& s) {
    bool ok = false;
    const qlonglong n = s.trimmed().toLongLong(&ok);
    return ok ? std::optional<double>(double(n)) : std::nullopt;
}

// Power compares in kW whether it was typed in kW or PS.
std::optional<double> kilowatts(const model::TFahrzeug& v) {
    const auto n = wholeNumber(v.leistung);
    if (!n)
        return std::nullopt;
    return v.kwps == 1 ? *n / 1.35962 : *n;
}

std::optional<double> price(const model::TFahrzeug& v, bool net) {
    if (model::isZeroAmount(v.preis))
        return std::nullopt;
    const model::NetGross p = model::netAndGross(v, v.preis);
    return net ? p.net : p.gross;
}

QString brand(const model::TFahrzeug& v) {
    return v.marke == model::items::kBitteAuswaehlen ? QString() : model::fromCp1252(v.marke);
}

} // namespace

StockFilter::StockFilter(const QLocale& locale) : locale_(locale) {}

QString StockFilter::searchText(const model::TFahrzeug& v) const {
    QStringList parts{brand(v), model::fromCp1252(v.modell), model::fromCp1252(v.inr), model::fromCp1252(v.vin),
                      model::fromCp1252(v.kategorie)};
    // Prices as the list shows them and as one types them: "12.500" and "12500", net and gross.
    for (bool net : {true, false}) {
        if (const auto p = price(v, net)) {
            const double whole = std::round(*p);
            parts << locale_.toString(whole, 'f', 0) << QString::number(qint64(whole));
        }
    }
    if (const auto ez = monthIndex(v.ez))
        parts << model::fromCp1252(v.ez);
    if (!v.bj.trimmed().isEmpty())
        parts << model::fromCp1252(v.bj.trimmed());
    // One line per part: a word never matches across two of them.
    return parts.join(u'\n').toLower();
}

bool StockFilter::sync(const model::Inventory& inv, const QList<quint64>& revisions) {
    const bool tracked = revisions.size() == inv.size();
    bool changed = cache_.size() != inv.size();
    cache_.resize(inv.size());
    for (qsizetype i = 0; i < inv.size(); ++i) {
        Entry& e = cache_[i];
        if (tracked && e.known && e.revision == revisions[i])
            continue;
        e.known = true;
        e.revision = tracked ? revisions[i] : 0;
        e.text = searchText(inv[i]);
        e.ownLight = -1;
        changed = true;
    }
    if (!tracked)
        for (Entry& e : cache_)
            e.known = false; // untracked: nothing survives the call
    if (changed)
        sharedValid_ = false;
    return changed;
}

void StockFilter::syncShared(const model::Inventory& inv, bool automaticIntNr) {
    if (sharedValid_ && sharedAutomatic_ == automaticIntNr)
        return;
    const qsizetype n = inv.size();
    missingInr_.fill(false, n);
    repeatsInr_.fill(false, n);
    sharesInr_.fill(false, n);
    sharesVin_.fill(false, n);
    QHash<QByteArray, qsizetype> firstInr, firstVin;
    firstInr.reserve(n);
    firstVin.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const model::TFahrzeug& v = inv[i];
        missingInr_[i] = !automaticIntNr && v.inr.isEmpty();
        if (const QByteArray k = csv::inrKey(v.inr); !k.isEmpty()) {
            const auto it = firstInr.constFind(k);
            if (it == firstInr.cend()) {
                firstInr.insert(k, i);
            } else {
                sharesInr_[i] = sharesInr_[*it] = true;
                repeatsInr_[i] = !automaticIntNr;
            }
        }
        if (const QByteArray k = csv::vinKey(v.vin); !k.isEmpty()) {
            const auto it = firstVin.constFind(k);
            if (it == firstVin.cend())
                firstVin.insert(k, i);
            else
                sharesVin_[i] = sharesVin_[*it] = true;
        }
    }
    sharedValid_ = true;
    sharedAutomatic_ = automaticIntNr;
}

csv::Light StockFilter::lightOf(int row, const model::Inventory& inv, QDate today) {
    Entry& e = cache_[row];
    if (e.ownLight < 0) {
        const model::TFahrzeug& v = inv[row];
        e.ownLight = int(csv::breaksRule(v, today)          ? csv::Light::Red
                         : csv::hasVehicleWarning(v, today) ? csv::Light::Yellow
                                                            : csv::Light::Green);
    }
    if (e.ownLight == int(csv::Light::Red) || missingInr_[row] || repeatsInr_[row])
        return csv::Light::Red;
    if (e.ownLight == int(csv::Light::Yellow) || sharesVin_[row] || sharesInr_[row])
        return csv::Light::Yellow;
    return csv::Light::Green;
}

QList<csv::Light> StockFilter::lights(const model::Inventory& inv, const QList<quint64>& revisions, bool automaticIntNr,
                                      QDate today) {
    sync(inv, revisions);
    if (checkedFor_ != today) {
        for (Entry& e : cache_)
            e.ownLight = -1;
        checkedFor_ = today;
    }
    syncShared(inv, automaticIntNr);
    QList<csv::Light> r;
    r.reserve(inv.size());
    for (int i = 0; i < inv.size(); ++i)
        r.append(lightOf(i, inv, today));
    return r;
}

QList<int> StockFilter::visibleRows(const model::Inventory& inv, const QList<quint64>& revisions,
                                    const StockQuery& query, bool automaticIntNr, QDate today) {
    sync(inv, revisions);
    const QStringList words =
        query.text.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (query.onlyFaulty) {
        if (checkedFor_ != today) {
            for (Entry& e : cache_)
                e.ownLight = -1;
            checkedFor_ = today;
        }
        syncShared(inv, automaticIntNr);
    }
    QList<int> rows;
    rows.reserve(inv.size());
    for (int i = 0; i < inv.size(); ++i) {
        if ((inv[i].bestand.status == model::StockStatus::Sold) != query.sold)
            continue;
        if (query.klasse != 0 && inv[i].klasse != query.klasse)
            continue;
        const QString& text = cache_[i].text;
        if (!std::all_of(words.begin(), words.end(), [&](const QString& w) { return text.contains(w); }))
            continue;
        if (query.onlyFaulty && lightOf(i, inv, today) != csv::Light::Red)
            continue;
        rows.append(i);
    }
    return rows;
}

void StockFilter::sortRows(QList<int>& rows, const model::Inventory& inv, SortColumn column, Qt::SortOrder order,
                           const QCollator& collator, const QList<csv::Light>& lights, QDate today) const {
    const bool descending = order == Qt::DescendingOrder;
    if (column == SortColumn::Position) {
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return descending ? a > b : a < b; });
        return;
    }
    const bool textual = column == SortColumn::Marke || column == SortColumn::Modell;
    struct Key {
        int row;
        bool missing;
        double number;
        qsizetype text; // index into the sort keys
    };
    std::vector<Key> keys;
    std::vector<QCollatorSortKey> texts;
    keys.reserve(size_t(rows.size()));
    for (int row : rows) {
        const model::TFahrzeug& v = inv[row];
        Key k{row, false, 0, -1};
        std::optional<double> n;
        if (textual) {
            const QString t = column == SortColumn::Marke ? brand(v) : model::fromCp1252(v.modell);
            k.missing = t.trimmed().isEmpty();
            k.text = qsizetype(texts.size());
            texts.push_back(collator.sortKey(t));
        } else {
            switch (column) {
            case SortColumn::Ez:
                n = monthIndex(v.ez);
                break;
            case SortColumn::Hu:
                n = monthIndex(v.hu);
                break;
            case SortColumn::Au:
                n = monthIndex(v.au);
                break;
            case SortColumn::Kilometer:
                n = wholeNumber(v.kilometer);
                break;
            case SortColumn::Leistung:
                n = kilowatts(v);
                break;
            case SortColumn::PreisNetto:
                n = price(v, true);
                break;
            case SortColumn::PreisBrutto:
                n = price(v, false);
                break;
            case SortColumn::Light:
                if (row < lights.size())
                    n = double(lights[row]);
                break;
            case SortColumn::Standtage:
                if (const std::optional<qint64> days = model::daysInStock(v.bestand, today))
                    n = double(*days);
                break;
            default:
                break;
            }
            k.missing = !n;
            k.number = n.value_or(0);
        }
        keys.push_back(k);
    }
    auto less = [&](const Key& a, const Key& b) {
        if (a.missing || b.missing)
            return !a.missing && b.missing;
        const int c = textual ? texts[size_t(a.text)].compare(texts[size_t(b.text)])
                              : (a.number < b.number   ? -1
                                 : a.number > b.number ? 1
                                                       : 0);
        return descending ? c > 0 : c < 0;
    };
    std::stable_sort(keys.begin(), keys.end(), less);
    for (size_t i = 0; i < keys.size(); ++i)
        rows[qsizetype(i)] = keys[i].row;
}

} // namespace tarmelo::inventory
