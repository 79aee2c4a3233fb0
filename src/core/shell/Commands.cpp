#include "shell/Commands.h"

#include "shell/WebLinks.h"

namespace tarmelo::shell {

namespace {

QList<CommandInfo> buildTable() {
    using R = CommandRule;
    QList<CommandInfo> t = {
        {"actNeu", "&Neu", "Erstellt einen neuen Fahrzeugbestand", R::NotBusy},
        {"actLoadMobile", "&Karvento ...", "Lädt Ihren Fahrzeugbestand von Karvento herunter", R::NotBusy},
        {"actLoadFile", "&Datei ...", "Öffnet einen abgespeicherten Fahrzeugbestand", R::NotBusy},
    };
    for (int n = 1; n <= 4; ++n)
        t.append({QStringLiteral("actOpenRecent%1").arg(n), QStringLiteral("&%1 - (keine)").arg(n), {}, R::Recent, n});
    t += QList<CommandInfo>{
        {"actSaveMobile", "&Karvento ...", "Überträgt den Fahrzeugbestand zu Karvento", R::NotEmpty, 0,
         "K&arvento ..."},
        {"actSaveFile", "&Datei", "Speichert den Fahrzeugbestand", R::SaveFile, 0, "D&atei"},
        {"actSaveFileAs", "Datei &unter ...", "Speichert den Fahrzeugbestand in einer neuen Datei", R::NotEmpty},
        {"actPrint", "&Drucken ...", "Öffnet den Dialog zum Drucken der Fahrzeuge", R::NotEmpty},
        {"actTransferLog", "Übertragungs&protokoll ...", "Zeigt die bisherigen Übertragungen zu und von Karvento",
         R::NotBusy},
        {"actRestoreBackup", "Sicherung &wiederherstellen ...",
         "Öffnet eine frühere Sicherung des Fahrzeugbestands als neuen Bestand", R::NotBusy},
        {"actExit", "&Beenden", "Beendet die Anwendung", R::NotBusy},
        {"actAddPkw", "&Pkw", {}, R::NotBusy},
        {"actAddKrad", "&Motorrad", {}, R::NotBusy},
        {"actAddWomo", "&Wohnmobil", {}, R::NotBusy},
        {"actAddLkw_k", "&Transporter und Lkw bis 7,5t", {}, R::NotBusy},
        {"actAddLkw_g", "Lk&w über 7,5t", {}, R::NotBusy},
        {"actAddSZM", "Sattel&zugmaschine (SZM)", {}, R::NotBusy},
        {"actAddHaenger", "A&nhänger", {}, R::NotBusy},
        {"actAddAuflieger", "Aufliege&r", {}, R::NotBusy},
        {"actAddBaumaschine", "&Baumaschine", {}, R::NotBusy},
        {"actAddBus", "B&us", {}, R::NotBusy},
        {"actAddAgrar", "A&grarfahrzeug", {}, R::NotBusy},
        {"actAddStapler", "&Stapler", {}, R::NotBusy},
        {"actCopy", "&Kopieren", "Dupliziert das selektierte Fahrzeug", R::Selected},
        {"actRemove", "&Löschen", "Löscht das selektierte Fahrzeug", R::Selected},
        {"actOpenVehicle", "Aus Datei ein&fügen ...", "Fügt dem Bestand ein oder mehrere Fahrzeuge hinzu", R::NotBusy},
        {"actSaveVehicle", "In &Datei speichern ...", "Speichert das selektierte Fahrzeug", R::Selected},
        {"actAutomaticIntNr", "Automatische &Vergabe",
         "Aktiviert bzw. deaktiviert die automatische Vergabe interner Nummern", R::NotBusy},
        {"actUpdateIntNr", "&Aktualisierung ...",
         "Öffnet den Dialog zum schnellen Vergeben bzw. Umbenennen mehrerer interner Nummern", R::UpdateIntNr},
        {"actCheckErrors", "Bestand auf Fehler über&prüfen", "Prüft den Bestand auf Eingabefehler", R::NotEmpty},
        {"actCheckStock",
         "&Bestand prüfen ...",
         "Prüft alle Fahrzeuge und listet jeden Fehler und jede Warnung",
         R::NotEmpty,
         0,
         {},
         "F9"},
        {"actChangePrices", "Preise ä&ndern ...", "Ändert die Preise aller Fahrzeuge, die die Liste zeigt",
         R::NotEmpty},
        {"actUndoPrices", "Preisänderung &rückgängig", "Setzt die Preise der letzten Preisänderung zurück",
         R::PriceUndo},
        {"actUpdate", "Online-&Update ...", {}, R::NotBusy},
        {"actResetArea", "Arbeitsbereich &zurücksetzen", {}, R::NotBusy},
        {"actHelp", "&Hilfe", "Öffnet die Hilfe", R::Always, 0, {}, "F1"},
        {"actTipps", "&Tipps und Tricks ...", {}, R::Always},
        {"actInfo", "&Info ...", {}, R::NotBusy},
    };
    for (const WebLink& link : webLinks())
        t.append({link.name, link.caption, {}, R::Always});
    return t;
}

} // namespace

const QList<CommandInfo>& commandTable() {
    static const QList<CommandInfo> table = buildTable();
    return table;
}

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& c : commandTable())
        if (c.name == name)
            return &c;
    return nullptr;
}

bool ruleAllows(const CommandInfo& command, const CommandState& s) {
    const bool any = s.rowCount > 0;
    switch (command.rule) {
    case CommandRule::Always:
        return true;
    case CommandRule::NotBusy:
        return !s.busy;
    case CommandRule::NotEmpty:
        return any && !s.busy;
    case CommandRule::Selected:
        // A selection in an empty list cannot exist; a stale flag must not enable anything.
        return s.selected && any && !s.busy;
    case CommandRule::SaveFile:
        return any && !s.busy && !s.saved;
    case CommandRule::UpdateIntNr:
        return any && !s.busy && !s.automaticIntNr;
    case CommandRule::PriceUndo:
        return s.priceUndo && any && !s.busy;
    case CommandRule::Recent:
        return command.recentSlot >= 1 && command.recentSlot <= 4 && s.recent[size_t(command.recentSlot - 1)] &&
               !s.busy;
    }
    return false;
}

bool commandEnabled(const QString& name, const CommandState& state) {
    const CommandInfo* c = findCommand(name);
    return c && ruleAllows(*c, state);
}

} // namespace tarmelo::shell
