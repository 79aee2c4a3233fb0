// The rename and print sub-commands of tarmelo-cli.

#include "cli/Commands.h"

#include "intnr/Renaming.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "inventory/StockMember.h"
#include "model/Cp1252.h"
#include "photo/Reduce.h"
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

void write(std::FILE* f, const QString& s) {
    const QByteArray b = s.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), f);
}

// A whole number brought into the range, as the dialog's spin fields do; nullopt when it is no number at all.
std::optional<int> spin(const CommandLine& c, const char* name, intnr::Range range, int fallback) {
    const std::optional<QString> v = c.value(name);
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

int rename(const CommandLine& a) {
    if (a.value("--mask").has_value() == a.value("--remove").has_value()) {
        err(QStringLiteral("Genau eine von --mask und --remove angeben."));
        return usage("rename");
    }
    const std::optional<Clock> clock = a.clock();
    if (!clock)
        return kUsage;

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
            return kUsage;
        }
        o.beginning = int(std::clamp<qlonglong>(b, intnr::kCharsRange.min, intnr::kCharsRange.max));
        o.ending = int(std::clamp<qlonglong>(e, intnr::kCharsRange.min, intnr::kCharsRange.max));
    }
    const auto start = spin(a, "--start", intnr::kStartRange, 1);
    const auto step = spin(a, "--step", intnr::kStepRange, 1);
    const auto digits = spin(a, "--digits", intnr::kDigitsRange, 1);
    if (!start || !step || !digits)
        return kUsage;
    o.start = *start;
    o.step = *step;
    o.digits = *digits;
    o.skipNonSelected = a.has("--skip-unselected");
    o.search = a.value("--search").value_or(QString());
    o.replace = a.value("--replace").value_or(QString());
    // The texts the dialog's fields would not take are refused before anything is read or written.
    if (const QString refused = intnr::checkTexts(o); !refused.isEmpty()) {
        err(refused);
        return kUsage;
    }

    model::Inventory vehicles;
    bool readOnly = false;
    if (!loadInventory(a.files()[0], vehicles, false, &readOnly))
        return kUsage;
    if (!a.has("--dry-run") &&
        refuseOverwrite(readOnly, a.files()[0], inventory::archivePath(a.files().value(1, a.files()[0]))))
        return kFailed;
    QList<bool> ticked(vehicles.size(), true);
    if (const auto list = a.value("--select")) {
        const auto parsed = parseSelection(*list, vehicles.size());
        if (!parsed)
            return kUsage;
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
    const inventory::CsvLines lines =
        inventory::buildLines(vehicles, 0, int(vehicles.size()) - 1, inventory::KeyMode::Typed, *clock);
    if (!lines.ok()) {
        err(QStringLiteral("Fahrzeug %1: %2")
                .arg(lines.failure->index + 1)
                .arg(lines.failure->failure.message.trimmed()));
        return kFailed;
    }
    inventory::recordStockChanges(vehicles, (*clock)().date());
    const int rc = saveArchive(a.files().value(1, a.files()[0]), lines, vehicles, inventory::BackupCause::BeforeRename);
    if (rc == kOk)
        out(QStringLiteral("%1 interne Nummer(n) geändert.").arg(changed));
    return rc;
}

int print(const CommandLine& a) {
    const bool asText = a.has("--text");
    if (a.files().size() != (asText ? 1 : 2)) {
        err(asText ? QStringLiteral("Mit --text nur die Eingabedatei angeben.")
                   : QStringLiteral("Eingabedatei und PDF-Datei angeben, oder --text."));
        return kUsage;
    }
    const std::optional<Clock> clock = a.clock();
    if (!clock)
        return kUsage;
    model::Inventory vehicles;
    if (!loadInventory(a.files()[0], vehicles))
        return kUsage;
    print::PrintChoice choice = print::PrintChoice::all(vehicles.size(), !a.has("--ohne-bilder"));
    if (const auto list = a.value("--select")) {
        const auto parsed = parseSelection(*list, vehicles.size());
        if (!parsed)
            return kUsage;
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
    const QString error = print::writeReportPdf(layout, a.files()[1]);
    if (!error.isEmpty()) {
        err(error);
        return kUsage;
    }
    return kOk;
}

} // namespace tarmelo::cli
