// A whole line file: never more vehicles than lines, and the lines are those the splitter finds.

#include "FuzzCheck.h"
#include "inventory/CsvFile.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    int calls = 0;
    int lastLine = -1;
    const inventory::ReadResult r = inventory::readLines(text, [&](model::TFahrzeug&, int line, int lines) {
        FUZZ_CHECK(line > lastLine && line < lines);
        lastLine = line;
        ++calls;
    });
    FUZZ_CHECK(r.lines == int(inventory::splitLines(text).size()));
    FUZZ_CHECK(int(r.vehicles.size()) <= r.lines);
    FUZZ_CHECK(calls == int(r.vehicles.size()));
    for (const model::TFahrzeug& v : r.vehicles)
        FUZZ_CHECK(v.klasse >= 1 && v.klasse <= 12);
    return 0;
}
