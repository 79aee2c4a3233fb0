#pragma once

#include "model/Stock.h"

#include <QByteArray>
#include <QList>
#include <array>

namespace tarmelo::model {

inline constexpr int kClassCount = 12;
inline constexpr int kPhotoSlots = 15;

// The empty texts of the unfilled masks, as the record keeps them.
inline const QByteArray kEmptyMonth = QByteArrayLiteral("  -    ");
inline const QByteArray kEmptyDate = QByteArrayLiteral("  .  .    ");

// One vehicle of the inventory. Texts are Windows-1252 bytes exactly as the marketplace line holds them;
// photos are the stored JPEG data of slots 1 to 15 (an empty array is an empty slot).
struct TFahrzeug {
    quint8 klasse{};
    QByteArray kennung{};
    QByteArray inr{};
    QByteArray kategorie{};
    QByteArray marke{};
    QByteArray modell{};
    QByteArray leistung{};
    QByteArray hu{};
    QByteArray au{};
    QByteArray ez{};
    QByteArray kilometer{};
    double preis{};
    QByteArray vin{};
    quint8 unf{};
    QByteArray farbe{};
    QByteArray klima{};
    quint8 taxi{};
    quint8 behindertengerecht{};
    quint8 tagesangebot{};
    double hpreis{};
    QByteArray memo{};
    quint8 metallic{};
    QByteArray waehr{};
    QByteArray mwst{};
    quint8 bn{};
    quint8 garantie{};
    quint8 alufelgen{};
    quint8 esp{};
    quint8 abs{};
    quint8 anhaenger{};
    quint8 leder{};
    quint8 wfs{};
    quint8 navi{};
    quint8 sd{};
    quint8 zv{};
    quint8 fh{};
    quint8 allrad{};
    quint8 tueren{};
    quint8 umwelt{};
    quint8 servo{};
    quint8 zusatz_flag_1{};
    quint8 scheckheft{};
    quint8 kat{};
    quint8 kickstarter{};
    quint8 estarter{};
    quint8 antrieb{};
    QByteArray hubraum{};
    QByteArray tk{};
    QByteArray nutzlast{};
    QByteArray zgg{};
    QByteArray hh{};
    QByteArray bh{};
    QByteArray bj{};
    QByteArray betrieb{};
    QByteArray sp{};
    quint8 abgas{};
    quint8 fahrerhaus{};
    QByteArray achsen{};
    quint8 tempomat{};
    quint8 sh{};
    quint8 kabine{};
    quint8 schutzdach{};
    quint8 vv{};
    quint8 kommunal{};
    quint8 kran{};
    quint8 ret_int{};
    quint8 fs{};
    quint8 tv{};
    quint8 wc{};
    quint8 lbw{};
    quint8 hydraulik{};
    quint8 st{};
    quint8 radformel{};
    quint8 tw{};
    quint8 ebs{};
    quint8 vermietung{};
    quint8 kompressor{};
    quint8 lf{};
    quint8 sb{};
    quint8 fronthydraulik{};
    quint8 bss{};
    quint8 swe{};
    quint8 zsa{};
    quint8 kueche{};
    quint8 kb{};
    quint8 ss{};
    quint8 frontheber{};
    quint8 hvisible{};
    quint8 reserved{};
    quint8 envkv{};
    QByteArray innerorts{};
    QByteArray ausserorts{};
    QByteArray kombiniert{};
    QByteArray co2{};
    quint8 xenon{};
    quint8 sitzheizung{};
    quint8 partikelfilter{};
    quint8 einparkhilfe{};
    QByteArray lieferdatum{};
    QByteArray lieferfrist{};
    double overpass{};
    quint8 tuev_neu{};
    QByteArray kraftstoff{};
    QByteArray getriebe{};
    quint8 export_{}; // "export" is a keyword
    quint8 eyecatcher{};
    QByteArray zusatz_text_1{};
    QByteArray zusatz_text_2{};
    QByteArray zusatz_text_3{};
    quint8 topincategory{};
    QByteArray zusatz_text_4{};
    quint8 e10{};
    quint8 zusatz_flag_2{};
    quint8 zusatz_flag_3{};
    quint8 koffer{};
    quint8 sturzbuegel{};
    quint8 scheibe{};
    quint8 standklima{};
    quint8 ss_bereifung{};
    quint8 strasse{};
    quint8 etagenbett{};
    quint8 festbett{};
    quint8 heckgarage{};
    quint8 markise{};
    quint8 dusche{};
    quint8 solar{};
    quint8 mittelsitzgruppe{};
    quint8 rundsitzgruppe{};
    quint8 seitensitzgruppe{};
    quint8 hagelschaden{};
    QByteArray schlafplaetze{};
    QByteArray laenge{};
    QByteArray breite{};
    QByteArray hoehe{};
    QByteArray paletten{};
    QByteArray ladevolumen{};
    QByteArray lr_laenge{};
    QByteArray lr_breite{};
    QByteArray lr_hoehe{};
    QByteArray typ{};
    quint8 kwps{};
    std::array<QByteArray, kPhotoSlots> bilder{};
    // Not a marketplace column: kept in the inventory archive's own member.
    StockInfo bestand{};

    bool operator==(const TFahrzeug&) const = default;
};

// A record of class c with the defaults of a newly added vehicle.
TFahrzeug newVehicle(int klasse);

// Number of photo slots that hold a picture.
int countPhotos(const TFahrzeug& v);

// Cuts a text to the width of its field.
QByteArray cut(const QByteArray& text, int width);

// The vehicle array in list order.
using Inventory = QList<TFahrzeug>;

// Appends a new record of class c; returns its position, or -1 for a class outside 1..12.
int appendNew(Inventory& inv, int klasse);
// Appends a copy of record i (with its own photos, as a vehicle new to the stock); returns its position.
int appendCopy(Inventory& inv, int i);
void removeAt(Inventory& inv, int i);

} // namespace tarmelo::model
