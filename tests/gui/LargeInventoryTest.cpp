// Opening an inventory larger than one portion of rows: every vehicle arrives in order, the list follows it, the
// progress only moves forward, and the closing message still counts the lines that were refused.
#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "inventory/CsvFile.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>

#include <algorithm>

using namespace tarmelo;
using gui::Dialogs;
using gui::TformMain;

namespace {

// The lines of n valid vehicles named "Modell 1" .. "Modell n", then the extra lines.
QByteArray csvOf(int n, const QList<QByteArray>& extra) {
    model::Inventory inv;
    for (int i = 0; i < n; ++i) {
        model::TFahrzeug v = test::validVehicle(1 + i % 3);
        v.modell = "Modell " + QByteArray::number(i + 1);
        inv.append(v);
    }
    const Clock clock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(10, 0)));
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, n - 1, inventory::KeyMode::Automatic, clock);
    EXPECT_TRUE(lines.ok());
    QByteArray data = lines.fileData();
    for (const QByteArray& line : extra)
        data += line + "\r\n";
    return data;
}

TEST(LargeInventoryTest, OpeningListsEveryVehicleInPortions) {
    Dialogs::setTestMode(true);
    const struct {
        int vehicles;
        QList<QByteArray> extra;
        QString message;
    } cases[] = {
        {1, {}, QString()},
        {100, {}, QString()},
        {101, {}, QString()},
        {257, {}, QString()},
        {230, {"kaputt"}, QStringLiteral("1 von 231 Fahrzeugen konnte(n) nicht importiert werden.")},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vehicles);
        Dialogs::shown().clear();
        const QString path = dir.filePath(QStringLiteral("bestand%1.csv").arg(c.vehicles));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(csvOf(c.vehicles, c.extra));
        f.close();

        TformMain w;
        auto* bar = w.findChild<QProgressBar*>(QStringLiteral("MainProgBar"));
        QList<int> values;
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) { values.append(v); });
        w.ReadFile(path, false);

        ASSERT_EQ(w.vehicles().size(), c.vehicles);
        ASSERT_EQ(w.list()->rowCount(), c.vehicles);
        for (int r : {0, c.vehicles / 2, c.vehicles - 1}) {
            EXPECT_EQ(w.vehicles()[r].modell, "Modell " + QByteArray::number(r + 1));
            EXPECT_EQ(w.list()->cellText(r, 0), QString::number(r + 1));
            EXPECT_EQ(w.list()->cellText(r, 2), QStringLiteral("Modell %1").arg(r + 1));
        }
        EXPECT_EQ(w.list()->selectedRow(), 0);
        EXPECT_EQ(w.shownRow(), 0);
        EXPECT_FALSE(w.isBusy());
        // Forward only while opening, then back to rest.
        ASSERT_FALSE(values.isEmpty());
        EXPECT_EQ(values.last(), 0);
        values.removeLast();
        EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << values.size();
        EXPECT_EQ(values.isEmpty() ? -1 : values.last(), 100);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(Dialogs::shown().isEmpty());
        } else {
            ASSERT_EQ(Dialogs::shown().size(), 1);
            EXPECT_EQ(Dialogs::shown()[0].text, c.message);
        }
    }
    Dialogs::setTestMode(false);
}

TEST(LargeInventoryTest, RowsAppendedTogetherMatchRowsAppendedOneByOne) {
    const QList<QList<int>> batches[] = {
        {{0, 1, 2}},
        {{0}, {1, 2}, {}, {3, 4, 5, 6}},
        {{}, {0, 1}},
    };
    auto texts = [](int i) {
        editor::RowTexts t;
        for (size_t c = 0; c < t.cells.size(); ++c)
            t.cells[c] = QStringLiteral("z%1s%2").arg(i).arg(c);
        t.detail = QStringLiteral("Detail %1").arg(i);
        return t;
    };
    for (const auto& batchList : batches) {
        gui::VehicleList together, single;
        for (const QList<int>& batch : batchList) {
            QList<editor::RowTexts> rows;
            for (int i : batch) {
                rows.append(texts(i));
                single.setRowTexts(single.appendRow(), texts(i));
            }
            together.appendRows(rows);
        }
        ASSERT_EQ(together.rowCount(), single.rowCount());
        for (int r = 0; r < single.rowCount(); ++r) {
            for (int c = 0; c < gui::VehicleList::kColumnCount; ++c)
                EXPECT_EQ(together.cellText(r, c), single.cellText(r, c)) << r << "," << c;
            EXPECT_EQ(together.detailText(r), single.detailText(r)) << r;
            EXPECT_EQ(together.topLevelItem(r)->font(1).bold(), single.topLevelItem(r)->font(1).bold()) << r;
        }
    }
}

} // namespace
