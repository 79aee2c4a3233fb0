#include "print/ReportLayout.h"

#include "photo/Reduce.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace tarmelo::print {

using namespace layout;

namespace {

double pointSize(ReportFont kind) {
    switch (kind) {
    case ReportFont::Title:
        return 13;
    case ReportFont::Footer:
        return 7;
    case ReportFont::Normal:
    case ReportFont::Bold:
        break;
    }
    return 9;
}

// The 96-dpi device every text is measured on, whatever device it is painted on later.
const QImage& measureDevice() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return image;
}

QFontMetricsF metrics(ReportFont kind) {
    return QFontMetricsF(reportFont(kind), &measureDevice());
}

double lineHeight(ReportFont kind) {
    return metrics(kind).lineSpacing();
}

ReportLayout::Item text(double x, double y, const QString& s, ReportFont font, bool centred = false,
                        double width = kBandWidth) {
    ReportLayout::Item item{ReportLayout::Item::Kind::Text, QRectF(x, y, width, 0), s, font, centred, {}};
    return item;
}

ReportLayout::Item box(ReportLayout::Item::Kind kind, const QRectF& r) {
    return {kind, r, {}, ReportFont::Normal, false, {}};
}

constexpr double kDetailBottom = kPageHeight - kFooterHeight;

} // namespace

QFont reportFont(ReportFont kind, double dpi) {
    QFont f;
    // fontconfig maps Verdana to DejaVu Sans where Verdana is missing; naming both keeps that without fontconfig.
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    // Unhinted metrics grow linearly with the size, so a line measured at 96 dpi fits at any resolution.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setPointSizeF(pointSize(kind) * 96.0 / dpi);
    f.setBold(kind == ReportFont::Bold);
    return f;
}

QStringList wrapText(const QString& text, ReportFont font, double width) {
    const QFontMetricsF fm = metrics(font);
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    QStringList lines;
    for (const QString& paragraph : normalized.split(u'\n')) {
        QString line;
        for (QString word : paragraph.split(u' ')) {
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (fm.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines.append(line);
            line.clear();
            // A word wider than the line is broken where it reaches the edge.
            while (fm.horizontalAdvance(word) > width && word.size() > 1) {
                qsizetype n = 1;
                while (n < word.size() && fm.horizontalAdvance(word.left(n + 1)) <= width)
                    ++n;
                lines.append(word.left(n));
                word = word.mid(n);
            }
            line = word;
        }
        lines.append(line);
    }
    return lines;
}

ReportLayout::ReportLayout(const QList<VehicleBlock>& blocks, const QDateTime& now, int selectedCount,
                           const QLocale& locale)
    : now_(now), count_(selectedCount), locale_(locale) {
    newPage();
    for (const VehicleBlock& b : blocks)
        addBlock(b);
}

void ReportLayout::newPage() {
    Page page;
    auto& it = page.items;
    it.append(box(Item::Kind::FilledRect, QRectF(0, 0, kBandWidth, 34)));
    it.append(text(0, 6, QStringLiteral("Fahrzeugbestand Listenausdruck"), ReportFont::Title, true));
    it.append(box(Item::Kind::Rect, QRectF(0, 33, kBandWidth, 25)));
    it.append(text(118, 38, QStringLiteral("Datum:"), ReportFont::Normal));
    it.append(text(167, 38, now_.date().toString(QStringLiteral("dd.MM.yyyy")), ReportFont::Normal));
    it.append(text(262, 38, QStringLiteral("Zeit:"), ReportFont::Normal));
    it.append(text(298, 38, now_.time().toString(QStringLiteral("HH:mm:ss")), ReportFont::Normal));
    it.append(text(357, 38, QStringLiteral("Fahrzeuge:"), ReportFont::Normal));
    it.append(text(434, 38, locale_.toString(count_), ReportFont::Normal));
    it.append(text(472, 38, QStringLiteral("Seite:"), ReportFont::Normal));
    Item number = text(515, 38, {}, ReportFont::Normal);
    number.kind = Item::Kind::PageNumber;
    it.append(number);
    const double footer = kPageHeight - kFooterHeight;
    it.append(box(Item::Kind::Rect, QRectF(0, footer + 12, kBandWidth, 23)));
    it.append(text(0, footer + 17, QStringLiteral("Hergestellt mit Tarmelo."), ReportFont::Footer, true));
    pages_.append(page);
    y_ = kHeaderHeight;
}

// Places one band: its fixed items, then a growing text block of `lines` at `textTop`. A band that does not fit
// moves to the next page; one taller than a page starts here and continues its text on the following pages.
void ReportLayout::place(const QList<Item>& fixed, double height, double textTop, const QStringList& lines,
                         ReportFont textFont, double paddingBelow) {
    const double lh = lineHeight(textFont);
    const double textHeight = lines.size() * lh;
    const double bandHeight = lines.isEmpty() ? height : std::max(height, textTop + textHeight + paddingBelow);
    if (y_ + bandHeight > kDetailBottom) {
        const bool fitsOnEmptyPage = kHeaderHeight + bandHeight <= kDetailBottom;
        const bool firstLineFits = y_ + textTop + lh <= kDetailBottom && y_ + height <= kDetailBottom;
        if (fitsOnEmptyPage || !firstLineFits || lines.isEmpty())
            newPage();
    }
    const double bandTop = y_;
    const qsizetype startPage = pages_.size();
    for (Item item : fixed) {
        item.rect.translate(0, y_);
        pages_.last().items.append(item);
    }
    if (lines.isEmpty()) {
        y_ += height;
        return;
    }
    double y = y_ + textTop;
    for (const QString& line : lines) {
        if (y + lh > kDetailBottom) {
            newPage();
            y = y_;
        }
        pages_.last().items.append(text(0, y, line, textFont));
        y += lh;
    }
    y_ = pages_.size() == startPage ? std::max(bandTop + height, y + paddingBelow) : y + paddingBelow;
}

void ReportLayout::addBlock(const VehicleBlock& b) {
    // Detail band: the title may wrap; what stands below it moves down with it.
    const QStringList title = wrapText(b.title, ReportFont::Bold, kBandWidth);
    const double shift = (title.size() - 1) * lineHeight(ReportFont::Bold);
    QList<Item> detail;
    for (qsizetype i = 0; i < title.size(); ++i)
        detail.append(text(0, 18 + i * lineHeight(ReportFont::Bold), title[i], ReportFont::Bold));
    detail.append(box(Item::Kind::Bar, QRectF(0, 36 + shift, kBandWidth, 3)));
    detail.append(text(0, 49 + shift, QStringLiteral("Merkmale:"), ReportFont::Bold));
    place(detail, 89 + shift, 66 + shift, wrapText(b.features, ReportFont::Normal, kBandWidth), ReportFont::Normal, 6);

    if (!b.memo.isEmpty())
        place({text(0, 0, QStringLiteral("Beschreibung:"), ReportFont::Bold)}, 40, 17,
              wrapText(b.memo, ReportFont::Normal, kBandWidth), ReportFont::Normal, 6);
    if (!b.price.isEmpty())
        place({text(0, 0, b.price, ReportFont::Normal)}, 16, 0, {}, ReportFont::Normal, 0);
    if (!b.dealerPrice.isEmpty())
        place({text(0, 0, b.dealerPrice, ReportFont::Normal)}, 16, 0, {}, ReportFont::Normal, 0);
    for (int row = 0; row < 3; ++row) {
        if (!b.photoRows[size_t(row)])
            continue;
        QList<Item> frames;
        for (int f = 0; f < 6; ++f) {
            const size_t slot = size_t(row) * 6 + size_t(f);
            if (slot < b.unreadable.size() && b.unreadable[slot]) {
                const QRectF frame(f * kFrameStep, kFrameTop, kFrameWidth, kFrameHeight);
                frames.append(box(Item::Kind::Rect, frame));
                frames.append(
                    text(frame.x(), frame.center().y() - 7, photo::kUnreadable, ReportFont::Normal, true, kFrameWidth));
                continue;
            }
            if (slot >= b.photos.size() || b.photos[slot].isNull())
                continue;
            const QImage& img = b.photos[slot];
            // Centred in its frame at its own size: never stretched.
            const double x = f * kFrameStep + (kFrameWidth - img.width()) / 2.0;
            const double y = kFrameTop + (kFrameHeight - img.height()) / 2.0;
            frames.append(
                {Item::Kind::Image, QRectF(x, y, img.width(), img.height()), {}, ReportFont::Normal, false, img});
        }
        place(frames, kPhotoRowHeight, 0, {}, ReportFont::Normal, 0);
    }
}

void ReportLayout::paintPage(QPainter& painter, int index, double dpi) const {
    if (index < 0 || index >= pages_.size())
        return;
    painter.save();
    painter.scale(dpi / 96.0, dpi / 96.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont fonts[4];
    for (int k = 0; k < 4; ++k)
        fonts[k] = reportFont(ReportFont(k), dpi);
    const QPen line(Qt::black, 1);
    for (const Item& item : pages_[index].items) {
        switch (item.kind) {
        case Item::Kind::FilledRect:
            painter.setPen(line);
            painter.setBrush(QColor(224, 224, 224));
            painter.drawRect(item.rect);
            break;
        case Item::Kind::Bar:
            painter.fillRect(item.rect, Qt::black);
            break;
        case Item::Kind::Rect:
            painter.setPen(line);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(item.rect);
            break;
        case Item::Kind::Image:
            painter.drawImage(item.rect, item.image);
            break;
        case Item::Kind::Text:
        case Item::Kind::PageNumber: {
            const QString s = item.kind == Item::Kind::PageNumber ? locale_.toString(index + 1) : item.text;
            const QFont& font = fonts[int(item.font)];
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QFontMetricsF fm = metrics(item.font);
            double x = item.rect.x();
            if (item.centred)
                x += (item.rect.width() - fm.horizontalAdvance(s)) / 2.0;
            painter.drawText(QPointF(x, item.rect.y() + fm.ascent()), s);
            break;
        }
        }
    }
    painter.restore();
}

bool ReportLayout::render(QPagedPaintDevice& device) const {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginSideMm, kMarginTopMm, kMarginSideMm, kMarginBottomMm),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double dpi = device.logicalDpiY();
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        paintPage(painter, i, dpi);
    }
    return painter.end();
}

QString writeReportPdf(const ReportLayout& layout, const QString& path) {
    return writePdfFile(path, kReportTitle, [&layout](QPdfWriter& writer) {
        writer.setResolution(300);
        return layout.render(writer);
    });
}

QString writePdfFile(const QString& path, const QString& title, const std::function<bool(QPdfWriter&)>& paint) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(path, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Tarmelo"));
        if (!paint(writer))
            return QStringLiteral("Die Datei \"%1\" konnte nicht erstellt werden.").arg(path);
    }
    if (!file.commit())
        return QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden: %2").arg(path, file.errorString());
    return {};
}

} // namespace tarmelo::print
