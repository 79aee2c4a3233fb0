#include "TformPicPreview.h"

#include "common/Dialogs.h"
#include "photo/Jpeg.h"
#include "photo/Resample.h"
#include "shell/Help.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarmelo::gui {

namespace {
constexpr QSize kDesignedSize{306, 224};
}

TformPicPreview::TformPicPreview(const QByteArray& jpeg, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formPicPreview"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(kDesignedSize);
    if (!jpeg.isEmpty())
        photo_ = photo::decodeJpeg(jpeg);
    if (photo_.isNull()) {
        setWindowTitle(QStringLiteral("Fehler beim Laden der Vorschau"));
    } else {
        setWindowTitle(QStringLiteral("Vorschau"));
        resize(photo_.size());
    }
    if (parent) {
        const QRect outer = parent->window()->frameGeometry();
        move(outer.center() - QPoint(width() / 2, height() / 2));
    }
    Dialogs::bindHelpKey(this, shell::kHelpPreview);
    // A hidden widget gets its resize event only when shown; the photo is wanted before that.
    rescale();
}

void TformPicPreview::rescale() {
    shown_ = {};
    shownRect_ = {};
    if (photo_.isNull() || width() < 1 || height() < 1)
        return;
    const QSize client = size();
    const QSize fitted = photo_.size().scaled(client, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (photo_.width() < client.width() && photo_.height() < client.height()) {
        // Enlarging: blocky pixels show the photo as it is instead of inventing detail.
        shown_ = photo_.scaled(fitted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    } else {
        shown_ = photo::resampleLanczos(photo_, fitted.boundedTo(photo_.size()));
    }
    shownRect_ =
        QRect(QPoint((client.width() - shown_.width()) / 2, (client.height() - shown_.height()) / 2), shown_.size());
}

void TformPicPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    rescale();
}

void TformPicPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!shown_.isNull())
        painter.drawImage(shownRect_.topLeft(), shown_);
}

void TformPicPreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && shownRect_.contains(event->position().toPoint())) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

} // namespace tarmelo::gui
