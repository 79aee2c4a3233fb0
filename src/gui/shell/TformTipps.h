#pragma once

#include "shell/Settings.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tarmelo::gui {

// "Tipps & Tricks": one tip after the other from tipps.dat; lives hidden for the whole run, closing only hides it.
class TformTipps : public QDialog {
    Q_OBJECT
public:
    TformTipps(shell::Settings* settings, QString tipsPath, QWidget* parent);

    void RefreshTipp();
    void btnWeiterClick();
    void cbShowNextTimeClick();
    void setTipsPath(const QString& path) { tipsPath_ = path; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showError(const QString& text);

    shell::Settings* settings_;
    QString tipsPath_;
    QList<QByteArray> lines_;
    QGroupBox* gbTipp_ = nullptr;
    QLabel* lblTipp_ = nullptr;
    QCheckBox* cbShowNextTime_ = nullptr;
    QPushButton* btnWeiter_ = nullptr;
    QPushButton* btnSchliessen_ = nullptr;
};

} // namespace tarmelo::gui
