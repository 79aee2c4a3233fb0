#include "inventory/ZipWriter.h"

#include <QDateTime>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>
#include <zlib.h>

namespace tarmelo::inventory {

namespace {

constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kEnd64Signature = 0x06064b50;
constexpr quint32 kLocator64Signature = 0x07064b50;
constexpr quint64 kMax32 = 0xFFFFFFFFu;
constexpr quint16 kMax16 = 0xFFFFu;
constexpr quint16 kUtf8Flag = 0x0800;
constexpr quint16 kMadeByUnix = (3 << 8) | 45;
constexpr quint32 kRegularFile = 0100644u << 16;
// Bytes handed to one writev, and how far the write-back may trail behind the writing.
constexpr qint64 kBatchBytes = 16LL << 20;
constexpr qint64 kWritebackStep = 32LL << 20;

class Bytes {
public:
    explicit Bytes(QByteArray& out) : out_(out) {}
    void u16(quint16 v) { put(qToLittleEndian(v)); }
    void u32(quint32 v) { put(qToLittleEndian(v)); }
    void u64(quint64 v) { put(qToLittleEndian(v)); }
    void raw(const QByteArray& b) { out_.append(b); }

private:
    template <typename T> void put(T v) { out_.append(reinterpret_cast<const char*>(&v), sizeof v); }
    QByteArray& out_;
};

struct Entry {
    QByteArray data; // what is written: the stored bytes or the deflated ones
    quint32 crc = 0;
    quint64 size = 0; // uncompressed
    quint64 offset = 0;
    quint16 method = 0;
    quint16 flags = 0;
};

bool utf8BeyondAscii(const QByteArray& name) {
    bool high = false;
    for (char c : name)
        high = high || static_cast<unsigned char>(c) >= 0x80;
    return high && name.isValidUtf8();
}

quint32 crc32Of(const QByteArray& data) {
    return quint32(::crc32_z(0, reinterpret_cast<const Bytef*>(data.constData()), z_size_t(data.size())));
}

// Raw deflate as ZIP stores it; nullopt when zlib fails (only for want of memory).
std::optional<QByteArray> deflated(const QByteArray& data) {
    z_stream z{};
    if (::deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    QByteArray out(qsizetype(::deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int r = ::deflate(&z, Z_FINISH);
    ::deflateEnd(&z);
    if (r != Z_STREAM_END)
        return std::nullopt;
    out.resize(qsizetype(z.total_out));
    return out;
}

// The modification time in the two MS-DOS words.
std::pair<quint16, quint16> dosTime(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    const int year = std::clamp(d.year(), 1980, 2107);
    return {quint16((h.hour() << 11) | (h.minute() << 5) | (h.second() / 2)),
            quint16(((year - 1980) << 9) | (d.month() << 5) | d.day())};
}

// Writes every part, also when the system takes fewer bytes than asked; 0 or the errno.
int writeAll(int fd, QList<iovec>& parts) {
    qsizetype first = 0;
    while (first < parts.size()) {
        const int count = int(std::min<qsizetype>(parts.size() - first, IOV_MAX));
        const ssize_t n = ::writev(fd, parts.data() + first, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        size_t left = size_t(n);
        while (left > 0 && first < parts.size()) {
            iovec& p = parts[first];
            const size_t used = std::min(left, p.iov_len);
            p.iov_base = static_cast<char*>(p.iov_base) + used;
            p.iov_len -= used;
            left -= used;
            if (p.iov_len == 0)
                ++first;
        }
    }
    parts.clear();
    return 0;
}

} // namespace

int writeZip(int fd, const QList<ZipMember>& members, const ZipWriteOptions& options) {
    const auto [time, date] = dosTime(QDateTime::currentDateTime());
    QList<Entry> entries;
    entries.reserve(members.size());
    qint64 total = 0;
    for (const ZipMember& m : members) {
        Entry e;
        e.size = quint64(m.data.size());
        e.crc = m.crc ? *m.crc : crc32Of(m.data);
        e.flags = utf8BeyondAscii(m.name) ? kUtf8Flag : 0;
        if (m.deflate) {
            const std::optional<QByteArray> packed = deflated(m.data);
            if (!packed)
                return ENOMEM;
            e.data = *packed;
            e.method = 8;
        } else {
            e.data = m.data;
        }
        total += qint64(e.data.size()) + 30 + m.name.size();
        entries.append(e);
    }

    quint64 offset = 0;
    qint64 synced = 0;
    int lastPercent = -1;
    bool wrote = false;
    std::deque<QByteArray> headers; // kept alive, and in place, until their batch is written
    QList<iovec> parts;
    qint64 batch = 0;
    const auto flush = [&]() -> int {
        if (const int e = writeAll(fd, parts))
            return e;
        headers.clear();
        batch = 0;
        if (!wrote) {
            wrote = true;
            if (options.afterFirstWrite)
                if (const int e = options.afterFirstWrite())
                    return e;
        }
        if (options.startWriteback && qint64(offset) - synced >= kWritebackStep) {
            // Only starts the write-back; the final fsync waits for it. A failure here is no failure of the write.
            ::sync_file_range(fd, synced, qint64(offset) - synced, SYNC_FILE_RANGE_WRITE);
            synced = qint64(offset);
        }
        const int percent = total > 0 ? int(qMin<qint64>(100, qint64(offset) * 100 / total)) : 100;
        if (options.progress && percent != lastPercent) {
            lastPercent = percent;
            options.progress(percent);
        }
        return 0;
    };

    for (qsizetype i = 0; i < members.size(); ++i) {
        Entry& e = entries[i];
        e.offset = offset;
        const bool big = e.size >= kMax32 || quint64(e.data.size()) >= kMax32;
        QByteArray h;
        h.reserve(30 + members[i].name.size() + (big ? 20 : 0));
        Bytes b(h);
        b.u32(kLocalSignature);
        b.u16(big ? 45 : 20);
        b.u16(e.flags);
        b.u16(e.method);
        b.u16(time);
        b.u16(date);
        b.u32(e.crc);
        b.u32(big ? quint32(kMax32) : quint32(e.data.size()));
        b.u32(big ? quint32(kMax32) : quint32(e.size));
        b.u16(quint16(members[i].name.size()));
        b.u16(big ? 20 : 0);
        b.raw(members[i].name);
        if (big) {
            b.u16(1);
            b.u16(16);
            b.u64(e.size);
            b.u64(quint64(e.data.size()));
        }
        headers.push_back(h);
        parts.append({const_cast<char*>(headers.back().constData()), size_t(h.size())});
        if (!e.data.isEmpty())
            parts.append({const_cast<char*>(e.data.constData()), size_t(e.data.size())});
        offset += quint64(h.size()) + quint64(e.data.size());
        batch += h.size() + e.data.size();
        if (batch >= kBatchBytes || parts.size() >= 2 * IOV_MAX)
            if (const int error = flush())
                return error;
    }
    if (const int error = flush())
        return error;

    QByteArray tail;
    Bytes c(tail);
    const quint64 directoryStart = offset;
    for (qsizetype i = 0; i < members.size(); ++i) {
        const Entry& e = entries[i];
        const bool sizes64 = e.size >= kMax32 || quint64(e.data.size()) >= kMax32;
        const bool offset64 = options.forceZip64 || e.offset >= kMax32;
        const quint16 extra = quint16((sizes64 ? 16 : 0) + (offset64 ? 8 : 0));
        c.u32(kCentralSignature);
        c.u16(kMadeByUnix);
        c.u16(sizes64 || offset64 ? 45 : 20);
        c.u16(e.flags);
        c.u16(e.method);
        c.u16(time);
        c.u16(date);
        c.u32(e.crc);
        c.u32(sizes64 ? quint32(kMax32) : quint32(e.data.size()));
        c.u32(sizes64 ? quint32(kMax32) : quint32(e.size));
        c.u16(quint16(members[i].name.size()));
        c.u16(extra ? quint16(extra + 4) : 0);
        c.u16(0); // comment
        c.u16(0); // disk
        c.u16(0); // internal attributes
        c.u32(kRegularFile);
        c.u32(offset64 ? quint32(kMax32) : quint32(e.offset));
        c.raw(members[i].name);
        if (extra) {
            c.u16(1);
            c.u16(extra);
            if (sizes64) {
                c.u64(e.size);
                c.u64(quint64(e.data.size()));
            }
            if (offset64)
                c.u64(e.offset);
        }
    }
    const quint64 directorySize = quint64(tail.size());
    const quint64 count = quint64(members.size());
    const bool end64 = options.forceZip64 || count >= kMax16 || directoryStart >= kMax32 || directorySize >= kMax32;
    if (end64) {
        const quint64 record = directoryStart + directorySize;
        c.u32(kEnd64Signature);
        c.u64(44);
        c.u16(kMadeByUnix);
        c.u16(45);
        c.u32(0);
        c.u32(0);
        c.u64(count);
        c.u64(count);
        c.u64(directorySize);
        c.u64(directoryStart);
        c.u32(kLocator64Signature);
        c.u32(0);
        c.u64(record);
        c.u32(1);
    }
    c.u32(kEndSignature);
    c.u16(0);
    c.u16(0);
    c.u16(end64 ? kMax16 : quint16(count));
    c.u16(end64 ? kMax16 : quint16(count));
    c.u32(end64 ? quint32(kMax32) : quint32(directorySize));
    c.u32(end64 ? quint32(kMax32) : quint32(directoryStart));
    c.u16(0);
    parts.append({tail.data(), size_t(tail.size())});
    offset += quint64(tail.size());
    return flush();
}

} // namespace tarmelo::inventory
