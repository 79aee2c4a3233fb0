#pragma once

#include "inventory/Backups.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTableWidget;

namespace tarmelo::gui {

// "Sicherung wiederherstellen": the backups of the open inventory, newest first. The one chosen is opened by the
// caller as a new document; the dialog itself changes nothing.
class TformBackups : public QDialog {
    Q_OBJECT
public:
    TformBackups(const QList<inventory::BackupEntry>& entries, QWidget* parent = nullptr);

    // The backup chosen with "Öffnen" or a double click; empty when none.
    QString chosenFile() const;

private:
    QList<inventory::BackupEntry> entries_;
    QTableWidget* table_;
    QPushButton* open_;
};

} // namespace tarmelo::gui
