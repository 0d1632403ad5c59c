#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// What happened while a modal window was run by runModal().
struct ModalRun {
    bool shown = false;        // a modal window came up and became active
    bool forcedClosed = false; // the script left it open and the watchdog closed it
};

// Calls `open`, which shows a window modally and returns once it has closed. Inside the modal loop,
// once the window is active, `script` runs with it. A window the script leaves open is closed after
// a few seconds so that a fault cannot hang the test run.
inline ModalRun runModal(const std::function<void()>& open,
                         const std::function<void(QWidget&)>& script) {
    ModalRun run;
    QPointer<QWidget> modal;
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget();
        if (!modal || !QTest::qWaitForWindowActive(modal)) {
            if (modal)
                modal->close();
            return;
        }
        run.shown = true;
        script(*modal);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (modal && modal->isVisible()) {
            run.forcedClosed = true;
            modal->close();
        }
    });
    watchdog.start(5000);
    open();
    watchdog.stop();
    return run;
}
