#pragma once

#include <QByteArray>
#include <QList>

#include <span>

namespace tarmelo::csv {

// How the line names a category or a brand where it is not just the item with its umlauts written out. Items are UTF-8,
// as in the category lists.

// Items whose line name carries their class's suffix; the items in Windows-1252, taken from the category lists.
struct SuffixedCategories {
    int klasse;
    const char* suffix;
    QList<QByteArray> items;
};
const QList<SuffixedCategories>& suffixedCategories();

// Items whose line name differs.
struct RenamedCategory {
    int klasse;
    const char* item;
    const char* line;
};
std::span<const RenamedCategory> renamedCategories();

// Brands whose line name is not just the brand in capitals with its umlauts written out. The reader looks
// them up in one step: 1, 2 or 3 for those classes, 4 for the classes 4 to 12.
struct RenamedBrand {
    int step;
    const char* item;
    const char* line;
};
std::span<const RenamedBrand> renamedBrands();

} // namespace tarmelo::csv
