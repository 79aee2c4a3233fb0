#pragma once

#include "shell/Settings.h"

#include <QString>
#include <optional>

namespace tarmelo::gui {

// The marketplace password in the desktop's keyring (Secret Service through qtkeychain). Without a keyring the
// scrambled value in config.ini stays the place, as it always was.
class PasswordStore {
public:
    // Whether a keyring answers; asked once per run.
    static bool available();
    static std::optional<QString> read(const QString& user);
    static bool write(const QString& user, const QString& password);
    static void remove(const QString& user);
};

// At start: the password of the keyring when config.ini holds none but "Kennwort speichern" is on.
void restorePassword(shell::Settings& settings);
// At shutdown: with a keyring the password goes there and config.ini gets none; unticked, it is kept nowhere.
shell::Settings settingsToStore(const shell::Settings& settings);

} // namespace tarmelo::gui
