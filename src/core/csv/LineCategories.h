#pragma once

#include <span>

namespace tarmelo::csv {

// How the line names a category where it is not just the item with its umlauts written out. Items are UTF-8,
// as in the category lists.

// Items whose line name carries their class's suffix.
struct SuffixedCategories {
    int klasse;
    const char* suffix;
    std::span<const char* const> items;
};
std::span<const SuffixedCategories> suffixedCategories();

// Items whose line name differs.
struct RenamedCategory {
    int klasse;
    const char* item;
    const char* line;
};
std::span<const RenamedCategory> renamedCategories();

} // namespace tarmelo::csv
