#include "transfer/UploadRecord.h"

#include "csv/LineWriter.h"
#include "model/Cp1252.h"
#include "util/OwnerOnly.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtEndian>

#include <zlib.h>

namespace tarmelo::transfer {

namespace {

// The record of a few thousand vehicles has some hundred kilobytes; a larger file is not ours.
constexpr qint64 kMaxRecordFile = 64LL << 20;

quint32 crc32Of(const QByteArray& data) {
    return quint32(::crc32_z(0, reinterpret_cast<const Bytef*>(data.constData()), z_size_t(data.size())));
}

// The part of a line after its key: "1;\"A-1\";rest" gives "rest". A quote inside the key is doubled.
QByteArray afterKey(const QByteArray& line) {
    qsizetype i = line.indexOf('"');
    if (i < 0)
        return line;
    for (++i; i < line.size(); ++i) {
        if (line[i] != '"')
            continue;
        if (i + 1 < line.size() && line[i + 1] == '"') {
            ++i;
            continue;
        }
        return line.mid(i + 2);
    }
    return {};
}

QString titleOf(const model::TFahrzeug& v) {
    return (model::fromCp1252(v.marke) + u' ' + model::fromCp1252(v.modell)).trimmed();
}

QString entryName(const QString& user, const QString& server) {
    return user + u'@' + server;
}

QJsonObject readRecords(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxRecordFile)
        return {};
    return QJsonDocument::fromJson(f.read(kMaxRecordFile)).object();
}

} // namespace

PhotoPrints photoPrints(const model::Inventory& inv) {
    PhotoPrints prints;
    prints.reserve(inv.size());
    for (const model::TFahrzeug& v : inv) {
        QList<PhotoPrint> own;
        for (const QByteArray& photo : v.bilder) {
            if (photo.isEmpty())
                break; // the upload carries photos up to the first gap
            own.append({photo.size(), crc32Of(photo)});
        }
        prints.append(own);
    }
    return prints;
}

UploadManifest manifestOf(const QList<QByteArray>& lines, const model::Inventory& inv, const PhotoPrints& prints) {
    UploadManifest m;
    m.vehicles.reserve(lines.size());
    for (qsizetype j = 0; j < lines.size(); ++j) {
        QCryptographicHash hash(QCryptographicHash::Md5);
        hash.addData(afterKey(lines[j]));
        for (const PhotoPrint& p : prints.value(j)) {
            char bytes[12];
            qToLittleEndian<quint64>(quint64(p.size), bytes);
            qToLittleEndian<quint32>(p.crc, bytes + 8);
            hash.addData(QByteArrayView(bytes, sizeof bytes));
        }
        ListedVehicle v;
        v.key = csv::GetIntNr(lines[j]);
        v.digest = hash.result().toHex().toUpper();
        if (j < inv.size()) {
            v.title = titleOf(inv[j]);
            v.number = model::fromCp1252(inv[j].inr);
        }
        m.vehicles.append(v);
    }
    return m;
}

int UploadPreview::count(Change c) const {
    int n = 0;
    for (const PreviewRow& r : rows)
        n += r.change == c ? 1 : 0;
    return n;
}

bool UploadPreview::needsConfirmation() const {
    const int withdrawn = count(Change::Withdrawn);
    return sending == 0 || (listed > 0 && (withdrawn == listed || 2 * withdrawn > listed));
}

QString changeText(Change c) {
    switch (c) {
    case Change::Withdrawn:
        return QStringLiteral("zurückgezogen");
    case Change::KeyChanged:
        return QStringLiteral("neue Nummer");
    case Change::New:
        return QStringLiteral("neu");
    case Change::Changed:
        return QStringLiteral("geändert");
    case Change::Unchanged:
        break;
    }
    return QStringLiteral("unverändert");
}

QString UploadPreview::summary() const {
    return QStringLiteral("%1 neu, %2 geändert, %3 unverändert, %4 zurückgezogen, %5 mit neuer Nummer")
        .arg(count(Change::New))
        .arg(count(Change::Changed))
        .arg(count(Change::Unchanged))
        .arg(count(Change::Withdrawn))
        .arg(count(Change::KeyChanged));
}

QString UploadPreview::confirmationQuestion() const {
    const QString replaces = QStringLiteral("Karvento ersetzt Ihren gesamten Fahrzeugbestand durch die übertragenen "
                                            "Fahrzeuge.\n");
    QString what;
    if (sending == 0)
        what = QStringLiteral("Die Übertragung enthält kein Fahrzeug: Danach bieten Sie bei Karvento kein Fahrzeug "
                              "mehr an.\n");
    else if (count(Change::Withdrawn) == listed)
        what =
            QStringLiteral("Die Übertragung zieht alle %1 bei Karvento eingestellten Fahrzeuge zurück.\n").arg(listed);
    else
        what = QStringLiteral("Die Übertragung zieht %1 der %2 bei Karvento eingestellten Fahrzeuge zurück.\n")
                   .arg(count(Change::Withdrawn))
                   .arg(listed);
    return what + replaces + QStringLiteral("\nMöchten Sie den Fahrzeugbestand trotzdem übertragen?");
}

QString UploadPreview::refusal() const {
    const QString what =
        sending == 0 ? QStringLiteral("Die Übertragung enthält kein Fahrzeug")
                     : QStringLiteral("Die Übertragung zöge %1 der %2 bei Karvento eingestellten Fahrzeuge zurück")
                           .arg(count(Change::Withdrawn))
                           .arg(listed);
    return what + QStringLiteral("; nichts wurde gesendet. Mit --allow-withdrawal wird trotzdem übertragen.");
}

UploadPreview comparePreview(const std::optional<UploadManifest>& last, const UploadManifest& next) {
    UploadPreview p;
    p.sending = int(next.vehicles.size());
    p.previousKnown = last.has_value();
    const QList<ListedVehicle> none;
    const QList<ListedVehicle>& old = last ? last->vehicles : none;
    if (last)
        p.previousTime = last->time;
    p.listed = int(old.size());

    QMultiHash<QByteArray, qsizetype> oldByKey;
    for (qsizetype i = old.size() - 1; i >= 0; --i)
        oldByKey.insert(old[i].key, i); // the first listed comes out first
    QList<bool> matched(old.size(), false);
    QList<PreviewRow> changed, unchanged, fresh;
    QList<qsizetype> unknown; // vehicles whose key the marketplace has not listed
    for (qsizetype j = 0; j < next.vehicles.size(); ++j) {
        const ListedVehicle& v = next.vehicles[j];
        qsizetype hit = -1;
        for (auto it = oldByKey.find(v.key); it != oldByKey.end() && it.key() == v.key; ++it) {
            if (!matched[it.value()]) {
                hit = it.value();
                break;
            }
        }
        if (hit < 0) {
            unknown.append(j);
            continue;
        }
        matched[hit] = true;
        const bool same = old[hit].digest == v.digest;
        (same ? unchanged : changed).append({same ? Change::Unchanged : Change::Changed, v.title, v.number, v.key, {}});
    }
    // A vehicle under a new key whose content a withdrawn listing had is the same vehicle renumbered.
    QMultiHash<QByteArray, qsizetype> withdrawnByDigest;
    for (qsizetype i = old.size() - 1; i >= 0; --i)
        if (!matched[i])
            withdrawnByDigest.insert(old[i].digest, i);
    QList<PreviewRow> renumbered;
    for (qsizetype j : unknown) {
        const ListedVehicle& v = next.vehicles[j];
        qsizetype hit = -1;
        for (auto it = withdrawnByDigest.find(v.digest); it != withdrawnByDigest.end() && it.key() == v.digest; ++it) {
            if (!matched[it.value()]) {
                hit = it.value();
                break;
            }
        }
        if (hit < 0) {
            fresh.append({Change::New, v.title, v.number, v.key, {}});
            continue;
        }
        matched[hit] = true;
        renumbered.append({Change::KeyChanged, v.title, v.number, v.key, old[hit].key});
    }
    for (qsizetype i = 0; i < old.size(); ++i)
        if (!matched[i])
            p.rows.append({Change::Withdrawn, old[i].title, old[i].number, old[i].key, {}});
    p.rows += renumbered;
    p.rows += fresh;
    p.rows += changed;
    p.rows += unchanged;
    return p;
}

std::optional<UploadManifest> lastUpload(const QString& path, const QString& user, const QString& server) {
    const QJsonObject all = readRecords(path);
    const QJsonValue entry = all.value(QStringLiteral("uploads")).toObject().value(entryName(user, server));
    if (!entry.isObject())
        return std::nullopt;
    const QJsonObject o = entry.toObject();
    UploadManifest m;
    m.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate);
    for (const auto& value : o.value(QStringLiteral("vehicles")).toArray()) {
        const QJsonObject v = value.toObject();
        // Keys are Windows-1252 bytes; every byte has its own character there, so the text gives them back.
        const auto bytes = model::toCp1252(v.value(QStringLiteral("key")).toString());
        m.vehicles.append({bytes.value_or(QByteArray()), v.value(QStringLiteral("digest")).toString().toLatin1(),
                           v.value(QStringLiteral("title")).toString(), v.value(QStringLiteral("number")).toString()});
    }
    return m;
}

bool recordUpload(const QString& path, const QString& user, const QString& server, const UploadManifest& manifest) {
    QJsonObject all = readRecords(path);
    QJsonObject uploads = all.value(QStringLiteral("uploads")).toObject();
    QJsonArray vehicles;
    for (const ListedVehicle& v : manifest.vehicles)
        vehicles.append(QJsonObject{{QStringLiteral("key"), model::fromCp1252(v.key)},
                                    {QStringLiteral("digest"), QString::fromLatin1(v.digest)},
                                    {QStringLiteral("title"), v.title},
                                    {QStringLiteral("number"), v.number}});
    uploads.insert(entryName(user, server), QJsonObject{{QStringLiteral("user"), user},
                                                        {QStringLiteral("server"), server},
                                                        {QStringLiteral("time"), manifest.time.toString(Qt::ISODate)},
                                                        {QStringLiteral("vehicles"), vehicles}});
    all.insert(QStringLiteral("uploads"), uploads);
    const QByteArray data = QJsonDocument(all).toJson(QJsonDocument::Compact);
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && util::restrictToOwner(f) && f.write(data) == data.size() && f.flush() &&
           f.commit();
}

} // namespace tarmelo::transfer
