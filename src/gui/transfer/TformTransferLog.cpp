#include "transfer/TformTransferLog.h"

#include "transfer/TransferLog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

namespace {

QString count(int n) {
    return n < 0 ? QStringLiteral("-") : QString::number(n);
}

} // namespace

TformTransferLog::TformTransferLog(const QString& logPath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formTransferLog"));
    setWindowTitle(QStringLiteral("Übertragungsprotokoll"));
    setModal(true);
    const QList<transfer::TransferRecord> records = transfer::readTransferLog(logPath);
    const QStringList headers{
        QStringLiteral("Zeitpunkt"),     QStringLiteral("Vorgang"),       QStringLiteral("Benutzer"),
        QStringLiteral("Server"),        QStringLiteral("Datei"),         QStringLiteral("Neu"),
        QStringLiteral("Geändert"),      QStringLiteral("Zurückgezogen"), QStringLiteral("Bytes"),
        QStringLiteral("Verschlüsselt"), QStringLiteral("Ergebnis"),      QStringLiteral("Letzte Antwort des Servers")};
    auto* table = new QTableWidget(int(records.size()), int(headers.size()), this);
    table->setObjectName(QStringLiteral("tblLog"));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    const QLocale locale;
    for (int row = 0; row < records.size(); ++row) {
        const transfer::TransferRecord& r = records[row];
        const QStringList cells{locale.toString(r.time, QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                                transfer::transferKindText(r),
                                r.user,
                                r.server,
                                r.file,
                                count(r.added),
                                count(r.changed),
                                count(r.withdrawn),
                                locale.toString(r.bytes),
                                transfer::transferEncryptionText(r),
                                r.result,
                                r.reply};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            if (column >= 5 && column <= 8)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* empty = new QLabel(QStringLiteral("Bisher wurde nichts übertragen."), this);
    empty->setObjectName(QStringLiteral("lblEmpty"));
    empty->setVisible(records.isEmpty());
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(empty);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(buttons);
    resize(1100, 400);
}

} // namespace tarmelo::gui
