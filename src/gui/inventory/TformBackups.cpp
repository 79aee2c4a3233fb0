#include "inventory/TformBackups.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

namespace {

QTableWidgetItem* cell(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

} // namespace

TformBackups::TformBackups(const QList<inventory::BackupEntry>& entries, QWidget* parent)
    : QDialog(parent), entries_(entries) {
    setObjectName(QStringLiteral("formBackups"));
    setWindowTitle(QStringLiteral("Sicherung wiederherstellen"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Die gewählte Sicherung wird als neuer, noch nicht gespeicherter Bestand "
                                            "geöffnet.\nSpeichern Sie ihn danach unter dem gewünschten Namen."),
                             this);
    layout->addWidget(intro);
    table_ = new QTableWidget(int(entries_.size()), 5, this);
    table_->setObjectName(QStringLiteral("tblBackups"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Anlass"), QStringLiteral("Fahrzeuge"),
                                       QStringLiteral("Bilder"), QStringLiteral("Größe")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    const QLocale german(QLocale::German, QLocale::Germany);
    for (int row = 0; row < int(entries_.size()); ++row) {
        const inventory::BackupEntry& e = entries_[row];
        const Qt::Alignment right = Qt::AlignRight;
        table_->setItem(row, 0, cell(e.time.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))));
        table_->setItem(row, 1, cell(e.cause));
        table_->setItem(row, 2, cell(QString::number(e.vehicles), right));
        table_->setItem(row, 3, cell(QString::number(e.photos), right));
        table_->setItem(row, 4, cell(german.formattedDataSize(e.bytes, 1, QLocale::DataSizeTraditionalFormat), right));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole);
    open_->setObjectName(QStringLiteral("btnOpen"));
    open_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { open_->setEnabled(!table_->selectedItems().isEmpty()); });
    open_->setEnabled(false);
    if (!entries_.isEmpty())
        table_->selectRow(0);
    resize(560, 360);
}

QString TformBackups::chosenFile() const {
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    if (selected.isEmpty())
        return {};
    return entries_.value(selected.first()->row()).file;
}

} // namespace tarmelo::gui
