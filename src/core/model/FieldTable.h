#pragma once

// The field table itself, for the code that needs its facts at compile time (the line writer); everything else
// reads it through model/FieldSchema.h.

#include "FieldSchema.h"

#include <string_view>

namespace tarmelo::model::table {

using T = TFahrzeug;

// Builds one entry of the field table: the kind, the member and the width first, then only what differs from the
// defaults. Which classes have a control for the field is not said here: the page layouts say it.
struct Def {
    FieldSpec f;

    constexpr Def with(auto set) const {
        Def d = *this;
        set(d.f);
        return d;
    }
    constexpr Def control(Control c, const char* label) const {
        return with([&](FieldSpec& s) {
            s.control = c;
            s.label = label;
        });
    }
    constexpr Def edit(const char* label, Filter filter = Filter::None) const {
        return control(Control::Edit, label).with([&](FieldSpec& s) { s.filter = filter; });
    }
    constexpr Def masked(const char* mask, const char* label) const {
        return control(Control::Mask, label).with([&](FieldSpec& s) { s.mask = mask; });
    }
    constexpr Def combo(ListId list, const char* label = nullptr) const {
        return control(Control::Combo, label).with([&](FieldSpec& s) { s.list = list; });
    }
    constexpr Def check(const char* label) const { return control(Control::Check, label); }
    constexpr Def radio(const char* label) const { return control(Control::Radio, label); }
    constexpr Def amountEdit(const char* label) const { return control(Control::Amount, label); }
    constexpr Def memo() const { return control(Control::Memo, nullptr); }
    constexpr Def image() const { return control(Control::Image, nullptr); }
    constexpr Def range(int decimals, double maximum) const {
        return with([&](FieldSpec& s) { s.range = {decimals, maximum}; });
    }
    constexpr Def alt(const char* label, ClassSet classes) const {
        return with([&](FieldSpec& s) {
            s.altLabel = label;
            s.altClasses = classes;
        });
    }
    constexpr Def hint(const char* hint) const {
        return with([&](FieldSpec& s) { s.hint = hint; });
    }
    constexpr Def atOnce() const {
        return with([](FieldSpec& s) { s.storesAtOnce = true; });
    }
    constexpr Def trim(ClassSet classes = kAllClasses) const {
        return with([&](FieldSpec& s) { s.trimIn = classes; });
    }
    constexpr Def below(int bound) const {
        return with([&](FieldSpec& s) { s.below = bound; });
    }
    constexpr Def required(ClassSet classes = kAllClasses) const {
        return with([&](FieldSpec& s) { s.required = classes; });
    }
    constexpr Def printed(const char* words, const char* unit = nullptr, ClassSet in = 0) const {
        return with([&](FieldSpec& s) {
            s.printed = words;
            s.unit = unit;
            s.printedIn = in;
        });
    }
    constexpr Def requiredUsed(ClassSet classes) const {
        return with([&](FieldSpec& s) { s.requiredUsed = classes; });
    }
};

constexpr Def make(const char* name, FieldKind kind, int width = 0) {
    Def d{};
    d.f.name = name;
    d.f.kind = kind;
    d.f.width = width;
    return d;
}
constexpr Def text(const char* name, QByteArray T::*member, int width) {
    return make(name, FieldKind::Text, width).with([&](FieldSpec& s) { s.text = member; });
}
constexpr Def longText(const char* name, QByteArray T::*member, int width = 0) {
    return make(name, FieldKind::LongText, width).with([&](FieldSpec& s) { s.text = member; });
}
constexpr Def flag(const char* name, quint8 T::*member) {
    return make(name, FieldKind::Flag).with([&](FieldSpec& s) { s.byte = member; });
}
constexpr Def code(const char* name, quint8 T::*member) {
    return make(name, FieldKind::Code).with([&](FieldSpec& s) { s.byte = member; });
}
constexpr Def amount(const char* name, double T::*member) {
    return make(name, FieldKind::Amount).with([&](FieldSpec& s) { s.amount = member; });
}
constexpr Def photos(const char* name) {
    return make(name, FieldKind::Photos);
}

// The fields in record order.
inline constexpr Def kFieldTable[] = {
    code("klasse", &T::klasse),
    text("kennung", &T::kennung, 40),
    text("inr", &T::inr, 40).edit("Interne Nummer:", Filter::Inr).trim(),
    text("kategorie", &T::kategorie, 40).combo(ListId::Kategorie, "Kategorie:").required(),
    text("marke", &T::marke, 40).combo(ListId::Marke, "Marke:").atOnce().required(),
    text("modell", &T::modell, 48).edit("Modell:").atOnce().trim().required(),
    text("leistung", &T::leistung, 5).edit("Leistung:", Filter::Digits).atOnce().trim(cls(1, 2, 3, 4, 5, 6, 10)),
    text("hu", &T::hu, 7).masked("99-9999;1;_", "HU bis:").printed("HU: ").atOnce(),
    text("au", &T::au, 7).masked("99-9999;1;_", "AU bis:").printed("AU: ").atOnce(),
    text("ez", &T::ez, 7).masked("99-9999;1;_", "EZ:").atOnce().requiredUsed(cls(1, 2, 3, 4, 5, 6, 7, 8, 10)),
    text("kilometer", &T::kilometer, 7)
        .edit("Kilometerstand:", Filter::Digits)
        .atOnce()
        .trim()
        .requiredUsed(cls(1, 2, 3, 4, 5, 6, 10)),
    amount("preis", &T::preis)
        .amountEdit("Preis:")
        .range(2, 500000000)
        .hint("Preis inkl. Überführungskosten")
        .atOnce()
        .required(),
    text("vin", &T::vin, 40)
        .edit("Fahrgestellnr. (VIN):", Filter::Inr)
        .alt("Fahrgestellnr.:", cls(3, 4, 5, 6, 7, 8, 9, 10, 11, 12))
        .trim(),
    flag("unf", &T::unf).radio("Unfallschaden").required(),
    text("farbe", &T::farbe, 32).combo(ListId::Farbe, "Farbe:").trim(),
    text("klima", &T::klima, 33).combo(ListId::Klima, "Klimatisierung:"),
    flag("taxi", &T::taxi).check("Taxi"),
    flag("behindertengerecht", &T::behindertengerecht).check("behindertengerecht").alt("Behinderten-Umbau", cls(2)),
    flag("tagesangebot", &T::tagesangebot).check("Tagesangebot"),
    amount("hpreis", &T::hpreis).amountEdit("Händlerpreis:").range(2, 500000000),
    longText("memo", &T::memo, 2000).memo().trim(),
    flag("metallic", &T::metallic).check("Metallic-Lackierung"),
    text("waehr", &T::waehr, 3).combo(ListId::Waehr, "Währung:").atOnce(),
    text("mwst", &T::mwst, 21).combo(ListId::Mwst).atOnce(),
    flag("bn", &T::bn).combo(ListId::Bn).atOnce(),
    flag("garantie", &T::garantie).check("Garantie"),
    flag("alufelgen", &T::alufelgen).check("Leichtmetallfelgen"),
    flag("esp", &T::esp).check("Stabilitätskontrolle"),
    flag("abs", &T::abs).check("ABS"),
    flag("anhaenger", &T::anhaenger).check("Anhängerkupplung"),
    flag("leder", &T::leder).check("Lederausstattung"),
    flag("wfs", &T::wfs).check("el. Wegfahrsperre"),
    flag("navi", &T::navi).check("Navigationssystem"),
    flag("sd", &T::sd).check("Schiebedach"),
    flag("zv", &T::zv).check("Zentralverriegelung"),
    flag("fh", &T::fh).check("el. Fensterheber"),
    flag("allrad", &T::allrad).check("Allradantrieb"),
    code("tueren", &T::tueren).combo(ListId::Tueren, "Anzahl der Türen:").printed("Türen: "),
    code("umwelt", &T::umwelt).combo(ListId::Umwelt, "Umweltplakette:"),
    flag("servo", &T::servo).check("Servolenkung"),
    flag("zusatz_flag_1", &T::zusatz_flag_1),
    flag("scheckheft", &T::scheckheft).check("Scheckheftgepflegt").printed("scheckheftgepflegt"),
    flag("kat", &T::kat).check("Katalysator"),
    flag("kickstarter", &T::kickstarter).check("Kickstarter"),
    flag("estarter", &T::estarter).check("Elektrostarter").printed("E-Starter"),
    code("antrieb", &T::antrieb).combo(ListId::Antrieb, "Antriebsart:"),
    text("hubraum", &T::hubraum, 4).edit("Hubraum:", Filter::Digits).printed("", " cm³"),
    text("tk", &T::tk, 5).edit("Tragkraft (in kg):", Filter::Digits),
    text("nutzlast", &T::nutzlast, 6).edit("Nutzlast (in kg):", Filter::Digits),
    text("zgg", &T::zgg, 6)
        .edit("zul. Ges.gew.:", Filter::Digits)
        .alt("zul. Ges.gewicht (in kg):", cls(4, 5, 6, 7, 8))
        .trim(cls(3, 4, 5, 6))
        .printed("zulässiges Gesamtgewicht: ", " kg"),
    text("hh", &T::hh, 7).edit("Hubhöhe (in mm):", Filter::Digits),
    text("bh", &T::bh, 5).edit("Bauhöhe (in mm):", Filter::Digits),
    text("bj", &T::bj, 4).masked("9999;1;_", "Baujahr:").trim(),
    text("betrieb", &T::betrieb, 6).edit("Betriebsstunden:", Filter::Digits),
    text("sp", &T::sp, 3)
        .edit("Anzahl der Sitzplätze:", Filter::Digits)
        .alt("Anz. Sitzplätze:", cls(3, 4))
        .printed("Sitzplätze: "),
    code("abgas", &T::abgas).combo(ListId::Abgas, "Schadstoffklasse:").alt("Schadstoffkl.:", cls(3, 5, 6, 10)),
    code("fahrerhaus", &T::fahrerhaus).combo(ListId::Fahrerhaus, "Fahrerhaus:"),
    text("achsen", &T::achsen, 2).edit("Achsen:", Filter::Digits),
    flag("tempomat", &T::tempomat).check("Tempomat"),
    flag("sh", &T::sh).check("Standheizung"),
    flag("kabine", &T::kabine).check("Kabine"),
    flag("schutzdach", &T::schutzdach).check("Schutzdach"),
    flag("vv", &T::vv).check("Vollverkleidung"),
    flag("kommunal", &T::kommunal).check("Kommunalfahrzeug"),
    flag("kran", &T::kran).check("Kran"),
    flag("ret_int", &T::ret_int).check("Retarder/Intarder"),
    flag("fs", &T::fs).check("Fahrerschlafplatz"),
    flag("tv", &T::tv).check("TV"),
    flag("wc", &T::wc).check("WC"),
    flag("lbw", &T::lbw).check("Ladebordwand"),
    code("hydraulik", &T::hydraulik).combo(ListId::Hydraulik, "Hydraulik:").printed(""),
    flag("st", &T::st).check("Schiebetür"),
    code("radformel", &T::radformel).combo(ListId::Radformel, "Radformel:"),
    flag("tw", &T::tw).check("Trennwand"),
    flag("ebs", &T::ebs).check("EBS"),
    flag("vermietung", &T::vermietung).check("Vermietung möglich"),
    flag("kompressor", &T::kompressor).check("Kompressor"),
    flag("lf", &T::lf).check("Luftfederung"),
    flag("sb", &T::sb).check("Scheibenbremse"),
    flag("fronthydraulik", &T::fronthydraulik).check("Fronthydraulik"),
    flag("bss", &T::bss).check("BSS"),
    flag("swe", &T::swe).check("Schnellwechseleinr.").printed("Schnellwechseleinrichtung"),
    flag("zsa", &T::zsa).check("ZSA"),
    flag("kueche", &T::kueche).check("Küche"),
    flag("kb", &T::kb).check("Kühlbox"),
    flag("ss", &T::ss).check("Schlafsitze"),
    flag("frontheber", &T::frontheber).check("Frontheber"),
    flag("hvisible", &T::hvisible)
        .check("Nur für Händler sichtbar")
        .hint("Fahrzeug ist nur für andere Händler sichtbar"),
    flag("reserved", &T::reserved)
        .check("Fahrzeug reserviert")
        .hint("Fahrzeug ist für andere Nutzer vorerst unsichtbar"),
    flag("envkv", &T::envkv)
        .check("Angaben gemäß EnVKV:")
        .hint("Energieverbrauchskennzeichnungsverordnung für Neuwagen"),
    text("innerorts", &T::innerorts, 5).edit("Innerorts:", Filter::Decimal).trim().below(100).required(cls(1)),
    text("ausserorts", &T::ausserorts, 5).edit("Außerorts:", Filter::Decimal).trim().below(100).required(cls(1)),
    text("kombiniert", &T::kombiniert, 5).edit("Kombiniert:", Filter::Decimal).trim().below(100).required(cls(1)),
    text("co2", &T::co2, 6).edit("CO2-Emiss.:", Filter::Decimal).trim().below(1000).required(cls(1)),
    flag("xenon", &T::xenon).check("Xenonscheinwerfer"),
    flag("sitzheizung", &T::sitzheizung).check("Sitzheizung"),
    flag("partikelfilter", &T::partikelfilter).check("Partikelfilter"),
    flag("einparkhilfe", &T::einparkhilfe).check("Einparkhilfe"),
    text("lieferdatum", &T::lieferdatum, 10).masked("99/99/9999;1;_", "Lieferdatum:").atOnce(),
    text("lieferfrist", &T::lieferfrist, 12)
        .combo(ListId::Lieferfrist, "Lieferfrist:")
        .hint("Lieferzeitraum ab Bestellung (nur bei Neuwagen)"),
    amount("overpass", &T::overpass)
        .amountEdit("Überführungskosten:")
        .range(0, 9999)
        .alt("Überführung:", cls(3, 4, 5, 6, 7, 8, 10))
        .hint("Überführungskosten (Bruttopreis, Währung siehe Reiter \"Allgemein\")"),
    flag("tuev_neu", &T::tuev_neu).check("HU && AU neu").alt("HU neu", cls(7, 8, 11)),
    text("kraftstoff", &T::kraftstoff, 24).combo(ListId::Kraftstoff, "Kraftstoffart:").required(cls(1)),
    text("getriebe", &T::getriebe, 14).combo(ListId::Getriebe, "Getriebe:"),
    flag("export", &T::export_).check("Exportfahrzeug"),
    flag("eyecatcher", &T::eyecatcher)
        .check("Blickfänger")
        .hint("Fahrzeug wird in der Suchergebnis-Liste hervorgehoben dargestellt (EUR 0,10 Fahrzeug/Tag)"),
    longText("zusatz_text_1", &T::zusatz_text_1),
    longText("zusatz_text_2", &T::zusatz_text_2),
    longText("zusatz_text_3", &T::zusatz_text_3),
    flag("topincategory", &T::topincategory)
        .check("Seite-1-Inserat")
        .hint("Fahrzeug steht bei Übereinstimmung auf der ersten Seite der Suchergebnisliste (kostenpflichtig)"),
    longText("zusatz_text_4", &T::zusatz_text_4),
    flag("e10", &T::e10).check("E10-geeignet"),
    flag("zusatz_flag_2", &T::zusatz_flag_2),
    flag("zusatz_flag_3", &T::zusatz_flag_3),
    flag("koffer", &T::koffer).check("Koffer"),
    flag("sturzbuegel", &T::sturzbuegel).check("Sturzbügel"),
    flag("scheibe", &T::scheibe).check("Scheibe"),
    flag("standklima", &T::standklima).check("Standklimaanlage").printed("Standklima", nullptr, cls(3, 5, 6, 11)),
    flag("ss_bereifung", &T::ss_bereifung).check("SS-Bereifung").printed("Super-Single-Bereifung"),
    flag("strasse", &T::strasse).check("Straßenzulassung"),
    flag("etagenbett", &T::etagenbett).check("Etagenbett"),
    flag("festbett", &T::festbett).check("Festbett"),
    flag("heckgarage", &T::heckgarage).check("Heckgarage"),
    flag("markise", &T::markise).check("Markise"),
    flag("dusche", &T::dusche).check("Separate Dusche"),
    flag("solar", &T::solar).check("Solaranlage"),
    flag("mittelsitzgruppe", &T::mittelsitzgruppe).check("Mittelsitzgruppe"),
    flag("rundsitzgruppe", &T::rundsitzgruppe).check("Rundsitzgruppe"),
    flag("seitensitzgruppe", &T::seitensitzgruppe).check("Seitensitzgruppe"),
    flag("hagelschaden", &T::hagelschaden).check("Hagelschaden"),
    text("schlafplaetze", &T::schlafplaetze, 3).edit("Anz. Schlafpl.:", Filter::Digits).printed("Schlafplätze: "),
    text("laenge", &T::laenge, 5).edit("Länge (in mm):", Filter::Digits),
    text("breite", &T::breite, 5).edit("Breite (in mm):", Filter::Digits),
    text("hoehe", &T::hoehe, 5).edit("Höhe (in mm):", Filter::Digits),
    text("paletten", &T::paletten, 3).edit("Europaletten:", Filter::Digits).printed("Europalettenstellplätze: "),
    text("ladevolumen", &T::ladevolumen, 5).edit("Ladevol. (in m³):", Filter::Digits).printed("Ladevolumen: ", " m³"),
    text("lr_laenge", &T::lr_laenge, 5).edit("LR-Länge (in mm):", Filter::Digits).printed("Laderaumlänge: ", " mm"),
    text("lr_breite", &T::lr_breite, 5).edit("LR-Breite (in mm):", Filter::Digits).printed("Laderaumbreite: ", " mm"),
    text("lr_hoehe", &T::lr_hoehe, 5).edit("LR-Höhe (in mm):", Filter::Digits).printed("Laderaumhöhe: ", " mm"),
    text("typ", &T::typ, 14).combo(ListId::Typ, "Fahrzeugart:"),
    photos("bilder").image(),
    flag("kwps", &T::kwps).combo(ListId::Kwps).atOnce(),
};

// The entry of a field, found while compiling (where it is used in a constant expression); an empty entry for no
// name.
constexpr FieldSpec field(const char* name) {
    if (!name)
        return FieldSpec{};
    for (const Def& d : kFieldTable)
        if (std::string_view(d.f.name) == std::string_view(name))
            return d.f;
    throw "no such field";
}

} // namespace tarmelo::model::table
