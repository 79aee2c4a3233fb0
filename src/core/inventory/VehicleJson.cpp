#include "VehicleJson.h"

#include "editor/StoredForm.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "photo/jpeg.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <cmath>

namespace tarmelo::inventory {

using model::FieldKind;
using model::FieldSpec;

QJsonObject vehicleToJson(const model::TFahrzeug& v) {
    QJsonObject o;
    for (const FieldSpec& f : model::fields()) {
        const QString name = QString::fromLatin1(f.name);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::LongText:
            o.insert(name, model::fromCp1252(v.*f.text));
            break;
        case FieldKind::Flag:
        case FieldKind::Code:
            o.insert(name, int(v.*f.byte));
            break;
        case FieldKind::Amount:
            o.insert(name, v.*f.amount);
            break;
        case FieldKind::Photos: {
            QJsonArray photos;
            for (const QByteArray& jpeg : v.bilder) {
                if (jpeg.isEmpty())
                    continue;
                const QSize size = photo::jpegSize(jpeg).value_or(QSize(0, 0));
                photos.append(QJsonObject{
                    {"width", size.width()},
                    {"height", size.height()},
                    {"size", jpeg.size()},
                    {"md5",
                     QString::fromLatin1(QCryptographicHash::hash(jpeg, QCryptographicHash::Md5).toHex().toUpper())},
                });
            }
            o.insert(name, photos);
            break;
        }
        }
    }
    return o;
}

QJsonArray inventoryToJson(const model::Inventory& inv) {
    QJsonArray a;
    for (const model::TFahrzeug& v : inv)
        a.append(vehicleToJson(v));
    return a;
}

namespace {

QString fieldError(int index, const QString& field, const QString& what) {
    return QStringLiteral("Fahrzeug %1, Feld \"%2\": %3").arg(index + 1).arg(field, what);
}

// Reads one field into the record; returns an error text or an empty string.
QString readField(const FieldSpec& f, const QJsonValue& value, int index, JsonVehicle& out) {
    const QString name = QString::fromLatin1(f.name);
    model::TFahrzeug& v = out.vehicle;
    switch (f.kind) {
    case FieldKind::Text:
    case FieldKind::LongText: {
        if (!value.isString())
            return fieldError(index, name, QStringLiteral("Text erwartet."));
        const QString text = value.toString();
        const auto bytes = model::toCp1252(text);
        if (!bytes)
            return fieldError(index, name, model::nonCp1252Message(text));
        v.*f.text = model::cut(*bytes, f.width);
        return {};
    }
    case FieldKind::Flag:
    case FieldKind::Code: {
        const double d = value.isBool() ? double(value.toBool()) : value.toDouble(-1);
        const int limit = f.kind == FieldKind::Flag ? 1 : 255;
        if (!(value.isDouble() || value.isBool()) || d != std::floor(d) || d < 0 || d > limit)
            return fieldError(index, name, QStringLiteral("ganze Zahl von 0 bis %1 erwartet.").arg(limit));
        v.*f.byte = quint8(d);
        return {};
    }
    case FieldKind::Amount:
        if (!value.isDouble())
            return fieldError(index, name, QStringLiteral("Zahl erwartet."));
        v.*f.amount = value.toDouble();
        return {};
    case FieldKind::Photos: {
        if (!value.isArray())
            return fieldError(index, name, QStringLiteral("Liste von Bilddateien erwartet."));
        const QJsonArray a = value.toArray();
        if (a.size() > model::kPhotoSlots)
            return fieldError(index, name, QStringLiteral("höchstens 15 Bilder erlaubt."));
        for (const QJsonValue& p : a) {
            if (!p.isString())
                return fieldError(index, name, QStringLiteral("Pfad einer Bilddatei erwartet."));
            out.photoPaths.append(p.toString());
        }
        return {};
    }
    }
    return {};
}

} // namespace

JsonRead vehiclesFromJson(const QByteArray& json) {
    JsonRead r;
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (pe.error != QJsonParseError::NoError) {
        r.error = QStringLiteral("Ungültiges JSON (Zeichen %1): %2").arg(pe.offset).arg(pe.errorString());
        return r;
    }
    if (!doc.isArray()) {
        r.error = QStringLiteral("Eine JSON-Liste von Fahrzeugen wird erwartet.");
        return r;
    }
    const QJsonArray list = doc.array();
    for (int i = 0; i < list.size(); ++i) {
        if (!list[i].isObject()) {
            r.error = QStringLiteral("Fahrzeug %1: JSON-Objekt erwartet.").arg(i + 1);
            return r;
        }
        const QJsonObject o = list[i].toObject();
        const QJsonValue k = o.value(QStringLiteral("klasse"));
        const int klasse = k.isDouble() ? k.toInt(0) : 0;
        if (klasse < 1 || klasse > model::kClassCount || k.toDouble() != klasse) {
            r.error = fieldError(i, QStringLiteral("klasse"), QStringLiteral("Fahrzeugklasse 1 bis 12 erwartet."));
            return r;
        }
        JsonVehicle jv{model::newVehicle(klasse), {}};
        for (auto it = o.begin(); it != o.end(); ++it) {
            const FieldSpec* f = model::field(it.key());
            if (!f) {
                r.error = fieldError(i, it.key(), QStringLiteral("unbekanntes Feld."));
                return r;
            }
            if (it.key() == QLatin1StringView("klasse"))
                continue;
            if (QString e = readField(*f, it.value(), i, jv); !e.isEmpty()) {
                r.error = e;
                return r;
            }
        }
        // As if typed into the editor: the record a save of the program would hold.
        jv.vehicle = editor::storedForm(std::move(jv.vehicle));
        r.vehicles.append(std::move(jv));
    }
    return r;
}

} // namespace tarmelo::inventory
