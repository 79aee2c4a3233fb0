#pragma once

#include "shell/Settings.h"

#include <QString>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QWidget;

namespace tarmelo::gui {

// The marketplace log-in both transfer dialogs ask for.
struct LoginForm {
    QLineEdit* le_username = nullptr;
    QLineEdit* le_password = nullptr;
    QCheckBox* cbSavePassword = nullptr;

    // Adds the user, password and "Kennwort speichern" rows to `form`; `keyringNote` adds the note under the box.
    static LoginForm addRows(QFormLayout* form, bool keyringNote);
    void fill(const shell::Settings& s) const;
    // What closing the dialog keeps: the password only when it is to be saved.
    void store(shell::Settings& s) const;
    // Both fields filled; otherwise the first empty one takes the focus, the user is told, and false.
    bool requireFilled(QWidget* dialog) const;
};

// The note under "Kennwort speichern" when no keyring answers.
QString keyringNoteText();

} // namespace tarmelo::gui
