#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

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
