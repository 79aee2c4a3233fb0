#include "intnr/Renaming.h"
#include "util/Text.h"

#include "model/Cp1252.h"
#include "model/FieldSchema.h"

namespace tarmelo::intnr {

QString checkTexts(const RenameOptions& o) {
    struct Text {
        bool used;
        const QString& text;
        qsizetype length;
        model::Filter filter;
        const char* where; // UTF-8
    };
    const Text texts[] = {{o.maskMode, o.mask, kMaskLength, model::Filter::Mask, "in der Umbenennmaske"},
                          {true, o.search, kSearchLength, model::Filter::Inr, "im Suchtext"},
                          {true, o.replace, kSearchLength, model::Filter::Inr, "im Ersetzungstext"}};
    for (const Text& t : texts) {
        if (!t.used)
            continue;
        const QString where = QString::fromUtf8(t.where);
        if (t.text.size() > t.length)
            return QStringLiteral("Höchstens %1 Zeichen sind %2 erlaubt.").arg(t.length).arg(where);
        for (qsizetype i = 0; i < t.text.size(); ++i) {
            if (model::passesFilter(t.filter, t.text[i]))
                continue;
            // A character outside the basic plane is named whole.
            const qsizetype n = t.text[i].isHighSurrogate() && i + 1 < t.text.size() ? 2 : 1;
            return QStringLiteral("Das Zeichen \"%1\" ist %2 nicht erlaubt.").arg(t.text.mid(i, n), where);
        }
    }
    return {};
}

QString formatCounter(qint64 value, int digits) {
    const quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    QString text = QString::number(magnitude).rightJustified(digits, u'0');
    return value < 0 ? u'-' + text : text;
}

QString dateToken(const QDateTime& now) {
    return now.date().toString(QStringLiteral("yyMMdd"));
}

QString timeToken(const QDateTime& now) {
    return now.time().toString(QStringLiteral("HHmmss"));
}

QStringList previewNumbers(const QStringList& oldNumbers, const QList<bool>& ticked, const RenameOptions& o,
                           const QDateTime& now) {
    const QString date = dateToken(now);
    const QString time = timeToken(now);
    const QString mask = util::trimControls(o.mask);
    QStringList result;
    result.reserve(oldNumbers.size());
    qint64 tickedSoFar = 0;
    for (qsizetype i = 0; i < oldNumbers.size(); ++i) {
        const QString& old = oldNumbers[i];
        const bool isTicked = ticked.value(i);
        if (isTicked)
            ++tickedSoFar;
        QString r;
        if (o.maskMode) {
            r = mask;
            r.replace(QStringLiteral("[N]"), old);
            if (!o.skipNonSelected)
                r.replace(QStringLiteral("[C]"), formatCounter(o.start + qint64(i) * o.step, o.digits));
            else if (isTicked)
                r.replace(QStringLiteral("[C]"), formatCounter(o.start + (tickedSoFar - 1) * o.step, o.digits));
            r.replace(QStringLiteral("[YMD]"), date);
            r.replace(QStringLiteral("[hms]"), time);
        } else {
            r = old.mid(qMin<qsizetype>(qMax(o.beginning, 0), old.size()));
            const int ending = qMax(o.ending, 0);
            r = ending > r.size() ? QString() : r.left(r.size() - ending);
        }
        // QString::replace with an empty pattern would insert at every position.
        if (!o.search.isEmpty())
            r.replace(o.search, o.replace, Qt::CaseSensitive);
        if (r.contains(u'[') || r.contains(u']'))
            r = kFaultyNumber;
        result.append(r.left(kNumberLength));
    }
    return result;
}

QStringList oldNumbers(const model::Inventory& vehicles) {
    QStringList list;
    list.reserve(vehicles.size());
    for (const model::TFahrzeug& v : vehicles)
        list.append(model::fromCp1252(v.inr));
    return list;
}

Refusal checkApply(const QStringList& preview, const QList<bool>& ticked) {
    bool any = false;
    for (qsizetype i = 0; i < preview.size(); ++i) {
        if (!ticked.value(i))
            continue;
        any = true;
        if (preview[i].contains(kFaultyNumber))
            return Refusal::FaultyMask;
    }
    return any ? Refusal::None : Refusal::NothingTicked;
}

QString refusalMessage(Refusal refusal) {
    switch (refusal) {
    case Refusal::FaultyMask:
        return QStringLiteral("Der eingegebene Umbenennmaske ist fehlerhaft. Eingabe überprüfen!");
    case Refusal::NothingTicked:
        return QStringLiteral("Es muss mindestens ein Fahrzeug zum Umbenennen der internen Nummer ausgewählt sein!");
    case Refusal::None:
        break;
    }
    return {};
}

int applyNumbers(model::Inventory& vehicles, const QStringList& preview, const QList<bool>& ticked) {
    int applied = 0;
    for (qsizetype i = 0; i < vehicles.size() && i < preview.size(); ++i) {
        if (!ticked.value(i))
            continue;
        // Every character of a preview comes from the old number or the filtered mask, so it fits Windows-1252.
        const std::optional<QByteArray> bytes = model::toCp1252(preview[i]);
        if (!bytes)
            continue;
        vehicles[i].inr = model::cut(*bytes, kNumberLength);
        ++applied;
    }
    return applied;
}

QStringList rememberedMasks(const shell::Settings& settings) {
    QStringList list;
    for (const QString& item : settings.RenameMaskItem) {
        if (!item.isEmpty() && !list.contains(item))
            list.append(item);
    }
    return list;
}

RenameOptions optionsFromSettings(const shell::Settings& s) {
    RenameOptions o;
    o.maskMode = s.RenameMaskChecked;
    o.mask = s.RenameMaskText.left(kMaskLength);
    o.skipNonSelected = s.SkipNonSelected;
    o.beginning = kCharsRange.clamp(s.BeginningChars);
    o.ending = kCharsRange.clamp(s.EndingChars);
    o.search = s.SearchText.left(kSearchLength);
    o.replace = s.ReplaceText.left(kSearchLength);
    o.start = kStartRange.clamp(s.CounterStart);
    o.step = kStepRange.clamp(s.CounterStep);
    o.digits = s.CounterDigits >= kDigitsRange.min && s.CounterDigits <= kDigitsRange.max ? s.CounterDigits : 1;
    return o;
}

void storeOptions(shell::Settings& s, const RenameOptions& o, const QStringList& comboEntries) {
    s.RenameMaskChecked = o.maskMode;
    s.RenameMaskText = util::trimControls(o.mask).left(kMaskLength);
    if (!s.RenameMaskText.isEmpty() && o.maskMode) {
        QStringList list{s.RenameMaskText};
        for (qsizetype i = 0; i < comboEntries.size() && i < 10; ++i) {
            const QString entry = util::trimControls(comboEntries[i]);
            if (entry != s.RenameMaskText)
                list.append(entry);
        }
        for (size_t i = 0; i < s.RenameMaskItem.size(); ++i)
            s.RenameMaskItem[i] = list.value(qsizetype(i));
    }
    s.SkipNonSelected = o.skipNonSelected;
    s.BeginningChars = o.beginning;
    s.EndingChars = o.ending;
    s.SearchText = util::trimControls(o.search).left(kSearchLength);
    s.ReplaceText = util::trimControls(o.replace).left(kSearchLength);
    s.CounterStart = o.start;
    s.CounterStep = o.step;
    s.CounterDigits = o.digits;
}

} // namespace tarmelo::intnr
