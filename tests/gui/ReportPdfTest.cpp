// The printed list written as PDF and read back with poppler's tools.

#include "photo/Jpeg.h"
#include "print/ReportData.h"
#include "print/ReportLayout.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace tarmelo;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 11, 12));

QString run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray jpeg(int w, int h) {
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(x * 255 / w, y * 255 / h, 120));
    return photo::encodeJpeg(img);
}

model::TFahrzeug car(int i) {
    model::TFahrzeug v = model::newVehicle(1);
    v.marke = "VW";
    v.modell = "Golf " + QByteArray::number(i);
    v.kilometer = "125000";
    v.preis = 10000 + i;
    v.mwst = "19%";
    return v;
}

struct ReportPdfTest : testing::Test {
    QTemporaryDir dir;
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "poppler-utils missing";
    }
    // Writes the report of all vehicles; returns the PDF's path.
    QString write(const model::Inventory& inv, bool withPhotos = true, const char* name = "r.pdf") {
        const print::PrintChoice choice = print::PrintChoice::all(inv.size(), withPhotos);
        const print::ReportBlocks blocks = print::prepareReport(inv, choice, true, kGerman);
        EXPECT_TRUE(blocks.ok());
        const print::ReportLayout layout(blocks.blocks, kNow, choice.selectedCount, kGerman);
        const QString path = dir.filePath(QLatin1StringView(name));
        EXPECT_EQ(print::writeReportPdf(layout, path), QString());
        return path;
    }
    int pages(const QString& pdf) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    QString pageText(const QString& pdf, int page) {
        return run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                 QString::number(page), pdf, QStringLiteral("-")});
    }
    // Width and height of every image, in page order.
    QList<QSize> images(const QString& pdf) {
        QList<QSize> sizes;
        const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split(u'\n');
        for (const QString& line : lines.mid(2)) {
            const QStringList f = line.simplified().split(u' ');
            if (f.size() > 4 && f[2] == QLatin1StringView("image"))
                sizes.append(QSize(f[3].toInt(), f[4].toInt()));
        }
        return sizes;
    }
};

TEST_F(ReportPdfTest, HeaderAndFooterOnEveryPageAndPagesGrowWithVehicles) {
    int previous = 0;
    for (int count : {1, 12, 40}) {
        model::Inventory inv;
        for (int i = 0; i < count; ++i)
            inv.append(car(i));
        const QString pdf = write(inv, true, "list.pdf");
        const int n = pages(pdf);
        EXPECT_GE(n, previous) << count;
        EXPECT_GE(n, count / 12) << count;
        previous = n;
        for (int p = 1; p <= n; ++p) {
            const QString text = pageText(pdf, p);
            EXPECT_TRUE(text.contains(QStringLiteral("Fahrzeugbestand Listenausdruck"))) << p;
            EXPECT_TRUE(text.contains(QStringLiteral("Hergestellt mit Tarmelo."))) << p;
            EXPECT_TRUE(text.contains(QStringLiteral("09.12.2026"))) << p;
            EXPECT_TRUE(text.contains(QStringLiteral("10:11:12"))) << p;
            EXPECT_TRUE(text.contains(QStringLiteral("Seite:"))) << p;
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Seite:\\s+%1\\b").arg(p)))) << p;
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Fahrzeuge:\\s+%1\\b").arg(count)))) << p;
        }
        const QString all = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        EXPECT_EQ(all.count(QStringLiteral("Merkmale:")), count);
        EXPECT_TRUE(all.contains(QStringLiteral("Golf %1").arg(count - 1)));
        EXPECT_TRUE(all.contains(QStringLiteral("125.000 km")));
    }
    EXPECT_GT(previous, 1);
}

TEST_F(ReportPdfTest, LongTextsWrapGrowAndContinueOnTheNextPage) {
    const struct {
        int memoLength;
        int minPages;
    } table[] = {{2000, 1}, {12000, 3}};
    for (const auto& t : table) {
        QByteArray memo;
        for (int w = 0; memo.size() < t.memoLength; ++w)
            memo += "Wort" + QByteArray::number(w) + ' ';
        memo = memo.left(t.memoLength);
        model::Inventory inv{car(0), car(1)};
        inv[0].memo = memo;
        const QString pdf = write(inv);
        EXPECT_GE(pages(pdf), t.minPages);
        const QString all = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
        const QString last = QString::fromLatin1(memo.trimmed().split(' ').last());
        // Every word is printed once, none cut at the edge, and the next vehicle follows the long text.
        EXPECT_TRUE(all.contains(QStringLiteral("Wort0 Wort1 Wort2")));
        EXPECT_TRUE(all.contains(QStringLiteral(" ") + last + QStringLiteral(" "))) << last.toStdString();
        EXPECT_GT(all.indexOf(QStringLiteral("Golf 1")), all.indexOf(last));
        EXPECT_TRUE(all.contains(QStringLiteral("Preis: 10.001 EUR brutto")));
    }
}

TEST_F(ReportPdfTest, PhotoRowsAndThumbnailSizes) {
    const struct {
        const char* name;
        QList<QSize> photos;
        bool withPhotos;
        QList<QSize> printed;
    } table[] = {
        {"landscape, portrait and small", {{640, 480}, {480, 640}, {100, 50}}, true, {{104, 78}, {58, 78}, {100, 50}}},
        {"seven photos fill rows 1 and 2", QList<QSize>(7, QSize(320, 240)), true, QList<QSize>(7, QSize(104, 78))},
        {"without photos", QList<QSize>(7, QSize(320, 240)), false, {}},
    };
    for (const auto& t : table) {
        model::Inventory inv{car(0)};
        for (qsizetype i = 0; i < t.photos.size(); ++i)
            inv[0].bilder[size_t(i)] = jpeg(t.photos[i].width(), t.photos[i].height());
        EXPECT_EQ(images(write(inv, t.withPhotos)), t.printed) << t.name;
    }
}

TEST(ReportLayoutBands, PhotoRowsFollowTheFilledSlots) {
    const struct {
        int photos;
        bool withPhotos;
        std::array<bool, 3> rows;
    } table[] = {
        {0, true, {false, false, false}}, {6, true, {true, false, false}},    {7, true, {true, true, false}},
        {13, true, {true, true, true}},   {15, false, {false, false, false}},
    };
    for (const auto& t : table) {
        model::Inventory inv{car(0)};
        for (int i = 0; i < t.photos; ++i)
            inv[0].bilder[size_t(i)] = jpeg(16, 12);
        const print::ReportBlocks r =
            print::prepareReport(inv, print::PrintChoice::all(1, t.withPhotos), true, kGerman);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.blocks[0].photoRows, t.rows) << t.photos;
    }
}

TEST(ReportLayoutBands, WrapKeepsLineBreaksAndBreaksLongWords) {
    const struct {
        QString text;
        double width;
        QStringList lines;
    } table[] = {
        {QStringLiteral("a\r\nb\nc"), 642, {"a", "b", "c"}},
        {QStringLiteral(""), 642, {""}},
        {QString(300, u'x'), 642, {}},
    };
    for (const auto& t : table) {
        const QStringList lines = print::wrapText(t.text, print::ReportFont::Normal, t.width);
        if (!t.lines.isEmpty()) {
            EXPECT_EQ(lines, t.lines);
            continue;
        }
        EXPECT_GT(lines.size(), 1);
        EXPECT_EQ(lines.join(QString()), t.text);
    }
}

} // namespace
