#pragma once

#include "print/ReportData.h"

#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPdfWriter;
class QPainter;

namespace tarmelo::print {

// The report's own small band renderer. Everything is laid out once, in pixels of a 96-dpi page measured from the
// top-left corner of the printable area, and painted on any device by scaling: preview, printer and PDF show the
// same pages.
namespace layout {
inline constexpr double kBandWidth = 642;
inline constexpr double kHeaderHeight = 70;
inline constexpr double kFooterHeight = 35;
inline constexpr double kMarginTopMm = 15;
inline constexpr double kMarginBottomMm = 20;
inline constexpr double kMarginSideMm = 20;
inline constexpr double kPixelsPerMm = 96.0 / 25.4;
// A4 height less the top and bottom margins.
inline constexpr double kPageHeight = (297.0 - kMarginTopMm - kMarginBottomMm) * kPixelsPerMm;
inline constexpr double kPhotoRowHeight = 88;
inline constexpr double kFrameWidth = 104;
inline constexpr double kFrameHeight = 78;
inline constexpr double kFrameTop = 9;
inline constexpr double kFrameStep = 107;
} // namespace layout

enum class ReportFont { Title, Normal, Bold, Footer };

// The report's fonts: Verdana, or a metrically close free font where it is missing. `dpi` is the resolution of the
// device the font is used on while the painter scales 96-dpi pixels to it.
QFont reportFont(ReportFont kind, double dpi = 96);

class ReportLayout {
public:
    struct Item {
        enum class Kind { Text, FilledRect, Rect, Bar, Image, PageNumber };
        Kind kind;
        QRectF rect; // text: top-left of the line, width for centring
        QString text;
        ReportFont font = ReportFont::Normal;
        bool centred = false;
        QImage image;
    };
    struct Page {
        QList<Item> items;
    };

    ReportLayout(const QList<VehicleBlock>& blocks, const QDateTime& now, int selectedCount,
                 const QLocale& locale = QLocale());

    int pageCount() const { return int(pages_.size()); }
    const QList<Page>& pages() const { return pages_; }

    // Paints page `index` with the painter's origin at the top-left corner of the printable area and one unit being
    // one device pixel of a device of `dpi` dots per inch.
    void paintPage(QPainter& painter, int index, double dpi) const;

    // Sets A4 portrait with the report's margins and paints every page; false when the painter cannot start.
    bool render(QPagedPaintDevice& device) const;

private:
    void addBlock(const VehicleBlock& block);
    void newPage();
    void place(const QList<Item>& fixed, double height, double textTop, const QStringList& lines, ReportFont textFont,
               double paddingBelow);

    QList<Page> pages_;
    double y_ = 0;
    QDateTime now_;
    int count_ = 0;
    QLocale locale_;
};

// Writes the report as a PDF file, atomically; an empty result means success, else a German message.
QString writeReportPdf(const ReportLayout& layout, const QString& path);

// Writes a PDF atomically: `paint` sets the writer up and paints the pages (false: it could not). A German message
// when the file cannot be written, empty on success.
QString writePdfFile(const QString& path, const QString& title, const std::function<bool(QPdfWriter&)>& paint);

// Word wrapping at blanks (a word wider than the line is broken), keeping the text's own line breaks.
QStringList wrapText(const QString& text, ReportFont font, double width);

} // namespace tarmelo::print
