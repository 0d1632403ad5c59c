#include "ui/FixedDialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

void makeFixedDialog(QDialog* dialog, QPoint clientPosition) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    const QSize clientSize = dialog->size();
    dialog->setFixedSize(clientSize);
    QPoint origin;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        origin = screen->geometry().topLeft();
    // An explicit geometry also keeps QDialog from centring the window on its first showing.
    dialog->setGeometry(QRect(origin + clientPosition, clientSize));
}
