#pragma once

#include "model/Fahrzeug.h"
#include "print/ReportData.h"
#include "util/Clock.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarmelo::print {
class ReportLayout;
}

namespace tarmelo::gui {

// "Drucken": which vehicles go into the printed list, with or without photos; composes the report and shows it in
// the print preview, from which the user prints or saves a PDF.
class TformPrint : public QDialog {
    Q_OBJECT
public:
    TformPrint(const model::Inventory& vehicles, print::PrintChoice& choice, bool automaticIntNr, Clock clock,
               QWidget* parent = nullptr);
    ~TformPrint() override;

    // Tests: receives the composed report instead of the modal preview.
    using PreviewHook = std::function<void(const print::ReportLayout&)>;
    static void setPreviewHook(PreviewHook hook);

    void btnOKClick();
    void btnSavePdfClick();

protected:
    void reject() override;

private:
    void FormCreate();
    void ReportListCustomDrawItem(QTreeWidgetItem* item);
    void setTicks(bool on);
    bool storeChoice();
    void setControlsEnabled(bool on);
    // Composes the pages off the GUI thread while the progress bar moves; nullptr after a failure (reported).
    std::unique_ptr<print::ReportLayout> compose();
    void showPreview(const print::ReportLayout& layout);
    void savePdf(const print::ReportLayout& layout);

    const model::Inventory& vehicles_;
    print::PrintChoice& choice_;
    bool automaticIntNr_;
    Clock clock_;
    bool busy_ = false;

    QTreeWidget* ReportList = nullptr;
    QComboBox* cbPrintStyle = nullptr;
    QProgressBar* progress_ = nullptr;
    QList<QWidget*> controls_;
};

} // namespace tarmelo::gui
