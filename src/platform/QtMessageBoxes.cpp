#include "platform/QtMessageBoxes.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MessageBoxes::Icon icon) {
    switch (icon) {
    case MessageBoxes::Icon::Information:
        return QMessageBox::Information;
    case MessageBoxes::Icon::Warning:
        return QMessageBox::Warning;
    case MessageBoxes::Icon::Critical:
        return QMessageBox::Critical;
    case MessageBoxes::Icon::Question:
        return QMessageBox::Question;
    case MessageBoxes::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, const QString& title, Icon icon,
                                          Buttons buttons) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(boxIcon(icon));
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

void QtMessageBoxes::notify(const QString& text, const QString& title, Icon icon) {
    auto* box = new QMessageBox(boxIcon(icon), title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
