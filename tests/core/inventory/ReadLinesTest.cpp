#include "csv/LineReader.h"
#include "inventory/CsvFile.h"

#include "../../support/TestVehicles.h"

#include <gtest/gtest.h>

using namespace tarmelo;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

QByteArray lineOf(int klasse, const QByteArray& kategorie, int position) {
    model::TFahrzeug v = test::validVehicle(klasse);
    v.kategorie = kategorie;
    return csv::CreateLine(v, position, 0, csv::KeyKind::Placeholder, kClock).line;
}

} // namespace

// Rejected lines between good ones, every kind of line end: the vehicles come in file order, the callback
// sees each with its own line index before it is kept, and the records equal those read one by one.
TEST(ReadLines, RejectedLinesAndLineEnds) {
    const QByteArray car = lineOf(1, "Kombi", 1);
    const QByteArray bus = lineOf(10, "Reisebus", 2);
    const QByteArray junk = "1;\"x\";\"keine Kategorie\";";
    struct Case {
        QByteArray text;
        int lines;
        std::vector<int> taken; // line indexes of the vehicles
    } cases[] = {
        {car + "\r\n" + bus + "\r\n", 2, {0, 1}},
        {junk + "\r\n" + car + "\n" + junk + "\r" + bus, 4, {1, 3}},
        {car + "\r\n\r\n" + bus, 3, {0, 2}},
        {junk, 1, {}},
        {"", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        std::vector<int> seen;
        const inventory::ReadResult r = inventory::readLines(c.text, [&](model::TFahrzeug& v, int line, int lines) {
            EXPECT_EQ(lines, c.lines);
            seen.push_back(line);
            v.inr = "seen " + QByteArray::number(line);
        });
        EXPECT_EQ(r.lines, c.lines);
        EXPECT_EQ(seen, c.taken);
        ASSERT_EQ(r.vehicles.size(), qsizetype(c.taken.size()));
        const QList<QByteArray> lines = inventory::splitLines(c.text);
        for (size_t i = 0; i < c.taken.size(); ++i) {
            auto one = csv::ReadLine(lines[c.taken[i]]);
            ASSERT_TRUE(one.has_value());
            one->inr = "seen " + QByteArray::number(c.taken[i]);
            EXPECT_EQ(r.vehicles[qsizetype(i)], *one);
        }
    }
}
