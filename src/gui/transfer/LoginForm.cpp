#include "transfer/LoginForm.h"

#include "common/Dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace tarmelo::gui {

QString keyringNoteText() {
    return QStringLiteral("Kein Schlüsselbund verfügbar: das Kennwort wird nur verschleiert in config.ini abgelegt.");
}

LoginForm LoginForm::addRows(QFormLayout* form, bool keyringNote) {
    LoginForm f;
    f.le_username = new QLineEdit;
    f.le_username->setObjectName(QStringLiteral("le_username"));
    f.le_password = new QLineEdit;
    f.le_password->setObjectName(QStringLiteral("le_password"));
    f.le_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Benutzername:"), f.le_username);
    form->addRow(QStringLiteral("Kennwort:"), f.le_password);
    f.cbSavePassword = new QCheckBox(QStringLiteral("Kennwort speichern (potentielles Sicherheitsrisiko)"));
    f.cbSavePassword->setObjectName(QStringLiteral("cbSavePassword"));
    form->addRow(QString(), f.cbSavePassword);
    if (keyringNote) {
        auto* note = new QLabel(keyringNoteText());
        note->setObjectName(QStringLiteral("lblKeyringNote"));
        note->setWordWrap(true);
        form->addRow(QString(), note);
    }
    return f;
}

void LoginForm::fill(const shell::Settings& s) const {
    le_username->setText(s.Username);
    le_password->setText(s.Password);
    cbSavePassword->setChecked(s.SavePassword);
}

void LoginForm::store(shell::Settings& s) const {
    s.Username = le_username->text();
    s.SavePassword = cbSavePassword->isChecked();
    s.Password = s.SavePassword ? le_password->text() : QString();
}

bool LoginForm::requireFilled(QWidget* dialog) const {
    if (le_username->text().isEmpty()) {
        le_username->setFocus(Qt::OtherFocusReason);
        Dialogs::warning(dialog, QStringLiteral("Bitte geben Sie Ihren Karvento-Benutzernamen ein!"));
        return false;
    }
    if (le_password->text().isEmpty()) {
        le_password->setFocus(Qt::OtherFocusReason);
        Dialogs::warning(dialog, QStringLiteral("Bitte geben Sie Ihr Kennwort ein!"));
        return false;
    }
    return true;
}

} // namespace tarmelo::gui
