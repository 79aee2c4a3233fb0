#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tarmelo::gui {

// Message boxes and file dialogs of the program. Tests queue the answers in advance, so no test waits
// for a person; every shown box is recorded.
class Dialogs {
public:
    enum class Kind { Information, Warning, Error, Question };

    struct Shown {
        Kind kind;
        QString text;
    };

    // `defaultButton`: the button Return presses; NoButton leaves the choice to the message box.
    static QMessageBox::StandardButton message(QWidget* parent, Kind kind, const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               int helpContext = 0,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static void information(QWidget* parent, const QString& text) { message(parent, Kind::Information, text); }
    static void warning(QWidget* parent, const QString& text) { message(parent, Kind::Warning, text); }
    static void error(QWidget* parent, const QString& text, int helpContext = 0) {
        message(parent, Kind::Error, text, QMessageBox::Ok, helpContext);
    }
    static bool confirm(QWidget* parent, const QString& text) {
        return message(parent, Kind::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }

    // An empty result means the dialog was cancelled.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& filter);
    // Several existing files, in the order the dialog gives them.
    static QStringList openFileNames(QWidget* parent, const QString& caption, const QString& filter);
    static QString saveFileName(QWidget* parent, const QString& caption, const QString& filter);
    // "Als PDF speichern": the name chosen, ".pdf" added when missing; empty when cancelled.
    static QString savePdfFileName(QWidget* parent);

    // Opens the help page of a help context in the browser.
    static void showHelp(int context);
    // F1 anywhere in the window opens the help page of its context. The window takes the key before any shortcut:
    // a tool window would otherwise share F1 with the main window's help command, and Qt would run neither.
    static void bindHelpKey(QWidget* window, int context);

    // Test hooks: while answers are queued, nothing is shown.
    static void setTestMode(bool on);
    static bool testMode();
    static void queueAnswer(QMessageBox::StandardButton answer);
    static void queueFileName(const QString& path);
    static void queueFileNames(const QStringList& paths); // the answer of one dialog that takes several files
    static QList<Shown>& shown();
    static QList<int>& helpShown(); // help contexts opened
};

} // namespace tarmelo::gui
