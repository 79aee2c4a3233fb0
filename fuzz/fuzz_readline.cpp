// One marketplace line: whatever reads as a vehicle writes a line that reads back to a vehicle writing that line.

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

// The line as a saved file holds it with the dealer's own number: column 2 with its quotes doubled.
QByteArray lineOf(const model::TFahrzeug& v) {
    QByteArray key = v.inr;
    key.replace('"', "\"\"");
    return v.kennung + ";\"" + key + "\";" + csv::lineBody(v);
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
    // A fuzzed line may say two things at once (a VAT flag against a VAT rate), or keep blanks and control
    // characters inside a field that reading cuts and the next reading trims. A few writings settle that; from
    // then on the written line is a fixed point: it reads back to the same record, which writes the same line.
    model::TFahrzeug record = *v;
    QByteArray written = lineOf(record);
    for (int round = 0; round < 3; ++round) {
        const std::optional<model::TFahrzeug> next = csv::ReadLine(written);
        FUZZ_CHECK(next.has_value());
        record = *next;
        written = lineOf(record);
    }
    const std::optional<model::TFahrzeug> back = csv::ReadLine(written);
    FUZZ_CHECK(back.has_value());
    if (!(*back == record))
        printDifferences(record, *back);
    FUZZ_CHECK(*back == record);
    FUZZ_CHECK(lineOf(*back) == written);
    return 0;
}
