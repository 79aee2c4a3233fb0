#include "editor/TformStockReport.h"

#include "model/Cp1252.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const csv::Finding& f = findings_.at(list_->indexOfTopLevelItem(item));
        emit findingChosen(f.index, f.detail, f.severity);
    });
    resize(760, 420);
}

void TformStockReport::showReport(const csv::StockReport& report, const model::Inventory& vehicles) {
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
    const int vehiclesCount = int(report.lights.size());
    if (findings_.isEmpty())
        summary_->setText(QStringLiteral("Alle %1 Fahrzeuge sind bereit für Karvento.").arg(vehiclesCount));
    else
        summary_->setText(QStringLiteral("%1 Fehler und %2 Warnungen bei %3 Fahrzeugen: %4 rot, %5 gelb, %6 grün.")
                              .arg(report.errors)
                              .arg(report.warnings)
                              .arg(vehiclesCount)
                              .arg(report.vehiclesWith(csv::Light::Red))
                              .arg(report.vehiclesWith(csv::Light::Yellow))
                              .arg(report.vehiclesWith(csv::Light::Green)));
}

} // namespace tarmelo::gui
