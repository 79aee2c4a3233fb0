#pragma once

#include "csv/StockCheck.h"

#include <QDateTime>
#include <QString>

namespace tarmelo::print {

inline const QString kStockReportTitle = QStringLiteral("Bestand prüfen");

// "3 Fehler und 5 Warnungen bei 40 Fahrzeugen: ..." or "Alle 40 Fahrzeuge sind bereit für Karvento."
QString stockReportSummary(const csv::StockReport& report);

// The report as a printable page: title, time of the check, summary and one table row per finding. The texts of
// the vehicles are taken now; every text is escaped.
QString stockReportHtml(const csv::StockReport& report, const model::Inventory& vehicles, const QDateTime& checked);

// Writes the page as an A4 PDF, atomically; a German message when it cannot, empty on success.
QString writeStockReportPdf(const QString& html, const QString& path);

} // namespace tarmelo::print
