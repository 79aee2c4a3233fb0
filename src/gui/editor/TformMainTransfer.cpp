// The marketplace commands of the main window: upload and stock download.

#include "common/Dialogs.h"
#include "csv/LineWriter.h"
#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "shell/Servers.h"
#include "transfer/PasswordStore.h"
#include "transfer/TformDownload.h"
#include "transfer/TformTransferLog.h"
#include "transfer/TformUpload.h"
#include "transfer/Upload.h"

#include <QCoreApplication>
#include <QDir>

namespace tarmelo::gui {

namespace {

// servers.ini named by TARMELO_SERVERS, else the one beside config.ini.
shell::Servers transferServers() {
    const QString named = qEnvironmentVariable("TARMELO_SERVERS");
    return shell::loadServersFile(named.isEmpty() ? shell::serversPath(QCoreApplication::applicationDirPath()) : named);
}

QString dataFile(const char* name) {
    const QString folder = shell::dataFolder(QCoreApplication::applicationDirPath());
    QDir().mkpath(folder);
    return QDir(folder).filePath(QString::fromLatin1(name));
}

// The web session lives as long as the program, as a browser's would: the next download finds it. Made with the
// first download, which opens the network module.
QObject* webSession() {
    static QObject* session = transfer::newNetworkSession(QCoreApplication::instance());
    return session;
}

} // namespace

void TformMain::actSaveMobileExecute() {
    if (isBusy() || doc_->count() == 0)
        return;
    RefreshList();
    ShowInStatus(QString());
    // Sold vehicles stay at home: the check, the preview and the archive see the others alone. Nothing leaves for
    // the marketplace while one of those breaks a rule.
    if (auto f = transfer::checkForUpload(doc_->vehicles(), doc_->automaticIntNr(), clock_().date())) {
        reportFailure(*f);
        return;
    }
    const model::Inventory sent = transfer::forUpload(doc_->vehicles());
    if (sent.isEmpty()) {
        Dialogs::information(this, QStringLiteral("Alle Fahrzeuge sind als verkauft markiert: Es gibt nichts "
                                                  "hochzuladen."));
        return;
    }
    TformUpload::Setup setup;
    setup.vehicles = &sent;
    setup.settings = &settings_;
    setup.automaticIntNr = doc_->automaticIntNr();
    setup.clock = clock_;
    setup.servers = transferServers();
    setup.uploadPath = dataFile(transfer::kUploadFile);
    setup.recordPath = dataFile(transfer::kUploadRecordFile);
    setup.logPath = dataFile(transfer::kTransferLogFile);
    setup.documentName = doc_->name();
    setup.keyringNote = !PasswordStore::available();
    TformUpload dialog(setup, this);
    dialog.exec();
}

bool TformMain::restoreSavedPassword() {
    shell::Settings read = settings_;
    const bool answered = restorePassword(read);
    if (settings_.Password.isEmpty())
        settings_.Password = read.Password;
    return answered;
}

void TformMain::actTransferLogExecute() {
    TformTransferLog dialog(dataFile(transfer::kTransferLogFile), this);
    dialog.exec();
}

void TformMain::actLoadMobileExecute() {
    if (isBusy())
        return;
    actNeuExecute();
    if (doc_->count() > 0)
        return;
    TformDownload::Setup setup;
    setup.settings = &settings_;
    setup.servers = transferServers();
    setup.downloadPath = dataFile(transfer::kDownloadFile);
    setup.logPath = dataFile(transfer::kTransferLogFile);
    setup.session = webSession();
    setup.keyringNote = !PasswordStore::available();
    setup.import = [this](const QString& path) {
        ReadFile(path, true);
        // Saved over an existing stock, the downloaded one leaves the replaced archive as "vor Download".
        control_->noteChangeBefore(inventory::BackupCause::BeforeDownload);
    };
    TformDownload dialog(setup, this);
    dialog.exec();
}

} // namespace tarmelo::gui
