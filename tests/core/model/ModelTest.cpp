#include "model/Cp1252.h"
#include "model/Fahrzeug.h"
#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "model/VehicleClass.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace tarmelo::model;

namespace {

QByteArray cp(const char* utf8) {
    return *toCp1252(QString::fromUtf8(utf8));
}

TEST(NewVehicle, DefaultsPerClass) {
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        const TFahrzeug v = newVehicle(c);
        EXPECT_EQ(v.klasse, c);
        EXPECT_EQ(v.waehr, "EUR");
        EXPECT_EQ(v.ez, "  -    ");
        EXPECT_EQ(v.hu, "  -    ");
        EXPECT_EQ(v.au, "  -    ");
        EXPECT_EQ(v.bn, c >= 4 ? 1 : 0);
        EXPECT_EQ(v.mwst, c >= 4 ? QByteArray("19%") : QByteArray());
        EXPECT_TRUE(v.modell.isEmpty());
        EXPECT_EQ(v.preis, 0.0);
        EXPECT_EQ(countPhotos(v), 0);
    }
}

TEST(VehicleArray, AppendRemoveCopy) {
    Inventory inv;
    EXPECT_EQ(appendNew(inv, 0), -1);
    EXPECT_EQ(appendNew(inv, 13), -1);
    EXPECT_TRUE(inv.isEmpty());
    for (int c : {1, 2, 3})
        appendNew(inv, c);
    inv[1].bilder[0] = "photo-b1";
    inv[2].bilder[0] = "photo-c1";
    inv[2].bilder[1] = "photo-c2";
    removeAt(inv, 0);
    ASSERT_EQ(inv.size(), 2);
    EXPECT_EQ(inv[0].klasse, 2);
    EXPECT_EQ(inv[0].bilder[0], "photo-b1");
    EXPECT_EQ(countPhotos(inv[1]), 2);

    const int copy = appendCopy(inv, 1);
    EXPECT_EQ(copy, 2);
    EXPECT_EQ(inv[2], inv[1]);
    inv[2].bilder[1].clear();
    EXPECT_EQ(countPhotos(inv[1]), 2) << "a copy owns its photos";
    removeAt(inv, 2);
    EXPECT_EQ(inv.size(), 2);
}

TEST(VehicleArray, CopyOfLastRecordSurvivesReallocation) {
    Inventory inv;
    appendNew(inv, 1);
    inv.squeeze();
    inv[0].modell = "Golf";
    appendCopy(inv, 0);
    EXPECT_EQ(inv[1].modell, "Golf");
}

TEST(Cut, KeepsTheFirstCharacters) {
    EXPECT_EQ(cut(QByteArray(60, 'x'), field(u"modell")->width).size(), 48);
    EXPECT_EQ(cut("ABCDEF", field(u"leistung")->width), "ABCDE");
    EXPECT_EQ(cut("abc", 0), "abc");
}

TEST(Cp1252, RoundTripsEveryDefinedByte) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString s = fromCp1252(all);
    EXPECT_EQ(s[0x80], QChar(0x20AC));
    EXPECT_EQ(s[0x9F], QChar(0x0178));
    EXPECT_EQ(s[0xE4], QChar(0xE4));
    EXPECT_EQ(toCp1252(s), all);
}

TEST(Cp1252, RefusesWhatItCannotHold) {
    struct Case {
        const char* utf8;
        bool ok;
    } cases[] = {{"Größe €", true}, {"Łódź", false}, {"日本", false}, {"emoji 🚗", false}, {"", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        const auto r = toCp1252(QString::fromUtf8(c.utf8));
        EXPECT_EQ(r.has_value(), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(nonCp1252Message(QString::fromUtf8(c.utf8)).contains(QStringLiteral("Windows-1252")));
        }
    }
    EXPECT_FALSE(nonCp1252Message(QStringLiteral("Ł")).contains('?'));
}

TEST(Cp1252, CaseMapping) {
    EXPECT_EQ(upperCp1252(cp("Königsegg é ß")), cp("KÖNIGSEGG É ß"));
    EXPECT_EQ(lowerCp1252(cp("CITROËN ÄÖÜ")), cp("citroën äöü"));
}

TEST(ValueLists, SizesAndEnds) {
    const int makes[] = {91, 86, 124, 36, 27, 17, 87, 59, 75, 26, 74, 33};
    const int cats[] = {9, 21, 11, 32, 30, 6, 30, 23, 18, 8, 19, 11};
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        const auto& m = listItems(ListId::Marke, c);
        ASSERT_EQ(m.size(), makes[c - 1]);
        EXPECT_EQ(m.first(), items::kBitteAuswaehlen);
        EXPECT_EQ(m.last(), "andere");
        EXPECT_EQ(listItems(ListId::Kategorie, c).size(), cats[c - 1]);
        EXPECT_EQ(listItems(ListId::Kategorie, c).first(), items::kBitteAuswaehlen);
        for (const QByteArray& item : m + listItems(ListId::Kategorie, c))
            EXPECT_LE(item.size(), 40);
    }
    EXPECT_EQ(listItems(ListId::Kraftstoff, 1).size(), 10);
    EXPECT_EQ(listItems(ListId::Kraftstoff, 2).size(), 5);
    EXPECT_EQ(listItems(ListId::Kraftstoff, 12).size(), 9);
    EXPECT_EQ(listItems(ListId::Typ, 1).size(), 6);
    EXPECT_EQ(listItems(ListId::Typ, 7).size(), 4);
    EXPECT_EQ(listItems(ListId::Mwst, 1).size(), 17);
    EXPECT_EQ(listItems(ListId::Lieferfrist, 1).size(), 10);
    EXPECT_EQ(listItems(ListId::Farbe, 1).size(), 21);
    EXPECT_EQ(listItems(ListId::Fahrerhaus, 4)[1], "Doppelkabine");
    EXPECT_EQ(listItems(ListId::Fahrerhaus, 5)[1], "Nahverkehr");
}

// Each text list's widest item must fit the field that stores it.
TEST(ValueLists, ItemsFitTheirFields) {
    for (const FieldSpec& f : fields()) {
        if (f.list == ListId::None || !storedAsText(f.list))
            continue;
        for (int c = 1; c <= 12; ++c)
            for (const QByteArray& item : listItems(f.list, c))
                EXPECT_LE(item.size(), f.width) << f.name << " " << item.constData();
    }
}

TEST(ValueLists, TextShowAndStore) {
    EXPECT_EQ(showText(ListId::Marke, 1, "bmw"), 10);
    EXPECT_EQ(storeText(ListId::Marke, 1, 10), "BMW");
    EXPECT_EQ(showText(ListId::Marke, 1, ""), 0);
    EXPECT_EQ(showText(ListId::Marke, 1, "Yamaha"), -1) << "a make of another class";
    EXPECT_EQ(storeText(ListId::Marke, 1, -1), "");
    EXPECT_EQ(showText(ListId::Marke, 1, cp("KÖNIGSEGG")), 40);
    EXPECT_EQ(showText(ListId::Typ, 1, ""), 0);
    EXPECT_EQ(storeText(ListId::Typ, 1, 0), "Gebrauchtwagen");
    EXPECT_EQ(storeText(ListId::Mwst, 1, showText(ListId::Mwst, 1, "")), "MwSt nicht ausweisbar");
}

TEST(ValueLists, CodeShowAndStore) {
    struct Case {
        ListId list;
        int klasse;
        quint8 stored;
        int shown;
        quint8 storedBack;
    } cases[] = {
        {ListId::Tueren, 1, 0, 0, 0},     {ListId::Tueren, 1, 4, 2, 4},     {ListId::Tueren, 1, 6, 3, 6},
        {ListId::Antrieb, 2, 1, 2, 1},    {ListId::Antrieb, 2, 2, 1, 2},    {ListId::Antrieb, 2, 3, 3, 3},
        {ListId::Antrieb, 2, 7, 0, 0},    {ListId::Fahrerhaus, 4, 2, 2, 2}, {ListId::Fahrerhaus, 5, 0, 0, 0},
        {ListId::Fahrerhaus, 5, 3, 1, 3}, {ListId::Fahrerhaus, 5, 1, 2, 4}, {ListId::Fahrerhaus, 6, 2, 2, 4},
        {ListId::Hydraulik, 5, 1, 4, 1},  {ListId::Hydraulik, 5, 2, 1, 2},  {ListId::Hydraulik, 6, 4, 3, 4},
        {ListId::Hydraulik, 6, 9, 0, 0},  {ListId::Radformel, 5, 7, 7, 7},  {ListId::Radformel, 5, 9, 8, 9},
        {ListId::Radformel, 5, 8, 0, 0},  {ListId::Kwps, 1, 5, 1, 1},       {ListId::Bn, 4, 1, 1, 1},
        {ListId::Abgas, 1, 5, 5, 5},      {ListId::Umwelt, 1, 4, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.list) << " class " << c.klasse << " value " << int(c.stored));
        const int shown = showCode(c.list, c.klasse, c.stored);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(storeCode(c.list, c.klasse, shown), c.storedBack);
    }
}

TEST(ValueLists, Colour) {
    EXPECT_EQ(colourShowText(""), "keine Farbangabe");
    EXPECT_EQ(colourShowText("rot"), "rot");
    EXPECT_EQ(colourStoreText("  blau  "), "blau");
    EXPECT_EQ(colourStoreText(QByteArray(40, 'x')).size(), 32);
}

TEST(FieldSchema, ControlNames) {
    EXPECT_EQ(controlName(u"marke", 3), "combo_3_marke");
    EXPECT_EQ(controlName(u"modell", 3), "le_3_modell");
    EXPECT_EQ(controlName(u"ez", 3), "me_3_ez");
    EXPECT_EQ(controlName(u"preis", 3), "ce_3_preis");
    EXPECT_EQ(controlName(u"abs", 3), "cb_3_abs");
    EXPECT_EQ(controlName(u"unf", 3), "rb_3_unf");
    EXPECT_EQ(controlName(u"fahrerhaus", 5), "combo_5_fh");
    EXPECT_EQ(controlName(u"fh", 1), "cb_1_fh");
    EXPECT_EQ(controlName(u"memo", 7), "Memo7");
    EXPECT_EQ(controlName(u"bilder", 12), "Image12");
    EXPECT_EQ(controlName(u"kennung", 1), "");
}

TEST(FieldSchema, LabelsPerClass) {
    EXPECT_EQ(label(*field(u"vin"), 2), "Fahrgestellnr. (VIN):");
    EXPECT_EQ(label(*field(u"vin"), 3), "Fahrgestellnr.:");
    EXPECT_EQ(label(*field(u"zgg"), 3), "zul. Ges.gew.:");
    EXPECT_EQ(label(*field(u"zgg"), 8), "zul. Ges.gewicht (in kg):");
    EXPECT_EQ(label(*field(u"tuev_neu"), 10), "HU && AU neu");
    EXPECT_EQ(label(*field(u"tuev_neu"), 11), "HU neu");
    EXPECT_EQ(label(*field(u"overpass"), 9), QString::fromUtf8("Überführungskosten:"));
    EXPECT_EQ(label(*field(u"overpass"), 10), QString::fromUtf8("Überführung:"));
}

TEST(FieldSchema, EveryFieldHasItsMember) {
    QSet<QByteArray> names;
    for (const FieldSpec& f : fields()) {
        EXPECT_FALSE(names.contains(f.name)) << f.name;
        names.insert(f.name);
        const bool hasMember = f.text || f.byte || f.amount;
        EXPECT_EQ(hasMember, f.kind != FieldKind::Photos) << f.name;
        EXPECT_EQ(f.text != nullptr, f.kind == FieldKind::Text || f.kind == FieldKind::LongText) << f.name;
        if (f.control == Control::Combo) {
            EXPECT_NE(f.list, ListId::None) << f.name;
        }
    }
    EXPECT_EQ(names.size(), 142);
}

// The page layouts and the field table describe the same controls: every field a class has a control
// for stands in exactly one group of that class, and no group names a field the class lacks.
TEST(PageLayout, MatchesTheFieldTable) {
    for (int c = 1; c <= 12; ++c) {
        SCOPED_TRACE(c);
        const ClassLayout& l = classLayout(c);
        QList<QByteArray> placed;
        for (auto group : {l.vehicle, l.seite1, l.seite2, priceGroup(), optionsGroup()})
            for (const char* f : group)
                placed.append(f);
        if (c == 1)
            for (const char* f : consumptionGroup())
                placed.append(f);
        placed << "inr"
               << "memo"
               << "bilder";
        for (const QByteArray& name : placed) {
            const FieldSpec* f = field(QString::fromLatin1(name));
            ASSERT_NE(f, nullptr) << name.constData();
            EXPECT_TRUE(hasControl(*f, c)) << name.constData();
            EXPECT_EQ(placed.count(name), 1) << name.constData();
        }
        for (const FieldSpec& f : fields())
            if (hasControl(f, c)) {
                EXPECT_TRUE(placed.contains(f.name)) << f.name;
            }
    }
}

TEST(PageLayout, Placement) {
    struct Case {
        const char16_t* field;
        int klasse;
        Page page;
        Tab tab;
    } cases[] = {
        {u"marke", 1, Page::General, Tab::Unchanged},      {u"tuev_neu", 1, Page::Equipment, Tab::Seite1},
        {u"lieferfrist", 1, Page::Equipment, Tab::Seite2}, {u"bj", 3, Page::Equipment, Tab::Seite2},
        {u"bj", 9, Page::General, Tab::Unchanged},         {u"lieferfrist", 9, Page::Equipment, Tab::Unchanged},
        {u"envkv", 1, Page::Equipment, Tab::Unchanged},    {u"inr", 5, Page::General, Tab::Unchanged},
        {u"memo", 12, Page::Equipment, Tab::Unchanged},
    };
    for (const Case& c : cases) {
        const Placement p = placement(c.field, c.klasse);
        EXPECT_TRUE(p.found);
        EXPECT_EQ(p.page, c.page) << QString::fromUtf16(c.field).toStdString();
        EXPECT_EQ(p.tab, c.tab) << QString::fromUtf16(c.field).toStdString();
    }
    EXPECT_FALSE(placement(u"ez", 9).found);
}

TEST(VehicleClass, Names) {
    EXPECT_EQ(className(5), QString::fromUtf8("Lkw über 7,5t"));
    EXPECT_EQ(generalPageName(1), "aPkw");
    EXPECT_EQ(equipmentPageName(12), "bStapler");
    EXPECT_EQ(generalPageName(7), "aHaenger");
    EXPECT_EQ(className(13), "");
}

} // namespace
