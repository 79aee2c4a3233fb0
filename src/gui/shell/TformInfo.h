#pragma once

#include <QDate>
#include <QDialog>
#include <QUrl>
#include <optional>

class QLabel;

namespace tarmelo::gui {

// "Über Tarmelo": version, date, the last online update and the maker's addresses.
class TformInfo : public QDialog {
    Q_OBJECT
public:
    TformInfo(const std::optional<QDate>& lastUpdate, QUrl web, QString email, QString licenceFile, QWidget* parent);

    void lblWebClick();
    void lblEMailClick();
    void btnLizenzClick();
    // "dd.mm.yyyy" whatever the system's format, or "-".
    static QString lastUpdateText(const std::optional<QDate>& lastUpdate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* makeLink(const QString& text, const char* name);

    QUrl web_;
    QString email_;
    QString licenceFile_;
};

} // namespace tarmelo::gui
