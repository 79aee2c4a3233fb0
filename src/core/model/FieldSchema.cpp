#include "FieldSchema.h"

#include "Cp1252.h"
#include "FieldTable.h"
#include "VehicleClass.h"

#include <array>

namespace tarmelo::model {

std::span<const FieldSpec> fields() {
    static const auto table = [] {
        std::array<FieldSpec, std::size(table::kFieldTable)> t;
        for (size_t i = 0; i < t.size(); ++i) {
            t[i] = table::kFieldTable[i].f;
            for (int c = 1; c <= kClassCount; ++c)
                if (placement(QString::fromLatin1(t[i].name), c).found)
                    t[i].classes |= ClassSet(1u << c);
        }
        return t;
    }();
    return table;
}

const FieldSpec* field(QStringView name) {
    for (const FieldSpec& f : fields())
        if (name == QLatin1StringView(f.name))
            return &f;
    return nullptr;
}

const FieldSpec* field(QLatin1StringView name) {
    for (const FieldSpec& f : fields())
        if (name == QLatin1StringView(f.name))
            return &f;
    return nullptr;
}

QString label(const FieldSpec& f, int klasse) {
    return QString::fromUtf8(inSet(f.altClasses, klasse) && f.altLabel ? f.altLabel : f.label);
}

PrintedWords printedWords(const FieldSpec& f, int klasse) {
    if (f.printed && (f.printedIn == 0 || inSet(f.printedIn, klasse)))
        return {QString::fromUtf8(f.printed), QString::fromUtf8(f.unit)};
    // A flag's phrase is its check box's text, the access key's doubled ampersand single.
    if (f.kind == FieldKind::Flag)
        return {label(f, klasse).replace(QStringLiteral("&&"), QStringLiteral("&")), {}};
    // "Länge (in mm):" gives "Länge: " before the value and " mm" after it.
    QString words = QString::fromUtf8(f.label);
    words.chop(words.endsWith(u':') ? 1 : 0);
    QString unit;
    if (const qsizetype open = words.indexOf(QStringLiteral(" (in ")); open >= 0 && words.endsWith(u')')) {
        unit = u' ' + words.mid(open + 5, words.size() - open - 6);
        words.truncate(open);
    }
    return {words + QStringLiteral(": "), unit};
}

QString controlName(const FieldSpec& f, int klasse) {
    const QString c = QString::number(klasse);
    // The cab code shares the control suffix "fh" with the window-lifter switch of class 1.
    const QString suffix = qstrcmp(f.name, "fahrerhaus") == 0 ? QStringLiteral("fh") : QString::fromLatin1(f.name);
    switch (f.control) {
    case Control::Combo:
        return QStringLiteral("combo_%1_%2").arg(c, suffix);
    case Control::Edit:
        return QStringLiteral("le_%1_%2").arg(c, suffix);
    case Control::Mask:
        return QStringLiteral("me_%1_%2").arg(c, suffix);
    case Control::Amount:
        return QStringLiteral("ce_%1_%2").arg(c, suffix);
    case Control::Check:
        return QStringLiteral("cb_%1_%2").arg(c, suffix);
    case Control::Radio:
        return QStringLiteral("rb_%1_%2").arg(c, suffix);
    case Control::Memo:
        return QStringLiteral("Memo%1").arg(c);
    case Control::Image:
        return QStringLiteral("Image%1").arg(c);
    case Control::None:
        break;
    }
    return {};
}

QString controlName(QStringView name, int klasse) {
    const FieldSpec* f = field(name);
    return f ? controlName(*f, klasse) : QString();
}

bool passesFilter(Filter filter, QChar c) {
    const char16_t u = c.unicode();
    const bool digit = u >= '0' && u <= '9';
    switch (filter) {
    case Filter::Digits:
        return digit;
    case Filter::Mask:
        if (u == '[' || u == ']')
            return true;
        [[fallthrough]];
    case Filter::Inr:
        return digit || u == ' ' || u == '-' || u == '_' || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    case Filter::Decimal:
        return digit || u == ',';
    case Filter::None:
        break;
    }
    // Control characters, a lone C1 control among them, never belong into a field.
    return u >= 0x20 && u != 0x7F && !(u >= 0x80 && u < 0xA0) && isCp1252(c);
}

int showIndex(const FieldSpec& f, const TFahrzeug& v) {
    if (f.text)
        return showText(f.list, v.klasse, v.*f.text);
    if (f.byte)
        return showCode(f.list, v.klasse, v.*f.byte);
    return -1;
}

void storeIndex(const FieldSpec& f, TFahrzeug& v, int index) {
    if (f.text)
        v.*f.text = storeText(f.list, v.klasse, index);
    else if (f.byte)
        v.*f.byte = storeCode(f.list, v.klasse, index);
}

} // namespace tarmelo::model
