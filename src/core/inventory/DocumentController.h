#pragma once

#include "csv/InventoryCheck.h"
#include "inventory/Archive.h"
#include "inventory/ArchiveLock.h"
#include "inventory/Backups.h"
#include "inventory/Document.h"
#include "util/Clock.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace tarmelo::inventory {

// What the document controller asks of the window that shows the document. The controller decides what happens
// and words every message; the view only shows, asks and lays out.
class DocumentView {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~DocumentView() = default;

    // "Save the changes?": Yes saves first, No goes on without saving, Cancel stops the pending command.
    virtual Answer askSave(const QString& question) = 0;
    virtual bool confirm(const QString& question) = 0;
    virtual void error(const QString& message) = 0;
    virtual void warning(const QString& message) = 0;
    // Empty when the person cancelled.
    virtual QString openFileName(const QString& caption) = 0;
    virtual QString saveFileName() = 0;

    // The store step: the record shown takes the edits of its controls.
    virtual void storeShown() = 0;
    // The show step of row (-1: no vehicle).
    virtual void showVehicle(int row) = 0;
    // Selects row in the list the way a click does.
    virtual void selectVehicle(int row) = 0;
    // A vehicle breaks a rule: show it and the control at fault.
    virtual void reportFailure(const csv::InventoryFailure& failure) = 0;
    virtual void clearStatus() = 0;

    // While a file is read or written the editor takes no input; reading also shows the import panel.
    virtual void hold(bool hold) = 0;
    virtual void showImport(bool shown) = 0;
    // 0..100; 0 after the work.
    virtual void progress(int percent) = 0;
};

// The open document's life: new, open, insert, save, the unsaved-changes question, the lock against other
// instances, the busy flag and the selection protocol. No widgets: the window implements DocumentView, and tests
// drive the controller without one.
class DocumentController : public QObject {
    Q_OBJECT
public:
    DocumentController(Document* document, DocumentView* view, QObject* parent = nullptr);

    Document* document() const { return doc_; }
    void setClock(Clock clock) { clock_ = std::move(clock); }
    const Clock& clock() const { return clock_; }

    bool isBusy() const { return busy_; }
    void setBusy(bool busy);

    // The row whose record the view shows (-1: none).
    int shownRow() const { return shownRow_; }
    // The one path of every selection change: stores the record shown so far, then shows the new one.
    void selectionChanged(int row);
    // Shows row without storing the record left (it is going away or was just replaced).
    void showRow(int row);

    // The unsaved-changes question; false when the pending command must not go on.
    bool askSaveChanges();
    void newDocument();
    void openFile();
    void openRecent(int n);
    void insertFile();
    // Opens an inventory file; insert adds its vehicles to the inventory shown.
    void read(const QString& path, bool insert);
    // The file named on the command line, if any (empty: none).
    void openAtStart(const QString& argument);
    // Opens a file (a backup) as a new, unsaved document that belongs to no file: nothing is ever saved over it.
    void openCopy(const QString& path);
    // Writes vehicles first..last; ask asks for the target; single exports one vehicle alone.
    void save(int first, int last, bool ask, bool single);
    // Whether the document may go: not busy and no unsaved change the person wants to keep. Releases the lock.
    bool close();

    // Where a save keeps the archive it replaces; no backups while unset.
    void setBackupPlace(std::optional<BackupPlace> place) { backupPlace_ = std::move(place); }
    // The next save of the whole document names the archive it replaces as the one before this change (a renaming,
    // a price change), unless an earlier change since the last save named it already.
    void noteChangeBefore(BackupCause cause) {
        if (pendingCause_ == BackupCause::Save)
            pendingCause_ = cause;
    }
    // The document's file holds stock data of a later version: a save never goes over it.
    bool isReadOnly() const { return readOnly_; }

    // The archive held against other instances (empty: none).
    QString lockedArchive() const { return lock_ ? lock_->archive() : QString(); }

    // Tests: failures the system would give while an archive is saved.
    void setSaveFaults(std::function<int(WriteStage)> faults) { saveFaults_ = std::move(faults); }
    // Tests: runs on the thread that writes an archive, right before (true) and after (false) the write.
    void setSaveThreadHook(std::function<void(bool before)> hook) { saveThreadHook_ = std::move(hook); }

    // Runs work on a thread of its own while this thread's event loop goes on: the window repaints, and input
    // meets the commands as the busy flag leaves them instead of waiting for the work to end.
    static void runOffThread(const std::function<void()>& work);

signals:
    void busyChanged(bool busy);

private:
    void emptyInventory();
    void holdEditor(bool hold);
    void appendInPortions(model::Inventory vehicles);
    // Takes the lock of the archive; false (after the message) when another instance holds it.
    bool lockDocumentFile(const QString& path);
    // Whether a save may replace target: not held by another instance, and not changed since it was read or
    // written here unless the person says so. A lock taken for a new target is handed back in taken.
    bool mayReplace(const QString& target, std::unique_ptr<ArchiveLock>& taken);
    // Progress from a worker thread, delivered on this object's thread.
    std::function<void(int)> progressFromThread(int scaleTenths);

    Document* doc_;
    DocumentView* view_;
    Clock clock_ = systemClock();
    bool busy_ = false;
    int shownRow_ = -1;
    std::unique_ptr<ArchiveLock> lock_;
    FileStamp stamp_; // the document's file as last read or written here
    std::function<int(WriteStage)> saveFaults_;
    std::function<void(bool)> saveThreadHook_;
    std::optional<BackupPlace> backupPlace_;
    BackupCause pendingCause_ = BackupCause::Save;
    bool backupWarned_ = false; // a failing backup warns once, then the saves go on quietly
    bool readOnly_ = false;
};

} // namespace tarmelo::inventory
