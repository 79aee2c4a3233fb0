#pragma once

#include "csv/VehicleChecks.h"
#include "inventory/Archive.h"
#include "inventory/ArchiveLock.h"
#include "inventory/Document.h"
#include "inventory/DocumentController.h"
#include "inventory/StockFilter.h"
#include "model/Fahrzeug.h"
#include "model/PriceChange.h"
#include "print/ReportData.h"
#include "shell/Servers.h"
#include "shell/Settings.h"
#include "util/Clock.h"

#include <QCollator>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolButton;

namespace tarmelo::gui {

class TformTipps;
struct UpdateContext;
class SearchBar;
class StockPanel;
class TformStockReport;
class VehicleList;
class VehiclePages;

// The inventory editor: the vehicle list above, the editing pages of the selected vehicle below. The document's
// life (open, save, the selection protocol) is the controller's; the window shows it.
class TformMain : public QMainWindow, private inventory::DocumentView {
    Q_OBJECT
public:
    // layoutCache: a file that keeps the window's designed size between runs (empty: none, the pages that give it
    // are built now).
    explicit TformMain(QWidget* parent = nullptr, const QString& layoutCache = {});

    // The open inventory; the window follows its signals.
    inventory::Document* document() const { return doc_; }
    inventory::DocumentController* controller() const { return control_; }
    const model::Inventory& vehicles() const { return doc_->vehicles(); }
    VehicleList* list() const { return list_; }
    VehiclePages* pages() const { return pages_; }
    QAction* action(const QString& name) const;
    const print::PrintChoice& printChoice() const { return printChoice_; }
    const shell::Settings& settings() const { return settings_; }
    // Reads the saved password from the keyring, once the window shows; one typed in the meantime stays. False when
    // the keyring did not answer.
    bool restoreSavedPassword();

    void setClock(Clock clock) {
        clock_ = clock;
        control_->setClock(std::move(clock));
    }
    bool isSaved() const { return doc_->isSaved(); }
    void setSaved(bool saved) { doc_->setSaved(saved); }
    bool isBusy() const { return control_->isBusy(); }
    bool automaticIntNr() const { return doc_->automaticIntNr(); }
    void setAutomaticIntNr(bool on) { doc_->setAutomaticIntNr(on); }
    // The row whose record the editing pages show (-1: none).
    int shownRow() const { return control_->shownRow(); }
    // The text of the status bar's message panel.
    QString statusMessage() const;
    QString hintText() const;

    // Replaces the inventory, e.g. with the vehicles of a file given at start.
    void setInventory(model::Inventory vehicles);

    // The settings of the last run: recent files, automatic numbers, geometry and column widths.
    void applySettings(const shell::Settings& settings);
    shell::Settings currentSettings() const;

    QString documentName() const { return doc_->name(); }
    QStringList recentFiles() const { return doc_->recent(); }
    void SetFileName(const QString& name);
    void SetOpenRecent(const QStringList& paths);
    void AddToRecent(const QString& path);
    // The unsaved-changes question; false when the pending command must not go on.
    bool askSaveChanges();
    // Opens an inventory file; insert adds its vehicles to the inventory shown.
    void ReadFile(const QString& path, bool insert);
    // The file named on the command line, if any (empty: none).
    void openAtStart(const QString& argument);
    // Writes vehicles first..last; ask shows the save dialog; single exports one vehicle alone.
    void CreateFile(int first, int last, bool ask, bool single);
    // Tests: failures the system would give while an archive is saved.
    void setSaveFaults(std::function<int(inventory::WriteStage)> faults) { control_->setSaveFaults(std::move(faults)); }
    // Tests: runs on the thread that writes an archive, right before (true) and after (false) the write.
    void setSaveThreadHook(std::function<void(bool before)> hook) { control_->setSaveThreadHook(std::move(hook)); }
    // Writes config.ini once closing goes ahead.
    void setSettingsWriter(std::function<void(const shell::Settings&)> writer) { settingsWriter_ = std::move(writer); }
    // The archive this window holds against other instances (empty: none).
    QString lockedArchive() const { return control_->lockedArchive(); }

public slots:
    void AddFahrzeug(int klasse);
    void actCopyExecute();
    void actRemoveExecute();
    void actCheckErrorsExecute();
    void sbAllgemeinClick();
    void sbAusstattungClick();
    void RefreshList();
    void ShowInStatus(const QString& message);
    // Selects a row the way a click does: the record left behind is stored first.
    void selectRow(int row);
    void actNeuExecute();
    void actLoadFileExecute();
    void actOpenVehicleExecute();
    void actOpenRecentExecute(int n);
    void actSaveFileExecute();
    void actSaveFileAsExecute();
    void actSaveVehicleExecute();
    void actSaveMobileExecute();
    void actLoadMobileExecute();
    void actTransferLogExecute();
    // "Sicherung wiederherstellen ...": a backup of the open inventory as a new document.
    void actRestoreBackupExecute();
    // "Bestand prüfen": the report of every failure and warning.
    void actCheckStockExecute();
    void refreshStockReport();
    // "Preise ändern": one change for every vehicle the list shows; "Preisänderung rückgängig" takes it back.
    void actChangePricesExecute();
    void actUndoPricesExecute();
    // Printing and bulk renaming (TformMainPrint.cpp).
    void actPrintExecute();
    void actUpdateIntNrExecute();
    // Enables every command to suit the moment.
    void ActionManager1Update();

    // Application shell (TformMainShell.cpp).
    void actTippsExecute();
    void actInfoExecute();
    void actUpdateExecute();
    void actResetAreaExecute();
    void openWebLink(const QString& command);
    // The tips and the update reminder of the first activation; the file time stands in when no update is known.
    void startUpShell(const std::optional<QDateTime>& programFileTime);
    // Runs work once the window has been painted for the first time (at once when it has been).
    void afterFirstPaint(std::function<void()> work);
    // The tips window, made hidden when first asked for: the start does not wait for it.
    TformTipps* tipsWindow();
    void setServers(const shell::Servers& servers) { servers_ = servers; }
    // Tests: changes where the update comes from.
    void setUpdateAdjuster(std::function<void(UpdateContext&)> adjust) { adjustUpdate_ = std::move(adjust); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildNextClass();
    void firstPainted();
    void buildMenus();
    void buildShellMenus(QAction* help);
    UpdateContext updateContext() const;
    void remindOfPackageUpdate(const UpdateContext& context);
    static void ensureIconTheme();
    QWidget* buildControlPanel();
    QWidget* buildNavigation();
    void buildStatusBar();
    void showStep(int row);
    void refreshRow(int row);
    void ItemChange(bool storeNow);
    void setBusy(bool busy);
    // The window's restored rectangle fitted onto the screens as they are now.
    void placeOnScreen(QRect rect);
    void updateCommands() { ActionManager1Update(); }
    void connectDocument();
    void bindPhotos();
    void connectPhotos(int klasse);
    void showHint(const QString& hint);
    void switchPage(int page);
    void setPhotoIndicator(int count, bool anyVehicle);
    // Shows the rows the search bar lets through and counts them in the status line.
    void applyFilter();
    void showFilterCount();
    // Shows the rows in the order of the header the dealer clicked last.
    void applySort();
    // The lights and days in stock of every row, soon after a change (several changes make one update).
    void scheduleLights();
    void updateLights();
    // Makes a row the search or the view hides visible again: the search is cleared, the view follows its status.
    void revealRow(int row);
    void setShownStatus(model::StockStatus status);
    // Selects the vehicle, opens the page and tab of the control concerned and focuses it; the message goes to the
    // status line after prefix.
    void showFinding(int index, const csv::CheckFailure& detail, const QString& prefix);
    void markModified() { doc_->markModified(); }

    // What the document controller asks of the window.
    Answer askSave(const QString& question) override;
    bool confirm(const QString& question) override;
    void error(const QString& message) override;
    void warning(const QString& message) override;
    QString openFileName(const QString& caption) override;
    QString saveFileName() override;
    void storeShown() override { RefreshList(); }
    void showVehicle(int row) override { showStep(row); }
    void selectVehicle(int row) override;
    void reportFailure(const csv::InventoryFailure& failure) override;
    void clearStatus() override { ShowInStatus(QString()); }
    void hold(bool hold) override;
    void showImport(bool shown) override;
    void progress(int percent) override;

    inventory::Document* doc_ = nullptr;
    inventory::DocumentController* control_ = nullptr;
    Clock clock_ = systemClock();
    bool sync_ = true;
    int pageFlag_ = 0;
    int shownClass_ = 0; // class whose photo group holds the shown vehicle

    VehicleList* list_ = nullptr;
    SearchBar* searchBar_ = nullptr;
    inventory::StockFilter filter_;
    QCollator collator_{QLocale(QLocale::German, QLocale::Germany)};
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QTimer* lightsTimer_ = nullptr;
    StockPanel* stockPanel_ = nullptr;
    QLabel* lblFilter_ = nullptr;
    TformStockReport* stockReport_ = nullptr;
    std::optional<model::PricePreview> priceUndo_;
    VehiclePages* pages_ = nullptr;
    QMenu* addMenu_ = nullptr;
    QLabel* lblEintrag_ = nullptr;
    QLabel* lblBild_ = nullptr;
    QToolButton* sbAllgemein_ = nullptr;
    QToolButton* sbAusstattung_ = nullptr;
    QLabel* lblTypTag_ = nullptr;
    QLabel* lblTyp_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QLabel* lblHint_ = nullptr;
    QWidget* plNavigation_ = nullptr;
    QLabel* plImport_ = nullptr;
    std::function<void(const shell::Settings&)> settingsWriter_;
    bool settingsWritten_ = false;
    QRect normalRect_; // the restored rectangle, also while maximized
    QWidget* pageArea_ = nullptr;
    QWidget* plControl_ = nullptr;
    QPointer<QWidget> heldFocus_;
    shell::Settings settings_;
    print::PrintChoice printChoice_;
    QProgressBar* progress_ = nullptr;
    QTimer* timerStat_ = nullptr;
    TformTipps* tips_ = nullptr;
    shell::Servers servers_;
    QSize designedSize_;
    QList<int> designedColumns_;
    std::function<void(UpdateContext&)> adjustUpdate_;
    bool painted_ = false;
    QList<std::function<void()>> afterPaint_;
};

} // namespace tarmelo::gui
