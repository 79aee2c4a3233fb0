#include "CsvFile.h"

#include "csv/LineReader.h"

#include <QHash>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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
    // Automatic-number prefix -> lines already made with it; the keys point into the kept lines.
    std::unordered_map<std::string_view, int> seen;
    if (mode == KeyMode::Automatic)
        seen.reserve(size_t(std::max(0, last - first + 1)));
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
            // The digest prefix stands right after the position and the opening quote.
            const auto prefix = [](const QByteArray& l) {
                const qsizetype from = l.indexOf('"') + 1;
                return std::string_view(l.constData() + from, size_t(std::min<qsizetype>(15, l.size() - from)));
            };
            const auto it = seen.find(prefix(line.line));
            const int counter = it == seen.end() ? 0 : it->second++;
            if (counter > 0)
                line = csv::CreateLine(inv[i], position, counter, kind, clock);
            r.lines.append(std::move(line.line));
            if (counter == 0)
                seen.emplace(prefix(r.lines.back()), 1);
            continue;
        }
        r.lines.append(std::move(line.line));
    }
    return r;
}

namespace {

// Calls line(begin, size) for every line of text, ended by CR LF, a lone CR, a lone LF or the end. The line ends
// are found with memchr; the next LF is remembered, so a file of lone CRs is not searched to its end per line.
template <typename F> void forEachLine(const QByteArray& text, F&& line) {
    const char* const data = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype nextLf = -1;
    while (start < n) {
        if (nextLf < start) {
            const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', size_t(n - start)));
            nextLf = lf ? lf - data : n;
        }
        const auto* cr = static_cast<const char*>(std::memchr(data + start, '\r', size_t(nextLf - start)));
        const qsizetype end = cr ? cr - data : nextLf;
        line(start, end - start);
        start = end + 1;
        if (cr && start == nextLf)
            ++start; // CR LF
    }
}

} // namespace

// The records of a large file fill hundreds of megabytes that are touched once each; huge pages spare most of
// the page faults, which otherwise cost more than reading the lines. The same for the file's bytes.
void adviseHugePages(const void* data, qsizetype bytes) {
#ifdef MADV_HUGEPAGE
    constexpr quintptr kHuge = quintptr(2) << 20;
    // Pointer arithmetic, not integers cast back to pointers: the whole huge pages inside the block.
    char* const first = static_cast<char*>(const_cast<void*>(data));
    const quintptr lead = (kHuge - quintptr(first) % kHuge) % kHuge;
    const quintptr tail = (quintptr(first) + quintptr(bytes)) % kHuge;
    if (quintptr(bytes) > lead + tail)
        madvise(first + lead, size_t(quintptr(bytes) - lead - tail), MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

QList<QByteArray> splitLines(const QByteArray& text) {
    QList<QByteArray> out;
    forEachLine(text, [&](qsizetype begin, qsizetype size) { out.append(text.mid(begin, size)); });
    return out;
}

ReadResult readLines(const QByteArray& text, const TakenVehicle& taken) {
    ReadResult r;
    // The bounds first, as the callback wants the number of lines; the lines are then read in place.
    std::vector<std::pair<qsizetype, qsizetype>> bounds;
    bounds.reserve(size_t(text.size() / 256 + 1));
    forEachLine(text, [&](qsizetype begin, qsizetype size) { bounds.emplace_back(begin, size); });
    r.lines = int(bounds.size());
    r.vehicles.reserve(qsizetype(bounds.size()));
    adviseHugePages(r.vehicles.constData(), r.vehicles.capacity() * qsizetype(sizeof(model::TFahrzeug)));
    // Repeated texts of the lines share one copy: fewer allocations while reading, less memory afterwards.
    const auto memory = std::make_unique<csv::LineMemory>();
    for (int i = 0; i < r.lines; ++i) {
        const auto [begin, size] = bounds[size_t(i)];
        // Read in place: a record is large, and moving it twice per line costs more than reading it.
        model::TFahrzeug& v = r.vehicles.emplace_back();
        if (!csv::readLineInto(QByteArrayView(text.constData() + begin, size), v, memory.get())) {
            r.vehicles.removeLast();
            continue;
        }
        if (taken)
            taken(v, i, r.lines);
    }
    return r;
}

} // namespace tarmelo::inventory
