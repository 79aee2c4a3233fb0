#include "csv/VehicleChecks.h"

#include "model/CommaNumber.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <QSet>

#include <cmath>

namespace tarmelo::csv {

namespace {

using model::TFahrzeug;

const QByteArray kJahreswagen = QByteArrayLiteral("Jahreswagen");
const QByteArray kOldtimer = QByteArrayLiteral("Oldtimer");
const QByteArray kElektro = QByteArrayLiteral("Elektro");

// The page and tab of the field's control. A field the class has no control for (possible only in data
// from outside the editor) is shown where the passenger-car pages hold it, on a page without tabs if the
// class has none.
model::Placement placeOf(const QString& field, int klasse) {
    model::Placement p = model::placement(field, klasse);
    if (p.found)
        return p;
    p = model::placement(field, 1);
    if (p.tab != model::Tab::Unchanged && !model::classLayout(klasse).hasTabs())
        p.tab = model::Tab::Unchanged;
    return p;
}

CheckFailure failure(const TFahrzeug& v, int check, const char* message, const char* field) {
    CheckFailure f;
    f.check = check;
    f.message = QString::fromUtf8(message);
    f.field = QString::fromLatin1(field);
    f.control = model::controlName(f.field, v.klasse);
    const model::Placement p = placeOf(f.field, v.klasse);
    f.page = p.page;
    f.tab = p.tab;
    return f;
}

const model::FieldSpec& spec(const char* name) {
    const model::FieldSpec* f = model::field(QLatin1StringView(name));
    Q_ASSERT(f);
    return *f;
}

bool hasBlank(const QByteArray& s) {
    return s.contains(' ');
}

// The text without leading and trailing spaces and control characters, as a view into s.
QByteArrayView trimmed(const QByteArray& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && quint8(s[b]) <= 0x20)
        ++b;
    while (e > b && quint8(s[e - 1]) <= 0x20)
        --e;
    return QByteArrayView(s.constData() + b, e - b);
}

// Empty after removing leading and trailing spaces and control characters.
bool isBlank(const QByteArray& s) {
    return trimmed(s).isEmpty();
}

bool isZero(double x) {
    return std::fabs(x) <= 1e-12;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A whole number with an optional sign and nothing else; nullopt when it does not convert.
std::optional<qint64> toInteger(const QByteArray& s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i == s.size() || s.size() - i > 18)
        return std::nullopt;
    qint64 n = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i]))
            return std::nullopt;
        n = n * 10 + (s[i] - '0');
    }
    return negative ? -n : n;
}

// Rounded on the typed digits, so that 0,995 rounds up as typed.
std::optional<qint64> toHundredths(const QByteArray& s) {
    const auto n = model::parseCommaNumber(std::string_view(s.constData(), size_t(s.size())), false);
    return n ? n->hundredths() : std::nullopt;
}

// A consumption value in its field's range when rounded: from 1 (inclusive) up to the bound (exclusive).
bool decimalInRange(const QByteArray& s, const model::FieldSpec& f) {
    const auto h = toHundredths(s);
    return h && *h >= 100 && *h < qint64(f.below) * 100;
}

// The number of n digits at from; the caller has checked that they are digits.
int number(const QByteArray& s, qsizetype from, qsizetype n) {
    int value = 0;
    for (qsizetype i = from; i < from + n; ++i)
        value = value * 10 + (s[i] - '0');
    return value;
}

// A month field "MM-YYYY"; the empty text and the unfilled mask are not set.
struct Month {
    bool set = false;
    bool valid = false; // set, without blanks and in the form MM-YYYY
    int mm = 0;
    int yyyy = 0;
    int index() const { return yyyy * 12 + mm; }
};

Month readMonth(const QByteArray& s) {
    Month m;
    m.set = !s.isEmpty() && s != model::kEmptyMonth;
    if (!m.set || hasBlank(s) || s.size() != 7 || s[2] != '-')
        return m;
    for (int i : {0, 1, 3, 4, 5, 6})
        if (!isDigit(s[i]))
            return m;
    m.mm = number(s, 0, 2);
    m.yyyy = number(s, 3, 4);
    m.valid = true;
    return m;
}

bool isDateSet(const QByteArray& s) {
    return !s.isEmpty() && s != model::kEmptyDate;
}

bool isCalendarDate(const QByteArray& s) {
    if (hasBlank(s) || s.size() != 10 || s[2] != '.' || s[5] != '.')
        return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!isDigit(s[i]))
            return false;
    const int d = number(s, 0, 2), m = number(s, 3, 2), y = number(s, 6, 4);
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

bool inspectionInvalid(const Month& m) {
    return m.set && (!m.valid || m.mm < 1 || m.mm > 12 || m.yyyy < 1980 || m.yyyy > 2050);
}

bool hasLatinLetter(const QByteArray& s) {
    for (char c : s)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return true;
    return false;
}

// The field must be given for a used vehicle of the class.
bool requiredWhenUsed(const model::FieldSpec& f, int klasse) {
    return model::inSet(f.requiredUsed, klasse);
}

QByteArray lowerAscii(const QByteArray& s) {
    QByteArray r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return r;
}

} // namespace

std::optional<CheckFailure> checkVehicle(const TFahrzeug& v, QDate today) {
    namespace items = model::items;
    static const model::FieldSpec &kEz = spec("ez"), &kKilometer = spec("kilometer"), &kInnerorts = spec("innerorts"),
                                  &kAusserorts = spec("ausserorts"), &kKombiniert = spec("kombiniert"),
                                  &kCo2 = spec("co2");
    const int todayIndex = today.year() * 12 + today.month();
    const bool neu = v.typ == items::kNeuwagen;
    const Month ez = readMonth(v.ez), hu = readMonth(v.hu), au = readMonth(v.au);
    const bool lieferfrist = !v.lieferfrist.isEmpty() && v.lieferfrist != items::kKeineAngabe;
    const bool lieferdatum = isDateSet(v.lieferdatum);
    const QByteArray* consumption[] = {&v.innerorts, &v.ausserorts, &v.kombiniert, &v.co2};
    // The order rules below only make sense for a plausible first registration.
    const bool ezMonth = ez.valid && ez.mm >= 1;

    if (v.marke.isEmpty() || v.marke == items::kBitteAuswaehlen)
        return failure(v, 1, "keine Marke angegeben", "marke");
    if (v.modell.isEmpty())
        return failure(v, 2, "kein Modell angegeben", "modell");
    if (v.kategorie.isEmpty() || v.kategorie == items::kBitteAuswaehlen)
        return failure(v, 3, "keine Kategorie angegeben", "kategorie");

    if (neu) {
        if (ez.set)
            return failure(v, 4, "Neufahrzeug kann keine Erstzulassung besitzen", "ez");
        if (hu.set)
            return failure(v, 5, "Angabe der Hauptuntersuchung bei Neufahrzeugen unzulässig", "hu");
        if (au.set)
            return failure(v, 6, "Angabe der Abgasuntersuchung bei Neufahrzeugen unzulässig", "au");
        if (v.tuev_neu)
            return failure(v, 7, "Option \"HU & AU neu\" bei Neufahrzeugen unzulässig", "tuev_neu");
        if (v.export_)
            return failure(v, 8, "Neufahrzeug darf nicht nur für Export bestimmt sein", "export");
    } else {
        if (lieferfrist)
            return failure(v, 9, "Angabe der Lieferfrist ist nur bei Neuwagen zulässig", "lieferfrist");
        if (!isZero(v.overpass))
            return failure(v, 10, "Überführungskosten können nur bei Neuwagen angegeben werden", "overpass");
        if (requiredWhenUsed(kEz, v.klasse) && (isBlank(v.ez) || trimmed(v.ez) == "-"))
            return failure(v, 11, "Gebrauchtfahrzeug erfordert Angabe der Erstzulassung", "ez");
        if (requiredWhenUsed(kKilometer, v.klasse) && isBlank(v.kilometer))
            return failure(v, 12, "Gebrauchtfahrzeug erfordert Angabe der Laufleistung", "kilometer");
    }

    if (lieferdatum && lieferfrist)
        return failure(v, 13, "Lieferdatum und Lieferfrist können nicht miteinander kombiniert werden", "lieferdatum");

    bool anyBlank = false, anyGiven = false;
    for (const QByteArray* c : consumption)
        (isBlank(*c) ? anyBlank : anyGiven) = true;
    if (v.envkv && anyBlank)
        return failure(v, 14, "Ist EnVKV gesetzt, müssen alle Verbrauchs- und Emissionswerte angegeben werden",
                       "envkv");
    if (anyGiven && v.kraftstoff == kElektro)
        return failure(v, 15, "Ein Elektro-Fahrzeug kann keine Verbrauchs- und/oder Emissionswerte haben",
                       "kraftstoff");
    if (!v.innerorts.isEmpty() && !decimalInRange(v.innerorts, kInnerorts))
        return failure(v, 16, "Kraftstoffverbrauch innerorts ungültig", "innerorts");
    if (!v.ausserorts.isEmpty() && !decimalInRange(v.ausserorts, kAusserorts))
        return failure(v, 17, "Kraftstoffverbrauch ausserorts ungültig", "ausserorts");
    if (!v.kombiniert.isEmpty() && !decimalInRange(v.kombiniert, kKombiniert))
        return failure(v, 18, v.envkv ? "Kombinierter Kraftstoffverbrauch ungültig" : "Kraftstoffverbrauch ungültig",
                       "kombiniert");
    if (!v.co2.isEmpty() && !decimalInRange(v.co2, kCo2))
        return failure(v, 19, "CO2-Emissionen ungültig", "co2");

    if (!v.bj.isEmpty()) {
        const auto bj = hasBlank(v.bj) ? std::nullopt : toInteger(v.bj);
        if (!bj || *bj < 1901 || *bj > today.year())
            return failure(v, 20, "Baujahr ungültig", "bj");
    }
    if (ez.set && (!ez.valid || ez.mm < 1 || ez.mm > 12 || ez.yyyy < 1901 || ez.index() > todayIndex))
        return failure(v, 21, "Datum der Erstzulassung ungültig", "ez");
    if (v.typ == kJahreswagen && ezMonth && todayIndex - ez.index() >= 16)
        return failure(v, 22, "Jahreswagen kann EZ nicht vor mehr als 15 Monaten gehabt haben", "ez");
    if (v.typ == kOldtimer && ezMonth && todayIndex - ez.index() < 240)
        return failure(v, 23, "Erstzulassung eines Oldtimers muss min. 20 Jahre her sein", "ez");
    if (v.tuev_neu && (hu.set || au.set))
        return failure(v, 24, "Bei \"HU & AU neu\" dürfen weder HU noch AU angegeben werden", hu.set ? "hu" : "au");
    if (inspectionInvalid(hu))
        return failure(v, 25, "Datum der Hauptuntersuchung ungültig", "hu");
    if (hu.valid && ezMonth && hu.index() < ez.index())
        return failure(v, 26, "Hauptuntersuchung kann nicht vor Erstzulassung sein", "hu");
    if (inspectionInvalid(au))
        return failure(v, 27, "Datum der Abgasuntersuchung ungültig", "au");
    if (au.valid && ezMonth && au.index() < ez.index())
        return failure(v, 28, "Abgasuntersuchung kann nicht vor Erstzulassung sein", "au");
    if (lieferdatum && !isCalendarDate(v.lieferdatum))
        return failure(v, 29, "Lieferdatum ungültig", "lieferdatum");

    if (neu && !v.kilometer.isEmpty()) {
        const auto km = toInteger(v.kilometer);
        if (!km || *km > 500)
            return failure(v, 30, "Neufahrzeug darf max. 500 km Laufleistung haben", "kilometer");
    }
    if (!v.leistung.isEmpty()) {
        const auto kw = toInteger(v.leistung);
        if (!kw || *kw < 1)
            return failure(v, 31, "Leistung muss min. 1 kW/PS betragen", "leistung");
    }
    if (!v.farbe.isEmpty() && v.farbe != items::kKeineFarbangabe && !hasLatinLetter(v.farbe))
        return failure(v, 32, "Farbangabe ungültig", "farbe");

    if (isZero(v.preis))
        return failure(v, 33, "keinen Preis angegeben", "preis");
    if (v.preis < v.hpreis)
        return failure(v, 34, "Händlerpreis darf nicht höher als Verkaufspreis sein", "hpreis");
    if (v.bn && v.mwst == items::kMwstNichtAusweisbar)
        return failure(v, 35, "Nettopreis erfordert MwSt-Satz", "mwst");
    return std::nullopt;
}

std::optional<InventoryFailure> checkInternalNumbers(const model::Inventory& inv, int first, int last) {
    first = qMax(first, 0);
    last = qMin(last, int(inv.size()) - 1);
    auto report = [&](int i, const char* message) {
        return InventoryFailure{i, failure(inv.at(i), 0, message, "inr")};
    };
    for (int i = first; i <= last; ++i)
        if (inv.at(i).inr.isEmpty())
            return report(i, "keine interne Nummer angegeben");

    // A set, not a list: a list search per vehicle made a stock of 100 000 take minutes.
    QSet<QByteArray> seen;
    seen.reserve(qMax(0, last - first + 1));
    for (int i = first; i <= last; ++i) {
        const QByteArray key = lowerAscii(inv.at(i).inr);
        if (seen.contains(key))
            return report(i, "interne Nummer darf nicht mehrfach vorkommen");
        seen.insert(key);
    }
    return std::nullopt;
}

} // namespace tarmelo::csv
