#pragma once

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QRect>

namespace tarmelo::gui {

// The photo of a vehicle at its own size in a sizeable tool window; Escape or a click on the photo closes it.
class TformPicPreview : public QDialog {
    Q_OBJECT
public:
    // An empty or undecodable `jpeg` gives the error caption and an empty window.
    explicit TformPicPreview(const QByteArray& jpeg, QWidget* parent = nullptr);

    bool hasPhoto() const { return !photo_.isNull(); }
    // Where the photo is drawn in the client area; empty without a photo.
    QRect photoRect() const { return shownRect_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void rescale();

    QImage photo_;
    QImage shown_;
    QRect shownRect_;
};

} // namespace tarmelo::gui
