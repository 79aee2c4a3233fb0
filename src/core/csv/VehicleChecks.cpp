#include "csv/VehicleChecks.h"

#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <cmath>

namespace tarmelo::csv {

namespace {

using model::TFahrzeug;

// Where a failure is shown: general page, equipment page with the tab left alone, or a tab of it.
enum class Where { G, E, E1, E2 };

const QByteArray kJahreswagen = QByteArrayLiteral("Jahreswagen");
const QByteArray kOldtimer = QByteArrayLiteral("Oldtimer");
const QByteArray kElektro = QByteArrayLiteral("Elektro");

CheckFailure failure(const TFahrzeug& v, int check, const char* message, const char* field, Where where) {
    CheckFailure f;
    f.check = check;
    f.message = QString::fromUtf8(message);
    f.field = QString::fromLatin1(field);
    f.control = model::controlName(f.field, v.klasse);
    if (where == Where::G)
        return f;
    f.page = model::Page::Equipment;
    // Only the classes whose equipment page has tabs can select one.
    if (where != Where::E && model::classLayout(v.klasse).hasTabs())
        f.tab = where == Where::E1 ? model::Tab::Seite1 : model::Tab::Seite2;
    return f;
}

bool hasBlank(const QByteArray& s) {
    return s.contains(' ');
}

// Empty after removing leading and trailing spaces and control characters.
QByteArray trimmed(const QByteArray& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && quint8(s[b]) <= 0x20)
        ++b;
    while (e > b && quint8(s[e - 1]) <= 0x20)
        --e;
    return s.mid(b, e - b);
}

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

// A decimal with a decimal comma, rounded half away from zero to hundredths. Done on the digits
// rather than on a double so that 0,995 rounds up as typed.
std::optional<qint64> toHundredths(const QByteArray& s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    qint64 whole = 0;
    int wholeDigits = 0, fracDigits = 0, frac = 0;
    bool roundUp = false, comma = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ',' && !comma) {
            comma = true;
        } else if (!isDigit(c)) {
            return std::nullopt;
        } else if (!comma) {
            if (++wholeDigits > 15)
                return std::nullopt;
            whole = whole * 10 + (c - '0');
        } else {
            ++fracDigits;
            if (fracDigits <= 2)
                frac = frac * 10 + (c - '0');
            if (fracDigits == 3)
                roundUp = c >= '5';
        }
    }
    if (wholeDigits + fracDigits == 0)
        return std::nullopt;
    if (fracDigits == 1)
        frac *= 10;
    const qint64 n = whole * 100 + frac + (roundUp ? 1 : 0);
    return negative ? -n : n;
}

// A consumption value in range when rounded: from lo (inclusive) to hi (exclusive).
bool decimalInRange(const QByteArray& s, qint64 lo, qint64 hi) {
    const auto h = toHundredths(s);
    return h && *h >= lo * 100 && *h < hi * 100;
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
    m.mm = s.left(2).toInt();
    m.yyyy = s.mid(3, 4).toInt();
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
    const int d = s.left(2).toInt(), m = s.mid(3, 2).toInt(), y = s.mid(6, 4).toInt();
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

// Classes whose pages require the first registration and the mileage of a used vehicle.
bool needsEz(int klasse) {
    return (klasse >= 1 && klasse <= 8) || klasse == 10;
}
bool needsKilometer(int klasse) {
    return (klasse >= 1 && klasse <= 6) || klasse == 10;
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
    const int todayIndex = today.year() * 12 + today.month();
    const bool neu = v.typ == items::kNeuwagen;
    const Month ez = readMonth(v.ez), hu = readMonth(v.hu), au = readMonth(v.au);
    const bool lieferfrist = !v.lieferfrist.isEmpty() && v.lieferfrist != items::kKeineAngabe;
    const bool lieferdatum = isDateSet(v.lieferdatum);
    const QByteArray* consumption[] = {&v.innerorts, &v.ausserorts, &v.kombiniert, &v.co2};
    // The order rules below only make sense for a plausible first registration.
    const bool ezMonth = ez.valid && ez.mm >= 1;

    if (v.marke.isEmpty() || v.marke == items::kBitteAuswaehlen)
        return failure(v, 1, "keine Marke angegeben", "marke", Where::G);
    if (v.modell.isEmpty())
        return failure(v, 2, "kein Modell angegeben", "modell", Where::G);
    if (v.kategorie.isEmpty() || v.kategorie == items::kBitteAuswaehlen)
        return failure(v, 3, "keine Kategorie angegeben", "kategorie", Where::G);

    if (neu) {
        if (ez.set)
            return failure(v, 4, "Neufahrzeug kann keine Erstzulassung besitzen", "ez", Where::G);
        if (hu.set)
            return failure(v, 5, "Angabe der Hauptuntersuchung bei Neufahrzeugen unzulässig", "hu", Where::G);
        if (au.set)
            return failure(v, 6, "Angabe der Abgasuntersuchung bei Neufahrzeugen unzulässig", "au", Where::G);
        if (v.tuev_neu)
            return failure(v, 7, "Option \"HU & AU neu\" bei Neufahrzeugen unzulässig", "tuev_neu", Where::E1);
        if (v.export_)
            return failure(v, 8, "Neufahrzeug darf nicht nur für Export bestimmt sein", "export", Where::E1);
    } else {
        if (lieferfrist)
            return failure(v, 9, "Angabe der Lieferfrist ist nur bei Neuwagen zulässig", "lieferfrist", Where::E2);
        if (!isZero(v.overpass))
            return failure(v, 10, "Überführungskosten können nur bei Neuwagen angegeben werden", "overpass", Where::E2);
        if (needsEz(v.klasse) && (isBlank(v.ez) || trimmed(v.ez) == "-"))
            return failure(v, 11, "Gebrauchtfahrzeug erfordert Angabe der Erstzulassung", "ez", Where::G);
        if (needsKilometer(v.klasse) && isBlank(v.kilometer))
            return failure(v, 12, "Gebrauchtfahrzeug erfordert Angabe der Laufleistung", "kilometer", Where::G);
    }

    if (lieferdatum && lieferfrist)
        return failure(v, 13, "Lieferdatum und Lieferfrist können nicht miteinander kombiniert werden", "lieferdatum",
                       Where::E2);

    bool anyBlank = false, anyGiven = false;
    for (const QByteArray* c : consumption)
        (isBlank(*c) ? anyBlank : anyGiven) = true;
    if (v.envkv && anyBlank)
        return failure(v, 14, "Ist EnVKV gesetzt, müssen alle Verbrauchs- und Emissionswerte angegeben werden", "envkv",
                       Where::E);
    if (anyGiven && v.kraftstoff == kElektro)
        return failure(v, 15, "Ein Elektro-Fahrzeug kann keine Verbrauchs- und/oder Emissionswerte haben", "kraftstoff",
                       Where::G);
    if (!v.innerorts.isEmpty() && !decimalInRange(v.innerorts, 1, 100))
        return failure(v, 16, "Kraftstoffverbrauch innerorts ungültig", "innerorts", Where::E);
    if (!v.ausserorts.isEmpty() && !decimalInRange(v.ausserorts, 1, 100))
        return failure(v, 17, "Kraftstoffverbrauch ausserorts ungültig", "ausserorts", Where::E);
    if (!v.kombiniert.isEmpty() && !decimalInRange(v.kombiniert, 1, 100))
        return failure(v, 18, v.envkv ? "Kombinierter Kraftstoffverbrauch ungültig" : "Kraftstoffverbrauch ungültig",
                       "kombiniert", Where::E);
    if (!v.co2.isEmpty() && !decimalInRange(v.co2, 1, 1000))
        return failure(v, 19, "CO2-Emissionen ungültig", "co2", Where::E);

    if (!v.bj.isEmpty()) {
        const auto bj = hasBlank(v.bj) ? std::nullopt : toInteger(v.bj);
        if (!bj || *bj < 1901 || *bj > today.year())
            // Class 3 keeps the year of manufacture on its second equipment tab.
            return failure(v, 20, "Baujahr ungültig", "bj", v.klasse == 3 ? Where::E2 : Where::G);
    }
    if (ez.set && (!ez.valid || ez.mm < 1 || ez.mm > 12 || ez.yyyy < 1901 || ez.index() > todayIndex))
        return failure(v, 21, "Datum der Erstzulassung ungültig", "ez", Where::G);
    if (v.typ == kJahreswagen && ezMonth && todayIndex - ez.index() >= 16)
        return failure(v, 22, "Jahreswagen kann EZ nicht vor mehr als 15 Monaten gehabt haben", "ez", Where::G);
    if (v.typ == kOldtimer && ezMonth && todayIndex - ez.index() < 240)
        return failure(v, 23, "Erstzulassung eines Oldtimers muss min. 20 Jahre her sein", "ez", Where::G);
    if (v.tuev_neu && (hu.set || au.set))
        return failure(v, 24, "Bei \"HU & AU neu\" dürfen weder HU noch AU angegeben werden", hu.set ? "hu" : "au",
                       Where::G);
    if (inspectionInvalid(hu))
        return failure(v, 25, "Datum der Hauptuntersuchung ungültig", "hu", Where::G);
    if (hu.valid && ezMonth && hu.index() < ez.index())
        return failure(v, 26, "Hauptuntersuchung kann nicht vor Erstzulassung sein", "hu", Where::G);
    if (inspectionInvalid(au))
        return failure(v, 27, "Datum der Abgasuntersuchung ungültig", "au", Where::G);
    if (au.valid && ezMonth && au.index() < ez.index())
        return failure(v, 28, "Abgasuntersuchung kann nicht vor Erstzulassung sein", "au", Where::G);
    if (lieferdatum && !isCalendarDate(v.lieferdatum))
        return failure(v, 29, "Lieferdatum ungültig", "lieferdatum", Where::E2);

    if (neu && !v.kilometer.isEmpty()) {
        const auto km = toInteger(v.kilometer);
        if (!km || *km > 500)
            return failure(v, 30, "Neufahrzeug darf max. 500 km Laufleistung haben", "kilometer", Where::G);
    }
    if (!v.leistung.isEmpty()) {
        const auto kw = toInteger(v.leistung);
        if (!kw || *kw < 1)
            return failure(v, 31, "Leistung muss min. 1 kW/PS betragen", "leistung", Where::G);
    }
    if (!v.farbe.isEmpty() && v.farbe != items::kKeineFarbangabe && !hasLatinLetter(v.farbe))
        return failure(v, 32, "Farbangabe ungültig", "farbe", Where::G);

    if (isZero(v.preis))
        return failure(v, 33, "keinen Preis angegeben", "preis", Where::G);
    if (v.preis < v.hpreis)
        return failure(v, 34, "Händlerpreis darf nicht höher als Verkaufspreis sein", "hpreis", Where::G);
    if (v.bn && v.mwst == items::kMwstNichtAusweisbar)
        return failure(v, 35, "Nettopreis erfordert MwSt-Satz", "mwst", Where::G);
    return std::nullopt;
}

std::optional<InventoryFailure> checkInternalNumbers(const model::Inventory& inv, int first, int last) {
    first = qMax(first, 0);
    last = qMin(last, int(inv.size()) - 1);
    auto report = [&](int i, const char* message) {
        return InventoryFailure{i, failure(inv.at(i), 0, message, "inr", Where::G)};
    };
    for (int i = first; i <= last; ++i)
        if (inv.at(i).inr.isEmpty())
            return report(i, "keine interne Nummer angegeben");

    QList<QByteArray> seen;
    for (int i = first; i <= last; ++i) {
        const QByteArray key = lowerAscii(inv.at(i).inr);
        if (seen.contains(key))
            return report(i, "interne Nummer darf nicht mehrfach vorkommen");
        seen.append(key);
    }
    return std::nullopt;
}

} // namespace tarmelo::csv
