#include "support/ScriptedMessageBoxes.h"

MessageBoxes::Answer ScriptedMessageBoxes::show(const QString& text, const QString& title,
                                                Icon icon, Buttons buttons) {
    const Box box{text, title, icon, buttons};
    shown.append(box);
    if (onShow)
        onShow(box);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

void ScriptedMessageBoxes::notify(const QString& text, const QString& title, Icon icon) {
    notices.append(Box{text, title, icon, Buttons::Ok});
}
