#pragma once

#include <QList>
#include <QString>
#include <array>

namespace tarmelo::shell {

// What the enabling of the main window's commands depends on.
struct CommandState {
    bool busy = false;            // an archive is written or read, or a photo added
    bool saved = false;           // no unsaved changes
    int rowCount = 0;             // vehicles in the list
    bool selected = false;        // a vehicle is selected
    bool automaticIntNr = true;   // internal numbers are derived automatically
    std::array<bool, 4> recent{}; // recent-file slot n holds a file (its caption no longer reads "(keine)")
    bool priceUndo = false;       // the last bulk price change can be taken back
};

enum class CommandRule {
    Always,
    NotBusy,
    NotEmpty,    // not empty and not busy
    Selected,    // selected and not busy
    SaveFile,    // not empty, not busy and not saved
    UpdateIntNr, // not empty, not busy and automatic numbers off
    Recent,      // its recent-file slot is set and not busy
    PriceUndo,   // a bulk price change to take back and not busy
};

struct CommandInfo {
    QString name;
    QString caption;
    QString hint; // empty: none
    CommandRule rule;
    int recentSlot = 0;    // 1..4 for the recent-file commands
    QString menuCaption{}; // where the menu places the access key elsewhere; empty: the caption
    QString shortcut{};    // portable text, e.g. "F1"; empty: none
};

// Every command of the main menu and tool bars, with caption, hint and rule, in menu order.
const QList<CommandInfo>& commandTable();
const CommandInfo* findCommand(const QString& name);

bool ruleAllows(const CommandInfo& command, const CommandState& state);
// False for a name that is not in the table.
bool commandEnabled(const QString& name, const CommandState& state);

} // namespace tarmelo::shell
