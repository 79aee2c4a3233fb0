#include "transfer/TransferLog.h"

#include "transfer/Upload.h"
#include "util/OwnerOnly.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace tarmelo::transfer {

namespace {

constexpr qint64 kMaxLogBytes = 4LL << 20;
constexpr qint64 kReadTail = 2LL << 20;

QByteArray lineOf(const TransferRecord& r) {
    const QJsonObject o{{QStringLiteral("time"), r.time.toString(Qt::ISODateWithMs)},
                        {QStringLiteral("kind"), r.upload ? QStringLiteral("upload") : QStringLiteral("download")},
                        {QStringLiteral("user"), r.user},
                        {QStringLiteral("server"), r.server},
                        {QStringLiteral("file"), r.file},
                        {QStringLiteral("new"), r.added},
                        {QStringLiteral("changed"), r.changed},
                        {QStringLiteral("withdrawn"), r.withdrawn},
                        {QStringLiteral("bytes"), r.bytes},
                        {QStringLiteral("encrypted"), r.encrypted},
                        {QStringLiteral("result"), r.result},
                        {QStringLiteral("reply"), r.reply}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// The last `bytes` of the file from the first whole line on.
QByteArray tail(const QString& path, qint64 bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = f.size();
    if (size > bytes && !f.seek(size - bytes))
        return {};
    QByteArray data = f.read(bytes);
    if (size > bytes)
        data.remove(0, data.indexOf('\n') + 1);
    return data;
}

} // namespace

void noteCounts(TransferRecord& r, const UploadPreview& p) {
    const int renumbered = p.count(Change::KeyChanged);
    r.added = p.count(Change::New) + renumbered;
    r.changed = p.count(Change::Changed);
    r.withdrawn = p.count(Change::Withdrawn) + renumbered;
}

QString transferKindText(const TransferRecord& r) {
    return r.upload ? QStringLiteral("Hochladen") : QStringLiteral("Herunterladen");
}

QString transferEncryptionText(const TransferRecord& r) {
    return r.encrypted ? QStringLiteral("ja") : unencryptedNotice();
}

bool appendTransferRecord(const QString& path, const TransferRecord& record) {
    if (QFileInfo(path).size() > kMaxLogBytes) {
        // The history stays readable at a glance: the newer half is kept, replaced in one step.
        const QByteArray kept = tail(path, kMaxLogBytes / 2);
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !util::restrictToOwner(f) || f.write(kept) != kept.size() || !f.commit())
            return false;
    }
    const bool existed = QFileInfo::exists(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    if (!existed && !util::restrictToOwner(f))
        return false;
    // One write per record: an interrupted program leaves whole lines.
    const QByteArray line = lineOf(record);
    return f.write(line) == line.size() && f.flush();
}

QList<TransferRecord> readTransferLog(const QString& path) {
    QList<TransferRecord> records;
    for (const QByteArray& line : tail(path, kReadTail).split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty())
            continue;
        TransferRecord r;
        r.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
        r.upload = o.value(QStringLiteral("kind")).toString() != u"download";
        r.user = o.value(QStringLiteral("user")).toString();
        r.server = o.value(QStringLiteral("server")).toString();
        r.file = o.value(QStringLiteral("file")).toString();
        r.added = o.value(QStringLiteral("new")).toInt(-1);
        r.changed = o.value(QStringLiteral("changed")).toInt(-1);
        r.withdrawn = o.value(QStringLiteral("withdrawn")).toInt(-1);
        r.bytes = qint64(o.value(QStringLiteral("bytes")).toDouble());
        r.encrypted = o.value(QStringLiteral("encrypted")).toBool();
        r.result = o.value(QStringLiteral("result")).toString();
        r.reply = o.value(QStringLiteral("reply")).toString();
        records.prepend(r);
    }
    return records;
}

} // namespace tarmelo::transfer
