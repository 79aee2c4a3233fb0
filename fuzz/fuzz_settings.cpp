// config.ini bytes: what is read, written and read again is the same, and writing is stable.

#include "FuzzCheck.h"
#include "inventory/RecentFiles.h"
#include "shell/Settings.h"

#include <QByteArray>

using namespace tarmelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const shell::Settings first = shell::readSettings(file);
    const QByteArray written = shell::writeSettings(first);
    const shell::Settings second = shell::readSettings(written);
    // Reading closes one gap of the recent files per reading (as the start does); everything else comes back.
    shell::Settings expected = first;
    const QStringList closed = inventory::closeRecentGaps(QStringList(first.File.begin(), first.File.end()));
    for (size_t i = 0; i < expected.File.size(); ++i)
        expected.File[i] = closed.value(qsizetype(i));
    FUZZ_CHECK(second == expected);
    if (expected.File == first.File)
        FUZZ_CHECK(shell::writeSettings(second) == written);
    // Three readings close every gap: from then on the file stays as it is.
    shell::Settings settled = second;
    for (int i = 0; i < 2; ++i)
        settled = shell::readSettings(shell::writeSettings(settled));
    const QByteArray stable = shell::writeSettings(settled);
    FUZZ_CHECK(shell::writeSettings(shell::readSettings(stable)) == stable);
    return 0;
}
