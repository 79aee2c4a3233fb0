#pragma once

#include "model/Fahrzeug.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace tarmelo::inventory {

// An inventory archive is a ZIP file with fzg.csv and the photos as <n>_<k>.jpg, all at the root.
inline constexpr char kCsvMember[] = "fzg.csv";

// Whether a path is read as an archive: its extension, lower-cased, is .zip.
bool isArchivePath(const QString& path);
// The path an archive is saved under: ".zip" appended unless the extension already is one.
QString archivePath(const QString& target);

// ---- writing ----

enum class SaveFailure {
    None,
    CannotReplace, // an existing file at the target cannot be replaced
    AccessDenied,  // the target folder or a file of the save cannot be created
    MediumFull,
    Other,
};

struct SaveResult {
    SaveFailure failure = SaveFailure::None;
    QString target; // the path that was written, or failed

    bool ok() const { return failure == SaveFailure::None; }
    // The message for the user (lines separated by "\n"); empty on success.
    QString message() const;
    // An error box rather than a warning.
    bool isError() const { return failure == SaveFailure::MediumFull || failure == SaveFailure::Other; }
};

// The points at which a test can make the save fail as the system would.
enum class WriteStage {
    Create,  // creating the temporary file beside the target
    Write,   // while the members are written
    Sync,    // flushing the written archive to the medium
    Replace, // putting it in the target's place
};

struct WriteOptions {
    // 0..100 while the archive is written.
    std::function<void(int)> progress;
    // Tests: the errno to fail with at a stage, 0 to go on.
    std::function<int(WriteStage)> inject;
    // The photo members' name stem of vehicle j (the upload names them after the line's key); empty: the position.
    std::function<QByteArray(int j)> photoStem;
    // The CRC-32 of photo slot k (0-based) of vehicle j when known already (the upload's preview made them).
    std::function<std::optional<quint32>(int j, int k)> photoCrc;
    // Flush the archive to the medium before it replaces the target; the write-back starts while it is written.
    bool durable = true;
    // The vehicles' stock data as the member tarmelo.json, when any of them has something to keep (never in an
    // upload).
    bool stock = true;
};

// Writes fzg.csv (the lines' file image, deflated) and the photos of vehicles first..last as
// <position>_<slot>.jpg (stored), position counted from 1 and slots up to the first empty one, then the stock
// member (StockMember.h) unless options.stock is off or it would be empty.
// The archive is written to a temporary file beside `target` and replaces it only once it is
// completely written and flushed; on any failure the old file stays as it was and nothing is left behind.
SaveResult writeArchive(const QString& target, const QByteArray& csvFile, const model::Inventory& inv, int first,
                        int last, const WriteOptions& options = {});

// Removes the temporary files that killed saves of `target` left beside it; files another save is still
// writing stay. Saving does it on its own; the program's start calls it for the recent files. The count removed.
int removeSaveLeftovers(const QString& target);

// ---- reading ----

enum class OpenFailure {
    None,
    NoCsv,        // an archive without a line file
    NoLines,      // the file has no line
    NoVehicles,   // every line was rejected
    Broken,       // not readable, not an archive, damaged, or hostile
    NoZipLibrary, // libzip, which reads archives, is not installed
};

struct OpenResult {
    model::Inventory vehicles; // the vehicles taken, with their photos
    int lines = 0;             // lines of the file
    OpenFailure failure = OpenFailure::None;
    // The stock member is of a newer version or damaged: the vehicles are all there, but saving over the file would
    // lose what this version cannot read. The window opens it read-only and shows readOnlyMessage once.
    bool readOnly = false;
    QString readOnlyMessage;

    int rejected() const { return lines - int(vehicles.size()); }
    // Taken as a whole: the file may become the document.
    bool ok() const { return failure == OpenFailure::None; }
    // The closing message (lines separated by "\n"); empty when every line was taken.
    QString message() const;
    bool isError() const { return failure == OpenFailure::Broken || failure == OpenFailure::NoZipLibrary; }
};

// Limits against hostile archives: a member (or a plain file) may not inflate beyond memberBytes, and
// all members together not beyond inflatedBase plus inflatedRatio times the archive's size. Real
// inventories stay far below: photos hardly compress and a line has a few kilobytes.
struct ReadLimits {
    qint64 memberBytes = 256LL << 20;
    qint64 inflatedBase = 256LL << 20;
    qint64 inflatedRatio = 16;
    qint64 stockBytes = 32LL << 20; // the stock member
};

// Reads an inventory archive (by the extension rule) or a plain file of marketplace lines.
// Photos of an archive are taken from <kennung>_<v>.jpg, v = 1..15, names compared without regard
// to case, and reduced as imported photos. Each vehicle gets its stock data from the member tarmelo.json; one the
// member does not name (or every vehicle of a file without it) gets the archive's date as a guessed entry date.
// `progress` gets 0..100 over the whole reading: an archive's members take the first kMembersPercent, the lines (with
// their photos) the rest. It is called for every member and line.
inline constexpr int kMembersPercent = 5;
OpenResult readInventoryFile(const QString& path, const std::function<void(int)>& progress = {},
                             const ReadLimits& limits = {});
// The same for an archive held in memory.
OpenResult readInventoryArchive(const QByteArray& archive, const std::function<void(int)>& progress = {},
                                const ReadLimits& limits = {});

} // namespace tarmelo::inventory
