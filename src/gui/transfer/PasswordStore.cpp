#include "transfer/PasswordStore.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <memory>

namespace tarmelo::gui {

namespace {

const QString kService = QStringLiteral("Tarmelo");
constexpr int kAnswerMs = 3000;

QString keyOf(const QString& user) {
    return QStringLiteral("karvento:") + user;
}

struct Outcome {
    bool answered = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Runs a job to its end, or gives up after a while: a keyring that hangs must not hold the program.
Outcome run(QKeychain::Job* job) {
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    job->setAutoDelete(true);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [outcome, &loop](QKeychain::Job* j) {
        outcome->answered = true;
        outcome->error = j->error();
        if (auto* r = qobject_cast<QKeychain::ReadPasswordJob*>(j))
            outcome->text = r->textData();
        loop.quit();
    });
    QTimer::singleShot(kAnswerMs, &loop, &QEventLoop::quit);
    job->start();
    if (!outcome->answered)
        loop.exec();
    return *outcome;
}

} // namespace

bool PasswordStore::available() {
    static const bool answers = [] {
        // Without a session bus the library would try to start one; there is no keyring to find then.
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            return false;
        auto* job = new QKeychain::ReadPasswordJob(kService);
        job->setInsecureFallback(false);
        job->setKey(QStringLiteral("probe"));
        const Outcome o = run(job);
        return o.answered && (o.error == QKeychain::NoError || o.error == QKeychain::EntryNotFound);
    }();
    return answers;
}

std::optional<QString> PasswordStore::read(const QString& user, bool* answered) {
    if (answered)
        *answered = true;
    if (!available())
        return std::nullopt;
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setInsecureFallback(false);
    job->setKey(keyOf(user));
    const Outcome o = run(job);
    if (answered)
        *answered = o.answered && (o.error == QKeychain::NoError || o.error == QKeychain::EntryNotFound);
    if (!o.answered || o.error != QKeychain::NoError)
        return std::nullopt;
    return o.text;
}

bool PasswordStore::write(const QString& user, const QString& password) {
    if (!available())
        return false;
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setInsecureFallback(false);
    job->setKey(keyOf(user));
    job->setTextData(password);
    const Outcome o = run(job);
    return o.answered && o.error == QKeychain::NoError;
}

void PasswordStore::remove(const QString& user) {
    if (!available())
        return;
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setInsecureFallback(false);
    job->setKey(keyOf(user));
    run(job);
}

bool restorePassword(shell::Settings& settings) {
    if (!settings.SavePassword || !settings.Password.isEmpty())
        return true; // an older config.ini with the scrambled password is read as it stands
    bool answered = true;
    if (auto p = PasswordStore::read(settings.Username, &answered))
        settings.Password = *p;
    return answered;
}

shell::Settings settingsToStore(const shell::Settings& settings, bool keyringUnread) {
    shell::Settings out = settings;
    if (!settings.SavePassword || settings.Password.isEmpty()) {
        out.Password.clear();
        // An emptied field counts too: the keyring's old entry would come back at the next start. A field that
        // stayed empty because the keyring did not give the password at start says nothing: the entry stays.
        if (!settings.SavePassword || !keyringUnread)
            PasswordStore::remove(settings.Username);
    } else if (!settings.Password.isEmpty() && PasswordStore::write(settings.Username, settings.Password)) {
        out.Password.clear();
    }
    return out;
}

} // namespace tarmelo::gui
