// tarmelo-cli: checks, conversions, printing and transfers of inventories without the window. One table names
// every sub-command with its options and help; one parser reads them.

#include "cli/Commands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

using namespace tarmelo;
using namespace tarmelo::cli;

namespace {

struct SubCommand {
    const char* name;
    const char* usage; // the arguments after the name; UTF-8
    QStringList withValue;
    QStringList flags;
    int minFiles;
    int maxFiles;
    int (*run)(const CommandLine&);
    bool needsFonts = false; // printing lays out text: a GUI application
};

const QList<SubCommand>& subCommands() {
    static const QList<SubCommand> table = {
        {"dump", "DATEI", {}, {}, 1, 1, dump},
        {"check",
         "[--all [--json]] [--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss] DATEI",
         {"--now"},
         {"--typed-numbers", "--all", "--json"},
         1,
         1,
         check},
        {"build",
         "[--typed-numbers] [--time-stamp] [--now JJJJ-MM-TTThh:mm:ss] EIN.json AUS.csv|AUS.zip",
         {"--now"},
         {"--typed-numbers", "--time-stamp"},
         2,
         2,
         build},
        {"convert",
         "[--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss] EIN AUS",
         {"--now"},
         {"--typed-numbers", "--time-stamp"},
         2,
         2,
         convert},
        {"upload",
         "[--servers DATEI] [--user NAME] [--password-stdin] [--reset-days] [--typed-numbers] [--preview]\n"
         "      [--allow-withdrawal] [--now JJJJ-MM-TTThh:mm:ss] DATEI",
         {"--servers", "--user", "--now"},
         {"--password-stdin", "--typed-numbers", "--reset-days", "--preview", "--allow-withdrawal"},
         1,
         1,
         upload},
        {"download",
         "[--servers DATEI] [--user NAME] [--password-stdin] [--typed-numbers] AUS",
         {"--servers", "--user"},
         {"--password-stdin", "--typed-numbers"},
         1,
         1,
         download},
        {"rename",
         "(--mask MASKE | --remove ANFANG,ENDE) [--start N] [--step N] [--digits N]\n"
         "      [--select LISTE] [--skip-unselected] [--search TEXT] [--replace TEXT]\n"
         "      [--now JJJJ-MM-TTThh:mm:ss] [--dry-run] EIN [AUS]",
         {"--mask", "--remove", "--start", "--step", "--digits", "--select", "--search", "--replace", "--now"},
         {"--skip-unselected", "--dry-run"},
         1,
         2,
         rename},
        {"price",
         "(--percent P | --amount BETRAG) [--round cent|euro|10|100|schwelle] [--floor BETRAG]\n"
         "      [--fields preis|haendler|beide] [--basis brutto|netto] [--select LISTE] [--typed-numbers]\n"
         "      [--now JJJJ-MM-TTThh:mm:ss] [--dry-run] EIN [AUS]",
         {"--percent", "--amount", "--round", "--floor", "--fields", "--basis", "--select", "--now"},
         {"--dry-run", "--typed-numbers"},
         1,
         2,
         price},
        {"print",
         "[--ohne-bilder] [--select LISTE] [--typed-numbers] [--now JJJJ-MM-TTThh:mm:ss] EIN (AUS.pdf | --text)",
         {"--select", "--now"},
         {"--ohne-bilder", "--typed-numbers", "--text"},
         1,
         2,
         print,
         true},
        {"update", "--check [--servers DATEI]", {"--servers"}, {"--check"}, 0, 0, update},
        {"backups", "DATEI", {}, {}, 1, 1, backups},
        {"restore", "DATEI SICHERUNG AUS.zip", {}, {}, 3, 3, restore},
    };
    return table;
}

const char* const kExitCodes =
    "Rückgabewerte:\n"
    "  0   erledigt (check: keine Fehler, auch wenn check --all Warnungen meldet; update --check: die installierte\n"
    "      Version ist aktuell)\n"
    "  1   ein Fahrzeug verletzt eine Regel, oder der Befehl lehnt ab (z. B. ein Upload, der den Bestand leert)\n"
    "  2   falscher Aufruf, oder eine Datei kann nicht gelesen oder geschrieben werden\n"
    "  3   Anmeldung bei Karvento abgelehnt\n"
    "  4   keine Verbindung, oder die Übertragung brach ab\n"
    "  5   die heruntergeladene Datei ist fehlerhaft\n"
    "  6   update: Wartung oder eine Meldung des Servers\n"
    "  10  update: eine neuere Version ist verfügbar";

QString help() {
    QString text = QStringLiteral("Aufruf:\n");
    for (const SubCommand& c : subCommands())
        text += QStringLiteral("  tarmelo-cli %1 %2\n").arg(QLatin1StringView(c.name), QString::fromUtf8(c.usage));
    text += QStringLiteral("DATEI, EIN: Bestandsarchiv (.zip) oder Datei mit Karvento-Zeilen. "
                           "LISTE: Positionen ab 1, etwa 1,3,5-7. "
                           "P, BETRAG: negativ senkt, positiv erhöht; Komma oder Punkt.\n"
                           "SICHERUNG: Nummer oder Name, wie backups sie zeigt; restore überschreibt keine Datei.\n");
    return text + QString::fromUtf8(kExitCodes);
}

const SubCommand* find(const char* name) {
    for (const SubCommand& c : subCommands())
        if (std::strcmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

} // namespace

int tarmelo::cli::usage(const char* command) {
    const SubCommand* c = find(command);
    err(QStringLiteral("Aufruf:\n  tarmelo-cli %1 %2").arg(QLatin1StringView(command), QString::fromUtf8(c->usage)));
    return kUsage;
}

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        QCoreApplication app(argc, argv);
        out(help());
        return kOk;
    }
    const SubCommand* command = argc > 1 ? find(argv[1]) : nullptr;
    // Fonts need a GUI application; without a display it runs on the offscreen platform.
    if (command && command->needsFonts && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(command && command->needsFonts ? new QGuiApplication(argc, argv)
                                                                               : new QCoreApplication(argc, argv));
    // The program's own config.ini and data folder, not ones named after this tool.
    QCoreApplication::setApplicationName(QStringLiteral("tarmelo"));
    if (!command) {
        err(help());
        return kUsage;
    }
    const CommandLine line(app->arguments().mid(2), command->withValue, command->flags);
    if (!line.error().isEmpty()) {
        err(line.error());
        return kUsage;
    }
    if (line.files().size() < command->minFiles || line.files().size() > command->maxFiles)
        return usage(command->name);
    return command->run(line);
}
