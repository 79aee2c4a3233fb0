#include "csv/LineWriter.h"

#include "../../support/TestVehicles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarmelo;
using model::TFahrzeug;

// Quotes, separators and line breaks in every kind of column: the exact text written.
TEST(LineQuoting, ColumnsWrittenExactly) {
    struct Case {
        std::function<void(TFahrzeug&)> set;
        QByteArray expected; // a piece of the line body
    } cases[] = {
        {[](auto& v) { v.modell = "A\"B\r\nC\rD\nE"; }, "\"A\"\"B C D E\";"},
        {[](auto& v) { v.modell = "\"\""; }, "\"\"\"\"\"\";"},
        {[](auto& v) { v.vin = "X\"Y\"\"Z\"\"\"W"; }, "\"X\"\"Y\"\"Z\"\"\"\"W\";"}, // runs made even
        {[](auto& v) { v.vin = "a\r\n\"b"; }, "\"a \"\"b\";"},
        {[](auto& v) { v.memo = "eins\r\nzwei\rdrei\nvier \"x\""; }, "\"eins, zwei, drei, vier \"\"x\"\"\";"},
        {[](auto& v) { v.memo = "\r\n\r\n"; }, "\", , \";"},
        {[](auto& v) { v.kilometer = "1;2\"3\r\n4"; }, ";1234;"},
        {[](auto& v) { v.hu = "06-20\"10"; }, "\"06.20\"\"10\";"},
        {[](auto& v) { v.farbe = "rot\"\r\nblau"; }, "\"rot\"\" blau\";"},
        {[](auto& v) { v.zusatz_text_1 = "x-\"y"; }, "\"x-\"\"y\";"},
    };
    for (const Case& c : cases) {
        TFahrzeug v = test::validVehicle(1);
        c.set(v);
        const QByteArray body = csv::lineBody(v);
        EXPECT_TRUE(body.contains(c.expected)) << c.expected.toStdString() << "\n" << body.toStdString();
        EXPECT_FALSE(body.contains('\r') || body.contains('\n'));
    }
}

// A typed internal number with quotes and breaks keeps its column.
TEST(LineQuoting, TypedNumberColumn) {
    const Clock clock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));
    struct Case {
        QByteArray inr, key;
    } cases[] = {{"A-1", "A-1"}, {"A\"1", "A\"\"1"}, {"A\r\n1", "A 1"}, {"\"", "\"\""}};
    for (const Case& c : cases) {
        TFahrzeug v = test::validVehicle(1);
        v.inr = c.inr;
        const csv::LineResult r = csv::CreateLine(v, 3, 0, csv::KeyKind::TypedNumber, clock);
        ASSERT_TRUE(r.ok());
        EXPECT_TRUE(r.line.startsWith("3;\"" + c.key + "\";")) << r.line.left(20).toStdString();
    }
}
