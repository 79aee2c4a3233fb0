#include "csv/LineWriter.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

using namespace tarmelo;
using model::TFahrzeug;

namespace {

QByteArray cp(const char* utf8) {
    return *model::toCp1252(QString::fromUtf8(utf8));
}

const Clock kMay2009 = fixedClock(QDateTime(QDate(2009, 3, 5), QTime(14, 7, 9)));

using tarmelo::test::validVehicle;

// Splits a line into its fields; a ";" inside quotes belongs to the field.
QList<QByteArray> columns(const QByteArray& line) {
    QList<QByteArray> out;
    QByteArray cur;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        if (c == ';' && !quoted) {
            out.append(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    EXPECT_TRUE(cur.isEmpty()) << "a line ends with ;";
    return out;
}

QByteArray line(const TFahrzeug& v, csv::KeyKind key = csv::KeyKind::Placeholder, int pos = 1, int dup = 0) {
    const csv::LineResult r = csv::CreateLine(v, pos, dup, key, kMay2009);
    EXPECT_TRUE(r.ok()) << (r.failure ? r.failure->message.toStdString() : "");
    return r.line;
}

QByteArray col(const TFahrzeug& v, int n) {
    const QList<QByteArray> c = columns(line(v));
    EXPECT_EQ(c.size(), 148);
    return c.value(n - 1);
}

TEST(LineWriter, EveryClassWrites148Fields) {
    for (int c = 1; c <= 12; ++c) {
        const QByteArray l = line(validVehicle(c));
        EXPECT_EQ(columns(l).size(), 148) << c;
        EXPECT_TRUE(l.startsWith("1;\"fzg\";"));
    }
}

struct ColumnCase {
    const char* what;
    std::function<void(TFahrzeug&)> set;
    int column;
    QByteArray expected;
};

class Columns : public testing::TestWithParam<ColumnCase> {};

TEST_P(Columns, Written) {
    TFahrzeug v = validVehicle(1);
    GetParam().set(v);
    if (auto f = csv::checkVehicle(v, kMay2009().date()))
        FAIL() << GetParam().what << ": " << f->message.toStdString();
    EXPECT_EQ(col(v, GetParam().column), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Values, Columns,
    testing::Values(
        ColumnCase{"PS 100", [](TFahrzeug& v) { v.kwps = 1, v.leistung = "100"; }, 6, "74"},
        ColumnCase{"PS 150", [](TFahrzeug& v) { v.kwps = 1, v.leistung = "150"; }, 6, "110"},
        ColumnCase{"kW 100", [](TFahrzeug& v) { v.leistung = "100"; }, 6, "100"},
        ColumnCase{"no power", [](TFahrzeug&) {}, 6, ""},
        ColumnCase{"gross 19%", [](TFahrzeug& v) { v.mwst = "19%"; }, 11, "10000.00"},
        ColumnCase{"gross 19% col 12", [](TFahrzeug& v) { v.mwst = "19%"; }, 12, "0"},
        ColumnCase{"gross 19% col 30", [](TFahrzeug& v) { v.mwst = "19%"; }, 30, "19"},
        ColumnCase{"net 19%", [](TFahrzeug& v) { v.mwst = "19%", v.bn = 1; }, 11, "11900.00"},
        ColumnCase{"no VAT", [](TFahrzeug& v) { v.mwst = "MwSt nicht ausweisbar"; }, 11, "11900.00"},
        ColumnCase{"no VAT col 12", [](TFahrzeug& v) { v.mwst = "MwSt nicht ausweisbar"; }, 12, "1"},
        ColumnCase{"no VAT col 30", [](TFahrzeug& v) { v.mwst = "MwSt nicht ausweisbar"; }, 30, ""},
        ColumnCase{"7,6%", [](TFahrzeug& v) { v.mwst = "7,6%"; }, 30, "7.6"},
        ColumnCase{"dealer price net", [](TFahrzeug& v) { v.mwst = "19%", v.hpreis = 5950; }, 24, "5000.00"},
        ColumnCase{"no dealer price", [](TFahrzeug&) {}, 24, ""},
        ColumnCase{"quote in model", [](TFahrzeug& v) { v.modell = "3\"er"; }, 5, "\"3\"\"er\""},
        ColumnCase{"memo two lines", [](TFahrzeug& v) { v.memo = "Klima\r\nAHK"; }, 26, "\"Klima, AHK\""},
        ColumnCase{"memo lone breaks", [](TFahrzeug& v) { v.memo = "a\rb\nc"; }, 26, "\"a, b, c\""},
        ColumnCase{"memo with quote", [](TFahrzeug& v) { v.memo = "ein \"Top\" Auto"; }, 26,
                   "\"ein \"\"Top\"\" Auto\""},
        ColumnCase{"empty memo", [](TFahrzeug&) {}, 26, ""},
        ColumnCase{"hu", [](TFahrzeug& v) { v.hu = "03-2011"; }, 7, "\"03.2011\""},
        ColumnCase{"empty hu", [](TFahrzeug&) {}, 7, ""},
        ColumnCase{"vin unchanged", [](TFahrzeug& v) { v.vin = "WVW 123-ab_"; }, 15, "\"WVW 123-ab_\""},
        ColumnCase{"keine Farbangabe", [](TFahrzeug& v) { v.farbe = "keine Farbangabe"; }, 17, ""},
        ColumnCase{"colour", [](TFahrzeug& v) { v.farbe = cp("grün"); }, 17, cp("\"grün\"")},
        ColumnCase{"klima", [](TFahrzeug& v) { v.klima = "Klimaautomatik"; }, 18, "2"},
        ColumnCase{"no klima", [](TFahrzeug& v) { v.klima = "keine Angabe"; }, 18, ""},
        ColumnCase{"doors class 1", [](TFahrzeug& v) { v.tueren = 4; }, 43, "4"},
        ColumnCase{"gearbox none", [](TFahrzeug& v) { v.getriebe = "keine Angabe"; }, 111, "0"},
        ColumnCase{"gearbox auto", [](TFahrzeug& v) { v.getriebe = "Automatik"; }, 111, "3"},
        ColumnCase{"fuel none", [](TFahrzeug& v) { v.kraftstoff = "keine Angabe"; }, 110, ""},
        ColumnCase{"fuel other", [](TFahrzeug& v) { v.kraftstoff = "andere"; }, 110, "0"},
        ColumnCase{"fuel ethanol", [](TFahrzeug& v) { v.kraftstoff = "Ethanol (FFV, E85, etc.)"; }, 110, "9"},
        ColumnCase{"delivery none", [](TFahrzeug& v) { v.lieferfrist = "keine Angabe"; }, 107, ""},
        ColumnCase{"delivery 12 months",
                   [](TFahrzeug& v) {
                       v.typ = "Neuwagen", v.ez = model::kEmptyMonth, v.kilometer = "0", v.lieferfrist = "12 Monate";
                   },
                   107, "360"},
        ColumnCase{
            "overpass",
            [](TFahrzeug& v) { v.typ = "Neuwagen", v.ez = model::kEmptyMonth, v.kilometer = "0", v.overpass = 499.5; },
            108, "500"},
        ColumnCase{"delivery date", [](TFahrzeug& v) { v.lieferdatum = "24.12.2009"; }, 106, "\"24.12.2009\""},
        ColumnCase{"empty delivery date", [](TFahrzeug& v) { v.lieferdatum = model::kEmptyDate; }, 106, ""},
        ColumnCase{"consumption", [](TFahrzeug& v) { v.innerorts = "5,6"; }, 97, "\"5.60\""},
        ColumnCase{"co2", [](TFahrzeug& v) { v.co2 = "139"; }, 100, "\"139.00\""},
        ColumnCase{"bj", [](TFahrzeug& v) { v.bj = "2005"; }, 59, "2005"},
        ColumnCase{"no bj", [](TFahrzeug&) {}, 59, ""},
        ColumnCase{"Tageszulassung 113", [](TFahrzeug& v) { v.typ = "Tageszulassung"; }, 113, "1"},
        ColumnCase{"Tageszulassung 22", [](TFahrzeug& v) { v.typ = "Tageszulassung"; }, 22, "0"},
        ColumnCase{"Oldtimer", [](TFahrzeug& v) { v.typ = "Oldtimer", v.ez = "01-1980"; }, 14, "1"},
        ColumnCase{"pass-through text", [](TFahrzeug& v) { v.zusatz_text_3 = "x"; }, 121, "\"x\""},
        ColumnCase{"pass-through flag", [](TFahrzeug& v) { v.zusatz_flag_3 = 1; }, 123, "1"},
        ColumnCase{"Königsegg", [](TFahrzeug& v) { v.marke = cp("Königsegg"); }, 4, "\"KOENIGSEGG\""},
        ColumnCase{"accented brand", [](TFahrzeug& v) { v.marke = cp("Citroën"); }, 4, cp("\"CITROËN\"")},
        ColumnCase{"Can Am", [](TFahrzeug& v) { v.marke = "Can Am"; }, 4, "\"CAN_AM\""},
        ColumnCase{"class 1 andere", [](TFahrzeug&) {}, 3, "\"andere PKW\""},
        ColumnCase{"Coupé", [](TFahrzeug& v) { v.kategorie = cp("Sportwagen/Coupé"); }, 3, "\"Sportwagen/Coupe\""}),
    [](const testing::TestParamInfo<ColumnCase>& info) { return "c" + std::to_string(info.index); });

TEST(LineWriter, CategoriesPerClass) {
    struct Case {
        int klasse;
        const char* kategorie;
        const char* written;
    } cases[] = {
        {4, "Getränke", "Getraenkewagen unter 7,5t"},
        {4, "Kastenwagen", "Kasten"},
        {4, "Kastenwagen hoch", "Kastenwagen hoch"},
        {4, "Kühlkoffer", "Kuehlkoffer unter 7,5t"},
        {4, "Tankaufbau", "Tankwagen unter 7,5t"},
        {3, "Kastenwagen", "Kastenwagen"},
        {3, "andere", "andere Wohnmobile"},
        {2, "andere", "andere Motorraeder"},
        {5, "Betonpumpe", "Betonpumpe ueber 7,5t"},
        {5, "Muldenkipper", "Muldenkipper"},
        {7, "Getränke", "Getraenke Anhaenger"},
        {7, "Bauwagen", "Bauwagen"},
        {8, "Tiefkühl", "Tiefkuehl"},
        {8, "Silo", "Silo Auflieger"},
        {9, "Baugeräte", "Baugeraete"},
        {9, "Kran, stationär", "Kran, stationaer"},
        {10, "Überlandbus", "Ueberlandbus"},
        {6, "Gefahrgut", "Gefahrgut"},
    };
    for (const Case& c : cases) {
        TFahrzeug v = validVehicle(c.klasse);
        v.kategorie = cp(c.kategorie);
        EXPECT_EQ(col(v, 3), "\"" + cp(c.written) + "\"") << c.klasse << " " << c.kategorie;
    }
    TFahrzeug m = validVehicle(5);
    m.marke = "Magirus Deutz";
    EXPECT_EQ(col(m, 4), "\"MAGIRUSDEUTZ\"");
}

TEST(LineWriter, DoorsOnlyForClassOne) {
    TFahrzeug v = validVehicle(3);
    v.tueren = 4;
    EXPECT_EQ(col(v, 43), "");
}

TEST(LineWriter, KeyKinds) {
    TFahrzeug v = validVehicle(1);
    v.inr = "A-17";
    v.bilder[0] = "jpeg1";
    v.bilder[1] = "jpeg2";
    v.bilder[2] = "jpeg3";
    EXPECT_EQ(csv::GetIntNr(line(v, csv::KeyKind::Placeholder)), "fzg");
    EXPECT_EQ(csv::GetIntNr(line(v, csv::KeyKind::TypedNumber)), "A-17");

    const QByteArray content = line(v, csv::KeyKind::Placeholder, 1);
    const QByteArray digest = QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex().toUpper();
    const QByteArray automatic = csv::GetIntNr(line(v, csv::KeyKind::Automatic, 7, 12));
    EXPECT_EQ(automatic, digest.left(15) + "312");
    EXPECT_EQ(automatic.size(), 18);

    const QByteArray stamp = csv::GetIntNr(line(v, csv::KeyKind::TimeStamp, 3));
    EXPECT_EQ(stamp, "050309_140709_3_" + digest.left(4));
    EXPECT_TRUE(line(v, csv::KeyKind::Automatic, 7).startsWith("7;\""));
}

TEST(LineWriter, DigestDependsOnContentOnly) {
    TFahrzeug a = validVehicle(1), b = validVehicle(1);
    EXPECT_EQ(line(a, csv::KeyKind::Automatic, 1), line(b, csv::KeyKind::Automatic, 1));
    const QByteArray ka = csv::GetIntNr(line(a, csv::KeyKind::Automatic, 1, 0));
    const QByteArray kb = csv::GetIntNr(line(b, csv::KeyKind::Automatic, 2, 1));
    EXPECT_EQ(ka.chopped(1), kb.chopped(1));
    EXPECT_NE(ka, kb);
    b.preis = 11901;
    EXPECT_NE(csv::GetIntNr(line(b, csv::KeyKind::Automatic)).left(15), ka.left(15));
}

TEST(LineWriter, FailingCheckGivesNoLine) {
    TFahrzeug v = validVehicle(1);
    v.modell.clear();
    for (auto key :
         {csv::KeyKind::Placeholder, csv::KeyKind::TypedNumber, csv::KeyKind::TimeStamp, csv::KeyKind::Automatic}) {
        const csv::LineResult r = csv::CreateLine(v, 1, 0, key, kMay2009);
        EXPECT_TRUE(r.line.isEmpty());
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->control, "le_1_modell");
    }
}

// Text that reached a record from outside the editor must not break the columns of the line.
TEST(LineWriter, HostileTextsKeepTheColumns) {
    TFahrzeug v = validVehicle(1);
    v.inr = "A\"B;C";
    v.kilometer = "12;3\"4\r\n";
    v.vin = "X\";Y";
    v.zusatz_text_1 = "a\r\nb\"";
    v.modell = "M\r\nN";
    v.zusatz_text_4 = "1\"\";\"";
    const csv::LineResult r = csv::CreateLine(v, 1, 0, csv::KeyKind::TypedNumber, kMay2009);
    ASSERT_TRUE(r.ok()) << r.failure->message.toStdString();
    EXPECT_FALSE(r.line.contains('\r'));
    EXPECT_FALSE(r.line.contains('\n'));
    EXPECT_EQ(columns(r.line).size(), 148);
    EXPECT_EQ(columns(r.line)[1], "\"A\"\"B;C\"");
    EXPECT_EQ(columns(r.line)[9], "1234");
}

TEST(GetIntNr, Edges) {
    EXPECT_EQ(csv::GetIntNr("1;\"fzg\";x"), "fzg");
    EXPECT_EQ(csv::GetIntNr("1;2;3"), "");
    EXPECT_EQ(csv::GetIntNr(""), "");
}

TEST(CsvFile, DuplicateCountersAndPositions) {
    model::Inventory inv{validVehicle(1), validVehicle(1), validVehicle(2), validVehicle(1)};
    const inventory::CsvLines r = inventory::buildLines(inv, 0, 3, inventory::KeyMode::Automatic, kMay2009);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.lines.size(), 4);
    QList<QByteArray> keys;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(r.lines[i].startsWith(QByteArray::number(i + 1) + ";"));
        keys.append(csv::GetIntNr(r.lines[i]));
    }
    EXPECT_EQ(keys[0].right(2), "00");
    EXPECT_EQ(keys[1].right(2), "01");
    EXPECT_EQ(keys[3].right(2), "02");
    EXPECT_EQ(keys[2].right(2), "00");
    EXPECT_TRUE(r.fileData().endsWith("\r\n"));
    EXPECT_EQ(r.fileData().count("\r\n"), 4);
}

TEST(CsvFile, TypedNumbersAreCheckedFirst) {
    model::Inventory inv{validVehicle(1), validVehicle(1), validVehicle(1)};
    inv[0].inr = "7";
    inv[2].inr = "7";
    inv[1].modell.clear();
    auto r = inventory::buildLines(inv, 0, 2, inventory::KeyMode::Typed, kMay2009);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.failure->index, 1);
    EXPECT_EQ(r.failure->failure.message, "keine interne Nummer angegeben");
    inv[1].inr = "8";
    r = inventory::buildLines(inv, 0, 2, inventory::KeyMode::Typed, kMay2009);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.failure->index, 2);
    EXPECT_EQ(r.failure->failure.message, "interne Nummer darf nicht mehrfach vorkommen");
    inv[2].inr = "9";
    r = inventory::buildLines(inv, 0, 2, inventory::KeyMode::Typed, kMay2009);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.failure->index, 1);
    EXPECT_EQ(r.failure->failure.control, "le_1_modell");
    EXPECT_TRUE(r.lines.isEmpty()) << "nothing is written when a vehicle fails";
}

TEST(CsvFile, SplitLines) {
    struct Case {
        QByteArray text;
        QList<QByteArray> lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\r", {"a", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inventory::splitLines(c.text), c.lines) << c.text.toStdString();
}

} // namespace
