#pragma once

#include "shell/Servers.h"
#include "shell/Settings.h"
#include "transfer/Download.h"
#include "transfer/LoginForm.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace tarmelo::gui {

// "Fahrzeugbestand herunterladen": the web log-in, the stock archive and its import.
class TformDownload : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        shell::Settings* settings = nullptr; // log-in values, read and written back at closing
        shell::Servers servers;
        QString downloadPath;                            // tmq_download.zip in the data folder
        QString logPath;                                 // the transfer history; empty: none kept
        QObject* session = nullptr;                      // the log-in, kept between openings; null: one per opening
        std::function<void(const QString& path)> import; // reads the file into the inventory
        int settleMs = transfer::settleMs();
        bool keyringNote = false;
    };
    explicit TformDownload(Setup setup, QWidget* parent = nullptr);

    enum Page { LoginPage, ProgressPage };
    int currentPage() const;

public slots:
    void btnStartClick();
    void btnAbortClick();
    void btnHelpClick();
    void Reset();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void FormCreate();
    void FormClose();
    void downloadFinished(transfer::DownloadFailure f);

    Setup setup_;
    transfer::StockDownload* download_ = nullptr;
    bool closed_ = false;
    bool importing_ = false; // the archive is read into the inventory: closing waits for it

    QStackedWidget* pages_ = nullptr;
    LoginForm login_;
    QLabel* lbl_vorgang = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QProgressBar* Animate1 = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* btnStart = nullptr;
};

} // namespace tarmelo::gui
