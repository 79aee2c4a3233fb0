#pragma once

#include "model/FieldSchema.h"
#include "model/VehicleClass.h"

#include <QStackedWidget>
#include <array>

class QAbstractButton;
class QGridLayout;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace tarmelo::gui {

class FieldControl;
class MemoEdit;
class PhotoGroup;

// The 24 editing pages (pcVehicle), generated from the field table and the class layouts: page 2c-2 is
// the "Allgemein" page of class c, 2c-1 its "Ausstattung" page; the last page is the empty editor.
// Every control is named <kind>_<class>_<field>. A class's two pages get their controls when ensureBuilt asks for
// them or the class is first needed (shown, filled, or one of its controls asked for).
class VehiclePages : public QStackedWidget {
    Q_OBJECT
public:
    explicit VehiclePages(QWidget* parent = nullptr);

    void showNone();
    void showPage(int klasse, model::Page page);

    // Fills the controls of the vehicle's class from the record (the show step), and stores the fields whose
    // controls were edited since then back into it (the store step).
    void fill(const model::TFahrzeug& v);
    void store(model::TFahrzeug& v) const;

    PhotoGroup* photos(int klasse);
    QTabWidget* featureTabs(int klasse);
    // The control named <kind>_<class>_<field>; builds that class's pages when they are not built yet.
    QWidget* control(const QString& name);
    // Builds the pages of the class unless that was done; classBuilt reports it.
    void ensureBuilt(int klasse);
    bool isBuilt(int klasse) const;

    // Shows the hint on the general pages or the edit of the typed internal number.
    void setAutomaticIntNr(bool on);
    // The consumption switch of class 1: asterisks, label and hint of the combined value.
    void applyEnvkv(bool on);

signals:
    // A control changed; storeNow is set for the fields whose change is stored at once.
    void itemChanged(bool storeNow);
    void memoChanged();
    void envkvClicked();
    // The pages of the class were built just now: their photo group exists from here on.
    void classBuilt(int klasse);

private:
    struct ClassPages {
        QWidget* general = nullptr; // the page exists from the start, its contents once built
        QWidget* equipment = nullptr;
        bool built = false;
        QList<FieldControl*> controls; // in tab order
        PhotoGroup* photos = nullptr;
        MemoEdit* memo = nullptr;
        QLabel* counter = nullptr;
        QTabWidget* tabs = nullptr;
        // What the numbering switch shows or hides, kept so the show step looks nothing up by name.
        std::array<QWidget*, 4> hintLabels{};
        std::array<QWidget*, 3> inrWidgets{}; // edit, asterisk, caption
        QGroupBox* hintGroup = nullptr;
    };
    // The consumption widgets of class 1 that follow the consumption switch.
    struct Consumption {
        std::array<QWidget*, 5> stars{};
        QLabel* combinedCaption = nullptr;
        QWidget* combinedEdit = nullptr;
    };

    void buildGeneral(int c, QWidget* page);
    void buildEquipment(int c, QWidget* page);
    void keepFocusOrder(QWidget* page);
    void applyAutomaticIntNr(int c);
    void applyEnvkvNow();
    FieldControl* addControl(const model::FieldSpec& f, int c, QWidget* parent);
    void setTabOrder(int c);
    void addField(QGridLayout* grid, int row, int col, const model::FieldSpec& f, int c, QWidget* parent);
    void addFieldList(QGridLayout* grid, std::span<const char* const> names, int columns, int c, QWidget* parent);
    void updateCounter(int c);

    std::array<ClassPages, 13> classes_;
    Consumption consumption_;
    QWidget* empty_ = nullptr;
    bool automaticIntNr_ = true;
    bool envkv_ = false;
};

} // namespace tarmelo::gui
