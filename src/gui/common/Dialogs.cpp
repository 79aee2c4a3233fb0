#include "Dialogs.h"

#include "shell/Help.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QKeyEvent>
#include <QQueue>
#include <QWidget>

namespace tarmelo::gui {

namespace {
struct TestState {
    bool on = false;
    QQueue<QMessageBox::StandardButton> answers;
    QQueue<QStringList> files; // one entry per file dialog
    QList<Dialogs::Shown> shown;
    QList<int> help;
};
TestState& state() {
    static TestState s;
    return s;
}

class HelpKey : public QObject {
public:
    HelpKey(QWidget* window, int context) : QObject(window), context_(context) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool override = event->type() == QEvent::ShortcutOverride;
        if (!override && event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        if (override) {
            event->accept();
            return true;
        }
        Dialogs::showHelp(context_);
        return true;
    }

private:
    int context_;
};
} // namespace

QMessageBox::StandardButton Dialogs::message(QWidget* parent, Kind kind, const QString& text,
                                             QMessageBox::StandardButtons buttons, int helpContext,
                                             QMessageBox::StandardButton defaultButton) {
    TestState& s = state();
    if (s.on) {
        s.shown.append({kind, text});
        if (!s.answers.isEmpty())
            return s.answers.dequeue();
        return kind == Kind::Question ? QMessageBox::No : QMessageBox::Ok;
    }
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Tarmelo"));
    box.setText(text);
    box.setIcon(kind == Kind::Information ? QMessageBox::Information
                : kind == Kind::Warning   ? QMessageBox::Warning
                : kind == Kind::Error     ? QMessageBox::Critical
                                          : QMessageBox::Question);
    box.setStandardButtons(buttons | (helpContext ? QMessageBox::Help : QMessageBox::NoButton));
    if (QAbstractButton* yes = box.button(QMessageBox::Yes))
        yes->setText(QStringLiteral("&Ja"));
    if (QAbstractButton* no = box.button(QMessageBox::No))
        no->setText(QStringLiteral("&Nein"));
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("Abbrechen"));
    if (QAbstractButton* help = box.button(QMessageBox::Help))
        help->setText(QStringLiteral("&Hilfe"));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // The help button opens the page and leaves the question open.
    for (;;) {
        const auto answer = QMessageBox::StandardButton(box.exec());
        if (answer != QMessageBox::Help)
            return answer;
        showHelp(helpContext);
    }
}

void Dialogs::showHelp(int context) {
    TestState& s = state();
    if (s.on) {
        s.help.append(context);
        return;
    }
    const QString folder = shell::helpFolder(QCoreApplication::applicationDirPath());
    QDesktopServices::openUrl(shell::helpPageUrl(folder, context));
}

void Dialogs::bindHelpKey(QWidget* window, int context) {
    new HelpKey(window, context);
}

QString Dialogs::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    TestState& s = state();
    if (s.on)
        return s.files.isEmpty() ? QString() : s.files.dequeue().value(0);
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QStringList Dialogs::openFileNames(QWidget* parent, const QString& caption, const QString& filter) {
    TestState& s = state();
    if (s.on) {
        QStringList paths = s.files.isEmpty() ? QStringList() : s.files.dequeue();
        paths.removeAll(QString());
        return paths;
    }
    return QFileDialog::getOpenFileNames(parent, caption, QString(), filter);
}

QString Dialogs::saveFileName(QWidget* parent, const QString& caption, const QString& filter) {
    TestState& s = state();
    if (s.on)
        return s.files.isEmpty() ? QString() : s.files.dequeue().value(0);
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

QString Dialogs::savePdfFileName(QWidget* parent) {
    QString path = saveFileName(parent, QStringLiteral("Als PDF speichern"), QStringLiteral("PDF-Dateien (*.pdf)"));
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    return path;
}

bool Dialogs::testMode() {
    return state().on;
}

void Dialogs::setTestMode(bool on) {
    TestState& s = state();
    s.on = on;
    s.answers.clear();
    s.files.clear();
    s.shown.clear();
    s.help.clear();
}
void Dialogs::queueAnswer(QMessageBox::StandardButton answer) {
    state().answers.enqueue(answer);
}
void Dialogs::queueFileName(const QString& path) {
    state().files.enqueue({path});
}
void Dialogs::queueFileNames(const QStringList& paths) {
    state().files.enqueue(paths);
}
QList<Dialogs::Shown>& Dialogs::shown() {
    return state().shown;
}
QList<int>& Dialogs::helpShown() {
    return state().help;
}

} // namespace tarmelo::gui
