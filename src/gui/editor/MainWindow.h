#pragma once

#include "inventory/Archive.h"
#include "model/Fahrzeug.h"
#include "print/ReportData.h"
#include "shell/Settings.h"
#include "util/Clock.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;
class QToolButton;

namespace tarmelo::gui {

class VehicleList;
class VehiclePages;

// The inventory editor: the vehicle list above, the editing pages of the selected vehicle below.
class TformMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TformMain(QWidget* parent = nullptr);

    model::Inventory& vehicles() { return vehicles_; }
    VehicleList* list() const { return list_; }
    VehiclePages* pages() const { return pages_; }
    QAction* action(const QString& name) const;
    const print::PrintChoice& printChoice() const { return printChoice_; }
    const shell::Settings& settings() const { return settings_; }

    void setClock(Clock clock) { clock_ = std::move(clock); }
    bool isSaved() const { return saved_; }
    void setSaved(bool saved) { saved_ = saved; }
    bool isBusy() const { return busy_; }
    bool automaticIntNr() const { return automaticIntNr_; }
    void setAutomaticIntNr(bool on);
    // The text of the status bar's message panel.
    QString statusMessage() const;

    // Replaces the inventory, e.g. with the vehicles of a file given at start.
    void setInventory(model::Inventory vehicles);

    // The settings of the last run: recent files, automatic numbers, geometry and column widths.
    void applySettings(const shell::Settings& settings);
    shell::Settings currentSettings() const;

    QString documentName() const { return docName_; }
    QStringList recentFiles() const { return recent_; }
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
    void setSaveFaults(std::function<int(inventory::WriteStage)> faults) { saveFaults_ = std::move(faults); }

public slots:
    void AddFahrzeug(int klasse);
    void actCopyExecute();
    void actRemoveExecute();
    void actCheckErrorsExecute();
    void sbAllgemeinClick();
    void sbAusstattungClick();
    void RefreshList();
    void ShowInStatus(const QString& message);
    void selectRow(int row);
    void actNeuExecute();
    void actLoadFileExecute();
    void actOpenVehicleExecute();
    void actOpenRecentExecute(int n);
    void actSaveFileExecute();
    void actSaveFileAsExecute();
    void actSaveVehicleExecute();
    // Printing and bulk renaming (MainWindowPrint.cpp).
    void actPrintExecute();
    void actUpdateIntNrExecute();
    // Enables every command to suit the moment.
    void ActionManager1Update();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildControlPanel();
    QWidget* buildNavigation();
    void buildStatusBar();
    void VehicleListChange(int current, int previous);
    void showStep(int row);
    void refreshRow(int row);
    void ItemChange(bool storeNow);
    void markModified();
    void setBusy(bool busy);
    void updateCommands() { ActionManager1Update(); }
    void showHint(const QString& hint);
    void emptyInventory();
    void appendVehicles(model::Inventory vehicles);
    void switchPage(int page);
    void setPhotoIndicator(int count, bool anyVehicle);
    void reportFailure(int index, const QString& message, const QString& control, int page, int tab);

    model::Inventory vehicles_;
    Clock clock_ = systemClock();
    bool saved_ = false;
    bool busy_ = false;
    bool sync_ = true;
    int pageFlag_ = 0;
    int shownClass_ = 0; // class whose photo group holds the shown vehicle
    bool automaticIntNr_ = true;

    VehicleList* list_ = nullptr;
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
    std::function<int(inventory::WriteStage)> saveFaults_;
    shell::Settings settings_;
    print::PrintChoice printChoice_;
    QString docName_ = QStringLiteral("Unbenannt");
    QStringList recent_{QString(), QString(), QString(), QString()};
    QProgressBar* progress_ = nullptr;
    QTimer* timerStat_ = nullptr;
};

} // namespace tarmelo::gui
