#pragma once

#include "csv/VehicleChecks.h"
#include "inventory/CsvFile.h"
#include "model/Fahrzeug.h"
#include "shell/Servers.h"
#include "transfer/UploadRecord.h"
#include "util/Clock.h"

#include <QString>
#include <atomic>
#include <functional>

namespace tarmelo::transfer {

// The remote and local name of the upload file.
inline constexpr char kUploadFile[] = "tmq_upload.zip";

// The texts both transfer dialogs show; "\n" separates lines.
QString connectionMessage();     // not reachable (upload wording, "Proxy-Sever" as it always read)
QString transferBrokenMessage(); // the connection broke while data flowed
QString loginRefusedMessage();
QString otherUploadMessage();

// ---- building tmq_upload.zip ----

struct BuildResult {
    QString message; // empty on success
    bool errorBox = false;
    QList<QByteArray> lines; // the lines of fzg.csv, as sent
    bool ok() const { return message.isEmpty(); }
};

// The vehicles an upload carries, in list order: every one but the sold. The upload's checks, preview, archive and
// record all take this list.
model::Inventory forUpload(const model::Inventory& inv);
// The check of forUpload()'s vehicles; the failure names the vehicle's position in inv.
std::optional<csv::InventoryFailure> checkForUpload(const model::Inventory& inv, bool automaticIntNr, QDate today);

// How the keys of the upload are chosen: time-stamped when the days are reset, else as saving does.
inventory::KeyMode uploadKeyMode(bool resetDays, bool automaticIntNr);

// Writes every vehicle into `path` as the marketplace expects it: fzg.csv with the keys of `mode`, photos named
// after each line's key. An old file is removed first; a failed build leaves no file behind; a finished one is on
// the medium. `progress` (0..100) lets a caller keep its window painted while the archive is written; `prints`,
// when given, are the photos' CRCs already made for the preview. Sold vehicles are left out here too (pass
// forUpload()'s list, so that the lines returned match it); the stock member never goes with it.
BuildResult buildUploadFile(const QString& path, const model::Inventory& inv, inventory::KeyMode mode,
                            const Clock& clock, const std::function<void(int)>& progress = {},
                            const PhotoPrints* prints = nullptr);

// ---- the FTP transfer ----

struct FtpTarget {
    QString server; // host[:port]
    QString user;
    QString password;
    QString caFile;          // PEM trusted besides the system's certificates; empty: none
    QString proxy;           // a tunnelling proxy (http:// with CONNECT, socks5://); empty: straight to the server
    bool requireTls = false; // a server that refuses TLS gets no log-in
    // Below 100 bytes/s for this long, or no reply to a command within it, the transfer gives up.
    int stallSeconds = 60;
};

// The stall limit of the upload: 60 s, or TARMELO_STALL_SECONDS (1 to 59) when set, for tests.
int stallSeconds();
// The upload's target as servers.ini describes it.
FtpTarget uploadTarget(const shell::Servers& servers, const QString& user, const QString& password);

enum class FtpFailure {
    None,
    Unreachable, // no connection was made (also a certificate that fails verification)
    Broken,      // the connection broke after it was made
    Refused,     // the server refused the log-in or a command
    Other,       // time-out and everything else
    Aborted,     // the user stopped the transfer
    NoTls,       // TLS is required and the server refused it
    Unconfirmed, // the data went out, but the server did not confirm the whole file
};

struct FtpResult {
    FtpFailure failure = FtpFailure::None;
    QString detail;         // libcurl's own words, for the command line
    QString lastReply;      // the server's last reply line, e.g. "226 Transfer complete."
    bool encrypted = false; // the log-in and the file went over TLS
    qint64 bytes = 0;       // bytes of the file sent
    bool ok() const { return failure == FtpFailure::None; }
};

// The user's message for a failure; empty for none and an abort.
QString ftpFailureMessage(FtpFailure f);
// The same with the server's reply where it tells the user what went wrong.
QString ftpFailureMessage(const FtpResult& r);
// Shown in the transfer window and noted in the history when the server refused TLS.
QString unencryptedNotice();
// The failures shown in an error box rather than a warning, and those whose box offers help.
bool ftpFailureIsError(FtpFailure f);
bool ftpFailureHasHelp(FtpFailure f);

// Called on the transferring thread.
struct FtpEvents {
    std::function<void()> loggedIn;              // the server accepted the log-in
    std::function<void(qint64 total)> workBegin; // data starts to flow
    std::function<void(qint64 done)> work;       // bytes sent so far
    std::function<void()> workEnd;               // the data transfer is over
    std::function<void(bool)> secured;           // after the log-in: whether TLS protects it
    const std::atomic<bool>* abort = nullptr;    // polled at least once a second in every phase
};

// Connects (8000 ms), logs in, protects the control and data connections with TLS when the server offers it,
// stores `localFile` as tmq_upload.zip in the log-in directory (passive, binary) and quits. Blocks. Succeeds
// only when the server confirmed the file (226 or 250) and reports it with the local file's size (SIZE).
// The abort flag is polled throughout, also while connecting and logging in.
FtpResult ftpStore(const QString& localFile, const FtpTarget& target, const FtpEvents& events);

// The progress texts of the dialog after `done` of `total` bytes in `elapsedMs`.
struct WorkTexts {
    QString sent;      // "12 KB von 340 KB übertragen bei 4.10 KB/s"
    QString remaining; // "Restdauer:  00:01:20"
    double speed = 0;  // KB/s
};
WorkTexts workTexts(qint64 done, qint64 total, qint64 elapsedMs, double previousSpeed);

// "host" of "host[:port]" for the phase text.
QString serverHost(const QString& server);

} // namespace tarmelo::transfer
