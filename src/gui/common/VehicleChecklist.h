#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>

class QTreeWidget;
class QTreeWidgetItem;

namespace tarmelo::gui {

// The columns the renaming and print dialogs share at the start of their vehicle lists.
enum VehicleChecklistColumn { ColNr, ColMarke, ColModell, ColNet, ColGross, ColFirstOwn };

// Appends a ticked row for vehicle `index`: position + 1, make and model ("-" when empty or not chosen), the net
// and gross prices.
QTreeWidgetItem* addVehicleRow(QTreeWidget* list, qsizetype index, const model::TFahrzeug& v, const QLocale& locale);

} // namespace tarmelo::gui
