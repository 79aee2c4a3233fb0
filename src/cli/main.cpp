// tarmelo-cli: checks, conversions and dumps of inventories without the window.

#include "PrintCommands.h"
#include "cli/transfer.h"
#include "csv/InventoryCheck.h"
#include "csv/VehicleChecks.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "inventory/VehicleJson.h"
#include "photo/reduce.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <cstdio>
#include <cstring>

using namespace tarmelo;

namespace {

constexpr int kOk = 0, kFailed = 1, kError = 2;

void out(const QString& s) {
    const QByteArray b = s.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}
void err(const QString& s) {
    const QByteArray b = s.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

int usage() {
    err(QStringLiteral("Aufruf:\n"
                       "  tarmelo-cli dump DATEI\n"
                       "  tarmelo-cli check [--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss] DATEI\n"
                       "  tarmelo-cli build [--typed-numbers] [--time-stamp] [--now JJJJ-MM-TTThh:mm:ss] EIN.json "
                       "AUS.csv|AUS.zip\n"
                       "  tarmelo-cli convert [--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss] EIN AUS\n"
                       "  tarmelo-cli update --check [--servers DATEI]\n"
                       "  tarmelo-cli upload [--servers DATEI] [--user NAME] [--password-stdin] [--reset-days] "
                       "[--typed-numbers] [--now ...] [--preview] [--allow-withdrawal] DATEI\n"
                       "  tarmelo-cli download [--servers DATEI] [--user NAME] [--password-stdin] [--typed-numbers] "
                       "AUS\n"
                       "  tarmelo-cli rename (--mask MASKE | --remove ANFANG,ENDE) [...] EIN [AUS]\n"
                       "  tarmelo-cli print [...] EIN (AUS.pdf | --text)\n"
                       "DATEI und EIN: Bestandsarchiv (.zip) oder Datei mit Karvento-Zeilen."));
    return kError;
}

struct Options {
    bool typedNumbers = false;
    bool timeStamp = false;
    Clock clock = systemClock();
    QStringList files;
    QString error;
};

Options parse(const QStringList& args) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1StringView("--typed-numbers")) {
            o.typedNumbers = true;
        } else if (a == QLatin1StringView("--time-stamp")) {
            o.timeStamp = true;
        } else if (a == QLatin1StringView("--now")) {
            const QDateTime t = i + 1 < args.size() ? QDateTime::fromString(args[++i], Qt::ISODate) : QDateTime();
            if (!t.isValid())
                o.error = QStringLiteral("--now erwartet Datum und Uhrzeit als JJJJ-MM-TTThh:mm:ss.");
            o.clock = fixedClock(t);
        } else if (a.startsWith(QLatin1StringView("--"))) {
            o.error = QStringLiteral("Unbekannte Option %1.").arg(a);
        } else {
            o.files.append(a);
        }
    }
    return o;
}

bool readFile(const QString& path, QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, f.errorString()));
        return false;
    }
    data = f.readAll();
    return true;
}

QString failureLine(const csv::InventoryFailure& f) {
    return QStringLiteral("Fahrzeug %1: %2 [%3]").arg(f.index + 1).arg(f.failure.message, f.failure.control);
}

// Reads an inventory archive or a file of marketplace lines as opening it in the program does;
// reports an unusable file and returns false.
bool loadInventory(const QString& path, inventory::OpenResult& r, bool reportRejected) {
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, probe.errorString()));
        return false;
    }
    probe.close();
    r = inventory::readInventoryFile(path);
    if (!r.ok()) {
        err(r.message());
        return false;
    }
    if (reportRejected && r.rejected() > 0)
        out(r.message());
    return true;
}

int dump(const Options& o) {
    if (o.files.size() != 1)
        return usage();
    inventory::OpenResult r;
    if (!loadInventory(o.files[0], r, false))
        return kError;
    const QByteArray json = QJsonDocument(inventory::inventoryToJson(r.vehicles)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return kOk;
}

int check(const Options& o) {
    if (o.files.size() != 1)
        return usage();
    inventory::OpenResult r;
    if (!loadInventory(o.files[0], r, true))
        return kError;
    if (auto f = csv::checkInventory(r.vehicles, !o.typedNumbers, o.clock().date())) {
        out(failureLine(*f));
        return kFailed;
    }
    out(QStringLiteral("Keine Fehler gefunden!"));
    return kOk;
}

// An archive when the name ends in .zip, else the bare line file.
int save(const QString& target, const inventory::CsvLines& lines, const model::Inventory& inv) {
    if (inventory::isArchivePath(target)) {
        const inventory::SaveResult r = inventory::writeArchive(target, lines.fileData(), inv, 0, int(inv.size()) - 1);
        if (r.ok())
            return kOk;
        err(r.message());
        return kError;
    }
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly) || f.write(lines.fileData()) < 0 || !f.commit()) {
        err(QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden: %2").arg(target, f.errorString()));
        return kError;
    }
    return kOk;
}

int build(const Options& o) {
    if (o.files.size() != 2)
        return usage();
    QByteArray json;
    if (!readFile(o.files[0], json))
        return kError;
    inventory::JsonRead in = inventory::vehiclesFromJson(json);
    if (!in.error.isEmpty()) {
        err(in.error);
        return kError;
    }
    const QDir base = QFileInfo(o.files[0]).absoluteDir();
    model::Inventory inv;
    for (int i = 0; i < in.vehicles.size(); ++i) {
        inventory::JsonVehicle& jv = in.vehicles[i];
        int slot = 0;
        for (const QString& p : jv.photoPaths) {
            const QString path = base.absoluteFilePath(p);
            photo::PhotoResult ph = photo::reduceAddedPhoto(path);
            if (!ph.ok()) {
                err(QStringLiteral("Fahrzeug %1: Grafikdatei \"%2\" konnte nicht importiert werden: %3")
                        .arg(i + 1)
                        .arg(p, ph.error));
                return kError;
            }
            jv.vehicle.bilder[size_t(slot++)] = ph.jpeg;
        }
        inv.append(std::move(jv.vehicle));
    }
    const inventory::KeyMode mode = o.timeStamp      ? inventory::KeyMode::TimeStamp
                                    : o.typedNumbers ? inventory::KeyMode::Typed
                                                     : inventory::KeyMode::Automatic;
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, mode, o.clock);
    if (!lines.ok()) {
        out(failureLine(*lines.failure));
        return kFailed;
    }
    return save(o.files[1], lines, inv);
}

// IN read as opening it in the program does, written as "Speichern unter" does.
int convert(const Options& o) {
    if (o.files.size() != 2)
        return usage();
    if (o.timeStamp) {
        err(QStringLiteral("--time-stamp gilt nur für build."));
        return kError;
    }
    inventory::OpenResult r;
    if (!loadInventory(o.files[0], r, true))
        return kError;
    const model::Inventory& inv = r.vehicles;
    const inventory::KeyMode mode = o.typedNumbers ? inventory::KeyMode::Typed : inventory::KeyMode::Automatic;
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, mode, o.clock);
    if (!lines.ok()) {
        out(failureLine(*lines.failure));
        return kFailed;
    }
    const QString target = inventory::archivePath(o.files[1]);
    const int rc = save(target, lines, inv);
    if (rc == kOk && target != o.files[1])
        out(QStringLiteral("Gespeichert als \"%1\".").arg(target));
    return rc;
}

} // namespace

int runUpdate(const QStringList& args); // UpdateCheck.cpp

int main(int argc, char** argv) {
    // These bring their own application object: printing needs fonts and so a GUI application.
    if (argc > 1 && std::strcmp(argv[1], "rename") == 0)
        return cli::renameMain(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "print") == 0)
        return cli::printMain(argc, argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1StringView("update"))
        return runUpdate(args);
    if (command == QLatin1StringView("upload"))
        return cli::upload(args);
    if (command == QLatin1StringView("download"))
        return cli::download(args);
    const Options o = parse(args);
    if (!o.error.isEmpty()) {
        err(o.error);
        return kError;
    }
    if (command == QLatin1StringView("dump"))
        return dump(o);
    if (command == QLatin1StringView("check"))
        return check(o);
    if (command == QLatin1StringView("build"))
        return build(o);
    if (command == QLatin1StringView("convert"))
        return convert(o);
    return usage();
}
