#pragma once

#include <QtGlobal>

#include <iterator>
#include <span>

namespace tarmelo::csv {

// How a column of the marketplace line carries its field; the writer and the reader both work from it.
enum class ColumnKind : quint8 {
    Unused,      // written empty, not read
    Kennung,     // column 1: read trimmed, cut, quotes removed; the writer puts the position there
    Key,         // column 2 into inr: read trimmed with doubled quotes undone; the writer puts the key there
    Category,    // read trimmed and cut, then classified; written by its line name
    Brand,       // the same for the brand
    Quoted,      // read trimmed with doubled quotes undone; written quoted, quotes doubled, line breaks as blanks
    Colour,      // as Quoted; "keine Farbangabe" is written empty
    Text,        // read trimmed and cut; written quoted as stored
    Number,      // a whole number of at most the field's width of digits; written as stored
    Power,       // as Number; written in kW (a PS value converted)
    Year,        // a whole number whose first digits fill the field; a blank one is written empty
    Month,       // MM.YYYY read as the record's MM-YYYY; the empty mask text is written empty
    Date,        // read trimmed, the empty mask text when empty; written quoted unless it is the empty mask text
    Price,       // the price with a point, written net with two decimals
    DealerPrice, // as Price; a zero amount is written empty
    VatHidden,   // "1" when the VAT is not shown (gross prices), read into bn the other way round
    Type,        // "1" sets typ to the column's condition
    Flag,        // "1" sets it
    ListCode,    // the code of the field's list item
    Days,        // the delivery period in days
    Memo,        // doubled quotes undone, the euro sign as its Latin-9 byte; line breaks written as ", "
    Currency,    // the list's only currency; written quoted
    Vat,         // the rate with a point
    Doors,       // class 1 only: 2/3, 4/5 and 6/7 doors kept as 2, 4 and 6
    Code,        // a code the field's list can store
    Consumption, // a decimal from 1 up to the field's bound, kept with a comma; written with two decimals
    Overpass,    // a decimal from 0 to 9999 read, a whole number written; zero written empty
};

struct LineColumn {
    const char* field; // nullptr for an unused column
    ColumnKind kind;
    const char* typ = nullptr; // Type: the condition, UTF-8
};

// The 148 columns in line order.
namespace columns {
using K = ColumnKind;

inline constexpr LineColumn kLineColumns[] = {
    {"kennung", K::Kennung},
    {"inr", K::Key},
    {"kategorie", K::Category},
    {"marke", K::Brand},
    {"modell", K::Quoted}, // 5
    {"leistung", K::Power},
    {"hu", K::Month},
    {"au", K::Month},
    {"ez", K::Month},
    {"kilometer", K::Number}, // 10
    {"preis", K::Price},
    {"bn", K::VatHidden},
    {nullptr, K::Unused},
    {"typ", K::Type, "Oldtimer"},
    {"vin", K::Text}, // 15
    {"unf", K::Flag},
    {"farbe", K::Colour},
    {"klima", K::ListCode},
    {"taxi", K::Flag},
    {"behindertengerecht", K::Flag}, // 20
    {"typ", K::Type, "Jahreswagen"},
    {"typ", K::Type, "Neuwagen"},
    {"tagesangebot", K::Flag},
    {"hpreis", K::DealerPrice},
    {nullptr, K::Unused}, // 25
    {"memo", K::Memo},
    {nullptr, K::Unused},
    {"metallic", K::Flag},
    {"waehr", K::Currency},
    {"mwst", K::Vat}, // 30
    {"garantie", K::Flag},
    {"alufelgen", K::Flag},
    {"esp", K::Flag},
    {"abs", K::Flag},
    {"anhaenger", K::Flag}, // 35
    {"leder", K::Flag},
    {"wfs", K::Flag},
    {"navi", K::Flag},
    {"sd", K::Flag},
    {"zv", K::Flag}, // 40
    {"fh", K::Flag},
    {"allrad", K::Flag},
    {"tueren", K::Doors},
    {"umwelt", K::Code},
    {"servo", K::Flag}, // 45
    {"zusatz_flag_1", K::Flag},
    {"scheckheft", K::Flag},
    {"kat", K::Flag},
    {"kickstarter", K::Flag},
    {"estarter", K::Flag}, // 50
    {"typ", K::Type, "Vorführwagen"},
    {"antrieb", K::Code},
    {"hubraum", K::Number},
    {"tk", K::Number},
    {"nutzlast", K::Number}, // 55
    {"zgg", K::Number},
    {"hh", K::Number},
    {"bh", K::Number},
    {"bj", K::Year},
    {"betrieb", K::Number}, // 60
    {"sp", K::Number},
    {"abgas", K::Code},
    {"fahrerhaus", K::Code},
    {"achsen", K::Number},
    {"tempomat", K::Flag}, // 65
    {"sh", K::Flag},
    {"kabine", K::Flag},
    {"schutzdach", K::Flag},
    {"vv", K::Flag},
    {"kommunal", K::Flag}, // 70
    {"kran", K::Flag},
    {"ret_int", K::Flag},
    {"fs", K::Flag},
    {"tv", K::Flag},
    {"wc", K::Flag}, // 75
    {"lbw", K::Flag},
    {"hydraulik", K::Code},
    {"st", K::Flag},
    {"radformel", K::Code},
    {"tw", K::Flag}, // 80
    {"ebs", K::Flag},
    {"vermietung", K::Flag},
    {"kompressor", K::Flag},
    {"lf", K::Flag},
    {"sb", K::Flag}, // 85
    {"fronthydraulik", K::Flag},
    {"bss", K::Flag},
    {"swe", K::Flag},
    {"zsa", K::Flag},
    {"kueche", K::Flag}, // 90
    {"kb", K::Flag},
    {"ss", K::Flag},
    {"frontheber", K::Flag},
    {"hvisible", K::Flag},
    {"reserved", K::Flag}, // 95
    {"envkv", K::Flag},
    {"innerorts", K::Consumption},
    {"ausserorts", K::Consumption},
    {"kombiniert", K::Consumption},
    {"co2", K::Consumption}, // 100
    {"xenon", K::Flag},
    {"sitzheizung", K::Flag},
    {"partikelfilter", K::Flag},
    {"einparkhilfe", K::Flag},
    {nullptr, K::Unused}, // 105
    {"lieferdatum", K::Date},
    {"lieferfrist", K::Days},
    {"overpass", K::Overpass},
    {"tuev_neu", K::Flag},
    {"kraftstoff", K::ListCode}, // 110
    {"getriebe", K::ListCode},
    {"export", K::Flag},
    {"typ", K::Type, "Tageszulassung"},
    {"eyecatcher", K::Flag},
    {"zusatz_text_1", K::Text}, // 115
    {"zusatz_text_2", K::Text},
    {"topincategory", K::Flag},
    {"zusatz_text_4", K::Text},
    {nullptr, K::Unused},
    {"e10", K::Flag}, // 120
    {"zusatz_text_3", K::Text},
    {"zusatz_flag_2", K::Flag},
    {"zusatz_flag_3", K::Flag},
    {"koffer", K::Flag},
    {"sturzbuegel", K::Flag}, // 125
    {"scheibe", K::Flag},
    {"standklima", K::Flag},
    {"ss_bereifung", K::Flag},
    {"strasse", K::Flag},
    {"etagenbett", K::Flag}, // 130
    {"festbett", K::Flag},
    {"heckgarage", K::Flag},
    {"markise", K::Flag},
    {"dusche", K::Flag},
    {"solar", K::Flag}, // 135
    {"mittelsitzgruppe", K::Flag},
    {"rundsitzgruppe", K::Flag},
    {"seitensitzgruppe", K::Flag},
    {"hagelschaden", K::Flag},
    {"schlafplaetze", K::Number}, // 140
    {"laenge", K::Number},
    {"breite", K::Number},
    {"hoehe", K::Number},
    {"paletten", K::Number},
    {"ladevolumen", K::Number}, // 145
    {"lr_laenge", K::Number},
    {"lr_breite", K::Number},
    {"lr_hoehe", K::Number},
};
static_assert(std::size(kLineColumns) == 148);
} // namespace columns

inline std::span<const LineColumn> lineColumns() {
    return columns::kLineColumns;
}

// The record field a column (1 to 148) carries; nullptr for an unused column.
const char* columnField(int column);

} // namespace tarmelo::csv
