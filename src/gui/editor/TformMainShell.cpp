// The application shell's commands of the main window: tips, info box, online update, web links, work-area reset,
// icons, and the tips and update reminder at start.

#include "TformMain.h"

#include "VehicleList.h"
#include "common/Dialogs.h"
#include "shell/Commands.h"
#include "shell/Desktop.h"
#include "shell/Help.h"
#include "shell/TformInfo.h"
#include "shell/TformTipps.h"
#include "shell/TformUpdate.h"
#include "shell/Tips.h"
#include "shell/UpdateRules.h"
#include "shell/UpdateSession.h"
#include "shell/WebLinks.h"
#include "shell/WorkArea.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace tarmelo::gui {

namespace {

QString shareFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tarmelo"));
}

// Tool-bar and menu icons by their freedesktop names.
const struct {
    const char* action;
    const char* icon;
} kIcons[] = {
    {"actNeu", "document-new"},
    {"actLoadFile", "document-open"},
    {"actSaveFile", "document-save"},
    {"actSaveFileAs", "document-save-as"},
    {"actLoadMobile", "go-down"},
    {"actSaveMobile", "go-up"},
    {"actPrint", "document-print"},
    {"actExit", "application-exit"},
    {"actCopy", "edit-copy"},
    {"actRemove", "edit-delete"},
    {"actCheckErrors", "tools-check-spelling"},
    {"actCheckStock", "dialog-warning"},
    {"actHelp", "help-browser"},
    {"actInfo", "help-about"},
    {"actUpdate", "system-software-update"},
    {"actOpenVehicle", "list-add"},
    {"actSaveVehicle", "document-save"},
};

// The program's own icon, read from its installation's icon folder. Not through the icon theme: a folder
// without an icon cache (an installation outside /usr) costs the theme thousands of file look-ups per icon name.
QIcon programIcon() {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/icons/hicolor/");
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = folder + QStringLiteral("%1x%1/apps/tarmelo.png").arg(size);
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("tarmelo")) : icon;
}

} // namespace

void TformMain::ensureIconTheme() {
    // Platforms without a desktop (Xvfb, offscreen) search no system folder and set no theme; the XDG data
    // folders are added, and the theme the program depends on stands in.
    QStringList paths = QIcon::themeSearchPaths();
    QStringList wanted;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        wanted.append(QDir(dir).filePath(QStringLiteral("icons")));
    bool changed = false;
    for (const QString& dir : wanted)
        if (!paths.contains(dir) && QFileInfo(dir).isDir()) {
            paths.append(dir);
            changed = true;
        }
    if (changed)
        QIcon::setThemeSearchPaths(paths);
    // Decided by the theme's name, not by looking an icon up: a look-up reads the whole theme, and setting another
    // theme afterwards had it read a second time.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1StringView("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

void TformMain::buildShellMenus(QAction* help) {
    ensureIconTheme();
    designedColumns_ = list_->columnWidths();

    QMenu* dealer = menuBar()->addMenu(QStringLiteral("&Händlerbereich"));
    QMenu* search = nullptr;
    QMenu* helpMenu = new QMenu(QStringLiteral("H&ilfe"), this);
    QList<QAction*> helpLinks;
    for (const shell::WebLink& link : shell::webLinks()) {
        QAction* a = action(link.name);
        const QString name = link.name;
        connect(a, &QAction::triggered, this, [this, name] { openWebLink(name); });
        if (link.menu == QLatin1StringView("H&ilfe")) {
            helpLinks.append(a);
        } else if (link.menu == QLatin1StringView("&Fahrzeugsuche")) {
            if (!search)
                search = dealer->addMenu(QStringLiteral("&Fahrzeugsuche"));
            search->addAction(a);
        } else {
            dealer->addAction(a);
        }
    }

    QMenu* extras = menuBar()->addMenu(QStringLiteral("&Extras"));
    QAction* update = action(QStringLiteral("actUpdate"));
    connect(update, &QAction::triggered, this, &TformMain::actUpdateExecute);
    QAction* reset = action(QStringLiteral("actResetArea"));
    connect(reset, &QAction::triggered, this, &TformMain::actResetAreaExecute);
    extras->addAction(update);
    extras->addAction(reset);

    QAction* tipps = action(QStringLiteral("actTipps"));
    connect(tipps, &QAction::triggered, this, &TformMain::actTippsExecute);
    QAction* info = action(QStringLiteral("actInfo"));
    connect(info, &QAction::triggered, this, &TformMain::actInfoExecute);
    helpMenu->addAction(help);
    helpMenu->addAction(tipps);
    helpMenu->addSeparator();
    helpMenu->addActions(helpLinks);
    helpMenu->addSeparator();
    helpMenu->addAction(info);
    menuBar()->addMenu(helpMenu);

    // The tool bar's icons are painted with the window; those seen only in menus, and the program's icon, which the
    // window manager takes in all its sizes, follow once the window is painted.
    const QList<QToolBar*> bars = findChildren<QToolBar*>();
    const auto onToolBar = [&bars](QAction* a) {
        return std::any_of(bars.cbegin(), bars.cend(), [a](QToolBar* b) { return b->actions().contains(a); });
    };
    for (const auto& i : kIcons)
        if (QAction* a = action(QLatin1StringView(i.action)); a && onToolBar(a))
            a->setIcon(QIcon::fromTheme(QLatin1StringView(i.icon)));
    afterFirstPaint([this] {
        for (const auto& i : kIcons)
            if (QAction* a = action(QLatin1StringView(i.action)); a && a->icon().isNull())
                a->setIcon(QIcon::fromTheme(QLatin1StringView(i.icon)));
        // Application-wide, so that the dialogs and the info box show it too.
        const QIcon appIcon = programIcon();
        if (!appIcon.isNull())
            QApplication::setWindowIcon(appIcon);
    });

    servers_ = shell::loadServersFile(qEnvironmentVariableIsSet("TARMELO_SERVERS")
                                          ? qEnvironmentVariable("TARMELO_SERVERS")
                                          : shell::serversPath(QCoreApplication::applicationDirPath()));
}

void TformMain::openWebLink(const QString& command) {
    for (const shell::WebLink& l : shell::webLinks())
        if (l.name == command)
            Desktop::openUrl(shell::webLinkUrl(l, servers_));
}

TformTipps* TformMain::tipsWindow() {
    if (!tips_) {
        tips_ = new TformTipps(&settings_, QDir(shareFolder()).filePath(QLatin1StringView(shell::kTipsFileName)), this);
        tips_->hide();
    }
    return tips_;
}

void TformMain::actTippsExecute() {
    tipsWindow();
    if (!tips_->isVisible()) {
        tips_->adjustSize();
        QRect r = tips_->frameGeometry();
        r.moveCenter(frameGeometry().center());
        tips_->move(r.topLeft());
        tips_->show();
    }
    tips_->raise();
    tips_->activateWindow();
}

void TformMain::actInfoExecute() {
    TformInfo info(settings_.LastUpdate, shell::makerWebUrl(servers_), shell::makerEmail(),
                   QDir(shareFolder()).filePath(QStringLiteral("lizenz.txt")), this);
    info.exec();
}

UpdateContext TformMain::updateContext() const {
    const QString exeDir = QCoreApplication::applicationDirPath();
    UpdateContext c;
    c.server = servers_.UpdateServer;
    c.dataFolder = shell::dataFolder(exeDir);
    c.installDir = shell::installationRoot(exeDir);
    c.selfContained = shell::selfContainedInstallation(exeDir);
    QFile key(QDir(shareFolder()).filePath(QLatin1StringView(shell::kUpdateKeyFileName)));
    if (key.open(QIODevice::ReadOnly))
        c.publicKeyPem = key.read(64 * 1024);
    c.userAgent = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    c.pid = QCoreApplication::applicationPid();
    c.clock = clock_;
    return c;
}

void TformMain::actUpdateExecute() {
    actNeuExecute();
    // An inventory the user chose to keep blocks the update.
    if (doc_->count() > 0)
        return;
    UpdateContext context = updateContext();
    if (adjustUpdate_)
        adjustUpdate_(context);
    TformUpdate dialog(context, &settings_.LastUpdate, this);
    dialog.exec();
    if (dialog.programMustEnd())
        QTimer::singleShot(0, this, &QWidget::close);
}

void TformMain::actResetAreaExecute() {
    const int row = shownRow();
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    if (QScreen* s = screen()) {
        QRect r(QPoint(), designedSize_);
        r.moveCenter(s->availableGeometry().center());
        placeOnScreen(r);
    } else {
        resize(designedSize_);
    }
    list_->setColumnWidths(designedColumns_);
    for (QToolBar* bar : findChildren<QToolBar*>())
        if (bar->parentWidget() == this)
            addToolBar(Qt::TopToolBarArea, bar);
    if (row >= 0)
        selectRow(row);
    shell::resetRememberedOptions(settings_);
}

void TformMain::startUpShell(const std::optional<QDateTime>& programFileTime) {
    if (settings_.ShowTipps)
        actTippsExecute();
    if (!shell::updateReminderDue(settings_.LastUpdate, programFileTime, clock_()))
        return;
    UpdateContext context = updateContext();
    if (adjustUpdate_)
        adjustUpdate_(context);
    if (!context.selfContained)
        return remindOfPackageUpdate(context);
    const auto answer = Dialogs::message(this, Dialogs::Kind::Question,
                                         QStringLiteral("Tarmelo wurde schon seit 14 Tagen nicht mehr "
                                                        "aktualisiert.\nMöchten Sie jetzt ein Online-Update "
                                                        "durchführen?"),
                                         QMessageBox::Yes | QMessageBox::No, shell::kHelpUpdate);
    if (answer == QMessageBox::Yes)
        actUpdateExecute();
}

// An installation of the package management cannot update itself: the server is asked quietly, and a newer
// version is announced once, not at every start.
void TformMain::remindOfPackageUpdate(const UpdateContext& context) {
    shell::UpdateSession::Options o;
    o.server = context.server;
    o.stagingDir = QDir(context.dataFolder).filePath(QStringLiteral("update"));
    o.userAgent = context.userAgent;
    o.checkOnly = true;
    auto* session = new shell::UpdateSession(o, this);
    connect(session, &shell::UpdateSession::finished, this, [this, session](shell::UpdateSession::Outcome outcome) {
        session->deleteLater();
        using O = shell::UpdateSession::Outcome;
        if (outcome != O::UpToDate && outcome != O::NewerOffered)
            return; // asked again at the next start
        settings_.LastUpdate = clock_().date();
        const QString version = session->offeredVersion();
        if (outcome == O::NewerOffered && version != settings_.NotifiedVersion) {
            settings_.NotifiedVersion = version;
            Dialogs::information(this, shell::packageUpdateText(version));
        }
    });
    session->start();
}

} // namespace tarmelo::gui
