#pragma once

#include "FakeDriveSource.h"
#include "FakeEngine.h"
#include "FakeExportJobs.h"
#include "MainFormProbe.h"
#include "ScriptedMessageBoxes.h"
#include "app/EngineAssembly.h"
#include "app/MainForm.h"
#include "engine/VlcEngine.h"
#include "platform/InstanceLock.h"
#include "settings/Settings.h"

#include <QTemporaryDir>
#include <memory>

// A main window on fakes, in a temporary program folder with default settings and no waits.
struct MainFormHarness {
    QTemporaryDir programDir;
    FakeEngine engine;
    FakeDriveSource drives;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<InstanceLock> lock;
    QList<int> sleeps;
    int endProcessCalls = 0;
    qint64 freeBytes = 1 << 30;
    QStringList freeSpaceQueries;
    std::unique_ptr<MainForm> form;
    // When set, the window drives this engine instead of the fake one.
    MediaEngine* realEngine = nullptr;
    // The real engine of startOnVlc(), with its writer; it goes after the window, as in the
    // program.
    std::unique_ptr<EngineAssembly> vlc;
    bool showSplash = false;
    // Passed to the window as they are: the start's argument, the full-screen view and the
    // channel a second start hands its disc through (none by default).
    QString discArgument;
    FullScreenView* fullScreen = nullptr;
    InstanceChannel* instanceChannel = nullptr;
    // The file dialog of the File menu's image/folder entry: answers discChoice (empty: cancel)
    // and records the title of every showing.
    QString discChoice;
    QStringList discDialogTitles;
    // The exporter the window drives, and the titles its dialog lists (as set before start()).
    FakeExportJobs exporter;
    TitleList titles;

    // writeConfig: put a default "Config.cfg" beside the program so no recovery message shows.
    explicit MainFormHarness(bool writeConfig = true);
    ~MainFormHarness();

    MainForm& start();
    // For the tests that play the authored discs: the window on libVLC (with the test arguments),
    // images into snapshotsFolder, the position timer running.
    MainForm& startOnVlc(const QString& snapshotsFolder);
    // A disc "MOVIE" in D:, chosen from the File menu, playing, with the first tick seen.
    void openMovie();
    // Runs n position-timer ticks by hand.
    void tick(int n = 1);
};
