// The rename and print sub-commands of tarmelo-cli.

#include "PrintCommands.h"

#include "intnr/Renaming.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "model/Cp1252.h"
#include "photo/reduce.h"
#include "print/ReportData.h"
#include "print/ReportLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace tarmelo::cli {

namespace {

constexpr int kOk = 0, kFailed = 1, kError = 2;

void write(std::FILE* f, const QString& s) {
    const QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
}
void out(const QString& s) {
    write(stdout, s + u'\n');
}
void err(const QString& s) {
    write(stderr, s + u'\n');
}

int usage() {
    err(QStringLiteral(
        "Aufruf:\n"
        "  tarmelo-cli rename (--mask MASKE | --remove ANFANG,ENDE) [--start N] [--step N] [--digits N]\n"
        "      [--select LISTE] [--skip-unselected] [--search TEXT] [--replace TEXT]\n"
        "      [--now JJJJ-MM-TTThh:mm:ss] [--dry-run] EIN [AUS]\n"
        "  tarmelo-cli print [--ohne-bilder] [--select LISTE] [--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss]\n"
        "      EIN (AUS.pdf | --text)\n"
        "LISTE: Positionen ab 1, etwa 1,3,5-7."));
    return kError;
}

// "1,3,5-7" into one flag per vehicle; an empty list ticks none. nullopt for a position outside the inventory.
std::optional<QList<bool>> parseSelection(const QString& list, qsizetype count, QString& error) {
    QList<bool> flags(count, false);
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        const QStringList range = part.trimmed().split(u'-');
        bool okA = false, okB = true;
        const int a = range.value(0).toInt(&okA);
        int b = a;
        if (range.size() == 2)
            b = range[1].toInt(&okB);
        if (range.size() > 2 || !okA || !okB || a < 1 || b < a || b > count) {
            error = QStringLiteral("--select: \"%1\" ist keine Position von 1 bis %2.").arg(part).arg(count);
            return std::nullopt;
        }
        for (int p = a; p <= b; ++p)
            flags[p - 1] = true;
    }
    return flags;
}

bool loadInventory(const QString& path, model::Inventory& vehicles) {
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(path, probe.errorString()));
        return false;
    }
    probe.close();
    inventory::OpenResult r = inventory::readInventoryFile(path);
    if (!r.ok()) {
        err(r.message());
        return false;
    }
    vehicles = std::move(r.vehicles);
    return true;
}

// Saves as the program saves with typed numbers: an archive, or the bare lines for any other name.
int saveTyped(const QString& path, const model::Inventory& inv, const Clock& clock) {
    const inventory::CsvLines lines =
        inventory::buildLines(inv, 0, int(inv.size()) - 1, inventory::KeyMode::Typed, clock);
    if (!lines.ok()) {
        err(QStringLiteral("Fahrzeug %1: %2")
                .arg(lines.failure->index + 1)
                .arg(lines.failure->failure.message.trimmed()));
        return kFailed;
    }
    const QString target = inventory::archivePath(path);
    if (inventory::isArchivePath(target)) {
        const inventory::SaveResult r = inventory::writeArchive(target, lines.fileData(), inv, 0, int(inv.size()) - 1);
        if (!r.ok()) {
            err(r.message());
            return kError;
        }
    } else {
        QSaveFile f(target);
        if (!f.open(QIODevice::WriteOnly) || f.write(lines.fileData()) < 0 || !f.commit()) {
            err(QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden: %2").arg(target, f.errorString()));
            return kError;
        }
    }
    if (target != path)
        out(QStringLiteral("Gespeichert als \"%1\".").arg(target));
    return kOk;
}

struct Args {
    QStringList files;
    QString error;
    QHash<QString, QString> values;
    QSet<QString> flags;

    bool has(const char* flag) const { return flags.contains(QLatin1StringView(flag)); }
    std::optional<QString> value(const char* name) const {
        auto it = values.find(QLatin1StringView(name));
        return it == values.end() ? std::nullopt : std::optional<QString>(*it);
    }
};

Args parseArgs(const QStringList& args, const QStringList& withValue, const QStringList& flags) {
    Args a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& s = args[i];
        if (withValue.contains(s)) {
            if (i + 1 >= args.size()) {
                a.error = QStringLiteral("%1 erwartet einen Wert.").arg(s);
                return a;
            }
            a.values.insert(s, args[++i]);
        } else if (flags.contains(s)) {
            a.flags.insert(s);
        } else if (s.startsWith(QLatin1StringView("--"))) {
            a.error = QStringLiteral("Unbekannte Option %1.").arg(s);
            return a;
        } else {
            a.files.append(s);
        }
    }
    return a;
}

std::optional<Clock> clockFrom(const Args& a) {
    const std::optional<QString> now = a.value("--now");
    if (!now)
        return systemClock();
    const QDateTime t = QDateTime::fromString(*now, Qt::ISODate);
    if (!t.isValid()) {
        err(QStringLiteral("--now erwartet Datum und Uhrzeit als JJJJ-MM-TTThh:mm:ss."));
        return std::nullopt;
    }
    return fixedClock(t);
}

// A whole number brought into the range, as the dialog's spin fields do; nullopt when it is no number at all.
std::optional<int> spin(const Args& a, const char* name, intnr::Range range, int fallback) {
    const std::optional<QString> v = a.value(name);
    if (!v)
        return fallback;
    bool ok = false;
    const qlonglong n = v->toLongLong(&ok);
    if (!ok) {
        err(QStringLiteral("%1 erwartet eine ganze Zahl.").arg(QLatin1StringView(name)));
        return std::nullopt;
    }
    return int(std::clamp<qlonglong>(n, range.min, range.max));
}

} // namespace

int renameMain(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Args a =
        parseArgs(app.arguments().mid(2),
                  {"--mask", "--remove", "--start", "--step", "--digits", "--select", "--search", "--replace", "--now"},
                  {"--skip-unselected", "--dry-run"});
    if (!a.error.isEmpty()) {
        err(a.error);
        return kError;
    }
    if (a.files.isEmpty() || a.files.size() > 2 || a.value("--mask").has_value() == a.value("--remove").has_value())
        return usage();
    const std::optional<Clock> clock = clockFrom(a);
    if (!clock)
        return kError;

    intnr::RenameOptions o;
    if (const auto mask = a.value("--mask")) {
        o.maskMode = true;
        o.mask = *mask;
    } else {
        o.maskMode = false;
        const QStringList parts = a.value("--remove")->split(u',');
        bool okB = false, okE = false;
        const qlonglong b = parts.value(0).toLongLong(&okB);
        const qlonglong e = parts.value(1).toLongLong(&okE);
        if (parts.size() != 2 || !okB || !okE) {
            err(QStringLiteral("--remove erwartet ANFANG,ENDE als ganze Zahlen."));
            return kError;
        }
        o.beginning = int(std::clamp<qlonglong>(b, intnr::kCharsRange.min, intnr::kCharsRange.max));
        o.ending = int(std::clamp<qlonglong>(e, intnr::kCharsRange.min, intnr::kCharsRange.max));
    }
    const auto start = spin(a, "--start", intnr::kStartRange, 1);
    const auto step = spin(a, "--step", intnr::kStepRange, 1);
    const auto digits = spin(a, "--digits", intnr::kDigitsRange, 1);
    if (!start || !step || !digits)
        return kError;
    o.start = *start;
    o.step = *step;
    o.digits = *digits;
    o.skipNonSelected = a.has("--skip-unselected");
    o.search = a.value("--search").value_or(QString());
    o.replace = a.value("--replace").value_or(QString());
    // The texts the dialog's fields would not take are refused before anything is read or written.
    if (const QString refused = intnr::checkTexts(o); !refused.isEmpty()) {
        err(refused);
        return kError;
    }

    model::Inventory vehicles;
    if (!loadInventory(a.files[0], vehicles))
        return kError;
    QList<bool> ticked(vehicles.size(), true);
    if (const auto list = a.value("--select")) {
        QString error;
        const auto parsed = parseSelection(*list, vehicles.size(), error);
        if (!parsed) {
            err(error);
            return kError;
        }
        ticked = *parsed;
    }
    const QStringList olds = intnr::oldNumbers(vehicles);
    const QStringList preview = intnr::previewNumbers(olds, ticked, o, (*clock)());
    if (a.has("--dry-run")) {
        for (qsizetype i = 0; i < preview.size(); ++i)
            out(QStringLiteral("%1\t%2\t%3\t%4")
                    .arg(i + 1)
                    .arg(ticked[i] ? QStringLiteral("x") : QStringLiteral("-"))
                    .arg(olds[i], preview[i]));
        return kOk;
    }
    const intnr::Refusal refusal = intnr::checkApply(preview, ticked);
    if (refusal != intnr::Refusal::None) {
        err(intnr::refusalMessage(refusal));
        return kFailed;
    }
    intnr::applyNumbers(vehicles, preview, ticked);
    int changed = 0;
    for (qsizetype i = 0; i < vehicles.size(); ++i)
        changed += model::fromCp1252(vehicles[i].inr) != olds[i];
    const int rc = saveTyped(a.files.value(1, a.files[0]), vehicles, *clock);
    if (rc == kOk)
        out(QStringLiteral("%1 interne Nummer(n) geändert.").arg(changed));
    return rc;
}

int printMain(int argc, char** argv) {
    // Fonts need a GUI application; without a display it runs on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Args a =
        parseArgs(app.arguments().mid(2), {"--select", "--now"}, {"--ohne-bilder", "--typed-numbers", "--text"});
    if (!a.error.isEmpty()) {
        err(a.error);
        return kError;
    }
    const bool asText = a.has("--text");
    if (a.files.size() != (asText ? 1 : 2))
        return usage();
    const std::optional<Clock> clock = clockFrom(a);
    if (!clock)
        return kError;
    model::Inventory vehicles;
    if (!loadInventory(a.files[0], vehicles))
        return kError;
    print::PrintChoice choice = print::PrintChoice::all(vehicles.size(), !a.has("--ohne-bilder"));
    if (const auto list = a.value("--select")) {
        QString error;
        const auto parsed = parseSelection(*list, vehicles.size(), error);
        if (!parsed) {
            err(error);
            return kError;
        }
        choice.selection = *parsed;
        choice.countSelected();
    }
    if (choice.selectedCount == 0) {
        err(QStringLiteral("Es muss mindestens ein Fahrzeug zum Drucken ausgewählt sein!"));
        return kFailed;
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    const print::ReportBlocks blocks = print::prepareReport(vehicles, choice, !a.has("--typed-numbers"), german);
    if (!blocks.ok()) {
        err(blocks.error);
        return kFailed;
    }
    for (const print::VehicleBlock& b : blocks.blocks)
        for (size_t slot = 0; slot < b.unreadable.size(); ++slot)
            if (b.unreadable[slot])
                err(QStringLiteral("Warnung: Fahrzeug %1, Bild %2: %3.")
                        .arg(b.position + 1)
                        .arg(slot + 1)
                        .arg(photo::kUnreadable));
    if (asText) {
        write(stdout, print::reportText(blocks.blocks));
        return kOk;
    }
    const print::ReportLayout layout(blocks.blocks, (*clock)(), choice.selectedCount, german);
    const QString error = print::writeReportPdf(layout, a.files[1]);
    if (!error.isEmpty()) {
        err(error);
        return kError;
    }
    return kOk;
}

} // namespace tarmelo::cli
