#pragma once

#include <QDialog>

namespace tarmelo::gui {

// "Übertragungsprotokoll": every upload and download attempt, newest first.
class TformTransferLog : public QDialog {
    Q_OBJECT
public:
    TformTransferLog(const QString& logPath, QWidget* parent = nullptr);
};

} // namespace tarmelo::gui
