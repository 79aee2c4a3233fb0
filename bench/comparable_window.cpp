// The second yardstick of the start-up benchmark: a Qt Widgets window with the kinds of parts the main window shows
// at its first paint (menus, a tool bar with theme icons, a search row, a list with its header, a side panel, a
// navigation row and a status bar), and nothing else. Its ratio to the minimal window is what these parts cost.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLabel* boldLabel(const QString& text) {
    auto* l = new QLabel(text);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    QIcon::setThemeName(QStringLiteral("Adwaita"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vergleich"));
    QList<QAction*> commands;
    for (const char* name : {"&Datei", "&Fahrzeug", "&Händlerbereich", "&Extras", "&Hilfe"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(name));
        for (int i = 0; i < 10; ++i) {
            QAction* a = menu->addAction(QStringLiteral("Befehl %1 ...").arg(i));
            a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
            a->setStatusTip(QStringLiteral("Was der Befehl %1 tut").arg(i));
            commands.append(a);
        }
        menu->addMenu(QStringLiteral("Untermenü"))->addAction(QStringLiteral("Eintrag"));
    }
    QToolBar* bar = window.addToolBar(QStringLiteral("Werkzeuge"));
    bar->setMovable(false);
    const char* icons[] = {"document-new", "document-open", "document-save",        "go-down",       "go-up",
                           "edit-copy",    "edit-delete",   "tools-check-spelling", "dialog-warning"};
    for (int i = 0; i < 9; ++i) {
        commands[i]->setIcon(QIcon::fromTheme(QLatin1StringView(icons[i])));
        bar->addAction(commands[i]);
        if (i == 2 || i == 4 || i == 6)
            bar->addSeparator();
    }
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    auto* hint = new QLabel(bar);
    hint->setFont(QFont(QStringLiteral("Arial"), 8));
    hint->setMinimumWidth(380);
    bar->addWidget(hint);

    auto* central = new QWidget(&window);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto* search = new QHBoxLayout;
    auto* edit = new QLineEdit;
    edit->setPlaceholderText(QStringLiteral("Suchen (Strg+F): Marke, Modell, interne Nummer, FIN, Preis, Jahr ..."));
    edit->setClearButtonEnabled(true);
    search->addWidget(edit, 1);
    auto* status = new QComboBox;
    status->addItems({QStringLiteral("alle"), QStringLiteral("verfügbar"), QStringLiteral("reserviert")});
    search->addWidget(status);
    search->addWidget(new QCheckBox(QStringLiteral("nur fehlerhafte")));
    search->addWidget(new QCheckBox(QStringLiteral("Verkaufte Fahrzeuge")));
    v->addLayout(search);

    auto* listArea = new QHBoxLayout;
    auto* list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Nr."), QString(), QStringLiteral("Marke"), QStringLiteral("Modell"),
                           QStringLiteral("EZ"), QStringLiteral("TÜV"), QStringLiteral("AU"),
                           QStringLiteral("Laufleistung"), QStringLiteral("Leistung"), QStringLiteral("Preis (netto)"),
                           QStringLiteral("Preis (brutto)"), QStringLiteral("Standtage")});
    listArea->addWidget(list, 1);
    auto* panel = new QWidget;
    panel->setFixedWidth(74);
    auto* side = new QVBoxLayout(panel);
    auto* tools = new QHBoxLayout;
    for (const char* text : {"+", "–"}) {
        auto* b = new QToolButton;
        b->setText(QString::fromUtf8(text));
        tools->addWidget(b);
    }
    side->addLayout(tools);
    side->addWidget(boldLabel(QStringLiteral("Eintrag:")));
    side->addWidget(new QLabel(QStringLiteral("-")));
    side->addWidget(boldLabel(QStringLiteral("Bild:")));
    side->addWidget(new QLabel(QStringLiteral("-")));
    side->addStretch();
    listArea->addWidget(panel);
    v->addLayout(listArea, 1);

    auto* nav = new QWidget;
    auto* row = new QHBoxLayout(nav);
    row->setContentsMargins(2, 0, 2, 0);
    for (const char* text : {":: Allgemein ::", "Ausstattung"}) {
        auto* b = new QToolButton;
        b->setText(QString::fromUtf8(text));
        b->setAutoRaise(true);
        b->setFixedWidth(142);
        row->addWidget(b);
    }
    row->addWidget(boldLabel(QStringLiteral("Status:")));
    row->addWidget(new QComboBox);
    row->addStretch();
    v->addWidget(nav);
    v->addStretch(1);
    window.setCentralWidget(central);
    window.statusBar()->addWidget(new QLineEdit);
    window.statusBar()->addPermanentWidget(new QLabel(QStringLiteral("0 Fahrzeuge")));

    window.resize(1060, 760);
    window.show();
    return app.exec();
}
