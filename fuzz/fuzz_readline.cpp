// One marketplace line: whatever reads as a vehicle writes a line that reads back to the same vehicle.

#include "FuzzCheck.h"
#include "csv/LineReader.h"
#include "csv/LineWriter.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<model::TFahrzeug> v = csv::ReadLine(line);
    if (!v)
        return 0;
    QByteArray key = v->inr;
    key.replace('"', "\"\"");
    const QByteArray again = v->kennung + ";\"" + key + "\";" + csv::lineBody(*v);
    const std::optional<model::TFahrzeug> back = csv::ReadLine(again);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(*back == *v);
    // Writing is a function of the record: the second writing equals the first.
    FUZZ_CHECK(csv::lineBody(*back) == csv::lineBody(*v));
    return 0;
}
