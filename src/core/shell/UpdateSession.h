#pragma once

#include "shell/UpdatePackage.h"
#include "transfer/Network.h"

#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QTimer;

namespace tarmelo::shell {

// The online update from the staging folder to the unpacked files, without any window: asks the server whether
// updates are offered, reads and compares the version, downloads the archive with progress, checks digest and
// signature and unpacks it. Downloads run asynchronously; the caller's event loop keeps going.
class UpdateSession : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        UpToDate,      // nothing newer offered
        NewerOffered,  // checkOnly: a newer version is offered
        Unpacked,      // the new files wait in unpackDir()
        Cancelled,     // the cancel flag was seen at a cancel point
        Maintenance,   // updates are not offered now
        ServerMessage, // the server sent a message instead of the permission; message() holds it
        Failed,        // message() holds the warning
    };
    Q_ENUM(Outcome)

    struct Options {
        QString server;     // scheme://host[:port]
        QString stagingDir; // the "update" folder; deleted and created anew
        QString userAgent;  // the program file's name
        QByteArray publicKeyPem;
        bool checkOnly = false; // stop after the version comparison
        UnpackLimits limits;
        int transferTimeoutMs = 30000;
        int stallMs = 60000; // under 100 bytes/s over this long, the archive download gives up
    };

    explicit UpdateSession(Options options, QObject* parent = nullptr);
    ~UpdateSession() override;

    void start();
    // Between the steps the next cancel point stops; a download in progress stops at once.
    void cancel();
    bool isFinished() const { return done_; }

    Outcome outcome() const { return outcome_; }
    QString message() const { return message_; }
    bool messageWithHelp() const { return withHelp_; }
    QString serverVersion() const { return serverVersion_; }
    QString offeredVersion() const { return offeredVersion_; } // "3.71", once the version file was read
    QString unpackDir() const;
    QString archivePath() const;

    // The texts the update shows.
    static QString connectionFailedText();
    static QString maintenanceText();
    static QString noInformationText();
    static QString unprocessableText();
    static QString upToDateText();
    static QString downloadFailedText();
    static QString noLengthText();
    static QString readFailedText();
    static QString corruptText();
    static QString unpackFailedText();
    static QString integrateFailedText();
    static QString finishText();
    static QString stagingExistsText();
    static QString stagingCreateText();

signals:
    void entryAdded(int entry);
    void entryDone(int entry);
    void serverVersionKnown(const QString& shown);
    void progress(int percent, const QString& transfer, const QString& time);
    void progressCleared();
    void finished(tarmelo::shell::UpdateSession::Outcome outcome);

private:
    using Next = void (UpdateSession::*)();
    void fetch(const QString& path, const QString& file, Next onSuccess, const QString& failure, bool help);
    void cancelPoint(Next next);
    void finish(Outcome outcome, const QString& message = {}, bool help = false);
    QUrl url(const QString& path) const;
    QIODevice* get(const QString& path, qint64 readBufferSize = 0);
    QString staged(const QString& name) const;

    void stepSwitchDownloaded();
    void stepSwitchChecked();
    void stepVersionDownloaded();
    void stepVersionChecked();
    void stepArchiveRequested();
    void onArchiveMeta();
    void onArchiveData();
    void onArchiveFinished();
    void stepArchiveDone();
    void stepChecksumDownloaded();
    void stepSignatureDownloaded();
    void stepUnpack();
    void stepUnpacked();
    void reportProgress();

    Options o_;
    const transfer::NetworkModule* net_ = nullptr;
    QObject* session_ = nullptr;
    QPointer<QIODevice> reply_;
    bool cancelled_ = false;
    bool done_ = false;
    Outcome outcome_ = Outcome::Failed;
    QString message_;
    bool withHelp_ = false;
    QString serverVersion_;
    QString offeredVersion_;
    QTimer* speedTimer_ = nullptr;
    qint64 receivedAtCheck_ = 0;

    QFile archive_;
    qint64 length_ = 0;
    qint64 received_ = 0;
    bool lengthChecked_ = false;
    bool archiveFailed_ = false;
    double speed_ = 0;
    QElapsedTimer started_;
};

} // namespace tarmelo::shell
