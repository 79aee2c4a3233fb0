#include "PhotoGroup.h"

#include "PicPreview.h"
#include "common/Dialogs.h"

#include <QEvent>
#include <QFrame>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace tarmelo::gui {

namespace {
constexpr QSize kFrameSize{239, 158};

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

PhotoGroup::PhotoGroup(int klasse, QWidget* parent)
    : QGroupBox(QStringLiteral(" Bilder (max. 15) "), parent), klasse_(klasse) {
    setObjectName(QStringLiteral("grp_%1_bilder").arg(klasse));
    showDialog = [](QDialog* dialog) { dialog->exec(); };
    previewAllowed_ = [] { return true; };

    // A sunken border marks where the photo goes, also while there is none.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("pnl_%1_pic").arg(klasse));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    const int border = frame->frameWidth();
    frame->setFixedSize(kFrameSize + QSize(2 * border, 2 * border));
    auto* stack = new QGridLayout(frame);
    stack->setContentsMargins(0, 0, 0, 0);
    empty_ = new QLabel(QStringLiteral("Keine Bilder vorhanden"), frame);
    empty_->setObjectName(QStringLiteral("lbl_%1_nopic").arg(klasse));
    empty_->setAlignment(Qt::AlignCenter);
    image_ = new QLabel(frame);
    image_->setObjectName(QStringLiteral("Image%1").arg(klasse));
    image_->setFixedSize(kFrameSize);
    image_->setAlignment(Qt::AlignCenter);
    image_->setCursor(Qt::PointingHandCursor);
    image_->installEventFilter(this);
    stack->addWidget(empty_, 0, 0);
    stack->addWidget(image_, 0, 0);

    back_ = button(QStringLiteral("sp_%1_back").arg(klasse), QStringLiteral("<"), this);
    next_ = button(QStringLiteral("sp_%1_next").arg(klasse), QStringLiteral(">"), this);
    add_ = button(QStringLiteral("sp_%1_add").arg(klasse), QStringLiteral("Hinzufügen"), this);
    del_ = button(QStringLiteral("sp_%1_del").arg(klasse), QStringLiteral("Löschen"), this);
    for (QPushButton* b : {back_, next_})
        b->setFixedWidth(28);
    picPos_ = new QLabel(QStringLiteral("- / -"), this);
    picPos_->setObjectName(QStringLiteral("lbl_%1_picpos").arg(klasse));
    picPos_->setAlignment(Qt::AlignCenter);
    picPos_->setMinimumWidth(picPos_->fontMetrics().horizontalAdvance(QStringLiteral("15 / 15")) + 8);

    auto* controls = new QHBoxLayout;
    controls->addWidget(back_);
    controls->addWidget(picPos_);
    controls->addWidget(next_);
    controls->addStretch();
    controls->addWidget(add_);
    controls->addWidget(del_);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(frame, 0, Qt::AlignHCenter);
    lay->addLayout(controls);

    connect(add_, &QPushButton::clicked, this, &PhotoGroup::AddPic);
    connect(del_, &QPushButton::clicked, this, &PhotoGroup::RemovePic);
    connect(back_, &QPushButton::clicked, this, &PhotoGroup::LastPic);
    connect(next_, &QPushButton::clicked, this, &PhotoGroup::NextPic);

    showEmpty();
}

PhotoGroup::~PhotoGroup() {
    // The worker must not outlive the group it reports to.
    if (addWatcher_)
        addWatcher_->waitForFinished();
}

void PhotoGroup::setVehicle(model::TFahrzeug* v) {
    if (v != vehicle_)
        cache_.clear();
    vehicle_ = v;
    refreshPic(1);
}

void PhotoGroup::showEmpty() {
    position_ = 0;
    image_->hide();
    image_->clear();
    empty_->show();
    back_->setEnabled(false);
    next_->setEnabled(false);
    del_->setEnabled(false);
    add_->setEnabled(vehicle_ != nullptr && !busy_);
    picPos_->setText(QStringLiteral("- / -"));
}

void PhotoGroup::refreshPic(int p) {
    if (!vehicle_ || vehicle_->bilder[0].isEmpty()) {
        showEmpty();
        if (vehicle_)
            emit photoCountChanged(0);
        return;
    }
    const int n = model::countPhotos(*vehicle_);
    p = std::clamp(p, 1, n);
    position_ = p;
    const QPixmap scaled = scaledPhoto(vehicle_->bilder[size_t(p - 1)]);
    if (scaled.isNull())
        image_->setText(photo::kUnreadable);
    else
        image_->setPixmap(scaled);
    image_->show();
    empty_->hide();
    // While an add runs the group takes no commands, as the blocking original did.
    back_->setEnabled(p != 1 && !busy_);
    add_->setEnabled(n != model::kPhotoSlots && !busy_);
    next_->setEnabled(p != n && !busy_);
    del_->setEnabled(!busy_);
    picPos_->setText(QStringLiteral("%1 / %2").arg(p).arg(n));
    emit photoCountChanged(n);
}

QPixmap PhotoGroup::scaledPhoto(const QByteArray& jpeg) {
    // Copies of a slot share their data, so the address identifies the photo after shifts too.
    for (const CachedPhoto& c : std::as_const(cache_))
        if (c.jpeg.constData() == jpeg.constData() && c.jpeg.size() == jpeg.size())
            return c.scaled;
    QPixmap scaled = QPixmap::fromImage(photo::fitInto(jpeg, kFrameSize));
    if (cache_.size() >= model::kPhotoSlots)
        cache_.removeFirst();
    cache_.append({jpeg, scaled});
    return scaled;
}

void PhotoGroup::setBusy(bool busy) {
    if (busy_ == busy)
        return;
    busy_ = busy;
    emit busyChanged(busy);
}

void PhotoGroup::setProgress(int percent) {
    emit progressChanged(percent);
}

void PhotoGroup::AddPic() {
    if (!vehicle_ || busy_ || model::countPhotos(*vehicle_) >= model::kPhotoSlots)
        return;
    const QString path = Dialogs::openFileName(
        this, QStringLiteral("Bild hinzufügen"),
        QStringLiteral("Alle (*.bmp *.jpg *.jpeg);;Windows-Bitmap (*.bmp);;JPEG-Grafikdatei (*.jpg *.jpeg)"));
    if (path.isEmpty())
        return;

    addTarget_ = vehicle_;
    setBusy(true);
    refreshPic(position_);
    setProgress(20);

    addWatcher_ = new QFutureWatcher<photo::PhotoResult>(this);
    connect(addWatcher_, &QFutureWatcherBase::finished, this, &PhotoGroup::finishAdd);
    // Queued, so the progress reaches the bar on the GUI thread before the result does.
    auto progress = [this](int percent) {
        QMetaObject::invokeMethod(
            this, [this, percent] { setProgress(percent); }, Qt::QueuedConnection);
    };
    addWatcher_->setFuture(QtConcurrent::run([path, progress] { return photo::reduceAddedPhoto(path, progress); }));
}

void PhotoGroup::finishAdd() {
    const photo::PhotoResult result = addWatcher_->result();
    addWatcher_->deleteLater();
    addWatcher_ = nullptr;
    model::TFahrzeug* target = addTarget_;
    addTarget_ = nullptr;

    int shown = position_;
    if (result.ok()) {
        setProgress(100);
        const int n = model::countPhotos(*target);
        if (n < model::kPhotoSlots) {
            target->bilder[size_t(n)] = result.jpeg;
            emit modified();
            shown = n + 1;
        }
    }
    setProgress(0);
    setBusy(false);
    refreshPic(vehicle_ == target ? shown : 1);
    if (!result.ok())
        Dialogs::error(
            this,
            QStringLiteral("Grafikdatei konnte nicht importiert werden.\nBildformat und Datei-/Bildgröße überprüfen!"),
            1007);
    emit addFinished(result.ok());
}

void PhotoGroup::RemovePic() {
    if (!vehicle_ || busy_)
        return;
    const int p = position_;
    if (p < 1 || p > model::kPhotoSlots)
        return;
    auto& photos = vehicle_->bilder;
    const int n = model::countPhotos(*vehicle_);
    photos[size_t(p - 1)] = QByteArray();
    emit modified();
    if (p == n) {
        refreshPic(n - 1);
        return;
    }
    for (int i = p; i <= n - 1; ++i)
        photos[size_t(i - 1)] = photos[size_t(i)];
    photos[size_t(n - 1)] = QByteArray();
    refreshPic(p);
}

void PhotoGroup::LastPic() {
    if (!vehicle_ || busy_)
        return;
    if (position_ >= 2 && position_ <= model::kPhotoSlots)
        refreshPic(position_ - 1);
}

void PhotoGroup::NextPic() {
    if (!vehicle_ || busy_)
        return;
    if (position_ >= 1 && position_ <= model::kPhotoSlots - 1)
        refreshPic(position_ + 1);
}

void PhotoGroup::ImageClick() {
    if (!vehicle_ || busy_ || !previewAllowed_ || !previewAllowed_())
        return;
    const QByteArray jpeg = position_ >= 1 ? vehicle_->bilder[size_t(position_ - 1)] : QByteArray();
    TformPicPreview preview(jpeg, window());
    showDialog(&preview);
}

bool PhotoGroup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ImageClick();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

} // namespace tarmelo::gui
