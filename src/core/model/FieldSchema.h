#pragma once

#include "Fahrzeug.h"
#include "ValueLists.h"

#include <QString>
#include <span>

namespace tarmelo::model {

enum class FieldKind : quint8 { Text, Flag, Code, Amount, LongText, Photos };
// Control kinds of the editing pages, each with its name prefix (combo_, le_, me_, ce_, cb_, rb_).
enum class Control : quint8 { None, Combo, Edit, Mask, Amount, Check, Radio, Memo, Image };
// Key filters of the edits: digits; the internal-number characters; digits and comma; the renaming mask (the
// internal-number characters and the brackets of its tokens).
enum class Filter : quint8 { None, Digits, Inr, Decimal, Mask };

// Whether a character may be typed into a field with the filter; None takes every Windows-1252 character but the
// control characters.
bool passesFilter(Filter filter, QChar c);

using ClassSet = quint16; // bit c set: class c

constexpr ClassSet cls(auto... c) {
    return ClassSet(((1u << c) | ...));
}
inline constexpr ClassSet kAllClasses = cls(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);
constexpr bool inSet(ClassSet s, int klasse) {
    return klasse >= 1 && klasse <= 12 && (s >> klasse) & 1u;
}

// The range of an amount field: its decimals and its largest value.
struct AmountRange {
    int decimals = 0;
    double maximum = 0;
};

// One field of the vehicle record, in record order. Labels and hints are UTF-8.
struct FieldSpec {
    const char* name;
    FieldKind kind;
    int width = 0; // texts: the most characters kept; 0 = no limit
    QByteArray TFahrzeug::*text = nullptr;
    quint8 TFahrzeug::*byte = nullptr;
    double TFahrzeug::*amount = nullptr;
    ClassSet classes = 0; // classes whose pages have a control for the field, as the page layouts place it
    Control control = Control::None;
    const char* mask = nullptr;
    Filter filter = Filter::None;
    ListId list = ListId::None;
    const char* label = nullptr;
    const char* altLabel = nullptr; // label of the classes in altClasses
    ClassSet altClasses = 0;
    const char* hint = nullptr;
    bool storesAtOnce = false; // a change is stored into the record at once (and refreshes the list row)
    ClassSet trimIn = 0;       // classes whose store step trims the text
    int below = 0;             // decimal texts: a value must lie from 1 up to below this
    // Classes where the field must be given; the fuel and the consumption values only while envkv is set.
    ClassSet required = 0;
    ClassSet requiredUsed = 0; // classes where a used vehicle must give it
    AmountRange range;         // amounts
    // The print's phrase where the label does not give it: a flag's text, the words before a value (and its unit).
    const char* printed = nullptr;
    const char* unit = nullptr;
    ClassSet printedIn = 0; // the classes printed says it for; 0: every class
};

std::span<const FieldSpec> fields();
const FieldSpec* field(QStringView name);
const FieldSpec* field(QLatin1StringView name);

inline bool hasControl(const FieldSpec& f, int klasse) {
    return inSet(f.classes, klasse);
}
// The field must be filled on the pages of the class (its label carries the asterisk). The fuel and the
// consumption values of class 1 are required only while envkv is set.
inline bool isRequired(const FieldSpec& f, int klasse) {
    return hasControl(f, klasse) && inSet(f.required, klasse);
}
QString label(const FieldSpec& f, int klasse);
// The print's words for the field on a class: a flag's phrase, or what stands before a value ("Achsen: "), with the
// unit after it. Taken from the label ("Länge (in mm):" gives "Länge: " and " mm") unless the table says otherwise.
struct PrintedWords {
    QString before;
    QString unit;
};
PrintedWords printedWords(const FieldSpec& f, int klasse);
// The object name of the field's control on the pages of a class ("combo_3_marke", "Memo3" ...).
QString controlName(const FieldSpec& f, int klasse);
QString controlName(QStringView field, int klasse);

// Show and store rules for the choice field f of a record.
int showIndex(const FieldSpec& f, const TFahrzeug& v);
void storeIndex(const FieldSpec& f, TFahrzeug& v, int index);

// Prices with cents up to 500 000 000, the transfer costs in whole euros up to 9 999.
inline AmountRange amountRange(const FieldSpec& f) {
    return f.range;
}

// Maximum characters an edit of the field accepts (0 = no limit).
inline int maxLength(const FieldSpec& f) {
    return f.width;
}

} // namespace tarmelo::model
