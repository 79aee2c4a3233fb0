// One marketplace line: whatever reads as a vehicle writes a line that reads back to the same vehicle.

#include "FuzzCheck.h"
#include "csv/LineReader.h"
#include "csv/LineWriter.h"
#include "model/FieldSchema.h"

#include <QByteArray>

using namespace tarmelo;

namespace {

// Names the fields that differ, so a finding says where the round trip breaks.
void printDifferences(const model::TFahrzeug& a, const model::TFahrzeug& b) {
    for (const model::FieldSpec& f : model::fields()) {
        if (f.text && a.*f.text != b.*f.text)
            std::fprintf(stderr, "%s: \"%s\" -> \"%s\"\n", f.name, (a.*f.text).toHex().constData(),
                         (b.*f.text).toHex().constData());
        if (f.byte && a.*f.byte != b.*f.byte)
            std::fprintf(stderr, "%s: %d -> %d\n", f.name, a.*f.byte, b.*f.byte);
        if (f.amount && !(a.*f.amount == b.*f.amount))
            std::fprintf(stderr, "%s: %.17g -> %.17g\n", f.name, a.*f.amount, b.*f.amount);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray line = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // A line never holds a line break: the file is split at them before.
    if (line.contains('\r') || line.contains('\n'))
        return 0;
    const std::optional<model::TFahrzeug> v = csv::ReadLine(line);
    if (!v)
        return 0;
    // Imported texts are written back as stored, quotes undoubled: a quote inside them cannot come back the same.
    // Such a line is still written and read, for crashes only.
    for (const model::FieldSpec& f : model::fields()) {
        if (f.text && ((*v).*f.text).contains('"')) {
            (void)csv::ReadLine(v->kennung + ";\"x\";" + csv::lineBody(*v));
            return 0;
        }
    }
    // Column 2 as the writer forms it for a typed number: quotes doubled.
    QByteArray key = v->inr;
    key.replace('"', "\"\"");
    const QByteArray again = v->kennung + ";\"" + key + "\";" + csv::lineBody(*v);
    const std::optional<model::TFahrzeug> back = csv::ReadLine(again);
    FUZZ_CHECK(back.has_value());
    if (!(*back == *v))
        printDifferences(*v, *back);
    FUZZ_CHECK(*back == *v);
    // Writing is a function of the record: the second writing equals the first.
    FUZZ_CHECK(csv::lineBody(*back) == csv::lineBody(*v));
    return 0;
}
