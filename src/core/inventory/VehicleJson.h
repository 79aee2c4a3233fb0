#pragma once

#include "model/Fahrzeug.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace tarmelo::inventory {

// Every field under its name: texts as strings, flags and codes as integers, amounts as numbers;
// "bilder" lists the stored photos as {"width", "height", "size", "md5"}; then the stock data (stockToJson).
QJsonObject vehicleToJson(const model::TFahrzeug& v);
QJsonArray inventoryToJson(const model::Inventory& inv);

struct JsonVehicle {
    model::TFahrzeug vehicle;
    QStringList photoPaths; // "bilder": image files still to be added
};

struct JsonRead {
    QList<JsonVehicle> vehicles;
    QString error; // German; empty on success
};

// A JSON array of vehicles; "klasse" is required, absent fields keep the defaults of a new vehicle. Values are
// taken as they are; list values are found regardless of letter case and take the list's spelling. What a
// marketplace line cannot carry is refused with a message naming vehicle, field and value: a text that
// Windows-1252 cannot hold, a category the class does not have, a list value no list has, and any value the
// line reader would not give back as it is (trimmed blanks, a text longer than its field, an amount or a code out
// of range). The stock keys are taken as stockFromJson reads them.
JsonRead vehiclesFromJson(const QByteArray& json);

} // namespace tarmelo::inventory
