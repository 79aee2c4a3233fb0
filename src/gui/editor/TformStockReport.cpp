#include "editor/TformStockReport.h"

#include "common/Dialogs.h"
#include "model/Cp1252.h"
#include "print/StockReportDocument.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

TformStockReport::TformStockReport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formStockReport"));
    setWindowTitle(QStringLiteral("Bestand prüfen"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(summary_);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lvFindings"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Fahrzeug"), QStringLiteral("Interne Nr."),
                            QStringLiteral("Art"), QStringLiteral("Meldung")});
    list_->header()->setStretchLastSection(true);
    layout->addWidget(list_, 1);
    auto* hint = new QLabel(QStringLiteral("Ein Doppelklick zeigt das Fahrzeug an der betroffenen Stelle."), this);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("btnClose"));
    QPushButton* print = buttons->addButton(QStringLiteral("&Drucken ..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("btnPrint"));
    QPushButton* pdf = buttons->addButton(QStringLiteral("Als &PDF speichern ..."), QDialogButtonBox::ActionRole);
    pdf->setObjectName(QStringLiteral("btnSavePdf"));
    for (QPushButton* b : {print, pdf})
        b->setAutoDefault(false);
    connect(print, &QPushButton::clicked, this, &TformStockReport::printReport);
    connect(pdf, &QPushButton::clicked, this, &TformStockReport::saveReportPdf);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const csv::Finding& f = findings_.at(list_->indexOfTopLevelItem(item));
        emit findingChosen(f.index, f.detail, f.severity);
    });
    resize(760, 420);
}

void TformStockReport::showReport(const csv::StockReport& report, const model::Inventory& vehicles,
                                  const QDateTime& checked) {
    findings_ = report.findings;
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(findings_.size());
    for (const csv::Finding& f : findings_) {
        const model::TFahrzeug& v = vehicles.at(f.index);
        auto* item = new QTreeWidgetItem({QString::number(f.index + 1), csv::vehicleTitle(v), model::fromCp1252(v.inr),
                                          csv::severityText(f.severity), f.detail.message});
        if (f.severity == csv::Severity::Error)
            item->setForeground(3, QColor(Qt::red));
        items << item;
    }
    list_->addTopLevelItems(items);
    for (int c = 0; c < 4; ++c)
        list_->resizeColumnToContents(c);
    summary_->setText(print::stockReportSummary(report));
    html_ = print::stockReportHtml(report, vehicles, checked);
}

void TformStockReport::printReport() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(print::kStockReportTitle);
    // The document adds a margin of 2 cm of its own inside these.
    printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Druckvorschau"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [this](QPrinter* p) {
        QTextDocument doc;
        doc.setHtml(html_);
        doc.print(p);
    });
    preview.exec();
}

void TformStockReport::saveReportPdf() {
    const QString path = Dialogs::savePdfFileName(this);
    if (path.isEmpty())
        return;
    if (const QString error = print::writeStockReportPdf(html_, path); !error.isEmpty())
        Dialogs::error(this, error);
}

} // namespace tarmelo::gui
