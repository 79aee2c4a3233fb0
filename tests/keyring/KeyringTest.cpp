// The marketplace password in a real Secret Service (gnome-keyring on a private session bus, see
// run_keyring_tests.sh): the way from the log-in form through config.ini and the keyring to the next start.

#include "common/Dialogs.h"
#include "editor/TformMain.h"
#include "shell/Settings.h"
#include "transfer/PasswordStore.h"
#include "transfer/TformUpload.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelo;
using gui::PasswordStore;
using gui::TformUpload;

namespace {

// Opens the upload dialog on `settings` as the main window does, lets `act` work the form, and closes it.
template <class Act> void withDialog(shell::Settings& settings, Act act) {
    model::Inventory inv;
    TformUpload::Setup setup;
    setup.vehicles = &inv;
    setup.settings = &settings;
    setup.keyringNote = !PasswordStore::available();
    TformUpload d(setup);
    d.show();
    act(d);
    d.close();
}

void setPassword(QWidget& d, const QString& text) {
    auto* e = d.findChild<QLineEdit*>(QStringLiteral("le_password"));
    e->clear();
    QTest::keyClicks(e, text);
}

void setSave(QWidget& d, bool on) {
    auto* box = d.findChild<QCheckBox*>(QStringLiteral("cbSavePassword"));
    if (box->isChecked() != on)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

// What the program does at its end and at its next start.
shell::Settings restartWith(const shell::Settings& settings, const QString& configFile, QByteArray* fileText) {
    QString error;
    EXPECT_TRUE(shell::saveSettingsFile(configFile, gui::settingsToStore(settings), &error)) << error.toStdString();
    QFile f(configFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    *fileText = f.readAll();
    shell::Settings next = shell::loadSettingsFile(configFile);
    gui::restorePassword(next);
    return next;
}

} // namespace

TEST(Keyring, AnswersOnTheTestBus) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    EXPECT_TRUE(PasswordStore::available());
    ASSERT_TRUE(PasswordStore::write("probe-user", QStringLiteral("äöü-Kennwort")));
    EXPECT_EQ(PasswordStore::read("probe-user"), QStringLiteral("äöü-Kennwort"));
    PasswordStore::remove("probe-user");
    EXPECT_EQ(PasswordStore::read("probe-user"), std::nullopt);
}

TEST(Keyring, TheLogInFormKeepsThePasswordInTheKeyringOnly) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config.ini");
    const struct {
        const char* what;
        const char* typed; // nullptr: the field is left as it was filled
        bool save;
        const char* inKeyring; // nullptr: no entry
        const char* afterRestart;
    } steps[] = {
        {"ticked: into the keyring", "geheim", true, "geheim", "geheim"},
        {"read back and kept on the next open", nullptr, true, "geheim", "geheim"},
        {"a new password replaces the old", "neu-123", true, "neu-123", "neu-123"},
        {"unticked: stored nowhere", nullptr, false, nullptr, ""},
        {"ticked again", "wieder", true, "wieder", "wieder"},
        // An emptied field must not bring back the old password at the next start.
        {"emptied while ticked", "", true, nullptr, ""},
    };
    shell::Settings settings;
    settings.Username = QStringLiteral("haendler");
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        withDialog(settings, [&](TformUpload& d) {
            EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblKeyringNote")), nullptr);
            if (s.typed)
                setPassword(d, QString::fromUtf8(s.typed));
            setSave(d, s.save);
        });
        QByteArray text;
        settings = restartWith(settings, config, &text);
        EXPECT_TRUE(text.contains("SavePassword=" + QByteArray(s.save ? "1" : "0"))) << text.constData();
        for (const QByteArray& line : text.split('\n')) {
            if (line.trimmed().startsWith("Password=")) {
                EXPECT_EQ(line.trimmed(), "Password=") << "config.ini holds a password";
            }
        }
        const auto kept = PasswordStore::read("haendler");
        EXPECT_EQ(kept.has_value(), s.inKeyring != nullptr);
        if (s.inKeyring && kept) {
            EXPECT_EQ(*kept, QString::fromUtf8(s.inKeyring));
        }
        EXPECT_EQ(settings.Password, QString::fromUtf8(s.afterRestart));
        withDialog(settings, [&](TformUpload& d) {
            EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("le_password"))->text(),
                      QString::fromUtf8(s.afterRestart));
        });
    }
}

// An earlier version kept the password scrambled in config.ini; it is read, and moves to the keyring.
TEST(Keyring, ScrambledPasswordOfAnEarlierVersionMoves) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config.ini");
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Login]\nUsername=altkunde\nPassword=0C131214021B\nSavePassword=1\n");
    f.close();
    shell::Settings s = shell::loadSettingsFile(config);
    gui::restorePassword(s);
    EXPECT_EQ(s.Password, "geheim");
    QByteArray text;
    const shell::Settings next = restartWith(s, config, &text);
    EXPECT_FALSE(text.contains("0C131214021B")) << text.constData();
    EXPECT_EQ(PasswordStore::read("altkunde"), QStringLiteral("geheim"));
    EXPECT_EQ(next.Password, "geheim");
    PasswordStore::remove("altkunde");
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    gui::Dialogs::setTestMode(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// A password the keyring did not give at start (locked, no answer in time) leaves the field empty; closing the
// program must not take that for an emptied field and remove the entry. Unticking still removes it.
TEST(Keyring, APasswordNotReadAtStartStaysInTheKeyring) {
    const struct {
        const char* what;
        bool save;
        bool unread;
        bool kept;
    } cases[] = {
        {"not read at start, ticked", true, true, true},
        {"not read at start, unticked", false, true, false},
        {"read at start, emptied", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(PasswordStore::write("spaet", QStringLiteral("geheim")));
        shell::Settings s;
        s.Username = QStringLiteral("spaet");
        s.SavePassword = c.save;
        EXPECT_TRUE(gui::settingsToStore(s, c.unread).Password.isEmpty());
        EXPECT_EQ(PasswordStore::read("spaet").has_value(), c.kept);
    }
    PasswordStore::remove("spaet");
}

// The window reads the saved password once it shows; a password typed before the keyring answered stays.
TEST(Keyring, TheWindowTakesTheSavedPasswordUnlessOneWasTyped) {
    ASSERT_TRUE(PasswordStore::write("fenster", QStringLiteral("geheim")));
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {{"", "geheim"}, {"neu", "neu"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        gui::TformMain window;
        shell::Settings s;
        s.Username = QStringLiteral("fenster");
        s.SavePassword = true;
        s.Password = QString::fromLatin1(c.typed);
        window.applySettings(s);
        EXPECT_TRUE(window.restoreSavedPassword());
        EXPECT_EQ(window.settings().Password, QString::fromLatin1(c.kept));
    }
    PasswordStore::remove("fenster");
}

TEST(Keyring, RestoringTellsWhetherTheKeyringAnswered) {
    ASSERT_TRUE(PasswordStore::write("da", QStringLiteral("geheim")));
    PasswordStore::remove("weg");
    const struct {
        const char* user;
        const char* password;
    } cases[] = {{"da", "geheim"}, {"weg", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        shell::Settings s;
        s.Username = QString::fromLatin1(c.user);
        s.SavePassword = true;
        EXPECT_TRUE(gui::restorePassword(s)) << "an answer, with or without an entry";
        EXPECT_EQ(s.Password, QString::fromLatin1(c.password));
    }
    PasswordStore::remove("da");
}
