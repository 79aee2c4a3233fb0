// build writes what its JSON says, or refuses it naming vehicle, field and value.
#include "inventory/VehicleJson.h"
#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "model/Cp1252.h"
#include "support/RandomLines.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

using namespace tarmelo;

namespace {

QByteArray jsonOf(const QJsonObject& o) {
    return QJsonDocument(QJsonArray{o}).toJson(QJsonDocument::Compact);
}

// The line a typed-number build writes for a vehicle.
QByteArray lineOf(const model::TFahrzeug& v) {
    return "1;\"" + QByteArray(v.inr).replace('"', "\"\"") + "\";" + csv::lineBody(v);
}

// What dump gives for a file the program wrote, build writes again, and dump then gives it back field for field.
TEST(VehicleJson, BuildThenDumpGivesBackWhatDumpGave) {
    test::RandomLines random(1210);
    int built = 0;
    for (int n = 0; n < 2400; ++n) {
        const std::optional<model::TFahrzeug> foreign = csv::ReadLine(random.line(n % 12 + 1));
        const std::optional<model::TFahrzeug> read = foreign ? csv::ReadLine(lineOf(*foreign)) : std::nullopt;
        if (!read)
            continue;
        QJsonObject given = inventory::vehicleToJson(*read);
        given.remove("bilder");
        const inventory::JsonRead in = inventory::vehiclesFromJson(jsonOf(given));
        ASSERT_TRUE(in.error.isEmpty()) << in.error.toStdString() << "\n" << jsonOf(given).toStdString();
        const std::optional<model::TFahrzeug> again = csv::ReadLine(lineOf(in.vehicles[0].vehicle));
        ASSERT_TRUE(again.has_value());
        QJsonObject dumped = inventory::vehicleToJson(*again);
        dumped.remove("bilder");
        dumped["kennung"] = given["kennung"]; // the position in the file
        // A category in another letter case is written in the list's spelling.
        if (dumped["kategorie"].toString().toLower() == given["kategorie"].toString().toLower())
            dumped["kategorie"] = given["kategorie"];
        for (auto it = given.begin(); it != given.end(); ++it)
            ASSERT_EQ(dumped.value(it.key()), it.value())
                << it.key().toStdString() << " in " << jsonOf(given).toStdString();
        ++built;
    }
    EXPECT_GT(built, 2000);
}

TEST(VehicleJson, RefusesWhatTheFileCouldNotHoldAsGiven) {
    const QString car = R"("klasse": 1, "marke": "VW", "modell": "Golf", "kategorie": "Kombi", )";
    const struct {
        QString json;
        QString message;
    } cases[] = {
        {R"({"klasse": 1}, {"klasse": 9, "kategorie": "Minibagger"})",
         R"(Fahrzeug 2: Kategorie "Minibagger" gibt es bei Baumaschinen nicht.)"},
        {R"({"klasse": 7, "kategorie": "Kombi"})", R"(Fahrzeug 1: Kategorie "Kombi" gibt es bei Anhängern nicht.)"},
        {"{" + car + R"("kraftstoff": "Kernfusion"})",
         R"(Fahrzeug 1, Feld "kraftstoff": "Kernfusion" steht in keiner Liste.)"},
        {"{" + car + R"("mwst": "12%"})", R"(Fahrzeug 1, Feld "mwst": "12%" steht in keiner Liste.)"},
        {R"({"klasse": 1, "kategorie": "Kombi", "modell": " Golf "})",
         R"(Fahrzeug 1, Feld "modell": " Golf " lässt sich nicht unverändert speichern, gelesen ergibt es "Golf".)"},
        {"{" + car + R"("inr": "  __A09-2"})",
         R"(Fahrzeug 1, Feld "inr": "  __A09-2" lässt sich nicht unverändert speichern, gelesen ergibt es "__A09-2".)"},
        {"{" + car + R"("vin": "WVW123 "})",
         R"(Fahrzeug 1, Feld "vin": "WVW123 " lässt sich nicht unverändert speichern, gelesen ergibt es "WVW123".)"},
        {"{" + car + R"("preis": 600000000})",
         R"(Fahrzeug 1, Feld "preis": 600000000 lässt sich nicht unverändert speichern, gelesen ergibt es 0.)"},
        {"{" + car + R"("radformel": 8})",
         R"(Fahrzeug 1, Feld "radformel": 8 lässt sich nicht unverändert speichern, gelesen ergibt es 0.)"},
        {"{" + car + R"("kilometer": "12345678"})",
         R"(Fahrzeug 1, Feld "kilometer": "12345678" lässt sich nicht unverändert speichern, gelesen ergibt es "1234567".)"},
    };
    for (const auto& c : cases) {
        const inventory::JsonRead in = inventory::vehiclesFromJson(("[" + c.json + "]").toUtf8());
        EXPECT_EQ(in.error, c.message) << c.json.toStdString();
    }
}

// Values the lists do not hold, or fields without a control on the class's pages, are written as given; list
// values in another letter case take the list's spelling.
TEST(VehicleJson, KeepsWhatTheLineCarries) {
    const inventory::JsonRead in = inventory::vehiclesFromJson(R"([
        {"klasse": 9, "marke": "Trailis", "kategorie": "RADLADER", "modell": "R 1"},
        {"klasse": 5, "marke": "Tesla", "kategorie": "kipper", "typ": "jahreswagen", "klima": "Klimaanlage",
         "kraftstoff": "diesel", "radformel": 9, "hydraulik": 2, "memo": "Zeile 1\nZeile 2"},
        {"klasse": 2, "marke": "Volkswagen", "kategorie": "Quad", "klima": "Klimaautomatik", "radformel": 3}])");
    ASSERT_EQ(in.error, QString());
    const model::TFahrzeug& bauma = in.vehicles[0].vehicle;
    EXPECT_EQ(bauma.marke, "Trailis");
    EXPECT_EQ(bauma.kategorie, "Radlader");
    const model::TFahrzeug& lkw = in.vehicles[1].vehicle;
    EXPECT_EQ(lkw.typ, "Jahreswagen");
    EXPECT_EQ(lkw.kraftstoff, "Diesel");
    EXPECT_EQ(lkw.kategorie, "Kipper");
    EXPECT_EQ(lkw.memo, "Zeile 1\nZeile 2");
    const model::TFahrzeug& krad = in.vehicles[2].vehicle;
    EXPECT_EQ(krad.marke, "Volkswagen");
    EXPECT_EQ(krad.klima, "Klimaautomatik");
    EXPECT_EQ(krad.radformel, 3);
}

} // namespace
