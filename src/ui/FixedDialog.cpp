#include "ui/FixedDialog.h"

#include <QDialog>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>

void makeFixedDialog(QDialog* dialog, QPoint clientPosition) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    // The designed geometry fits the compact dialog font (8 pt of the narrow font the windows were
    // drawn with, 7.5 pt of Arial here). A style sheet rule, because the skin's style sheet keeps
    // fonts from passing on to the children.
    dialog->setStyleSheet(QStringLiteral("* { font-family: Arial; font-size: 7.5pt; }"));
    const QSize clientSize = dialog->size();
    dialog->setFixedSize(clientSize);
    QPoint origin;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        origin = screen->geometry().topLeft();
    // An explicit geometry also keeps QDialog from centring the window on its first showing.
    dialog->setGeometry(QRect(origin + clientPosition, clientSize));
}
