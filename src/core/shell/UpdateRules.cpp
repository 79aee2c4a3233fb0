#include "shell/UpdateRules.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

namespace tarmelo::shell {

namespace {

QList<QByteArray> lines(const QByteArray& content) {
    QList<QByteArray> result;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        result.append(line);
    }
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

QString twoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

QString programVersionCaption() {
    return kProgramVersion + QStringLiteral("  (") + kProgramDate + QLatin1Char(')');
}

bool updatesOffered(const QByteArray& switchFile) {
    const QList<QByteArray> l = lines(switchFile);
    return !l.isEmpty() && l.first().trimmed() == "1";
}

std::optional<int> versionNumber(const QString& v) {
    if (v.size() != 4 || v[1] != QLatin1Char('.'))
        return std::nullopt;
    int n = 0;
    for (int i : {0, 2, 3}) {
        if (!v[i].isDigit() || v[i].unicode() > '9')
            return std::nullopt;
        n = n * 10 + (v[i].unicode() - '0');
    }
    return n;
}

VersionFile parseVersionFile(const QByteArray& content) {
    VersionFile f;
    const QList<QByteArray> l = lines(content);
    if (l.size() < 4 || l[0].trimmed() != "version")
        return f;
    // The server speaks plain text; its messages may carry umlauts in either encoding.
    auto text = [](const QByteArray& b) { return b.isValidUtf8() ? QString::fromUtf8(b) : QString::fromLatin1(b); };
    const QString version = text(l[1].trimmed());
    f.version = version;
    f.shown = version + QStringLiteral("  (") + text(l[2].trimmed()) + QLatin1Char(')');
    if (l[3].trimmed() != "authorized_update") {
        f.kind = VersionFile::Kind::Message;
        f.message = text(l[3]);
        return f;
    }
    const std::optional<int> n = versionNumber(version);
    if (!n)
        return f;
    f.kind = VersionFile::Kind::Authorized;
    f.number = *n;
    return f;
}

QString transferText(qint64 received, qint64 total, double speedKBs, const QLocale& locale) {
    // The speed has no thousands separator ("0.00"), the kilobytes have.
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(received / 1024) + QStringLiteral(" KB von ") + locale.toString(total / 1024) +
           QStringLiteral(" KB übertragen bei ") + plain.toString(speedKBs, 'f', 2) + QStringLiteral(" KB/s");
}

QString remainingText(qint64 received, qint64 total, double speedKBs) {
    if (!(speedKBs > 0))
        return QStringLiteral("Restdauer:  -");
    const double left = double(total - received) / 1024.0 / speedKBs;
    // Kept in 16 bits as the original counter was; a remaining time beyond 18 hours wraps.
    const int seconds = int(quint16(qint64(left)));
    return QStringLiteral("Restdauer:  ") + twoDigits(seconds / 3600) + QLatin1Char(':') +
           twoDigits((seconds / 60) % 60) + QLatin1Char(':') + twoDigits(seconds % 60);
}

bool updateReminderDue(const std::optional<QDate>& lastUpdate, const std::optional<QDateTime>& programFileTime,
                       const QDateTime& now) {
    QDateTime reference = now;
    if (lastUpdate && lastUpdate->isValid())
        reference = QDateTime(*lastUpdate, QTime(0, 0));
    else if (programFileTime && programFileTime->isValid())
        reference = *programFileTime;
    // Whole days of the difference, the time of day included; counted on the calendar so that a change to or from
    // summer time does not cost a day.
    qint64 days = reference.date().daysTo(now.date());
    if (now.time() < reference.time())
        --days;
    return days >= 14;
}

QString installationRoot(const QString& executableDir) {
    return QDir::cleanPath(QDir(executableDir).absoluteFilePath(QStringLiteral("..")));
}

bool selfContainedInstallation(const QString& executableDir) {
    const QString root = installationRoot(executableDir);
    for (const char* system : {"/usr", "/bin", "/sbin", "/lib", "/opt/local", "/snap", "/nix"})
        if (root == QLatin1StringView(system) || root.startsWith(QLatin1StringView(system) + QLatin1Char('/')))
            return false;
    const QFileInfo rootInfo(root), binInfo(executableDir);
    return rootInfo.isDir() && rootInfo.isWritable() && binInfo.isWritable();
}

QString packageUpdateText(const QString& version) {
    return QStringLiteral("Tarmelo %1 ist verfügbar.\n\nDiese Installation wird über die Paketverwaltung Ihres "
                          "Systems aktualisiert;\ndie neue Version installiert die Paketverwaltung.")
        .arg(version);
}

QString shellQuote(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QByteArray updateScript(qint64 pid, const QString& unpackDir, const QString& installDir, int timeoutSeconds) {
    const QString s = QStringLiteral("#!/bin/sh\n"
                                     "# Finishes the Tarmelo update once the program has ended.\n"
                                     "pid=%1\n"
                                     "unpack=%2\n"
                                     "target=%3\n"
                                     "tries=%4\n"
                                     "while kill -0 \"$pid\" 2>/dev/null; do\n"
                                     "    tries=$((tries - 1))\n"
                                     "    if [ \"$tries\" -le 0 ]; then rm -f \"$0\"; exit 1; fi\n"
                                     "    sleep 0.1\n"
                                     "done\n"
                                     "if cp -R -p \"$unpack/.\" \"$target/\"; then rm -rf \"$unpack\"; fi\n"
                                     "rm -f \"$0\"\n")
                          .arg(pid)
                          .arg(shellQuote(unpackDir), shellQuote(installDir))
                          .arg(qMax(1, timeoutSeconds) * 10);
    return s.toUtf8();
}

} // namespace tarmelo::shell
