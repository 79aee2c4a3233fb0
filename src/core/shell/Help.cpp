#include "shell/Help.h"

#include <QDir>
#include <QFileInfo>

namespace tarmelo::shell {

namespace {

QString pagePath(const QString& folder, int context) {
    return QDir(folder).absoluteFilePath(QString::number(context) + QStringLiteral(".html"));
}

} // namespace

QString helpFolder(const QString& executableDir) {
    return QDir::cleanPath(QDir(executableDir).absoluteFilePath(QStringLiteral("../share/tarmelo/help")));
}

bool helpAvailable(const QString& folder) {
    return QFileInfo(folder).isDir() && QFileInfo(pagePath(folder, kHelpMain)).isFile();
}

QUrl helpPageUrl(const QString& folder, int context) {
    const QString page = pagePath(folder, context);
    return QUrl::fromLocalFile(QFileInfo(page).isFile() ? page : pagePath(folder, kHelpMain));
}

QString missingHelpMessage(const QString& folder) {
    // A trailing separator would leave fileName() empty.
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    return QStringLiteral("Die Hilfe-Datei \"") + name +
           QStringLiteral("\" befindet sich nicht im Installationsordner von Tarmelo.\n\n"
                          "Falls Sie auf die Hilfe-Funktion nicht verzichten möchten, führen Sie ein Online-Update "
                          "durch\noder installieren Sie die Anwendung erneut!");
}

} // namespace tarmelo::shell
