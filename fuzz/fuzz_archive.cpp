// An inventory archive from memory: no crash, a result that is whole or a failure, and photos that decode.

#include "FuzzCheck.h"
#include "inventory/Archive.h"
#include "photo/Jpeg.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray archive = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // Small limits keep a zip bomb from only testing the machine's memory.
    inventory::ReadLimits limits;
    limits.memberBytes = 8 << 20;
    limits.inflatedBase = 16 << 20;
    int lastPercent = 0;
    const inventory::OpenResult r = inventory::readInventoryArchive(
        archive,
        [&](int percent) {
            FUZZ_CHECK(percent >= 0 && percent <= 100);
            lastPercent = percent;
        },
        limits);
    FUZZ_CHECK(int(r.vehicles.size()) <= r.lines);
    FUZZ_CHECK(r.readOnly == !r.readOnlyMessage.isEmpty());
    FUZZ_CHECK(!r.message().isEmpty() || (r.ok() && r.rejected() == 0));
    if (r.failure == inventory::OpenFailure::Broken || r.failure == inventory::OpenFailure::NoCsv)
        FUZZ_CHECK(r.vehicles.isEmpty() && r.lines == 0);
    if (r.ok())
        FUZZ_CHECK(!r.vehicles.isEmpty());
    for (const model::TFahrzeug& v : r.vehicles) {
        // Every vehicle read has its saved prices: a price change is always measured against the file.
        FUZZ_CHECK(v.bestand.savedPrices == model::pricesOf(v));
        bool gap = false;
        for (const QByteArray& jpeg : v.bilder) {
            gap = gap || jpeg.isEmpty();
            FUZZ_CHECK(jpeg.isEmpty() || !gap);
            FUZZ_CHECK(jpeg.isEmpty() || photo::jpegSize(jpeg).has_value());
        }
    }
    (void)lastPercent;
    return 0;
}
