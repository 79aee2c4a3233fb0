#include "csv/VehicleChecks.h"

#include "model/CommaNumber.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <QSet>

#include <climits>
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

// What the rules read of one vehicle, worked out once per vehicle.
struct Facts {
    const TFahrzeug& v;
    int year = 0;
    int todayIndex = 0;
    bool neu = false;
    Month ez, hu, au;
    bool lieferfrist = false;
    bool lieferdatum = false;
    bool anyBlank = false; // of the four consumption values
    bool anyGiven = false;
    // The order rules only make sense for a plausible first registration.
    bool ezMonth = false;

    Facts(const TFahrzeug& vehicle, QDate today) : v(vehicle) {
        year = today.year();
        todayIndex = today.year() * 12 + today.month();
        neu = v.typ == model::items::kNeuwagen;
        ez = readMonth(v.ez);
        hu = readMonth(v.hu);
        au = readMonth(v.au);
        lieferfrist = !v.lieferfrist.isEmpty() && v.lieferfrist != model::items::kKeineAngabe;
        lieferdatum = isDateSet(v.lieferdatum);
        for (const QByteArray* c : {&v.innerorts, &v.ausserorts, &v.kombiniert, &v.co2})
            (isBlank(*c) ? anyBlank : anyGiven) = true;
        ezMonth = ez.valid && ez.mm >= 1;
    }
};

const model::FieldSpec& fieldSpec(const char* name) {
    static const model::FieldSpec &kEz = spec("ez"), &kKilometer = spec("kilometer"), &kInnerorts = spec("innerorts"),
                                  &kAusserorts = spec("ausserorts"), &kKombiniert = spec("kombiniert"),
                                  &kCo2 = spec("co2");
    for (const model::FieldSpec* f : {&kEz, &kKilometer, &kInnerorts, &kAusserorts, &kKombiniert, &kCo2})
        if (qstrcmp(f->name, name) == 0)
            return *f;
    return spec(name);
}

bool consumptionInvalid(const QByteArray& s, const char* field) {
    return !s.isEmpty() && !decimalInRange(s, fieldSpec(field));
}

bool integerOutside(const QByteArray& s, qint64 low, qint64 high) {
    const auto n = toInteger(s);
    return !n || *n < low || *n > high;
}

// One marketplace rule. Most have a fixed message and field; the few that depend on the record say so.
struct Rule {
    int number;
    const char* message;
    const char* field;
    bool (*fails)(const Facts&);
    const char* (*messageOf)(const Facts&) = nullptr;
    const char* (*fieldOf)(const Facts&) = nullptr;
};

using F = const Facts&;

// The rules in their fixed order: the single check reports the first that fails, the stock report all.
const Rule kRules[] = {
    {1, "keine Marke angegeben", "marke",
     [](F f) { return f.v.marke.isEmpty() || f.v.marke == model::items::kBitteAuswaehlen; }},
    {2, "kein Modell angegeben", "modell", [](F f) { return f.v.modell.isEmpty(); }},
    {3, "keine Kategorie angegeben", "kategorie",
     [](F f) { return f.v.kategorie.isEmpty() || f.v.kategorie == model::items::kBitteAuswaehlen; }},
    {4, "Neufahrzeug kann keine Erstzulassung besitzen", "ez", [](F f) { return f.neu && f.ez.set; }},
    {5, "Angabe der Hauptuntersuchung bei Neufahrzeugen unzulässig", "hu", [](F f) { return f.neu && f.hu.set; }},
    {6, "Angabe der Abgasuntersuchung bei Neufahrzeugen unzulässig", "au", [](F f) { return f.neu && f.au.set; }},
    {7, "Option \"HU & AU neu\" bei Neufahrzeugen unzulässig", "tuev_neu",
     [](F f) { return f.neu && f.v.tuev_neu != 0; }},
    {8, "Neufahrzeug darf nicht nur für Export bestimmt sein", "export", [](F f) { return f.neu && f.v.export_ != 0; }},
    {9, "Angabe der Lieferfrist ist nur bei Neuwagen zulässig", "lieferfrist",
     [](F f) { return !f.neu && f.lieferfrist; }},
    {10, "Überführungskosten können nur bei Neuwagen angegeben werden", "overpass",
     [](F f) { return !f.neu && !isZero(f.v.overpass); }},
    {11, "Gebrauchtfahrzeug erfordert Angabe der Erstzulassung", "ez",
     [](F f) {
         return !f.neu && requiredWhenUsed(fieldSpec("ez"), f.v.klasse) && (isBlank(f.v.ez) || trimmed(f.v.ez) == "-");
     }},
    {12, "Gebrauchtfahrzeug erfordert Angabe der Laufleistung", "kilometer",
     [](F f) { return !f.neu && requiredWhenUsed(fieldSpec("kilometer"), f.v.klasse) && isBlank(f.v.kilometer); }},
    {13, "Lieferdatum und Lieferfrist können nicht miteinander kombiniert werden", "lieferdatum",
     [](F f) { return f.lieferdatum && f.lieferfrist; }},
    {14, "Ist EnVKV gesetzt, müssen alle Verbrauchs- und Emissionswerte angegeben werden", "envkv",
     [](F f) { return f.v.envkv && f.anyBlank; }},
    {15, "Ein Elektro-Fahrzeug kann keine Verbrauchs- und/oder Emissionswerte haben", "kraftstoff",
     [](F f) { return f.anyGiven && f.v.kraftstoff == kElektro; }},
    {16, "Kraftstoffverbrauch innerorts ungültig", "innerorts",
     [](F f) { return consumptionInvalid(f.v.innerorts, "innerorts"); }},
    {17, "Kraftstoffverbrauch ausserorts ungültig", "ausserorts",
     [](F f) { return consumptionInvalid(f.v.ausserorts, "ausserorts"); }},
    {18, nullptr, "kombiniert", [](F f) { return consumptionInvalid(f.v.kombiniert, "kombiniert"); },
     [](F f) { return f.v.envkv ? "Kombinierter Kraftstoffverbrauch ungültig" : "Kraftstoffverbrauch ungültig"; }},
    {19, "CO2-Emissionen ungültig", "co2", [](F f) { return consumptionInvalid(f.v.co2, "co2"); }},
    {20, "Baujahr ungültig", "bj",
     [](F f) { return !f.v.bj.isEmpty() && (hasBlank(f.v.bj) || integerOutside(f.v.bj, 1901, f.year)); }},
    {21, "Datum der Erstzulassung ungültig", "ez",
     [](F f) {
         return f.ez.set &&
                (!f.ez.valid || f.ez.mm < 1 || f.ez.mm > 12 || f.ez.yyyy < 1901 || f.ez.index() > f.todayIndex);
     }},
    {22, "Jahreswagen kann EZ nicht vor mehr als 15 Monaten gehabt haben", "ez",
     [](F f) { return f.v.typ == kJahreswagen && f.ezMonth && f.todayIndex - f.ez.index() >= 16; }},
    {23, "Erstzulassung eines Oldtimers muss min. 20 Jahre her sein", "ez",
     [](F f) { return f.v.typ == kOldtimer && f.ezMonth && f.todayIndex - f.ez.index() < 240; }},
    {24, "Bei \"HU & AU neu\" dürfen weder HU noch AU angegeben werden", nullptr,
     [](F f) { return f.v.tuev_neu && (f.hu.set || f.au.set); }, nullptr, [](F f) { return f.hu.set ? "hu" : "au"; }},
    {25, "Datum der Hauptuntersuchung ungültig", "hu", [](F f) { return inspectionInvalid(f.hu); }},
    {26, "Hauptuntersuchung kann nicht vor Erstzulassung sein", "hu",
     [](F f) { return f.hu.valid && f.ezMonth && f.hu.index() < f.ez.index(); }},
    {27, "Datum der Abgasuntersuchung ungültig", "au", [](F f) { return inspectionInvalid(f.au); }},
    {28, "Abgasuntersuchung kann nicht vor Erstzulassung sein", "au",
     [](F f) { return f.au.valid && f.ezMonth && f.au.index() < f.ez.index(); }},
    {29, "Lieferdatum ungültig", "lieferdatum", [](F f) { return f.lieferdatum && !isCalendarDate(f.v.lieferdatum); }},
    {30, "Neufahrzeug darf max. 500 km Laufleistung haben", "kilometer",
     [](F f) { return f.neu && !f.v.kilometer.isEmpty() && integerOutside(f.v.kilometer, LLONG_MIN, 500); }},
    {31, "Leistung muss min. 1 kW/PS betragen", "leistung",
     [](F f) { return !f.v.leistung.isEmpty() && integerOutside(f.v.leistung, 1, LLONG_MAX); }},
    {32, "Farbangabe ungültig", "farbe",
     [](F f) {
         return !f.v.farbe.isEmpty() && f.v.farbe != model::items::kKeineFarbangabe && !hasLatinLetter(f.v.farbe);
     }},
    {33, "keinen Preis angegeben", "preis", [](F f) { return isZero(f.v.preis); }},
    {34, "Händlerpreis darf nicht höher als Verkaufspreis sein", "hpreis", [](F f) { return f.v.preis < f.v.hpreis; }},
    {35, "Nettopreis erfordert MwSt-Satz", "mwst",
     [](F f) { return f.v.bn && f.v.mwst == model::items::kMwstNichtAusweisbar; }},
};

CheckFailure report(const Rule& r, const Facts& f) {
    return failure(f.v, r.number, r.messageOf ? r.messageOf(f) : r.message, r.fieldOf ? r.fieldOf(f) : r.field);
}

} // namespace

std::optional<CheckFailure> checkVehicle(const TFahrzeug& v, QDate today) {
    const Facts facts(v, today);
    for (const Rule& r : kRules)
        if (r.fails(facts))
            return report(r, facts);
    return std::nullopt;
}

QList<CheckFailure> allFailures(const TFahrzeug& v, QDate today) {
    const Facts facts(v, today);
    QList<CheckFailure> found;
    for (const Rule& r : kRules)
        if (r.fails(facts))
            found.append(report(r, facts));
    return found;
}

bool breaksRule(const TFahrzeug& v, QDate today) {
    const Facts facts(v, today);
    for (const Rule& r : kRules)
        if (r.fails(facts))
            return true;
    return false;
}

namespace {

const QByteArray kTageszulassung = QByteArrayLiteral("Tageszulassung");

// Transliteration of VIN letters for the check digit (I, O and Q never occur).
int vinValue(char c) {
    if (isDigit(c))
        return c - '0';
    static constexpr char kLetters[] = "ABCDEFGHJKLMNPRSTUVWXYZ";
    static constexpr int kValues[] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 7, 9, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int i = 0; kLetters[i]; ++i)
        if (kLetters[i] == c)
            return kValues[i];
    return -1;
}

char expectedCheckDigit(const QByteArray& vin) {
    static constexpr int kWeights[17] = {8, 7, 6, 5, 4, 3, 2, 10, 0, 9, 8, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += vinValue(vin[i]) * kWeights[i];
    const int r = sum % 11;
    return r == 10 ? 'X' : char('0' + r);
}

QString monthText(const QByteArray& s) {
    return QString::fromLatin1(s);
}

} // namespace

QByteArray inrKey(const QByteArray& inr) {
    return lowerAscii(inr);
}

QByteArray vinKey(const QByteArray& vin) {
    QByteArray r(trimmed(vin).toByteArray());
    for (char& c : r)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return r;
}

const char* warningCode(Warning w) {
    switch (w) {
    case Warning::NoPhoto:
        return "keine-bilder";
    case Warning::FewPhotos:
        return "wenige-bilder";
    case Warning::LowPrice:
        return "niedriger-preis";
    case Warning::RegisteredAfterDelivery:
        return "ez-nach-lieferdatum";
    case Warning::NoMileage:
        return "laufleistung-null";
    case Warning::SameVin:
        return "gleiche-fin";
    case Warning::SameInr:
        return "gleiche-interne-nummer";
    case Warning::VinMalformed:
        return "fin-ungueltig";
    case Warning::VinCheckDigit:
        return "fin-pruefziffer";
    case Warning::HuExpired:
        return "hu-abgelaufen";
    }
    return "";
}

std::optional<Warning> vinProblem(const QByteArray& vin) {
    const QByteArray v = vinKey(vin);
    if (v.isEmpty())
        return std::nullopt;
    if (v.size() != 17)
        return Warning::VinMalformed;
    for (char c : v)
        if (vinValue(c) < 0)
            return Warning::VinMalformed;
    // The check digit is binding only for North American makers (world maker code starting 1 to 5); elsewhere
    // position 9 is often an ordinary character, and judging it would warn about correct numbers.
    if (v[0] >= '1' && v[0] <= '5' && v[8] != expectedCheckDigit(v))
        return Warning::VinCheckDigit;
    return std::nullopt;
}

VehicleWarning makeWarning(const TFahrzeug& v, Warning kind, const QString& message, const char* field) {
    CheckFailure f = failure(v, 0, "", field);
    f.message = message;
    return {kind, f};
}

namespace {

// Calls found(kind, message, field) for every warning of the vehicle; stops early when found returns false.
template <class Found> void scanWarnings(const TFahrzeug& v, QDate today, Found found) {
    const int photos = model::countPhotos(v);
    if (photos == 0 && !found(
                           Warning::NoPhoto, [] { return QStringLiteral("Kein Foto vorhanden"); }, "bilder"))
        return;
    if (photos > 0 && photos < 3 &&
        !found(
            Warning::FewPhotos,
            [&] {
                return photos == 1 ? QStringLiteral("Nur 1 Foto vorhanden (empfohlen sind mindestens 3)")
                                   : QStringLiteral("Nur %1 Fotos vorhanden (empfohlen sind mindestens 3)").arg(photos);
            },
            "bilder"))
        return;
    // A price of zero is already a broken rule.
    if (!isZero(v.preis) && v.preis < 100 &&
        !found(
            Warning::LowPrice,
            [&] {
                const QString unit = v.waehr.isEmpty() ? QStringLiteral("EUR") : model::fromCp1252(v.waehr);
                return QStringLiteral("Preis unter 100 %1 – bitte prüfen").arg(unit);
            },
            "preis"))
        return;

    const Month ez = readMonth(v.ez), hu = readMonth(v.hu);
    const bool ezOk = ez.valid && ez.mm >= 1 && ez.mm <= 12;
    if (ezOk && isDateSet(v.lieferdatum) && isCalendarDate(v.lieferdatum)) {
        const int deliveryIndex = number(v.lieferdatum, 6, 4) * 12 + number(v.lieferdatum, 3, 2);
        if (ez.index() > deliveryIndex &&
            !found(
                Warning::RegisteredAfterDelivery,
                [&] {
                    return QStringLiteral("Erstzulassung (%1) liegt nach dem Lieferdatum (%2)")
                        .arg(monthText(v.ez), monthText(v.lieferdatum));
                },
                "ez"))
            return;
    }
    // A day registration may well have no kilometres yet.
    const bool used = v.typ != model::items::kNeuwagen && v.typ != kTageszulassung;
    if (used && requiredWhenUsed(fieldSpec("kilometer"), v.klasse)) {
        const auto km = toInteger(trimmed(v.kilometer).toByteArray());
        if (km && *km == 0 &&
            !found(
                Warning::NoMileage, [] { return QStringLiteral("Laufleistung 0 km bei einem Gebrauchtfahrzeug"); },
                "kilometer"))
            return;
    }
    if (const auto problem = vinProblem(v.vin)) {
        const QByteArray vin = vinKey(v.vin);
        auto text = [&] {
            if (*problem == Warning::VinCheckDigit)
                return QStringLiteral("Prüfziffer der Fahrgestellnummer (9. Stelle) stimmt nicht, erwartet: %1")
                    .arg(QLatin1Char(expectedCheckDigit(vin)));
            if (vin.size() != 17)
                return QStringLiteral("Fahrgestellnummer hat %1 statt 17 Zeichen").arg(vin.size());
            return QStringLiteral("Fahrgestellnummer enthält unzulässige Zeichen (erlaubt sind A bis Z ohne I, O, Q "
                                  "sowie 0 bis 9)");
        };
        if (!found(*problem, text, "vin"))
            return;
    }
    const int todayIndex = today.year() * 12 + today.month();
    if (hu.valid && hu.mm >= 1 && hu.mm <= 12 && hu.index() < todayIndex)
        found(
            Warning::HuExpired, [&] { return QStringLiteral("HU-Termin %1 ist abgelaufen").arg(monthText(v.hu)); },
            "hu");
}

} // namespace

QList<VehicleWarning> vehicleWarnings(const TFahrzeug& v, QDate today) {
    QList<VehicleWarning> found;
    scanWarnings(v, today, [&](Warning kind, auto text, const char* field) {
        found.append(makeWarning(v, kind, text(), field));
        return true;
    });
    return found;
}

bool hasVehicleWarning(const TFahrzeug& v, QDate today) {
    bool any = false;
    scanWarnings(v, today, [&](Warning, auto, const char*) {
        any = true;
        return false;
    });
    return any;
}

CheckFailure internalNumberFailure(const TFahrzeug& v, bool repeated) {
    return failure(v, 0, repeated ? "interne Nummer darf nicht mehrfach vorkommen" : "keine interne Nummer angegeben",
                   "inr");
}

std::optional<InventoryFailure> checkInternalNumbers(const model::Inventory& inv, int first, int last) {
    first = qMax(first, 0);
    last = qMin(last, int(inv.size()) - 1);
    auto report = [&](int i, bool repeated) { return InventoryFailure{i, internalNumberFailure(inv.at(i), repeated)}; };
    for (int i = first; i <= last; ++i)
        if (inv.at(i).inr.isEmpty())
            return report(i, false);

    // A set, not a list: a list search per vehicle made a stock of 100 000 take minutes.
    QSet<QByteArray> seen;
    seen.reserve(qMax(0, last - first + 1));
    for (int i = first; i <= last; ++i) {
        const QByteArray key = lowerAscii(inv.at(i).inr);
        if (seen.contains(key))
            return report(i, true);
        seen.insert(key);
    }
    return std::nullopt;
}

} // namespace tarmelo::csv
