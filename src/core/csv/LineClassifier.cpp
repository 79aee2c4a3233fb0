#include "csv/LineClassifier.h"

#include "csv/LineNames.h"
#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <QHash>

#include <array>
#include <initializer_list>

namespace tarmelo::csv {

namespace {

using model::TFahrzeug;

// Texts with umlauts are kept in UTF-8 here and converted to Windows-1252 once.
QByteArray cp(const char* utf8) {
    return model::toCp1252(QString::fromUtf8(utf8)).value_or(QByteArray());
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

struct CategoryKey {
    quint8 klasse = 0;
    QByteArray display; // empty: the category keeps its text
};

struct Tables {
    QHash<QByteArray, CategoryKey> firstSteps; // classes 1 to 3, compared with the lower-case category
    QHash<QByteArray, CategoryKey> lastStep;   // classes 4 to 12, compared without umlauts
    QHash<QByteArray, QByteArray> brands[4];   // brand fixes of classes 1, 2, 3 and of the last step
    QByteArray nineSeats, nineSeatsName;
};

struct Key {
    const char* key;
    const char* display;
};

void addBrands(QHash<QByteArray, QByteArray>& to, std::initializer_list<Key> fixes) {
    for (const Key& k : fixes)
        to.insert(cp(k.key), cp(k.display));
}

Tables buildTables() {
    Tables t;
    // The categories by the names the writer gives them: classes 1 to 3 in the first steps, where a name that is
    // only the item in another case keeps the line's spelling; the others in the last step, in the list's.
    for (int c = 1; c <= model::kClassCount; ++c)
        for (const LineCategory& lc : lineCategories(c)) {
            const QByteArray key = model::lowerCp1252(lc.line);
            if (c <= 3)
                t.firstSteps.insert(
                    key, CategoryKey{quint8(c), key == model::lowerCp1252(lc.item) ? QByteArray() : lc.item});
            else
                t.lastStep.insert(key, CategoryKey{quint8(c), lc.item});
        }

    addBrands(t.brands[0], {{"citroën", "Citroen"}, {"koenigsegg", "Königsegg"}});
    addBrands(t.brands[1], {{"zuendapp", "Zündapp"}});
    addBrands(t.brands[2], {{"buerstner", "Bürstner"},
                            {"ffb-tabbert", "FFB - Tabbert"},
                            {"ford/reimo", "Ford / Reimo"},
                            {"niesmann+bischoff", "Niesmann + Bischoff"},
                            {"phönix", "Phoenix"},
                            {"poessl", "Pössl"},
                            {"triplee", "Triple E"},
                            {"voegele", "Vögele"},
                            {"wölcke", "Woelcke"}});
    addBrands(t.brands[3], {{"citroën", "Citroen"},
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
                            {"kaessbohrer", "Kässbohrer"},
                            {"grönewegen", "Groenewegen"},
                            {"moeslein", "Möslein"},
                            {"gueldner", "Güldner"}});

    for (const RenamedBrand& b : renamedBrands())
        t.brands[b.step - 1].insert(model::lowerCp1252(b.line), cp(b.item));
    t.nineSeats = QByteArrayLiteral("9 sitze");
    t.nineSeatsName = QByteArrayLiteral("Kombi, Kleinbus bis 9 Sitze");
    return t;
}

const Tables& tables() {
    static const Tables t = buildTables();
    return t;
}

// Lower case of a short text for a table look-up, on the stack; every line does two of them.
class LowerKey {
public:
    explicit LowerKey(const QByteArray& s) {
        if (s.size() > qsizetype(sizeof buf_)) {
            heap_ = model::lowerCp1252(s);
            key_ = heap_;
            return;
        }
        for (qsizetype i = 0; i < s.size(); ++i)
            buf_[i] = kLower[quint8(s[i])];
        key_ = QByteArray::fromRawData(buf_, s.size());
    }
    LowerKey(const LowerKey&) = delete;
    LowerKey& operator=(const LowerKey&) = delete;
    // Valid as long as this object.
    const QByteArray& key() const { return key_; }

private:
    static inline const std::array<char, 256> kLower = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = model::lowerCp1252(QByteArray(1, char(b))).at(0);
        return t;
    }();
    char buf_[64];
    QByteArray heap_;
    QByteArray key_;
};

void fixBrand(TFahrzeug& v, const QHash<QByteArray, QByteArray>& fixes) {
    const LowerKey lower(v.marke);
    const auto it = fixes.constFind(lower.key());
    if (it != fixes.constEnd())
        v.marke = *it;
}

// Finds the class from the category and adjusts category and brand; false when the category is unknown.
bool classifyBy(TFahrzeug& v, const Tables& tb) {
    const LowerKey lowerKey(v.kategorie);
    const QByteArray& lower = lowerKey.key();
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
        v.kategorie = it->display;
        return true;
    }
    if (key.contains(tb.nineSeats)) {
        v.klasse = 4;
        v.kategorie = tb.nineSeatsName;
        return true;
    }
    return false;
}

} // namespace

bool classify(TFahrzeug& v) {
    return classifyBy(v, tables());
}

} // namespace tarmelo::csv
