#include "DocumentIo.h"

#include "inventory/CsvFile.h"

#include <QFile>
#include <QFileInfo>

namespace tarmelo::gui {

namespace {
const QString kFaulty = QStringLiteral("Fehler: Die angegebene Datei ist fehlerhaft und kann nicht importiert werden.");
}

OpenOutcome openInventory(const QString& path) {
    OpenOutcome out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        out.failed = true;
        out.message = kFaulty;
        out.isError = true;
        return out;
    }
    const inventory::ReadResult r = inventory::readLines(f.readAll());
    out.vehicles = r.vehicles;
    if (r.lines == 0) {
        out.failed = true;
        out.message = QStringLiteral("Die Datei enthält keine Fahrzeuginformationen.");
    } else if (r.vehicles.isEmpty()) {
        out.message = QStringLiteral("Es konnten keine Fahrzeuge importiert werden. Vermutlich entspricht die\r\n"
                                     "angegebene Datei nicht dem von Karvento definierten Import-/Exportformat.");
        out.failed = true;
    } else if (r.rejected() > 0) {
        out.message =
            QStringLiteral("%1 von %2 Fahrzeugen konnte(n) nicht importiert werden.").arg(r.rejected()).arg(r.lines);
    }
    return out;
}

QString archivePath(const QString& target) {
    return QFileInfo(target).suffix().toLower() == QLatin1StringView("zip") ? target : target + QStringLiteral(".zip");
}

SaveOutcome saveInventory(const QString&, const QList<QByteArray>&, const model::Inventory&, int, int,
                          const std::function<void(int)>&) {
    return {false, QStringLiteral("Die Datei konnte nicht gespeichert werden. Ziellaufwerk überprüfen!"), true};
}

} // namespace tarmelo::gui
