#pragma once

#include "model/Fahrzeug.h"
#include "shell/Servers.h"
#include "shell/Settings.h"
#include "transfer/LoginForm.h"
#include "transfer/TransferLog.h"
#include "transfer/UploadJob.h"
#include "transfer/UploadRecord.h"
#include "util/Clock.h"

#include <QDialog>
#include <QElapsedTimer>

#include <thread>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace tarmelo::gui {

// "Fahrzeugbestand hochladen": log-in, building tmq_upload.zip, the FTP transfer and its completion.
class TformUpload : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        const model::Inventory* vehicles = nullptr;
        shell::Settings* settings = nullptr; // log-in values and ResetDays, read and written back at closing
        bool automaticIntNr = true;
        Clock clock = systemClock();
        shell::Servers servers;
        QString uploadPath;       // tmq_upload.zip in the data folder
        QString recordPath;       // the last upload per user and server; empty: none kept
        QString logPath;          // the transfer history; empty: none kept
        QString documentName;     // the inventory's file, for the history
        bool keyringNote = false; // the password can only be kept scrambled in config.ini
    };
    explicit TformUpload(Setup setup, QWidget* parent = nullptr);
    ~TformUpload() override;

    enum Page { LoginPage, ProgressPage, DonePage };
    int currentPage() const;

public slots:
    void btnStartClick();
    void btnAbortClick();
    void btnCloseClick() { close(); }
    void btnHelpClick();
    void Reset();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void FormCreate();
    void FormActivate();
    void FormClose();
    void IdFTP1WorkBegin(qint64 total);
    void IdFTP1Work(qint64 done);
    void IdFTP1WorkEnd();
    void buildFinished(const transfer::BuildResult& built, const transfer::PhotoPrints& prints);
    void transferFinished(const transfer::FtpResult& r);
    void showPage(Page p);
    // The difference the upload makes against the last one of the user now entered.
    void showPreview();
    std::optional<transfer::UploadManifest> lastUpload() const;
    void note(const transfer::TransferRecord& record);

    Setup setup_;
    transfer::UploadJob* job_ = nullptr;
    // A thread of its own, ended with the build: the random generator libzip draws its temporary name from
    // keeps state per thread, released only when that thread ends.
    std::thread build_;
    bool building_ = false;
    // The photos' CRCs for the preview, made beside the window's thread when the dialog opens.
    std::thread printing_;
    std::optional<transfer::PhotoPrints> prints_;
    // What is being sent, recorded once the server confirmed it.
    transfer::UploadManifest sending_;
    transfer::TransferRecord attempt_;
    bool transferInProgress_ = false;
    bool abortRequested_ = false;
    bool closed_ = false;
    QElapsedTimer started_;
    double speed_ = 0;
    qint64 total_ = 0;
    int scale_ = 1; // bytes per progress-bar unit (files beyond the bar's int range)

    QStackedWidget* pages_ = nullptr;
    LoginForm login_;
    QCheckBox* cbResetDays = nullptr;
    QLabel* lbl_changes = nullptr;
    QTreeWidget* tvChanges = nullptr;
    QLabel* lblEncryption = nullptr;
    QLabel* lbl_vehicles = nullptr;
    QLabel* lbl_pics = nullptr;
    QLabel* lbl_vorgang = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnClose = nullptr;
};

} // namespace tarmelo::gui
