// config.ini bytes: what is read, written and read again is the same, and writing is stable.

#include "FuzzCheck.h"
#include "shell/Settings.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const shell::Settings first = shell::readSettings(file);
    const QByteArray written = shell::writeSettings(first);
    const shell::Settings second = shell::readSettings(written);
    FUZZ_CHECK(second == first);
    FUZZ_CHECK(shell::writeSettings(second) == written);
    return 0;
}
