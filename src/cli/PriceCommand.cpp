// The price sub-command of tarmelo-cli: many prices changed at once with the engine of "Preise ändern ...".

#include "cli/Commands.h"

#include "csv/StockCheck.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/PriceChange.h"

#include <cmath>
#include <optional>

namespace tarmelo::cli {

namespace {

// A number with a decimal comma or point ("-5,5", "250.00"); nullopt after the message.
std::optional<double> decimal(const CommandLine& c, const char* option) {
    const QString text = c.value(option)->trimmed();
    bool ok = false;
    const double n = QString(text).replace(u',', u'.').toDouble(&ok);
    if (!ok || text.count(u',') + text.count(u'.') > 1 || !std::isfinite(n)) {
        err(QStringLiteral("%1 erwartet eine Zahl, etwa 5 oder -2,5.").arg(QLatin1StringView(option)));
        return std::nullopt;
    }
    return n;
}

template <class T>
std::optional<T> choice(const CommandLine& c, const char* option,
                        std::initializer_list<std::pair<const char*, T>> values, T fallback) {
    const std::optional<QString> v = c.value(option);
    if (!v)
        return fallback;
    QStringList names;
    for (const auto& [name, value] : values) {
        if (*v == QLatin1StringView(name))
            return value;
        names << QString::fromLatin1(name);
    }
    err(QStringLiteral("%1 erwartet %2.").arg(QLatin1StringView(option), names.join(QStringLiteral(", "))));
    return std::nullopt;
}

QString money(double x) {
    return QLocale(QLocale::German, QLocale::Germany).toString(x, 'f', 2);
}

} // namespace

int price(const CommandLine& a) {
    if (a.value("--percent").has_value() == a.value("--amount").has_value()) {
        err(QStringLiteral("Genau eine von --percent und --amount angeben."));
        return usage("price");
    }
    model::PriceChange change;
    change.step = a.value("--percent") ? model::PriceStep::Percent : model::PriceStep::Amount;
    const auto value = decimal(a, a.value("--percent") ? "--percent" : "--amount");
    using R = model::PriceRounding;
    const auto rounding = choice<R>(
        a, "--round",
        {{"cent", R::Cent}, {"euro", R::Euro}, {"10", R::Ten}, {"100", R::Hundred}, {"schwelle", R::Threshold}},
        R::Cent);
    using B = model::PriceBasis;
    const auto basis = choice<B>(a, "--basis", {{"brutto", B::Gross}, {"netto", B::Net}}, B::AsStored);
    const auto fields = choice<int>(a, "--fields", {{"preis", 1}, {"haendler", 2}, {"beide", 3}}, 1);
    if (!value || !rounding || !basis || !fields)
        return kUsage;
    change.value = *value;
    change.rounding = *rounding;
    change.basis = *basis;
    change.price = *fields & 1;
    change.dealerPrice = *fields & 2;
    if (a.value("--floor")) {
        const auto floor = decimal(a, "--floor");
        if (!floor)
            return kUsage;
        change.floor = *floor;
    }
    const std::optional<Clock> clock = a.clock();
    if (!clock)
        return kUsage;

    model::Inventory vehicles;
    if (!loadInventory(a.files()[0], vehicles))
        return kUsage;
    QList<int> rows;
    if (const auto list = a.value("--select")) {
        const auto ticked = parseSelection(*list, vehicles.size());
        if (!ticked)
            return kUsage;
        for (int i = 0; i < ticked->size(); ++i)
            if ((*ticked)[i])
                rows.append(i);
    } else {
        for (int i = 0; i < vehicles.size(); ++i)
            rows.append(i);
    }

    const model::PricePreview preview =
        model::previewPriceChange(vehicles, rows, change, QLocale(QLocale::German, QLocale::Germany));
    for (const model::PriceRow& r : preview.rows) {
        QString line = QStringLiteral("Fahrzeug %1 (%2):").arg(r.index + 1).arg(csv::vehicleTitle(vehicles[r.index]));
        if (change.price)
            line += QStringLiteral(" Preis %1 → %2").arg(money(r.oldPrice), money(r.newPrice));
        if (change.dealerPrice)
            line += QStringLiteral("%1 Händlerpreis %2 → %3")
                        .arg(change.price ? QStringLiteral(";") : QString(), money(r.oldDealer), money(r.newDealer));
        if (!r.refusal.isEmpty())
            line += QStringLiteral(" – abgelehnt: ") + r.refusal;
        out(line);
    }
    if (!preview.canApply()) {
        err(preview.refusal);
        return kFailed;
    }
    if (a.has("--dry-run")) {
        out(QStringLiteral("%1 von %2 Fahrzeug(en) würden geändert (nichts gespeichert).")
                .arg(preview.changedCount())
                .arg(rows.size()));
        return kOk;
    }
    model::applyPriceChange(vehicles, preview);
    const inventory::KeyMode mode =
        a.has("--typed-numbers") ? inventory::KeyMode::Typed : inventory::KeyMode::Automatic;
    const inventory::CsvLines lines = inventory::buildLines(vehicles, 0, int(vehicles.size()) - 1, mode, *clock);
    if (!lines.ok()) {
        out(failureLine(*lines.failure));
        return kFailed;
    }
    const int rc = saveArchive(a.files().value(1, a.files()[0]), lines, vehicles);
    if (rc == kOk)
        out(QStringLiteral("Preise von %1 Fahrzeug(en) geändert.").arg(preview.changedCount()));
    return rc;
}

} // namespace tarmelo::cli
