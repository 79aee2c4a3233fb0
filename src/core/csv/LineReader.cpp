#include "csv/LineReader.h"

#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <QHash>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tarmelo::csv {

namespace {

using model::TFahrzeug;
using Bytes = std::string_view;
using Flag = quint8 TFahrzeug::*;

// Texts with umlauts are kept in UTF-8 here and converted to Windows-1252 once.
QByteArray cp(const char* utf8) {
    return model::toCp1252(QString::fromUtf8(utf8)).value_or(QByteArray());
}

QByteArray toBytes(Bytes s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

Bytes left(Bytes s, size_t n) {
    return s.substr(0, std::min(n, s.size()));
}

// Spaces and control characters.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

Bytes trimmed(Bytes s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Takes the fields from the front of the line, each with its separator.
class FieldCursor {
public:
    explicit FieldCursor(Bytes line) : rest_(line) {}

    // Column 1 is everything before the first separator, quotes or not.
    Bytes first() {
        const size_t sep = rest_.find(';');
        const Bytes field = rest_.substr(0, sep);
        rest_ = sep == Bytes::npos ? Bytes() : rest_.substr(sep + 1);
        return field;
    }

    Bytes next() {
        ++column_;
        if (rest_.empty())
            return {};
        size_t begin = 0;
        size_t end = Bytes::npos;
        if (rest_.front() == '"') {
            // A quoted field ends at the first separator preceded by an odd number of quotes: doubled quotes
            // inside the value keep the count even, the closing quote makes it odd.
            begin = 1;
            size_t quotes = 0;
            for (size_t i = 1; i < rest_.size(); ++i) {
                const char c = rest_[i];
                if (c == '"')
                    ++quotes;
                else if (c == ';' && (quotes & 1) != 0) {
                    end = i;
                    break;
                }
            }
        } else {
            end = rest_.find(';');
        }
        Bytes field;
        if (end == Bytes::npos) {
            // No separator ends the field (also a quoted field whose closing quote is not followed by ";"):
            // it takes the rest of the line, and the end of the line acts as its separator.
            field = rest_.substr(begin);
            rest_ = {};
        } else {
            field = rest_.substr(begin, end - begin);
            rest_.remove_prefix(end + 1);
        }
        if (!field.empty() && field.back() == '"')
            field.remove_suffix(1);
        return field;
    }

    int column() const { return column_; }

private:
    Bytes rest_;
    int column_ = 1;
};

// A whole number that fits a 32-bit integer: optional sign, then digits only.
std::optional<qint32> toInt(Bytes s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-')
            return std::nullopt;
    }
    if (s.empty())
        return std::nullopt;
    qint32 value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// A number with a decimal comma: [sign] digits [, digits] [exponent], at least one digit before the exponent.
bool isCommaNumber(Bytes s) {
    size_t i = 0;
    const auto digits = [&] {
        const size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        return i - from;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t mantissa = digits();
    if (i < s.size() && s[i] == ',') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == s.size();
}

std::optional<double> readCommaNumber(Bytes s) {
    if (!isCommaNumber(s))
        return std::nullopt;
    std::string text(s);
    if (text.front() == '+')
        text.erase(0, 1);
    for (char& c : text)
        if (c == ',')
            c = '.';
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Rounds to cents on the decimal digits themselves, half away from zero: the binary value of 11900.005 lies
// just below the half and would round down. Only texts without exponent and of sane size take this way.
double roundToCents(Bytes text, double value) {
    if (text.find_first_of("eE") != Bytes::npos || std::abs(value) > 1e12)
        return std::round(value * 100) / 100;
    size_t i = 0;
    const bool negative = text.front() == '-';
    if (text.front() == '+' || text.front() == '-')
        ++i;
    std::int64_t cents = 0;
    for (; i < text.size() && text[i] != ','; ++i)
        cents = cents * 10 + (text[i] - '0');
    const Bytes fraction = i < text.size() ? text.substr(i + 1) : Bytes();
    const auto digit = [&](size_t k) { return k < fraction.size() ? fraction[k] - '0' : 0; };
    cents = cents * 100 + digit(0) * 10 + digit(1);
    if (digit(2) >= 5)
        ++cents;
    return double(negative ? -cents : cents) / 100;
}

double price(Bytes field) {
    const Bytes t = trimmed(field);
    if (t.empty())
        return 0;
    std::string text(t);
    const bool hasPoint = text.find('.') != std::string::npos;
    for (char& c : text)
        if (c == '.')
            c = ',';
    const auto value = readCommaNumber(text);
    if (!value)
        return 0;
    const double result = hasPoint ? roundToCents(text, *value) : *value;
    // The comparison also turns a rounded -0.00 into 0.
    return result > 0 && result <= 500000000 ? result : 0;
}

bool flag(Bytes field) {
    return field == "1";
}

QByteArray text(Bytes field, size_t width) {
    return toBytes(left(trimmed(field), width));
}

// Trimmed, doubled quotes undone, then cut; width 0 keeps everything.
QByteArray textUndone(Bytes field, qsizetype width) {
    QByteArray s = toBytes(trimmed(field));
    if (s.contains("\"\""))
        s.replace("\"\"", "\"");
    if (width > 0 && s.size() > width)
        s.truncate(width);
    return s;
}

QByteArray integerText(Bytes field, size_t width, qint32 limit) {
    const Bytes t = trimmed(field);
    if (t.empty() || !toInt(t))
        return {};
    const Bytes kept = left(t, width);
    const auto n = toInt(kept);
    if (!n || *n < 0 || *n >= limit)
        return {};
    return toBytes(kept);
}

quint8 code(Bytes field, int low, int high) {
    const auto n = toInt(trimmed(field));
    return n && *n >= low && *n <= high ? quint8(*n) : 0;
}

// MM.YYYY becomes the MM-YYYY of the record; an empty field gets its mask text at completion.
QByteArray month(Bytes field) {
    QByteArray s = text(field, 7);
    s.replace('.', '-');
    return s;
}

QByteArray klima(Bytes field) {
    if (field == "1")
        return QByteArrayLiteral("Klimaanlage");
    if (field == "2")
        return QByteArrayLiteral("Klimaautomatik");
    if (field == "0")
        return QByteArrayLiteral("keine Klimaanlage oder -automatik");
    return model::items::kKeineAngabe;
}

quint8 doors(Bytes field) {
    if (field == "2" || field == "3")
        return 2;
    if (field == "4" || field == "5")
        return 4;
    if (field == "6" || field == "7")
        return 6;
    return 0;
}

quint8 radformel(Bytes field) {
    const quint8 c = code(field, 1, 9);
    return c == 8 ? 0 : c;
}

QByteArray memo(Bytes field) {
    QByteArray s = textUndone(field, 2000);
    s.replace('\xa4', '\x80'); // the line carries the euro sign as the Latin-9 byte
    return s;
}

bool isVatRate(const QByteArray& rate) {
    const auto& rates = model::listItems(model::ListId::Mwst, 1);
    return rates.contains(rate);
}

QByteArray vatRate(Bytes field) {
    const Bytes t = left(trimmed(field), 21);
    if (t.empty())
        return model::items::kMwstNichtAusweisbar;
    QByteArray rate = toBytes(t);
    rate.replace(".00", "");
    rate.replace('.', ',');
    rate.append('%');
    if (isVatRate(rate))
        return rate;
    // "19.0" or "7.60" name a listed rate as well; compare them without trailing decimal zeros.
    QByteArray plain = toBytes(t);
    plain.replace('.', ',');
    if (plain.contains(',')) {
        while (plain.endsWith('0'))
            plain.chop(1);
        if (plain.endsWith(','))
            plain.chop(1);
    }
    plain.append('%');
    return isVatRate(plain) ? plain : model::items::kMwstNichtAusweisbar;
}

// Stored as the shortest decimal text with a comma, so 5.60 becomes 5,6.
QByteArray consumption(Bytes field, double below, qsizetype width) {
    std::string s(trimmed(field));
    if (const size_t point = s.find('.'); point != std::string::npos)
        s[point] = ',';
    const auto value = readCommaNumber(s);
    if (!value || *value < 1 || *value >= below)
        return {};
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *value, std::chars_format::fixed);
    if (ec != std::errc())
        return {};
    QByteArray out(buf, qsizetype(end - buf));
    out.replace('.', ',');
    if (out.size() > width)
        out.truncate(width);
    return out;
}

QByteArray deliveryPeriod(Bytes field) {
    const auto days = toInt(trimmed(field));
    if (!days)
        return {};
    switch (*days) {
    case 14:
        return QByteArrayLiteral("2 Wochen");
    case 42:
        return QByteArrayLiteral("6 Wochen");
    case 60:
        return QByteArrayLiteral("2 Monate");
    case 90:
        return QByteArrayLiteral("3 Monate");
    case 120:
        return QByteArrayLiteral("4 Monate");
    case 150:
        return QByteArrayLiteral("5 Monate");
    case 180:
        return QByteArrayLiteral("6 Monate");
    case 270:
        return QByteArrayLiteral("9 Monate");
    case 360:
        return QByteArrayLiteral("12 Monate");
    default:
        return model::items::kKeineAngabe;
    }
}

double overpass(Bytes field) {
    const auto value = readCommaNumber(trimmed(field));
    return value && *value >= 0 && *value <= 9999 ? *value : 0;
}

QByteArray fuel(Bytes field) {
    if (field.size() == 1) {
        switch (field[0]) {
        case '1':
            return QByteArrayLiteral("Benzin");
        case '2':
            return QByteArrayLiteral("Diesel");
        case '3':
            return QByteArrayLiteral("Autogas (LPG)");
        case '4':
            return QByteArrayLiteral("Erdgas (CNG)");
        case '6':
            return QByteArrayLiteral("Elektro");
        case '7':
            return QByteArrayLiteral("Hybrid (Benzin/Elektro)");
        case '8':
            return QByteArrayLiteral("Wasserstoff");
        case '9':
            return QByteArrayLiteral("Ethanol (FFV, E85, etc.)");
        case '0':
            return QByteArrayLiteral("andere");
        default:
            break;
        }
    }
    return model::items::kKeineAngabe;
}

QByteArray gearbox(Bytes field) {
    if (field == "1")
        return QByteArrayLiteral("Schaltgetriebe");
    if (field == "2")
        return QByteArrayLiteral("Halbautomatik");
    if (field == "3")
        return QByteArrayLiteral("Automatik");
    return model::items::kKeineAngabe;
}

void readFlags(FieldCursor& c, TFahrzeug& v, std::initializer_list<Flag> flags) {
    for (const Flag f : flags)
        v.*f = flag(c.next()) ? 1 : 0;
}

struct CategoryKey {
    quint8 klasse = 0;
    QByteArray display; // empty: the category keeps its text
};

struct Tables {
    QHash<QByteArray, CategoryKey> firstSteps; // classes 1 to 3, compared with the lower-case category
    QHash<QByteArray, CategoryKey> lastStep;   // classes 4 to 12, compared without umlauts
    QHash<QByteArray, QByteArray> brands[4];   // brand fixes of classes 1, 2, 3 and of the last step
    QByteArray oldtimer, jahreswagen, neuwagen, vorfuehrwagen, tageszulassung;
    QByteArray nineSeats, nineSeatsName;
    // Classes 4 to 12: the list's spelling of a category, by its key (lower case, umlauts spelt out).
    QHash<QByteArray, QByteArray> listSpelling[13];
};

QByteArray withoutUmlauts(const QByteArray& lower);

struct Key {
    const char* key;
    const char* display;
};

void addKeys(QHash<QByteArray, CategoryKey>& to, quint8 klasse, std::initializer_list<Key> named,
             std::initializer_list<const char*> plain) {
    for (const Key& k : named)
        to.insert(cp(k.key), CategoryKey{klasse, cp(k.display)});
    for (const char* k : plain)
        to.insert(cp(k), CategoryKey{klasse, {}});
}

void addBrands(QHash<QByteArray, QByteArray>& to, std::initializer_list<Key> fixes) {
    for (const Key& k : fixes)
        to.insert(cp(k.key), cp(k.display));
}

Tables buildTables() {
    Tables t;
    auto& first = t.firstSteps;
    addKeys(first, 1,
            {{"gelaendewagen/pickup", "Geländewagen/Pickup"},
             {"sportwagen/coupe", "Sportwagen/Coupé"},
             {"andere pkw", "andere"}},
            {"cabrio/roadster", "kleinwagen", "kombi", "limousine", "van/kleinbus"});
    addKeys(first, 2, {{"andere motorraeder", "andere"}},
            {"chopper/cruiser", "dirt bike", "enduro/reiseenduro", "gespann/seitenwagen", "klein/leichtkraftrad",
             "mofa/mokick/moped", "motorrad", "naked bike", "pocketbike", "quad", "rallye/cross", "rennsport",
             "roller/scooter", "sportler/supersportler", "sporttourer", "streetfighter", "super moto", "tourer",
             "trike"});
    addKeys(first, 3, {{"andere wohnmobile", "andere"}},
            {"alkoven", "integrierter", "kastenwagen", "mobilheim", "teilintegrierter", "wohnkabine",
             "wohnmobil pickup", "wohnmobil andere", "wohnwagen"});

    auto& last = t.lastStep;
    addKeys(last, 4,
            {{"abrollkipper unter 7,5t", "Abrollkipper"},
             {"abschleppwagen unter 7,5t", "Abschleppwagen"},
             {"absetzkipper unter 7,5t", "Absetzkipper"},
             {"autokran unter 7,5t", "Autokran"},
             {"autotransporter unter 7,5t", "Autotransporter"},
             {"dreiseitenkipper unter 7,5t", "Dreiseitenkipper"},
             {"fahrgestell unter 7,5t", "Fahrgestell"},
             {"getraenkewagen unter 7,5t", "Getränke"},
             {"hubarbeitsbuehne unter 7,5t", "Hubarbeitsbühne"},
             {"kasten", "Kastenwagen"},
             {"kehrmaschine unter 7,5t", "Kehrmaschine"},
             {"kipper unter 7,5t", "Kipper"},
             {"koffer unter 7,5t", "Koffer"},
             {"kuehlkastenwagen", "Kühlkastenwagen"},
             {"kuehlkoffer unter 7,5t", "Kühlkoffer"},
             {"muellwagen unter 7,5t", "Müllwagen"},
             {"pritsche unter 7,5t", "Pritsche"},
             {"pritsche + plane unter 7,5t", "Pritsche + Plane"},
             {"saug- und druckwagen unter 7,5t", "Saug- und Druckwagen"},
             {"tankwagen unter 7,5t", "Tankaufbau"},
             {"tier-/pferdetransportwagen unter 7,5t", "Tier-/Pferdetransport"},
             {"verkaufsaufbau unter 7,5t", "Verkaufsaufbau"},
             {"wechselfahrgestell unter 7,5t", "Wechselfahrgestell"}},
            {"kastenwagen hoch", "kastenwagen lang", "kastenwagen hoch + lang", "rettungswagen",
             "andere transporter/lkw bis 7,5t", "glastransporter", "geldtransporter"});
    addKeys(last, 5,
            {{"abrollkipper ueber 7,5t", "Abrollkipper"},
             {"abschleppwagen ueber 7,5t", "Abschleppwagen"},
             {"absetzkipper ueber 7,5t", "Absetzkipper"},
             {"autokran ueber 7,5t", "Autokran"},
             {"autotransporter ueber 7,5t", "Autotransporter"},
             {"betonpumpe ueber 7,5t", "Betonpumpe"},
             {"dreiseitenkipper ueber 7,5t", "Dreiseitenkipper"},
             {"fahrgestell ueber 7,5t", "Fahrgestell"},
             {"getraenkewagen ueber 7,5t", "Getränkewagen"},
             {"holztransporter ueber 7,5t", "Holztransporter"},
             {"hubarbeitsbuehne ueber 7,5t", "Hubarbeitsbühne"},
             {"kehrmaschine ueber 7,5t", "Kehrmaschine"},
             {"kipper ueber 7,5t", "Kipper"},
             {"koffer ueber 7,5t", "Koffer"},
             {"kuehlkoffer ueber 7,5t", "Kühlkoffer"},
             {"muellwagen ueber 7,5t", "Müllwagen"},
             {"pritsche ueber 7,5t", "Pritsche"},
             {"pritsche + plane ueber 7,5t", "Pritsche + Plane"},
             {"saug- und druckwagen ueber 7,5t", "Saug- und Druckwagen"},
             {"tankwagen ueber 7,5t", "Tankwagen"},
             {"tier-/pferdetransportwagen ueber 7,5t", "Tier-/Pferdetransportwagen"},
             {"verkaufsaufbau ueber 7,5t", "Verkaufsaufbau"},
             {"wechselfahrgestell ueber 7,5t", "Wechselfahrgestell"},
             {"andere lkw ueber 7,5t", "andere Lkw über 7,5t"}},
            {"lebensmitteltankwagen", "muldenkipper", "betonmischer", "jumbo-lkw", "getreidekipper"});
    addKeys(last, 6, {}, {"gefahrgut", "schwerlast", "standard-szm", "volumen-szm", "andere sattelzugmaschinen"});
    addKeys(last, 7,
            {{"abrollanhaenger", "Abrollanhänger"},
             {"autotransporter anhaenger", "Autotransporter"},
             {"bootsanhaenger", "Bootsanhänger"},
             {"fahrgestell anhaenger", "Fahrgestell"},
             {"getraenke anhaenger", "Getränke"},
             {"holztransporter anhaenger", "Holztransporter"},
             {"hubarbeitsbuehne anhaenger", "Hubarbeitsbühne"},
             {"koffer anhaenger", "Koffer"},
             {"kuehlkoffer anhaenger", "Kühlkoffer"},
             {"langmaterialtransporter anhaenger", "Langmaterialtransporter"},
             {"lebensmitteltank anhaenger", "Lebensmitteltank"},
             {"moebellift", "Möbellift"},
             {"motorradanhaenger", "Motorradanhänger"},
             {"pkw-anhaenger", "Pkw-Anhänger"},
             {"plattform anhaenger", "Plattform"},
             {"pritsche anhaenger", "Pritsche"},
             {"pritsche + plane anhaenger", "Pritsche + Plane"},
             {"silo anhaenger", "Silo"},
             {"tankaufbau anhaenger", "Tankaufbau"},
             {"tieflader anhaenger", "Tieflader"},
             {"tier-/pferdetransport anhaenger", "Tier-/Pferdetransport"},
             {"verkaufsaufbau anhaenger", "Verkaufsaufbau"},
             {"walkingfloor anhaenger", "Walkingfloor"},
             {"wechselfahrgestell anhaenger", "Wechselfahrgestell"},
             {"andere anhaenger", "andere Anhänger"}},
            {"bauwagen", "dreiseitenkipper", "glastransport", "wechselpritsche"});
    addKeys(last, 8,
            {{"autokran auflieger", "Autokran"},
             {"autotransporter auflieger", "Autotransporter"},
             {"fahrgestell auflieger", "Fahrgestell"},
             {"getraenke auflieger", "Getränke"},
             {"holztransporter auflieger", "Holztransporter"},
             {"kipper auflieger", "Kipper"},
             {"koffer auflieger", "Koffer"},
             {"kuehlkoffer auflieger", "Kühlkoffer"},
             {"langmaterialtransporter auflieger", "Langmaterialtransporter"},
             {"lebensmitteltank auflieger", "Lebensmitteltank"},
             {"plattform auflieger", "Plattform"},
             {"pritsche auflieger", "Pritsche"},
             {"pritsche + plane auflieger", "Pritsche + Plane"},
             {"silo auflieger", "Silo"},
             {"tankaufbau auflieger", "Tankaufbau"},
             {"tiefkuehl", "Tiefkühl"},
             {"tieflader auflieger", "Tieflader"},
             {"verkaufsaufbau auflieger", "Verkaufsaufbau"},
             {"walkingfloor auflieger", "Walkingfloor"},
             {"wechselfahrgestell auflieger", "Wechselfahrgestell"}},
            {"viehtransporter", "andere auflieger"});
    addKeys(last, 9,
            {{"arbeitsbuehne", "Arbeitsbühne"},
             {"baugeraete", "Baugeräte"},
             {"bohrgeraet", "Bohrgerät"},
             {"kran, stationaer", "Kran, stationär"}},
            {"asphalttechnik", "baggerlader", "baumaschinen / sonstige anbauten", "bodenstabilisierer", "grader",
             "kettenbagger", "mini-/kompaktbagger", "mobilbagger", "radlader", "raupe/dozer", "verdichtungstechnik",
             "walzen", "andere baumaschinen"});
    addKeys(last, 10, {{"ueberlandbus", "Überlandbus"}},
            {"doppeldecker", "gelenkbus", "kleinbus", "linienbus", "reisebus", "andere busse"});
    addKeys(last, 11, {{"duengerstreuer", "Düngerstreuer"}, {"maehdrescher", "Mähdrescher"}, {"maeher", "Mäher"}},
            {"bodenbearbeitung", "drillmaschine", "erntemaschine", "forst", "frontlader", "heumaschine", "hofschlepper",
             "mulcher", "obstbau", "pflanzenschutz", "pflug", "schlepper", "transportfahrzeug", "sonstige anbauten",
             "andere agrarfahrzeuge"});
    addKeys(last, 12, {{"gelaendestapler", "Geländestapler"}},
            {"containerstapler", "frontstapler", "hochhubwagen", "hochregalstapler", "niederhubwagen",
             "schubmaststapler", "seitenstapler", "teleskoparmstapler", "andere stapler"});

    addBrands(t.brands[0], {{"citroën", "Citroen"}, {"koenigsegg", "Königsegg"}});
    addBrands(t.brands[1], {{"arctic_cat", "Arctic Cat"},
                            {"can_am", "Can Am"},
                            {"e_ton", "E-Ton"},
                            {"ggmotorradtechnik", "GG Motorradtechnik"},
                            {"zuendapp", "Zündapp"}});
    addBrands(t.brands[2], {{"buerstner", "Bürstner"},
                            {"ffb-tabbert", "FFB - Tabbert"},
                            {"ford/reimo", "Ford / Reimo"},
                            {"fourwheelcamper", "Four-Wheel Camper"},
                            {"homecar", "Home-Car"},
                            {"niesmann+bischoff", "Niesmann + Bischoff"},
                            {"phönix", "Phoenix"},
                            {"poessl", "Pössl"},
                            {"sixpac", "Six-Pac"},
                            {"triplee", "Triple E"},
                            {"voegele", "Vögele"},
                            {"wölcke", "Woelcke"}});
    addBrands(t.brands[3], {{"citroën", "Citroen"},
                            {"magirusdeutz", "Magirus Deutz"},
                            {"auwaerter", "Auwärter"},
                            {"boeckmann", "Böckmann"},
                            {"borco-hoehns", "Borco-Höhns"},
                            {"frühauf", "Fruehauf"},
                            {"hueffermann", "Hüffermann"},
                            {"kögel", "Koegel"},
                            {"mueller-mitteltal", "Müller-Mitteltal"},
                            {"schwarzmueller", "Schwarzmüller"},
                            {"o&k", "O & K"},
                            {"schäff", "Schaeff"},
                            {"droegmoeller", "Drögmöller"},
                            {"duecker", "Dücker"},
                            {"duevelsdorf", "Düvelsdorf"},
                            {"poettinger", "Pöttinger"},
                            {"reformwerkewels", "Reformwerke Wels"},
                            {"kaessbohrer", "Kässbohrer"},
                            {"grönewegen", "Groenewegen"},
                            {"iforwilliams", "Ifor Williams"},
                            {"brian_james", "Brian James"},
                            {"jungfahrzeugbau", "JUNG Fahrzeugbau"},
                            {"moeslein", "Möslein"},
                            {"van_eck", "Van Eck"},
                            {"ditch_witch", "Ditch Witch"},
                            {"gueldner", "Güldner"}});

    t.oldtimer = QByteArrayLiteral("Oldtimer");
    t.jahreswagen = QByteArrayLiteral("Jahreswagen");
    t.neuwagen = model::items::kNeuwagen;
    t.vorfuehrwagen = cp("Vorführwagen");
    t.tageszulassung = QByteArrayLiteral("Tageszulassung");
    t.nineSeats = QByteArrayLiteral("9 sitze");
    t.nineSeatsName = QByteArrayLiteral("Kombi, Kleinbus bis 9 Sitze");
    for (int c = 4; c <= 12; ++c)
        for (const QByteArray& item : model::listItems(model::ListId::Kategorie, c))
            t.listSpelling[c].insert(withoutUmlauts(model::lowerCp1252(item)), item);
    return t;
}

const Tables& tables() {
    static const Tables t = buildTables();
    return t;
}

void setType(Bytes field, const QByteArray& typ, TFahrzeug& v) {
    if (flag(field))
        v.typ = typ;
}

// Every column in line order; a column past the end of the line reads as empty.
void readColumns(Bytes line, TFahrzeug& v, const Tables& tb) {
    FieldCursor c(line);
    v.kennung = text(c.first(), 40);
    v.kennung.replace('"', QByteArray());
    v.inr = textUndone(c.next(), 40);
    v.kategorie = text(c.next(), 40);
    v.marke = text(c.next(), 40);
    v.modell = textUndone(c.next(), 48);
    v.leistung = integerText(c.next(), 5, 100000);
    v.hu = month(c.next());
    v.au = month(c.next());
    v.ez = month(c.next());
    v.kilometer = integerText(c.next(), 7, 10000000);
    v.preis = price(c.next());
    v.bn = flag(c.next()) ? 0 : 1; // the column says "VAT not shown", which goes with gross prices
    c.next();
    setType(c.next(), tb.oldtimer, v);
    v.vin = text(c.next(), 40);
    v.unf = flag(c.next());
    v.farbe = textUndone(c.next(), 32);
    v.klima = klima(c.next());
    readFlags(c, v, {&TFahrzeug::taxi, &TFahrzeug::behindertengerecht});
    setType(c.next(), tb.jahreswagen, v);
    setType(c.next(), tb.neuwagen, v);
    v.tagesangebot = flag(c.next());
    v.hpreis = price(c.next());
    c.next();
    v.memo = memo(c.next());
    c.next();
    v.metallic = flag(c.next());
    c.next();
    v.waehr = QByteArrayLiteral("EUR"); // the only currency
    v.mwst = vatRate(c.next());
    readFlags(c, v,
              {&TFahrzeug::garantie, &TFahrzeug::alufelgen, &TFahrzeug::esp, &TFahrzeug::abs, &TFahrzeug::anhaenger,
               &TFahrzeug::leder, &TFahrzeug::wfs, &TFahrzeug::navi, &TFahrzeug::sd, &TFahrzeug::zv, &TFahrzeug::fh,
               &TFahrzeug::allrad});
    v.tueren = doors(c.next());
    v.umwelt = code(c.next(), 1, 4);
    readFlags(c, v,
              {&TFahrzeug::servo, &TFahrzeug::zusatz_flag_1, &TFahrzeug::scheckheft, &TFahrzeug::kat,
               &TFahrzeug::kickstarter, &TFahrzeug::estarter});
    setType(c.next(), tb.vorfuehrwagen, v);
    v.antrieb = code(c.next(), 1, 3);
    v.hubraum = integerText(c.next(), 4, 10000);
    v.tk = integerText(c.next(), 5, 100000);
    v.nutzlast = integerText(c.next(), 6, 1000000);
    v.zgg = integerText(c.next(), 6, 1000000);
    v.hh = integerText(c.next(), 7, 10000000);
    v.bh = integerText(c.next(), 5, 100000);
    if (const Bytes bj = trimmed(c.next()); toInt(bj))
        v.bj = toBytes(left(bj, 4));
    v.betrieb = integerText(c.next(), 6, 1000000);
    v.sp = integerText(c.next(), 3, 1000);
    v.abgas = code(c.next(), 1, 5);
    v.fahrerhaus = code(c.next(), 1, 4);
    v.achsen = integerText(c.next(), 2, 100);
    readFlags(c, v,
              {&TFahrzeug::tempomat, &TFahrzeug::sh, &TFahrzeug::kabine, &TFahrzeug::schutzdach, &TFahrzeug::vv,
               &TFahrzeug::kommunal, &TFahrzeug::kran, &TFahrzeug::ret_int, &TFahrzeug::fs, &TFahrzeug::tv,
               &TFahrzeug::wc, &TFahrzeug::lbw});
    v.hydraulik = code(c.next(), 1, 4);
    v.st = flag(c.next());
    v.radformel = radformel(c.next());
    readFlags(c, v,
              {&TFahrzeug::tw, &TFahrzeug::ebs, &TFahrzeug::vermietung, &TFahrzeug::kompressor, &TFahrzeug::lf,
               &TFahrzeug::sb, &TFahrzeug::fronthydraulik, &TFahrzeug::bss, &TFahrzeug::swe, &TFahrzeug::zsa,
               &TFahrzeug::kueche, &TFahrzeug::kb, &TFahrzeug::ss, &TFahrzeug::frontheber, &TFahrzeug::hvisible,
               &TFahrzeug::reserved, &TFahrzeug::envkv});
    v.innerorts = consumption(c.next(), 100, 5);
    v.ausserorts = consumption(c.next(), 100, 5);
    v.kombiniert = consumption(c.next(), 100, 5);
    v.co2 = consumption(c.next(), 1000, 6);
    readFlags(c, v, {&TFahrzeug::xenon, &TFahrzeug::sitzheizung, &TFahrzeug::partikelfilter, &TFahrzeug::einparkhilfe});
    c.next();
    v.lieferdatum = text(c.next(), 10);
    if (v.lieferdatum.isEmpty())
        v.lieferdatum = model::kEmptyDate;
    v.lieferfrist = deliveryPeriod(c.next());
    v.overpass = overpass(c.next());
    v.tuev_neu = flag(c.next());
    v.kraftstoff = fuel(c.next());
    v.getriebe = gearbox(c.next());
    v.export_ = flag(c.next());
    setType(c.next(), tb.tageszulassung, v);
    v.eyecatcher = flag(c.next());
    v.zusatz_text_1 = text(c.next(), Bytes::npos);
    v.zusatz_text_2 = text(c.next(), Bytes::npos);
    v.topincategory = flag(c.next());
    v.zusatz_text_4 = text(c.next(), Bytes::npos);
    c.next();
    v.e10 = flag(c.next());
    v.zusatz_text_3 = text(c.next(), Bytes::npos);
    readFlags(c, v,
              {&TFahrzeug::zusatz_flag_2, &TFahrzeug::zusatz_flag_3, &TFahrzeug::koffer, &TFahrzeug::sturzbuegel,
               &TFahrzeug::scheibe, &TFahrzeug::standklima, &TFahrzeug::ss_bereifung, &TFahrzeug::strasse,
               &TFahrzeug::etagenbett, &TFahrzeug::festbett, &TFahrzeug::heckgarage, &TFahrzeug::markise,
               &TFahrzeug::dusche, &TFahrzeug::solar, &TFahrzeug::mittelsitzgruppe, &TFahrzeug::rundsitzgruppe,
               &TFahrzeug::seitensitzgruppe, &TFahrzeug::hagelschaden});
    v.schlafplaetze = integerText(c.next(), 3, 1000);
    v.laenge = integerText(c.next(), 5, 100000);
    v.breite = integerText(c.next(), 5, 100000);
    v.hoehe = integerText(c.next(), 5, 100000);
    v.paletten = integerText(c.next(), 3, 1000);
    v.ladevolumen = integerText(c.next(), 5, 100000);
    v.lr_laenge = integerText(c.next(), 5, 100000);
    v.lr_breite = integerText(c.next(), 5, 100000);
    v.lr_hoehe = integerText(c.next(), 5, 100000);
    Q_ASSERT(c.column() == 148);
}

void fixBrand(TFahrzeug& v, const QHash<QByteArray, QByteArray>& fixes) {
    const auto it = fixes.constFind(model::lowerCp1252(v.marke));
    if (it != fixes.constEnd())
        v.marke = *it;
}

QByteArray withoutUmlauts(const QByteArray& lower) {
    QByteArray out;
    out.reserve(lower.size() + 4);
    for (const char ch : lower) {
        switch (static_cast<unsigned char>(ch)) {
        case 0xE4:
            out.append("ae");
            break;
        case 0xF6:
            out.append("oe");
            break;
        case 0xFC:
            out.append("ue");
            break;
        default:
            out.append(ch);
            break;
        }
    }
    return out;
}

// Finds the class from the category and adjusts category and brand; false when the category is unknown.
bool classify(TFahrzeug& v, const Tables& tb) {
    const QByteArray lower = model::lowerCp1252(v.kategorie);
    if (const auto it = tb.firstSteps.constFind(lower); it != tb.firstSteps.constEnd()) {
        v.klasse = it->klasse;
        if (!it->display.isEmpty())
            v.kategorie = it->display;
        fixBrand(v, tb.brands[v.klasse - 1]);
        return true;
    }
    fixBrand(v, tb.brands[3]);
    const QByteArray key = withoutUmlauts(lower);
    if (const auto it = tb.lastStep.constFind(key); it != tb.lastStep.constEnd()) {
        v.klasse = it->klasse;
        // The list's own spelling, so that a line reads back into the very category it was written from and
        // its content, and with it its automatic number, stays the same through open and save.
        v.kategorie = it->display.isEmpty() ? tb.listSpelling[v.klasse].value(key, key) : it->display;
        return true;
    }
    if (key.contains(tb.nineSeats)) {
        v.klasse = 4;
        v.kategorie = tb.nineSeatsName;
        return true;
    }
    return false;
}

void complete(TFahrzeug& v) {
    // typ is only ever set to one of the five conditions of the type columns.
    if (v.typ.isEmpty())
        v.typ = model::items::kGebrauchtwagen;
    if (v.farbe == "gruen")
        v.farbe = QByteArray("gr\xfcn");
    else if (v.farbe == "hellgruen")
        v.farbe = QByteArray("hellgr\xfcn");
    else if (v.farbe == "dunkelgruen")
        v.farbe = QByteArray("dunkelgr\xfcn");
    for (QByteArray* m : {&v.hu, &v.au, &v.ez})
        if (m->isEmpty())
            *m = model::kEmptyMonth;
    v.bilder = {};
}

} // namespace

std::optional<model::TFahrzeug> ReadLine(const QByteArray& line) {
    const Tables& tb = tables();
    TFahrzeug v;
    readColumns(Bytes(line.constData(), size_t(line.size())), v, tb);
    if (!classify(v, tb))
        return std::nullopt;
    complete(v);
    return v;
}

} // namespace tarmelo::csv
