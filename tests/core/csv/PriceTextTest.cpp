#include "csv/LineWriter.h"
#include "model/ValueLists.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QList>

#include <cmath>
#include <random>

using namespace tarmelo;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

// Price and dealer price (columns 11 and 24) of the line for the vehicle.
std::pair<QByteArray, QByteArray> priceColumns(const model::TFahrzeug& v) {
    const csv::LineResult r = csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, kClock);
    EXPECT_TRUE(r.ok());
    const QList<QByteArray> c = r.line.split(';');
    return {c.value(10), c.value(23)};
}

// The amounts are written with two decimals exactly as the platform's fixed-point text gives them, ties and the
// doubles just below a half included; the line's bytes are what the marketplace compares.
TEST(PriceText, TwoDecimalsAsTheFixedPointText) {
    std::vector<double> amounts = {0.125,   0.375,  10.625,    2.675,          1.005,         1.015,
                                   0.005,   0.015,  28900,     24285.714285,   100000000.125, 499999999.995,
                                   12.345,  1234.5, 0.1 + 0.2, 9.995,          1e14 + 0.375,  123456.785,
                                   -12.125, -0.995, 3.0 / 7.0, 0.004999999999, 77.77};
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        // Cents with a third decimal, and arbitrary doubles as net prices come out of a division.
        amounts.push_back(double(random() % 100000000) / 1000.0);
        amounts.push_back(std::ldexp(double(random() % (1ULL << 40) + (1 << 20)), -int(random() % 40)));
    }
    for (const double amount : amounts) {
        SCOPED_TRACE(amount);
        model::TFahrzeug v = test::validVehicle(1);
        v.mwst = model::items::kMwstNichtAusweisbar; // the amount is written as it is
        v.preis = amount;
        v.hpreis = amount;
        const auto [price, dealer] = priceColumns(v);
        const QByteArray expected = QByteArray::number(amount, 'f', 2);
        EXPECT_EQ(price, expected);
        EXPECT_EQ(dealer, expected);
    }
}

} // namespace
