#include "app/Startup.h"

#include "app/EngineAssembly.h"
#include "app/MainForm.h"
#include "engine/VlcEngine.h"
#include "platform/DiskSpace.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageBoxes.h"
#include "platform/posix/CdromDriveSource.h"

#include <QApplication>
#include <QIcon>

QString discArgumentOf(const QStringList& arguments) {
    const QString first = arguments.value(1);
    return first.startsWith(u'-') ? QString() : first;
}

int runStillbeck(QApplication& app, const QString& programFolder, const QString& discArgument,
                 VlcStart* vlcStart) {
    QApplication::setApplicationName(QStringLiteral("Stillbeck"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(STILLBECK_VERSION_MAJOR)
                                            .arg(STILLBECK_VERSION_MINOR)
                                            .arg(STILLBECK_VERSION_PATCH));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/stillbeck.png")));
    platform::setProgramFolder(programFolder);

    QtMessageBoxes boxes;
    CdromDriveSource drives;
    const std::unique_ptr<EngineAssembly> engine =
        vlcStart ? startEngine(&drives, boxes, *vlcStart) : startEngine(&drives, boxes);
    if (!engine)
        return kEngineStartFailedExit;
    InstanceLock instanceLock;
    InstanceChannel instanceChannel(instanceLock.channelPath());

    MainFormServices services;
    services.boxes = &boxes;
    services.engine = &engine->engine();
    services.writer = &engine->writer();
    services.drives = &drives;
    services.instanceLock = &instanceLock;
    services.instanceChannel = &instanceChannel;
    services.fullScreen = &engine->fullScreenView();
    services.discArgument = discArgument;
    services.freeSpace = platform::freeBytesAvailable;

    MainForm mainForm(services);
    // startUp() shows the window itself, unless another instance runs.
    if (!mainForm.startUp())
        return 0;
    return app.exec();
}
