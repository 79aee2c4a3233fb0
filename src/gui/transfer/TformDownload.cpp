#include "transfer/TformDownload.h"

#include "common/Dialogs.h"
#include "transfer/LoginForm.h"
#include "transfer/TransferLog.h"
#include "transfer/Upload.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

TformDownload::TformDownload(Setup setup, QWidget* parent) : QDialog(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("formDownload"));
    setWindowTitle(QStringLiteral("Fahrzeugbestand herunterladen"));
    setModal(true);

    pages_ = new QStackedWidget;
    pages_->setObjectName(QStringLiteral("PageControl1"));
    auto* login = new QWidget;
    auto* form = new QFormLayout(login);
    login_ = LoginForm::addRows(form, setup_.keyringNote);

    auto* progress = new QWidget;
    auto* pl = new QVBoxLayout(progress);
    auto* vorgang = new QGroupBox(QStringLiteral(" Vorgang "));
    lbl_vorgang = new QLabel;
    lbl_vorgang->setObjectName(QStringLiteral("lbl_vorgang"));
    (new QVBoxLayout(vorgang))->addWidget(lbl_vorgang);
    GroupBox2 = new QGroupBox(QStringLiteral(" Status "));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    // The moving bar stands in for the copy animation of the original platform.
    Animate1 = new QProgressBar;
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setTextVisible(false);
    (new QVBoxLayout(GroupBox2))->addWidget(Animate1);
    pl->addWidget(vorgang);
    pl->addWidget(GroupBox2);
    pl->addStretch();
    pages_->addWidget(login);
    pages_->addWidget(progress);

    btnHelp = new QPushButton(QStringLiteral("&Hilfe"));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnAbort = new QPushButton(QStringLiteral("&Abbrechen"));
    btnAbort->setObjectName(QStringLiteral("btnAbort"));
    btnStart = new QPushButton(QStringLiteral("&Start"));
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnHelp->setAutoDefault(false);
    btnAbort->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    buttons->addWidget(btnAbort);
    buttons->addWidget(btnStart);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);

    connect(btnStart, &QPushButton::clicked, this, &TformDownload::btnStartClick);
    connect(btnAbort, &QPushButton::clicked, this, &TformDownload::btnAbortClick);
    connect(btnHelp, &QPushButton::clicked, this, &TformDownload::btnHelpClick);
    FormCreate();
}

int TformDownload::currentPage() const {
    return pages_->currentIndex();
}

void TformDownload::FormCreate() {
    const shell::Settings& s = *setup_.settings;
    login_.fill(s);
    pages_->setCurrentIndex(LoginPage);
    btnAbort->setEnabled(false);
    Animate1->setRange(0, 1);
    Animate1->hide();
}

void TformDownload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (currentPage() == LoginPage)
        login_.le_username->setFocus(Qt::OtherFocusReason);
}

void TformDownload::Reset() {
    lbl_vorgang->clear();
    Animate1->setRange(0, 1);
    Animate1->hide();
    pages_->setCurrentIndex(LoginPage);
    btnStart->setEnabled(true);
    btnAbort->setEnabled(false);
    login_.le_username->setFocus(Qt::OtherFocusReason);
    if (download_) {
        download_->deleteLater();
        download_ = nullptr;
    }
}

void TformDownload::btnStartClick() {
    if (!btnStart->isEnabled())
        return;
    if (!login_.requireFilled(this))
        return;
    btnStart->setEnabled(false);
    btnAbort->setEnabled(true);
    GroupBox2->setTitle(QStringLiteral(" Status "));
    pages_->setCurrentIndex(ProgressPage);
    lbl_vorgang->setText(QStringLiteral("[1/3]  Verbindungsaufbau zu Karvento ..."));

    transfer::DownloadSetup d;
    d.loginServer = setup_.servers.LoginServer;
    d.dealerServer = setup_.servers.DealerServer;
    d.caFile = setup_.servers.CaCertificates;
    d.user = login_.le_username->text();
    d.password = login_.le_password->text();
    d.target = setup_.downloadPath;
    d.settleMs = setup_.settleMs;
    d.plainLogin = shell::plainLoginAllowed(setup_.servers);
    d.stallMs = transfer::stallSeconds() * 1000;
    download_ = new transfer::StockDownload(d, setup_.session, this);
    connect(download_, &transfer::StockDownload::downloading, this, [this] {
        lbl_vorgang->setText(QStringLiteral("[2/3]  Herunterladen der Fahrzeuge ..."));
        Animate1->setRange(0, 0);
        Animate1->show();
    });
    connect(download_, &transfer::StockDownload::progress, this,
            [this](qint64 bytes) { GroupBox2->setTitle(transfer::downloadCaption(bytes)); });
    connect(download_, &transfer::StockDownload::finished, this, &TformDownload::downloadFinished);
    download_->start();
}

// Stops at once, during the log-in too: a silent server must not hold the dialog.
void TformDownload::btnAbortClick() {
    if (download_)
        download_->abort();
}

void TformDownload::btnHelpClick() {
    Dialogs::showHelp(1001);
}

void TformDownload::downloadFinished(transfer::DownloadFailure f) {
    if (!setup_.logPath.isEmpty() && download_) {
        transfer::TransferRecord r;
        r.time = QDateTime::currentDateTime();
        r.upload = false;
        r.user = login_.le_username->text();
        r.server = setup_.servers.DealerServer;
        r.file = setup_.downloadPath;
        r.bytes = download_->received();
        r.encrypted = download_->encrypted();
        r.reply = download_->lastReply();
        r.result = f == transfer::DownloadFailure::None      ? QStringLiteral("heruntergeladen")
                   : f == transfer::DownloadFailure::Aborted ? QStringLiteral("abgebrochen")
                                                             : transfer::downloadFailureMessage(f).section(u'\n', 0, 0);
        transfer::appendTransferRecord(setup_.logPath, r);
    }
    if (closed_)
        return;
    if (f == transfer::DownloadFailure::None) {
        lbl_vorgang->setText(QStringLiteral("[3/3]  Import der Fahrzeuge ..."));
        btnAbort->setEnabled(false);
        Animate1->setRange(0, 1);
        importing_ = true;
        if (setup_.import)
            setup_.import(setup_.downloadPath);
        importing_ = false;
        accept();
        return;
    }
    if (f != transfer::DownloadFailure::Aborted) {
        const auto kind = f == transfer::DownloadFailure::Connection ? Dialogs::Kind::Warning : Dialogs::Kind::Error;
        Dialogs::message(this, kind, transfer::downloadFailureMessage(f), QMessageBox::Ok, 1001);
    }
    Reset();
}

void TformDownload::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    shell::Settings& s = *setup_.settings;
    login_.store(s);
    if (download_)
        download_->abort();
}

void TformDownload::closeEvent(QCloseEvent* event) {
    if (importing_) {
        event->ignore();
        return;
    }
    FormClose();
    QDialog::closeEvent(event);
}

void TformDownload::done(int result) {
    if (importing_)
        return;
    FormClose();
    QDialog::done(result);
}

} // namespace tarmelo::gui
