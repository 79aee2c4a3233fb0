#pragma once

#include "model/Fahrzeug.h"
#include "photo/Reduce.h"

#include <QByteArray>
#include <QGroupBox>
#include <QList>
#include <QPixmap>

#include <functional>

class QDialog;
class QLabel;
class QPushButton;
class QThreadPool;
template <typename T> class QFutureWatcher;

namespace tarmelo::gui {

// The group " Bilder (max. 15) " of one class: shows one photo of the selected vehicle at a time,
// steps through them, adds photos from image files and deletes the photo shown.
class PhotoGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit PhotoGroup(int klasse, QWidget* parent = nullptr);
    ~PhotoGroup() override;

    // nullptr: no vehicle selected. Otherwise shows photo 1 or the empty state.
    void setVehicle(model::TFahrzeug* v);
    model::TFahrzeug* vehicle() const { return vehicle_; }

    // Shows photo p (1-based) and sets the buttons and the position label.
    void refreshPic(int p);
    // Number of the photo shown; 0 when none is.
    int position() const { return position_; }

    bool isBusy() const { return busy_; }
    // ImageClick opens the preview only while this answers true.
    void setPreviewAllowed(std::function<bool()> allowed) { previewAllowed_ = std::move(allowed); }

    // How ImageClick shows the preview; tests replace it to inspect the dialog without blocking.
    std::function<void(QDialog*)> showDialog;

public slots:
    void AddPic();
    void RemovePic();
    void LastPic();
    void NextPic();
    void ImageClick();

signals:
    void modified();
    void photoCountChanged(int n);
    void busyChanged(bool busy);
    void progressChanged(int percent);
    void addFinished(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEmpty();
    QPixmap scaledPhoto(const QByteArray& jpeg);
    void setBusy(bool busy);
    void setProgress(int percent);
    // Photo `photo` of the running add reached `stage` (1 loaded, 2 fitted, 3 encoded, 4 done).
    void addStep(int photo, int stage);
    void showAddProgress();
    void finishAdd();

    int klasse_;
    model::TFahrzeug* vehicle_ = nullptr;
    model::TFahrzeug* addTarget_ = nullptr; // the vehicle selected when the running add started
    int position_ = 0;
    bool busy_ = false;
    std::function<bool()> previewAllowed_;
    QFutureWatcher<photo::PhotoResult>* addWatcher_ = nullptr;
    QThreadPool* pool_ = nullptr; // the threads that reduce added photos
    QList<int> addStages_;        // per file of the running add
    int addPercent_ = -1;

    struct CachedPhoto {
        QByteArray jpeg; // holds the data, so its address stays a valid key
        QPixmap scaled;
    };
    QList<CachedPhoto> cache_;

    QLabel* image_ = nullptr;
    QLabel* empty_ = nullptr;
    QPushButton* back_ = nullptr;
    QLabel* picPos_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* del_ = nullptr;
};

} // namespace tarmelo::gui
