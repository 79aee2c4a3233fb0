#pragma once

#include "csv/InventoryCheck.h"
#include "model/Fahrzeug.h"
#include "util/Clock.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarmelo::cli {

// The exit status of every sub-command; `tarmelo-cli --help` and README.md list them.
enum Exit : int {
    kOk = 0,
    kFailed = 1,       // a vehicle breaks a rule, or a refusal the command names
    kUsage = 2,        // bad use, or a file that cannot be read or written
    kRefused = 3,      // the marketplace refused the log-in
    kNoConnection = 4, // no connection, or the transfer broke off
    kFaulty = 5,       // the downloaded file is faulty
    kServerSays = 6,   // update: maintenance or a message of the server
    kNewer = 10,       // update: a newer version is available
};

// A line on standard output or standard error, UTF-8.
void out(const QString& text);
void err(const QString& text);
// The program's messages on one line: their line breaks become blanks.
QString oneLine(const QString& message);
// "Fahrzeug N: MESSAGE [CONTROL]".
QString failureLine(const csv::InventoryFailure& failure);

// The arguments of one sub-command, parsed by the options its table entry names.
class CommandLine {
public:
    CommandLine(const QStringList& args, const QStringList& withValue, const QStringList& flags);

    QString error() const { return error_; } // German; empty when the arguments fit
    const QStringList& files() const { return files_; }
    bool has(const char* flag) const { return flags_.contains(QLatin1StringView(flag)); }
    std::optional<QString> value(const char* option) const;
    // --now, or the system's clock; nullopt (after the message) when --now is no date and time.
    std::optional<Clock> clock() const;

private:
    QStringList files_;
    QString error_;
    QHash<QString, QString> values_;
    QSet<QString> flags_;
};

// Reads an inventory archive or a file of marketplace lines as opening it in the program does; reports an unusable
// file on stderr and returns false. A file the program would open read-only is reported on stderr and, when
// `readOnly` is given, said there.
bool loadInventory(const QString& path, model::Inventory& vehicles, bool reportRejected = false,
                   bool* readOnly = nullptr);

// A file opened read-only is not written over: the message, and true, when `target` is where it was read from.
bool refuseOverwrite(bool readOnly, const QString& source, const QString& target);

// "1,3,5-7" into one flag per vehicle; an empty list ticks none. nullopt (after the message) for a position
// outside the inventory.
std::optional<QList<bool>> parseSelection(const QString& list, qsizetype count);

} // namespace tarmelo::cli
