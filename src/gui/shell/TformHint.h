#pragma once

#include <QDialog>
#include <QStringList>

namespace tarmelo::gui {

// "Wichtiger Hinweis": the message the update server sent instead of its permission.
class TformHint : public QDialog {
    Q_OBJECT
public:
    TformHint(const QString& message, QWidget* parent);
    // Modal; in test mode (Dialogs) it only records the message.
    static void showMessage(QWidget* parent, const QString& message);
    static QStringList& shown();
};

} // namespace tarmelo::gui
