#include "print/FeatureList.h"
#include "util/Rounding.h"
#include "util/Text.h"

#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <cmath>
#include <optional>
#include <span>

namespace tarmelo::print {

using model::TFahrzeug;

namespace {

// The phrases of each class in their printed order, after the vehicle type, by field; "envkv" stands for the fuel
// consumption. The words come from the field table.
// clang-format off
const char* const kClass1[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "e10", "tueren", "farbe",
    "metallic", "unf", "abs", "allrad", "anhaenger", "behindertengerecht", "einparkhilfe", "fh", "wfs", "export",
    "garantie", "tuev_neu", "leder", "alufelgen", "navi", "partikelfilter", "scheckheft", "sd", "servo", "sitzheizung",
    "esp", "sh", "taxi", "tempomat", "xenon", "zv", "sp", "getriebe", "klima", "abgas", "umwelt", "envkv"};
const char* const kClass2[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "hubraum", "antrieb", "farbe",
    "metallic", "unf", "abs", "behindertengerecht", "estarter", "tuev_neu", "kat", "kickstarter", "koffer",
    "scheckheft", "scheibe", "sturzbuegel", "getriebe"};
const char* const kClass3[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "farbe", "metallic", "unf",
    "abs", "allrad", "anhaenger", "behindertengerecht", "einparkhilfe", "etagenbett", "festbett", "garantie",
    "hagelschaden", "heckgarage", "tuev_neu", "markise", "mittelsitzgruppe", "navi", "partikelfilter", "rundsitzgruppe",
    "scheckheft", "seitensitzgruppe", "dusche", "servo", "sitzheizung", "solar", "sh", "standklima", "tempomat", "tv",
    "vermietung", "wc", "zv", "zgg", "achsen", "getriebe", "klima", "abgas", "umwelt", "sp", "schlafplaetze", "bj",
    "laenge", "breite", "hoehe"};
const char* const kClass4[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "zgg", "farbe", "metallic",
    "unf", "abs", "allrad", "anhaenger", "tuev_neu", "kommunal", "kran", "lbw", "navi", "partikelfilter", "scheckheft",
    "st", "servo", "esp", "sh", "tempomat", "tw", "vermietung", "zv", "breite", "hoehe", "lr_laenge", "lr_breite",
    "lr_hoehe", "fahrerhaus", "getriebe", "klima", "abgas", "umwelt", "sp", "paletten", "ladevolumen"};
const char* const kClass5[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "zgg", "farbe", "metallic",
    "unf", "abs", "allrad", "anhaenger", "ebs", "tuev_neu", "kommunal", "kompressor", "kran", "lbw", "navi",
    "partikelfilter", "ret_int", "scheckheft", "esp", "sh", "standklima", "tempomat", "vermietung", "lr_laenge",
    "lr_breite", "lr_hoehe", "ladevolumen", "hydraulik", "radformel", "getriebe", "klima", "abgas", "umwelt", "achsen",
    "breite", "hoehe", "fahrerhaus", "paletten"};
const char* const kClass6[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "zgg", "farbe", "metallic",
    "unf", "abs", "allrad", "ebs", "tuev_neu", "kompressor", "alufelgen", "navi", "partikelfilter", "ret_int",
    "scheckheft", "ss_bereifung", "esp", "sh", "standklima", "tempomat", "vermietung", "vv", "getriebe", "klima",
    "abgas", "umwelt", "fahrerhaus", "achsen", "hydraulik", "radformel"};
const char* const kClass7[] = {"ez", "hu", "zgg", "achsen", "nutzlast", "abs", "ebs", "tuev_neu", "kran", "lbw", "lf",
    "sb", "vermietung", "breite", "hoehe", "lr_laenge", "lr_breite", "lr_hoehe", "paletten", "ladevolumen"};
const char* const kClass8[] = {"ez", "hu", "zgg", "achsen", "nutzlast", "abs", "ebs", "tuev_neu", "lf", "sb",
    "vermietung", "klima", "breite", "hoehe", "lr_laenge", "lr_breite", "lr_hoehe", "paletten", "ladevolumen"};
const char* const kClass9[] = {"bj", "betrieb", "umwelt", "abs", "allrad", "bss", "partikelfilter", "swe", "strasse",
    "vermietung", "zsa"};
const char* const kClass10[] = {"ez", "hu", "au", "kilometer", "leistung", "kraftstoff", "sp", "farbe", "metallic",
    "unf", "abs", "anhaenger", "fs", "tuev_neu", "kueche", "kb", "navi", "partikelfilter", "ret_int", "scheckheft",
    "ss", "esp", "sh", "standklima", "tempomat", "tv", "vermietung", "wc", "getriebe", "klima", "abgas", "umwelt"};
const char* const kClass11[] = {"bj", "hu", "betrieb", "leistung", "umwelt", "abs", "allrad", "frontheber",
    "fronthydraulik", "tuev_neu", "kabine", "kommunal", "servo", "sh", "standklima", "vermietung", "klima"};
const char* const kClass12[] = {"bj", "betrieb", "kraftstoff", "bh", "hh", "tk", "getriebe", "anhaenger", "kabine",
    "schutzdach", "servo", "vermietung"};
// clang-format on
const std::span<const char* const> kClasses[model::kClassCount] = {
    kClass1, kClass2, kClass3, kClass4, kClass5, kClass6, kClass7, kClass8, kClass9, kClass10, kClass11, kClass12};

// Codes printed in words of their own rather than as their list item.
struct CodePhrase {
    const char* field;
    quint8 code;
    const char* phrase; // UTF-8
};
const CodePhrase kCodePhrases[] = {{"umwelt", 1, "keine Umweltplakette"},
                                   {"hydraulik", 1, "andere Hydraulik"},
                                   {"antrieb", 1, "Kettenantrieb"},
                                   {"antrieb", 2, "Kardanantrieb"},
                                   {"antrieb", 3, "Riemenantrieb"}};

QString text(const QByteArray& bytes) {
    return model::fromCp1252(bytes);
}

bool isEmpty(const QByteArray& field) {
    return util::trimControls(field).isEmpty();
}

// Decimal digits with an optional sign, blanks around them allowed; nothing else is a whole number here.
std::optional<qint64> wholeNumber(const QByteArray& field) {
    bool ok = false;
    const QByteArray t = util::trimControls(field);
    const qint64 n = t.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

QString wholeText(double value, const QLocale& locale) {
    return locale.toString(std::round(value), 'f', 0);
}

class Composer {
public:
    Composer(const TFahrzeug& v, const QLocale& locale) : v_(v), locale_(locale) {}

    FeatureList run() {
        if (!v_.typ.isEmpty() && v_.typ != QByteArrayLiteral("Gebrauchtwagen"))
            add(text(v_.typ));
        if (v_.klasse >= 1 && v_.klasse <= model::kClassCount) {
            for (const char* name : kClasses[v_.klasse - 1]) {
                phrase(*model::field(QLatin1StringView(name)));
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

    void monthYear(const QString& label, const QByteArray& field) {
        const QByteArray t = util::trimControls(field);
        if (!t.isEmpty() && t != "-")
            add(label + text(t));
    }

    void chosen(const QByteArray& field, const char* prefix = "") {
        if (!field.isEmpty() && field != QByteArrayLiteral("keine Angabe"))
            add(QString::fromUtf8(prefix) + text(field));
    }

    // The item of the list whose stored code is exactly the value; none for "nothing chosen" and for codes no
    // item stores.
    void coded(const model::FieldSpec& f, const model::PrintedWords& words) {
        const quint8 code = v_.*f.byte;
        for (const CodePhrase& p : kCodePhrases)
            if (p.code == code && qstrcmp(p.field, f.name) == 0)
                return add(QString::fromUtf8(p.phrase));
        const QList<QByteArray>& items = model::listItems(f.list, v_.klasse);
        for (int i = 1; i < items.size(); ++i)
            if (model::storeCode(f.list, v_.klasse, i) == code)
                return add(words.before + text(items[i]));
    }

    void phrase(const model::FieldSpec& f) {
        const QLatin1StringView name(f.name);
        if (name == "kilometer")
            return mileage();
        if (name == "leistung")
            return power();
        if (name == "kraftstoff") {
            if (v_.kraftstoff != QByteArrayLiteral("andere"))
                chosen(v_.kraftstoff, "Kraftstoff: ");
            return;
        }
        if (name == "farbe") {
            if (!v_.farbe.isEmpty() && util::trimControls(v_.farbe) != QByteArrayLiteral("keine Farbangabe"))
                add(text(util::trimControls(v_.farbe)));
            return;
        }
        if (name == "envkv")
            return consumption();
        const model::PrintedWords words = model::printedWords(f, v_.klasse);
        if (f.kind == model::FieldKind::Flag) {
            if (v_.*f.byte == 1)
                add(words.before);
        } else if (f.kind == model::FieldKind::Code) {
            coded(f, words);
        } else if (f.list != model::ListId::None) {
            chosen(v_.*f.text);
        } else if (f.control == model::Control::Mask && f.width == 7) {
            monthYear(words.before, v_.*f.text);
        } else if (const QByteArray& value = v_.*f.text; !isEmpty(value)) {
            add(words.before + text(util::trimControls(value)) + words.unit);
        }
    }

    void mileage() {
        if (isEmpty(v_.kilometer))
            return;
        const std::optional<qint64> km = wholeNumber(v_.kilometer);
        if (!km) {
            failed_ = QStringLiteral("kilometer");
            return;
        }
        add(locale_.toString(*km) + QStringLiteral(" km"));
    }

    void power() {
        if (isEmpty(v_.leistung))
            return;
        const std::optional<qint64> n = wholeNumber(v_.leistung);
        if (!n) {
            failed_ = QStringLiteral("leistung");
            return;
        }
        if (v_.kwps == 1)
            add(QString::number(util::roundHalfEven(double(*n) * 0.736)) + QStringLiteral(" kW (") + text(v_.leistung) +
                QStringLiteral(" PS)"));
        else
            add(text(v_.leistung) + QStringLiteral(" kW (") + QString::number(util::roundHalfEven(double(*n) / 0.736)) +
                QStringLiteral(" PS)"));
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
        const QByteArray date = util::trimControls(v_.lieferdatum);
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
