// The Tarmelo desktop program.

#include "common/Dialogs.h"
#include "editor/MainWindow.h"
#include "shell/Help.h"
#include "transfer/PasswordStore.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarmelo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarmelo"));
    // Numbers follow the system's regional settings; without any, the German ones are the reference.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The pages are laid out for a compact desktop font.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    tarmelo::gui::TformMain window;
    const QString helpFolder = tarmelo::shell::helpFolder(QCoreApplication::applicationDirPath());
    if (!tarmelo::shell::helpAvailable(helpFolder))
        tarmelo::gui::Dialogs::error(nullptr, tarmelo::shell::missingHelpMessage(helpFolder));
    const QString settingsFile = tarmelo::shell::settingsPath(QCoreApplication::applicationDirPath());
    tarmelo::shell::Settings settings = tarmelo::shell::loadSettingsFile(settingsFile);
    tarmelo::gui::restorePassword(settings);
    window.applySettings(settings);
    window.show();
    const QStringList args = app.arguments();
    window.openAtStart(args.value(1));
    const int rc = app.exec();
    QString error;
    if (!tarmelo::shell::saveSettingsFile(settingsFile, tarmelo::gui::settingsToStore(window.currentSettings()),
                                          &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    return rc;
}
