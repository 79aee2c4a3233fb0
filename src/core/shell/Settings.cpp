#include "shell/Settings.h"

#include "model/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <string>

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

// Blanks and control characters only; QString::trimmed would also take non-breaking spaces.
QString trimControl(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    return s.mid(begin, end - begin);
}

bool isMaskChar(QChar c, bool allowBrackets) {
    const char16_t u = c.unicode();
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))
        return true;
    if (u == ' ' || u == '-' || u == '_')
        return true;
    return allowBrackets && (u == '[' || u == ']');
}

// Trimmed, cut to maxLen, and replaced by fallback when a character lies outside the allowed set.
QString validatedText(const QString& raw, qsizetype maxLen, bool allowBrackets, const QString& fallback) {
    const QString text = trimControl(raw).left(maxLen);
    for (QChar c : text) {
        if (!isMaskChar(c, allowBrackets))
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

std::array<QString, 4> closeRecentGaps(std::array<QString, 4> files) {
    for (size_t i = 0; i + 1 < files.size(); ++i) {
        if (files[i].isEmpty() && !files[i + 1].isEmpty())
            std::swap(files[i], files[i + 1]);
    }
    return files;
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

    s.Maximized = in.flag("Size", "Maximized", false);
    s.Width = in.integer("Size", "Width");
    s.Height = in.integer("Size", "Height");
    s.ScreenX = in.integer("Size", "ScreenX", -1);
    s.ScreenY = in.integer("Size", "ScreenY", -1);
    s.Left = in.integer("Position", "Left");
    s.Top = in.integer("Position", "Top");
    for (int n = 0; n < 10; ++n)
        s.col[n] = in.integer("Table", numbered("col", n).c_str());

    s.Username = in.text("Login", "Username", QString());
    s.Password = unscramblePassword(in.text("Login", "Password", QString()));
    s.SavePassword = in.flag("Login", "SavePassword", false);
    if (!s.SavePassword)
        s.Password.clear();

    std::array<QString, 4> files;
    for (int n = 0; n < 4; ++n)
        files[n] = trimControl(in.text("Recent", numbered("File", n + 1).c_str(), QString()));
    s.File = closeRecentGaps(files);

    s.ActItem = in.integer("Tipps", "ActItem", -1);
    s.ShowTipps = in.flag("Tipps", "ShowTipps", true);

    s.ResetDays = in.flag("Misc", "ResetDays", false);
    s.AutomaticIntNr = in.flag("Misc", "AutomaticIntNr", true);

    const QString defaultMask = QStringLiteral("[N]");
    s.RenameMaskChecked = in.flag("UpdateIntNr", "RenameMaskChecked", true);
    s.RenameMaskText = validatedText(in.text("UpdateIntNr", "RenameMaskText", defaultMask), 50, true, defaultMask);
    for (int n = 0; n < 10; ++n) {
        const QString raw = in.text("UpdateIntNr", numbered("RenameMaskItem", n).c_str(), QString());
        s.RenameMaskItem[n] = validatedText(raw, 50, true, QString());
    }
    s.SkipNonSelected = in.flag("UpdateIntNr", "SkipNonSelected", false);
    s.BeginningChars = in.integer("UpdateIntNr", "BeginningChars", 0);
    s.EndingChars = in.integer("UpdateIntNr", "EndingChars", 0);
    s.SearchText = validatedText(in.text("UpdateIntNr", "SearchText", QString()), 40, false, QString());
    s.ReplaceText = validatedText(in.text("UpdateIntNr", "ReplaceText", QString()), 40, false, QString());
    s.CounterStart = in.integer("UpdateIntNr", "CounterStart", 1);
    s.CounterStep = in.integer("UpdateIntNr", "CounterStep", 1);
    s.CounterDigits = in.integer("UpdateIntNr", "CounterDigits", 1);

    const QString dateText = trimControl(in.text("Update", "LastUpdate", QString()));
    // "d.M.yyyy" also takes two-digit day and month.
    QDate date = QDate::fromString(dateText, QStringLiteral("d.M.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(dateText, Qt::ISODate);
    if (date.isValid())
        s.LastUpdate = date;
    return s;
}

QByteArray writeSettings(const Settings& s) {
    IniWriter out;
    out.flag("Size", "Maximized", s.Maximized);
    out.integer("Size", "Width", s.Width);
    out.integer("Size", "Height", s.Height);
    out.integer("Size", "ScreenX", s.ScreenX);
    out.integer("Size", "ScreenY", s.ScreenY);
    out.integer("Position", "Left", s.Left);
    out.integer("Position", "Top", s.Top);
    for (int n = 0; n < 10; ++n)
        out.integer("Table", numbered("col", n).c_str(), s.col[n]);

    out.text("Login", "Username", s.Username);
    out.text("Login", "Password", s.SavePassword ? scramblePassword(s.Password) : QString());
    out.flag("Login", "SavePassword", s.SavePassword);

    for (int n = 0; n < 4; ++n)
        out.text("Recent", numbered("File", n + 1).c_str(), s.File[n]);

    out.flag("UpdateIntNr", "RenameMaskChecked", s.RenameMaskChecked);
    out.text("UpdateIntNr", "RenameMaskText", s.RenameMaskText);
    for (int n = 0; n < 10; ++n)
        out.text("UpdateIntNr", numbered("RenameMaskItem", n).c_str(), s.RenameMaskItem[n]);
    out.flag("UpdateIntNr", "SkipNonSelected", s.SkipNonSelected);
    out.integer("UpdateIntNr", "BeginningChars", s.BeginningChars);
    out.integer("UpdateIntNr", "EndingChars", s.EndingChars);
    out.text("UpdateIntNr", "SearchText", s.SearchText);
    out.text("UpdateIntNr", "ReplaceText", s.ReplaceText);
    out.integer("UpdateIntNr", "CounterStart", s.CounterStart);
    out.integer("UpdateIntNr", "CounterStep", s.CounterStep);
    out.integer("UpdateIntNr", "CounterDigits", s.CounterDigits);

    out.integer("Tipps", "ActItem", s.ActItem);
    out.flag("Tipps", "ShowTipps", s.ShowTipps);

    out.flag("Misc", "ResetDays", s.ResetDays);
    out.flag("Misc", "AutomaticIntNr", s.AutomaticIntNr);

    if (s.LastUpdate && s.LastUpdate->isValid())
        out.text("Update", "LastUpdate", s.LastUpdate->toString(kDateFormat));
    return out.save();
}

QString settingsPath(const QString& executableDir) {
    const QString portable = QDir(executableDir).filePath(QStringLiteral("config.ini"));
    if (QFileInfo(portable).isFile())
        return portable;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/config.ini");
}

Settings loadSettingsFile(const QString& path) {
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
    const QByteArray data = writeSettings(settings);
    // QSaveFile buffers: a failed write shows only in flush(), and commit() would not report it.
    if (file.write(data) != data.size() || !file.flush())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tarmelo::shell
