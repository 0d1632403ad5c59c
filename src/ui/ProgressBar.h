#pragma once

#include <QProgressBar>

// A position bar holding a fractional value from 0 to 100 and reporting button presses with the
// pointer's offset from its left edge.
//
// The position timer sets the value a hundred times a second, and Qt's progress bar works out on
// each change whether to repaint by asking the style (and its style sheet). The drawn value is
// therefore passed on only when it moves the fill by a whole pixel, reaches either end, or the
// bar changes its width; floatValue() is always the exact value.
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
    void resizeEvent(QResizeEvent* event) override;

private:
    int pixelOf(int steps) const;

    float value_ = 0;
};
