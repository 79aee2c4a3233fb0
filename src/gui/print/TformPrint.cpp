#include "print/TformPrint.h"

#include "common/Dialogs.h"
#include "common/VehicleChecklist.h"
#include "model/Cp1252.h"
#include "print/FeatureList.h"
#include "print/PriceTexts.h"
#include "print/ReportLayout.h"
#include "shell/Help.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace tarmelo::gui {

namespace {

enum Column { ColFotos = ColFirstOwn, ColumnCount };
const QColor kGrey(180, 180, 180);

TformPrint::PreviewHook& previewHook() {
    static TformPrint::PreviewHook hook;
    return hook;
}

} // namespace

void TformPrint::setPreviewHook(PreviewHook hook) {
    previewHook() = std::move(hook);
}

TformPrint::TformPrint(const model::Inventory& vehicles, print::PrintChoice& choice, bool automaticIntNr, Clock clock,
                       QWidget* parent)
    : QDialog(parent), vehicles_(vehicles), choice_(choice), automaticIntNr_(automaticIntNr), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("TformPrint"));
    setWindowTitle(QStringLiteral("Drucken"));

    auto* group = new QGroupBox(QStringLiteral(" Zu druckende Fahrzeuge "), this);
    ReportList = new QTreeWidget(group);
    ReportList->setObjectName(QStringLiteral("ReportList"));
    ReportList->setRootIsDecorated(false);
    ReportList->setSelectionMode(QAbstractItemView::SingleSelection);
    ReportList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ReportList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ReportList->setHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Marke"), QStringLiteral("Modell"),
                                 QStringLiteral("Preis (netto)"), QStringLiteral("Preis (brutto)"),
                                 QStringLiteral("Fotos")});
    const int widths[ColumnCount] = {40 + 20, 95, 135, 95, 95, 40}; // the first holds the check box too
    for (int c = 0; c < ColumnCount; ++c)
        ReportList->setColumnWidth(c, widths[c]);

    auto* btnSelectAll = new QPushButton(QStringLiteral("Alle auswählen"), group);
    btnSelectAll->setObjectName(QStringLiteral("btnSelectAll"));
    auto* btnSelectNone = new QPushButton(QStringLiteral("Keine auswählen"), group);
    btnSelectNone->setObjectName(QStringLiteral("btnSelectNone"));
    cbPrintStyle = new QComboBox(group);
    cbPrintStyle->setObjectName(QStringLiteral("cbPrintStyle"));
    cbPrintStyle->addItems(
        {QStringLiteral("Listenausdruck mit Bildern"), QStringLiteral("Listenausdruck ohne Bilder")});

    auto* btnHelp = new QPushButton(QStringLiteral("&Hilfe"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    auto* btnSavePdf = new QPushButton(QStringLiteral("Als &PDF speichern ..."), this);
    btnSavePdf->setObjectName(QStringLiteral("btnSavePdf"));
    auto* btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnAbort = new QPushButton(QStringLiteral("&Schließen"), this);
    btnAbort->setObjectName(QStringLiteral("btnAbort"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 100);
    progress_->setVisible(false);

    auto* gl = new QVBoxLayout(group);
    gl->addWidget(ReportList);
    auto* row = new QHBoxLayout;
    row->addWidget(btnSelectAll);
    row->addWidget(btnSelectNone);
    row->addStretch();
    row->addWidget(cbPrintStyle);
    gl->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    buttons->addWidget(btnSavePdf);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnAbort);
    auto* top = new QVBoxLayout(this);
    top->addWidget(group, 1);
    top->addWidget(progress_);
    top->addLayout(buttons);

    controls_ = {ReportList, btnSelectAll, btnSelectNone, cbPrintStyle, btnHelp, btnSavePdf, btnOK, btnAbort};
    connect(ReportList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == ColNr)
            ReportListCustomDrawItem(item);
    });
    connect(btnSelectAll, &QPushButton::clicked, this, [this] { setTicks(true); });
    connect(btnSelectNone, &QPushButton::clicked, this, [this] { setTicks(false); });
    connect(btnHelp, &QPushButton::clicked, this, [] { Dialogs::showHelp(shell::kHelpPrint); });
    Dialogs::bindHelpKey(this, shell::kHelpPrint);
    connect(btnOK, &QPushButton::clicked, this, &TformPrint::btnOKClick);
    connect(btnSavePdf, &QPushButton::clicked, this, &TformPrint::btnSavePdfClick);
    connect(btnAbort, &QPushButton::clicked, this, &TformPrint::reject);

    FormCreate();
    // Wide enough for every column; German captions are long.
    resize(QSize(562, 320).expandedTo(sizeHint()).expandedTo(QSize(ReportList->header()->length() + 60, 320)));
}

TformPrint::~TformPrint() = default;

void TformPrint::FormCreate() {
    const QLocale locale;
    for (qsizetype i = 0; i < vehicles_.size(); ++i) {
        const model::TFahrzeug& v = vehicles_[i];
        QTreeWidgetItem* item = addVehicleRow(ReportList, i, v, locale);
        const int photos = model::countPhotos(v);
        item->setText(ColFotos, photos > 0 ? QString::number(photos) : QStringLiteral("-"));
    }
    cbPrintStyle->setCurrentIndex(0);
}

void TformPrint::ReportListCustomDrawItem(QTreeWidgetItem* item) {
    const bool ticked = item->checkState(ColNr) == Qt::Checked;
    for (int c = 0; c < ColumnCount; ++c) {
        if (ticked)
            item->setData(c, Qt::ForegroundRole, QVariant());
        else
            item->setForeground(c, kGrey);
    }
}

void TformPrint::setTicks(bool on) {
    for (int i = 0; i < ReportList->topLevelItemCount(); ++i)
        ReportList->topLevelItem(i)->setCheckState(ColNr, on ? Qt::Checked : Qt::Unchecked);
}

bool TformPrint::storeChoice() {
    choice_.selection = QList<bool>(ReportList->topLevelItemCount(), false);
    for (int i = 0; i < ReportList->topLevelItemCount(); ++i)
        choice_.selection[i] = ReportList->topLevelItem(i)->checkState(ColNr) == Qt::Checked;
    choice_.countSelected();
    choice_.withPhotos = cbPrintStyle->currentIndex() == 0;
    if (choice_.selectedCount > 0)
        return true;
    Dialogs::warning(this, QStringLiteral("Es muss mindestens ein Fahrzeug zum Drucken ausgewählt sein!"));
    ReportList->setFocus();
    return false;
}

void TformPrint::setControlsEnabled(bool on) {
    for (QWidget* w : controls_)
        w->setEnabled(on);
}

void TformPrint::reject() {
    // Closing while the pages are composed would leave the worker writing into a dead dialog.
    if (!busy_)
        QDialog::reject();
}

std::unique_ptr<print::ReportLayout> TformPrint::compose() {
    const model::Inventory vehicles = vehicles_; // implicitly shared: the worker reads a stable copy
    const print::PrintChoice choice = choice_;
    const bool automatic = automaticIntNr_;
    progress_->setValue(0);
    progress_->setVisible(true);
    QPointer<QProgressBar> bar = progress_;
    QFutureWatcher<print::ReportBlocks> watcher;
    QEventLoop loop;
    connect(&watcher, &QFutureWatcher<print::ReportBlocks>::finished, &loop, &QEventLoop::quit);
    const QLocale locale;
    watcher.setFuture(QtConcurrent::run([vehicles, choice, automatic, locale, bar] {
        return print::prepareReport(vehicles, choice, automatic, locale, [bar](int percent) {
            QMetaObject::invokeMethod(
                bar,
                [bar, percent] {
                    if (bar)
                        bar->setValue(percent);
                },
                Qt::QueuedConnection);
            return true;
        });
    }));
    // Input is handled meanwhile, not held back for later: the controls are off and closing is refused.
    if (!watcher.isFinished())
        loop.exec();
    const print::ReportBlocks blocks = watcher.result();
    progress_->setVisible(false);
    if (!blocks.ok()) {
        Dialogs::error(this, blocks.error);
        return nullptr;
    }
    return std::make_unique<print::ReportLayout>(blocks.blocks, clock_(), choice.selectedCount, locale);
}

void TformPrint::savePdf(const print::ReportLayout& layout) {
    const QString path = Dialogs::savePdfFileName(this);
    if (path.isEmpty())
        return;
    const QString error = print::writeReportPdf(layout, path);
    if (!error.isEmpty())
        Dialogs::error(this, error);
}

void TformPrint::showPreview(const print::ReportLayout& layout) {
    if (previewHook()) {
        previewHook()(layout);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(print::kReportTitle);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Druckvorschau"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&layout](QPrinter* p) { layout.render(*p); });
    if (QToolBar* bar = preview.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("Als PDF speichern ..."));
        pdf->setObjectName(QStringLiteral("actSavePdf"));
        connect(pdf, &QAction::triggered, &preview, [this, &layout] { savePdf(layout); });
    }
    preview.exec();
}

void TformPrint::btnOKClick() {
    if (!storeChoice())
        return;
    busy_ = true;
    setControlsEnabled(false);
    if (std::unique_ptr<print::ReportLayout> layout = compose())
        showPreview(*layout);
    setControlsEnabled(true);
    busy_ = false;
}

void TformPrint::btnSavePdfClick() {
    if (!storeChoice())
        return;
    busy_ = true;
    setControlsEnabled(false);
    if (std::unique_ptr<print::ReportLayout> layout = compose())
        savePdf(*layout);
    setControlsEnabled(true);
    busy_ = false;
}

} // namespace tarmelo::gui
