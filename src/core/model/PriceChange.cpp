#include "model/PriceChange.h"

#include "model/Prices.h"
#include "model/ValueLists.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace tarmelo::model {

namespace {

constexpr double kMaximum = 500'000'000; // what the price fields hold

// Products such as 10 000,10 × 1,05 land a hair off their true value: cleaned to a ten-thousandth of the unit
// rounded to, so that a true half goes up.
double clean(double x) {
    return std::round(x * 1e4) / 1e4;
}

double threshold(double x) {
    const double step = x < 10'000 ? 100 : 1'000;
    const double k = std::max(1.0, std::round((x + 10) / step));
    return k * step - 10;
}

using Outcome = std::variant<double, QString>;

// One amount through the change: converted to the basis, changed, rounded, kept above the floor, converted back.
Outcome changed(const TFahrzeug& v, double stored, const PriceChange& c, const QLocale& locale) {
    if (isZeroAmount(stored))
        return stored;
    const bool storedNet = v.bn == 1;
    const bool convert = (c.basis == PriceBasis::Gross && storedNet) || (c.basis == PriceBasis::Net && !storedNet);
    double factor = 1;
    if (convert) {
        const std::optional<double> rate = vatPercent(v.mwst);
        if (!rate)
            return QStringLiteral("Ohne MwSt-Satz lässt sich der %1preis nicht berechnen")
                .arg(c.basis == PriceBasis::Gross ? QStringLiteral("Brutto") : QStringLiteral("Netto"));
        factor = 1 + *rate / 100;
    }
    // The amount on the basis, and back to how it is stored.
    const double before = convert ? (storedNet ? stored * factor : stored / factor) : stored;
    auto back = [&](double x) {
        return convert ? roundPrice(storedNet ? x / factor : x * factor, PriceRounding::Cent) : x;
    };

    double x = c.step == PriceStep::Percent ? before * (1 + c.value / 100) : before + c.value;
    x = roundPrice(x, c.rounding);
    if (c.floor && x < *c.floor && x < before)
        x = std::min(before, *c.floor);
    if (x < 0 || isZeroAmount(x))
        return QStringLiteral("Der neue Preis wäre %1").arg(locale.toString(x, 'f', 2));
    if (x > kMaximum)
        return QStringLiteral("Der neue Preis läge über %1").arg(locale.toString(kMaximum, 'f', 0));
    return x == before ? stored : back(x);
}

} // namespace

double roundPrice(double amount, PriceRounding rounding) {
    switch (rounding) {
    case PriceRounding::Cent:
        return std::round(clean(amount * 100)) / 100;
    case PriceRounding::Euro:
        return std::round(clean(amount));
    case PriceRounding::Ten:
        return std::round(clean(amount / 10)) * 10;
    case PriceRounding::Hundred:
        return std::round(clean(amount / 100)) * 100;
    case PriceRounding::Threshold:
        return threshold(clean(amount));
    }
    return amount;
}

int PricePreview::changedCount() const {
    int n = 0;
    for (const PriceRow& r : rows)
        n += r.newPrice != r.oldPrice || r.newDealer != r.oldDealer;
    return n;
}

PricePreview previewPriceChange(const Inventory& inv, const QList<int>& rows, const PriceChange& change,
                                const QLocale& locale) {
    PricePreview p;
    if (rows.isEmpty())
        p.refusal = QStringLiteral("Es ist kein Fahrzeug ausgewählt.");
    else if (!change.price && !change.dealerPrice)
        p.refusal = QStringLiteral("Weder Preis noch Händlerpreis ist zum Ändern gewählt.");
    for (int i : rows) {
        const TFahrzeug& v = inv.at(i);
        PriceRow r{i, v.preis, v.preis, v.hpreis, v.hpreis, {}};
        auto run = [&](bool wanted, double old, double& result, const QString& what) {
            if (!wanted || !r.refusal.isEmpty())
                return;
            const Outcome o = changed(v, old, change, locale);
            if (const QString* why = std::get_if<QString>(&o))
                r.refusal = QStringLiteral("%1: %2.").arg(what, *why);
            else
                result = std::get<double>(o);
        };
        run(change.price, v.preis, r.newPrice, QStringLiteral("Preis"));
        run(change.dealerPrice, v.hpreis, r.newDealer, QStringLiteral("Händlerpreis"));
        // The change must not make the vehicle break the rule on the two prices.
        if (r.refusal.isEmpty() && r.newPrice < r.newDealer && !(v.preis < v.hpreis))
            r.refusal = QStringLiteral("Der Händlerpreis wäre höher als der Verkaufspreis.");
        if (!r.refusal.isEmpty() && p.refusal.isEmpty())
            p.refusal = QStringLiteral("Fahrzeug %1: %2").arg(i + 1).arg(r.refusal);
        p.rows.append(r);
    }
    return p;
}

bool applyPriceChange(Inventory& inv, const PricePreview& preview) {
    if (!preview.canApply())
        return false;
    for (const PriceRow& r : preview.rows) {
        inv[r.index].preis = r.newPrice;
        inv[r.index].hpreis = r.newDealer;
    }
    return true;
}

void revertPriceChange(Inventory& inv, const PricePreview& preview) {
    for (const PriceRow& r : preview.rows) {
        inv[r.index].preis = r.oldPrice;
        inv[r.index].hpreis = r.oldDealer;
    }
}

} // namespace tarmelo::model
