// The stock member of an inventory archive: no crash, read-only exactly when a message says why, and what was
// taken comes back unchanged when written and read again.

#include "FuzzCheck.h"
#include "inventory/StockMember.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (qint64(size) > inventory::kStockMemberLimit)
        return 0;
    const QByteArray member(reinterpret_cast<const char*>(data), qsizetype(size));
    model::Inventory inv(3, model::newVehicle(1));
    const QList<QByteArray> keys = {"A-1", "A-2", "A-1"};
    inv[0].inr = inv[2].inr = "A-1";
    inv[1].inr = "A-2";
    inv[1].preis = 990;
    const QDate archiveDate(2026, 1, 2);
    const inventory::StockRead r = inventory::applyStockMember(inv, keys, member, archiveDate);
    FUZZ_CHECK(r.readOnly == !r.message.isEmpty());
    for (const model::TFahrzeug& v : inv) {
        FUZZ_CHECK(v.bestand.savedPrices == model::pricesOf(v));
        FUZZ_CHECK(!v.bestand.sold.isValid() || v.bestand.status == model::StockStatus::Sold);
        if (r.readOnly)
            FUZZ_CHECK(v.bestand.entered == archiveDate && v.bestand.enteredGuessed);
    }
    if (r.readOnly)
        return 0;
    QByteArray csv;
    for (int i = 0; i < 3; ++i)
        csv += QByteArray::number(i + 1) + ";\"" + keys[i] + "\";x\r\n";
    const QByteArray again = inventory::stockMemberData(inv, 0, 2, csv);
    if (again.isEmpty())
        return 0; // nothing to keep: the archive goes without the member
    model::Inventory back(3, model::newVehicle(1));
    for (int i = 0; i < 3; ++i)
        back[i].inr = inv[i].inr, back[i].preis = inv[i].preis;
    const inventory::StockRead r2 = inventory::applyStockMember(back, keys, again, QDate(2030, 1, 1));
    FUZZ_CHECK(!r2.readOnly);
    for (int i = 0; i < 3; ++i)
        FUZZ_CHECK(back[i].bestand == inv[i].bestand);
    return 0;
}
