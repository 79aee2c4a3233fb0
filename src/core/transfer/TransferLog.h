#pragma once

#include "transfer/UploadRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace tarmelo::transfer {

// One upload or download attempt, as the transfer history keeps it.
struct TransferRecord {
    QDateTime time;
    bool upload = true; // else the stock download
    QString user;
    QString server;
    QString file;                                 // the inventory sent, or the archive received
    int added = -1, changed = -1, withdrawn = -1; // -1: not known (downloads)
    qint64 bytes = 0;
    bool encrypted = false;
    QString result; // "übertragen", or what went wrong
    QString reply;  // the server's last reply
    bool operator==(const TransferRecord&) const = default;
};

// The counts as the marketplace sees them: a vehicle under a new number is a new listing and a withdrawn one.
void noteCounts(TransferRecord& r, const UploadPreview& p);

// The file in the data folder: one JSON object per line, appended.
inline constexpr char kTransferLogFile[] = "tmq_protokoll.jsonl";

// Appends one record; the file is readable by its owner alone. A file grown beyond its bound keeps its newer half.
bool appendTransferRecord(const QString& path, const TransferRecord& record);
// Newest first; reads at most the file's last megabytes, so a file of any size opens at once.
QList<TransferRecord> readTransferLog(const QString& path);

// The texts the history shows.
QString transferKindText(const TransferRecord& r);       // "Hochladen" / "Herunterladen"
QString transferEncryptionText(const TransferRecord& r); // "ja" / "Verbindung unverschlüsselt"

} // namespace tarmelo::transfer
