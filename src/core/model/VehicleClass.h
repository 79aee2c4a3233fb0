#pragma once

#include <QString>
#include <span>

namespace tarmelo::model {

// The name the navigation bar shows after "Typ:".
QString className(int klasse);
// The class's vehicles in the plural, as a message puts them after "bei" ("bei Baumaschinen").
QString classNameAmong(int klasse);
// Object names of the "Allgemein" and "Ausstattung" pages; they stand at 2c-2 and 2c-1 in the page stack.
QString generalPageName(int klasse);
QString equipmentPageName(int klasse);

enum class Page : quint8 { General, Equipment };
enum class Tab : quint8 { Unchanged, Seite1, Seite2 };

// The fields of each group, in tab order.
struct ClassLayout {
    std::span<const char* const> vehicle; // " Angaben zum Fahrzeug "
    std::span<const char* const> seite1;  // " Besonderheiten ": "Seite 1", or the whole group without tabs
    std::span<const char* const> seite2;  // "Seite 2"; empty for the classes without tabs
    bool hasTabs() const { return !seite2.empty(); }
};
const ClassLayout& classLayout(int klasse);

// Groups that every class shows the same way.
std::span<const char* const> priceGroup();       // " Preis "
std::span<const char* const> optionsGroup();     // " Sonstiges "
std::span<const char* const> consumptionGroup(); // " Kraftstoffverbrauch ", class 1 only

// Where a field's control stands for a class: page and tab of the equipment sub-pages.
struct Placement {
    Page page = Page::General;
    Tab tab = Tab::Unchanged;
    bool found = false;
};
Placement placement(QStringView field, int klasse);

} // namespace tarmelo::model
