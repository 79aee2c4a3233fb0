#include "TformMain.h"

#include "PhotoGroup.h"
#include "SearchBar.h"
#include "StockPanel.h"
#include "TformPriceChange.h"
#include "TformStockReport.h"
#include "VehicleList.h"
#include "VehiclePages.h"
#include "common/Dialogs.h"
#include "csv/InventoryCheck.h"
#include "csv/VehicleChecks.h"
#include "editor/RowTexts.h"
#include "inventory/Archive.h"
#include "inventory/Backups.h"
#include "inventory/CsvFile.h"
#include "inventory/RecentFiles.h"
#include "inventory/TformBackups.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"
#include "shell/Commands.h"
#include "shell/Help.h"
#include "shell/WorkArea.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <utility>

namespace tarmelo::gui {

namespace {

// The add command of each class, in class order.
const char* const kAdd[12] = {"actAddPkw",         "actAddKrad", "actAddWomo",    "actAddLkw_k",
                              "actAddLkw_g",       "actAddSZM",  "actAddHaenger", "actAddAuflieger",
                              "actAddBaumaschine", "actAddBus",  "actAddAgrar",   "actAddStapler"};

const QColor kOrange(215, 86, 0);
const QColor kGrey(103, 103, 103);

// Text colours through the palette, not style sheets: the first style sheet of a run costs its start a style engine
// of its own. An invalid colour gives the widget the application's colours back.
void setTextColour(QWidget* w, const QColor& colour) {
    QPalette pal = QApplication::palette(w);
    if (colour.isValid())
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
            pal.setColor(role, colour);
    w->setPalette(pal);
}

// The editing pages, scrolled where the screen is smaller than the widest page; otherwise they get their full size.
class PageArea : public QScrollArea {
public:
    explicit PageArea(QWidget* pages, QWidget* parent) : QScrollArea(parent) {
        setObjectName(QStringLiteral("pcVehicleArea"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(pages);
    }
    // Room for the horizontal scroll bar too: a narrow window shows it, and it must not cost the pages' last row.
    QSize sizeHint() const override {
        const int f = 2 * frameWidth();
        const QSize pages = widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
        return pages + QSize(f, f + horizontalScrollBar()->sizeHint().height());
    }
    // Room for a group's first rows and the scroll bars; the list above gives way first.
    QSize minimumSizeHint() const override { return QSize(320, 140); }
};

// What the designed size depends on besides the pages: the program file, Qt, the style, the font, the screen's
// resolution and the locale. A size kept under another key is measured anew.
QString layoutKey() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QScreen* screen = QGuiApplication::primaryScreen();
    return QStringList{QStringLiteral("1"),
                       QString::number(program.size()),
                       QString::number(program.lastModified().toMSecsSinceEpoch()),
                       QString::fromLatin1(qVersion()),
                       QApplication::style()->name(),
                       QApplication::font().toString(),
                       screen ? QString::number(screen->logicalDotsPerInchX()) : QString(),
                       screen ? QString::number(screen->logicalDotsPerInchY()) : QString(),
                       screen ? QString::number(screen->devicePixelRatio()) : QString(),
                       QLocale().name()}
        .join(u'|');
}

QSize cachedDesignedSize(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.read(4096).split('\n');
    if (lines.size() < 2 || QString::fromUtf8(lines[0]) != layoutKey())
        return {};
    const QList<QByteArray> numbers = lines[1].split(' ');
    bool wide = false, high = false;
    const QSize size(numbers.value(0).toInt(&wide), numbers.value(1).toInt(&high));
    const QSize least(1060, 760);
    return wide && high && size.expandedTo(least) == size && size.boundedTo(QSize(20000, 20000)) == size ? size
                                                                                                         : QSize();
}

void storeDesignedSize(const QString& path, QSize size) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(layoutKey().toUtf8() + '\n' + QByteArray::number(size.width()) + ' ' +
                   QByteArray::number(size.height()) + '\n');
        file.commit(); // a size that is not kept is measured again at the next start
    }
}

} // namespace

TformMain::TformMain(QWidget* parent, const QString& layoutCache) : QMainWindow(parent) {
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QStringLiteral("Tarmelo"));
    doc_ = new inventory::Document(this);
    doc_->setName(QStringLiteral("Unbenannt"));
    control_ = new inventory::DocumentController(doc_, this, this);

    list_ = new VehicleList(this);
    pages_ = new VehiclePages(this);
    buildMenus();

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    searchBar_ = new SearchBar(central);
    v->addWidget(searchBar_);
    auto* listArea = new QHBoxLayout;
    listArea->setSpacing(0);
    list_->setMinimumHeight(115);
    // The list takes what the pages leave; on a small screen it gives way down to its minimum first.
    list_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    listArea->addWidget(list_, 1);
    plControl_ = buildControlPanel();
    listArea->addWidget(plControl_);
    v->addLayout(listArea, 1);
    plNavigation_ = buildNavigation();
    v->addWidget(plNavigation_);
    pageArea_ = new PageArea(pages_, central);
    v->addWidget(pageArea_);
    plImport_ = new QLabel(QStringLiteral("Fahrzeuge werden importiert ..."), this);
    plImport_->setObjectName(QStringLiteral("plImport"));
    plImport_->setAlignment(Qt::AlignCenter);
    plImport_->hide();
    v->addWidget(plImport_);
    setCentralWidget(central);
    buildStatusBar();

    list_->setContextActions({action(QStringLiteral("actCopy")), action(QStringLiteral("actRemove"))});
    connect(list_, &VehicleList::currentRowChanged, control_, &inventory::DocumentController::selectionChanged);
    connect(searchBar_, &SearchBar::queryChanged, this, &TformMain::applyFilter);
    connect(list_, &VehicleList::sortRequested, this, [this](int column, Qt::SortOrder order) {
        sortColumn_ = column;
        sortOrder_ = order;
        applySort();
    });
    connect(stockPanel_, &StockPanel::statusChosen, this, &TformMain::setShownStatus);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, searchBar_, &SearchBar::focusSearch);
    // While a long operation runs on a vehicle, the vehicle array must stay as it is.
    connect(control_, &inventory::DocumentController::busyChanged, this, [this](bool busy) {
        list_->setEnabled(!busy);
        updateCommands();
    });
    lightsTimer_ = new QTimer(this);
    lightsTimer_->setSingleShot(true);
    lightsTimer_->setInterval(0);
    connect(lightsTimer_, &QTimer::timeout, this, &TformMain::updateLights);
    connectDocument();
    connect(list_, &VehicleList::deletePressed, this, [this] {
        if (action(QStringLiteral("actRemove"))->isEnabled())
            actRemoveExecute();
    });
    connect(pages_, &VehiclePages::itemChanged, this, &TformMain::ItemChange);
    connect(pages_, &VehiclePages::memoChanged, this, [this] {
        RefreshList();
        if (sync_)
            markModified();
    });
    connect(pages_, &VehiclePages::envkvClicked, this, [this] {
        if (auto* box = qobject_cast<QCheckBox*>(pages_->control(QStringLiteral("cb_1_envkv"))))
            pages_->applyEnvkv(box->isChecked());
    });
    connect(pages_, &VehiclePages::classBuilt, this, &TformMain::connectPhotos);
    showStep(-1);
    updateCommands();
    // The pages' full size where the screen has room for it (applySettings and the work-area reset fit it on). The
    // classes with the widest and the tallest pages give it; once measured, it is kept for the next starts, which
    // then show the window without building any page first. The pages scroll, so a class built later never makes
    // the window grow. The classes are built one by one once the window has been painted, or at once when one is
    // asked for.
    designedSize_ = cachedDesignedSize(layoutCache);
    if (!designedSize_.isValid()) {
        for (const int c : {4, 11, 3})
            pages_->ensureBuilt(c);
        designedSize_ = sizeHint().expandedTo(QSize(1060, 760));
        storeDesignedSize(layoutCache, designedSize_);
    }
    resize(designedSize_);
    QTimer::singleShot(0, this, &TformMain::buildNextClass);
}

void TformMain::afterFirstPaint(std::function<void()> work) {
    if (painted_)
        work();
    else
        afterPaint_.append(std::move(work));
}

void TformMain::firstPainted() {
    QTimer::singleShot(0, this, &TformMain::buildNextClass);
    for (const std::function<void()>& work : std::exchange(afterPaint_, {}))
        work();
}

void TformMain::buildNextClass() {
    // A window on its way to the screen is painted before anything else is built; its first paint goes on here.
    if (isVisible() && !painted_)
        return;
    for (int c = 1; c <= model::kClassCount; ++c)
        if (!pages_->isBuilt(c)) {
            pages_->ensureBuilt(c);
            QTimer::singleShot(0, this, &TformMain::buildNextClass);
            return;
        }
}

void TformMain::connectDocument() {
    // The list rows follow the vehicle array.
    connect(doc_, &inventory::Document::rowsInserted, this, [this](int first, int last) {
        QList<editor::RowTexts> rows;
        rows.reserve(last - first + 1);
        for (int r = first; r <= last; ++r)
            rows.append(editor::rowTexts(doc_->at(r)));
        list_->appendRows(rows);
        // Sold newcomers go to their own view; the others stay in sight even when a search would hide them.
        if (!searchBar_->soldView())
            for (int r = first; r <= last; ++r)
                if (doc_->at(r).bestand.status == model::StockStatus::Sold)
                    list_->setRowShown(r, false);
        applySort();
        scheduleLights();
        // Appending may move the records in memory: the photo group must hold the shown one anew.
        bindPhotos();
        if (shownRow() >= 0)
            lblEintrag_->setText(QStringLiteral("%1/%2").arg(shownRow() + 1).arg(doc_->count()));
    });
    connect(doc_, &inventory::Document::rowRemoved, this, [this](int row) {
        list_->removeRow(row);
        bindPhotos();
        scheduleLights();
    });
    // A search belongs to the stock it was typed for.
    connect(doc_, &inventory::Document::cleared, this, [this] {
        list_->clearRows();
        searchBar_->reset();
    });
    connect(doc_, &inventory::Document::rowChanged, this, &TformMain::refreshRow);
    connect(doc_, &inventory::Document::nameChanged, this,
            [this](const QString& name) { setWindowTitle(QStringLiteral("Tarmelo - ") + QFileInfo(name).fileName()); });
    connect(doc_, &inventory::Document::recentChanged, this, [this](const QStringList& paths) {
        for (int n = 1; n <= inventory::kRecentCount; ++n)
            action(QStringLiteral("actOpenRecent%1").arg(n))->setText(inventory::recentCaption(n, paths.value(n - 1)));
    });
    connect(doc_, &inventory::Document::automaticIntNrChanged, this, [this](bool on) {
        action(QStringLiteral("actAutomaticIntNr"))->setChecked(on);
        pages_->setAutomaticIntNr(on);
        scheduleLights();
    });
    // Every state a command depends on announces its changes; the commands follow each of them.
    connect(doc_, &inventory::Document::rowsInserted, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::rowsInserted, this, &TformMain::showFilterCount);
    // The undo of a price change knows vehicles by position: once rows come or go, it no longer fits.
    const auto forgetPriceUndo = [this] {
        priceUndo_.reset();
        updateCommands();
    };
    connect(doc_, &inventory::Document::rowsInserted, this, forgetPriceUndo);
    connect(doc_, &inventory::Document::rowRemoved, this, forgetPriceUndo);
    connect(doc_, &inventory::Document::cleared, this, forgetPriceUndo);
    connect(doc_, &inventory::Document::rowRemoved, this, &TformMain::showFilterCount);
    // An open stock report names vehicles by position: once rows come or go, it is made again.
    connect(doc_, &inventory::Document::rowRemoved, this, &TformMain::refreshStockReport);
    connect(doc_, &inventory::Document::rowsInserted, this, &TformMain::refreshStockReport);
    connect(doc_, &inventory::Document::cleared, this, &TformMain::refreshStockReport);
    connect(doc_, &inventory::Document::rowRemoved, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::cleared, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::savedChanged, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::recentChanged, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::automaticIntNrChanged, this, &TformMain::updateCommands);
}

void TformMain::connectPhotos(int c) {
    PhotoGroup* g = pages_->photos(c);
    connect(g, &PhotoGroup::modified, this, [this] {
        if (shownRow() >= 0)
            doc_->changed(shownRow());
        markModified();
    });
    connect(g, &PhotoGroup::photoCountChanged, this, [this](int n) { setPhotoIndicator(n, true); });
    connect(g, &PhotoGroup::busyChanged, this, &TformMain::setBusy);
    connect(g, &PhotoGroup::progressChanged, progress_, &QProgressBar::setValue);
    g->setPreviewAllowed([this] { return !control_->isBusy() && sync_ && shownRow() >= 0; });
}

void TformMain::bindPhotos() {
    if (shownClass_ > 0)
        pages_->photos(shownClass_)->setVehicle(shownRow() >= 0 ? &doc_->edit(shownRow()) : nullptr);
}

QAction* TformMain::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TformMain::buildMenus() {
    // Every command comes from the one command table: name, caption, hint and shortcut; the window only places
    // them and binds them to their handlers.
    for (const shell::CommandInfo& c : shell::commandTable()) {
        auto* a = new QAction(c.menuCaption.isEmpty() ? c.caption : c.menuCaption, this);
        a->setObjectName(c.name);
        if (!c.hint.isEmpty()) {
            a->setStatusTip(c.hint);
            a->setToolTip(c.hint);
        }
        if (!c.shortcut.isEmpty())
            a->setShortcut(QKeySequence(c.shortcut));
    }
    const auto bind = [this](const char* name, void (TformMain::*handler)()) {
        QAction* a = action(QLatin1StringView(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    addMenu_ = new QMenu(QStringLiteral("&Hinzufügen"), this);
    QMenu* trucks = nullptr;
    for (int c = 1; c <= model::kClassCount; ++c) {
        QAction* a = action(QLatin1StringView(kAdd[c - 1]));
        a->setData(c);
        connect(a, &QAction::triggered, this, [this, c] { AddFahrzeug(c); });
        if (c == 4)
            trucks = addMenu_->addMenu(QStringLiteral("&Transporter und Nutzfahrzeuge"));
        (c <= 3 ? addMenu_ : trucks)->addAction(a);
    }

    QAction* copy = bind("actCopy", &TformMain::actCopyExecute);
    QAction* remove = bind("actRemove", &TformMain::actRemoveExecute);
    QAction* check = bind("actCheckErrors", &TformMain::actCheckErrorsExecute);
    QAction* insert = bind("actOpenVehicle", &TformMain::actOpenVehicleExecute);
    QAction* saveOne = bind("actSaveVehicle", &TformMain::actSaveVehicleExecute);
    QAction* quit = action(QStringLiteral("actExit"));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    QAction* neu = bind("actNeu", &TformMain::actNeuExecute);
    QAction* loadMobile = bind("actLoadMobile", &TformMain::actLoadMobileExecute);
    QAction* loadFile = bind("actLoadFile", &TformMain::actLoadFileExecute);
    QAction* saveMobile = bind("actSaveMobile", &TformMain::actSaveMobileExecute);
    QAction* saveFile = bind("actSaveFile", &TformMain::actSaveFileExecute);
    QAction* saveAs = bind("actSaveFileAs", &TformMain::actSaveFileAsExecute);
    QAction* print = bind("actPrint", &TformMain::actPrintExecute);
    QAction* transferLog = bind("actTransferLog", &TformMain::actTransferLogExecute);
    QAction* restore = bind("actRestoreBackup", &TformMain::actRestoreBackupExecute);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->addAction(neu);
    file->addSeparator();
    QMenu* open = file->addMenu(QStringLiteral("Ö&ffnen"));
    open->addAction(loadMobile);
    open->addSeparator();
    open->addAction(loadFile);
    QMenu* recent = open->addMenu(QStringLiteral("Zuletzt &geöffnete Dateien"));
    for (int n = 1; n <= inventory::kRecentCount; ++n) {
        QAction* a = action(QStringLiteral("actOpenRecent%1").arg(n));
        connect(a, &QAction::triggered, this, [this, n] { actOpenRecentExecute(n); });
        recent->addAction(a);
    }
    QMenu* save = file->addMenu(QStringLiteral("&Speichern"));
    save->addAction(saveMobile);
    save->addSeparator();
    save->addAction(saveFile);
    save->addAction(saveAs);
    file->addAction(transferLog);
    file->addAction(restore);
    file->addSeparator();
    file->addAction(print);
    file->addSeparator();
    file->addAction(quit);
    QMenu* vehicle = menuBar()->addMenu(QStringLiteral("&Fahrzeug"));
    vehicle->addMenu(addMenu_);
    vehicle->addSeparator();
    vehicle->addAction(copy);
    vehicle->addAction(remove);
    vehicle->addSeparator();
    vehicle->addAction(insert);
    vehicle->addAction(saveOne);
    vehicle->addSeparator();
    QMenu* numbers = vehicle->addMenu(QStringLiteral("&Interne Nummern"));
    QAction* automatic = action(QStringLiteral("actAutomaticIntNr"));
    automatic->setCheckable(true);
    automatic->setChecked(true);
    connect(automatic, &QAction::triggered, this, [this] {
        setAutomaticIntNr(!doc_->automaticIntNr());
        markModified();
    });
    numbers->addAction(automatic);
    numbers->addAction(bind("actUpdateIntNr", &TformMain::actUpdateIntNrExecute));
    vehicle->addAction(check);
    QAction* checkStock = bind("actCheckStock", &TformMain::actCheckStockExecute);
    vehicle->addAction(checkStock);
    vehicle->addSeparator();
    vehicle->addAction(bind("actChangePrices", &TformMain::actChangePricesExecute));
    vehicle->addAction(bind("actUndoPrices", &TformMain::actUndoPricesExecute));

    QAction* help = action(QStringLiteral("actHelp"));
    connect(help, &QAction::triggered, this, [] { Dialogs::showHelp(shell::kHelpMain); });

    QToolBar* bar = addToolBar(QStringLiteral("Werkzeuge"));
    bar->setObjectName(QStringLiteral("MainToolBar"));
    bar->setMovable(false);
    for (QAction* a : {neu, loadFile, saveFile})
        bar->addAction(a);
    bar->addSeparator();
    bar->addAction(loadMobile);
    bar->addAction(saveMobile);
    bar->addSeparator();
    bar->addAction(copy);
    bar->addAction(remove);
    bar->addSeparator();
    bar->addAction(check);
    bar->addAction(checkStock);
    // The hint of the command under the mouse, in dark blue at the right end of the toolbar.
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    lblHint_ = new QLabel(bar);
    lblHint_->setObjectName(QStringLiteral("lblHint"));
    QFont hintFont(QStringLiteral("Arial"), 8);
    lblHint_->setFont(hintFont);
    setTextColour(lblHint_, QColor(0, 0, 128));
    lblHint_->setMinimumWidth(380);
    bar->addWidget(lblHint_);
    buildShellMenus(help);
    // Menus send the hint of the entry under the mouse; when they close, no entry is under it any more.
    for (QMenu* m : findChildren<QMenu*>())
        connect(m, &QMenu::aboutToHide, this, [this] { showHint(QString()); });
}

QWidget* TformMain::buildControlPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("plControl"));
    panel->setFixedWidth(74);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(4, 2, 2, 2);
    v->setSpacing(2);

    // The drop-down offers the add commands themselves, so it follows their enabling.
    auto* dropMenu = new QMenu(panel);
    QMenu* trucks = nullptr;
    for (int c = 1; c <= model::kClassCount; ++c) {
        if (c == 4)
            trucks = dropMenu->addMenu(QStringLiteral("Transporter und Nutzfahrzeuge"));
        (c <= 3 ? dropMenu : trucks)->addAction(action(QLatin1StringView(kAdd[c - 1])));
    }
    auto* tools = new QHBoxLayout;
    tools->setSpacing(0);
    auto* add = new QToolButton(panel);
    add->setObjectName(QStringLiteral("tbAdd"));
    add->setText(QStringLiteral("+"));
    add->setToolTip(QStringLiteral("Fahrzeug hinzufügen"));
    add->setStatusTip(QStringLiteral("Fahrzeug hinzufügen"));
    add->setMenu(dropMenu);
    add->setPopupMode(QToolButton::InstantPopup);
    QAction* addPkw = action(QStringLiteral("actAddPkw"));
    connect(addPkw, &QAction::changed, add, [add, addPkw] { add->setEnabled(addPkw->isEnabled()); });
    auto* remove = new QToolButton(panel);
    remove->setObjectName(QStringLiteral("tbRemove"));
    remove->setText(QStringLiteral("–"));
    QAction* removeAction = action(QStringLiteral("actRemove"));
    remove->setToolTip(removeAction->toolTip());
    remove->setStatusTip(removeAction->statusTip());
    connect(remove, &QToolButton::clicked, removeAction, &QAction::trigger);
    connect(removeAction, &QAction::changed, remove,
            [remove, removeAction] { remove->setEnabled(removeAction->isEnabled()); });
    tools->addWidget(add);
    tools->addWidget(remove);
    tools->addStretch();
    v->addLayout(tools);

    auto bold = [panel](const QString& text) {
        auto* l = new QLabel(text, panel);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    v->addWidget(bold(QStringLiteral("Eintrag:")));
    lblEintrag_ = new QLabel(QStringLiteral("-"), panel);
    lblEintrag_->setObjectName(QStringLiteral("lblEintrag"));
    v->addWidget(lblEintrag_);
    v->addWidget(bold(QStringLiteral("Bild:")));
    lblBild_ = new QLabel(QStringLiteral("-"), panel);
    lblBild_->setObjectName(QStringLiteral("lblBild"));
    v->addWidget(lblBild_);
    v->addStretch();
    return panel;
}

QWidget* TformMain::buildNavigation() {
    auto* nav = new QWidget(this);
    nav->setObjectName(QStringLiteral("plNavigation"));
    nav->setFixedHeight(24);
    auto* h = new QHBoxLayout(nav);
    h->setContentsMargins(2, 0, 2, 0);
    auto button = [nav](const char* name) {
        auto* b = new QToolButton(nav);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoRaise(true);
        b->setFixedWidth(142);
        return b;
    };
    sbAllgemein_ = button("sbAllgemein");
    sbAusstattung_ = button("sbAusstattung");
    connect(sbAllgemein_, &QToolButton::clicked, this, &TformMain::sbAllgemeinClick);
    connect(sbAusstattung_, &QToolButton::clicked, this, &TformMain::sbAusstattungClick);
    lblTypTag_ = new QLabel(QStringLiteral("Typ:"), nav);
    lblTypTag_->setObjectName(QStringLiteral("lblTyp_tag"));
    QFont f = lblTypTag_->font();
    f.setBold(true);
    lblTypTag_->setFont(f);
    lblTyp_ = new QLabel(nav);
    lblTyp_->setObjectName(QStringLiteral("lblTyp"));
    h->addWidget(sbAllgemein_);
    h->addWidget(sbAusstattung_);
    h->addSpacing(16);
    h->addWidget(lblTypTag_);
    h->addWidget(lblTyp_);
    h->addSpacing(24);
    stockPanel_ = new StockPanel(nav);
    h->addWidget(stockPanel_);
    h->addStretch();
    // The designed state: "Allgemein" marked, both disabled until a vehicle is selected.
    sbAllgemein_->setText(QStringLiteral(":: Allgemein ::"));
    setTextColour(sbAllgemein_, kOrange);
    sbAusstattung_->setText(QStringLiteral("Ausstattung"));
    setTextColour(sbAusstattung_, kGrey);
    return nav;
}

void TformMain::applyFilter() {
    QList<bool> shown(doc_->count(), false);
    for (const int row : filter_.visibleRows(doc_->vehicles(), doc_->revisions(), searchBar_->query(),
                                             doc_->automaticIntNr(), clock_().date()))
        shown[row] = true;
    list_->setRowsShown(shown);
    showFilterCount();
    // The vehicle shown is always one the dealer sees: when the filter hides it, its edit is stored and the
    // selection moves to the first row left.
    const int row = shownRow();
    if (row >= 0 && !list_->isRowShown(row))
        selectRow(list_->firstShownRow());
}

void TformMain::showFilterCount() {
    const bool sold = searchBar_->soldView();
    if (!searchBar_->isActive() && !sold) {
        lblFilter_->clear();
        return;
    }
    // Vehicles added while a search is active stay in sight until the search changes, and count.
    int shown = 0;
    for (int row = 0; row < list_->rowCount(); ++row)
        shown += list_->isRowShown(row) ? 1 : 0;
    const auto inView = [sold](const model::TFahrzeug& v) {
        return (v.bestand.status == model::StockStatus::Sold) == sold;
    };
    const auto total = std::count_if(doc_->vehicles().cbegin(), doc_->vehicles().cend(), inView);
    lblFilter_->setText(
        (sold ? QStringLiteral("%1 von %2 verkauften Fahrzeugen") : QStringLiteral("%1 von %2 Fahrzeugen"))
            .arg(shown)
            .arg(total));
}

void TformMain::applySort() {
    QList<int> rows(doc_->count());
    std::iota(rows.begin(), rows.end(), 0);
    if (sortColumn_ != 0 || sortOrder_ != Qt::AscendingOrder) {
        const QDate today = clock_().date();
        const auto column = inventory::SortColumn(sortColumn_);
        const QList<csv::Light> lights =
            column == inventory::SortColumn::Light
                ? filter_.lights(doc_->vehicles(), doc_->revisions(), doc_->automaticIntNr(), today)
                : QList<csv::Light>();
        filter_.sortRows(rows, doc_->vehicles(), column, sortOrder_, collator_, lights, today);
    }
    list_->setRowOrder(rows);
}

void TformMain::scheduleLights() {
    lightsTimer_->start();
}

void TformMain::updateLights() {
    const QDate today = clock_().date();
    list_->setLights(filter_.lights(doc_->vehicles(), doc_->revisions(), doc_->automaticIntNr(), today));
    for (int row = 0; row < doc_->count(); ++row)
        list_->setDaysText(row, editor::daysText(doc_->at(row).bestand, today));
}

void TformMain::revealRow(int row) {
    if (row < 0 || row >= doc_->count() || list_->isRowShown(row))
        return;
    searchBar_->reset();
    if (doc_->at(row).bestand.status == model::StockStatus::Sold)
        searchBar_->setSoldView(true);
}

void TformMain::setShownStatus(model::StockStatus status) {
    const int row = shownRow();
    if (row < 0 || !sync_ || isBusy())
        return;
    doc_->setStatus(row, status, clock_().date());
    stockPanel_->showStock(&doc_->at(row).bestand, clock_().date());
    const bool leaves = (status == model::StockStatus::Sold) != searchBar_->soldView();
    if (leaves)
        ShowInStatus(status == model::StockStatus::Sold
                         ? QStringLiteral("Das Fahrzeug steht jetzt unter \"Verkaufte Fahrzeuge\".")
                         : QStringLiteral("Das Fahrzeug steht wieder im Bestand."));
    // A sold vehicle leaves the stock's view, one set back leaves the view of the sold ones.
    applyFilter();
}

void TformMain::selectVehicle(int row) {
    // An opened stock starts at its first vehicle the view shows.
    selectRow(list_->isRowShown(row) ? row : list_->firstShownRow());
}

void TformMain::buildStatusBar() {
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("MainProgBar"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(126);
    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("StatusBarMessage"));
    statusPanel_->setFixedWidth(380);
    statusPanel_->setContentsMargins(1, 0, 0, 0);
    lblFilter_ = new QLabel(this);
    lblFilter_->setObjectName(QStringLiteral("lblFilter"));
    statusBar()->addWidget(progress_);
    statusBar()->addWidget(statusPanel_);
    statusBar()->addWidget(lblFilter_);
    timerStat_ = new QTimer(this);
    timerStat_->setObjectName(QStringLiteral("TimerStat"));
    timerStat_->setInterval(6000);
    timerStat_->setSingleShot(true);
    connect(timerStat_, &QTimer::timeout, this, [this] {
        statusPanel_->clear();
        statusPanel_->setAutoFillBackground(false);
        setTextColour(statusPanel_, QColor());
    });
}

void TformMain::ShowInStatus(const QString& message) {
    timerStat_->start();
    statusPanel_->setText(message);
    statusPanel_->setAutoFillBackground(!message.isEmpty());
    setTextColour(statusPanel_, message.isEmpty() ? QColor() : QColor(Qt::white));
    if (!message.isEmpty()) {
        QPalette pal = statusPanel_->palette();
        pal.setColor(QPalette::Window, Qt::red);
        statusPanel_->setPalette(pal);
    }
}

QString TformMain::statusMessage() const {
    return statusPanel_->text();
}

void TformMain::setInventory(model::Inventory vehicles) {
    // Nothing of the records is kept, so the shown one is released without storing it.
    control_->showRow(-1);
    doc_->clear();
    doc_->append(std::move(vehicles));
    selectRow(doc_->count() > 0 ? 0 : -1);
}

void TformMain::selectRow(int row) {
    if (row >= doc_->count())
        row = -1;
    // The list reports the change itself; it is asked again only when it had that row selected already.
    list_->selectRow(row);
    control_->selectionChanged(row);
}

void TformMain::showStep(int row) {
    sync_ = false;
    if (shownClass_ > 0)
        pages_->photos(shownClass_)->setVehicle(nullptr);
    if (row < 0 || row >= doc_->count()) {
        shownClass_ = 0;
        pages_->showNone();
        lblEintrag_->setText(QStringLiteral("-"));
        setPhotoIndicator(0, false);
        sbAllgemein_->setEnabled(false);
        sbAusstattung_->setEnabled(false);
        lblTypTag_->hide();
        lblTyp_->hide();
        stockPanel_->showStock(nullptr, {});
    } else {
        const model::TFahrzeug& v = doc_->at(row);
        const int c = v.klasse;
        shownClass_ = c;
        pages_->showPage(c, pageFlag_ ? model::Page::Equipment : model::Page::General);
        lblEintrag_->setText(QStringLiteral("%1/%2").arg(row + 1).arg(doc_->count()));
        sbAllgemein_->setEnabled(true);
        sbAusstattung_->setEnabled(true);
        lblTyp_->setText(model::className(c));
        lblTypTag_->show();
        lblTyp_->show();
        pages_->fill(v);
        stockPanel_->showStock(&v.bestand, clock_().date());
        bindPhotos();
        setPhotoIndicator(model::countPhotos(v), true);
    }
    sync_ = true;
    updateCommands();
}

void TformMain::refreshRow(int row) {
    if (row < 0 || row >= doc_->count())
        return;
    list_->setRowTexts(row, editor::rowTexts(doc_->at(row)));
    if (row == shownRow())
        stockPanel_->showStock(&doc_->at(row).bestand, clock_().date());
    scheduleLights();
}

void TformMain::RefreshList() {
    if (!sync_ || shownRow() < 0 || shownRow() >= doc_->count())
        return;
    pages_->store(doc_->edit(shownRow()));
    doc_->changed(shownRow());
}

void TformMain::ItemChange(bool storeNow) {
    if (storeNow)
        RefreshList();
    if (sync_)
        markModified();
}

void TformMain::setBusy(bool busy) {
    control_->setBusy(busy);
}

void TformMain::ActionManager1Update() {
    // Every command's rule comes from the one command table; this only gathers the state the rules read.
    shell::CommandState state;
    state.busy = control_->isBusy();
    state.saved = doc_->isSaved();
    state.rowCount = doc_->count();
    state.selected = shownRow() >= 0;
    state.automaticIntNr = doc_->automaticIntNr();
    state.priceUndo = priceUndo_.has_value();
    const QStringList recent = doc_->recent();
    for (int n = 0; n < inventory::kRecentCount; ++n)
        state.recent[size_t(n)] = !recent.value(n).isEmpty();
    for (const shell::CommandInfo& c : shell::commandTable())
        if (QAction* a = action(c.name))
            a->setEnabled(shell::ruleAllows(c, state));
}

bool TformMain::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, &TformMain::firstPainted);
    }
    // Hints go to lblHint only: shown in the status bar they would cover the progress and the error message.
    if (event->type() == QEvent::StatusTip) {
        showHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

QString TformMain::hintText() const {
    return lblHint_->text().trimmed();
}

void TformMain::showHint(const QString& hint) {
    lblHint_->setText(hint.isEmpty() ? QString() : QStringLiteral("   ") + hint);
}

void TformMain::applySettings(const shell::Settings& settings) {
    settings_ = settings;
    control_->setBackupPlace(shell::backupPlace(settings, QCoreApplication::applicationDirPath(), control_->clock()));
    SetOpenRecent(QStringList(settings.File.begin(), settings.File.end()));
    doc_->setAutomaticIntNr(settings.AutomaticIntNr);
    sortColumn_ = settings.SortColumn >= 0 && settings.SortColumn < VehicleList::kColumnCount ? settings.SortColumn : 0;
    sortOrder_ = settings.SortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    list_->setSortIndicator(sortColumn_, sortOrder_);
    applySort();
    std::array<int, 10> columns{};
    const QList<int> widths = list_->columnWidths();
    for (int i = 0; i < 10; ++i)
        columns[size_t(i)] = widths.value(i);
    const QSize screen = this->screen() ? this->screen()->size() : QSize();
    const shell::WindowPlacement place = shell::placeWindow(settings, screen, geometry(), columns);
    if (place.fromFile) {
        placeOnScreen(place.rect);
        list_->setColumnWidths(QList<int>(place.columns.begin(), place.columns.end()));
        // The restored rectangle stays what it was: maximized before it is shown, the window has no other.
        if (place.maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
    } else if (this->screen()) {
        // Designed size, centred, and never larger than the screen.
        QRect r(QPoint(), designedSize_);
        r.moveCenter(this->screen()->availableGeometry().center());
        placeOnScreen(r);
    }
}

void TformMain::placeOnScreen(QRect rect) {
    QList<QRect> areas;
    for (QScreen* s : QGuiApplication::screens())
        areas.append(s->availableGeometry());
    // Before the first show the window manager's frame is not known; a title bar's height is kept free.
    const QMargins frame =
        isVisible()
            ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                       frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
            : QMargins(0, 30, 0, 0);
    normalRect_ = shell::fitOntoScreens(rect, areas, frame);
    setGeometry(normalRect_);
}

void TformMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible() && windowState() == Qt::WindowNoState)
        normalRect_ = geometry();
}

void TformMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible() && windowState() == Qt::WindowNoState)
        normalRect_ = geometry();
}

shell::Settings TformMain::currentSettings() const {
    shell::Settings s = settings_;
    const QStringList recent = doc_->recent();
    for (int i = 0; i < inventory::kRecentCount; ++i)
        s.File[size_t(i)] = recent.value(i);
    s.AutomaticIntNr = doc_->automaticIntNr();
    s.SortColumn = sortColumn_;
    s.SortDescending = sortOrder_ == Qt::DescendingOrder;
    s.Maximized = isMaximized();
    // Maximized, the window keeps the rectangle it had, or was given at start, for the next start.
    const QRect g = windowState() == Qt::WindowNoState || !normalRect_.isValid() ? geometry() : normalRect_;
    s.Left = g.x();
    s.Top = g.y();
    s.Width = g.width();
    s.Height = g.height();
    if (screen()) {
        s.ScreenX = screen()->size().width();
        s.ScreenY = screen()->size().height();
    }
    const QList<int> widths = list_->columnWidths();
    for (int i = 0; i < 10; ++i)
        s.col[size_t(i)] = widths.value(i);
    return s;
}

void TformMain::SetFileName(const QString& name) {
    doc_->setName(name);
}

void TformMain::SetOpenRecent(const QStringList& paths) {
    doc_->setRecent(paths);
}

void TformMain::AddToRecent(const QString& path) {
    doc_->addToRecent(path);
}

bool TformMain::askSaveChanges() {
    return control_->askSaveChanges();
}

void TformMain::actNeuExecute() {
    control_->newDocument();
}

void TformMain::actOpenRecentExecute(int n) {
    control_->openRecent(n);
}

void TformMain::actLoadFileExecute() {
    control_->openFile();
}

void TformMain::actOpenVehicleExecute() {
    control_->insertFile();
}

void TformMain::actSaveFileExecute() {
    CreateFile(0, doc_->count() - 1, false, false);
}
void TformMain::actSaveFileAsExecute() {
    CreateFile(0, doc_->count() - 1, true, false);
}
void TformMain::actRestoreBackupExecute() {
    if (isBusy())
        return;
    // A document of no file ("Unbenannt") has no backups folder, so none are listed.
    const QList<inventory::BackupEntry> entries =
        inventory::listBackups(shell::dataFolder(QCoreApplication::applicationDirPath()), doc_->name());
    if (entries.isEmpty()) {
        Dialogs::information(this, QStringLiteral("Für diesen Bestand gibt es noch keine Sicherungen.\n\nEine "
                                                  "Sicherung entsteht, sobald das Speichern eine Datei ersetzt."));
        return;
    }
    QString chosen;
    {
        TformBackups dialog(entries, this);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.chosenFile();
    }
    if (!chosen.isEmpty())
        control_->openCopy(chosen);
}
void TformMain::actSaveVehicleExecute() {
    const int row = shownRow();
    if (row >= 0)
        CreateFile(row, row, true, true);
}

void TformMain::closeEvent(QCloseEvent* event) {
    if (!control_->close()) {
        event->ignore();
        return;
    }
    if (settingsWriter_ && !settingsWritten_) {
        settingsWritten_ = true;
        settingsWriter_(currentSettings());
    }
    event->accept();
}

void TformMain::setPhotoIndicator(int count, bool anyVehicle) {
    if (!anyVehicle) {
        lblBild_->setText(QStringLiteral("-"));
        setTextColour(lblBild_, QColor());
    } else if (count > 0) {
        lblBild_->setText(QStringLiteral("Ja"));
        setTextColour(lblBild_, QColor(0, 128, 0));
    } else {
        lblBild_->setText(QStringLiteral("Nein"));
        setTextColour(lblBild_, QColor(128, 0, 0));
    }
}

void TformMain::switchPage(int page) {
    if (shownRow() < 0 || shownRow() >= doc_->count())
        return;
    const int c = doc_->at(shownRow()).klasse;
    pageFlag_ = page;
    pages_->showPage(c, page ? model::Page::Equipment : model::Page::General);
    sbAllgemein_->setText(page ? QStringLiteral("Allgemein") : QStringLiteral(":: Allgemein ::"));
    setTextColour(sbAllgemein_, page ? kGrey : kOrange);
    sbAusstattung_->setText(page ? QStringLiteral(":: Ausstattung ::") : QStringLiteral("Ausstattung"));
    setTextColour(sbAusstattung_, page ? kOrange : kGrey);
}

void TformMain::sbAllgemeinClick() {
    switchPage(0);
}
void TformMain::sbAusstattungClick() {
    switchPage(1);
}

void TformMain::AddFahrzeug(int klasse) {
    if (control_->isBusy() || klasse < 1 || klasse > model::kClassCount)
        return;
    const int row = doc_->appendNew(klasse);
    pageFlag_ = 0;
    selectRow(row);
    switchPage(0);
    if (klasse == 1 || (klasse >= 4 && klasse <= 6) || klasse == 10)
        pages_->featureTabs(klasse)->setCurrentIndex(0);
    markModified();
}

void TformMain::actCopyExecute() {
    const int row = shownRow();
    if (control_->isBusy() || row < 0)
        return;
    RefreshList();
    const int copy = doc_->appendCopy(row);
    pageFlag_ = 0;
    selectRow(copy);
    switchPage(0);
    markModified();
}

void TformMain::actRemoveExecute() {
    const int row = shownRow();
    if (control_->isBusy() || row < 0)
        return;
    if (!Dialogs::confirm(this, QStringLiteral("Wirklich löschen?")))
        return;
    // The record goes away: nothing is stored, and no control may keep pointing into it.
    control_->showRow(-1);
    doc_->removeAt(row);
    selectRow(doc_->count() == 0 ? -1 : std::min(row, doc_->count() - 1));
    markModified();
}

void TformMain::reportFailure(const csv::InventoryFailure& failure) {
    showFinding(failure.index, failure.failure, QStringLiteral(" Fehler: "));
}

void TformMain::showFinding(int index, const csv::CheckFailure& f, const QString& prefix) {
    revealRow(index);
    selectRow(index);
    switchPage(csv::pageIndex(f));
    const int c = doc_->at(index).klasse;
    if (QTabWidget* tabs = pages_->featureTabs(c); tabs && csv::tabIndex(f) > 0)
        tabs->setCurrentIndex(csv::tabIndex(f) - 1);
    ShowInStatus(prefix + f.message);
    // A value read from a file can fail where its class has no control: the message and the list row
    // then show the vehicle, and the focus stays in the list.
    QWidget* w = pages_->control(f.control);
    if (w && w->isEnabled() && !w->isHidden())
        w->setFocus(Qt::OtherFocusReason);
    else
        list_->setFocus(Qt::OtherFocusReason);
}

void TformMain::actCheckErrorsExecute() {
    RefreshList();
    ShowInStatus(QString());
    if (auto f = doc_->check(clock_().date())) {
        reportFailure(*f);
        return;
    }
    Dialogs::information(this, QStringLiteral("Keine Fehler gefunden!"));
}

void TformMain::actCheckStockExecute() {
    if (doc_->count() == 0 || isBusy())
        return;
    RefreshList();
    if (!stockReport_) {
        stockReport_ = new TformStockReport(this);
        connect(stockReport_, &TformStockReport::findingChosen, this,
                [this](int index, const csv::CheckFailure& detail, csv::Severity severity) {
                    // The report is a snapshot: a vehicle deleted since is not there to show.
                    if (index < 0 || index >= doc_->count() || isBusy())
                        return;
                    activateWindow();
                    showFinding(index, detail,
                                severity == csv::Severity::Error ? QStringLiteral(" Fehler: ")
                                                                 : QStringLiteral(" Warnung: "));
                });
    }
    stockReport_->showReport(doc_->checkStock(clock_().date()), doc_->vehicles(), clock_());
    stockReport_->show();
    stockReport_->raise();
}

void TformMain::refreshStockReport() {
    if (!stockReport_ || !stockReport_->isVisible())
        return;
    if (doc_->count() == 0)
        stockReport_->hide();
    else
        stockReport_->showReport(doc_->checkStock(clock_().date()), doc_->vehicles(), clock_());
}

void TformMain::actChangePricesExecute() {
    if (doc_->count() == 0 || isBusy())
        return;
    RefreshList();
    QList<int> rows;
    for (int row = 0; row < doc_->count(); ++row)
        if (list_->isRowShown(row))
            rows << row;
    model::PricePreview preview;
    {
        TformPriceChange dialog(doc_->vehicles(), rows, this);
        if (dialog.exec() != QDialog::Accepted || !dialog.preview().canApply())
            return;
        preview = dialog.preview();
    }
    for (const model::PriceRow& r : preview.rows) {
        const model::TFahrzeug& v = doc_->at(r.index);
        if (v.preis == r.newPrice && v.hpreis == r.newDealer)
            continue;
        model::TFahrzeug& edited = doc_->edit(r.index);
        edited.preis = r.newPrice;
        edited.hpreis = r.newDealer;
        doc_->changed(r.index);
    }
    priceUndo_ = preview;
    control_->noteChangeBefore(inventory::BackupCause::BeforePriceChange);
    markModified();
    updateCommands();
    control_->showRow(shownRow());
    ShowInStatus(QStringLiteral(" %1 Preise geändert.").arg(preview.changedCount()));
}

void TformMain::actUndoPricesExecute() {
    if (!priceUndo_ || isBusy())
        return;
    RefreshList();
    // A price edited since the change is the dealer's newer word: it stays.
    int kept = 0;
    for (const model::PriceRow& r : priceUndo_->rows) {
        if (r.index >= doc_->count())
            continue;
        const model::TFahrzeug& v = doc_->at(r.index);
        if (v.preis == r.oldPrice && v.hpreis == r.oldDealer)
            continue;
        if (v.preis != r.newPrice || v.hpreis != r.newDealer) {
            ++kept;
            continue;
        }
        model::TFahrzeug& edited = doc_->edit(r.index);
        edited.preis = r.oldPrice;
        edited.hpreis = r.oldDealer;
        doc_->changed(r.index);
    }
    priceUndo_.reset();
    markModified();
    updateCommands();
    control_->showRow(shownRow());
    if (kept > 0)
        Dialogs::information(this, QStringLiteral("Die Preise von %1 Fahrzeug(en) wurden nach der Preisänderung "
                                                  "von Hand geändert und bleiben, wie sie sind.")
                                       .arg(kept));
}

void TformMain::CreateFile(int first, int last, bool ask, bool single) {
    control_->save(first, last, ask, single);
}

void TformMain::openAtStart(const QString& argument) {
    control_->openAtStart(argument);
}

void TformMain::ReadFile(const QString& path, bool insert) {
    control_->read(path, insert);
}

inventory::DocumentView::Answer TformMain::askSave(const QString& question) {
    const auto answer = Dialogs::message(this, Dialogs::Kind::Question, question,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return answer == QMessageBox::Yes ? Answer::Yes : answer == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool TformMain::confirm(const QString& question) {
    return Dialogs::confirm(this, question);
}

void TformMain::error(const QString& message) {
    Dialogs::error(this, message);
}

void TformMain::warning(const QString& message) {
    Dialogs::warning(this, message);
}

QString TformMain::openFileName(const QString& caption) {
    return Dialogs::openFileName(this, caption, QStringLiteral("Alle Dateien (*);;Archiv (*.zip);;CSV-Datei (*.csv)"));
}

QString TformMain::saveFileName() {
    return Dialogs::saveFileName(this, QStringLiteral("Speichern unter"), QStringLiteral("Archiv (*.zip)"));
}

void TformMain::hold(bool hold) {
    // While a file is read or written the editor takes no input, and the focus returns afterwards.
    if (hold)
        heldFocus_ = QApplication::focusWidget();
    for (QWidget* w : {plControl_, plNavigation_, pageArea_})
        w->setEnabled(!hold);
    if (!hold) {
        if (heldFocus_ && heldFocus_->isEnabled() && heldFocus_->isVisible())
            heldFocus_->setFocus(Qt::OtherFocusReason);
        heldFocus_.clear();
    }
}

void TformMain::showImport(bool shown) {
    plNavigation_->setVisible(!shown);
    pageArea_->setVisible(!shown);
    if (shown)
        plImport_->setFixedHeight(std::max(pageArea_->height(), 100));
    plImport_->setVisible(shown);
}

void TformMain::progress(int percent) {
    progress_->setValue(percent);
}

} // namespace tarmelo::gui
