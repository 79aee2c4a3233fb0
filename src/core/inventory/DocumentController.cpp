#include "inventory/DocumentController.h"

#include "inventory/CsvFile.h"
#include "inventory/RecentFiles.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <utility>

namespace tarmelo::inventory {

namespace {

const QString kUntitled = QStringLiteral("Unbenannt");

QString missingFileMessage(const QString& path) {
    return QStringLiteral("Die angegebene Datei \"%1\" existiert nicht!").arg(QFileInfo(path).fileName());
}

} // namespace

DocumentController::DocumentController(Document* document, DocumentView* view, QObject* parent)
    : QObject(parent), doc_(document), view_(view) {}

void DocumentController::setBusy(bool busy) {
    busy_ = busy;
    emit busyChanged(busy);
}

void DocumentController::selectionChanged(int row) {
    if (row == shownRow_)
        return;
    // The record that is left takes the edits of the controls first.
    view_->storeShown();
    showRow(row);
}

void DocumentController::showRow(int row) {
    shownRow_ = row >= 0 && row < doc_->count() ? row : -1;
    view_->showVehicle(shownRow_);
}

void DocumentController::emptyInventory() {
    // Nothing of the records is kept, so the shown one is released without storing it.
    showRow(-1);
    doc_->clear();
    readOnly_ = false;
    pendingCause_ = BackupCause::Save;
}

void DocumentController::runOffThread(const std::function<void()>& work) {
    // A thread of its own, joined here: the libraries' per-thread state ends with it.
    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
}

void DocumentController::holdEditor(bool hold) {
    // The view keeps the focus before the busy flag disables anything, and gives it back after it is lifted.
    if (hold) {
        view_->hold(true);
        setBusy(true);
    } else {
        setBusy(false);
        view_->hold(false);
    }
}

std::function<void(int)> DocumentController::progressFromThread(int scaleTenths) {
    QPointer<DocumentController> self = this;
    return [self, scaleTenths](int percent) {
        QMetaObject::invokeMethod(
            self,
            [self, percent, scaleTenths] {
                if (self)
                    self->view_->progress(percent * scaleTenths / 10);
            },
            Qt::QueuedConnection);
    };
}

bool DocumentController::askSaveChanges() {
    if (doc_->count() == 0 || doc_->isSaved())
        return true;
    const QString docName = doc_->name();
    const QString name = QFileInfo(docName.isEmpty() ? kUntitled : docName).fileName();
    const auto answer = view_->askSave(QStringLiteral("Möchten Sie die Änderungen in \"%1\" speichern?").arg(name));
    if (answer == DocumentView::Answer::Cancel)
        return false;
    if (answer == DocumentView::Answer::Yes) {
        save(0, doc_->count() - 1, false, false);
        return doc_->isSaved();
    }
    return true;
}

void DocumentController::newDocument() {
    if (busy_ || (doc_->count() == 0 && doc_->name() == kUntitled))
        return;
    if (!askSaveChanges())
        return;
    doc_->setName(kUntitled);
    lock_.reset();
    stamp_ = {};
    emptyInventory();
    doc_->markModified();
}

void DocumentController::openCopy(const QString& path) {
    if (busy_ || !askSaveChanges())
        return;
    doc_->setName(kUntitled);
    lock_.reset();
    stamp_ = {};
    emptyInventory();
    read(path, true);
}

void DocumentController::openRecent(int n) {
    if (busy_ || n < 1 || n > kRecentCount || doc_->recent().value(n - 1).isEmpty())
        return;
    const QString path = doc_->recent().value(n - 1);
    if (!QFileInfo::exists(path)) {
        view_->error(missingFileMessage(path));
        doc_->forgetRecent(n);
        return;
    }
    if (!askSaveChanges() || !lockDocumentFile(path))
        return;
    emptyInventory();
    read(path, false);
}

void DocumentController::openFile() {
    if (busy_ || !askSaveChanges())
        return;
    const QString path = view_->openFileName(QStringLiteral("Öffnen"));
    // A file another instance holds is refused before the inventory shown here is given up.
    if (path.isEmpty() || !lockDocumentFile(path))
        return;
    emptyInventory();
    read(path, false);
}

void DocumentController::insertFile() {
    if (busy_)
        return;
    const QString path = view_->openFileName(QStringLiteral("Einfügen"));
    if (!path.isEmpty())
        read(path, true);
}

void DocumentController::openAtStart(const QString& argument) {
    doc_->setName(kUntitled);
    if (argument.isEmpty())
        return;
    if (QFileInfo(argument).isFile())
        read(argument, false);
    else
        view_->error(missingFileMessage(argument));
}

bool DocumentController::close() {
    // The busy flag refuses at once: input is not held back while a file is read or written.
    if (busy_ || !askSaveChanges())
        return false;
    lock_.reset();
    return true;
}

bool DocumentController::lockDocumentFile(const QString& path) {
    if (lock_ && lock_->archive() == ArchiveLock::absolute(path))
        return true;
    auto lock = std::make_unique<ArchiveLock>();
    if (lock->take(path) == ArchiveLock::Result::HeldElsewhere) {
        view_->error(QStringLiteral("Die Datei \"%1\" ist bereits in einem anderen Tarmelo-Fenster geöffnet.\n\n"
                                    "Schließen Sie die Datei dort, bevor Sie sie hier öffnen.")
                         .arg(QFileInfo(path).fileName()));
        return false;
    }
    lock_ = std::move(lock);
    stamp_ = {};
    return true;
}

bool DocumentController::mayReplace(const QString& target, std::unique_ptr<ArchiveLock>& taken) {
    const bool ours = lock_ && lock_->archive() == ArchiveLock::absolute(target);
    if (!ours) {
        taken = std::make_unique<ArchiveLock>();
        if (taken->take(target) == ArchiveLock::Result::HeldElsewhere) {
            taken.reset();
            view_->warning(QStringLiteral("Die Datei \"%1\" ist in einem anderen Tarmelo-Fenster geöffnet und "
                                          "kann hier nicht gespeichert werden.\n\nSpeichern Sie unter einem "
                                          "anderen Namen oder schließen Sie die Datei dort.")
                               .arg(QFileInfo(target).fileName()));
            return false;
        }
        return true;
    }
    if (!stamp_.exists)
        return true;
    bool unchanged = true;
    const FileStamp stamp = stamp_;
    runOffThread([&] { unchanged = unchangedSince(target, stamp); });
    if (unchanged)
        return true;
    return view_->confirm(QStringLiteral("Die Datei \"%1\" wurde seit dem Öffnen oder letzten Speichern "
                                         "außerhalb dieses Fensters geändert.\n\nMöchten Sie sie trotzdem "
                                         "überschreiben? Die Änderungen in der Datei gehen dabei verloren.")
                              .arg(QFileInfo(target).fileName()));
}

void DocumentController::save(int first, int last, bool ask, bool single) {
    if (busy_ || first < 0 || last < first || last >= doc_->count())
        return;
    view_->storeShown();
    view_->clearStatus();
    // The rules first: a vehicle that breaks one stops the save before any file is touched.
    const KeyMode mode = doc_->automaticIntNr() ? KeyMode::Automatic : KeyMode::Typed;
    const CsvLines lines = buildLines(doc_->vehicles(), first, last, mode, clock_);
    if (!lines.ok()) {
        view_->reportFailure(*lines.failure);
        return;
    }
    QString target;
    const QString docName = doc_->name();
    if (ask || single || readOnly_ || docName.isEmpty() || docName == kUntitled)
        target = view_->saveFileName();
    else
        target = docName;
    if (target.isEmpty() || target == kUntitled)
        return;
    target = archivePath(target);
    if (readOnly_ && ArchiveLock::absolute(target) == ArchiveLock::absolute(docName)) {
        view_->error(QStringLiteral("Die Datei \"%1\" ist schreibgeschützt geöffnet und wird nicht überschrieben."
                                    "\n\nSpeichern Sie den Bestand unter einem anderen Namen.")
                         .arg(QFileInfo(target).fileName()));
        return;
    }

    holdEditor(true);
    std::unique_ptr<ArchiveLock> taken;
    if (!mayReplace(target, taken)) {
        holdEditor(false);
        return;
    }
    // Entry and sale dates and price changes go into the file written now.
    if (!single)
        doc_->recordStockChanges(clock_().date());
    WriteOptions options;
    options.progress = progressFromThread(10);
    options.inject = saveFaults_;
    // The thread writes a copy of the array: implicitly shared, so nothing is copied while the editor is held.
    const model::Inventory vehicles = doc_->vehicles();
    const QByteArray csv = lines.fileData();
    SaveResult r;
    FileStamp written;
    BackupResult backup;
    const std::optional<BackupPlace> place = backupPlace_;
    const BackupCause cause = single ? BackupCause::Save : pendingCause_;
    runOffThread([&] {
        // The archive as it is on disk, before the save replaces it; a failed backup never stops the save.
        if (place)
            backup = backupBeforeChange(target, cause, *place);
        if (saveThreadHook_)
            saveThreadHook_(true);
        r = writeArchive(target, csv, vehicles, first, last, options);
        if (saveThreadHook_)
            saveThreadHook_(false);
        if (r.ok() && !single)
            written = stampOf(target);
    });
    view_->progress(0);
    holdEditor(false);
    if (!backup.warning.isEmpty() && !std::exchange(backupWarned_, true))
        view_->warning(backup.warning);
    if (!r.ok()) {
        // Nothing was replaced: name, recent files and saved flag stay as they were.
        if (r.isError())
            view_->error(r.message());
        else
            view_->warning(r.message());
        return;
    }
    if (!single) {
        if (taken)
            lock_ = std::move(taken);
        stamp_ = written;
        doc_->setName(target);
        doc_->addToRecent(target);
        doc_->setSaved(true);
        pendingCause_ = BackupCause::Save;
        readOnly_ = false; // the document is now a file this version wrote
    }
}

void DocumentController::appendInPortions(model::Inventory vehicles) {
    // A large inventory joins the list in portions with the events handled between them, so the window
    // repaints and the progress moves instead of pausing until every row is there.
    constexpr qsizetype kPortion = 100;
    const qsizetype total = vehicles.size();
    for (qsizetype from = 0; from < total; from += kPortion) {
        const qsizetype n = std::min(kPortion, total - from);
        model::Inventory portion;
        portion.reserve(n);
        for (qsizetype i = from; i < from + n; ++i)
            portion.append(std::move(vehicles[i]));
        doc_->append(std::move(portion));
        view_->progress(90 + int(10 * (from + n) / total));
        // Input is handled now, not held back: the busy flag has every command that could disturb this off.
        QCoreApplication::processEvents();
    }
}

void DocumentController::read(const QString& path, bool insert) {
    if (busy_)
        return;
    if (!insert && !lockDocumentFile(path))
        return;
    holdEditor(true);
    view_->showImport(true);
    OpenResult r;
    FileStamp stamp;
    // Reading fills the first nine tenths of the bar, listing the vehicles the last tenth.
    const std::function<void(int)> progress = progressFromThread(9);
    runOffThread([&] {
        // Stamped before reading: a change made while it is read shows at the next save.
        if (!insert)
            stamp = stampOf(path);
        r = readInventoryFile(path, progress);
    });
    const bool taken = !r.vehicles.isEmpty();
    // The closing message counts the vehicles taken: it is worded before they move into the document.
    const QString message = r.message();
    appendInPortions(std::move(r.vehicles));
    if (!insert) {
        readOnly_ = r.ok() && r.readOnly;
        if (r.ok()) {
            stamp_ = stamp;
            doc_->setName(path);
            doc_->addToRecent(path);
            doc_->setSaved(true);
        } else {
            lock_.reset();
            stamp_ = {};
            doc_->setName(kUntitled);
        }
    } else if (taken) {
        doc_->markModified();
    }
    view_->showImport(false);
    view_->progress(0);
    if (doc_->count() > 0)
        view_->selectVehicle(0);
    holdEditor(false);
    if (!message.isEmpty()) {
        if (r.isError())
            view_->error(message);
        else
            view_->warning(message);
    }
    if (readOnly_ && !insert)
        view_->warning(r.readOnlyMessage);
}

} // namespace tarmelo::inventory
