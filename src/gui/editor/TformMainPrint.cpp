// The main window's printing and bulk-renaming commands.

#include "editor/TformMain.h"
#include "editor/VehicleList.h"
#include "intnr/TformUpdateIntNr.h"
#include "print/TformPrint.h"

namespace tarmelo::gui {

void TformMain::actPrintExecute() {
    if (doc_->count() == 0 || isBusy())
        return;
    RefreshList();
    TformPrint dialog(doc_->vehicles(), printChoice_, doc_->automaticIntNr(), clock_, this);
    dialog.exec();
}

void TformMain::actUpdateIntNrExecute() {
    if (doc_->count() == 0 || isBusy() || doc_->automaticIntNr())
        return;
    RefreshList();
    // The dialog works on a copy; only the numbers it changed go back into the document.
    model::Inventory renamed = doc_->vehicles();
    sync_ = false;
    bool changed = false;
    {
        TformUpdateIntNr dialog(renamed, settings_, clock_, this);
        dialog.exec();
        changed = dialog.numbersChanged();
    }
    sync_ = true;
    if (!changed)
        return;
    for (int row = 0; row < doc_->count() && row < renamed.size(); ++row) {
        if (doc_->at(row).inr != renamed[row].inr) {
            doc_->edit(row).inr = renamed[row].inr;
            doc_->changed(row);
        }
    }
    control_->noteChangeBefore(inventory::BackupCause::BeforeRename);
    markModified();
    // The shown vehicle's internal-number field takes its new number at once.
    control_->showRow(shownRow());
}

} // namespace tarmelo::gui
