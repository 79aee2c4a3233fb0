#include "PhotoGroup.h"

#include "TformPicPreview.h"
#include "common/Dialogs.h"

#include <QEvent>
#include <QFrame>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

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
    pool_ = new QThreadPool(this);
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
    const QStringList paths = Dialogs::openFileNames(
        this, QStringLiteral("Bild hinzufügen"),
        QStringLiteral("Alle (*.bmp *.jpg *.jpeg);;Windows-Bitmap (*.bmp);;JPEG-Grafikdatei (*.jpg *.jpeg)"));
    if (paths.isEmpty())
        return;
    const int free = model::kPhotoSlots - model::countPhotos(*vehicle_);
    if (paths.size() > free) {
        Dialogs::warning(this, free == 1
                                   ? QStringLiteral("Es kann nur noch ein Bild hinzugefügt werden.")
                                   : QStringLiteral("Es können nur noch %1 Bilder hinzugefügt werden.").arg(free));
        return;
    }

    addTarget_ = vehicle_;
    setBusy(true);
    refreshPic(position_);
    addStages_ = QList<int>(paths.size(), 0);
    addPercent_ = -1;
    showAddProgress();

    addWatcher_ = new QFutureWatcher<photo::PhotoResult>(this);
    connect(addWatcher_, &QFutureWatcherBase::finished, this, &PhotoGroup::finishAdd);
    // The photos are reduced side by side on a pool of their own: Qt paints large areas with the help of the global
    // pool's threads, and the window would wait for the photos to be done before it could repaint. The results keep
    // the order of the files. The steps are posted, so they reach the bar before the end does; the results are not
    // asked for before the end, as asking a running future makes the asking thread take over queued work.
    QList<int> indices(paths.size());
    std::iota(indices.begin(), indices.end(), 0);
    addWatcher_->setFuture(QtConcurrent::mapped(pool_, indices, [this, paths](int i) {
        const auto step = [this, i](int stage) {
            QMetaObject::invokeMethod(
                this, [this, i, stage] { addStep(i, stage); }, Qt::QueuedConnection);
        };
        photo::PhotoResult result = photo::reduceAddedPhoto(paths[i], [&step](int percent) { step(percent / 20 - 1); });
        if (result.ok())
            step(4);
        return result;
    }));
}

void PhotoGroup::addStep(int photo, int stage) {
    if (photo < 0 || photo >= addStages_.size() || stage <= addStages_[photo])
        return;
    addStages_[photo] = stage;
    showAddProgress();
}

void PhotoGroup::showAddProgress() {
    // 20 when the adding starts, 100 when every photo is there; each photo's steps take their share of the rest.
    const int done = std::accumulate(addStages_.cbegin(), addStages_.cend(), 0);
    const int percent = 20 + int(80LL * done / (4LL * std::max<qsizetype>(addStages_.size(), 1)));
    if (percent != addPercent_) {
        addPercent_ = percent;
        setProgress(percent);
    }
}

void PhotoGroup::finishAdd() {
    const QList<photo::PhotoResult> results = addWatcher_->future().results();
    addWatcher_->deleteLater();
    addWatcher_ = nullptr;
    addStages_.clear();
    model::TFahrzeug* target = addTarget_;
    addTarget_ = nullptr;

    int shown = position_;
    bool allAdded = true;
    bool anyAdded = false;
    for (const photo::PhotoResult& result : results) {
        const int n = model::countPhotos(*target);
        if (!result.ok() || n >= model::kPhotoSlots) {
            allAdded = false;
            continue;
        }
        target->bilder[size_t(n)] = result.jpeg;
        anyAdded = true;
        shown = n + 1;
    }
    if (anyAdded)
        emit modified();
    setProgress(0);
    setBusy(false);
    refreshPic(vehicle_ == target ? shown : 1);
    if (!allAdded)
        Dialogs::error(
            this,
            QStringLiteral("Grafikdatei konnte nicht importiert werden.\nBildformat und Datei-/Bildgröße überprüfen!"),
            1007);
    emit addFinished(allAdded);
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
