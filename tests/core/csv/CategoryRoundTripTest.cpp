// Every category of every class, written as a line and read back, finds its class again.

#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include "../../support/TestVehicles.h"

#include <gtest/gtest.h>

using namespace tarmelo;

namespace {

// Lower case with the umlauts written out: how the reader compares categories of the last step.
QByteArray folded(const QByteArray& s) {
    QByteArray out;
    for (const char c : model::lowerCp1252(s)) {
        switch (quint8(c)) {
        case 0xE4:
            out += "ae";
            break;
        case 0xF6:
            out += "oe";
            break;
        case 0xFC:
            out += "ue";
            break;
        default:
            out += c;
        }
    }
    return out;
}

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

} // namespace

TEST(CategoryRoundTrip, EveryCategoryOfEveryClass) {
    for (int k = 1; k <= 12; ++k) {
        const QList<QByteArray>& items = model::listItems(model::ListId::Kategorie, k);
        for (qsizetype i = 1; i < items.size(); ++i) { // past "Bitte auswählen"
            SCOPED_TRACE(testing::Message() << "class " << k << " " << model::fromCp1252(items[i]).toStdString());
            model::TFahrzeug v = test::validVehicle(k);
            v.kategorie = items[i];
            const csv::LineResult line = csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, kClock);
            ASSERT_TRUE(line.ok());
            const auto back = csv::ReadLine(line.line);
            ASSERT_TRUE(back.has_value());
            EXPECT_EQ(back->klasse, k);
            // The reader gives the item, or for some categories its folded line name.
            EXPECT_EQ(folded(back->kategorie), folded(items[i]));
        }
    }
}

// The line names of categories that only data from outside the editor holds are read back too.
TEST(CategoryRoundTrip, SuffixedNamesOutsideTheLists) {
    struct Case {
        int klasse;
        const char* kategorie;
    } cases[] = {{8, "Hubarbeitsb\xfchne"}, {4, "Kastenwagen"}, {7, "Getr\xe4nke"}};
    for (const Case& c : cases) {
        model::TFahrzeug v = test::validVehicle(c.klasse);
        v.kategorie = c.kategorie;
        const csv::LineResult line = csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, kClock);
        ASSERT_TRUE(line.ok());
        const auto back = csv::ReadLine(line.line);
        ASSERT_TRUE(back.has_value()) << c.kategorie;
        EXPECT_EQ(back->klasse, c.klasse);
        EXPECT_EQ(back->kategorie, QByteArray(c.kategorie));
    }
}

// Brands with a line name of their own come back as the brand in every class their reader step covers.
TEST(CategoryRoundTrip, RenamedBrands) {
    struct Case {
        int klasse;
        const char* kategorie;
        const char* marke;
        const char* line; // the brand column as written
    } cases[] = {
        {2, "Quad", "Arctic Cat", "\"ARCTIC_CAT\";"},
        {2, "Motorrad", "GG Motorradtechnik", "\"GGMOTORRADTECHNIK\";"},
        {3, "Alkoven", "Home-Car", "\"HOMECAR\";"},
        {5, "Kipper", "Magirus Deutz", "\"MAGIRUSDEUTZ\";"},
        {7, "Bauwagen", "Ifor Williams", "\"IFORWILLIAMS\";"},
        {9, "Radlader", "Ditch Witch", "\"DITCH_WITCH\";"},
        {1, "Kombi", "BMW", "\"BMW\";"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marke);
        model::TFahrzeug v = test::validVehicle(c.klasse);
        v.kategorie = c.kategorie;
        v.marke = c.marke;
        const csv::LineResult line = csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, kClock);
        ASSERT_TRUE(line.ok());
        EXPECT_TRUE(line.line.contains(c.line));
        const auto back = csv::ReadLine(line.line);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->klasse, c.klasse);
        EXPECT_EQ(back->marke, QByteArray(c.marke));
    }
}
