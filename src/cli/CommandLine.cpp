#include "cli/CommandLine.h"

#include "inventory/Archive.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace tarmelo::cli {

namespace {

void write(std::FILE* to, const QString& text) {
    const QByteArray b = text.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
    std::fflush(to);
}

} // namespace

void out(const QString& text) {
    write(stdout, text);
}

void err(const QString& text) {
    write(stderr, text);
}

QString oneLine(const QString& message) {
    return message.split(u'\n', Qt::SkipEmptyParts).join(u' ');
}

QString failureLine(const csv::InventoryFailure& f) {
    return QStringLiteral("Fahrzeug %1: %2 [%3]").arg(f.index + 1).arg(f.failure.message, f.failure.control);
}

CommandLine::CommandLine(const QStringList& args, const QStringList& withValue, const QStringList& flags) {
    for (qsizetype i = 0; i < args.size() && error_.isEmpty(); ++i) {
        const QString& a = args[i];
        if (withValue.contains(a)) {
            if (i + 1 >= args.size())
                error_ = QStringLiteral("%1 erwartet einen Wert.").arg(a);
            else
                values_.insert(a, args[++i]);
        } else if (flags.contains(a)) {
            flags_.insert(a);
        } else if (a.startsWith(QLatin1StringView("--"))) {
            error_ = QStringLiteral("Unbekannte Option %1.").arg(a);
        } else {
            files_.append(a);
        }
    }
}

std::optional<QString> CommandLine::value(const char* option) const {
    const auto it = values_.find(QLatin1StringView(option));
    return it == values_.end() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<Clock> CommandLine::clock() const {
    const std::optional<QString> now = value("--now");
    if (!now)
        return systemClock();
    const QDateTime t = QDateTime::fromString(*now, Qt::ISODate);
    if (!t.isValid()) {
        err(QStringLiteral("--now erwartet Datum und Uhrzeit als JJJJ-MM-TTThh:mm:ss."));
        return std::nullopt;
    }
    return fixedClock(t);
}

bool loadInventory(const QString& path, model::Inventory& vehicles, bool reportRejected, bool* readOnly) {
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, probe.errorString()));
        return false;
    }
    probe.close();
    inventory::OpenResult r = inventory::readInventoryFile(path);
    if (!r.ok()) {
        err(r.message());
        return false;
    }
    if (reportRejected && r.rejected() > 0)
        out(r.message());
    if (r.readOnly)
        err(QStringLiteral("Warnung: ") + oneLine(r.readOnlyMessage));
    if (readOnly)
        *readOnly = r.readOnly;
    vehicles = std::move(r.vehicles);
    return true;
}

bool refuseOverwrite(bool readOnly, const QString& source, const QString& target) {
    if (!readOnly || QFileInfo(source).absoluteFilePath() != QFileInfo(target).absoluteFilePath())
        return false;
    err(QStringLiteral("\"%1\" ist schreibgeschützt geöffnet und wird nicht überschrieben; "
                       "geben Sie eine andere Ausgabedatei an.")
            .arg(source));
    return true;
}

std::optional<QList<bool>> parseSelection(const QString& list, qsizetype count) {
    QList<bool> flags(count, false);
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        const QStringList range = part.trimmed().split(u'-');
        bool okA = false, okB = true;
        const int a = range.value(0).toInt(&okA);
        int b = a;
        if (range.size() == 2)
            b = range[1].toInt(&okB);
        if (range.size() > 2 || !okA || !okB || a < 1 || b < a || b > count) {
            err(QStringLiteral("--select: \"%1\" ist keine Position von 1 bis %2.").arg(part).arg(count));
            return std::nullopt;
        }
        for (int p = a; p <= b; ++p)
            flags[p - 1] = true;
    }
    return flags;
}

} // namespace tarmelo::cli
