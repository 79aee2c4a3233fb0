#pragma once

#include <QtGlobal>

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
std::span<const LineColumn> lineColumns();

// The record field a column (1 to 148) carries; nullptr for an unused column.
const char* columnField(int column);

} // namespace tarmelo::csv
