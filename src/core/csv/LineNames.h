#pragma once

#include <QByteArray>
#include <QList>

#include <span>

namespace tarmelo::csv {

// How a marketplace line names a category or a brand. The writer writes these names; the reader finds the category
// and the brand again by them.

// The name of a category of the class: the item with its umlauts written out, for some classes followed by the
// class's suffix (" unter 7,5t" ...), or a name of its own ("Kasten", "andere PKW").
QByteArray categoryLineName(int klasse, const QByteArray& item);

// Every category a line may name for the class, with its line name: the items of the class's list and those the
// list no longer offers but lines still carry.
struct LineCategory {
    QByteArray item;
    QByteArray line;
};
QList<LineCategory> lineCategories(int klasse);

// The name of a brand: in capitals with its umlauts written out, or a name of its own ("ARCTIC_CAT").
QByteArray brandLineName(const QByteArray& marke);

// Brands whose line name is not just the brand in capitals with its umlauts written out. The reader looks
// them up in one step: 1, 2 or 3 for those classes, 4 for the classes 4 to 12.
struct RenamedBrand {
    int step;
    const char* item; // UTF-8
    const char* line;
};
std::span<const RenamedBrand> renamedBrands();

} // namespace tarmelo::csv
