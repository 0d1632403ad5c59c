#include "app/Startup.h"
#include "engine/VlcStart.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // libVLC starts beside Qt: each takes tens of milliseconds, and neither needs the other.
    VlcStart vlc;
    QApplication app(argc, argv);
    return runStillbeck(app, QCoreApplication::applicationDirPath(),
                        discArgumentOf(QCoreApplication::arguments()), &vlc);
}
