#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <bitset>
#include <optional>

namespace tarmelo::model {

enum class ListId : quint8 {
    None,
    Marke,
    Kategorie,
    Farbe,
    Kraftstoff,
    Getriebe,
    Klima,
    Abgas,
    Umwelt,
    Tueren,
    Kwps,
    Waehr,
    Bn,
    Mwst,
    Lieferfrist,
    Typ,
    Antrieb,
    Fahrerhaus,
    Hydraulik,
    Radformel,
};

// The items of a list for a class, as Windows-1252 bytes in list order.
const QList<QByteArray>& listItems(ListId list, int klasse);
QStringList listDisplayItems(ListId list, int klasse);

// Lists whose choice is stored as the item text (the others store a code).
bool storedAsText(ListId list);

// Show and store rules of the choice fields. An index of -1 means no selection.
int showText(ListId list, int klasse, const QByteArray& stored);
QByteArray storeText(ListId list, int klasse, int index);
int showCode(ListId list, int klasse, quint8 stored);
quint8 storeCode(ListId list, int klasse, int index);

// A choice stored as item text travels in the marketplace line as a code.
struct LineCode {
    QByteArray item;
    QByteArray code;
};
// The codes of Klima, Kraftstoff, Getriebe and Lieferfrist (the delivery period in days); empty for other lists.
const QList<LineCode>& lineCodes(ListId list);
// The code of an item; an item without code gives the list's code for "none" ("0" for the gearbox, else empty).
QByteArray lineCode(ListId list, const QByteArray& item);
// The item of a code, compared exactly; an unknown code gives "keine Angabe".
QByteArray lineItem(ListId list, QByteArrayView code);

// Codes a coded list can store for any class, as a bit set: bit n set when code n is possible.
std::bitset<256> storableCodes(ListId list);

// The rate of a VAT text such as "19,6%" in percent; nullopt for "MwSt nicht ausweisbar" and for any text
// that is not a non-negative comma number with an optional "%".
std::optional<double> vatPercent(const QByteArray& mwst);

// The colour is free text with suggestions.
QByteArray colourShowText(const QByteArray& stored);
QByteArray colourStoreText(const QByteArray& editText);

// Frequently used item texts.
namespace items {
inline const QByteArray kBitteAuswaehlen = QByteArray("Bitte ausw\xe4hlen");
inline const QByteArray kKeineAngabe = QByteArrayLiteral("keine Angabe");
inline const QByteArray kKeineFarbangabe = QByteArrayLiteral("keine Farbangabe");
inline const QByteArray kMwstNichtAusweisbar = QByteArrayLiteral("MwSt nicht ausweisbar");
inline const QByteArray kGebrauchtwagen = QByteArrayLiteral("Gebrauchtwagen");
inline const QByteArray kNeuwagen = QByteArrayLiteral("Neuwagen");
} // namespace items

} // namespace tarmelo::model
