#include "app/Startup.h"
#include "engine/VlcStart.h"
#include "platform/FontConfigWarmUp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // libVLC and the font configuration load beside Qt: none of them needs the others.
    FontConfigWarmUp fonts;
    VlcStart vlc;
    QApplication app(argc, argv);
    return runStillbeck(app, QCoreApplication::applicationDirPath(),
                        discArgumentOf(QCoreApplication::arguments()), &vlc);
}
