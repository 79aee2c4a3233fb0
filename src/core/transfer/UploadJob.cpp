#include "transfer/UploadJob.h"

#include <QMetaObject>

namespace tarmelo::transfer {

UploadJob::~UploadJob() {
    abort_ = true;
    if (thread_.joinable())
        thread_.join();
}

void UploadJob::start(const QString& localFile, const FtpTarget& target) {
    if (thread_.joinable())
        thread_.join();
    abort_ = false;
    running_ = true;
    thread_ = std::thread([this, localFile, target] {
        // Progress goes out at most every 50 ms and at the end: enough for the eye, light on the event queue.
        QElapsedTimer sinceLast;
        qint64 total = 0;
        FtpEvents events;
        events.loggedIn = [this] { emit loggedIn(); };
        events.secured = [this](bool encrypted) { emit secured(encrypted); };
        events.workBegin = [this, &total, &sinceLast](qint64 t) {
            total = t;
            sinceLast.start();
            emit workBegin(t);
        };
        events.work = [this, &total, &sinceLast](qint64 done) {
            if (done < total && sinceLast.isValid() && sinceLast.elapsed() < 50)
                return;
            sinceLast.restart();
            emit work(done);
        };
        events.workEnd = [this] { emit workEnd(); };
        events.abort = &abort_;
        const FtpResult r = ftpStore(localFile, target, events);
        QMetaObject::invokeMethod(
            this,
            [this, r] {
                running_ = false;
                if (thread_.joinable())
                    thread_.join();
                emit finished(r);
            },
            Qt::QueuedConnection);
    });
}

} // namespace tarmelo::transfer
