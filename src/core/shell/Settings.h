#pragma once

#include "inventory/Backups.h"
#include "inventory/RecentFiles.h"

#include <QByteArray>
#include <QDate>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

namespace tarmelo::shell {

// Everything config.ini holds. Member names are the keys of the file; arrays hold the numbered keys
// (File[0] is File1, col[0] is col0, RenameMaskItem[0] is RenameMaskItem0).
struct Settings {
    // [Size], [Position], [Table]: nullopt when absent, meaning "keep the window's current value".
    bool Maximized = false;
    std::optional<int> Width;
    std::optional<int> Height;
    int ScreenX = -1;
    int ScreenY = -1;
    std::optional<int> Left;
    std::optional<int> Top;
    std::array<std::optional<int>, 10> col;
    // The column the vehicle list is sorted by (0: the order of the stock) and its direction.
    int SortColumn = 0;
    bool SortDescending = false;

    // [Login]; the password is plain here and scrambled only in the file.
    QString Username;
    QString Password;
    bool SavePassword = false;

    // [Recent], most recent first.
    std::array<QString, inventory::kRecentCount> File;

    // [UpdateIntNr]
    bool RenameMaskChecked = true;
    QString RenameMaskText = QStringLiteral("[N]");
    std::array<QString, 10> RenameMaskItem;
    bool SkipNonSelected = false;
    int BeginningChars = 0;
    int EndingChars = 0;
    QString SearchText;
    QString ReplaceText;
    int CounterStart = 1;
    int CounterStep = 1;
    int CounterDigits = 1;

    // [Tipps]
    int ActItem = -1;
    bool ShowTipps = true;

    // [Misc]
    bool ResetDays = false;
    bool AutomaticIntNr = true;

    // [Backup]: the size limit of the backups of one inventory in MB; 0 keeps none.
    int BackupLimitMB = inventory::kBackupLimitDefaultMB;

    // [Update]; nullopt when no valid date is known (the section is then left out).
    std::optional<QDate> LastUpdate;
    // The newest version the start reminder announced to an installation the package management updates.
    QString NotifiedVersion;

    bool operator==(const Settings&) const = default;
};

// The key that scrambles the stored password.
inline constexpr char kPasswordKey[] = "kvzq";

// Byte-wise XOR of text with the key repeated; applying it twice gives text back. An empty key changes nothing.
QByteArray Code(const QByteArray& text, const QByteArray& key);
// Two upper-case hex digits per byte, high half first.
QString StringToHexStr(const QByteArray& bytes);
// Pairs of hex digits (either case) from the start; stops at the first pair that is not two hex digits and drops
// an odd last digit.
QByteArray HexStrToString(const QString& text);

// The Password value as stored: empty unless SavePassword is on.
QString scramblePassword(const QString& password);
QString unscramblePassword(const QString& stored);

// The geometry the main window takes at start.
struct WindowPlacement {
    bool fromFile = false; // false: designed size, centred, designed column widths
    QRect rect;            // restored rectangle
    bool maximized = false;
    std::array<int, 10> columns{};
};

// Stored geometry is used only when it was written on a screen of the current size; Left may equal the screen
// width, Top must stay below the screen height, negatives are never applied.
WindowPlacement placeWindow(const Settings& settings, QSize screen, QRect current,
                            const std::array<int, 10>& currentColumns);

// Parses config.ini: UTF-8, or Windows-1252 when the bytes are not valid UTF-8. Applies defaults and validation.
Settings readSettings(const QByteArray& fileContent);
// Every section and key in their fixed order, UTF-8. Geometry keys that are nullopt are left out.
QByteArray writeSettings(const Settings& settings);

// config.ini beside the executable when one stands there (portable mode), else in the user's config folder.
QString settingsPath(const QString& executableDir);
// Where and how long backups are kept: the data folder of this installation and the limit of the settings.
inventory::BackupPlace backupPlace(const Settings& settings, const QString& executableDir, Clock clock);

// Missing or unreadable file: defaults.
Settings loadSettingsFile(const QString& path);
// Atomic: a temporary file in the same folder replaces the target only once completely written.
bool saveSettingsFile(const QString& path, const Settings& settings, QString* error);

} // namespace tarmelo::shell
