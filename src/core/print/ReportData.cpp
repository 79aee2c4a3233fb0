#include "print/ReportData.h"
#include "util/Text.h"

#include "model/Cp1252.h"
#include "model/Prices.h"
#include "photo/Reduce.h"
#include "print/FeatureList.h"
#include "print/PriceTexts.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tarmelo::print {

namespace {

const QByteArray kChoose = QByteArrayLiteral("Bitte ausw\xe4hlen");

QString fieldLabel(const QString& field) {
    return field == QLatin1StringView("kilometer") ? QStringLiteral("Kilometer") : QStringLiteral("Leistung");
}

// Decoding dominates the run; the photos of one vehicle are shared out among the processor's cores.
void makeThumbnails(const model::TFahrzeug& v, VehicleBlock& b) {
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t s = next++; s < v.bilder.size(); s = next++) {
            if (v.bilder[s].isEmpty())
                continue;
            b.photos[s] = photo::thumbnail(v.bilder[s]);
            b.unreadable[s] = b.photos[s].isNull();
        }
    };
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(model::countPhotos(v), 1));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
}

} // namespace

PrintChoice PrintChoice::all(qsizetype vehicles, bool withPhotos) {
    PrintChoice c;
    c.selection = QList<bool>(vehicles, true);
    c.selectedCount = int(vehicles);
    c.withPhotos = withPhotos;
    return c;
}

void PrintChoice::countSelected() {
    selectedCount = int(selection.count(true));
}

QString blockTitle(const model::TFahrzeug& v, bool automaticIntNr) {
    const QString make = v.marke == kChoose || util::trimControls(v.marke).isEmpty() ? QStringLiteral("[keine Marke]")
                                                                                     : model::fromCp1252(v.marke);
    const QString model =
        util::trimControls(v.modell).isEmpty() ? QStringLiteral("[kein Modell]") : model::fromCp1252(v.modell);
    QString title = make + u' ' + model;
    if (v.kategorie != kChoose && !util::trimControls(v.kategorie).isEmpty())
        title += QStringLiteral(" (") + model::fromCp1252(v.kategorie) + u')';
    if (!automaticIntNr && !v.inr.isEmpty())
        title += QStringLiteral(", interne Nummer: ") + model::fromCp1252(v.inr);
    return title;
}

ReportBlocks prepareReport(const model::Inventory& vehicles, const PrintChoice& choice, bool automaticIntNr,
                           const QLocale& locale, const ReportProgress& progress) {
    ReportBlocks out;
    int printed = 0;
    const int selected = qMax(choice.selectedCount, 1);
    for (qsizetype i = 0; i < vehicles.size(); ++i) {
        if (!choice.selection.value(i))
            continue;
        const model::TFahrzeug& v = vehicles[i];
        VehicleBlock b;
        b.position = int(i);
        b.title = blockTitle(v, automaticIntNr);
        const FeatureList features = composeFeatures(v, locale);
        if (!features.ok()) {
            return {
                {},
                QStringLiteral("Der Ausdruck wurde abgebrochen: Fahrzeug %1 (%2 %3) hat im Feld \"%4\" keine "
                               "ganze Zahl.")
                    .arg(i + 1)
                    .arg(model::fromCp1252(v.marke), model::fromCp1252(v.modell), fieldLabel(features.failedField))};
        }
        b.features = features.text.isEmpty() ? QStringLiteral("[keine]") : features.text;
        if (!util::trimControls(v.memo).isEmpty())
            b.memo = model::fromCp1252(v.memo);
        if (!model::isZeroAmount(v.preis))
            b.price = QStringLiteral("Preis: ") + priceText(v, v.preis, locale);
        if (!model::isZeroAmount(v.hpreis))
            b.dealerPrice = QStringLiteral("Händlerpreis: ") + priceText(v, v.hpreis, locale);
        if (choice.withPhotos && !v.bilder[0].isEmpty()) {
            b.photoRows = {true, !v.bilder[6].isEmpty(), !v.bilder[12].isEmpty()};
            makeThumbnails(v, b);
        }
        out.blocks.append(std::move(b));
        ++printed;
        if (progress && !progress(printed * 100 / selected))
            return {{}, QStringLiteral("Der Ausdruck wurde abgebrochen.")};
    }
    if (progress)
        progress(100);
    return out;
}

QString reportText(const QList<VehicleBlock>& blocks) {
    QString text;
    for (const VehicleBlock& b : blocks) {
        text += b.title + u'\n';
        text += QStringLiteral("Merkmale: ") + b.features + u'\n';
        if (!b.memo.isEmpty()) {
            QString memo = b.memo;
            memo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text += QStringLiteral("Beschreibung: ") + memo + u'\n';
        }
        if (!b.price.isEmpty())
            text += b.price + u'\n';
        if (!b.dealerPrice.isEmpty())
            text += b.dealerPrice + u'\n';
        text += u'\n';
    }
    return text;
}

} // namespace tarmelo::print
