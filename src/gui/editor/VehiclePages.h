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
// Every control is named <kind>_<class>_<field>.
class VehiclePages : public QStackedWidget {
    Q_OBJECT
public:
    explicit VehiclePages(QWidget* parent = nullptr);

    void showNone();
    void showPage(int klasse, model::Page page);

    // Fills the controls of the vehicle's class from the record (the show step) and stores them back.
    void fill(const model::TFahrzeug& v);
    void store(model::TFahrzeug& v) const;

    PhotoGroup* photos(int klasse) const { return classes_[size_t(klasse)].photos; }
    QTabWidget* featureTabs(int klasse) const { return classes_[size_t(klasse)].tabs; }
    QWidget* control(const QString& name) const;

    // Shows the hint on the general pages or the edit of the typed internal number.
    void setAutomaticIntNr(bool on);
    // The consumption switch of class 1: asterisks, label and hint of the combined value.
    void applyEnvkv(bool on);

signals:
    // A control changed; storeNow is set for the fields whose change is stored at once.
    void itemChanged(bool storeNow);
    void memoChanged();
    void envkvClicked();

private:
    struct ClassPages {
        QList<FieldControl*> controls; // in tab order
        PhotoGroup* photos = nullptr;
        MemoEdit* memo = nullptr;
        QLabel* counter = nullptr;
        QTabWidget* tabs = nullptr;
    };

    QWidget* buildGeneral(int c);
    QWidget* buildEquipment(int c);
    FieldControl* addControl(const model::FieldSpec& f, int c, QWidget* parent);
    void setTabOrder(int c);
    void addField(QGridLayout* grid, int row, int col, const model::FieldSpec& f, int c, QWidget* parent);
    void addFieldList(QGridLayout* grid, std::span<const char* const> names, int columns, int c, QWidget* parent);
    void updateCounter(int c);

    std::array<ClassPages, 13> classes_;
    QWidget* empty_ = nullptr;
};

} // namespace tarmelo::gui
