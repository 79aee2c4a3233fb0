#include "csv/StockCheck.h"

#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <QHash>

namespace tarmelo::csv {

namespace {

// Groups of positions sharing a non-empty key.
QHash<QByteArray, QList<int>> groups(const model::Inventory& inv, QByteArray (*key)(const QByteArray&),
                                     QByteArray model::TFahrzeug::*field) {
    QHash<QByteArray, QList<int>> g;
    g.reserve(inv.size());
    for (int i = 0; i < inv.size(); ++i) {
        const QByteArray k = key(inv[i].*field);
        if (!k.isEmpty())
            g[k].append(i);
    }
    return g;
}

// "Fahrzeug 3", "Fahrzeugen 3 und 7", "Fahrzeugen 3, 7, 9 und 2 weiteren": the other vehicles of a group.
QString others(const QList<int>& group, int self) {
    QStringList names;
    int more = 0;
    for (int i : group) {
        if (i == self)
            continue;
        if (names.size() < 3)
            names.append(QString::number(i + 1));
        else
            ++more;
    }
    if (names.size() == 1)
        return QStringLiteral("Fahrzeug ") + names[0];
    QString text = QStringLiteral("Fahrzeugen ");
    if (more > 0)
        return text + names.join(QStringLiteral(", ")) + QStringLiteral(" und %1 weiteren").arg(more);
    const QString last = names.takeLast();
    return text + names.join(QStringLiteral(", ")) + QStringLiteral(" und ") + last;
}

} // namespace

StockReport checkStock(const model::Inventory& inv, bool automaticIntNr, QDate today) {
    StockReport r;
    const int n = int(inv.size());
    r.lights.fill(Light::Green, n);

    QList<bool> repeatsInr(n, false);
    const auto inrGroups = groups(inv, inrKey, &model::TFahrzeug::inr);
    if (!automaticIntNr)
        for (const QList<int>& g : inrGroups)
            for (qsizetype k = 1; k < g.size(); ++k)
                repeatsInr[g[k]] = true;
    const auto vinGroups = groups(inv, vinKey, &model::TFahrzeug::vin);

    auto add = [&](int i, Severity s, std::optional<Warning> w, CheckFailure detail) {
        r.findings.append(Finding{i, s, w, std::move(detail)});
        if (s == Severity::Error) {
            ++r.errors;
            r.lights[i] = Light::Red;
        } else {
            ++r.warnings;
            if (r.lights[i] == Light::Green)
                r.lights[i] = Light::Yellow;
        }
    };
    for (int i = 0; i < n; ++i) {
        const model::TFahrzeug& v = inv[i];
        if (!automaticIntNr && v.inr.isEmpty())
            add(i, Severity::Error, std::nullopt, internalNumberFailure(v, false));
        if (repeatsInr[i])
            add(i, Severity::Error, std::nullopt, internalNumberFailure(v, true));
        for (CheckFailure& f : allFailures(v, today))
            add(i, Severity::Error, std::nullopt, std::move(f));
        for (VehicleWarning& w : vehicleWarnings(v, today))
            add(i, Severity::Warning, w.kind, std::move(w.detail));
        if (const QByteArray k = vinKey(v.vin); !k.isEmpty()) {
            const QList<int>& g = vinGroups[k];
            if (g.size() > 1)
                add(i, Severity::Warning, Warning::SameVin,
                    makeWarning(v, Warning::SameVin,
                                QStringLiteral("Gleiche Fahrgestellnummer wie bei %1").arg(others(g, i)), "vin")
                        .detail);
        }
        if (const QByteArray k = inrKey(v.inr); !k.isEmpty() && !repeatsInr[i]) {
            const QList<int>& g = inrGroups[k];
            if (g.size() > 1)
                add(i, Severity::Warning, Warning::SameInr,
                    makeWarning(v, Warning::SameInr,
                                QStringLiteral("Gleiche interne Nummer wie bei %1").arg(others(g, i)), "inr")
                        .detail);
        }
    }
    return r;
}

QString severityText(Severity s) {
    return s == Severity::Error ? QStringLiteral("Fehler") : QStringLiteral("Warnung");
}

QString vehicleTitle(const model::TFahrzeug& v) {
    QString title;
    if (!v.marke.isEmpty() && v.marke != model::items::kBitteAuswaehlen)
        title = model::fromCp1252(v.marke).trimmed();
    const QString modell = model::fromCp1252(v.modell).trimmed();
    if (!modell.isEmpty())
        title += (title.isEmpty() ? QString() : QStringLiteral(" ")) + modell;
    return title.isEmpty() ? QStringLiteral("-") : title;
}

} // namespace tarmelo::csv
