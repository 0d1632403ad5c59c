#include "MainFormHarness.h"

#include "platform/ProgramFolder.h"
#include "platform/Sleep.h"

#include "Fixtures.h"

#include <QDir>
#include <QFile>
#include <QTimer>

MainFormHarness::MainFormHarness(bool writeConfig) {
    platform::setProgramFolder(programDir.path());
    platform::setSleepHook([this](int ms) { sleeps.append(ms); });
    Settings::current() = Settings();
    if (writeConfig) {
        QFile config(programDir.filePath(QStringLiteral("Config.cfg")));
        if (config.open(QIODevice::WriteOnly)) {
            const QByteArray snapshots = QFile::encodeName(programDir.path()) + "/";
            config.write("0\r\n" + snapshots + "\r\nIMG_\r\n0\r\n5000\r\nEnglish.ini\r\n");
        }
    }
    lock = std::make_unique<InstanceLock>(QStringLiteral("TarnwickStillbeck"), programDir.path());
}

MainFormHarness::~MainFormHarness() {
    if (form)
        probe(*form).movieTimer->stop();
    form.reset();
    vlc.reset();
    platform::setSleepHook({});
    platform::setProgramFolder(QString());
}

MainForm& MainFormHarness::start() {
    MainFormServices services;
    services.boxes = &boxes;
    services.engine = realEngine ? realEngine : &engine;
    services.writer = vlc ? &vlc->writer() : nullptr;
    services.drives = &drives;
    services.instanceLock = lock.get();
    services.freeSpace = [this](const QString& path, qint64* bytes) {
        freeSpaceQueries.append(path);
        *bytes = freeBytes;
        return true;
    };
    services.endProcess = [this] { ++endProcessCalls; };
    services.showSplash = showSplash;
    services.discArgument = discArgument;
    services.fullScreen = fullScreen || !vlc ? fullScreen : &vlc->fullScreenView();
    services.instanceChannel = instanceChannel;
    services.chooseDisc = [this](QWidget*, const QString& title) {
        discDialogTitles.append(title);
        return discChoice;
    };
    services.exporter = &exporter;
    services.readTitles = [list = titles](const QString&) { return list; };
    form = std::make_unique<MainForm>(services);
    // Timers are driven by hand so that every step is deterministic.
    const MainFormProbe controls(*form);
    controls.movieTimer->stop();
    controls.toolTipTimer->stop();
    form->startUp();
    return *form;
}

MainForm& MainFormHarness::startOnVlc(const QString& snapshotsFolder) {
    vlc = std::make_unique<EngineAssembly>(&drives, testVlcArguments());
    realEngine = &vlc->engine();
    start();
    Settings::current().snapshotsPath = snapshotsFolder + QDir::separator();
    form->BuildEngineOptions();
    probe(*form).movieTimer->start();
    return *form;
}

void MainFormHarness::openMovie() {
    drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    form->fileMenu_Click();
    form->dvdsList_Click(0);
    engine.loadTitle();
    tick();
}

void MainFormHarness::tick(int n) {
    for (int i = 0; i < n; ++i)
        form->movieTimer_Timer();
}
