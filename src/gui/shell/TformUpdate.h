#pragma once

#include "shell/UpdateSession.h"
#include "util/Clock.h"

#include <QDate>
#include <QDialog>
#include <optional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace tarmelo::gui {

// Where the update comes from and what it replaces.
struct UpdateContext {
    QString server;     // scheme://host[:port]
    QString dataFolder; // holds the staging folder "update" and the script
    QString installDir; // replaced after the program has ended
    bool selfContained = false;
    QByteArray publicKeyPem;
    QString userAgent;
    qint64 pid = 0; // the program the script waits for
    Clock clock = systemClock();
};

// "Online-Update": checks the server, downloads, verifies and unpacks the new version and hands the replacement to
// a script that runs once the program has ended.
class TformUpdate : public QDialog {
    Q_OBJECT
public:
    TformUpdate(UpdateContext context, std::optional<QDate>* lastUpdate, QWidget* parent);
    ~TformUpdate() override;

    void btnUpdateClick();
    void btnAbortClick();
    // The replacement is prepared: the program must end now.
    bool programMustEnd() const { return mustEnd_; }
    // The detached script started (tests: its path).
    QString scriptPath() const;
    static QString systemInstallationText();

protected:
    void reject() override;

private:
    void Reset();
    void addEntry(int entry);
    void checkEntry(int entry);
    void sessionFinished(shell::UpdateSession::Outcome outcome);
    void finishInstallation();

    UpdateContext ctx_;
    std::optional<QDate>* lastUpdate_;
    shell::UpdateSession* session_ = nullptr;
    bool mustEnd_ = false;
    QLabel* lblClientVersion_ = nullptr;
    QLabel* lblServerVersion_ = nullptr;
    QListWidget* clbStatus_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* lblTransfer_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QLabel* lblSystem_ = nullptr;
    QPushButton* btnAbort_ = nullptr;
    QPushButton* btnUpdate_ = nullptr;
};

} // namespace tarmelo::gui
