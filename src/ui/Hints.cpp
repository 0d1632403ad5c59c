// The hint line along the bottom edge: names the control under the pointer for a few seconds.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"

#include <QLabel>
#include <QTimer>

void MainForm::ShowHint(const CaptionText& text) {
    const QString hint = caption(text);
    if (toolTips->text() == hint)
        return;
    toolTips->setText(hint);
    // A running hide timer keeps counting from where it is.
    if (!toolTipTimer->isActive())
        toolTipTimer->start();
}

void MainForm::toolTipTimer_Timer() {
    toolTips->setText(QString());
    toolTipTimer->stop();
}
