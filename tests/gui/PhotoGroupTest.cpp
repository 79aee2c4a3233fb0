#include "editor/PhotoGroup.h"
#include "common/Dialogs.h"
#include "editor/TformPicPreview.h"
#include "model/Fahrzeug.h"
#include "photo/Jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>

using namespace tarmelo;
using gui::Dialogs;
using gui::PhotoGroup;
using gui::TformPicPreview;

namespace {

const QString kImportError =
    QStringLiteral("Grafikdatei konnte nicht importiert werden.\nBildformat und Datei-/Bildgröße überprüfen!");

// Distinct hues, so the photo shown can be told from its neighbours.
QColor photoColour(int i) {
    return QColor::fromHsv(i * 360 / model::kPhotoSlots, 255, 220);
}

QByteArray solidJpeg(const QColor& colour, QSize size = {64, 48}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return photo::encodeJpeg(image);
}

QList<int> intArgs(const QSignalSpy& spy) {
    QList<int> values;
    for (const QList<QVariant>& call : spy)
        values.append(call.first().toInt());
    return values;
}

class PhotoGroupTest : public testing::Test {
protected:
    void SetUp() override {
        Dialogs::setTestMode(true);
        ASSERT_TRUE(dir.isValid());
        group.setVehicle(&car);
    }

    template <class W> W* child(const QString& name) {
        W* w = group.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLabel* frame() { return child<QLabel>(QStringLiteral("Image1")); }
    QString pos() { return child<QLabel>(QStringLiteral("lbl_1_picpos"))->text(); }
    bool enabled(const char* button) { return child<QPushButton>(QStringLiteral("sp_1_%1").arg(button))->isEnabled(); }
    bool emptyTextShown() {
        QLabel* empty = nullptr;
        for (QLabel* l : group.findChildren<QLabel*>())
            if (l->text() == QStringLiteral("Keine Bilder vorhanden"))
                empty = l;
        return empty && !empty->isHidden();
    }

    QString writeImage(const QString& name, QSize size, const char* format) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, format));
        return path;
    }

    void fill(int n) {
        for (int i = 0; i < n; ++i)
            car.bilder[size_t(i)] = solidJpeg(photoColour(i));
        group.setVehicle(&car);
    }

    // Index of the filled photo whose colour the frame shows, -1 when it shows none.
    int shownPhoto() {
        const QImage shown = frame()->pixmap().toImage();
        if (frame()->isHidden() || shown.isNull())
            return -1;
        const QColor c = shown.pixelColor(shown.rect().center());
        int best = -1, bestDistance = 1 << 30;
        for (int i = 0; i < model::kPhotoSlots; ++i) {
            const QColor p = photoColour(i);
            const int d = std::abs(c.red() - p.red()) + std::abs(c.green() - p.green()) + std::abs(c.blue() - p.blue());
            if (d < bestDistance)
                best = i, bestDistance = d;
        }
        return best;
    }

    // Runs AddPic on `path` to its end; false also when it did not finish in time.
    bool add(const QString& path) {
        Dialogs::queueFileName(path);
        QSignalSpy done(&group, &PhotoGroup::addFinished);
        group.AddPic();
        if (!done.wait(30000))
            return false;
        return done.first().first().toBool();
    }

    QTemporaryDir dir;
    model::TFahrzeug car = model::newVehicle(1);
    PhotoGroup group{1};
};

TEST_F(PhotoGroupTest, AddingTheFirstPhotoShowsItAsOneOfOne) {
    QSignalSpy count(&group, &PhotoGroup::photoCountChanged);
    QSignalSpy modified(&group, &PhotoGroup::modified);
    QSignalSpy progress(&group, &PhotoGroup::progressChanged);
    QSignalSpy busy(&group, &PhotoGroup::busyChanged);
    ASSERT_TRUE(emptyTextShown());

    ASSERT_TRUE(add(writeImage(QStringLiteral("erstes.jpg"), {320, 200}, "JPEG")));

    EXPECT_FALSE(car.bilder[0].isEmpty());
    EXPECT_FALSE(frame()->isHidden());
    EXPECT_FALSE(emptyTextShown());
    EXPECT_EQ(pos(), QStringLiteral("1 / 1"));
    EXPECT_FALSE(enabled("back"));
    EXPECT_FALSE(enabled("next"));
    EXPECT_TRUE(enabled("del"));
    EXPECT_TRUE(enabled("add"));
    ASSERT_FALSE(count.isEmpty());
    EXPECT_EQ(count.last().first().toInt(), 1);
    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(intArgs(progress), (QList<int>{20, 40, 60, 80, 100, 0}));
    EXPECT_EQ(intArgs(busy), (QList<int>{1, 0}));
    EXPECT_FALSE(group.isBusy());
}

TEST_F(PhotoGroupTest, AddedPhotoGoesBehindTheLastAndIsShown) {
    fill(3);
    ASSERT_TRUE(add(writeImage(QStringLiteral("viertes.bmp"), {100, 80}, "BMP")));
    EXPECT_EQ(model::countPhotos(car), 4);
    EXPECT_EQ(car.bilder[2], solidJpeg(photoColour(2)));
    EXPECT_EQ(photo::jpegSize(car.bilder[3]), QSize(100, 80));
    EXPECT_EQ(pos(), QStringLiteral("4 / 4"));
    EXPECT_FALSE(enabled("next"));
    EXPECT_TRUE(enabled("back"));
}

struct SizeCase {
    const char* file;
    const char* format;
    QSize source;
    QSize stored;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.file;
}

class PhotoGroupSizeTest : public PhotoGroupTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(PhotoGroupSizeTest, AddedPhotoIsStoredReduced) {
    const SizeCase& c = GetParam();
    ASSERT_TRUE(add(writeImage(QString::fromLatin1(c.file), c.source, c.format)));
    EXPECT_EQ(photo::jpegSize(car.bilder[0]), c.stored);
    EXPECT_FALSE(photo::decodeJpeg(car.bilder[0]).isNull());
}

INSTANTIATE_TEST_SUITE_P(PhotoGroupSizes, PhotoGroupSizeTest,
                         testing::Values(SizeCase{"breit.bmp", "BMP", {2000, 1000}, {640, 320}},
                                         SizeCase{"hoch.jpeg", "JPEG", {1000, 2000}, {240, 480}},
                                         SizeCase{"klein.jpg", "JPEG", {500, 400}, {500, 400}}));

struct FailCase {
    const char* name;
    QByteArray content; // null: the file is not created
};

void PrintTo(const FailCase& c, std::ostream* os) {
    *os << c.name;
}

class PhotoGroupFailTest : public PhotoGroupTest, public testing::WithParamInterface<FailCase> {};

TEST_P(PhotoGroupFailTest, UnreadableFileLeavesPhotosAsTheyWere) {
    fill(2);
    const auto before = car.bilder;
    const QString path = dir.filePath(QString::fromLatin1(GetParam().name));
    if (!GetParam().content.isNull()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().content);
    }
    QSignalSpy progress(&group, &PhotoGroup::progressChanged);
    QSignalSpy modified(&group, &PhotoGroup::modified);

    EXPECT_FALSE(add(path));

    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown().first().kind, Dialogs::Kind::Error);
    EXPECT_EQ(Dialogs::shown().first().text, kImportError);
    EXPECT_EQ(car.bilder, before);
    EXPECT_EQ(modified.count(), 0);
    EXPECT_FALSE(group.isBusy());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.first().first().toInt(), 20);
    EXPECT_EQ(progress.last().first().toInt(), 0);
    EXPECT_EQ(pos(), QStringLiteral("1 / 2"));
    EXPECT_TRUE(enabled("add"));
    EXPECT_TRUE(enabled("del"));
}

INSTANTIATE_TEST_SUITE_P(PhotoGroupFailures, PhotoGroupFailTest,
                         testing::Values(FailCase{"text.jpg", QByteArray("Das ist kein Bild.\r\n")},
                                         FailCase{"kaputt.bmp", QByteArray("BM\x10\0\0\0", 6)},
                                         FailCase{"fehlt.jpg", QByteArray()}));

// Several files chosen at once are reduced side by side and stored in the order they were chosen; a file that fails
// leaves the others' photos in their order and shows the error box once.
TEST_F(PhotoGroupTest, SeveralFilesAtOnceKeepTheirOrder) {
    const struct {
        bool broken;
        QList<QSize> stored; // of the photos added, in slot order
    } cases[] = {{false, {{640, 320}, {240, 480}, {500, 400}, {64, 48}}}, {true, {{640, 320}, {500, 400}, {64, 48}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.broken);
        Dialogs::setTestMode(true);
        car = model::newVehicle(1);
        fill(1);
        QFile broken(dir.filePath(QStringLiteral("kaputt.jpg")));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("kein Bild");
        broken.close();
        Dialogs::queueFileNames(
            {writeImage(QStringLiteral("breit.jpg"), {2000, 1000}, "JPEG"),
             c.broken ? broken.fileName() : writeImage(QStringLiteral("hoch.bmp"), {1000, 2000}, "BMP"),
             writeImage(QStringLiteral("klein.jpg"), {500, 400}, "JPEG"),
             writeImage(QStringLiteral("winzig.png"), {64, 48}, "PNG")});
        QSignalSpy progress(&group, &PhotoGroup::progressChanged);
        QSignalSpy modified(&group, &PhotoGroup::modified);
        QSignalSpy done(&group, &PhotoGroup::addFinished);
        // Qt paints with the help of the global pool's threads: the photos must leave them free, or the window
        // waits for the photos before it repaints. Qt's own short jobs may still be counted a moment after they
        // ended; a photo being reduced would hold its thread far longer than the grace given here.
        int globalPoolBusy = 0;
        const auto watch = QObject::connect(&group, &PhotoGroup::progressChanged, [&globalPoolBusy] {
            QDeadlineTimer grace(200);
            while (QThreadPool::globalInstance()->activeThreadCount() > 0 && !grace.hasExpired())
                QThread::msleep(5);
            globalPoolBusy = std::max(globalPoolBusy, QThreadPool::globalInstance()->activeThreadCount());
        });
        QTest::mouseClick(child<QPushButton>(QStringLiteral("sp_1_add")), Qt::LeftButton);
        const bool finished = done.wait(30000);
        QObject::disconnect(watch);
        ASSERT_TRUE(finished);
        EXPECT_EQ(globalPoolBusy, 0);

        EXPECT_EQ(done.first().first().toBool(), !c.broken);
        ASSERT_EQ(model::countPhotos(car), 1 + c.stored.size());
        EXPECT_EQ(car.bilder[0], solidJpeg(photoColour(0)));
        for (int i = 0; i < c.stored.size(); ++i)
            EXPECT_EQ(photo::jpegSize(car.bilder[size_t(i + 1)]), c.stored[i]) << "slot " << i + 2;
        EXPECT_EQ(modified.count(), 1);
        EXPECT_EQ(pos(), QStringLiteral("%1 / %1").arg(1 + c.stored.size()));
        const QList<int> steps = intArgs(progress);
        ASSERT_GE(steps.size(), 3);
        EXPECT_EQ(steps.first(), 20);
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end() - 1)) << "the bar never goes back";
        EXPECT_GT(steps.size(), 4) << "the bar moves with every photo";
        EXPECT_EQ(steps.last(), 0);
        EXPECT_EQ(Dialogs::shown().size(), c.broken ? 1 : 0);
        EXPECT_FALSE(group.isBusy());
    }
}

TEST_F(PhotoGroupTest, MoreFilesThanFreeSlotsAddNone) {
    fill(13);
    Dialogs::queueFileNames({writeImage(QStringLiteral("a.jpg"), {32, 32}, "JPEG"),
                             writeImage(QStringLiteral("b.jpg"), {32, 32}, "JPEG"),
                             writeImage(QStringLiteral("c.jpg"), {32, 32}, "JPEG")});
    QSignalSpy busy(&group, &PhotoGroup::busyChanged);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("sp_1_add")), Qt::LeftButton);
    EXPECT_TRUE(busy.isEmpty());
    EXPECT_EQ(model::countPhotos(car), 13);
    ASSERT_EQ(Dialogs::shown().size(), 1);
    EXPECT_EQ(Dialogs::shown().first().kind, Dialogs::Kind::Warning);
    EXPECT_EQ(Dialogs::shown().first().text, QStringLiteral("Es können nur noch 2 Bilder hinzugefügt werden."));
}

TEST_F(PhotoGroupTest, CancelledFileDialogDoesNothing) {
    fill(1);
    QSignalSpy busy(&group, &PhotoGroup::busyChanged);
    QSignalSpy modified(&group, &PhotoGroup::modified);
    group.AddPic();
    EXPECT_TRUE(busy.isEmpty());
    EXPECT_TRUE(modified.isEmpty());
    EXPECT_TRUE(Dialogs::shown().isEmpty());
    EXPECT_EQ(model::countPhotos(car), 1);
}

TEST_F(PhotoGroupTest, StepsStayWithinTheFirstAndLastPhoto) {
    fill(3);
    struct Step {
        void (PhotoGroup::*command)();
        const char* label;
        bool back, next;
    };
    const Step steps[] = {
        {&PhotoGroup::LastPic, "1 / 3", false, true}, {&PhotoGroup::NextPic, "2 / 3", true, true},
        {&PhotoGroup::NextPic, "3 / 3", true, false}, {&PhotoGroup::NextPic, "3 / 3", true, false},
        {&PhotoGroup::LastPic, "2 / 3", true, true},
    };
    int i = 0;
    for (const Step& s : steps) {
        (group.*s.command)();
        SCOPED_TRACE(i++);
        EXPECT_EQ(pos(), QString::fromLatin1(s.label));
        EXPECT_EQ(enabled("back"), s.back);
        EXPECT_EQ(enabled("next"), s.next);
        EXPECT_EQ(shownPhoto(), QString::fromLatin1(s.label).left(1).toInt() - 1);
    }
}

// A stored photo that cannot be decoded is not a blank frame: the frame says so, and stepping on shows the next.
TEST_F(PhotoGroupTest, UnreadablePhotoSaysSoInItsFrame) {
    fill(2);
    car.bilder[0] = car.bilder[0].left(car.bilder[0].size() / 2);
    group.setVehicle(&car);
    EXPECT_EQ(pos(), QStringLiteral("1 / 2"));
    EXPECT_EQ(frame()->text(), QStringLiteral("Bild nicht lesbar"));
    EXPECT_FALSE(frame()->isHidden());
    QTest::mouseClick(child<QPushButton>(QStringLiteral("sp_1_next")), Qt::LeftButton);
    EXPECT_EQ(shownPhoto(), 1);
}

struct DeleteCase {
    int count;
    int at;
    const char* label;
    int shown;            // former index of the photo shown afterwards, -1 for none
    QList<int> remaining; // former indices of the photos left, in slot order
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << "delete " << c.at << " of " << c.count;
}

class PhotoGroupDeleteTest : public PhotoGroupTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(PhotoGroupDeleteTest, DeletingMovesLaterPhotosUp) {
    const DeleteCase& c = GetParam();
    fill(c.count);
    group.refreshPic(c.at);
    QSignalSpy modified(&group, &PhotoGroup::modified);
    QSignalSpy count(&group, &PhotoGroup::photoCountChanged);

    group.RemovePic();

    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(pos(), QString::fromLatin1(c.label));
    EXPECT_EQ(shownPhoto(), c.shown);
    EXPECT_EQ(model::countPhotos(car), c.remaining.size());
    for (int slot = 0; slot < model::kPhotoSlots; ++slot) {
        if (slot < c.remaining.size())
            EXPECT_EQ(car.bilder[size_t(slot)], solidJpeg(photoColour(c.remaining[slot]))) << slot;
        else
            EXPECT_TRUE(car.bilder[size_t(slot)].isEmpty()) << slot;
    }
    ASSERT_FALSE(count.isEmpty());
    EXPECT_EQ(count.last().first().toInt(), c.remaining.size());
    EXPECT_EQ(frame()->isHidden(), c.remaining.isEmpty());
    EXPECT_EQ(emptyTextShown(), c.remaining.isEmpty());
    EXPECT_EQ(enabled("del"), !c.remaining.isEmpty());
    EXPECT_TRUE(enabled("add"));
}

INSTANTIATE_TEST_SUITE_P(PhotoGroupPositions, PhotoGroupDeleteTest,
                         testing::Values(DeleteCase{4, 2, "2 / 3", 2, {0, 2, 3}},
                                         DeleteCase{4, 4, "3 / 3", 2, {0, 1, 2}},
                                         DeleteCase{4, 1, "1 / 3", 1, {1, 2, 3}}, DeleteCase{1, 1, "- / -", -1, {}}));

TEST_F(PhotoGroupTest, FifteenPhotosOfferNoAddUntilOneIsDeleted) {
    fill(model::kPhotoSlots);
    EXPECT_EQ(pos(), QStringLiteral("1 / 15"));
    EXPECT_FALSE(enabled("add"));

    QSignalSpy busy(&group, &PhotoGroup::busyChanged);
    Dialogs::queueFileName(writeImage(QStringLiteral("zuviel.jpg"), {32, 32}, "JPEG"));
    group.AddPic();
    EXPECT_TRUE(busy.isEmpty());

    group.refreshPic(7);
    group.RemovePic();
    EXPECT_EQ(pos(), QStringLiteral("7 / 14"));
    EXPECT_TRUE(enabled("add"));
}

TEST_F(PhotoGroupTest, NoVehicleMeansNoCommands) {
    fill(2);
    group.setVehicle(nullptr);
    EXPECT_EQ(pos(), QStringLiteral("- / -"));
    EXPECT_EQ(group.position(), 0);
    for (const char* b : {"back", "next", "add", "del"})
        EXPECT_FALSE(enabled(b)) << b;
    QSignalSpy modified(&group, &PhotoGroup::modified);
    group.RemovePic();
    Dialogs::queueFileName(writeImage(QStringLiteral("x.jpg"), {32, 32}, "JPEG"));
    group.AddPic();
    EXPECT_TRUE(modified.isEmpty());
    EXPECT_FALSE(group.isBusy());
    EXPECT_EQ(model::countPhotos(car), 2);
}

struct PreviewCase {
    int photos;
    const char* caption;
    QSize size;
};

void PrintTo(const PreviewCase& c, std::ostream* os) {
    *os << c.photos << " photos";
}

class PhotoGroupPreviewTest : public PhotoGroupTest, public testing::WithParamInterface<PreviewCase> {};

TEST_P(PhotoGroupPreviewTest, ClickOpensThePreviewOfThePhotoShown) {
    const PreviewCase& c = GetParam();
    for (int i = 0; i < c.photos; ++i)
        car.bilder[size_t(i)] = solidJpeg(photoColour(i), {320 + i, 200});
    group.setVehicle(&car);
    group.NextPic();
    QString caption;
    QSize size;
    group.showDialog = [&](QDialog* d) {
        caption = d->windowTitle();
        size = d->size();
    };
    group.ImageClick();
    EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(size, c.size);
}

INSTANTIATE_TEST_SUITE_P(PhotoGroupPreviews, PhotoGroupPreviewTest,
                         testing::Values(PreviewCase{2, "Vorschau", {321, 200}}, PreviewCase{1, "Vorschau", {320, 200}},
                                         PreviewCase{0, "Fehler beim Laden der Vorschau", {306, 224}}));

TEST_F(PhotoGroupTest, PreviewStaysClosedWhileBusyOrNotAllowed) {
    fill(1);
    group.show();
    int opened = 0;
    group.showDialog = [&](QDialog*) { ++opened; };

    bool allowed = false;
    group.setPreviewAllowed([&] { return allowed; });
    group.ImageClick();
    EXPECT_EQ(opened, 0);

    allowed = true;
    Dialogs::queueFileName(writeImage(QStringLiteral("gross.bmp"), {2000, 1500}, "BMP"));
    QSignalSpy done(&group, &PhotoGroup::addFinished);
    group.AddPic();
    ASSERT_TRUE(group.isBusy());
    group.ImageClick();
    QTest::mouseClick(frame(), Qt::LeftButton, {}, frame()->rect().center());
    EXPECT_EQ(opened, 0);
    ASSERT_TRUE(done.wait(30000));

    QTest::mouseClick(frame(), Qt::LeftButton, {}, frame()->rect().center());
    EXPECT_EQ(opened, 1);
}

struct FitCase {
    QSize client;
    QRect photo;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.client.width() << "x" << c.client.height();
}

class PicPreviewFitTest : public testing::TestWithParam<FitCase> {};

TEST_P(PicPreviewFitTest, PhotoFillsTheWindowCentredWithItsProportions) {
    TformPicPreview preview(solidJpeg(Qt::red, {320, 200}));
    preview.show();
    preview.resize(GetParam().client);
    ASSERT_EQ(preview.size(), GetParam().client);
    EXPECT_EQ(preview.photoRect(), GetParam().photo);
}

INSTANTIATE_TEST_SUITE_P(PicPreviewSizes, PicPreviewFitTest,
                         testing::Values(FitCase{{320, 200}, {0, 0, 320, 200}}, FitCase{{160, 160}, {0, 30, 160, 100}},
                                         FitCase{{640, 400}, {0, 0, 640, 400}},
                                         FitCase{{1000, 400}, {180, 0, 640, 400}},
                                         FitCase{{320, 400}, {0, 100, 320, 200}}));

TEST(PicPreview, EnlargingAddsNoNewColours) {
    QImage pattern(16, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            pattern.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::darkBlue);
    const QByteArray jpeg = photo::encodeJpeg(pattern);
    QSet<QRgb> source;
    const QImage decoded = photo::decodeJpeg(jpeg).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x)
            source.insert(decoded.pixel(x, y));

    TformPicPreview preview(jpeg);
    preview.show();
    preview.resize(160, 80);
    ASSERT_EQ(preview.photoRect(), QRect(0, 0, 160, 80));
    const QImage drawn = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int foreign = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            foreign += !source.contains(drawn.pixel(x, y));
    EXPECT_EQ(foreign, 0);
}

TEST(PicPreview, WithoutPhotoShowsTheErrorCaption) {
    for (const QByteArray& jpeg : {QByteArray(), QByteArray("kein JPEG")}) {
        TformPicPreview preview(jpeg);
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("Fehler beim Laden der Vorschau"));
        EXPECT_FALSE(preview.hasPhoto());
        EXPECT_TRUE(preview.photoRect().isEmpty());
    }
}

TEST(PicPreview, EscapeOrAClickOnThePhotoCloses) {
    struct Case {
        const char* what;
        bool escape;
        QPoint click;
        bool closes;
    };
    // Window 320 x 400: the photo fills rows 100 to 299.
    const Case cases[] = {
        {"Escape", true, {}, true},
        {"click on the photo", false, {160, 200}, true},
        {"click beside the photo", false, {160, 20}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TformPicPreview preview(solidJpeg(Qt::red, {320, 200}));
        preview.show();
        preview.resize(320, 400);
        if (c.escape)
            QTest::keyClick(&preview, Qt::Key_Escape);
        else
            QTest::mouseClick(&preview, Qt::LeftButton, {}, c.click);
        EXPECT_EQ(preview.isVisible(), !c.closes);
    }
}

} // namespace
