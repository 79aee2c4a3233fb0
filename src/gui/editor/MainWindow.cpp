#include "MainWindow.h"

#include "PhotoGroup.h"
#include "VehicleList.h"
#include "VehiclePages.h"
#include "common/Dialogs.h"
#include "csv/InventoryCheck.h"
#include "csv/VehicleChecks.h"
#include "editor/RowTexts.h"
#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "inventory/RecentFiles.h"
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
#include <QEventLoop>
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
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace tarmelo::gui {

namespace {

struct AddCommand {
    const char* name;
    const char* caption;
};
const AddCommand kAdd[12] = {
    {"actAddPkw", "&Pkw"},
    {"actAddKrad", "&Motorrad"},
    {"actAddWomo", "&Wohnmobil"},
    {"actAddLkw_k", "&Transporter und Lkw bis 7,5t"},
    {"actAddLkw_g", "Lk&w über 7,5t"},
    {"actAddSZM", "Sattel&zugmaschine (SZM)"},
    {"actAddHaenger", "A&nhänger"},
    {"actAddAuflieger", "Aufliege&r"},
    {"actAddBaumaschine", "&Baumaschine"},
    {"actAddBus", "B&us"},
    {"actAddAgrar", "A&grarfahrzeug"},
    {"actAddStapler", "&Stapler"},
};

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

QAction* makeAction(QObject* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* a = new QAction(caption, parent);
    a->setObjectName(QLatin1StringView(name));
    if (!hint.isEmpty()) {
        a->setStatusTip(hint);
        a->setToolTip(hint);
    }
    return a;
}

} // namespace

TformMain::TformMain(QWidget* parent, const QString& layoutCache) : QMainWindow(parent) {
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QStringLiteral("Tarmelo"));
    doc_ = new inventory::Document(this);
    doc_->setName(QStringLiteral("Unbenannt"));

    list_ = new VehicleList(this);
    pages_ = new VehiclePages(this);
    buildMenus();

    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
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
    connect(list_, &VehicleList::currentRowChanged, this, &TformMain::VehicleListChange);
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
        // Appending may move the records in memory: the photo group must hold the shown one anew.
        bindPhotos();
        if (shownRow_ >= 0)
            lblEintrag_->setText(QStringLiteral("%1/%2").arg(shownRow_ + 1).arg(doc_->count()));
    });
    connect(doc_, &inventory::Document::rowRemoved, this, [this](int row) {
        list_->removeRow(row);
        bindPhotos();
    });
    connect(doc_, &inventory::Document::cleared, this, [this] { list_->clearRows(); });
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
    });
    // Every state a command depends on announces its changes; the commands follow each of them.
    connect(doc_, &inventory::Document::rowsInserted, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::rowRemoved, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::cleared, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::savedChanged, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::recentChanged, this, &TformMain::updateCommands);
    connect(doc_, &inventory::Document::automaticIntNrChanged, this, &TformMain::updateCommands);
}

void TformMain::connectPhotos(int c) {
    PhotoGroup* g = pages_->photos(c);
    connect(g, &PhotoGroup::modified, this, [this] {
        if (shownRow_ >= 0)
            doc_->changed(shownRow_);
        markModified();
    });
    connect(g, &PhotoGroup::photoCountChanged, this, [this](int n) { setPhotoIndicator(n, true); });
    connect(g, &PhotoGroup::busyChanged, this, &TformMain::setBusy);
    connect(g, &PhotoGroup::progressChanged, progress_, &QProgressBar::setValue);
    g->setPreviewAllowed([this] { return !busy_ && sync_ && shownRow_ >= 0; });
}

void TformMain::bindPhotos() {
    if (shownClass_ > 0)
        pages_->photos(shownClass_)->setVehicle(shownRow_ >= 0 ? &doc_->edit(shownRow_) : nullptr);
}

QAction* TformMain::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void TformMain::buildMenus() {
    addMenu_ = new QMenu(QStringLiteral("&Hinzufügen"), this);
    QMenu* trucks = nullptr;
    for (int c = 1; c <= model::kClassCount; ++c) {
        QAction* a = makeAction(this, kAdd[c - 1].name, QString::fromUtf8(kAdd[c - 1].caption));
        a->setData(c);
        connect(a, &QAction::triggered, this, [this, c] { AddFahrzeug(c); });
        if (c == 4)
            trucks = addMenu_->addMenu(QStringLiteral("&Transporter und Nutzfahrzeuge"));
        (c <= 3 ? addMenu_ : trucks)->addAction(a);
    }

    QAction* copy =
        makeAction(this, "actCopy", QStringLiteral("&Kopieren"), QStringLiteral("Dupliziert das selektierte Fahrzeug"));
    connect(copy, &QAction::triggered, this, &TformMain::actCopyExecute);
    QAction* remove =
        makeAction(this, "actRemove", QStringLiteral("&Löschen"), QStringLiteral("Löscht das selektierte Fahrzeug"));
    connect(remove, &QAction::triggered, this, &TformMain::actRemoveExecute);
    QAction* check = makeAction(this, "actCheckErrors", QStringLiteral("Bestand auf Fehler über&prüfen"),
                                QStringLiteral("Prüft den Bestand auf Eingabefehler"));
    connect(check, &QAction::triggered, this, &TformMain::actCheckErrorsExecute);
    // Commands whose documents come later are shown, but not yet offered.
    QAction* insert = makeAction(this, "actOpenVehicle", QStringLiteral("Aus Datei ein&fügen ..."));
    QAction* saveOne = makeAction(this, "actSaveVehicle", QStringLiteral("In &Datei speichern ..."));
    QAction* quit = makeAction(this, "actExit", QStringLiteral("&Beenden"), QStringLiteral("Beendet die Anwendung"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QAction* neu =
        makeAction(this, "actNeu", QStringLiteral("&Neu"), QStringLiteral("Erstellt einen neuen Fahrzeugbestand"));
    connect(neu, &QAction::triggered, this, &TformMain::actNeuExecute);
    QAction* loadMobile = makeAction(this, "actLoadMobile", QStringLiteral("&Karvento ..."),
                                     QStringLiteral("Lädt Ihren Fahrzeugbestand von Karvento herunter"));
    QAction* loadFile = makeAction(this, "actLoadFile", QStringLiteral("&Datei ..."),
                                   QStringLiteral("Öffnet einen abgespeicherten Fahrzeugbestand"));
    connect(loadFile, &QAction::triggered, this, &TformMain::actLoadFileExecute);
    QAction* saveMobile = makeAction(this, "actSaveMobile", QStringLiteral("K&arvento ..."),
                                     QStringLiteral("Überträgt den Fahrzeugbestand zu Karvento"));
    QAction* saveFile =
        makeAction(this, "actSaveFile", QStringLiteral("D&atei"), QStringLiteral("Speichert den Fahrzeugbestand"));
    connect(saveFile, &QAction::triggered, this, &TformMain::actSaveFileExecute);
    QAction* saveAs = makeAction(this, "actSaveFileAs", QStringLiteral("Datei &unter ..."),
                                 QStringLiteral("Speichert den Fahrzeugbestand in einer neuen Datei"));
    connect(saveAs, &QAction::triggered, this, &TformMain::actSaveFileAsExecute);
    QAction* print = makeAction(this, "actPrint", QStringLiteral("&Drucken ..."),
                                QStringLiteral("Öffnet den Dialog zum Drucken der Fahrzeuge"));
    connect(saveMobile, &QAction::triggered, this, &TformMain::actSaveMobileExecute);
    connect(loadMobile, &QAction::triggered, this, &TformMain::actLoadMobileExecute);
    connect(print, &QAction::triggered, this, &TformMain::actPrintExecute);
    QAction* transferLog = makeAction(this, "actTransferLog", QStringLiteral("Übertragungs&protokoll ..."),
                                      QStringLiteral("Zeigt die bisherigen Übertragungen zu und von Karvento"));
    connect(transferLog, &QAction::triggered, this, &TformMain::actTransferLogExecute);
    connect(insert, &QAction::triggered, this, &TformMain::actOpenVehicleExecute);
    connect(saveOne, &QAction::triggered, this, &TformMain::actSaveVehicleExecute);
    insert->setStatusTip(QStringLiteral("Fügt dem Bestand ein oder mehrere Fahrzeuge hinzu"));
    saveOne->setStatusTip(QStringLiteral("Speichert das selektierte Fahrzeug"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    file->addAction(neu);
    file->addSeparator();
    QMenu* open = file->addMenu(QStringLiteral("Ö&ffnen"));
    open->addAction(loadMobile);
    open->addSeparator();
    open->addAction(loadFile);
    QMenu* recent = open->addMenu(QStringLiteral("Zuletzt &geöffnete Dateien"));
    for (int n = 1; n <= inventory::kRecentCount; ++n) {
        QAction* a = makeAction(this, "", inventory::recentCaption(n, QString()));
        a->setObjectName(QStringLiteral("actOpenRecent%1").arg(n));
        connect(a, &QAction::triggered, this, [this, n] { actOpenRecentExecute(n); });
        recent->addAction(a);
    }
    QMenu* save = file->addMenu(QStringLiteral("&Speichern"));
    save->addAction(saveMobile);
    save->addSeparator();
    save->addAction(saveFile);
    save->addAction(saveAs);
    file->addAction(transferLog);
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
    QAction* automatic =
        makeAction(this, "actAutomaticIntNr", QStringLiteral("Automatische &Vergabe"),
                   QStringLiteral("Aktiviert bzw. deaktiviert die automatische Vergabe interner Nummern"));
    automatic->setCheckable(true);
    automatic->setChecked(true);
    connect(automatic, &QAction::triggered, this, [this] {
        setAutomaticIntNr(!doc_->automaticIntNr());
        markModified();
    });
    numbers->addAction(automatic);
    QAction* rename = makeAction(
        this, "actUpdateIntNr", QStringLiteral("&Aktualisierung ..."),
        QStringLiteral("Öffnet den Dialog zum schnellen Vergeben bzw. Umbenennen mehrerer interner Nummern"));
    connect(rename, &QAction::triggered, this, &TformMain::actUpdateIntNrExecute);
    numbers->addAction(rename);
    vehicle->addAction(check);

    QAction* help = makeAction(this, "actHelp", QStringLiteral("&Hilfe"), QStringLiteral("Öffnet die Hilfe"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
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
        (c <= 3 ? dropMenu : trucks)->addAction(action(QLatin1StringView(kAdd[c - 1].name)));
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
    h->addStretch();
    // The designed state: "Allgemein" marked, both disabled until a vehicle is selected.
    sbAllgemein_->setText(QStringLiteral(":: Allgemein ::"));
    setTextColour(sbAllgemein_, kOrange);
    sbAusstattung_->setText(QStringLiteral("Ausstattung"));
    setTextColour(sbAusstattung_, kGrey);
    return nav;
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
    statusBar()->addWidget(progress_);
    statusBar()->addWidget(statusPanel_);
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
    emptyInventory();
    doc_->append(std::move(vehicles));
    selectRow(doc_->count() > 0 ? 0 : -1);
}

void TformMain::selectRow(int row) {
    if (row >= doc_->count())
        row = -1;
    // The list reports the change itself; it is asked again only when it had that row selected already.
    list_->selectRow(row);
    if (shownRow_ != row)
        VehicleListChange(row);
}

void TformMain::VehicleListChange(int current) {
    if (current == shownRow_)
        return;
    // The record that is left takes the edits of the controls first.
    RefreshList();
    showStep(current);
}

void TformMain::showStep(int row) {
    sync_ = false;
    if (shownClass_ > 0)
        pages_->photos(shownClass_)->setVehicle(nullptr);
    if (row < 0 || row >= doc_->count()) {
        shownRow_ = -1;
        shownClass_ = 0;
        pages_->showNone();
        lblEintrag_->setText(QStringLiteral("-"));
        setPhotoIndicator(0, false);
        sbAllgemein_->setEnabled(false);
        sbAusstattung_->setEnabled(false);
        lblTypTag_->hide();
        lblTyp_->hide();
    } else {
        shownRow_ = row;
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
        bindPhotos();
        setPhotoIndicator(model::countPhotos(v), true);
    }
    sync_ = true;
    updateCommands();
}

void TformMain::refreshRow(int row) {
    if (row >= 0 && row < doc_->count())
        list_->setRowTexts(row, editor::rowTexts(doc_->at(row)));
}

void TformMain::RefreshList() {
    if (!sync_ || shownRow_ < 0 || shownRow_ >= doc_->count())
        return;
    pages_->store(doc_->edit(shownRow_));
    doc_->changed(shownRow_);
}

void TformMain::ItemChange(bool storeNow) {
    if (storeNow)
        RefreshList();
    if (sync_)
        markModified();
}

void TformMain::setBusy(bool busy) {
    busy_ = busy;
    // While a long operation runs on a vehicle, the vehicle array must stay as it is.
    list_->setEnabled(!busy);
    updateCommands();
}

void TformMain::ActionManager1Update() {
    // Every command's rule comes from the one command table; this only gathers the state the rules read.
    shell::CommandState state;
    state.busy = busy_;
    state.saved = doc_->isSaved();
    state.rowCount = doc_->count();
    state.selected = shownRow_ >= 0;
    state.automaticIntNr = doc_->automaticIntNr();
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
    SetOpenRecent(QStringList(settings.File.begin(), settings.File.end()));
    doc_->setAutomaticIntNr(settings.AutomaticIntNr);
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

void TformMain::emptyInventory() {
    // Nothing of the records is kept, so the shown one is released without storing it.
    showStep(-1);
    doc_->clear();
}

bool TformMain::askSaveChanges() {
    if (doc_->count() == 0 || doc_->isSaved())
        return true;
    const QString docName = doc_->name();
    const QString name = QFileInfo(docName.isEmpty() ? QStringLiteral("Unbenannt") : docName).fileName();
    const auto answer = Dialogs::message(this, Dialogs::Kind::Question,
                                         QStringLiteral("Möchten Sie die Änderungen in \"%1\" speichern?").arg(name),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes) {
        actSaveFileExecute();
        return doc_->isSaved();
    }
    return true;
}

void TformMain::actNeuExecute() {
    if (busy_ || (doc_->count() == 0 && doc_->name() == QLatin1StringView("Unbenannt")))
        return;
    if (!askSaveChanges())
        return;
    SetFileName(QStringLiteral("Unbenannt"));
    lock_.reset();
    stamp_ = {};
    emptyInventory();
    markModified();
}

void TformMain::actOpenRecentExecute(int n) {
    if (busy_ || n < 1 || n > inventory::kRecentCount || doc_->recent().value(n - 1).isEmpty())
        return;
    const QString path = doc_->recent().value(n - 1);
    if (!QFileInfo::exists(path)) {
        Dialogs::error(this,
                       QStringLiteral("Die angegebene Datei \"%1\" existiert nicht!").arg(QFileInfo(path).fileName()));
        doc_->forgetRecent(n);
        return;
    }
    if (!askSaveChanges() || !lockDocumentFile(path))
        return;
    emptyInventory();
    ReadFile(path, false);
}

void TformMain::actLoadFileExecute() {
    if (busy_ || !askSaveChanges())
        return;
    const QString path = Dialogs::openFileName(this, QStringLiteral("Öffnen"),
                                               QStringLiteral("Alle Dateien (*);;Archiv (*.zip);;CSV-Datei (*.csv)"));
    // A file another instance holds is refused before the inventory shown here is given up.
    if (path.isEmpty() || !lockDocumentFile(path))
        return;
    emptyInventory();
    ReadFile(path, false);
}

void TformMain::actOpenVehicleExecute() {
    if (busy_)
        return;
    const QString path = Dialogs::openFileName(this, QStringLiteral("Einfügen"),
                                               QStringLiteral("Alle Dateien (*);;Archiv (*.zip);;CSV-Datei (*.csv)"));
    if (!path.isEmpty())
        ReadFile(path, true);
}

void TformMain::actSaveFileExecute() {
    CreateFile(0, doc_->count() - 1, false, false);
}
void TformMain::actSaveFileAsExecute() {
    CreateFile(0, doc_->count() - 1, true, false);
}
void TformMain::actSaveVehicleExecute() {
    const int row = shownRow_;
    if (row >= 0)
        CreateFile(row, row, true, true);
}

void TformMain::closeEvent(QCloseEvent* event) {
    // The busy flag refuses at once: input is not held back while a file is read or written.
    if (busy_ || !askSaveChanges()) {
        event->ignore();
        return;
    }
    if (settingsWriter_ && !settingsWritten_) {
        settingsWritten_ = true;
        settingsWriter_(currentSettings());
    }
    lock_.reset();
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
    if (shownRow_ < 0 || shownRow_ >= doc_->count())
        return;
    const int c = doc_->at(shownRow_).klasse;
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
    if (busy_ || klasse < 1 || klasse > model::kClassCount)
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
    const int row = shownRow_;
    if (busy_ || row < 0)
        return;
    RefreshList();
    const int copy = doc_->appendCopy(row);
    pageFlag_ = 0;
    selectRow(copy);
    switchPage(0);
    markModified();
}

void TformMain::actRemoveExecute() {
    const int row = shownRow_;
    if (busy_ || row < 0)
        return;
    if (!Dialogs::confirm(this, QStringLiteral("Wirklich löschen?")))
        return;
    // The record goes away: nothing is stored, and no control may keep pointing into it.
    showStep(-1);
    doc_->removeAt(row);
    selectRow(doc_->count() == 0 ? -1 : std::min(row, doc_->count() - 1));
    markModified();
}

void TformMain::reportFailure(const csv::InventoryFailure& failure) {
    const csv::CheckFailure& f = failure.failure;
    selectRow(failure.index);
    switchPage(csv::pageIndex(f));
    const int c = doc_->at(failure.index).klasse;
    if (QTabWidget* tabs = pages_->featureTabs(c); tabs && csv::tabIndex(f) > 0)
        tabs->setCurrentIndex(csv::tabIndex(f) - 1);
    ShowInStatus(QStringLiteral(" Fehler: ") + f.message);
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

} // namespace tarmelo::gui

namespace tarmelo::gui {

void TformMain::runOffThread(const std::function<void()>& work) {
    // A thread of its own, joined here: the libraries' per-thread state ends with it.
    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
}

void TformMain::holdEditor(bool hold) {
    if (hold) {
        heldFocus_ = QApplication::focusWidget();
        setBusy(true);
    }
    for (QWidget* w : {plControl_, plNavigation_, pageArea_})
        w->setEnabled(!hold);
    if (!hold) {
        setBusy(false);
        if (heldFocus_ && heldFocus_->isEnabled() && heldFocus_->isVisible())
            heldFocus_->setFocus(Qt::OtherFocusReason);
        heldFocus_.clear();
    }
}

bool TformMain::lockDocumentFile(const QString& path) {
    if (lock_ && lock_->archive() == inventory::ArchiveLock::absolute(path))
        return true;
    auto lock = std::make_unique<inventory::ArchiveLock>();
    if (lock->take(path) == inventory::ArchiveLock::Result::HeldElsewhere) {
        Dialogs::error(this,
                       QStringLiteral("Die Datei \"%1\" ist bereits in einem anderen Tarmelo-Fenster geöffnet.\n\n"
                                      "Schließen Sie die Datei dort, bevor Sie sie hier öffnen.")
                           .arg(QFileInfo(path).fileName()));
        return false;
    }
    lock_ = std::move(lock);
    stamp_ = {};
    return true;
}

bool TformMain::mayReplace(const QString& target, std::unique_ptr<inventory::ArchiveLock>& taken) {
    const QString absolute = inventory::ArchiveLock::absolute(target);
    const bool ours = lock_ && lock_->archive() == absolute;
    if (!ours) {
        taken = std::make_unique<inventory::ArchiveLock>();
        if (taken->take(target) == inventory::ArchiveLock::Result::HeldElsewhere) {
            taken.reset();
            Dialogs::warning(this, QStringLiteral("Die Datei \"%1\" ist in einem anderen Tarmelo-Fenster geöffnet und "
                                                  "kann hier nicht gespeichert werden.\n\nSpeichern Sie unter einem "
                                                  "anderen Namen oder schließen Sie die Datei dort.")
                                       .arg(QFileInfo(target).fileName()));
            return false;
        }
        return true;
    }
    if (!stamp_.exists)
        return true;
    bool unchanged = true;
    const inventory::FileStamp stamp = stamp_;
    runOffThread([&] { unchanged = inventory::unchangedSince(target, stamp); });
    if (unchanged)
        return true;
    return Dialogs::confirm(this, QStringLiteral("Die Datei \"%1\" wurde seit dem Öffnen oder letzten Speichern "
                                                 "außerhalb dieses Fensters geändert.\n\nMöchten Sie sie trotzdem "
                                                 "überschreiben? Die Änderungen in der Datei gehen dabei verloren.")
                                      .arg(QFileInfo(target).fileName()));
}

void TformMain::CreateFile(int first, int last, bool ask, bool single) {
    if (busy_ || first < 0 || last < first || last >= doc_->count())
        return;
    RefreshList();
    ShowInStatus(QString());
    // The rules first: a vehicle that breaks one stops the save before any file is touched.
    const inventory::KeyMode mode = doc_->automaticIntNr() ? inventory::KeyMode::Automatic : inventory::KeyMode::Typed;
    const inventory::CsvLines lines = inventory::buildLines(doc_->vehicles(), first, last, mode, clock_);
    if (!lines.ok()) {
        reportFailure(*lines.failure);
        return;
    }
    QString target;
    const QString docName = doc_->name();
    if (ask || single || docName.isEmpty() || docName == QLatin1StringView("Unbenannt"))
        target = Dialogs::saveFileName(this, QStringLiteral("Speichern unter"), QStringLiteral("Archiv (*.zip)"));
    else
        target = docName;
    if (target.isEmpty() || target == QLatin1StringView("Unbenannt"))
        return;
    target = inventory::archivePath(target);

    holdEditor(true);
    std::unique_ptr<inventory::ArchiveLock> taken;
    if (!mayReplace(target, taken)) {
        holdEditor(false);
        return;
    }
    inventory::WriteOptions options;
    QPointer<QProgressBar> bar = progress_;
    options.progress = [bar](int percent) {
        QMetaObject::invokeMethod(
            bar,
            [bar, percent] {
                if (bar)
                    bar->setValue(percent);
            },
            Qt::QueuedConnection);
    };
    options.inject = saveFaults_;
    // The thread writes a copy of the array: implicitly shared, so nothing is copied while the editor is held.
    const model::Inventory vehicles = doc_->vehicles();
    const QByteArray csv = lines.fileData();
    inventory::SaveResult r;
    inventory::FileStamp written;
    runOffThread([&] {
        if (saveThreadHook_)
            saveThreadHook_(true);
        r = inventory::writeArchive(target, csv, vehicles, first, last, options);
        if (saveThreadHook_)
            saveThreadHook_(false);
        if (r.ok() && !single)
            written = inventory::stampOf(target);
    });
    progress_->setValue(0);
    holdEditor(false);
    if (!r.ok()) {
        // Nothing was replaced: name, recent files and saved flag stay as they were.
        if (r.isError())
            Dialogs::error(this, r.message());
        else
            Dialogs::warning(this, r.message());
        return;
    }
    if (!single) {
        if (taken)
            lock_ = std::move(taken);
        stamp_ = written;
        SetFileName(target);
        AddToRecent(target);
        doc_->setSaved(true);
    }
}

void TformMain::appendInPortions(model::Inventory vehicles) {
    // A large inventory joins the list in portions with the events handled between them, so the window
    // repaints and the progress moves instead of pausing until every row is there.
    constexpr qsizetype kPortion = 100;
    const qsizetype total = vehicles.size();
    for (qsizetype from = 0; from < total; from += kPortion) {
        const qsizetype n = std::min(kPortion, total - from);
        model::Inventory portion;
        portion.reserve(n);
        for (qsizetype i = from; i < from + n; ++i)
            portion.append(std::move(vehicles[i]));
        doc_->append(std::move(portion));
        progress_->setValue(90 + int(10 * (from + n) / total));
        // Input is handled now, not held back: the busy flag has every command that could disturb this off.
        QCoreApplication::processEvents();
    }
}

void TformMain::openAtStart(const QString& argument) {
    SetFileName(QStringLiteral("Unbenannt"));
    if (argument.isEmpty())
        return;
    if (QFileInfo(argument).isFile())
        ReadFile(argument, false);
    else
        Dialogs::error(
            this, QStringLiteral("Die angegebene Datei \"%1\" existiert nicht!").arg(QFileInfo(argument).fileName()));
}

void TformMain::ReadFile(const QString& path, bool insert) {
    if (busy_)
        return;
    if (!insert && !lockDocumentFile(path))
        return;
    holdEditor(true);
    plNavigation_->hide();
    pageArea_->hide();
    plImport_->setFixedHeight(std::max(pageArea_->height(), 100));
    plImport_->show();
    QPointer<QProgressBar> bar = progress_;
    inventory::OpenResult r;
    inventory::FileStamp stamp;
    runOffThread([&] {
        // Stamped before reading: a change made while it is read shows at the next save.
        if (!insert)
            stamp = inventory::stampOf(path);
        // Reading fills the first nine tenths of the bar, listing the vehicles the last tenth.
        r = inventory::readInventoryFile(path, [bar](int percent) {
            QMetaObject::invokeMethod(
                bar,
                [bar, percent] {
                    if (bar)
                        bar->setValue(percent * 9 / 10);
                },
                Qt::QueuedConnection);
        });
    });
    const bool taken = !r.vehicles.isEmpty();
    // The closing message counts the vehicles taken: it is worded before they move into the document.
    const QString message = r.message();
    appendInPortions(std::move(r.vehicles));
    if (!insert) {
        if (r.ok()) {
            stamp_ = stamp;
            SetFileName(path);
            AddToRecent(path);
            doc_->setSaved(true);
        } else {
            lock_.reset();
            stamp_ = {};
            SetFileName(QStringLiteral("Unbenannt"));
        }
    } else if (taken) {
        markModified();
    }
    plImport_->hide();
    pageArea_->show();
    plNavigation_->show();
    progress_->setValue(0);
    if (doc_->count() > 0)
        selectRow(0);
    holdEditor(false);
    if (!message.isEmpty()) {
        if (r.isError())
            Dialogs::error(this, message);
        else
            Dialogs::warning(this, message);
    }
}

} // namespace tarmelo::gui
