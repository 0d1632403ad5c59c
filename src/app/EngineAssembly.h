#pragma once

#include <QStringList>
#include <memory>

class DriveSource;
class FullScreenView;
class MessageBoxes;
class SnapshotWriter;
class VlcEngine;
class VlcStart;

// The media engine as the program uses it: libVLC, the snapshot writer as its snapshot sink and
// the full-screen view as its full-screen surface. The writer and the view are let go of by the
// engine before they are destroyed; the writer finishes its queued images first.
class EngineAssembly {
public:
    // vlcArguments go to libVLC (tests pass "--aout=adummy", "--quiet"). Throws EngineError when
    // libVLC cannot start.
    explicit EngineAssembly(DriveSource* drives, const QStringList& vlcArguments = {});
    // With libVLC started ahead; throws EngineError when that start failed.
    EngineAssembly(DriveSource* drives, VlcStart& start);
    ~EngineAssembly();

    VlcEngine& engine() const { return *engine_; }
    SnapshotWriter& writer() const { return *writer_; }
    FullScreenView& fullScreenView() const { return *fullScreen_; }
    bool isFullScreen() const;

private:
    explicit EngineAssembly(std::unique_ptr<VlcEngine> engine);

    std::unique_ptr<VlcEngine> engine_;
    std::unique_ptr<SnapshotWriter> writer_;
    std::unique_ptr<FullScreenView> fullScreen_;
};

// The exit status of a start that ended because the media engine could not start.
inline constexpr int kEngineStartFailedExit = 2;

// Builds the engine assembly. When libVLC cannot start (its plugins are missing, for instance),
// the user is told why in a message box and on standard error, and the result is null: the
// program then ends with kEngineStartFailedExit.
std::unique_ptr<EngineAssembly> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                            const QStringList& vlcArguments = {});
// The same with libVLC started ahead (main() starts it before anything else).
std::unique_ptr<EngineAssembly> startEngine(DriveSource* drives, MessageBoxes& boxes,
                                            VlcStart& start);
