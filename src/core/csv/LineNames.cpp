#include "csv/LineNames.h"

#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <array>

namespace tarmelo::csv {

namespace {

// Items of a suffixed class that keep their plain name; every other item of its category list carries the suffix.
const char* const kPlain4[] = {"Geldtransporter",         "Glastransporter",  "Kastenwagen hoch",
                               "Kastenwagen hoch + lang", "Kastenwagen lang", "Kombi, Kleinbus bis 9 Sitze",
                               "Kühlkastenwagen",         "Rettungswagen",    "andere Transporter/Lkw bis 7,5t"};
const char* const kPlain5[] = {"Betonmischer",          "Getreidekipper", "Jumbo-LKW",
                               "Lebensmitteltankwagen", "Muldenkipper",   "andere Lkw über 7,5t"};
const char* const kPlain7[] = {"Abrollanhänger",  "Bauwagen",       "Bootsanhänger",    "Dreiseitenkipper",
                               "Glastransport",   "Möbellift",      "Motorradanhänger", "Pkw-Anhänger",
                               "Wechselpritsche", "andere Anhänger"};
const char* const kPlain8[] = {"Tiefkühl", "Viehtransporter", "andere Auflieger"};
// Read and written with the suffix although the editor's list no longer offers it.
const char* const kFormer8[] = {"Hubarbeitsbühne"};

struct SuffixRule {
    int klasse;
    const char* suffix;
    std::span<const char* const> plain;
    std::span<const char* const> former;
};
const SuffixRule kSuffixRules[] = {
    {4, " unter 7,5t", kPlain4, {}},
    {5, " ueber 7,5t", kPlain5, {}},
    {7, " Anhaenger", kPlain7, {}},
    {8, " Auflieger", kPlain8, kFormer8},
};

// Items whose line name differs.
struct RenamedCategory {
    int klasse;
    const char* item; // UTF-8
    const char* line;
};
const RenamedCategory kRenamed[] = {
    {1, "andere", "andere PKW"},
    {1, "Sportwagen/Coupé", "Sportwagen/Coupe"},
    {2, "andere", "andere Motorraeder"},
    {3, "andere", "andere Wohnmobile"},
    {4, "Tankaufbau", "Tankwagen unter 7,5t"},
    {4, "Getränke", "Getraenkewagen unter 7,5t"},
    // Keeps the van apart from the motor-home category "Kastenwagen", which a reader finds first.
    {4, "Kastenwagen", "Kasten"},
    {4, "Tier-/Pferdetransport", "Tier-/Pferdetransportwagen unter 7,5t"},
};

const RenamedBrand kBrands[] = {
    {2, "Arctic Cat", "ARCTIC_CAT"},
    {2, "Can Am", "CAN_AM"},
    {2, "E-Ton", "E_TON"},
    {2, "GG Motorradtechnik", "GGMOTORRADTECHNIK"},
    {3, "Four-Wheel Camper", "FOURWHEELCAMPER"},
    {3, "Home-Car", "HOMECAR"},
    {3, "Six-Pac", "SIXPAC"},
    {4, "Brian James", "BRIAN_JAMES"},
    {4, "Ifor Williams", "IFORWILLIAMS"},
    {4, "JUNG Fahrzeugbau", "JUNGFAHRZEUGBAU"},
    {4, "Magirus Deutz", "MAGIRUSDEUTZ"},
    {4, "Reformwerke Wels", "REFORMWERKEWELS"},
    {4, "Van Eck", "VAN_ECK"},
    {4, "Ditch Witch", "DITCH_WITCH"},
};

QByteArray cp1252(const char* utf8) {
    return model::toCp1252(QString::fromUtf8(utf8)).value_or(QByteArray());
}

// Items whose line name carries their class's suffix; the items in Windows-1252, taken from the category lists.
struct SuffixedCategories {
    int klasse;
    const char* suffix;
    QList<QByteArray> items;
};

QList<SuffixedCategories> buildSuffixed() {
    QList<SuffixedCategories> out;
    for (const SuffixRule& rule : kSuffixRules) {
        QSet<QByteArray> plain;
        for (const char* item : rule.plain)
            plain.insert(cp1252(item));
        for (const RenamedCategory& r : kRenamed)
            if (r.klasse == rule.klasse)
                plain.insert(cp1252(r.item));
        SuffixedCategories sc{rule.klasse, rule.suffix, {}};
        // The first item is the list's prompt, never a category.
        const QList<QByteArray>& items = model::listItems(model::ListId::Kategorie, rule.klasse);
        for (qsizetype i = 1; i < items.size(); ++i)
            if (!plain.contains(items[i]))
                sc.items.append(items[i]);
        for (const char* item : rule.former)
            sc.items.append(cp1252(item));
        out.append(std::move(sc));
    }
    return out;
}

const QList<SuffixedCategories>& suffixedCategories() {
    static const QList<SuffixedCategories> suffixed = buildSuffixed();
    return suffixed;
}

// Record texts are Windows-1252; these bytes are the umlauts.
constexpr char kAe = '\xe4', kOe = '\xf6', kUe = '\xfc', kAE = '\xc4', kOE = '\xd6', kUE = '\xdc';

QByteArray transliterate(const QByteArray& s) {
    bool any = false;
    for (char c : s)
        any = any || c == kAe || c == kOe || c == kUe || c == kAE || c == kOE || c == kUE;
    if (!any)
        return s;
    QByteArray out;
    out.reserve(s.size() + 4);
    for (char c : s) {
        switch (c) {
        case kAe:
            out += "ae";
            break;
        case kOe:
            out += "oe";
            break;
        case kUe:
            out += "ue";
            break;
        case kAE:
            out += "Ae";
            break;
        case kOE:
            out += "Oe";
            break;
        case kUE:
            out += "Ue";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Line names per class, found by the item with its umlauts written out.
using CategoryNames = std::array<QHash<QByteArray, QByteArray>, 13>;

CategoryNames buildCategoryNames() {
    CategoryNames names;
    for (const SuffixedCategories& s : suffixedCategories())
        for (const QByteArray& item : s.items) {
            const QByteArray key = transliterate(item);
            names[size_t(s.klasse)].insert(key, key + s.suffix);
        }
    for (const RenamedCategory& r : kRenamed)
        names[size_t(r.klasse)].insert(transliterate(cp1252(r.item)), QByteArray(r.line));
    return names;
}

} // namespace

QByteArray categoryLineName(int klasse, const QByteArray& item) {
    static const CategoryNames names = buildCategoryNames();
    // Stocks repeat their categories line after line: the last answer is kept, per thread.
    thread_local int lastKlasse = -1;
    thread_local QByteArray lastItem, lastName;
    if (klasse == lastKlasse && item == lastItem)
        return lastName;
    QByteArray k = transliterate(item);
    QByteArray name = klasse < 1 || klasse > 12 ? k : names[size_t(klasse)].value(k, k);
    lastKlasse = klasse;
    lastItem = item;
    lastName = name;
    return name;
}

QList<LineCategory> lineCategories(int klasse) {
    QList<LineCategory> out;
    // The first item is the list's prompt, never a category.
    const QList<QByteArray>& items = model::listItems(model::ListId::Kategorie, klasse);
    for (qsizetype i = 1; i < items.size(); ++i)
        out.append({items[i], categoryLineName(klasse, items[i])});
    for (const SuffixRule& rule : kSuffixRules)
        if (rule.klasse == klasse)
            for (const char* item : rule.former)
                out.append({cp1252(item), categoryLineName(klasse, cp1252(item))});
    return out;
}

QByteArray brandLineName(const QByteArray& marke) {
    static const QHash<QByteArray, QByteArray> names = [] {
        QHash<QByteArray, QByteArray> n;
        for (const RenamedBrand& b : kBrands)
            n.insert(transliterate(cp1252(b.item)), QByteArray(b.line));
        return n;
    }();
    // As with the categories, the last answer is kept per thread.
    thread_local bool known = false;
    thread_local QByteArray lastMarke, lastName;
    if (known && marke == lastMarke)
        return lastName;
    const QByteArray b = transliterate(marke);
    QByteArray name = model::upperCp1252(names.value(b, b));
    known = true;
    lastMarke = marke;
    lastName = name;
    return name;
}

std::span<const RenamedBrand> renamedBrands() {
    return kBrands;
}

} // namespace tarmelo::csv
