#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace tarmelo::inventory {

struct ZipMember {
    QByteArray name; // as written: the bytes of the name, UTF-8 flagged when they are UTF-8 beyond ASCII
    QByteArray data;
    bool deflate = false;
    std::optional<quint32> crc; // CRC-32 of data, when the caller knows it already
};

struct ZipWriteOptions {
    std::function<void(int)> progress; // 0..100 by bytes written
    // Called once, after the first bytes went out; an errno ends the write with it (tests).
    std::function<int()> afterFirstWrite;
    // Starts the write-back to the medium while writing, so that a final fsync has little left to wait for.
    bool startWriteback = false;
    // ZIP64 records for every member and the end, as a file beyond 4 GiB or 65 535 members needs (tests).
    bool forceZip64 = false;
};

// Writes a ZIP archive of `members`, in order, to the file `fd` (positioned at its start). Stored members go out
// straight from their buffers, many per system call; ZIP64 records are written where sizes, offsets or the count
// need them. Returns 0, or the errno of the failed call.
//
// Written by hand: libzip copies every stored member through a small buffer and computes its CRC again, which
// made building a large upload archive slower than "zip -0" of the same files.
int writeZip(int fd, const QList<ZipMember>& members, const ZipWriteOptions& options = {});

} // namespace tarmelo::inventory
