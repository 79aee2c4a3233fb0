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
    // None when no password is kept or the keyring did not answer; `answered` tells which.
    static std::optional<QString> read(const QString& user, bool* answered = nullptr);
    static bool write(const QString& user, const QString& password);
    static void remove(const QString& user);
};

// At start: the password of the keyring when config.ini holds none but "Kennwort speichern" is on. False when the
// keyring did not give it (locked, timed out): it may still hold one.
bool restorePassword(shell::Settings& settings);
// At shutdown: with a keyring the password goes there and config.ini gets none; unticked, it is kept nowhere.
// `keyringUnread`: restorePassword failed, so an empty password field is no reason to remove the keyring's entry.
shell::Settings settingsToStore(const shell::Settings& settings, bool keyringUnread = false);

} // namespace tarmelo::gui
