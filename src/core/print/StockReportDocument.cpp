#include "print/StockReportDocument.h"

#include "model/Cp1252.h"
#include "print/ReportLayout.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace tarmelo::print {

QString stockReportSummary(const csv::StockReport& report) {
    const int vehicles = int(report.lights.size());
    if (report.findings.isEmpty())
        return QStringLiteral("Alle %1 Fahrzeuge sind bereit für Karvento.").arg(vehicles);
    return QStringLiteral("%1 Fehler und %2 Warnungen bei %3 Fahrzeugen: %4 rot, %5 gelb, %6 grün.")
        .arg(report.errors)
        .arg(report.warnings)
        .arg(vehicles)
        .arg(report.vehiclesWith(csv::Light::Red))
        .arg(report.vehiclesWith(csv::Light::Yellow))
        .arg(report.vehiclesWith(csv::Light::Green));
}

QString stockReportHtml(const csv::StockReport& report, const model::Inventory& vehicles, const QDateTime& checked) {
    QString html = QStringLiteral("<html><body style=\"font-family: sans-serif; font-size: 9pt;\">"
                                  "<h2>%1</h2><p>Geprüft am %2 Uhr</p><p><b>%3</b></p>")
                       .arg(kStockReportTitle.toHtmlEscaped(), checked.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                            stockReportSummary(report).toHtmlEscaped());
    if (report.findings.isEmpty())
        return html + QStringLiteral("</body></html>");
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                           "<thead><tr><th>Nr.</th><th>Fahrzeug</th><th>Interne Nr.</th><th>Art</th>"
                           "<th>Meldung</th></tr></thead>");
    for (const csv::Finding& f : report.findings) {
        if (f.index < 0 || f.index >= vehicles.size())
            continue;
        const model::TFahrzeug& v = vehicles[f.index];
        const bool error = f.severity == csv::Severity::Error;
        html += QStringLiteral("<tr><td align=\"right\">%1</td><td>%2</td><td>%3</td><td%4>%5</td><td>%6</td></tr>")
                    .arg(f.index + 1)
                    .arg(csv::vehicleTitle(v).toHtmlEscaped(), model::fromCp1252(v.inr).toHtmlEscaped(),
                         error ? QStringLiteral(" style=\"color: #c00000;\"") : QString(),
                         csv::severityText(f.severity), f.detail.message.toHtmlEscaped());
    }
    return html + QStringLiteral("</table></body></html>");
}

QString writeStockReportPdf(const QString& html, const QString& path) {
    return writePdfFile(path, kStockReportTitle, [&html](QPdfWriter& writer) {
        // The document adds a margin of 2 cm of its own inside these.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
                                         QPageLayout::Millimeter));
        QTextDocument doc;
        doc.setHtml(html);
        doc.print(&writer);
        return true;
    });
}

} // namespace tarmelo::print
