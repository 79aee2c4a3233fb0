#include "shell/TformUpdate.h"

#include "common/Dialogs.h"
#include "shell/Help.h"
#include "shell/TformHint.h"
#include "shell/UpdateRules.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace tarmelo::gui {

namespace {

const char* const kEntries[] = {
    "Verbindung mit Update-Server herstellen",
    "Update-Informationen herunterladen",
    "Dateien herunterladen",
    "Dateien verifizieren",
    "Dateien verarbeiten",
    "Update abschließen",
};

} // namespace

QString TformUpdate::systemInstallationText() {
    return QStringLiteral("Diese Installation von Tarmelo wird über die Paketverwaltung Ihres Systems "
                          "aktualisiert. \"Update\" prüft nur, welche Version verfügbar ist; installiert wird sie "
                          "von der Paketverwaltung.");
}

TformUpdate::TformUpdate(UpdateContext context, std::optional<QDate>* lastUpdate, QWidget* parent)
    : QDialog(parent), ctx_(std::move(context)), lastUpdate_(lastUpdate) {
    setObjectName(QStringLiteral("formUpdate"));
    setWindowTitle(QStringLiteral("Online-Update"));
    setModal(true);

    auto* intro = new QGroupBox(QStringLiteral(" Tarmelo aktualisieren "), this);
    auto* icon = new QLabel(intro);
    icon->setPixmap(QIcon::fromTheme(QStringLiteral("system-software-update")).pixmap(32, 32));
    auto* text = new QLabel(
        QStringLiteral("Tarmelo wird in regelmäßigen Abständen den Spezifikationen der Karvento-Schnittstelle "
                       "angepasst und verbessert. Dieser Assistent ermöglicht Ihnen eine bequeme Aktualisierung der "
                       "Software. \n\nSchließen Sie einfach alle geöffneten Programme, starten Sie Ihre "
                       "Internetverbindung und klicken Sie auf \"Update\"."),
        intro);
    text->setWordWrap(true);
    auto* ih = new QHBoxLayout(intro);
    ih->addWidget(icon, 0, Qt::AlignTop);
    ih->addWidget(text, 1);

    auto* status = new QGroupBox(QStringLiteral(" Status "), this);
    auto* g = new QGridLayout(status);
    g->addWidget(new QLabel(QStringLiteral("Installierte Programmversion: "), status), 0, 0);
    lblClientVersion_ = new QLabel(status);
    lblClientVersion_->setObjectName(QStringLiteral("lblClientVersion"));
    g->addWidget(lblClientVersion_, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Verfügbare Programmversion: "), status), 1, 0);
    lblServerVersion_ = new QLabel(status);
    lblServerVersion_->setObjectName(QStringLiteral("lblServerVersion"));
    g->addWidget(lblServerVersion_, 1, 1);
    auto* line = new QFrame(status);
    line->setFrameShape(QFrame::HLine);
    g->addWidget(line, 2, 0, 1, 2);
    clbStatus_ = new QListWidget(status);
    clbStatus_->setObjectName(QStringLiteral("clbStatus"));
    clbStatus_->setMinimumSize(392, 57);
    clbStatus_->setSelectionMode(QAbstractItemView::SingleSelection);
    g->addWidget(clbStatus_, 3, 0, 1, 2);
    progressBar_ = new QProgressBar(status);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    progressBar_->setRange(0, 100);
    g->addWidget(progressBar_, 4, 0, 1, 2);
    lblTransfer_ = new QLabel(status);
    lblTransfer_->setObjectName(QStringLiteral("lblTransfer"));
    g->addWidget(lblTransfer_, 5, 0, 1, 2);
    lblTime_ = new QLabel(status);
    lblTime_->setObjectName(QStringLiteral("lblTime"));
    g->addWidget(lblTime_, 6, 0, 1, 2);
    lblSystem_ = new QLabel(systemInstallationText(), status);
    lblSystem_->setObjectName(QStringLiteral("lblSystem"));
    lblSystem_->setWordWrap(true);
    lblSystem_->setVisible(!ctx_.selfContained);
    g->addWidget(lblSystem_, 7, 0, 1, 2);

    auto* btnHelp = new QPushButton(QStringLiteral("&Hilfe"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnAbort_ = new QPushButton(QStringLiteral("&Abbrechen"), this);
    btnAbort_->setObjectName(QStringLiteral("btnAbort"));
    btnUpdate_ = new QPushButton(QStringLiteral("&Update"), this);
    btnUpdate_->setObjectName(QStringLiteral("btnUpdate"));
    btnUpdate_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch(1);
    buttons->addWidget(btnAbort_);
    buttons->addWidget(btnUpdate_);
    connect(btnHelp, &QPushButton::clicked, this, [] { Dialogs::showHelp(shell::kHelpUpdate); });
    Dialogs::bindHelpKey(this, shell::kHelpUpdate);
    connect(btnAbort_, &QPushButton::clicked, this, &TformUpdate::btnAbortClick);
    connect(btnUpdate_, &QPushButton::clicked, this, &TformUpdate::btnUpdateClick);

    auto* v = new QVBoxLayout(this);
    v->addWidget(intro);
    v->addWidget(status, 1);
    v->addLayout(buttons);
    setMinimumSize(430, 397);
    Reset();
}

TformUpdate::~TformUpdate() = default;

QString TformUpdate::scriptPath() const {
    return QDir(ctx_.dataFolder).filePath(QStringLiteral("update_self.sh"));
}

void TformUpdate::Reset() {
    if (session_) {
        session_->disconnect(this);
        session_->cancel();
        session_->deleteLater();
        session_ = nullptr;
    }
    lblClientVersion_->setText(shell::programVersionCaption());
    lblServerVersion_->setText(QStringLiteral("-"));
    clbStatus_->clear();
    clbStatus_->setStyleSheet(QStringLiteral("QListWidget { background: palette(button); }"));
    progressBar_->setValue(0);
    lblTransfer_->clear();
    lblTime_->clear();
    btnAbort_->setEnabled(false);
    btnUpdate_->setEnabled(true);
}

void TformUpdate::addEntry(int entry) {
    auto* item = new QListWidgetItem(QString::fromUtf8(kEntries[entry]), clbStatus_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    clbStatus_->setCurrentItem(item);
}

void TformUpdate::checkEntry(int entry) {
    if (entry < clbStatus_->count())
        clbStatus_->item(entry)->setCheckState(Qt::Checked);
}

void TformUpdate::btnUpdateClick() {
    if (session_)
        return;
    btnUpdate_->setEnabled(false);
    btnAbort_->setEnabled(true);
    clbStatus_->setStyleSheet(QStringLiteral("QListWidget { background: white; }"));
    shell::UpdateSession::Options o;
    o.server = ctx_.server;
    o.stagingDir = QDir(ctx_.dataFolder).filePath(QStringLiteral("update"));
    o.userAgent = ctx_.userAgent;
    o.publicKeyPem = ctx_.publicKeyPem;
    // A system installation is replaced by its package management only: the server is asked, nothing downloaded.
    o.checkOnly = !ctx_.selfContained;
    session_ = new shell::UpdateSession(o, this);
    connect(session_, &shell::UpdateSession::entryAdded, this, &TformUpdate::addEntry);
    connect(session_, &shell::UpdateSession::entryDone, this, &TformUpdate::checkEntry);
    connect(session_, &shell::UpdateSession::serverVersionKnown, lblServerVersion_, &QLabel::setText);
    connect(session_, &shell::UpdateSession::progress, this, [this](int p, const QString& t, const QString& time) {
        progressBar_->setValue(p);
        lblTransfer_->setText(t);
        lblTime_->setText(time);
    });
    connect(session_, &shell::UpdateSession::progressCleared, this, [this] {
        progressBar_->setValue(0);
        lblTransfer_->clear();
        lblTime_->clear();
    });
    connect(session_, &shell::UpdateSession::finished, this, &TformUpdate::sessionFinished);
    session_->start();
}

void TformUpdate::btnAbortClick() {
    if (session_)
        session_->cancel();
}

void TformUpdate::reject() {
    // Closing while downloading cancels the download first.
    if (session_)
        session_->cancel();
    QDialog::reject();
}

void TformUpdate::sessionFinished(shell::UpdateSession::Outcome outcome) {
    using O = shell::UpdateSession::Outcome;
    const QString message = session_ ? session_->message() : QString();
    const bool help = session_ && session_->messageWithHelp();
    switch (outcome) {
    case O::UpToDate:
        Dialogs::information(this, message);
        *lastUpdate_ = ctx_.clock().date();
        accept();
        return;
    case O::ServerMessage:
        TformHint::showMessage(this, message);
        break;
    case O::Failed:
    case O::Maintenance:
        Dialogs::message(this, Dialogs::Kind::Warning, message,
                         help ? QMessageBox::Ok | QMessageBox::Help : QMessageBox::Ok, help ? shell::kHelpUpdate : 0);
        break;
    case O::Unpacked:
        return finishInstallation();
    case O::NewerOffered:
        Dialogs::information(this, shell::packageUpdateText(session_->offeredVersion()));
        *lastUpdate_ = ctx_.clock().date();
        accept();
        return;
    case O::Cancelled:
        break;
    }
    Reset();
}

void TformUpdate::finishInstallation() {
    addEntry(5);
    const QString unpack = session_->unpackDir();
    QSaveFile script(scriptPath());
    const QByteArray content = shell::updateScript(ctx_.pid, unpack, ctx_.installDir);
    if (!QFileInfo(ctx_.installDir).isWritable() || !script.open(QIODevice::WriteOnly) ||
        script.write(content) != content.size() || !script.commit()) {
        Dialogs::warning(this, shell::UpdateSession::integrateFailedText());
        return Reset();
    }
    checkEntry(5);
    Dialogs::information(this, shell::UpdateSession::finishText());
    QProcess::startDetached(QStringLiteral("/bin/sh"), {scriptPath()}, ctx_.installDir);
    *lastUpdate_ = ctx_.clock().date();
    mustEnd_ = true;
    accept();
}

} // namespace tarmelo::gui
