#pragma once

#include "model/Fahrzeug.h"
#include "shell/Settings.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace tarmelo::intnr {

inline constexpr int kMaskLength = 50;
inline constexpr int kSearchLength = 40;
inline constexpr int kNumberLength = 40;

// Ranges of the dialog's spin fields and of the digit list.
struct Range {
    int min;
    int max;
    int clamp(int v) const { return v < min ? min : (v > max ? max : v); }
};
inline constexpr Range kCharsRange{0, 40};
inline constexpr Range kStartRange{-10000, 10000};
inline constexpr Range kStepRange{-100, 100};
inline constexpr Range kDigitsRange{1, 10};

inline const QString kFaultyNumber = QStringLiteral("<Fehler>");

// Everything the preview of the new numbers depends on besides the vehicles and their ticks.
struct RenameOptions {
    bool maskMode = true; // false: characters are removed at both ends
    QString mask = QStringLiteral("[N]");
    int beginning = 0;
    int ending = 0;
    QString search;
    QString replace;
    int start = 1;
    int step = 1;
    int digits = 1;
    bool skipNonSelected = false;
};

// Why the texts of the options cannot be used, or an empty text: the mask at most 50 characters of the internal
// number's characters and the brackets of its tokens, the search and replace texts at most 40 of the number's
// characters, as the dialog's fields take them.
QString checkTexts(const RenameOptions& options);

// The counter's digits padded with "0" to `digits` (never cut), "-" before a negative value: 3 digits, -5: "-005".
QString formatCounter(qint64 value, int digits);
// "[YMD]" and "[hms]": 240131 and 090507.
QString dateToken(const QDateTime& now);
QString timeToken(const QDateTime& now);

// The new number of every row; `ticked` has one flag per row. A result that still holds a bracket is "<Fehler>".
QStringList previewNumbers(const QStringList& oldNumbers, const QList<bool>& ticked, const RenameOptions& options,
                           const QDateTime& now);
// The old numbers of the vehicle array as the preview reads them.
QStringList oldNumbers(const model::Inventory& vehicles);

// Why OK refuses to apply the preview.
enum class Refusal { None, FaultyMask, NothingTicked };
Refusal checkApply(const QStringList& preview, const QList<bool>& ticked);
QString refusalMessage(Refusal refusal);

// The ticked rows' numbers go into their vehicles (cut to the field's width); unticked rows stay as they are.
// Returns how many vehicles got their number.
int applyNumbers(model::Inventory& vehicles, const QStringList& preview, const QList<bool>& ticked);

// The drop-down entries from the settings: empty ones and repeats left out.
QStringList rememberedMasks(const shell::Settings& settings);
// The options the dialog opens with; values outside their ranges are brought to the nearest bound.
RenameOptions optionsFromSettings(const shell::Settings& settings);
// What OK stores: the options and, after a confirmed mask, the rebuilt list of remembered masks.
void storeOptions(shell::Settings& settings, const RenameOptions& options, const QStringList& comboEntries);

} // namespace tarmelo::intnr
