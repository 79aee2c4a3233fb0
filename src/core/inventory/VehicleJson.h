#pragma once

#include "model/Fahrzeug.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace tarmelo::inventory {

// Every field under its name: texts as strings, flags and codes as integers, amounts as numbers;
// "bilder" lists the stored photos as {"width", "height", "size", "md5"}.
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

// A JSON array of vehicles; "klasse" is required, absent fields keep the defaults of a new vehicle. Each record
// takes the form the editor would store (editor::storedForm). A text that Windows-1252 cannot hold is refused.
JsonRead vehiclesFromJson(const QByteArray& json);

} // namespace tarmelo::inventory
