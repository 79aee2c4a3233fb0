// The Tarmelo desktop program.

#include "common/Dialogs.h"
#include "common/Translations.h"
#include "editor/TformMain.h"
#include "inventory/Archive.h"
#include "shell/Help.h"
#include "shell/Servers.h"
#include "transfer/PasswordStore.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QLocale>

#include <cstdio>
#include <thread>

#include <fontconfig/fontconfig.h>

int main(int argc, char** argv) {
    // Two steps the first layout would wait for run on a second core instead: fontconfig reads its configuration
    // while Qt connects to the display, and Qt loads its image format plugins, which the first icon read would load,
    // while the window is built.
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    std::thread imagePlugins([] {
        QByteArray pngSignature("\x89PNG\r\n\x1a\n");
        QBuffer buffer(&pngSignature);
        buffer.open(QIODevice::ReadOnly);
        QImageReader::imageFormat(&buffer);
    });
    QApplication::setApplicationName(QStringLiteral("tarmelo"));
    // No display name: the window manager would append it to "Tarmelo - NAME".
    QGuiApplication::setDesktopFileName(QStringLiteral("tarmelo"));
    tarmelo::gui::installQtTranslations();
    // Numbers follow the system's regional settings; without any, the German ones are the reference.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The pages are laid out for a compact desktop font.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    fonts.join();
    // The window's designed size, measured on the first start, is kept beside the program's other files.
    tarmelo::gui::TformMain window(
        nullptr, QDir(tarmelo::shell::dataFolder(QCoreApplication::applicationDirPath())).filePath("fenster.cache"));
    imagePlugins.join();
    const QString helpFolder = tarmelo::shell::helpFolder(QCoreApplication::applicationDirPath());
    if (!tarmelo::shell::helpAvailable(helpFolder))
        tarmelo::gui::Dialogs::error(nullptr, tarmelo::shell::missingHelpMessage(helpFolder));
    const QString settingsFile = tarmelo::shell::settingsPath(QCoreApplication::applicationDirPath());
    const tarmelo::shell::Settings settings = tarmelo::shell::loadSettingsFile(settingsFile);
    // Saves killed in an earlier run left their temporary files beside the archives they were writing.
    for (const QString& recent : settings.File)
        if (!recent.isEmpty())
            tarmelo::inventory::removeSaveLeftovers(tarmelo::inventory::archivePath(recent));
    window.applySettings(settings);
    // Until the keyring has been read, an empty password field is no reason to remove the keyring's entry.
    bool keyringUnread = true;
    // Written when closing goes ahead, while the window still has the geometry to save.
    window.setSettingsWriter([&settingsFile, &keyringUnread](const tarmelo::shell::Settings& current) {
        QString error;
        if (!tarmelo::shell::saveSettingsFile(settingsFile, tarmelo::gui::settingsToStore(current, keyringUnread),
                                              &error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
    window.show();
    const QStringList args = app.arguments();
    window.openAtStart(args.value(1));
    // The saved password, the tips and the update reminder come once the window has been painted: a slow or locked
    // keyring must not hold the window back. Without a known update the installed program file's age stands for the
    // installation's.
    window.afterFirstPaint([&window, &keyringUnread] {
        keyringUnread = !window.restoreSavedPassword();
        const QFileInfo program(QCoreApplication::applicationFilePath());
        window.startUpShell(program.exists() ? std::optional<QDateTime>(program.lastModified()) : std::nullopt);
    });
    return app.exec();
}
