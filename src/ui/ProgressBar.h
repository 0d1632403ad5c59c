#pragma once

#include <QProgressBar>

// A position bar holding a fractional value from 0 to 100 and reporting button presses with the
// pointer's offset from its left edge.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);

    float floatValue() const { return value_; }
    void setFloatValue(float value);

signals:
    // button: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void mouseDown(int button, int shift, float x, float y);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    float value_ = 0;
};
