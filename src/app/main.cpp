// The Tarmelo desktop program.

#include "common/Dialogs.h"
#include "editor/MainWindow.h"
#include "inventory/CsvFile.h"

#include <QApplication>
#include <QFile>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarmelo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarmelo"));
    tarmelo::gui::TformMain window;
    window.show();
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        QFile f(args[1]);
        if (!f.exists()) {
            tarmelo::gui::Dialogs::warning(&window, QStringLiteral("Die Datei \"%1\" existiert nicht!").arg(args[1]));
        } else if (f.open(QIODevice::ReadOnly)) {
            window.setInventory(tarmelo::inventory::readLines(f.readAll()).vehicles);
            window.setSaved(true);
        }
    }
    return app.exec();
}
