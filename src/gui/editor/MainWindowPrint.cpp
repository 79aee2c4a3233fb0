// The main window's printing and bulk-renaming commands.

#include "editor/MainWindow.h"
#include "editor/VehicleList.h"
#include "intnr/UpdateIntNrDialog.h"
#include "print/PrintDialog.h"

namespace tarmelo::gui {

void TformMain::actPrintExecute() {
    if (vehicles_.isEmpty() || busy_)
        return;
    RefreshList();
    TformPrint dialog(vehicles_, printChoice_, automaticIntNr_, clock_, this);
    dialog.exec();
}

void TformMain::actUpdateIntNrExecute() {
    if (vehicles_.isEmpty() || busy_ || automaticIntNr_)
        return;
    RefreshList();
    // Filling the controls below must not count as an edit.
    sync_ = false;
    bool changed = false;
    {
        TformUpdateIntNr dialog(vehicles_, settings_, clock_, this);
        dialog.exec();
        changed = dialog.numbersChanged();
    }
    if (changed) {
        markModified();
        for (int row = 0; row < vehicles_.size(); ++row)
            refreshRow(row);
        // The shown vehicle's internal-number field takes its new number at once.
        showStep(list_->selectedRow());
    }
    sync_ = true;
    updateCommands();
}

} // namespace tarmelo::gui
