#pragma once

#include "csv/StockCheck.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace tarmelo::gui {

// "Bestand prüfen": every failure and warning of every vehicle at the moment of the check. A double click (or
// Enter) on an entry asks the window to show that vehicle at the control concerned; the report stays open. It prints
// and saves as PDF what it shows.
class TformStockReport : public QDialog {
    Q_OBJECT
public:
    explicit TformStockReport(QWidget* parent = nullptr);

    // Lists the report of vehicles checked at `checked`; the titles and numbers are taken from them now.
    void showReport(const csv::StockReport& report, const model::Inventory& vehicles, const QDateTime& checked);

signals:
    void findingChosen(int index, const csv::CheckFailure& detail, csv::Severity severity);

private:
    void printReport();
    void saveReportPdf();

    QString html_; // the page printed, made with the report
    QLabel* summary_;
    QTreeWidget* list_;
    QList<csv::Finding> findings_;
};

} // namespace tarmelo::gui
