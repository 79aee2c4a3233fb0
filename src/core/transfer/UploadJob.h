#pragma once

#include "transfer/Upload.h"

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <thread>

namespace tarmelo::transfer {

// Runs ftpStore on a thread of its own and reports to the owner's thread by queued signals, so the window
// repaints and the abort button works throughout.
class UploadJob : public QObject {
    Q_OBJECT
public:
    explicit UploadJob(QObject* parent = nullptr) : QObject(parent) {}
    // Stops a running transfer at its next progress event and waits for the thread.
    ~UploadJob() override;

    void start(const QString& localFile, const FtpTarget& target);
    void abort() { abort_ = true; }
    bool running() const { return running_; }

signals:
    void loggedIn();
    void secured(bool encrypted);
    void workBegin(qint64 total);
    void work(qint64 done);
    void workEnd();
    void finished(tarmelo::transfer::FtpResult result);

private:
    std::thread thread_;
    std::atomic<bool> abort_{false};
    bool running_ = false;
};

} // namespace tarmelo::transfer

Q_DECLARE_METATYPE(tarmelo::transfer::FtpResult)
