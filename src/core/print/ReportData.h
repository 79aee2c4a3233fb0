#pragma once

#include "model/Fahrzeug.h"

#include <QImage>
#include <QList>
#include <QLocale>
#include <QString>
#include <array>
#include <functional>

namespace tarmelo::print {

inline const QString kReportTitle = QStringLiteral("Listenausdruck");

// What the print dialog hands to the report: one flag per vehicle and whether photos are printed.
struct PrintChoice {
    QList<bool> selection;
    int selectedCount = 0;
    bool withPhotos = true;

    static PrintChoice all(qsizetype vehicles, bool withPhotos = true);
    void countSelected();
};

// The texts and pictures of one printed vehicle. An empty memo, price or dealer price switches its band off.
struct VehicleBlock {
    int position = 0; // in the vehicle array, from 0
    QString title;
    QString features; // "[keine]" when there is none
    QString memo;
    QString price;                                     // "Preis: ..."
    QString dealerPrice;                               // "Händlerpreis: ..."
    std::array<QImage, model::kPhotoSlots> photos;     // thumbnails; a null image is a hidden frame
    std::array<bool, model::kPhotoSlots> unreadable{}; // a stored photo that cannot be decoded: its frame says so
    std::array<bool, 3> photoRows{};                   // rows of frames 1-6, 7-12, 13-15
};

struct ReportBlocks {
    QList<VehicleBlock> blocks;
    QString error; // German; the run is abandoned

    bool ok() const { return error.isEmpty(); }
};

// The title line: make, model, category and, with typed numbers, the internal number.
QString blockTitle(const model::TFahrzeug& v, bool automaticIntNr);

// Progress in percent after each printed vehicle; returning false abandons the run.
using ReportProgress = std::function<bool(int percent)>;

// Composes the blocks of every selected vehicle in array order; thumbnails are made here, once per run.
ReportBlocks prepareReport(const model::Inventory& vehicles, const PrintChoice& choice, bool automaticIntNr,
                           const QLocale& locale, const ReportProgress& progress = {});

// The blocks as plain text: title, "Merkmale: ...", "Beschreibung: ...", the price lines, an empty line after each.
QString reportText(const QList<VehicleBlock>& blocks);

} // namespace tarmelo::print
