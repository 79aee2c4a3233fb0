#include "shell/TformTipps.h"

#include "common/Dialogs.h"
#include "model/Cp1252.h"
#include "shell/Help.h"
#include "shell/Tips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tarmelo::gui {

TformTipps::TformTipps(shell::Settings* settings, QString tipsPath, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), settings_(settings), tipsPath_(std::move(tipsPath)) {
    setObjectName(QStringLiteral("formTipps"));
    setWindowTitle(QStringLiteral("Tipps & Tricks"));
    setModal(false);

    gbTipp_ = new QGroupBox(this);
    gbTipp_->setObjectName(QStringLiteral("gbTipp"));
    auto* panel = new QWidget(gbTipp_);
    panel->setObjectName(QStringLiteral("plTipp"));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    auto* icon = new QLabel(panel);
    icon->setPixmap(
        QIcon::fromTheme(QStringLiteral("dialog-information"), style()->standardIcon(QStyle::SP_MessageBoxInformation))
            .pixmap(48, 48));
    icon->setFixedSize(49, 49);
    lblTipp_ = new QLabel(panel);
    lblTipp_->setObjectName(QStringLiteral("lblTipp"));
    lblTipp_->setWordWrap(true);
    lblTipp_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipp_->setMinimumSize(292, 113);
    auto* pv = new QVBoxLayout(panel);
    pv->addWidget(icon);
    pv->addWidget(lblTipp_, 1);
    auto* gv = new QVBoxLayout(gbTipp_);
    gv->addWidget(panel);

    cbShowNextTime_ = new QCheckBox(QStringLiteral("Beim Programmstart anzeigen"), this);
    cbShowNextTime_->setObjectName(QStringLiteral("cbShowNextTime"));
    btnWeiter_ = new QPushButton(QStringLiteral("&Weiter"), this);
    btnWeiter_->setObjectName(QStringLiteral("btnWeiter"));
    btnWeiter_->setDefault(true);
    btnSchliessen_ = new QPushButton(QStringLiteral("&Schließen"), this);
    btnSchliessen_->setObjectName(QStringLiteral("btnSchliessen"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbShowNextTime_);
    buttons->addStretch(1);
    buttons->addWidget(btnWeiter_);
    buttons->addWidget(btnSchliessen_);
    auto* v = new QVBoxLayout(this);
    v->addWidget(gbTipp_, 1);
    v->addLayout(buttons);
    resize(341, 253);

    connect(btnWeiter_, &QPushButton::clicked, this, &TformTipps::btnWeiterClick);
    connect(cbShowNextTime_, &QCheckBox::clicked, this, &TformTipps::cbShowNextTimeClick);
    connect(btnSchliessen_, &QPushButton::clicked, this, &QDialog::reject);
    Dialogs::bindHelpKey(this, shell::kHelpTips);
}

void TformTipps::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    cbShowNextTime_->setChecked(settings_->ShowTipps);
    const shell::TipsFile tips = shell::loadTips(tipsPath_);
    if (!tips.error.isEmpty())
        return showError(tips.error);
    lines_ = tips.lines;
    lblTipp_->setStyleSheet(QString());
    btnWeiter_->setEnabled(true);
    btnWeiterClick();
}

void TformTipps::hideEvent(QHideEvent* event) {
    // The next opening reads the file again.
    lines_.clear();
    QDialog::hideEvent(event);
}

void TformTipps::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void TformTipps::showError(const QString& text) {
    lines_.clear();
    gbTipp_->setTitle(shell::kTipsErrorCaption);
    lblTipp_->setText(QStringLiteral("Fehler: ") + text);
    lblTipp_->setStyleSheet(QStringLiteral("color: red;"));
    btnWeiter_->setEnabled(false);
}

void TformTipps::btnWeiterClick() {
    if (lines_.isEmpty())
        return;
    settings_->ActItem = shell::nextTip(settings_->ActItem, int(lines_.size()));
    RefreshTipp();
}

void TformTipps::RefreshTipp() {
    const int n = int(lines_.size());
    if (settings_->ActItem < 0 || settings_->ActItem >= n)
        return;
    gbTipp_->setTitle(shell::tipsCaption(settings_->ActItem, n));
    lblTipp_->setText(model::fromCp1252(lines_[settings_->ActItem]));
}

void TformTipps::cbShowNextTimeClick() {
    settings_->ShowTipps = cbShowNextTime_->isChecked();
}

} // namespace tarmelo::gui
