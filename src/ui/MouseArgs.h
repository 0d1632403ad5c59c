#pragma once

#include <QMouseEvent>

// Button and shift words of a pointer event: 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
inline int mouseButtonWord(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

inline int shiftWord(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}
