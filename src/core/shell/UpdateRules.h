#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace tarmelo::shell {

inline const QString kProgramVersion = QStringLiteral("3.70");
inline const QString kProgramDate = QStringLiteral("10.02.2011");
inline constexpr int kProgramVersionNumber = 370;

// "3.70  (10.02.2011)"
QString programVersionCaption();

// The server's answers.
bool updatesOffered(const QByteArray& switchFile); // first line, trimmed, is "1"

struct VersionFile {
    enum class Kind { Authorized, Message, Invalid };
    Kind kind = Kind::Invalid;
    QString shown;   // line 2 + "  (" + line 3 + ")" once lines 1 to 3 were readable
    QString version; // line 2, trimmed
    QString message; // the untrimmed line 4 when it is a message
    int number = 0;  // the offered version as 370 for "3.70"; valid for Authorized only
};
VersionFile parseVersionFile(const QByteArray& content);
// "d.dd" read from its first, third and fourth character; nullopt for any other form.
std::optional<int> versionNumber(const QString& version);

// lblTransfer: "<n KB> KB von <L KB> KB übertragen bei <v> KB/s" with the locale's separators.
QString transferText(qint64 received, qint64 total, double speedKBs, const QLocale& locale);
// lblTime: "Restdauer:  hh:mm:ss", the seconds kept in 16 bits; "Restdauer:  -" without a speed.
QString remainingText(qint64 received, qint64 total, double speedKBs);

// The 14-day reminder. Without a known last update the modification time of the installed program file is the
// reference; without that, now.
bool updateReminderDue(const std::optional<QDate>& lastUpdate, const std::optional<QDateTime>& programFileTime,
                       const QDateTime& now);

// The installation the online update may replace: the folder above bin/, owned by the user. A system
// installation (below /usr, or not writable) is updated by the package management instead.
QString installationRoot(const QString& executableDir);
bool selfContainedInstallation(const QString& executableDir);
// What an installation the package management updates says of a newer version.
QString packageUpdateText(const QString& version);

// The script that finishes the update once the program with process id pid has ended: waits at most
// timeoutSeconds for it, copies the unpacked tree over the installation folder, removes the staging copy and itself.
QByteArray updateScript(qint64 pid, const QString& unpackDir, const QString& installDir, int timeoutSeconds = 120);
QString shellQuote(const QString& text);

} // namespace tarmelo::shell
