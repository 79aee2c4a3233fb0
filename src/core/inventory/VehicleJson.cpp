#include "VehicleJson.h"

#include "csv/LineColumns.h"
#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "inventory/StockMember.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"
#include "photo/Jpeg.h"

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
    const QJsonObject stock = stockToJson(v.bestand);
    for (auto it = stock.begin(); it != stock.end(); ++it)
        o.insert(it.key(), it.value());
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

// A list value in the list's spelling, found regardless of letter case.
std::optional<QByteArray> listSpelling(const QList<QByteArray>& items, const QByteArray& value) {
    const QByteArray lower = model::lowerCp1252(value);
    for (const QByteArray& item : items)
        if (model::lowerCp1252(item) == lower)
            return item;
    return std::nullopt;
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
        v.*f.text = *bytes;
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
        for (const auto& p : a) {
            if (!p.isString())
                return fieldError(index, name, QStringLiteral("Pfad einer Bilddatei erwartet."));
            out.photoPaths.append(p.toString());
        }
        return {};
    }
    }
    return {};
}

// The list values of the record in the lists' spelling. The brand and the colour are free; the category must be
// one of the class's (by it the reader finds the class again); the other lists travel as codes, so their value
// must be an item of a list.
QString listValues(model::TFahrzeug& v, int index) {
    for (const FieldSpec& f : model::fields()) {
        if (!f.text || f.list == model::ListId::None || f.list == model::ListId::Marke ||
            f.list == model::ListId::Farbe || (v.*f.text).isEmpty())
            continue;
        QByteArray& text = v.*f.text;
        std::optional<QByteArray> item;
        if (f.list == model::ListId::Kategorie) {
            item = listSpelling(model::listItems(f.list, v.klasse), text);
            if (!item)
                return QStringLiteral("Fahrzeug %1: Kategorie \"%2\" gibt es bei %3 nicht.")
                    .arg(index + 1)
                    .arg(model::fromCp1252(text), model::classNameAmong(v.klasse));
        } else {
            for (int c = 1; c <= model::kClassCount && !item; ++c)
                item = listSpelling(model::listItems(f.list, c), text);
            if (!item)
                return fieldError(index, QString::fromLatin1(f.name),
                                  QStringLiteral("\"%1\" steht in keiner Liste.").arg(model::fromCp1252(text)));
        }
        text = *item;
    }
    return {};
}

QString jsonText(const QJsonValue& value) {
    return value.isString() ? QStringLiteral("\"%1\"").arg(value.toString())
                            : QString::number(value.toDouble(), 'g', 17);
}

// The vehicle must come back from its line as the JSON gives it: a given value the reader gives back otherwise
// (blanks it trims, a text longer than the field, an amount or a code out of range) is refused, naming what it
// would become. Otherwise the file would not hold what the JSON says, and the automatic number would change at the
// next save. Texts the JSON leaves out take what the reader makes of them (the blank masks, "keine Angabe" ...).
QString carried(model::TFahrzeug& v, const QJsonObject& given, int index) {
    // As a typed-number build writes it: the key's quotes doubled.
    const auto lineOf = [](const model::TFahrzeug& x) {
        return "1;\"" + QByteArray(x.inr).replace('"', "\"\"") + "\";" + csv::lineBody(x);
    };
    const std::optional<model::TFahrzeug> back = csv::ReadLine(lineOf(v));
    if (!back)
        return {}; // no category: the checks say so
    for (const FieldSpec& f : model::fields())
        if (f.text && !given.contains(QLatin1StringView(f.name)) && qstrcmp(f.name, "kennung") != 0)
            v.*f.text = (*back).*f.text;
    const auto refusal = [&](const QString& name) {
        return fieldError(index, name,
                          QStringLiteral("%1 lässt sich nicht unverändert speichern, gelesen ergibt es %2.")
                              .arg(jsonText(vehicleToJson(v).value(name)), jsonText(vehicleToJson(*back).value(name))));
    };
    if (back->inr != v.inr)
        return refusal(QStringLiteral("inr"));
    const QByteArray body = csv::lineBody(v), again = csv::lineBody(*back);
    if (again == body)
        return {};
    // The first column that differs names the field.
    int column = 3;
    for (qsizetype i = 0; i < std::min(body.size(), again.size()) && body[i] == again[i]; ++i)
        column += body[i] == ';';
    return refusal(QString::fromLatin1(csv::columnField(column)));
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
        if (const auto e = stockFromJson(o, jv.vehicle.bestand)) {
            r.error = fieldError(i, e->field, e->what);
            return r;
        }
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (isStockKey(it.key()))
                continue;
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
        if (QString e = listValues(jv.vehicle, i); !e.isEmpty() || !(e = carried(jv.vehicle, o, i)).isEmpty()) {
            r.error = e;
            return r;
        }
        r.vehicles.append(std::move(jv));
    }
    return r;
}

} // namespace tarmelo::inventory
