#include "model/FieldSchema.h"
#include "model/ValueLists.h"
#include "model/VehicleClass.h"

#include <gtest/gtest.h>

using namespace tarmelo::model;

namespace {

const FieldSpec& spec(const char* name) {
    const FieldSpec* f = field(QLatin1StringView(name));
    EXPECT_NE(f, nullptr) << name;
    static const FieldSpec none{};
    return f ? *f : none;
}

} // namespace

TEST(FieldFacts, RequiredFieldsCarryTheAsterisk) {
    struct Case {
        const char* field;
        int klasse;
        bool required;
    } cases[] = {
        {"marke", 1, true},       {"marke", 12, true},      {"modell", 7, true},     {"kategorie", 9, true},
        {"preis", 5, true},       {"unf", 1, true},         {"unf", 4, true},        {"unf", 9, false}, // no control
        {"kraftstoff", 1, true},  {"kraftstoff", 4, false}, {"innerorts", 1, true},  {"co2", 1, true},
        {"kombiniert", 2, false}, {"ez", 1, false},         {"kilometer", 1, false}, {"hpreis", 1, false},
        {"inr", 1, false}, // its asterisk follows the automatic numbers, not the table
        {"marke", 0, false},      {"marke", 13, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isRequired(spec(c.field), c.klasse), c.required) << c.field << " " << c.klasse;
}

TEST(FieldFacts, RequiredFieldsHaveControls) {
    for (const FieldSpec& f : fields()) {
        for (int k = 1; k <= 12; ++k) {
            if (inSet(f.requiredUsed, k)) {
                EXPECT_TRUE(hasControl(f, k)) << f.name << " " << k;
            }
        }
    }
}

TEST(FieldFacts, LineCodesRoundTrip) {
    struct Case {
        ListId list;
        int codes;
        const char* none; // the code of an item without code
    } cases[] = {
        {ListId::Klima, 3, ""},
        {ListId::Kraftstoff, 9, ""},
        {ListId::Getriebe, 3, "0"},
        {ListId::Lieferfrist, 9, ""},
    };
    for (const Case& c : cases) {
        const auto& codes = lineCodes(c.list);
        EXPECT_EQ(codes.size(), c.codes);
        for (const LineCode& lc : codes) {
            EXPECT_EQ(lineCode(c.list, lc.item), lc.code);
            EXPECT_EQ(lineItem(c.list, lc.code), lc.item);
            // Every coded item is an item of the list of some class.
            bool listed = false;
            for (int k = 1; k <= 12; ++k)
                listed = listed || listItems(c.list, k).contains(lc.item);
            EXPECT_TRUE(listed) << lc.item.constData();
        }
        EXPECT_EQ(lineCode(c.list, items::kKeineAngabe), QByteArray(c.none));
        EXPECT_EQ(lineCode(c.list, "unbekannt"), QByteArray(c.none));
        EXPECT_EQ(lineItem(c.list, "99"), items::kKeineAngabe);
        EXPECT_EQ(lineItem(c.list, ""), items::kKeineAngabe);
    }
    EXPECT_EQ(lineItem(ListId::Kraftstoff, "1 "), items::kKeineAngabe); // compared exactly
    EXPECT_TRUE(lineCodes(ListId::Marke).isEmpty());
}

TEST(FieldFacts, StorableCodes) {
    struct Case {
        ListId list;
        std::vector<int> codes;
    } cases[] = {
        {ListId::Umwelt, {0, 1, 2, 3, 4}},    {ListId::Abgas, {0, 1, 2, 3, 4, 5}},
        {ListId::Antrieb, {0, 1, 2, 3}},      {ListId::Fahrerhaus, {0, 1, 2, 3, 4}},
        {ListId::Hydraulik, {0, 1, 2, 3, 4}}, {ListId::Radformel, {0, 1, 2, 3, 4, 5, 6, 7, 9}},
        {ListId::Tueren, {0, 2, 4, 6}},
    };
    for (const Case& c : cases) {
        std::bitset<256> expected;
        for (int code : c.codes)
            expected.set(size_t(code));
        EXPECT_EQ(storableCodes(c.list), expected) << int(c.list);
    }
}

TEST(FieldFacts, VatPercent) {
    struct Case {
        const char* text;
        std::optional<double> rate;
    } cases[] = {
        {"19%", 19},
        {"19,6%", 19.6},
        {"7,6%", 7.6},
        {"0%", 0},
        {" 19 % ", 19},
        {"19", 19},
        {"-7%", {}},
        {"1.000%", {}},
        {"%", {}},
        {"", {}},
        {"abc", {}},
        {"19%%", {}},
        {"MwSt nicht ausweisbar", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vatPercent(c.text), c.rate) << c.text;
    // Every listed rate but the first can be read.
    const auto& rates = listItems(ListId::Mwst, 1);
    for (qsizetype i = 1; i < rates.size(); ++i)
        EXPECT_TRUE(vatPercent(rates[i]).has_value()) << rates[i].constData();
}

TEST(FieldFacts, ConsumptionBoundsAndSharedLayouts) {
    EXPECT_EQ(spec("innerorts").below, 100);
    EXPECT_EQ(spec("ausserorts").below, 100);
    EXPECT_EQ(spec("kombiniert").below, 100);
    EXPECT_EQ(spec("co2").below, 1000);
    // Classes 4 to 6 and 7 to 8 show the same vehicle group; 7 and 8 the same second tab.
    for (int k : {5, 6})
        EXPECT_TRUE(std::ranges::equal(classLayout(k).vehicle, classLayout(4).vehicle));
    EXPECT_TRUE(std::ranges::equal(classLayout(8).vehicle, classLayout(7).vehicle));
    EXPECT_TRUE(std::ranges::equal(classLayout(8).seite2, classLayout(7).seite2));
}
