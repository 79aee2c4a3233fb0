#include "csv/LineReader.h"
#include "inventory/CsvFile.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using tarmelo::csv::ReadLine;
using tarmelo::model::TFahrzeug;

namespace {

// A whole file shares repeated texts between its lines; every vehicle must still be what its line alone gives,
// whether a column repeats the line before, changes, or turns empty.
TEST(LineMemory, SharedTextsGiveWhatEachLineGivesAlone) {
    // Field texts chosen so that neighbouring lines often repeat a column and often do not.
    const std::vector<QByteArray> values = {
        "",        "0",           "1",        "2",          "12",     "\"x\"",         "\"a;b\"",       "\" 7 \"",
        "03.2021", "\"03.2021\"", "19.00",    "7.6",        "5.60",   "\"\"\"q\"\"\"", "\"5000 \xa4\"", "abc\"",
        "\"\"",    "\"-\"",       "24285.71", "01.12.2026", " 48500 "};
    const std::vector<QByteArray> categories = {"\"Kombi\"",    "\"Limousine\"", "\"Kipper unter 7,5t\"",
                                                "\"Radlader\"", "\"Kasten\"",    "\"gibt es nicht\""};
    std::mt19937 random(20261201);
    for (const int changeEvery : {1, 2, 5}) {
        SCOPED_TRACE(changeEvery);
        std::vector<QByteArray> fields(148);
        QByteArray file;
        std::vector<QByteArray> lines;
        for (int line = 0; line < 300; ++line) {
            // Each column changes with the chance 1/changeEvery; the rest repeat the line before.
            for (size_t col = 0; col < fields.size(); ++col)
                if (line == 0 || random() % unsigned(changeEvery) == 0)
                    fields[col] = values[random() % values.size()];
            fields[0] = QByteArray::number(line + 1);
            if (line == 0 || random() % unsigned(changeEvery) == 0)
                fields[2] = categories[random() % categories.size()];
            QByteArray text;
            for (const QByteArray& f : fields)
                text += f + ';';
            // Some lines end early: their last columns read as empty.
            if (random() % 7 == 0)
                text.truncate(qsizetype(random() % unsigned(text.size())));
            lines.push_back(text);
            file += text + "\r\n";
        }
        const tarmelo::inventory::ReadResult r = tarmelo::inventory::readLines(file);
        qsizetype at = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::optional<TFahrzeug> alone = ReadLine(lines[i]);
            if (!alone)
                continue;
            ASSERT_LT(at, r.vehicles.size()) << "line " << i;
            EXPECT_TRUE(r.vehicles[at] == *alone) << "line " << i << ": " << lines[i].toStdString();
            ++at;
        }
        EXPECT_EQ(at, r.vehicles.size());
        EXPECT_GT(at, 100);
    }
}

} // namespace
