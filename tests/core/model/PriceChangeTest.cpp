#include "model/PriceChange.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace tarmelo;
using model::PriceBasis;
using model::PriceChange;
using model::PriceRounding;
using model::PriceStep;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

model::TFahrzeug priced(double preis, double hpreis = 0, bool net = false, const char* mwst = "19%") {
    model::TFahrzeug v = model::newVehicle(1);
    v.preis = preis;
    v.hpreis = hpreis;
    v.bn = net ? 1 : 0;
    v.mwst = mwst;
    return v;
}

TEST(PriceChange, Rounding) {
    struct Case {
        double amount;
        PriceRounding rounding;
        double expected;
    };
    const Case cases[] = {
        {10500.105, PriceRounding::Cent, 10500.11}, // a half cent goes up
        {10500.104, PriceRounding::Cent, 10500.10},
        {12344.50, PriceRounding::Euro, 12345},
        {12344.49, PriceRounding::Euro, 12344},
        {12345, PriceRounding::Ten, 12350},
        {12344.99, PriceRounding::Ten, 12340},
        {12349.99, PriceRounding::Hundred, 12300},
        {12350, PriceRounding::Hundred, 12400},
        {4567, PriceRounding::Threshold, 4590}, // below 10 000: ends in 90
        {4530, PriceRounding::Threshold, 4490},
        {9996, PriceRounding::Threshold, 9990},
        {12345, PriceRounding::Threshold, 11990}, // from 10 000: ends in 990
        {12490, PriceRounding::Threshold, 12990}, // halfway goes up
        {10100, PriceRounding::Threshold, 9990},
        {30, PriceRounding::Threshold, 90}, // never below the first threshold
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(model::roundPrice(c.amount, c.rounding), c.expected)
            << c.amount << " rounding " << int(c.rounding);
}

TEST(PriceChange, PreviewPerVehicle) {
    struct Case {
        const char* what;
        model::TFahrzeug vehicle;
        PriceChange change;
        double newPrice, newDealer;
        const char* refusal = ""; // of the row
    };
    auto change = [](PriceStep step, double value, PriceRounding r = PriceRounding::Cent,
                     PriceBasis b = PriceBasis::AsStored, bool price = true, bool dealer = false,
                     std::optional<double> floor = std::nullopt) {
        PriceChange c;
        c.step = step, c.value = value, c.rounding = r, c.basis = b, c.price = price, c.dealerPrice = dealer,
        c.floor = floor;
        return c;
    };
    const Case cases[] = {
        {"5 % up with cents", priced(10000.10), change(PriceStep::Percent, 5), 10500.11, 0},
        {"3 % down to threshold", priced(12990), change(PriceStep::Percent, -3, PriceRounding::Threshold), 12990, 0},
        {"10 % down to threshold", priced(12990), change(PriceStep::Percent, -10, PriceRounding::Threshold), 11990, 0},
        {"amount down, to whole euros", priced(999.99), change(PriceStep::Amount, -100.5, PriceRounding::Euro), 899, 0},
        {"dealer price along", priced(10000, 8000),
         change(PriceStep::Percent, 10, PriceRounding::Cent, PriceBasis::AsStored, true, true), 11000, 8800},
        {"only the dealer price", priced(10000, 8000),
         change(PriceStep::Amount, 500, PriceRounding::Cent, PriceBasis::AsStored, false, true), 10000, 8500},
        {"no dealer price stays none", priced(10000, 0),
         change(PriceStep::Amount, 500, PriceRounding::Cent, PriceBasis::AsStored, true, true), 10500, 0},
        {"no price stays none", priced(0), change(PriceStep::Amount, 500), 0, 0},
        {"floor stops the reduction", priced(5000),
         change(PriceStep::Percent, -50, PriceRounding::Cent, PriceBasis::AsStored, true, false, 4000.0), 4000, 0},
        {"below the floor already: not lowered", priced(3000),
         change(PriceStep::Percent, -50, PriceRounding::Cent, PriceBasis::AsStored, true, false, 4000.0), 3000, 0},
        {"below the floor: a raise still applies", priced(3000),
         change(PriceStep::Percent, 10, PriceRounding::Cent, PriceBasis::AsStored, true, false, 4000.0), 3300, 0},
        {"gross amount on a net price", priced(10000, 0, true),
         change(PriceStep::Amount, 1190, PriceRounding::Cent, PriceBasis::Gross), 11000, 0},
        {"gross threshold on a net price", priced(10000, 0, true),
         change(PriceStep::Percent, 0, PriceRounding::Threshold, PriceBasis::Gross), 10075.63, 0}, // 11 990 gross
        {"net basis on a gross price", priced(11900),
         change(PriceStep::Amount, -1000, PriceRounding::Cent, PriceBasis::Net), 10710, 0},
        {"negative refused", priced(500), change(PriceStep::Amount, -600), 500, 0,
         "Preis: Der neue Preis wäre -100,00."},
        {"zero refused", priced(500), change(PriceStep::Percent, -100), 500, 0, "Preis: Der neue Preis wäre 0,00."},
        {"above the field's range refused", priced(400'000'000), change(PriceStep::Percent, 50), 400'000'000, 0,
         "Preis: Der neue Preis läge über 500.000.000."},
        {"gross basis without a rate refused", priced(10000, 0, true, "MwSt nicht ausweisbar"),
         change(PriceStep::Percent, 5, PriceRounding::Cent, PriceBasis::Gross), 10000, 0,
         "Preis: Ohne MwSt-Satz lässt sich der Bruttopreis nicht berechnen."},
        {"dealer price would pass the price", priced(10000, 9800), change(PriceStep::Percent, -5), 9500, 9800,
         "Der Händlerpreis wäre höher als der Verkaufspreis."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const model::Inventory inv{c.vehicle};
        const model::PricePreview p = model::previewPriceChange(inv, {0}, c.change, kGerman);
        ASSERT_EQ(p.rows.size(), 1);
        EXPECT_EQ(p.rows[0].refusal, QString::fromUtf8(c.refusal));
        EXPECT_EQ(p.canApply(), *c.refusal == 0);
        if (*c.refusal == 0) {
            EXPECT_NEAR(p.rows[0].newPrice, c.newPrice, 1e-9);
            EXPECT_NEAR(p.rows[0].newDealer, c.newDealer, 1e-9);
        }
    }
}

TEST(PriceChange, NothingTickedAndRefusalsApplyNothing) {
    model::Inventory inv{priced(1000), priced(200)};
    const model::Inventory before = inv;
    PriceChange down;
    down.step = PriceStep::Amount;
    down.value = -500;

    const model::PricePreview none = model::previewPriceChange(inv, {}, down, kGerman);
    EXPECT_EQ(none.refusal, QStringLiteral("Es ist kein Fahrzeug ausgewählt."));
    EXPECT_FALSE(model::applyPriceChange(inv, none));

    const model::PricePreview both = model::previewPriceChange(inv, {0, 1}, down, kGerman);
    EXPECT_EQ(both.refusal, QStringLiteral("Fahrzeug 2: Preis: Der neue Preis wäre -300,00."));
    EXPECT_FALSE(model::applyPriceChange(inv, both));
    EXPECT_EQ(inv, before);
}

// Apply and undo over random stocks: only the chosen vehicles' chosen prices move, and undo restores every record.
TEST(PriceChange, ApplyThenUndoRestoresEverything) {
    QRandomGenerator rng(4);
    for (int round = 0; round < 200; ++round) {
        model::Inventory inv;
        for (int i = 0; i < 8; ++i) {
            inv.append(priced(rng.bounded(3) ? rng.bounded(100000) / 7.0 : 0, rng.bounded(2) ? 50 : 0, rng.bounded(2)));
            inv.last().modell = QByteArray::number(i);
        }
        const model::Inventory before = inv;
        QList<int> rows;
        for (int i = 0; i < inv.size(); ++i)
            if (rng.bounded(2))
                rows.append(i);
        PriceChange c;
        c.step = rng.bounded(2) ? PriceStep::Percent : PriceStep::Amount;
        c.value = rng.bounded(40) - 10;
        c.rounding = PriceRounding(rng.bounded(5));
        c.basis = PriceBasis(rng.bounded(3));
        c.dealerPrice = rng.bounded(2);
        const model::PricePreview p = model::previewPriceChange(inv, rows, c, kGerman);
        if (!model::applyPriceChange(inv, p)) {
            EXPECT_EQ(inv, before);
            continue;
        }
        for (int i = 0; i < inv.size(); ++i) {
            model::TFahrzeug a = inv[i], b = before[i];
            if (!rows.contains(i)) {
                EXPECT_EQ(a, b);
                continue;
            }
            if (!c.dealerPrice) {
                EXPECT_EQ(a.hpreis, b.hpreis);
            }
            a.preis = b.preis, a.hpreis = b.hpreis;
            EXPECT_EQ(a, b) << "only prices change";
        }
        model::revertPriceChange(inv, p);
        EXPECT_EQ(inv, before);
    }
}

} // namespace
