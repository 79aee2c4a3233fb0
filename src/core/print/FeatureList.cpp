#include "print/FeatureList.h"

#include "model/Cp1252.h"

#include <cmath>
#include <initializer_list>
#include <optional>

namespace tarmelo::print {

using model::TFahrzeug;

QByteArray trimmedText(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && quint8(text[begin]) <= 0x20)
        ++begin;
    while (end > begin && quint8(text[end - 1]) <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

namespace {

enum class Kind {
    Ez,
    Hu,
    Au,
    Mileage,
    Power,
    Fuel,
    Colour,
    Gearbox,
    Climate,
    Emission,
    Badge,
    Doors,
    Drive,
    Displacement,
    Hydraulics,
    WheelFormula,
    CabA,
    CabB,
    Measure,
    Flag,
    Consumption,
};

using TextField = QByteArray TFahrzeug::*;
using FlagField = quint8 TFahrzeug::*;

struct Phrase {
    Kind kind;
    const char* text = nullptr;   // label of a measure, text of a flag (UTF-8)
    TextField field = nullptr;    // measure
    FlagField flag = nullptr;     // flag
    const char* suffix = nullptr; // measure
};

constexpr Phrase P(Kind k) {
    return {k};
}
constexpr Phrase F(const char* text, FlagField f) {
    return {Kind::Flag, text, nullptr, f};
}
constexpr Phrase M(const char* label, TextField f, const char* suffix = nullptr) {
    return {Kind::Measure, label, f, nullptr, suffix};
}

using K = Kind;
using T = TFahrzeug;

// The phrases of each class in their printed order, after the vehicle type.
const std::initializer_list<Phrase> kClass1 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               F("E10-geeignet", &T::e10),
                                               P(K::Doors),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("Anhängerkupplung", &T::anhaenger),
                                               F("behindertengerecht", &T::behindertengerecht),
                                               F("Einparkhilfe", &T::einparkhilfe),
                                               F("el. Fensterheber", &T::fh),
                                               F("el. Wegfahrsperre", &T::wfs),
                                               F("Exportfahrzeug", &T::export_),
                                               F("Garantie", &T::garantie),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Lederausstattung", &T::leder),
                                               F("Leichtmetallfelgen", &T::alufelgen),
                                               F("Navigationssystem", &T::navi),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Schiebedach", &T::sd),
                                               F("Servolenkung", &T::servo),
                                               F("Sitzheizung", &T::sitzheizung),
                                               F("Stabilitätskontrolle", &T::esp),
                                               F("Standheizung", &T::sh),
                                               F("Taxi", &T::taxi),
                                               F("Tempomat", &T::tempomat),
                                               F("Xenonscheinwerfer", &T::xenon),
                                               F("Zentralverriegelung", &T::zv),
                                               M("Sitzplätze: ", &T::sp),
                                               P(K::Gearbox),
                                               P(K::Climate),
                                               P(K::Emission),
                                               P(K::Badge),
                                               P(K::Consumption)};

const std::initializer_list<Phrase> kClass2 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               P(K::Displacement),
                                               P(K::Drive),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Behinderten-Umbau", &T::behindertengerecht),
                                               F("E-Starter", &T::estarter),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Katalysator", &T::kat),
                                               F("Kickstarter", &T::kickstarter),
                                               F("Koffer", &T::koffer),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Scheibe", &T::scheibe),
                                               F("Sturzbügel", &T::sturzbuegel),
                                               P(K::Gearbox)};

const std::initializer_list<Phrase> kClass3 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("Anhängerkupplung", &T::anhaenger),
                                               F("behindertengerecht", &T::behindertengerecht),
                                               F("Einparkhilfe", &T::einparkhilfe),
                                               F("Etagenbett", &T::etagenbett),
                                               F("Festbett", &T::festbett),
                                               F("Garantie", &T::garantie),
                                               F("Hagelschaden", &T::hagelschaden),
                                               F("Heckgarage", &T::heckgarage),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Markise", &T::markise),
                                               F("Mittelsitzgruppe", &T::mittelsitzgruppe),
                                               F("Navigationssystem", &T::navi),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("Rundsitzgruppe", &T::rundsitzgruppe),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Seitensitzgruppe", &T::seitensitzgruppe),
                                               F("Separate Dusche", &T::dusche),
                                               F("Servolenkung", &T::servo),
                                               F("Sitzheizung", &T::sitzheizung),
                                               F("Solaranlage", &T::solar),
                                               F("Standheizung", &T::sh),
                                               F("Standklima", &T::standklima),
                                               F("Tempomat", &T::tempomat),
                                               F("TV", &T::tv),
                                               F("Vermietung möglich", &T::vermietung),
                                               F("WC", &T::wc),
                                               F("Zentralverriegelung", &T::zv),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               M("Achsen: ", &T::achsen),
                                               P(K::Gearbox),
                                               P(K::Climate),
                                               P(K::Emission),
                                               P(K::Badge),
                                               M("Sitzplätze: ", &T::sp),
                                               M("Schlafplätze: ", &T::schlafplaetze),
                                               M("Baujahr: ", &T::bj),
                                               M("Länge: ", &T::laenge, " mm"),
                                               M("Breite: ", &T::breite, " mm"),
                                               M("Höhe: ", &T::hoehe, " mm")};

const std::initializer_list<Phrase> kClass4 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("Anhängerkupplung", &T::anhaenger),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Kommunalfahrzeug", &T::kommunal),
                                               F("Kran", &T::kran),
                                               F("Ladebordwand", &T::lbw),
                                               F("Navigationssystem", &T::navi),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Schiebetür", &T::st),
                                               F("Servolenkung", &T::servo),
                                               F("Stabilitätskontrolle", &T::esp),
                                               F("Standheizung", &T::sh),
                                               F("Tempomat", &T::tempomat),
                                               F("Trennwand", &T::tw),
                                               F("Vermietung möglich", &T::vermietung),
                                               F("Zentralverriegelung", &T::zv),
                                               M("Breite: ", &T::breite, " mm"),
                                               M("Höhe: ", &T::hoehe, " mm"),
                                               M("Laderaumlänge: ", &T::lr_laenge, " mm"),
                                               M("Laderaumbreite: ", &T::lr_breite, " mm"),
                                               M("Laderaumhöhe: ", &T::lr_hoehe, " mm"),
                                               P(K::CabA),
                                               P(K::Gearbox),
                                               P(K::Climate),
                                               P(K::Emission),
                                               P(K::Badge),
                                               M("Sitzplätze: ", &T::sp),
                                               M("Europalettenstellplätze: ", &T::paletten),
                                               M("Ladevolumen: ", &T::ladevolumen, " m³")};

const std::initializer_list<Phrase> kClass5 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("Anhängerkupplung", &T::anhaenger),
                                               F("EBS", &T::ebs),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Kommunalfahrzeug", &T::kommunal),
                                               F("Kompressor", &T::kompressor),
                                               F("Kran", &T::kran),
                                               F("Ladebordwand", &T::lbw),
                                               F("Navigationssystem", &T::navi),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("Retarder/Intarder", &T::ret_int),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Stabilitätskontrolle", &T::esp),
                                               F("Standheizung", &T::sh),
                                               F("Standklima", &T::standklima),
                                               F("Tempomat", &T::tempomat),
                                               F("Vermietung möglich", &T::vermietung),
                                               M("Laderaumlänge: ", &T::lr_laenge, " mm"),
                                               M("Laderaumbreite: ", &T::lr_breite, " mm"),
                                               M("Laderaumhöhe: ", &T::lr_hoehe, " mm"),
                                               M("Ladevolumen: ", &T::ladevolumen, " m³"),
                                               P(K::Hydraulics),
                                               P(K::WheelFormula),
                                               P(K::Gearbox),
                                               P(K::Climate),
                                               P(K::Emission),
                                               P(K::Badge),
                                               M("Achsen: ", &T::achsen),
                                               M("Breite: ", &T::breite, " mm"),
                                               M("Höhe: ", &T::hoehe, " mm"),
                                               P(K::CabB),
                                               M("Europalettenstellplätze: ", &T::paletten)};

const std::initializer_list<Phrase> kClass6 = {P(K::Ez),
                                               P(K::Hu),
                                               P(K::Au),
                                               P(K::Mileage),
                                               P(K::Power),
                                               P(K::Fuel),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               P(K::Colour),
                                               F("Metallic-Lackierung", &T::metallic),
                                               F("Unfallschaden", &T::unf),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("EBS", &T::ebs),
                                               F("HU & AU neu", &T::tuev_neu),
                                               F("Kompressor", &T::kompressor),
                                               F("Leichtmetallfelgen", &T::alufelgen),
                                               F("Navigationssystem", &T::navi),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("Retarder/Intarder", &T::ret_int),
                                               F("scheckheftgepflegt", &T::scheckheft),
                                               F("Super-Single-Bereifung", &T::ss_bereifung),
                                               F("Stabilitätskontrolle", &T::esp),
                                               F("Standheizung", &T::sh),
                                               F("Standklima", &T::standklima),
                                               F("Tempomat", &T::tempomat),
                                               F("Vermietung möglich", &T::vermietung),
                                               F("Vollverkleidung", &T::vv),
                                               P(K::Gearbox),
                                               P(K::Climate),
                                               P(K::Emission),
                                               P(K::Badge),
                                               P(K::CabB),
                                               M("Achsen: ", &T::achsen),
                                               P(K::Hydraulics),
                                               P(K::WheelFormula)};

const std::initializer_list<Phrase> kClass7 = {P(K::Ez),
                                               P(K::Hu),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               M("Achsen: ", &T::achsen),
                                               M("Nutzlast: ", &T::nutzlast, " kg"),
                                               F("ABS", &T::abs),
                                               F("EBS", &T::ebs),
                                               F("HU neu", &T::tuev_neu),
                                               F("Kran", &T::kran),
                                               F("Ladebordwand", &T::lbw),
                                               F("Luftfederung", &T::lf),
                                               F("Scheibenbremse", &T::sb),
                                               F("Vermietung möglich", &T::vermietung),
                                               M("Breite: ", &T::breite, " mm"),
                                               M("Höhe: ", &T::hoehe, " mm"),
                                               M("Laderaumlänge: ", &T::lr_laenge, " mm"),
                                               M("Laderaumbreite: ", &T::lr_breite, " mm"),
                                               M("Laderaumhöhe: ", &T::lr_hoehe, " mm"),
                                               M("Europalettenstellplätze: ", &T::paletten),
                                               M("Ladevolumen: ", &T::ladevolumen, " m³")};

const std::initializer_list<Phrase> kClass8 = {P(K::Ez),
                                               P(K::Hu),
                                               M("zulässiges Gesamtgewicht: ", &T::zgg, " kg"),
                                               M("Achsen: ", &T::achsen),
                                               M("Nutzlast: ", &T::nutzlast, " kg"),
                                               F("ABS", &T::abs),
                                               F("EBS", &T::ebs),
                                               F("HU neu", &T::tuev_neu),
                                               F("Luftfederung", &T::lf),
                                               F("Scheibenbremse", &T::sb),
                                               F("Vermietung möglich", &T::vermietung),
                                               P(K::Climate),
                                               M("Breite: ", &T::breite, " mm"),
                                               M("Höhe: ", &T::hoehe, " mm"),
                                               M("Laderaumlänge: ", &T::lr_laenge, " mm"),
                                               M("Laderaumbreite: ", &T::lr_breite, " mm"),
                                               M("Laderaumhöhe: ", &T::lr_hoehe, " mm"),
                                               M("Europalettenstellplätze: ", &T::paletten),
                                               M("Ladevolumen: ", &T::ladevolumen, " m³")};

const std::initializer_list<Phrase> kClass9 = {M("Baujahr: ", &T::bj),
                                               M("Betriebsstunden: ", &T::betrieb),
                                               P(K::Badge),
                                               F("ABS", &T::abs),
                                               F("Allradantrieb", &T::allrad),
                                               F("BSS", &T::bss),
                                               F("Partikelfilter", &T::partikelfilter),
                                               F("Schnellwechseleinrichtung", &T::swe),
                                               F("Straßenzulassung", &T::strasse),
                                               F("Vermietung möglich", &T::vermietung),
                                               F("ZSA", &T::zsa)};

const std::initializer_list<Phrase> kClass10 = {P(K::Ez),
                                                P(K::Hu),
                                                P(K::Au),
                                                P(K::Mileage),
                                                P(K::Power),
                                                P(K::Fuel),
                                                M("Sitzplätze: ", &T::sp),
                                                P(K::Colour),
                                                F("Metallic-Lackierung", &T::metallic),
                                                F("Unfallschaden", &T::unf),
                                                F("ABS", &T::abs),
                                                F("Anhängerkupplung", &T::anhaenger),
                                                F("Fahrerschlafplatz", &T::fs),
                                                F("HU & AU neu", &T::tuev_neu),
                                                F("Küche", &T::kueche),
                                                F("Kühlbox", &T::kb),
                                                F("Navigationssystem", &T::navi),
                                                F("Partikelfilter", &T::partikelfilter),
                                                F("Retarder/Intarder", &T::ret_int),
                                                F("scheckheftgepflegt", &T::scheckheft),
                                                F("Schlafsitze", &T::ss),
                                                F("Stabilitätskontrolle", &T::esp),
                                                F("Standheizung", &T::sh),
                                                F("Standklimaanlage", &T::standklima),
                                                F("Tempomat", &T::tempomat),
                                                F("TV", &T::tv),
                                                F("Vermietung möglich", &T::vermietung),
                                                F("WC", &T::wc),
                                                P(K::Gearbox),
                                                P(K::Climate),
                                                P(K::Emission),
                                                P(K::Badge)};

const std::initializer_list<Phrase> kClass11 = {M("Baujahr: ", &T::bj),
                                                P(K::Hu),
                                                M("Betriebsstunden: ", &T::betrieb),
                                                P(K::Power),
                                                P(K::Badge),
                                                F("ABS", &T::abs),
                                                F("Allradantrieb", &T::allrad),
                                                F("Frontheber", &T::frontheber),
                                                F("Fronthydraulik", &T::fronthydraulik),
                                                F("HU neu", &T::tuev_neu),
                                                F("Kabine", &T::kabine),
                                                F("Kommunalfahrzeug", &T::kommunal),
                                                F("Servolenkung", &T::servo),
                                                F("Standheizung", &T::sh),
                                                F("Standklima", &T::standklima),
                                                F("Vermietung möglich", &T::vermietung),
                                                P(K::Climate)};

const std::initializer_list<Phrase> kClass12 = {M("Baujahr: ", &T::bj),
                                                M("Betriebsstunden: ", &T::betrieb),
                                                P(K::Fuel),
                                                M("Bauhöhe: ", &T::bh, " mm"),
                                                M("Hubhöhe: ", &T::hh, " mm"),
                                                M("Tragkraft: ", &T::tk, " kg"),
                                                P(K::Gearbox),
                                                F("Anhängerkupplung", &T::anhaenger),
                                                F("Kabine", &T::kabine),
                                                F("Schutzdach", &T::schutzdach),
                                                F("Servolenkung", &T::servo),
                                                F("Vermietung möglich", &T::vermietung)};

const std::initializer_list<Phrase>* const kClasses[model::kClassCount] = {&kClass1, &kClass2,  &kClass3,  &kClass4,
                                                                           &kClass5, &kClass6,  &kClass7,  &kClass8,
                                                                           &kClass9, &kClass10, &kClass11, &kClass12};

QString text(const QByteArray& bytes) {
    return model::fromCp1252(bytes);
}

bool isEmpty(const QByteArray& field) {
    return trimmedText(field).isEmpty();
}

// Decimal digits with an optional sign, blanks around them allowed; nothing else is a whole number here.
std::optional<qint64> wholeNumber(const QByteArray& field) {
    bool ok = false;
    const QByteArray t = trimmedText(field);
    const qint64 n = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

QString wholeText(double value, const QLocale& locale) {
    return locale.toString(std::round(value), 'f', 0);
}

// Rounds as the marketplace program always has: an exact half to the even neighbour.
qint64 roundEven(double value) {
    return qint64(std::nearbyint(value));
}

class Composer {
public:
    Composer(const TFahrzeug& v, const QLocale& locale) : v_(v), locale_(locale) {}

    FeatureList run() {
        if (!v_.typ.isEmpty() && v_.typ != QByteArrayLiteral("Gebrauchtwagen"))
            add(text(v_.typ));
        if (v_.klasse >= 1 && v_.klasse <= model::kClassCount) {
            for (const Phrase& p : *kClasses[v_.klasse - 1]) {
                phrase(p);
                if (!failed_.isEmpty())
                    return {{}, failed_};
            }
        }
        closing();
        QString t = out_.trimmed();
        if (t.endsWith(u','))
            t.chop(1);
        return {t.trimmed(), {}};
    }

private:
    void add(const QString& phrase) { out_ += phrase + QStringLiteral(", "); }

    void monthYear(const char* label, const QByteArray& field) {
        const QByteArray t = trimmedText(field);
        if (!t.isEmpty() && t != "-")
            add(QString::fromUtf8(label) + text(t));
    }

    void chosen(const QByteArray& field, const char* prefix = "") {
        if (!field.isEmpty() && field != QByteArrayLiteral("keine Angabe"))
            add(QString::fromUtf8(prefix) + text(field));
    }

    void pick(quint8 value, std::initializer_list<std::pair<int, const char*>> phrases) {
        for (const auto& [code, phrase] : phrases) {
            if (value == code)
                add(QString::fromUtf8(phrase));
        }
    }

    void phrase(const Phrase& p) {
        switch (p.kind) {
        case Kind::Ez:
            return monthYear("EZ: ", v_.ez);
        case Kind::Hu:
            return monthYear("HU: ", v_.hu);
        case Kind::Au:
            return monthYear("AU: ", v_.au);
        case Kind::Mileage:
            if (!isEmpty(v_.kilometer)) {
                const std::optional<qint64> km = wholeNumber(v_.kilometer);
                if (!km) {
                    failed_ = QStringLiteral("kilometer");
                    return;
                }
                add(locale_.toString(*km) + QStringLiteral(" km"));
            }
            return;
        case Kind::Power:
            if (!isEmpty(v_.leistung)) {
                const std::optional<qint64> n = wholeNumber(v_.leistung);
                if (!n) {
                    failed_ = QStringLiteral("leistung");
                    return;
                }
                if (v_.kwps == 1)
                    add(QString::number(roundEven(double(*n) * 0.736)) + QStringLiteral(" kW (") + text(v_.leistung) +
                        QStringLiteral(" PS)"));
                else
                    add(text(v_.leistung) + QStringLiteral(" kW (") + QString::number(roundEven(double(*n) / 0.736)) +
                        QStringLiteral(" PS)"));
            }
            return;
        case Kind::Fuel:
            if (v_.kraftstoff != QByteArrayLiteral("andere"))
                chosen(v_.kraftstoff, "Kraftstoff: ");
            return;
        case Kind::Colour:
            if (!v_.farbe.isEmpty() && trimmedText(v_.farbe) != QByteArrayLiteral("keine Farbangabe"))
                add(text(trimmedText(v_.farbe)));
            return;
        case Kind::Gearbox:
            return chosen(v_.getriebe);
        case Kind::Climate:
            return chosen(v_.klima);
        case Kind::Emission:
            if (v_.abgas != 0)
                add(QStringLiteral("Schadstoffklasse: Euro ") + QString::number(v_.abgas));
            return;
        case Kind::Badge:
            return pick(v_.umwelt, {{1, "keine Umweltplakette"},
                                    {2, "Umweltplakette: 2 (Rot)"},
                                    {3, "Umweltplakette: 3 (Gelb)"},
                                    {4, "Umweltplakette: 4 (Grün)"}});
        case Kind::Doors:
            return pick(v_.tueren, {{2, "Türen: 2/3"}, {4, "Türen: 4/5"}, {6, "Türen: 6/7"}});
        case Kind::Drive:
            return pick(v_.antrieb, {{1, "Kettenantrieb"}, {2, "Kardanantrieb"}, {3, "Riemenantrieb"}});
        case Kind::Displacement:
            if (!isEmpty(v_.hubraum))
                add(text(v_.hubraum) + QStringLiteral(" cm³"));
            return;
        case Kind::Hydraulics:
            return pick(
                v_.hydraulik,
                {{1, "andere Hydraulik"}, {2, "Kipphydraulik"}, {3, "Schubbodenhydraulik"}, {4, "Tankwagenhydraulik"}});
        case Kind::WheelFormula:
            return pick(v_.radformel, {{1, "Radformel: 4x2"},
                                       {2, "Radformel: 4x4"},
                                       {3, "Radformel: 6x2"},
                                       {4, "Radformel: 6x4"},
                                       {5, "Radformel: 6x6"},
                                       {6, "Radformel: 8x4"},
                                       {7, "Radformel: 8x6"},
                                       {9, "Radformel: 8x8"}});
        case Kind::CabA:
            return pick(v_.fahrerhaus, {{1, "Fahrerhaus: Doppelkabine"}, {2, "Fahrerhaus: Liegeplatz"}});
        case Kind::CabB:
            return pick(v_.fahrerhaus, {{3, "Fahrerhaus: Nahverkehr"}, {4, "Fahrerhaus: Fernverkehr"}});
        case Kind::Measure: {
            const QByteArray& f = v_.*p.field;
            if (!isEmpty(f))
                add(QString::fromUtf8(p.text) + text(trimmedText(f)) + QString::fromUtf8(p.suffix ? p.suffix : ""));
            return;
        }
        case Kind::Flag:
            if (v_.*p.flag == 1)
                add(QString::fromUtf8(p.text));
            return;
        case Kind::Consumption:
            return consumption();
        }
    }

    void consumption() {
        const QString unit = v_.kraftstoff == QByteArrayLiteral("Erdgas (CNG)") ? QStringLiteral(" m³/100 km")
                                                                                : QStringLiteral(" l/100 km");
        if (!isEmpty(v_.innerorts))
            add(QStringLiteral("Verbr. innerorts: ") + text(v_.innerorts) + unit);
        if (!isEmpty(v_.ausserorts))
            add(QStringLiteral("Verbr. außerorts: ") + text(v_.ausserorts) + unit);
        if (!isEmpty(v_.kombiniert))
            add((v_.envkv == 1 ? QStringLiteral("Verbr. kombiniert: ") : QStringLiteral("Verbr. ca.: ")) +
                text(v_.kombiniert) + unit);
        if (!isEmpty(v_.co2))
            add(QStringLiteral("CO2-Emissionen: ") + text(v_.co2) + QStringLiteral(" g/km"));
    }

    void closing() {
        const QByteArray date = trimmedText(v_.lieferdatum);
        if (!date.isEmpty() && date != QByteArrayLiteral(".  ."))
            add(QStringLiteral("Lieferdatum: ") + text(date));
        chosen(v_.lieferfrist, "Lieferfrist: ");
        if (v_.overpass != 0.0)
            add(QStringLiteral("Überführungskosten: ") + wholeText(v_.overpass, locale_) + u' ' + text(v_.waehr) +
                QStringLiteral(" inkl."));
        if (!isEmpty(v_.vin))
            add(QStringLiteral("Fahrgestellnr.: ") + text(v_.vin));
    }

    const TFahrzeug& v_;
    const QLocale& locale_;
    QString out_;
    QString failed_;
};

} // namespace

FeatureList composeFeatures(const TFahrzeug& v, const QLocale& locale) {
    return Composer(v, locale).run();
}

} // namespace tarmelo::print
