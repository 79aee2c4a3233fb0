// dump, check, build and convert: inventories read, checked and written as the program does.

#include "cli/Commands.h"

#include "csv/InventoryCheck.h"
#include "csv/StockCheck.h"
#include "inventory/Archive.h"
#include "inventory/StockMember.h"
#include "inventory/VehicleJson.h"
#include "model/Cp1252.h"
#include "photo/Reduce.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>

namespace tarmelo::cli {

namespace {

inventory::KeyMode keyMode(const CommandLine& c) {
    return c.has("--time-stamp")      ? inventory::KeyMode::TimeStamp
           : c.has("--typed-numbers") ? inventory::KeyMode::Typed
                                      : inventory::KeyMode::Automatic;
}

} // namespace

int saveInventory(const QString& target, const inventory::CsvLines& lines, const model::Inventory& inv,
                  inventory::BackupCause cause) {
    if (inventory::isArchivePath(target)) {
        backupBefore(target, cause);
        const inventory::SaveResult r = inventory::writeArchive(target, lines.fileData(), inv, 0, int(inv.size()) - 1);
        if (r.ok())
            return kOk;
        err(r.message());
        return kUsage;
    }
    QSaveFile f(target);
    if (!f.open(QIODevice::WriteOnly) || f.write(lines.fileData()) < 0 || !f.commit()) {
        err(QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden: %2").arg(target, f.errorString()));
        return kUsage;
    }
    return kOk;
}

int saveArchive(const QString& given, const inventory::CsvLines& lines, const model::Inventory& inv,
                inventory::BackupCause cause) {
    const QString target = inventory::archivePath(given);
    const int rc = saveInventory(target, lines, inv, cause);
    if (rc == kOk && target != given)
        out(QStringLiteral("Gespeichert als \"%1\".").arg(target));
    return rc;
}

int dump(const CommandLine& c) {
    model::Inventory inv;
    if (!loadInventory(c.files()[0], inv))
        return kUsage;
    const QByteArray json = QJsonDocument(inventory::inventoryToJson(inv)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return kOk;
}

namespace {

QString pageText(const csv::CheckFailure& f) {
    static const char* const kTabs[] = {"", " / Seite 1", " / Seite 2"};
    return (csv::pageIndex(f) == 1 ? QStringLiteral("Ausstattung") : QStringLiteral("Allgemein")) +
           QLatin1StringView(kTabs[csv::tabIndex(f)]);
}

// Every failure and warning of every vehicle, one per line; exit 1 only when a rule is broken.
int checkAll(const CommandLine& c, const model::Inventory& inv, QDate today) {
    const csv::StockReport report = csv::checkStock(inv, !c.has("--typed-numbers"), today);
    const bool json = c.has("--json");
    for (const csv::Finding& f : report.findings) {
        const model::TFahrzeug& v = inv[f.index];
        const QString title = csv::vehicleTitle(v);
        const QString inr = model::fromCp1252(v.inr);
        if (json) {
            QJsonObject o{{"index", f.index},
                          {"position", f.index + 1},
                          {"title", title},
                          {"inr", inr},
                          {"severity", f.severity == csv::Severity::Error ? "error" : "warning"},
                          {"field", f.detail.field},
                          {"control", f.detail.control},
                          {"page", pageText(f.detail)},
                          {"message", f.detail.message}};
            if (f.warning)
                o.insert(QStringLiteral("code"), QLatin1StringView(csv::warningCode(*f.warning)));
            else
                o.insert(QStringLiteral("rule"), f.detail.check);
            out(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
        } else {
            const QString who = inr.isEmpty() ? title : QStringLiteral("%1, Nr. %2").arg(title, inr);
            out(QStringLiteral("Fahrzeug %1 (%2): %3: %4 [%5]")
                    .arg(f.index + 1)
                    .arg(who, csv::severityText(f.severity), f.detail.message, f.detail.control));
        }
    }
    if (!json) {
        if (report.findings.isEmpty())
            out(QStringLiteral("Keine Fehler gefunden!"));
        else
            out(QStringLiteral("%1 Fehler und %2 Warnungen; %3 von %4 Fahrzeugen fehlerhaft, %5 nur mit Warnungen.")
                    .arg(report.errors)
                    .arg(report.warnings)
                    .arg(report.vehiclesWith(csv::Light::Red))
                    .arg(inv.size())
                    .arg(report.vehiclesWith(csv::Light::Yellow)));
    }
    return report.hasErrors() ? kFailed : kOk;
}

} // namespace

int check(const CommandLine& c) {
    if (c.has("--json") && !c.has("--all")) {
        err(QStringLiteral("--json gilt nur zusammen mit --all."));
        return kUsage;
    }
    const std::optional<Clock> clock = c.clock();
    model::Inventory inv;
    if (!clock || !loadInventory(c.files()[0], inv, true))
        return kUsage;
    if (c.has("--all"))
        return checkAll(c, inv, (*clock)().date());
    if (auto f = csv::checkInventory(inv, !c.has("--typed-numbers"), (*clock)().date())) {
        out(failureLine(*f));
        return kFailed;
    }
    out(QStringLiteral("Keine Fehler gefunden!"));
    return kOk;
}

int build(const CommandLine& c) {
    const std::optional<Clock> clock = c.clock();
    if (!clock)
        return kUsage;
    QFile file(c.files()[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(c.files()[0], file.errorString()));
        return kUsage;
    }
    inventory::JsonRead in = inventory::vehiclesFromJson(file.readAll());
    if (!in.error.isEmpty()) {
        err(in.error);
        return kUsage;
    }
    const QDir base = QFileInfo(c.files()[0]).absoluteDir();
    model::Inventory inv;
    for (int i = 0; i < in.vehicles.size(); ++i) {
        inventory::JsonVehicle& jv = in.vehicles[i];
        int slot = 0;
        for (const QString& p : jv.photoPaths) {
            photo::PhotoResult ph = photo::reduceAddedPhoto(base.absoluteFilePath(p));
            if (!ph.ok()) {
                err(QStringLiteral("Fahrzeug %1: Grafikdatei \"%2\" konnte nicht importiert werden: %3")
                        .arg(i + 1)
                        .arg(p, ph.error));
                return kUsage;
            }
            jv.vehicle.bilder[size_t(slot++)] = ph.jpeg;
        }
        inv.append(std::move(jv.vehicle));
    }
    // The first save: vehicles whose JSON gives no entry date enter the stock today.
    inventory::recordStockChanges(inv, (*clock)().date());
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, keyMode(c), *clock);
    if (!lines.ok()) {
        out(failureLine(*lines.failure));
        return kFailed;
    }
    return saveInventory(c.files()[1], lines, inv);
}

// IN read as opening it in the program does, written as "Speichern unter" does.
int convert(const CommandLine& c) {
    if (c.has("--time-stamp")) {
        err(QStringLiteral("--time-stamp gilt nur für build."));
        return kUsage;
    }
    const std::optional<Clock> clock = c.clock();
    model::Inventory inv;
    bool readOnly = false;
    if (!clock || !loadInventory(c.files()[0], inv, true, &readOnly))
        return kUsage;
    if (refuseOverwrite(readOnly, c.files()[0], inventory::archivePath(c.files()[1])))
        return kFailed;
    const inventory::CsvLines lines = inventory::buildLines(inv, 0, int(inv.size()) - 1, keyMode(c), *clock);
    if (!lines.ok()) {
        out(failureLine(*lines.failure));
        return kFailed;
    }
    inventory::recordStockChanges(inv, (*clock)().date());
    return saveArchive(c.files()[1], lines, inv);
}

} // namespace tarmelo::cli
