#include "CsvFile.h"

#include "csv/LineReader.h"

#include <QHash>

namespace tarmelo::inventory {

QByteArray CsvLines::fileData() const {
    qsizetype size = 0;
    for (const QByteArray& l : lines)
        size += l.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

CsvLines buildLines(const model::Inventory& inv, int first, int last, KeyMode mode, const Clock& clock) {
    CsvLines r;
    if (mode == KeyMode::Typed) {
        r.failure = csv::checkInternalNumbers(inv, first, last);
        if (r.failure)
            return r;
    }
    QHash<QByteArray, int> seen; // automatic-number prefix -> lines already made with it
    r.lines.reserve(last - first + 1);
    for (int i = first; i <= last; ++i) {
        const int position = i - first + 1;
        const csv::KeyKind kind = mode == KeyMode::Typed       ? csv::KeyKind::TypedNumber
                                  : mode == KeyMode::TimeStamp ? csv::KeyKind::TimeStamp
                                                               : csv::KeyKind::Automatic;
        csv::LineResult line = csv::CreateLine(inv[i], position, 0, kind, clock);
        if (!line.ok()) {
            r.failure = csv::InventoryFailure{i, std::move(*line.failure)};
            r.lines.clear();
            return r;
        }
        if (mode == KeyMode::Automatic) {
            const int counter = seen[csv::GetIntNr(line.line).left(15)]++;
            if (counter > 0)
                line = csv::CreateLine(inv[i], position, counter, kind, clock);
        }
        r.lines.append(std::move(line.line));
    }
    return r;
}

QList<QByteArray> splitLines(const QByteArray& text) {
    QList<QByteArray> out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        out.append(text.mid(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        out.append(text.mid(start));
    return out;
}

ReadResult readLines(const QByteArray& text, const TakenVehicle& taken) {
    ReadResult r;
    const QList<QByteArray> lines = splitLines(text);
    r.lines = int(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (auto v = csv::ReadLine(lines[i])) {
            if (taken)
                taken(*v, i, r.lines);
            r.vehicles.append(std::move(*v));
        }
    }
    return r;
}

} // namespace tarmelo::inventory
