#include "Fahrzeug.h"

namespace tarmelo::model {

TFahrzeug newVehicle(int klasse) {
    TFahrzeug v;
    v.klasse = static_cast<quint8>(klasse);
    v.waehr = QByteArrayLiteral("EUR");
    v.hu = v.au = v.ez = kEmptyMonth;
    if (klasse >= 4) {
        v.bn = 1;
        v.mwst = QByteArrayLiteral("19%");
    }
    return v;
}

int countPhotos(const TFahrzeug& v) {
    int n = 0;
    for (const QByteArray& p : v.bilder)
        if (!p.isEmpty())
            ++n;
    return n;
}

QByteArray cut(const QByteArray& text, int width) {
    return width > 0 && text.size() > width ? text.left(width) : text;
}

int appendNew(Inventory& inv, int klasse) {
    if (klasse < 1 || klasse > kClassCount)
        return -1;
    inv.append(newVehicle(klasse));
    return int(inv.size()) - 1;
}

int appendCopy(Inventory& inv, int i) {
    // Take the copy first: appending may reallocate and invalidate a reference into the array.
    TFahrzeug copy = inv.at(i);
    copy.bestand = {};
    inv.append(std::move(copy));
    return int(inv.size()) - 1;
}

void removeAt(Inventory& inv, int i) {
    inv.removeAt(i);
}

} // namespace tarmelo::model
