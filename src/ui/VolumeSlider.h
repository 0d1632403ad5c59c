#pragma once

#include <QSlider>

// The volume slider: reports pointer moves (with or without a button held) after the slider has
// followed them, and keeps a selected range that the skin shows as the filled part. The wheel
// does not move it by itself: the turn is reported (120 a notch), for the window to set the
// volume.
class VolumeSlider : public QSlider {
    Q_OBJECT
public:
    explicit VolumeSlider(QWidget* parent = nullptr);

    int selLength() const { return selLength_; }
    void setSelLength(int length);

signals:
    void mouseMoved(int button, int shift, float x, float y);
    void wheelTurned(int angle);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int selLength_ = 0;
};
