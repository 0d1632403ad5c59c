#pragma once

#include <QPoint>

class QDialog;

// A dialog with a fixed frame (title and close control only, no minimize or maximize) at its
// designed size, its client area placed at a fixed point of the primary screen.
void makeFixedDialog(QDialog* dialog, QPoint clientPosition);
