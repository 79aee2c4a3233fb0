#pragma once

#include "model/Fahrzeug.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace tarmelo::transfer {

// What the marketplace lists after an upload, kept per user and server so that the next upload can show what it
// changes before it replaces the dealer's whole listing.

// The size and CRC-32 of each photo an upload carries (slots up to the first empty one), per vehicle.
struct PhotoPrint {
    qint64 size = 0;
    quint32 crc = 0;
    bool operator==(const PhotoPrint&) const = default;
};
using PhotoPrints = QList<QList<PhotoPrint>>;
PhotoPrints photoPrints(const model::Inventory& inv);

struct ListedVehicle {
    QByteArray key;    // column 2 of its line
    QByteArray digest; // its line without position and key, and its photos
    QString title;     // "Marke Modell"
    QString number;    // the dealer's internal number
    bool operator==(const ListedVehicle&) const = default;
};

struct UploadManifest {
    QDateTime time;
    QList<ListedVehicle> vehicles;
};

// The manifest of the lines an upload sends (position;"key";rest), one per vehicle of inv in order.
UploadManifest manifestOf(const QList<QByteArray>& lines, const model::Inventory& inv, const PhotoPrints& prints);

enum class Change { Withdrawn, KeyChanged, New, Changed, Unchanged };

struct PreviewRow {
    Change change;
    QString title;
    QString number;
    QByteArray key;
    QByteArray oldKey; // KeyChanged: the key the marketplace knew
};

struct UploadPreview {
    bool previousKnown = false;
    QDateTime previousTime;
    int listed = 0;         // vehicles of the last successful upload
    int sending = 0;        // vehicles of this one
    QList<PreviewRow> rows; // ordered by change as in Change, each kind in list order

    int count(Change c) const;
    // Sends nothing at all, or withdraws every listed vehicle or more than half of them.
    bool needsConfirmation() const;
    // "3 neu, 5 geändert, 490 unverändert, 2 zurückgezogen, 1 mit neuer Nummer"
    QString summary() const;
    // The question asked before such an upload; Nein is its default.
    QString confirmationQuestion() const;
    // The refusal of the command line, with the figures.
    QString refusal() const;
};

// Matches by key; a vehicle whose key is new but whose content a withdrawn one had got a new key (renaming,
// reset days): the marketplace lists it as new, and the old listing disappears.
UploadPreview comparePreview(const std::optional<UploadManifest>& last, const UploadManifest& next);

QString changeText(Change c); // "neu", "geändert", ...

// The file in the data folder.
inline constexpr char kUploadRecordFile[] = "tmq_uebertragen.json";

// The last successful upload of this user to this server; nullopt when none is known or the file is unreadable.
std::optional<UploadManifest> lastUpload(const QString& path, const QString& user, const QString& server);
// Replaces the user's entry, keeps the others; atomic, readable by the owner alone.
bool recordUpload(const QString& path, const QString& user, const QString& server, const UploadManifest& manifest);

} // namespace tarmelo::transfer
