#include "inventory/Archive.h"
#include "inventory/CsvFile.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <thread>

using namespace tarmelo;
using namespace tarmelo::inventory;

namespace {

const Clock kClock = fixedClock(QDateTime(QDate(2026, 12, 1), QTime(12, 0)));

// n lines of vehicles of every class.
QByteArray lineFile(int n) {
    model::Inventory inv;
    for (int i = 0; i < n; ++i)
        inv.append(test::validVehicle(i % 12 + 1));
    return buildLines(inv, 0, n - 1, KeyMode::Automatic, kClock).fileData();
}

// The file padded with blank lines to exactly size bytes.
QByteArray padded(QByteArray file, qsizetype size) {
    file.append(size - file.size(), '\n');
    return file;
}

// The plain line file is read whole, from a file of known size or from a pipe that tells none, up to the limit.
TEST(PlainFileRead, WholeFileUpToTheLimit) {
    QTemporaryDir dir;
    const QByteArray big = lineFile(7000); // several megabytes: more than one read of a fixed piece
    ASSERT_GT(big.size(), 2 << 20);
    const qsizetype limit = big.size() + 10;
    const struct {
        const char* name;
        QByteArray content;
        bool pipe;
        bool ok;
    } cases[] = {
        {"file of several megabytes", big, false, true},
        {"file at the limit", padded(big, limit), false, true},
        {"file one byte over the limit", padded(big, limit + 1), false, false},
        {"pipe of several megabytes", big, true, true},
        {"pipe at the limit", padded(big, limit), true, true},
        {"pipe one byte over the limit", padded(big, limit + 1), true, false},
        {"empty file", QByteArray(), false, false},
        {"one line without a line end", lineFile(1).chopped(2), false, true},
    };
    ReadLimits limits;
    limits.memberBytes = limit;
    // A reader that stops early closes the pipe under the writer: a failed write, not a dead test.
    std::signal(SIGPIPE, SIG_IGN);
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("b%1.csv").arg(++n));
        std::thread writer;
        if (c.pipe) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            // The pipe takes the bytes in small pieces while the reader reads; the reader may stop early.
            writer = std::thread([path, content = c.content] {
                QFile f(path);
                if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                    return;
                for (qsizetype at = 0; at < content.size(); at += 65536)
                    if (f.write(content.mid(at, 65536)) < 0)
                        return;
            });
        } else {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(c.content), c.content.size());
        }
        const OpenResult r = readInventoryFile(path, {}, limits);
        if (writer.joinable())
            writer.join();
        if (!c.ok) {
            EXPECT_FALSE(r.ok());
            EXPECT_TRUE(r.vehicles.isEmpty());
            continue;
        }
        const ReadResult expected = readLines(c.content);
        ASSERT_TRUE(r.ok()) << r.message().toStdString();
        EXPECT_EQ(r.lines, expected.lines);
        ASSERT_EQ(r.vehicles.size(), expected.vehicles.size());
        EXPECT_EQ(r.vehicles.last().modell, expected.vehicles.last().modell);
    }
}

} // namespace
