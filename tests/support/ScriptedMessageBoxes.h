#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QString>

#include <functional>

// Message boxes for tests: every box is recorded, answers come from a queue. With the queue empty
// an Ok box answers Ok and a Yes/No box answers No.
class ScriptedMessageBoxes : public MessageBoxes {
public:
    struct Box {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        bool operator==(const Box&) const = default;
    };

    QList<Box> shown;      // in the order they were shown
    QList<Answer> answers; // taken from the front, one per box
    QList<Box> notices;    // boxes that did not wait for an answer, in order

    // Called with each box before it is answered, while the caller still waits on it.
    std::function<void(const Box&)> onShow;

    Answer show(const QString& text, const QString& title, Icon icon,
                Buttons buttons = Buttons::Ok) override;
    void notify(const QString& text, const QString& title, Icon icon) override;
};
