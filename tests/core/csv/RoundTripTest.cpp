// A vehicle of every class written as a line and read back keeps every field its class edits.

#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"

#include <gtest/gtest.h>

using namespace tarmelo;
using model::FieldKind;
using model::FieldSpec;
using model::TFahrzeug;

namespace {

QByteArray cp(const char* utf8) {
    return *model::toCp1252(QString::fromUtf8(utf8));
}

// Fills every field that class c edits with a value that passes the checks.
TFahrzeug filledVehicle(int c) {
    TFahrzeug v = model::newVehicle(c);
    for (const FieldSpec& f : model::fields()) {
        if (!model::hasControl(f, c) || qstrcmp(f.name, "klasse") == 0)
            continue;
        if (f.kind == FieldKind::Flag)
            v.*f.byte = 1;
        else if (f.kind == FieldKind::Text && f.filter == model::Filter::Digits)
            v.*f.text = QByteArray("12").left(f.width);
        else if (f.kind == FieldKind::Text && f.list != model::ListId::None && model::listItems(f.list, c).size() > 2)
            v.*f.text = model::listItems(f.list, c).value(2);
    }
    const QString name = QStringLiteral("class %1").arg(c);
    v.inr = "AB-" + QByteArray::number(c);
    v.vin = "WVW 12_x";
    v.modell = "Modell \"X\" " + QByteArray::number(c);
    v.memo = cp("Gepflegt; \"Top\" – € 100");
    v.preis = 12345.67;
    v.hpreis = 9999.5;
    v.bn = 1;
    v.mwst = "7,6%";
    v.typ = "Gebrauchtwagen";
    v.lieferfrist.clear(); // read back empty, as "keine Angabe" is written
    v.overpass = 0;
    v.tuev_neu = 0;
    v.export_ = 0;
    v.envkv = 0;
    v.kwps = 0;
    v.lieferdatum = "24.12.2008";
    if (model::hasControl(*model::field(u"ez"), c))
        v.ez = "05-2005";
    if (model::hasControl(*model::field(u"hu"), c))
        v.hu = "06-2010";
    if (model::hasControl(*model::field(u"au"), c))
        v.au = "07-2010";
    if (model::hasControl(*model::field(u"bj"), c))
        v.bj = "2005";
    if (model::hasControl(*model::field(u"farbe"), c))
        v.farbe = cp("grün");
    if (c == 1) {
        v.innerorts = "5,6";
        v.ausserorts = "4,25";
        v.kombiniert = "4,8";
        v.co2 = "139";
        v.tueren = 4;
        v.kraftstoff = "Diesel";
    }
    for (const char* code : {"umwelt", "abgas", "antrieb", "fahrerhaus", "hydraulik", "radformel"}) {
        const FieldSpec& f = *model::field(QString::fromLatin1(code));
        if (model::hasControl(f, c))
            v.*f.byte = model::storeCode(f.list, c, int(model::listItems(f.list, c).size()) - 1);
    }
    v.zusatz_flag_1 = v.zusatz_flag_3 = 1;
    v.zusatz_text_1 = "eins";
    v.zusatz_text_4 = "vier";
    Q_UNUSED(name);
    return v;
}

TEST(RoundTrip, EveryClass) {
    const Clock clock = fixedClock(QDateTime(QDate(2009, 5, 15), QTime(9, 0)));
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(testing::Message() << "class " << c);
        const TFahrzeug v = filledVehicle(c);
        const csv::LineResult line = csv::CreateLine(v, 1, 0, csv::KeyKind::TypedNumber, clock);
        ASSERT_TRUE(line.ok()) << line.failure->message.toStdString() << " " << line.failure->control.toStdString();
        const std::optional<TFahrzeug> back = csv::ReadLine(line.line);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->klasse, c);
        EXPECT_EQ(back->kennung, "1");
        for (const FieldSpec& f : model::fields()) {
            const std::string name = f.name;
            // The reader fills the lists a class does not show with their defaults.
            if (name == "kennung" || (!model::hasControl(f, c) && f.list != model::ListId::None))
                continue;
            if (f.text) {
                const QString a = model::fromCp1252(v.*f.text), b = model::fromCp1252((*back).*f.text);
                // Makes come back upper case.
                const bool caseFree = name == "marke";
                EXPECT_EQ(a.compare(b, caseFree ? Qt::CaseInsensitive : Qt::CaseSensitive), 0)
                    << name << ": " << a.toStdString() << " / " << b.toStdString();
            } else if (f.byte) {
                EXPECT_EQ(v.*f.byte, (*back).*f.byte) << name;
            } else if (f.amount) {
                EXPECT_DOUBLE_EQ(v.*f.amount, (*back).*f.amount) << name;
            }
        }
        // What was read writes the same line again.
        const csv::LineResult again = csv::CreateLine(*back, 1, 0, csv::KeyKind::TypedNumber, clock);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(again.line.toStdString(), line.line.toStdString());
    }
}

// Every category of every class reads back as the list spells it, so that an automatic number (a digest of the
// content line) does not change when an inventory is opened and saved again.
TEST(RoundTrip, EveryCategoryKeepsItsSpelling) {
    const Clock clock = fixedClock(QDateTime(QDate(2009, 5, 15), QTime(9, 0)));
    for (int c = 1; c <= 12; ++c) {
        const QList<QByteArray>& items = model::listItems(model::ListId::Kategorie, c);
        for (qsizetype i = 1; i < items.size(); ++i) {
            TFahrzeug v = filledVehicle(c);
            v.kategorie = items[i];
            const csv::LineResult line = csv::CreateLine(v, 1, 0, csv::KeyKind::Automatic, clock);
            ASSERT_TRUE(line.ok()) << c << " " << items[i].toStdString();
            const std::optional<TFahrzeug> back = csv::ReadLine(line.line);
            ASSERT_TRUE(back.has_value()) << c << " " << model::fromCp1252(items[i]).toStdString();
            EXPECT_EQ(back->klasse, c) << model::fromCp1252(items[i]).toStdString();
            EXPECT_EQ(model::fromCp1252(back->kategorie), model::fromCp1252(items[i])) << c;
            const csv::LineResult again = csv::CreateLine(*back, 1, 0, csv::KeyKind::Automatic, clock);
            EXPECT_EQ(csv::GetIntNr(again.line), csv::GetIntNr(line.line)) << model::fromCp1252(items[i]).toStdString();
        }
    }
}

TEST(RoundTrip, GrossPricesComeBackNet) {
    const Clock clock = fixedClock(QDateTime(QDate(2009, 5, 15), QTime(9, 0)));
    TFahrzeug v = filledVehicle(1);
    v.bn = 0;
    v.mwst = "19%";
    v.preis = 11900;
    auto back = csv::ReadLine(csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, clock).line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bn, 1);
    EXPECT_DOUBLE_EQ(back->preis, 10000);
    v.mwst = "MwSt nicht ausweisbar";
    back = csv::ReadLine(csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, clock).line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bn, 0);
    EXPECT_DOUBLE_EQ(back->preis, 11900);
    EXPECT_EQ(back->mwst, "MwSt nicht ausweisbar");
}

TEST(RoundTrip, PowerInPsComesBackInKw) {
    const Clock clock = fixedClock(QDateTime(QDate(2009, 5, 15), QTime(9, 0)));
    TFahrzeug v = filledVehicle(1);
    v.kwps = 1;
    v.leistung = "150";
    const auto back = csv::ReadLine(csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, clock).line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kwps, 0);
    EXPECT_EQ(back->leistung, "110");
}

TEST(RoundTrip, LineBreaksInTheFreeTextBecomeCommas) {
    const Clock clock = fixedClock(QDateTime(QDate(2009, 5, 15), QTime(9, 0)));
    TFahrzeug v = filledVehicle(2);
    v.memo = "Klima\r\nAHK\nESP\rABS";
    const auto back = csv::ReadLine(csv::CreateLine(v, 1, 0, csv::KeyKind::Placeholder, clock).line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->memo, "Klima, AHK, ESP, ABS");
}

} // namespace
