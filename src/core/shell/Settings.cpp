#include "shell/Settings.h"
#include "util/Text.h"

#include "inventory/RecentFiles.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "shell/Servers.h"
#include "util/OwnerOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace tarmelo::shell {

namespace {

// A settings file is small; anything larger is not ours and is not read into memory.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

// The date is stored in one fixed form so that a change of the system locale cannot lose it.
const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Trimmed, cut to maxLen, and replaced by fallback when a character lies outside the allowed set.
QString validatedText(const QString& raw, qsizetype maxLen, bool allowBrackets, const QString& fallback) {
    QString text = util::trimControls(raw).left(maxLen);
    for (QChar c : text) {
        if (!model::passesFilter(allowBrackets ? model::Filter::Mask : model::Filter::Inr, c))
            return fallback;
    }
    return text;
}

class IniReader {
public:
    explicit IniReader(const QByteArray& content) : ini_(false, false, false) {
        ini_.SetUnicode(false);
        ini_.SetSpaces(false);
        QByteArray data = content;
        if (data.startsWith("\xEF\xBB\xBF"))
            data.remove(0, 3);
        // A file written by the Windows program is in Windows-1252; ours are UTF-8.
        utf8_ = data.isValidUtf8();
        ini_.LoadData(data.constData(), static_cast<size_t>(data.size()));
        // The library ends a line at CR as well as at LF.
        data_ = data.replace('\r', '\n');
    }

    // The value exactly as it stands after "=", blanks included: the INI library trims every value it reads.
    std::optional<QString> unchangedText(const char* section, const char* key) const {
        if (!text(section, key))
            return std::nullopt;
        const QByteArray wantedSection = QByteArray(section).toLower();
        const QByteArray wantedKey = QByteArray(key).toLower();
        bool inSection = false;
        std::optional<QByteArray> found; // a repeated key: the last one counts, as in the library
        for (const QByteArray& line : data_.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.startsWith('[')) {
                inSection =
                    trimmed.endsWith(']') && trimmed.mid(1, trimmed.size() - 2).trimmed().toLower() == wantedSection;
                continue;
            }
            const qsizetype eq = line.indexOf('=');
            if (!inSection || eq < 0 || line.left(eq).trimmed().toLower() != wantedKey)
                continue;
            found = line.mid(eq + 1);
            // A value ends at a NUL byte, as the library and the writer see it.
            if (const qsizetype nul = found->indexOf('\0'); nul >= 0)
                found->truncate(nul);
        }
        if (!found)
            return text(section, key);
        return utf8_ ? QString::fromUtf8(*found) : model::fromCp1252(*found);
    }

    std::optional<QString> text(const char* section, const char* key) const {
        const char* v = ini_.GetValue(section, key, nullptr);
        if (v == nullptr)
            return std::nullopt;
        const QByteArray bytes(v);
        return utf8_ ? QString::fromUtf8(bytes) : model::fromCp1252(bytes);
    }

    QString text(const char* section, const char* key, const QString& def) const {
        return text(section, key).value_or(def);
    }

    std::optional<int> integer(const char* section, const char* key) const {
        const char* v = ini_.GetValue(section, key, nullptr);
        if (v == nullptr)
            return std::nullopt;
        bool ok = false;
        const int n = QByteArray(v).trimmed().toInt(&ok, 10);
        return ok ? std::optional<int>(n) : std::nullopt;
    }

    int integer(const char* section, const char* key, int def) const { return integer(section, key).value_or(def); }

    bool flag(const char* section, const char* key, bool def) const {
        const std::optional<int> n = integer(section, key);
        return n ? *n != 0 : def;
    }

private:
    CSimpleIniA ini_;
    QByteArray data_;
    bool utf8_ = true;
};

class IniWriter {
public:
    IniWriter() : ini_(false, false, false) {
        ini_.SetUnicode(false);
        ini_.SetSpaces(false);
    }

    // Line breaks would end the value and let the rest be read as further keys, so they are dropped.
    void text(const char* section, const char* key, const QString& value) {
        QString clean = value;
        clean.remove(QLatin1Char('\r'));
        clean.remove(QLatin1Char('\n'));
        ini_.SetValue(section, key, clean.toUtf8().constData());
    }

    void integer(const char* section, const char* key, int value) {
        ini_.SetValue(section, key, QByteArray::number(value).constData());
    }

    void integer(const char* section, const char* key, const std::optional<int>& value) {
        if (value)
            integer(section, key, *value);
    }

    void flag(const char* section, const char* key, bool value) { integer(section, key, value ? 1 : 0); }

    QByteArray save() const {
        std::string out;
        ini_.Save(out, false);
        // One blank line between sections, as an INI file written by hand has.
        QByteArray data = QByteArray::fromStdString(out);
        while (data.contains("\n\n\n"))
            data.replace("\n\n\n", "\n\n");
        return data;
    }

private:
    CSimpleIniA ini_;
};

std::string numbered(const char* prefix, int n) {
    return std::string(prefix) + std::to_string(n);
}

// How a value read from the file is checked before it is taken.
enum class Check : quint8 {
    None,
    Password,  // scrambled in the file, kept only with SavePassword
    Path,      // blanks and control characters trimmed
    Mask,      // a renaming mask: 50 characters of the mask set with brackets, else the default
    Plain,     // a search or replace text: 40 characters of the mask set without brackets, else the default
    Date,      // the date of the last update
    Unchanged, // taken as it stands, leading and trailing blanks included
    Version,   // a version number: blanks trimmed, written only when known
    Count,     // a whole number of at least 0, else the default
};

using Value = std::variant<bool*, int*, std::optional<int>*, QString*, std::optional<QDate>*>;

// One key of config.ini: its section and name, the member of Settings it holds (whose initial value is its
// default) and its check.
struct Key {
    const char* section;
    std::string name;
    Value value;
    Check check = Check::None;
};

// Every key in file order, bound to the members of s.
std::vector<Key> keys(Settings& s) {
    std::vector<Key> k = {
        {"Size", "Maximized", &s.Maximized}, {"Size", "Width", &s.Width},     {"Size", "Height", &s.Height},
        {"Size", "ScreenX", &s.ScreenX},     {"Size", "ScreenY", &s.ScreenY}, {"Position", "Left", &s.Left},
        {"Position", "Top", &s.Top},
    };
    for (int n = 0; n < 10; ++n)
        k.push_back({"Table", numbered("col", n), &s.col[size_t(n)]});
    k.push_back({"Table", "SortColumn", &s.SortColumn, Check::Count});
    k.push_back({"Table", "SortDescending", &s.SortDescending});
    k.push_back({"Login", "Username", &s.Username, Check::Unchanged});
    k.push_back({"Login", "Password", &s.Password, Check::Password});
    k.push_back({"Login", "SavePassword", &s.SavePassword});
    for (int n = 0; n < int(s.File.size()); ++n)
        k.push_back({"Recent", numbered("File", n + 1), &s.File[size_t(n)], Check::Path});
    k.push_back({"UpdateIntNr", "RenameMaskChecked", &s.RenameMaskChecked});
    k.push_back({"UpdateIntNr", "RenameMaskText", &s.RenameMaskText, Check::Mask});
    for (int n = 0; n < 10; ++n)
        k.push_back({"UpdateIntNr", numbered("RenameMaskItem", n), &s.RenameMaskItem[size_t(n)], Check::Mask});
    k.push_back({"UpdateIntNr", "SkipNonSelected", &s.SkipNonSelected});
    k.push_back({"UpdateIntNr", "BeginningChars", &s.BeginningChars});
    k.push_back({"UpdateIntNr", "EndingChars", &s.EndingChars});
    k.push_back({"UpdateIntNr", "SearchText", &s.SearchText, Check::Plain});
    k.push_back({"UpdateIntNr", "ReplaceText", &s.ReplaceText, Check::Plain});
    k.push_back({"UpdateIntNr", "CounterStart", &s.CounterStart});
    k.push_back({"UpdateIntNr", "CounterStep", &s.CounterStep});
    k.push_back({"UpdateIntNr", "CounterDigits", &s.CounterDigits});
    k.push_back({"Tipps", "ActItem", &s.ActItem});
    k.push_back({"Tipps", "ShowTipps", &s.ShowTipps});
    k.push_back({"Misc", "ResetDays", &s.ResetDays});
    k.push_back({"Misc", "AutomaticIntNr", &s.AutomaticIntNr});
    k.push_back({"Backup", "BackupLimitMB", &s.BackupLimitMB, Check::Count});
    k.push_back({"Update", "LastUpdate", &s.LastUpdate, Check::Date});
    k.push_back({"Update", "NotifiedVersion", &s.NotifiedVersion, Check::Version});
    return k;
}

QString checkedText(const QString& raw, Check check, const QString& def) {
    switch (check) {
    case Check::Password:
        return unscramblePassword(raw);
    case Check::Path:
    case Check::Version:
        return util::trimControls(raw);
    case Check::Mask:
        return validatedText(raw, 50, true, def);
    case Check::Plain:
        return validatedText(raw, 40, false, def);
    case Check::None:
    case Check::Date:
    case Check::Unchanged:
    case Check::Count:
        break;
    }
    return raw;
}

std::optional<QDate> readDate(const QString& raw) {
    const QString text = util::trimControls(raw);
    // "d.M.yyyy" also takes two-digit day and month.
    QDate date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

void readKey(const IniReader& in, const Key& k) {
    const char* section = k.section;
    const char* name = k.name.c_str();
    std::visit(
        [&](auto* member) {
            using T = std::remove_pointer_t<decltype(member)>;
            if constexpr (std::is_same_v<T, bool>)
                *member = in.flag(section, name, *member);
            else if constexpr (std::is_same_v<T, int>)
                *member = k.check == Check::Count && in.integer(section, name, *member) < 0
                              ? *member
                              : in.integer(section, name, *member);
            else if constexpr (std::is_same_v<T, std::optional<int>>)
                *member = in.integer(section, name);
            else if constexpr (std::is_same_v<T, QString>)
                *member = k.check == Check::Unchanged
                              ? in.unchangedText(section, name).value_or(*member)
                              : checkedText(in.text(section, name, k.check == Check::Mask ? *member : QString()),
                                            k.check, *member);
            else
                *member = readDate(in.text(section, name, QString()));
        },
        k.value);
}

void writeKey(IniWriter& out, const Key& k, const Settings& s) {
    const char* section = k.section;
    const char* name = k.name.c_str();
    std::visit(
        [&](auto* member) {
            using T = std::remove_pointer_t<decltype(member)>;
            if constexpr (std::is_same_v<T, bool>) {
                out.flag(section, name, *member);
            } else if constexpr (std::is_same_v<T, int> || std::is_same_v<T, std::optional<int>>) {
                out.integer(section, name, *member);
            } else if constexpr (std::is_same_v<T, QString>) {
                if (k.check == Check::Password)
                    out.text(section, name, s.SavePassword ? scramblePassword(*member) : QString());
                else if (k.check != Check::Version || !member->isEmpty())
                    out.text(section, name, *member);
            } else if (*member && (*member)->isValid()) {
                out.text(section, name, (*member)->toString(kDateFormat));
            }
        },
        k.value);
}

} // namespace

QByteArray Code(const QByteArray& text, const QByteArray& key) {
    if (key.isEmpty())
        return text;
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(text[i] ^ key[i % key.size()]);
    return out;
}

QString StringToHexStr(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray HexStrToString(const QString& text) {
    QByteArray out;
    out.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const int hi = hexDigit(text.at(i));
        const int lo = hexDigit(text.at(i + 1));
        // Ending the password at the first bad pair; what follows is not trustworthy.
        if (hi < 0 || lo < 0)
            break;
        out.append(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

QString scramblePassword(const QString& password) {
    return StringToHexStr(Code(password.toUtf8(), QByteArray(kPasswordKey)));
}

QString unscramblePassword(const QString& stored) {
    const QByteArray plain = Code(HexStrToString(stored), QByteArray(kPasswordKey));
    // The Windows program scrambled Windows-1252 bytes; we scramble UTF-8.
    return plain.isValidUtf8() ? QString::fromUtf8(plain) : model::fromCp1252(plain);
}

WindowPlacement placeWindow(const Settings& s, QSize screen, QRect current, const std::array<int, 10>& currentColumns) {
    WindowPlacement p;
    p.rect = current;
    p.columns = currentColumns;
    if (s.ScreenX != screen.width() || s.ScreenY != screen.height())
        return p;
    p.fromFile = true;
    p.rect.setSize(QSize(s.Width.value_or(current.width()), s.Height.value_or(current.height())));
    if (s.Left && *s.Left >= 0 && *s.Left <= screen.width())
        p.rect.moveLeft(*s.Left);
    if (s.Top && *s.Top >= 0 && *s.Top < screen.height())
        p.rect.moveTop(*s.Top);
    p.maximized = s.Maximized;
    for (size_t n = 0; n < p.columns.size(); ++n)
        p.columns[n] = s.col[n].value_or(currentColumns[n]);
    return p;
}

Settings readSettings(const QByteArray& fileContent) {
    const IniReader in(fileContent);
    Settings s;
    for (const Key& k : keys(s))
        readKey(in, k);
    if (!s.SavePassword)
        s.Password.clear();
    const QStringList files = inventory::closeRecentGaps(QStringList(s.File.cbegin(), s.File.cend()));
    std::copy_n(files.cbegin(), s.File.size(), s.File.begin());
    return s;
}

QByteArray writeSettings(const Settings& settings) {
    IniWriter out;
    Settings s = settings;
    for (const Key& k : keys(s))
        writeKey(out, k, s);
    return out.save();
}

QString settingsPath(const QString& executableDir) {
    if (portableMode(executableDir))
        return QDir(executableDir).filePath(QStringLiteral("config.ini"));
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/config.ini");
}

inventory::BackupPlace backupPlace(const Settings& settings, const QString& executableDir, Clock clock) {
    inventory::BackupPlace p;
    p.dataFolder = dataFolder(executableDir);
    p.policy.limitBytes = qint64(settings.BackupLimitMB) << 20;
    p.clock = std::move(clock);
    return p;
}

Settings loadSettingsFile(const QString& path) {
    // Written by an older version readable for everyone, with the scrambled password in it.
    util::tightenToOwner(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return readSettings(QByteArray());
    return readSettings(file.read(kMaxFileSize));
}

bool saveSettingsFile(const QString& path, const Settings& settings, QString* error) {
    const auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("Der Ordner \"%1\" kann nicht angelegt werden.").arg(info.absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // Before the first byte: the scrambled password is no one else's to read, not even for a moment.
    if (!util::restrictToOwner(file))
        return fail(file.errorString());
    const QByteArray data = writeSettings(settings);
    // QSaveFile buffers: a failed write shows only in flush(), and commit() would not report it.
    if (file.write(data) != data.size() || !file.flush())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tarmelo::shell
