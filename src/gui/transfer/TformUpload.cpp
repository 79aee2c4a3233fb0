#include "transfer/TformUpload.h"

#include "common/Dialogs.h"
#include "model/Cp1252.h"
#include "transfer/LoginForm.h"
#include "transfer/Upload.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

namespace {

QLabel* boldLabel(const QString& text) {
    auto* l = new QLabel(text);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

const char* const kNotes[] = {
    "Achten Sie darauf, die Übertragung Ihrer Fahrzeuge ",
    "nicht mehrmals kurz hintereinander zu starten, weil es ",
    "sonst zu Fehlern kommt. Warten Sie vor einer erneuten ",
    "Übertragung, bis Ihre Fahrzeugliste aktualisiert wurde (in ",
    "der Regel circa 30 min.). Nach der Verarbeitung der ",
    "übertragenen Fahrzeuge erhalten Sie eine E-Mail mit ",
    "dem Resultat der Übertragung. Das Versenden der ",
    "E-Mail kann je nach Auslastung auch längere Zeit in ",
    "Anspruch nehmen.",
};

} // namespace

TformUpload::TformUpload(Setup setup, QWidget* parent) : QDialog(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("formUpload"));
    setWindowTitle(QStringLiteral("Fahrzeugbestand hochladen"));
    setModal(true);

    pages_ = new QStackedWidget;
    pages_->setObjectName(QStringLiteral("PageControl1"));

    // Log-in page.
    auto* login = new QWidget;
    auto* form = new QFormLayout;
    login_ = LoginForm::addRows(form, setup_.keyringNote);
    lbl_vehicles = new QLabel;
    lbl_vehicles->setObjectName(QStringLiteral("lbl_vehicles"));
    lbl_pics = new QLabel;
    lbl_pics->setObjectName(QStringLiteral("lbl_pics"));
    form->addRow(boldLabel(QStringLiteral("Fahrzeuge:")), lbl_vehicles);
    form->addRow(boldLabel(QStringLiteral("Bilder:")), lbl_pics);
    cbResetDays = new QCheckBox(QStringLiteral("Standtage zurücksetzen"));
    cbResetDays->setObjectName(QStringLiteral("cbResetDays"));
    form->addRow(QString(), cbResetDays);
    // What the upload changes on the marketplace, before it is sent.
    auto* changes = new QGroupBox(QStringLiteral(" Änderungen gegenüber der letzten Übertragung "));
    changes->setObjectName(QStringLiteral("GroupBoxChanges"));
    auto* chl = new QVBoxLayout(changes);
    lbl_changes = new QLabel;
    lbl_changes->setObjectName(QStringLiteral("lbl_changes"));
    lbl_changes->setWordWrap(true);
    tvChanges = new QTreeWidget;
    tvChanges->setObjectName(QStringLiteral("tvChanges"));
    tvChanges->setRootIsDecorated(false);
    tvChanges->setUniformRowHeights(true);
    // The number is the one the marketplace receives (typed, automatic or time-stamped).
    tvChanges->setHeaderLabels({QStringLiteral("Änderung"), QStringLiteral("Interne Nr."), QStringLiteral("Fahrzeug"),
                                QStringLiteral("Bisherige Nr.")});
    tvChanges->setMinimumSize(520, 150);
    chl->addWidget(lbl_changes);
    chl->addWidget(tvChanges);
    auto* ll = new QVBoxLayout(login);
    ll->addLayout(form);
    ll->addWidget(changes, 1);

    // Progress page.
    auto* progress = new QWidget;
    auto* pl = new QVBoxLayout(progress);
    auto* vorgang = new QGroupBox(QStringLiteral(" Vorgang "));
    lbl_vorgang = new QLabel;
    lbl_vorgang->setObjectName(QStringLiteral("lbl_vorgang"));
    (new QVBoxLayout(vorgang))->addWidget(lbl_vorgang);
    auto* status = new QGroupBox(QStringLiteral(" Status "));
    auto* sl = new QVBoxLayout(status);
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    Label3 = new QLabel;
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4 = new QLabel;
    Label4->setObjectName(QStringLiteral("Label4"));
    sl->addWidget(ProgressBar1);
    sl->addWidget(Label3);
    sl->addWidget(Label4);
    pl->addWidget(vorgang);
    pl->addWidget(status);
    pl->addStretch();

    // Completion page.
    auto* done = new QWidget;
    auto* dl = new QVBoxLayout(done);
    auto* closing = new QGroupBox(QStringLiteral(" Abschluss der Übertragung "));
    auto* cl = new QVBoxLayout(closing);
    auto* success = new QLabel(QStringLiteral("Der Fahrzeugbestand wurde erfolgreich übertragen."));
    success->setObjectName(QStringLiteral("lblSuccess"));
    success->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0);"));
    cl->addWidget(success);
    cl->addWidget(new QLabel(QStringLiteral("Beachten Sie bitte folgende Hinweise:")));
    memo_ = new QPlainTextEdit;
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QStringList notes;
    for (const char* line : kNotes)
        notes.append(QString::fromUtf8(line));
    memo_->setPlainText(notes.join(u'\n'));
    cl->addWidget(memo_);
    dl->addWidget(closing);

    pages_->addWidget(login);
    pages_->addWidget(progress);
    pages_->addWidget(done);

    btnHelp = new QPushButton(QStringLiteral("&Hilfe"));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    btnAbort = new QPushButton(QStringLiteral("&Abbrechen"));
    btnAbort->setObjectName(QStringLiteral("btnAbort"));
    btnStart = new QPushButton(QStringLiteral("&Weiter >"));
    btnStart->setObjectName(QStringLiteral("btnStart"));
    btnStart->setDefault(true);
    btnClose = new QPushButton(QStringLiteral("&Fertig"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* b : {btnHelp, btnAbort, btnClose})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    buttons->addWidget(btnAbort);
    buttons->addWidget(btnStart);
    buttons->addWidget(btnClose);

    lblEncryption = new QLabel;
    lblEncryption->setObjectName(QStringLiteral("lblEncryption"));
    lblEncryption->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold;"));
    lblEncryption->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(lblEncryption);
    layout->addLayout(buttons);

    connect(btnStart, &QPushButton::clicked, this, &TformUpload::btnStartClick);
    connect(btnAbort, &QPushButton::clicked, this, &TformUpload::btnAbortClick);
    connect(btnClose, &QPushButton::clicked, this, &TformUpload::btnCloseClick);
    connect(btnHelp, &QPushButton::clicked, this, &TformUpload::btnHelpClick);

    job_ = new transfer::UploadJob(this);
    connect(job_, &transfer::UploadJob::loggedIn, this,
            [this] { lbl_vorgang->setText(QStringLiteral("[3/3]  Übertragung der Fahrzeuge ...")); });
    connect(job_, &transfer::UploadJob::workBegin, this, &TformUpload::IdFTP1WorkBegin);
    connect(job_, &transfer::UploadJob::work, this, &TformUpload::IdFTP1Work);
    connect(job_, &transfer::UploadJob::workEnd, this, &TformUpload::IdFTP1WorkEnd);
    connect(job_, &transfer::UploadJob::finished, this, &TformUpload::transferFinished);
    connect(job_, &transfer::UploadJob::secured, this, [this](bool encrypted) {
        if (!encrypted) {
            lblEncryption->setText(transfer::unencryptedNotice());
            lblEncryption->show();
        }
    });
    // Typing a user name looks up that user's last upload once the typing pauses.
    auto* typing = new QTimer(this);
    typing->setSingleShot(true);
    typing->setInterval(250);
    connect(typing, &QTimer::timeout, this, &TformUpload::showPreview);
    connect(login_.le_username, &QLineEdit::textChanged, typing, qOverload<>(&QTimer::start));
    connect(cbResetDays, &QCheckBox::toggled, this, &TformUpload::showPreview);
    FormCreate();
}

int TformUpload::currentPage() const {
    return pages_->currentIndex();
}

void TformUpload::showPage(Page p) {
    pages_->setCurrentIndex(p);
}

void TformUpload::FormCreate() {
    const shell::Settings& s = *setup_.settings;
    login_.fill(s);
    cbResetDays->setChecked(s.ResetDays);
    showPage(LoginPage);
    const model::Inventory& inv = *setup_.vehicles;
    int pics = 0;
    for (const model::TFahrzeug& v : inv)
        for (const QByteArray& b : v.bilder)
            pics += b.isEmpty() ? 0 : 1;
    lbl_vehicles->setText(QString::number(inv.size()));
    lbl_pics->setText(QString::number(pics));
    btnClose->setEnabled(false);
    btnClose->hide();
    btnAbort->setEnabled(false);
    ProgressBar1->hide();
    lbl_changes->setText(QStringLiteral("Die Änderungen werden ermittelt ..."));
    // A large stock's photos take a moment to fingerprint: beside the window's thread, once per opening.
    printing_ = std::thread([this, vehicles = setup_.vehicles] {
        transfer::PhotoPrints prints = transfer::photoPrints(*vehicles);
        QMetaObject::invokeMethod(
            this,
            [this, prints = std::move(prints)] {
                printing_.join();
                prints_ = prints;
                showPreview();
            },
            Qt::QueuedConnection);
    });
}

std::optional<transfer::UploadManifest> TformUpload::lastUpload() const {
    if (setup_.recordPath.isEmpty())
        return std::nullopt;
    return transfer::lastUpload(setup_.recordPath, login_.le_username->text(), setup_.servers.FtpServer);
}

void TformUpload::showPreview() {
    if (!prints_)
        return;
    const model::Inventory& inv = *setup_.vehicles;
    const inventory::CsvLines lines =
        inventory::buildLines(inv, 0, int(inv.size()) - 1,
                              transfer::uploadKeyMode(cbResetDays->isChecked(), setup_.automaticIntNr), setup_.clock);
    tvChanges->clear();
    if (!lines.ok()) {
        lbl_changes->setText(lines.failure->failure.message);
        return;
    }
    const transfer::UploadPreview p =
        transfer::comparePreview(lastUpload(), transfer::manifestOf(lines.lines, inv, *prints_));
    const QString since = p.previousKnown
                              ? QStringLiteral("Letzte Übertragung am %1 mit %2 Fahrzeugen: ")
                                    .arg(QLocale().toString(p.previousTime, QStringLiteral("dd.MM.yyyy HH:mm")))
                                    .arg(p.listed)
                              : QStringLiteral("Für diesen Benutzer ist keine frühere Übertragung bekannt: ");
    lbl_changes->setText(since + p.summary());
    QList<QTreeWidgetItem*> items;
    items.reserve(p.rows.size());
    for (const transfer::PreviewRow& r : p.rows)
        items.append(new QTreeWidgetItem(
            {transfer::changeText(r.change), model::fromCp1252(r.key), r.title, model::fromCp1252(r.oldKey)}));
    tvChanges->addTopLevelItems(items);
    for (int c = 0; c < tvChanges->columnCount(); ++c)
        tvChanges->resizeColumnToContents(c);
}

void TformUpload::note(const transfer::TransferRecord& record) {
    if (!setup_.logPath.isEmpty())
        transfer::appendTransferRecord(setup_.logPath, record);
}

void TformUpload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TformUpload::FormActivate() {
    if (currentPage() == LoginPage)
        login_.le_username->setFocus(Qt::OtherFocusReason);
}

void TformUpload::btnStartClick() {
    if (!btnStart->isEnabled())
        return;
    if (!login_.requireFilled(this))
        return;
    bool reset = cbResetDays->isChecked();
    if (reset && !setup_.automaticIntNr) {
        const auto answer = Dialogs::message(
            this, Dialogs::Kind::Question,
            QStringLiteral("Wenn Sie die Standtage zurücksetzen, werden alle eingegebenen internen Nummern verworfen\n"
                           "und nicht zu Karvento übertragen. Es wird empfohlen, die automatische Vergabe der "
                           "internen\nNummern zu aktivieren (Menü \"Fahrzeug\" > \"Interne Nummern\" > "
                           "\"Automatische Vergabe\").\n\nMöchten Sie die Standtage dennoch zurücksetzen?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel)
            return;
        reset = answer == QMessageBox::Yes;
    }

    btnStart->setEnabled(false);
    ProgressBar1->setValue(0);
    showPage(ProgressPage);
    lbl_vorgang->setText(QStringLiteral("[1/3]  Vorbereiten der Fahrzeugübertragung ..."));
    attempt_ = {};
    attempt_.time = QDateTime::currentDateTime();
    attempt_.user = login_.le_username->text();
    attempt_.server = setup_.servers.FtpServer;
    attempt_.file = setup_.documentName;

    // The archive of a large stock takes seconds to write: off the window's thread. The vehicles stay
    // untouched meanwhile, as the dialog is modal and does not close before the build has ended.
    building_ = true;
    build_ = std::thread([this, path = setup_.uploadPath, vehicles = setup_.vehicles,
                          mode = transfer::uploadKeyMode(reset, setup_.automaticIntNr), clock = setup_.clock,
                          known = prints_] {
        // The photos' CRCs serve the archive and the record of what was sent.
        const transfer::PhotoPrints prints = known ? *known : transfer::photoPrints(*vehicles);
        transfer::BuildResult built = transfer::buildUploadFile(path, *vehicles, mode, clock, {}, &prints);
        QMetaObject::invokeMethod(
            this,
            [this, built = std::move(built), prints] {
                build_.join();
                building_ = false;
                buildFinished(built, prints);
            },
            Qt::QueuedConnection);
    });
}

namespace {
QString oneLine(const QString& message) {
    return message.split(u'\n', Qt::SkipEmptyParts).join(u' ');
}
} // namespace

void TformUpload::buildFinished(const transfer::BuildResult& built, const transfer::PhotoPrints& prints) {
    if (closed_)
        return;
    if (!built.ok()) {
        if (built.errorBox)
            Dialogs::error(this, built.message);
        else
            Dialogs::warning(this, built.message);
        attempt_.result = oneLine(built.message);
        note(attempt_);
        Reset();
        return;
    }
    // The difference with the keys actually written; an upload that would empty most of the listing asks first.
    sending_ = transfer::manifestOf(built.lines, *setup_.vehicles, prints);
    sending_.time = attempt_.time;
    const transfer::UploadPreview preview = transfer::comparePreview(lastUpload(), sending_);
    transfer::noteCounts(attempt_, preview);
    if (preview.needsConfirmation() &&
        Dialogs::message(this, Dialogs::Kind::Question, preview.confirmationQuestion(),
                         QMessageBox::Yes | QMessageBox::No, 0, QMessageBox::No) != QMessageBox::Yes) {
        attempt_.result = QStringLiteral("nicht gesendet: Rückfrage verneint");
        note(attempt_);
        Reset();
        return;
    }

    ProgressBar1->show();
    btnAbort->setEnabled(true);
    const QString host = transfer::serverHost(setup_.servers.FtpServer);
    lbl_vorgang->setText(QStringLiteral("[2/3]  Verbindungsaufbau zu ") + host + QStringLiteral(" ..."));
    transferInProgress_ = false;
    abortRequested_ = false;
    job_->start(setup_.uploadPath,
                transfer::uploadTarget(setup_.servers, login_.le_username->text(), login_.le_password->text()));
}

void TformUpload::IdFTP1WorkBegin(qint64 total) {
    transferInProgress_ = true;
    abortRequested_ = false;
    total_ = total;
    scale_ = 1;
    while (total / scale_ > std::numeric_limits<int>::max())
        scale_ *= 1024;
    ProgressBar1->setMaximum(int(total / scale_));
    speed_ = 0;
    started_.start();
}

void TformUpload::IdFTP1Work(qint64 done) {
    const transfer::WorkTexts t = transfer::workTexts(done, total_, started_.elapsed(), speed_);
    speed_ = t.speed;
    Label3->setText(t.sent);
    Label4->setText(t.remaining);
    ProgressBar1->setValue(int(done / scale_));
}

void TformUpload::IdFTP1WorkEnd() {
    transferInProgress_ = false;
    speed_ = 0;
}

void TformUpload::transferFinished(const transfer::FtpResult& r) {
    transferInProgress_ = false;
    if (closed_)
        return;
    attempt_.bytes = r.bytes;
    attempt_.encrypted = r.encrypted;
    attempt_.reply = r.lastReply;
    if (r.ok()) {
        attempt_.result = QStringLiteral("übertragen");
        if (!setup_.recordPath.isEmpty())
            transfer::recordUpload(setup_.recordPath, attempt_.user, attempt_.server, sending_);
    } else {
        attempt_.result = r.failure == transfer::FtpFailure::Aborted || abortRequested_
                              ? QStringLiteral("abgebrochen")
                              : oneLine(transfer::ftpFailureMessage(r));
    }
    note(attempt_);
    if (!r.ok()) {
        if (!abortRequested_ && r.failure != transfer::FtpFailure::Aborted) {
            const auto kind = transfer::ftpFailureIsError(r.failure) ? Dialogs::Kind::Error : Dialogs::Kind::Warning;
            Dialogs::message(this, kind, transfer::ftpFailureMessage(r), QMessageBox::Ok,
                             transfer::ftpFailureHasHelp(r.failure) ? 1002 : 0);
        }
        Reset();
        return;
    }
    showPage(DonePage);
    btnAbort->setEnabled(false);
    btnStart->setEnabled(false);
    btnStart->hide();
    btnClose->setEnabled(true);
    btnClose->show();
    btnClose->setDefault(true);
    btnClose->setFocus(Qt::OtherFocusReason);
}

void TformUpload::Reset() {
    lblEncryption->hide();
    lbl_vorgang->clear();
    Label3->clear();
    Label4->clear();
    ProgressBar1->hide();
    showPage(LoginPage);
    btnStart->setEnabled(true);
    btnAbort->setEnabled(false);
    abortRequested_ = false;
    login_.le_username->setFocus(Qt::OtherFocusReason);
}

// Stops the transfer in every phase, while connecting and logging in too: a silent server must not hold it.
void TformUpload::btnAbortClick() {
    if (job_->running()) {
        abortRequested_ = true;
        job_->abort();
    }
    showPage(LoginPage);
    login_.le_username->setFocus(Qt::OtherFocusReason);
}

void TformUpload::btnHelpClick() {
    Dialogs::showHelp(1002);
}

void TformUpload::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    shell::Settings& s = *setup_.settings;
    login_.store(s);
    s.ResetDays = cbResetDays->isChecked();
    // A transfer still running ends with the dialog.
    if (job_->running()) {
        attempt_.result = QStringLiteral("abgebrochen");
        note(attempt_);
    }
    job_->abort();
}

TformUpload::~TformUpload() {
    if (build_.joinable())
        build_.join();
    if (printing_.joinable())
        printing_.join();
}

void TformUpload::closeEvent(QCloseEvent* event) {
    if (building_) {
        event->ignore(); // a moment until the archive is written; the transfer after it can be stopped
        return;
    }
    FormClose();
    QDialog::closeEvent(event);
}

void TformUpload::done(int result) {
    if (building_)
        return;
    FormClose();
    QDialog::done(result);
}

} // namespace tarmelo::gui
